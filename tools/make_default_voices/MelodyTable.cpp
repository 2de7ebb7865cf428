// Sixteen family patches and 128 programs that vary them, one row per General MIDI program.
#include "VoiceParams.h"

namespace defvoices {
namespace {

constexpr OpParams Op(uint8_t mul, uint8_t tl, uint8_t ar, uint8_t dr, uint8_t sl, uint8_t sr,
                      uint8_t rr, uint8_t sus = 0, uint8_t ksl = 0) {
  return OpParams{mul, tl, ar, dr, sl, sr, rr, ksl, 0, 0, 0, sus};
}

enum Family {
  kPiano, kChromatic, kOrgan, kGuitar, kBass, kStrings, kEnsemble, kBrass,
  kReed, kPipe, kLead, kPad, kSynthFx, kEthnic, kPercussive, kEffects,
};

// Percussive families decay while held (SR above 0); sustained ones hold (SUS set, SR 0).
constexpr Patch kFamilies[] = {
    /* piano      */ {0, 3, 0, Op(1, 30, 15, 5, 4, 3, 7, 0, 1), Op(1, 0, 15, 3, 5, 2, 7, 0, 1)},
    /* chromatic  */ {0, 1, 0, Op(5, 32, 15, 6, 8, 5, 6), Op(1, 0, 15, 4, 10, 4, 6)},
    /* organ      */ {1, 2, 0, Op(2, 8, 15, 0, 0, 0, 9, 1), Op(1, 4, 15, 0, 0, 0, 9, 1)},
    /* guitar     */ {0, 4, 0, Op(1, 28, 15, 6, 6, 3, 8), Op(1, 0, 15, 3, 6, 3, 7)},
    /* bass       */ {0, 4, 0, Op(1, 24, 15, 5, 5, 2, 8), Op(1, 0, 15, 3, 4, 2, 9)},
    /* strings    */ {0, 2, 1, Op(1, 30, 7, 2, 2, 0, 6, 1), Op(1, 2, 6, 1, 1, 0, 6, 1)},
    /* ensemble   */ {0, 2, 1, Op(1, 33, 6, 1, 2, 0, 5, 1), Op(1, 2, 5, 1, 1, 0, 5, 1)},
    /* brass      */ {0, 5, 0, Op(1, 24, 10, 3, 3, 0, 7, 1), Op(1, 2, 11, 2, 2, 0, 7, 1)},
    /* reed       */ {0, 3, 1, Op(3, 30, 10, 2, 3, 0, 8, 1), Op(1, 3, 11, 1, 2, 0, 8, 1)},
    /* pipe       */ {0, 0, 1, Op(1, 42, 9, 2, 4, 0, 8, 1), Op(1, 4, 9, 1, 1, 0, 8, 1)},
    /* lead       */ {0, 6, 0, Op(1, 20, 15, 1, 2, 0, 9, 1), Op(1, 2, 15, 1, 1, 0, 9, 1)},
    /* pad        */ {0, 3, 2, Op(1, 34, 4, 1, 3, 0, 4, 1), Op(1, 4, 4, 1, 2, 0, 4, 1)},
    /* synth fx   */ {0, 5, 2, Op(3, 28, 5, 2, 4, 1, 4, 1), Op(1, 4, 6, 2, 3, 1, 4, 1)},
    /* ethnic     */ {0, 3, 0, Op(3, 30, 15, 6, 6, 4, 7), Op(1, 0, 15, 4, 6, 3, 7)},
    /* percussive */ {0, 5, 0, Op(2, 24, 15, 9, 10, 8, 9), Op(1, 0, 15, 7, 12, 7, 9)},
    /* effects    */ {0, 7, 0, Op(4, 20, 12, 4, 5, 2, 5), Op(1, 4, 12, 3, 4, 2, 5)},
};

struct Row {
  const char* name;
  Family family;
  uint8_t modMul;
  uint8_t carMul;
  uint8_t modTl;
  uint8_t fb;
  uint8_t modWs;
  bool fourOp;
};

constexpr Row kRows[kMelodyCount] = {
    {"Grand Piano", kPiano, 1, 1, 30, 3, 0, true},
    {"Bright Piano", kPiano, 1, 1, 26, 4, 0, true},
    {"Electric Grand", kPiano, 1, 1, 24, 5, 0, true},
    {"Honky-tonk", kPiano, 1, 1, 27, 4, 0, true},
    {"Tine Piano", kPiano, 14, 1, 36, 0, 0, true},
    {"FM Piano", kPiano, 1, 1, 28, 2, 0, true},
    {"Harpsichord", kPiano, 3, 1, 22, 6, 0, false},
    {"Clavinet", kPiano, 3, 1, 20, 5, 1, false},
    {"Celesta", kChromatic, 4, 1, 34, 0, 0, false},
    {"Glockenspiel", kChromatic, 7, 2, 30, 0, 0, false},
    {"Music Box", kChromatic, 6, 2, 32, 1, 0, false},
    {"Vibraphone", kChromatic, 4, 1, 36, 0, 0, true},
    {"Marimba", kChromatic, 3, 1, 30, 0, 0, false},
    {"Xylophone", kChromatic, 6, 2, 28, 1, 0, false},
    {"Tubular Bells", kChromatic, 7, 2, 26, 2, 0, true},
    {"Dulcimer", kChromatic, 2, 1, 26, 3, 0, false},
    {"Drawbar Organ", kOrgan, 2, 1, 8, 2, 0, true},
    {"Perc Organ", kOrgan, 4, 1, 10, 3, 0, true},
    {"Rock Organ", kOrgan, 2, 1, 6, 5, 0, true},
    {"Church Organ", kOrgan, 4, 1, 8, 1, 0, true},
    {"Reed Organ", kOrgan, 3, 1, 12, 4, 0, false},
    {"Accordion", kOrgan, 3, 1, 10, 5, 1, false},
    {"Harmonica", kOrgan, 2, 1, 12, 6, 1, false},
    {"Bandoneon", kOrgan, 3, 1, 11, 5, 0, false},
    {"Nylon Guitar", kGuitar, 1, 1, 32, 2, 0, false},
    {"Steel Guitar", kGuitar, 3, 1, 28, 3, 0, false},
    {"Jazz Guitar", kGuitar, 1, 1, 34, 1, 0, false},
    {"Clean Guitar", kGuitar, 2, 1, 30, 3, 0, false},
    {"Muted Guitar", kGuitar, 1, 1, 26, 4, 0, false},
    {"Overdrive Gtr", kGuitar, 1, 1, 18, 6, 1, false},
    {"Distortion Gtr", kGuitar, 1, 1, 14, 7, 1, false},
    {"Gtr Harmonics", kGuitar, 4, 2, 32, 1, 0, false},
    {"Acoustic Bass", kBass, 1, 1, 28, 2, 0, false},
    {"Finger Bass", kBass, 1, 1, 24, 4, 0, false},
    {"Pick Bass", kBass, 2, 1, 22, 5, 0, false},
    {"Fretless Bass", kBass, 1, 1, 30, 2, 0, false},
    {"Slap Bass 1", kBass, 3, 1, 20, 5, 0, false},
    {"Slap Bass 2", kBass, 4, 1, 20, 6, 0, false},
    {"Synth Bass 1", kBass, 1, 1, 16, 7, 0, false},
    {"Synth Bass 2", kBass, 2, 1, 18, 6, 1, false},
    {"Violin", kStrings, 1, 1, 28, 3, 0, true},
    {"Viola", kStrings, 1, 1, 30, 2, 0, true},
    {"Cello", kStrings, 1, 1, 29, 3, 0, true},
    {"Contrabass", kStrings, 1, 1, 27, 3, 0, false},
    {"Tremolo Strings", kStrings, 1, 1, 30, 2, 0, true},
    {"Pizzicato", kStrings, 1, 1, 32, 2, 0, false},
    {"Harp", kStrings, 2, 1, 34, 1, 0, false},
    {"Timpani", kStrings, 1, 1, 26, 4, 0, false},
    {"Strings", kEnsemble, 1, 1, 32, 2, 0, true},
    {"Slow Strings", kEnsemble, 1, 1, 34, 2, 0, true},
    {"Synth Strings 1", kEnsemble, 1, 1, 28, 4, 1, true},
    {"Synth Strings 2", kEnsemble, 2, 1, 30, 3, 1, true},
    {"Choir Aahs", kEnsemble, 1, 1, 36, 1, 0, true},
    {"Voice Oohs", kEnsemble, 1, 1, 40, 0, 0, true},
    {"Synth Voice", kEnsemble, 2, 1, 34, 2, 0, true},
    {"Orchestra Hit", kEnsemble, 1, 1, 18, 6, 0, true},
    {"Trumpet", kBrass, 1, 1, 24, 5, 0, true},
    {"Trombone", kBrass, 1, 1, 26, 4, 0, true},
    {"Tuba", kBrass, 1, 1, 28, 4, 0, false},
    {"Muted Trumpet", kBrass, 2, 1, 26, 5, 0, false},
    {"French Horn", kBrass, 1, 1, 32, 3, 0, true},
    {"Brass Section", kBrass, 1, 1, 22, 5, 0, true},
    {"Synth Brass 1", kBrass, 1, 1, 20, 6, 0, true},
    {"Synth Brass 2", kBrass, 1, 1, 22, 6, 1, true},
    {"Soprano Sax", kReed, 3, 1, 28, 4, 0, false},
    {"Alto Sax", kReed, 3, 1, 26, 4, 0, false},
    {"Tenor Sax", kReed, 1, 1, 26, 5, 0, false},
    {"Baritone Sax", kReed, 1, 1, 24, 5, 0, false},
    {"Oboe", kReed, 3, 1, 30, 3, 0, false},
    {"English Horn", kReed, 3, 1, 32, 3, 0, false},
    {"Bassoon", kReed, 1, 1, 28, 4, 0, false},
    {"Clarinet", kReed, 3, 2, 30, 2, 0, false},
    {"Piccolo", kPipe, 1, 2, 44, 0, 0, false},
    {"Flute", kPipe, 1, 1, 42, 0, 0, false},
    {"Recorder", kPipe, 1, 1, 40, 1, 0, false},
    {"Pan Flute", kPipe, 1, 1, 44, 1, 0, false},
    {"Blown Bottle", kPipe, 2, 1, 46, 0, 0, false},
    {"Shakuhachi", kPipe, 1, 1, 38, 2, 0, false},
    {"Whistle", kPipe, 1, 2, 50, 0, 0, false},
    {"Ocarina", kPipe, 1, 1, 48, 0, 0, false},
    {"Square Lead", kLead, 2, 1, 20, 6, 1, false},
    {"Saw Lead", kLead, 1, 1, 18, 7, 0, false},
    {"Calliope Lead", kLead, 1, 1, 34, 2, 0, false},
    {"Chiff Lead", kLead, 2, 1, 30, 3, 0, false},
    {"Charang Lead", kLead, 1, 1, 16, 7, 1, false},
    {"Voice Lead", kLead, 1, 1, 32, 2, 0, false},
    {"Fifths Lead", kLead, 3, 2, 24, 4, 0, false},
    {"Bass And Lead", kLead, 1, 1, 18, 6, 0, false},
    {"New Age Pad", kPad, 2, 1, 34, 2, 0, true},
    {"Warm Pad", kPad, 1, 1, 36, 2, 0, true},
    {"Polysynth Pad", kPad, 1, 1, 28, 5, 0, true},
    {"Choir Pad", kPad, 1, 1, 38, 1, 0, true},
    {"Bowed Pad", kPad, 2, 1, 34, 3, 0, true},
    {"Metallic Pad", kPad, 5, 1, 30, 3, 0, true},
    {"Halo Pad", kPad, 1, 1, 38, 1, 0, true},
    {"Sweep Pad", kPad, 1, 1, 30, 4, 0, true},
    {"Rain", kSynthFx, 7, 1, 32, 2, 0, false},
    {"Soundtrack", kSynthFx, 1, 1, 34, 3, 0, true},
    {"Crystal", kSynthFx, 6, 2, 30, 1, 0, false},
    {"Atmosphere", kSynthFx, 2, 1, 32, 3, 0, true},
    {"Brightness", kSynthFx, 4, 1, 28, 4, 0, false},
    {"Goblins", kSynthFx, 1, 1, 26, 6, 1, false},
    {"Echoes", kSynthFx, 2, 1, 32, 3, 0, false},
    {"Sci-Fi", kSynthFx, 5, 1, 24, 5, 1, false},
    {"Sitar", kEthnic, 3, 1, 24, 5, 0, false},
    {"Banjo", kEthnic, 3, 1, 26, 4, 0, false},
    {"Shamisen", kEthnic, 4, 1, 24, 5, 0, false},
    {"Koto", kEthnic, 3, 1, 30, 2, 0, false},
    {"Kalimba", kEthnic, 5, 1, 34, 1, 0, false},
    {"Bagpipe", kEthnic, 3, 1, 20, 6, 1, false},
    {"Fiddle", kEthnic, 1, 1, 26, 4, 0, false},
    {"Shanai", kEthnic, 3, 1, 22, 5, 0, false},
    {"Tinkle Bell", kPercussive, 7, 2, 28, 1, 0, false},
    {"Agogo", kPercussive, 5, 1, 26, 2, 0, false},
    {"Steel Drums", kPercussive, 3, 1, 28, 2, 0, false},
    {"Woodblock", kPercussive, 6, 1, 22, 4, 0, false},
    {"Taiko Drum", kPercussive, 1, 1, 20, 6, 0, false},
    {"Melodic Tom", kPercussive, 1, 1, 24, 5, 0, false},
    {"Synth Drum", kPercussive, 2, 1, 22, 6, 0, false},
    {"Reverse Cymbal", kPercussive, 9, 1, 10, 7, 1, false},
    {"Fret Noise", kEffects, 5, 1, 18, 7, 0, false},
    {"Breath Noise", kEffects, 11, 1, 14, 7, 0, false},
    {"Seashore", kEffects, 13, 1, 8, 7, 1, false},
    {"Bird Tweet", kEffects, 6, 3, 28, 3, 0, false},
    {"Telephone Ring", kEffects, 4, 2, 24, 2, 0, false},
    {"Helicopter", kEffects, 1, 1, 10, 7, 1, false},
    {"Applause", kEffects, 15, 1, 6, 7, 1, false},
    {"Gunshot", kEffects, 12, 1, 4, 7, 1, false},
};

}  // namespace

MelodyVoice MelodyVoiceFor(int program) {
  const Row& row = kRows[program & (kMelodyCount - 1)];
  Patch patch = kFamilies[row.family];
  patch.mod.mul = row.modMul;
  patch.car.mul = row.carMul;
  patch.mod.tl = row.modTl;
  patch.mod.ws = row.modWs;
  patch.fb = row.fb;
  return MelodyVoice{row.name, patch, row.fourOp};
}

}  // namespace defvoices

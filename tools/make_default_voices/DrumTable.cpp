// A drum kit for notes 13..91: a handful of drum patches, each note naming one with its key.
#include "VoiceParams.h"

namespace defvoices {
namespace {

constexpr OpParams Op(uint8_t mul, uint8_t tl, uint8_t ar, uint8_t dr, uint8_t sl, uint8_t sr,
                      uint8_t rr, uint8_t dt = 0) {
  return OpParams{mul, tl, ar, dr, sl, sr, rr, 0, 0, dt, 0, 0};
}

enum Kind {
  kKick, kSnare, kStick, kClap, kTom, kClosedHat, kOpenHat, kCrash, kRide, kBell,
  kWood, kSkin, kShaker, kWhistle, kScrape, kClick, kMetal,
};

// Drums decay while held: every one has a sustain rate and a quick release.
constexpr Patch kKinds[] = {
    /* kick       */ {0, 4, 0, Op(1, 22, 15, 12, 15, 12, 12), Op(1, 0, 15, 8, 12, 9, 10)},
    /* snare      */ {0, 7, 0, Op(9, 8, 15, 10, 15, 10, 11), Op(1, 2, 15, 9, 13, 9, 11)},
    /* stick      */ {0, 5, 0, Op(5, 20, 15, 14, 15, 14, 14), Op(2, 2, 15, 13, 15, 13, 14)},
    /* clap       */ {0, 7, 0, Op(11, 6, 14, 11, 15, 11, 11), Op(1, 4, 14, 10, 14, 10, 11)},
    /* tom        */ {0, 3, 0, Op(1, 26, 15, 9, 13, 8, 9), Op(1, 0, 15, 7, 11, 7, 9)},
    /* closed hat */ {0, 7, 0, Op(13, 4, 15, 14, 15, 14, 14, 3), Op(7, 6, 15, 13, 15, 13, 14)},
    /* open hat   */ {0, 7, 0, Op(13, 4, 15, 8, 12, 7, 8, 3), Op(7, 6, 15, 7, 11, 6, 8)},
    /* crash      */ {0, 7, 0, Op(15, 2, 15, 5, 10, 4, 5, 5), Op(9, 4, 15, 4, 9, 3, 5)},
    /* ride       */ {0, 6, 0, Op(11, 10, 15, 6, 9, 4, 6, 2), Op(5, 4, 15, 5, 8, 4, 6)},
    /* bell       */ {0, 2, 0, Op(7, 24, 15, 7, 10, 6, 7), Op(3, 2, 15, 5, 9, 5, 7)},
    /* wood       */ {0, 3, 0, Op(6, 22, 15, 13, 15, 13, 13), Op(2, 2, 15, 12, 15, 12, 13)},
    /* skin       */ {0, 4, 0, Op(2, 24, 15, 10, 14, 9, 10), Op(1, 2, 15, 9, 13, 8, 10)},
    /* shaker     */ {0, 7, 0, Op(15, 2, 13, 12, 15, 12, 12, 6), Op(10, 8, 13, 11, 15, 11, 12)},
    /* whistle    */ {0, 0, 1, Op(1, 46, 12, 3, 4, 2, 8), Op(2, 4, 12, 2, 3, 2, 8)},
    /* scrape     */ {0, 6, 0, Op(12, 10, 10, 9, 12, 8, 9, 4), Op(3, 6, 10, 8, 12, 8, 9)},
    /* click      */ {0, 3, 0, Op(8, 20, 15, 15, 15, 15, 15), Op(4, 4, 15, 15, 15, 15, 15)},
    /* metal      */ {0, 4, 0, Op(9, 18, 15, 8, 11, 6, 8, 1), Op(4, 4, 15, 6, 10, 5, 8)},
};

struct Row {
  const char* name;
  Kind kind;
  uint8_t key;
  uint8_t pan;
};

// Notes 13..91 in order.
constexpr Row kRows[kLastDrumNote - kFirstDrumNote + 1] = {
    {"Click Low", kClick, 48, 15},      {"Click High", kClick, 60, 15},
    {"Pulse", kClick, 72, 15},          {"Snap Low", kStick, 55, 13},
    {"Snap High", kStick, 67, 17},      {"Rim Low", kStick, 50, 15},
    {"Rim High", kStick, 62, 15},       {"Tap", kWood, 70, 15},
    {"Kick Short", kKick, 30, 15},      {"Kick Tight", kKick, 33, 15},
    {"Snare Dry", kSnare, 50, 15},      {"Snare Tight", kSnare, 54, 15},
    {"Brush Tap", kShaker, 60, 15},     {"Brush Swirl", kShaker, 57, 15},
    {"High Q", kClick, 84, 15},         {"Slap", kClap, 64, 17},
    {"Scratch Push", kScrape, 60, 15},  {"Scratch Pull", kScrape, 55, 15},
    {"Sticks", kStick, 72, 15},         {"Square Click", kClick, 76, 15},
    {"Metronome", kClick, 88, 15},      {"Metro Bell", kBell, 84, 15},
    {"Kick 2", kKick, 28, 15},          {"Kick 1", kKick, 31, 15},
    {"Side Stick", kStick, 60, 15},     {"Snare 1", kSnare, 52, 15},
    {"Hand Clap", kClap, 60, 15},       {"Snare 2", kSnare, 56, 15},
    {"Low Floor Tom", kTom, 36, 9},     {"Closed Hi-Hat", kClosedHat, 80, 19},
    {"High Floor Tom", kTom, 40, 11},   {"Pedal Hi-Hat", kClosedHat, 76, 19},
    {"Low Tom", kTom, 43, 13},          {"Open Hi-Hat", kOpenHat, 80, 19},
    {"Low Mid Tom", kTom, 46, 15},      {"High Mid Tom", kTom, 49, 17},
    {"Crash 1", kCrash, 72, 11},        {"High Tom", kTom, 52, 19},
    {"Ride 1", kRide, 76, 21},          {"Chinese Cymbal", kCrash, 68, 9},
    {"Ride Bell", kBell, 80, 21},       {"Tambourine", kShaker, 79, 17},
    {"Splash", kCrash, 78, 13},         {"Cowbell", kMetal, 68, 17},
    {"Crash 2", kCrash, 74, 19},        {"Vibraslap", kScrape, 62, 13},
    {"Ride 2", kRide, 79, 21},          {"High Bongo", kSkin, 64, 19},
    {"Low Bongo", kSkin, 59, 19},       {"Mute Conga", kSkin, 62, 11},
    {"Open Conga", kSkin, 57, 11},      {"Low Conga", kSkin, 52, 11},
    {"High Timbale", kMetal, 60, 21},   {"Low Timbale", kMetal, 55, 21},
    {"High Agogo", kBell, 76, 9},       {"Low Agogo", kBell, 71, 9},
    {"Cabasa", kShaker, 82, 13},        {"Maracas", kShaker, 86, 21},
    {"Short Whistle", kWhistle, 84, 19}, {"Long Whistle", kWhistle, 84, 19},
    {"Short Guiro", kScrape, 72, 9},    {"Long Guiro", kScrape, 70, 9},
    {"Claves", kWood, 79, 17},          {"High Wood Block", kWood, 74, 21},
    {"Low Wood Block", kWood, 69, 21},  {"Mute Cuica", kSkin, 71, 13},
    {"Open Cuica", kSkin, 66, 13},      {"Mute Triangle", kBell, 91, 21},
    {"Open Triangle", kBell, 91, 21},   {"Shaker", kShaker, 84, 17},
    {"Jingle Bell", kMetal, 86, 17},    {"Bell Tree", kBell, 88, 13},
    {"Castanets", kWood, 76, 15},       {"Mute Surdo", kTom, 33, 11},
    {"Open Surdo", kTom, 31, 11},       {"Hand Drum Low", kSkin, 48, 9},
    {"Hand Drum High", kSkin, 55, 21},  {"Gong", kMetal, 40, 15},
    {"Chime", kBell, 96, 15},
};

}  // namespace

DrumVoice DrumVoiceFor(int note) {
  if (note < kFirstDrumNote || note > kLastDrumNote) note = kFirstDrumNote;
  const Row& row = kRows[note - kFirstDrumNote];
  return DrumVoice{row.name, kKinds[row.kind], row.key, row.pan};
}

}  // namespace defvoices

// General MIDI name tables and the voice-type rules of drum keys.
#include "song/GMNames.h"

#include "platform/host/HostServices.h"
#include "song/SongPrimitives.h"

namespace {

constexpr const char* kProgramNames[128] = {
    "GrandPno", "BritePno", "E.GrandP", "HnkyTonk", "E.Piano1", "E.Piano2", "Harpsi.",  "Clavi.",
    "Celesta",  "Glocken",  "MusicBox", "Vibes",    "Marimba",  "Xylophon", "TubulBel", "Dulcimer",
    "DrawOrgn", "PercOrgn", "RockOrgn", "ChrchOrg", "ReedOrgn", "Acordion", "Harmnica", "TangoAcd",
    "NylonGtr", "SteelGtr", "Jazz Gtr", "CleanGtr", "Mute.Gtr", "Ovrdrive", "Dist.Gtr", "GtrHarmo",
    "Aco.Bass", "FngrBass", "PickBass", "Fretless", "SlapBas1", "SlapBas2", "SynBass1", "SynBass2",
    "Violin",   "Viola",    "Cello",    "ContraBs", "Trem.Str", "Pizz.Str", "Harp",     "Timpani",
    "Strings1", "Strings2", "Syn.Str1", "Syn.Str2", "ChoirAah", "VoiceOoh", "SynVoice", "Orch.Hit",
    "Trumpet",  "Trombone", "Tuba",     "Mute.Trp", "Fr.Horn",  "BrasSect", "SynBras1", "SynBras2",
    "SprnoSax", "Alto Sax", "TenorSax", "Bari.Sax", "Oboe",     "Eng.Horn", "Bassoon",  "Clarinet",
    "Piccolo",  "Flute",    "Recorder", "PanFlute", "Bottle",   "Shakhchi", "Whistle",  "Ocarina",
    "SquareLd", "Saw.Lead", "CaliopLd", "ChiffLd",  "CharanLd", "Voice Ld", "Fifth Ld", "Bass &Ld",
    "NewAgePd", "Warm Pad", "PolySyPd", "ChoirPad", "BowedPad", "MetalPad", "Halo Pad", "SweepPad",
    "Rain",     "SoundTrk", "Crystal",  "Atmosphr", "Bright",   "Goblins",  "Echoes",   "Sci-Fi",
    "Sitar",    "Banjo",    "Shamisen", "Koto",     "Kalimba",  "Bagpipe",  "Fiddle",   "Shanai",
    "TnklBell", "Agogo",    "SteelDrm", "WoodBlok", "TaikoDrm", "MelodTom", "Syn.Drum", "RevCymbl",
    "FretNoiz", "BrthNoiz", "Seashore", "Tweet",    "Telphone", "Helicptr", "Applause", "Gunshot",
};

constexpr int kFirstDrumKey = 24;
constexpr int kLastDrumKey = 84;

constexpr const char* kDrumNames[kLastDrumKey - kFirstDrumKey + 1] = {
    "Seq Click H",     "Brush Tap",       "Brush Swirl",    "Brush Slap",      "Brush Tap Swirl",
    "Snare Roll",      "Castanet",        "Snare L",        "Sticks",          "Bass Drum L",
    "Open Rim Shot",   "Bass Drum M",     "Bass Drum H",    "Closed Rim Shot", "Snare M",
    "Hand Clap",       "Snare H",         "Floor Tom L",    "Hi-Hat Closed",   "Floor Tom H",
    "Hi-Hat Pedal",    "Low Tom",         "Hi-Hat Open",    "Mid Tom L",       "Mid Tom H",
    "Crash Cymbal 1",  "High Tom",        "Ride Cymbal 1",  "Chinese Cymbal",  "Ride Cymbal Cup",
    "Tambourine",      "Splash Cymbal",   "Cowbell",        "Crash Cymbal 2",  "Vibraslap",
    "Ride Cymbal 2",   "Bongo H",         "Bongo L",        "Conga H Mute",    "Conga H Open",
    "Conga L",         "Timbale H",       "Timbale L",      "Agogo H",         "Agogo L",
    "Cabasa",          "Maracas",         "Samba Whistle H", "Samba Whistle L", "Guiro Short",
    "Guiro Long",      "Claves",          "Wood Block H",   "Wood Block L",    "Cuica Mute",
    "Cuica Open",      "Triangle Mute",   "Triangle Open",  "Shaker",          "Jingle Bells",
    "Bell Tree",
};

constexpr const char* kTypeFm2 = "F2";
constexpr const char* kTypeFm4 = "F4";
constexpr const char* kTypePcm = "P";

bool IsOuterDrumKey(uint8_t key) { return (key >= 13 && key <= 23) || (key >= 85 && key <= 91); }

bool IsPcmDrumKey(uint8_t key) {
  switch (key) {
    case 31: case 33: case 35: case 36: case 38: case 55: case 57: case 59:
      return true;
    default:
      return key >= 40 && key <= 51;
  }
}

/// The label of keys 13..23 and 85..91 in output profiles 1 and 7.
const char* OuterKeyTypeByMaker() {
  switch (platform::settings().GetMakerID()) {
    case 1:
    case 2:
      switch (GetModeSetting()) {
        case 0: return kTypeFm4;
        case 1:
        case 2: return kTypeFm2;
        default: return nullptr;
      }
    case 4:
      return kTypeFm2;
    default:
      return nullptr;
  }
}

}  // namespace

const char* GetGMProgramName(uint8_t, uint8_t, uint8_t program) {
  return program < 128 ? kProgramNames[program] : nullptr;
}

const char* GetGMDrumName(uint8_t, uint8_t, uint8_t, uint8_t key) {
  if (key >= kFirstDrumKey && key <= kLastDrumKey) return kDrumNames[key - kFirstDrumKey];
  return IsOuterDrumKey(key) ? "Drum" : nullptr;
}

const char* GetProgramVoiceType(uint8_t, uint8_t, uint8_t) { return kTypeFm2; }

const char* GetDrumKeyVoiceType(uint8_t, uint8_t, uint8_t, uint8_t key) {
  if (key >= kFirstDrumKey && key <= kLastDrumKey) return IsPcmDrumKey(key) ? kTypePcm : kTypeFm2;
  if (!IsOuterDrumKey(key)) return nullptr;
  int profile = platform::settings().GetOutputProfile();
  if (profile != 1 && profile != 7) return kTypeFm2;
  return OuterKeyTypeByMaker();
}

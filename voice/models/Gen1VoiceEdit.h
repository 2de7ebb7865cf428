// The 2-operator voice dialog's values without a window: the fields of a generation-1 voice
// table entry as the dialog shows and stores them, the value texts beside its sliders, and
// the test keyboard's key codes.
#pragma once

#include <array>
#include <cstdint>
#include <string>

class CVoiceTable1;

struct Gen1Operator {
  int vib = 0, egt = 0, sus = 0, wave = 0;
  int rr = 0, dr = 0, ar = 1, sl = 0, tl = 0, fl = 0;
};

struct Gen1VoiceFields {
  std::string name;
  Gen1Operator op[2];  // 0 modulator, 1 carrier
  std::array<int, 4> rangeOn{};
  std::array<int, 4> m{};
  std::array<int, 4> c{};
  int basic = -1;  // the checked Basic radio, -1 for none

  /// Reads the entry: the name at most 16 characters, AR held to the slider's 1..15.
  static Gen1VoiceFields Read(const CVoiceTable1& table, int entry);
  /// Writes the name (at most 16 characters, no terminator after 16), both operator words, the
  /// multiples, the Basic range's multiples as MULTI, and the range flags.
  void Write(CVoiceTable1& table, int entry) const;
};

namespace gen1text {
/// The value texts of the sliders; empty for a position outside the list.
std::string AttackRate(int v);
std::string DecayRate(int v);  // DR and RR
std::string SustainLevel(int v);
std::string TotalLevel(int v);
std::string FeedbackLevel(int v);
std::string Multiple(int v);  // M and C
}  // namespace gen1text

/// A test key's sound: octave group 1..3 and key code, or none.
struct Gen1TestKey {
  int group = 0;
  int keyCode = 0;
};

namespace gen1keys {
/// The key index 0..35 of a test key button id, or -1.
int KeyOfButton(int controlId);
/// The button id of key index 0..35, or 0.
int ButtonOfKey(int key);
/// Group and key code of key index 0..35.
Gen1TestKey Sound(int key);
inline constexpr int kPassOn = -1000;       // the key goes on to the normal handling
inline constexpr int kOctaveMoved = -1001;  // A or Q moved the octave, without sound
/// A letter with "KB" checked: the key index (outside 0..35 it is swallowed silently), or one
/// of the two codes above. A lowers and Q raises the octave within 0..3; at the limit they
/// pass on.
int KeyOfLetter(char letter, int& octave);
}  // namespace gen1keys

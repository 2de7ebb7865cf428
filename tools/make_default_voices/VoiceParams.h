// Our own default voice parameters: General MIDI melody programs and a drum kit.
#pragma once

#include <cstdint>

namespace defvoices {

/// One FM operator. Rates and levels use the chip's ranges: AR/DR/SR/RR/SL 0..15 (rates: 15
/// is fastest; SL 0 is the top), TL 0..63 (0 loudest), MULTI 0..15, DT 0..7, WS 0..31.
struct OpParams {
  uint8_t mul;
  uint8_t tl;
  uint8_t ar;
  uint8_t dr;
  uint8_t sl;
  uint8_t sr;
  uint8_t rr;
  uint8_t ksl;
  uint8_t ksr;
  uint8_t dt;
  uint8_t ws;
  uint8_t sus;
};

/// A two-operator voice: with ALG 0 operator 1 modulates operator 2, with ALG 1 both sound.
struct Patch {
  uint8_t alg;
  uint8_t fb;
  uint8_t lfo;
  OpParams mod;
  OpParams car;
};

struct MelodyVoice {
  const char* name;
  Patch patch;
  /// True when the 16-voice banks double the pair into a four-operator voice.
  bool fourOp;
};

struct DrumVoice {
  const char* name;
  Patch patch;
  /// The key the drum sounds at.
  uint8_t key;
  /// 0..31, 15 in the middle.
  uint8_t pan;
};

constexpr int kMelodyCount = 128;
constexpr int kFirstDrumNote = 13;
constexpr int kLastDrumNote = 91;

/// The voice of a General MIDI program 0..127.
MelodyVoice MelodyVoiceFor(int program);
/// The drum voice of a note 13..91.
DrumVoice DrumVoiceFor(int note);

}  // namespace defvoices

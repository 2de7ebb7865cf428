// A small PCM voice for the document tests: passes its setting check with loop <= end.
#pragma once

#include <cstdint>
#include <vector>

#include "song/VoiceItem.h"

namespace doctest {

/// An 8-bit PCM voice of 100 samples at bank 124/1, program 5, with the given loop and end
/// points.
inline CVoiceItem PcmVoice(uint16_t loop, uint16_t end) {
  CVoiceItem voice;
  voice.SetPcmFlag(1);
  voice.SetPcmWaveFormat(2);
  const std::vector<uint8_t> wave(100, 0x10);
  voice.SetWaveSamples(wave.data(), static_cast<uint32_t>(wave.size()));
  voice.SetPcmLoopPoint(loop);
  voice.SetPcmEndPoint(end);
  voice.SetBankMsb(124);
  voice.SetBankLsb(1);
  voice.SetProgram(5);
  voice.SetName("Pad");
  return voice;
}

}  // namespace doctest

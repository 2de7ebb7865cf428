// The PCM loop-point check.
#include "voice/LoopPointCheck.h"

#include <cstdlib>
#include <vector>

#include "platform/host/HostServices.h"
#include "song/SmfStreamReaders.h"
#include "song/VoiceItem.h"
#include "voice/RomWaveSource.h"
#include "voice/WaveData.h"

namespace {

constexpr int kClickLevel = 1000;

int16_t SampleAt(const uint8_t* samples, int64_t index) {
  return static_cast<int16_t>(GetBE16(samples + 2 * index));
}

// The voice's wave in a holder: a ROM wave for an RM voice, else its own samples.
bool LoadWave(const CVoiceItem& voice, CWaveData& wave, uint8_t& format) {
  if (voice.GetRM()) {
    // ROM waves are 4-bit ADPCM, whatever the voice's format field says.
    const std::vector<uint8_t> rom = RomWaveSource::Read(voice.GetWaveId());
    format = RomWaveSource::kKind;
    return !rom.empty() && wave.SetData(rom.data(), static_cast<uint32_t>(rom.size()), format);
  }
  format = voice.GetPcmWaveFormat();
  return wave.SetData(voice.GetWaveSamples(), voice.GetWaveSampleSize(), format);
}

}  // namespace

int CLoopPointCheck::Check(const CVoiceItem& voice) {
  const int chipMode = platform::settings().GetChipMode();
  if (chipMode != 3 && chipMode != 5) return 1;
  if (!voice.IsPcm() || voice.GetExtSwitchX()) return 1;
  CWaveData wave;
  uint8_t format = 0;
  if (!LoadWave(voice, wave, format) || !wave.ExpandTo16Bit()) return 1;

  const int64_t n = wave.GetSampleBytes(0) / 2;
  const int64_t lp = voice.GetPcmLoopPoint();
  const int64_t ep = voice.GetPcmEndPoint();
  if (ep < lp) return Fail(kBadLoopPoint);
  const uint8_t* samples = wave.GetSamples(0);
  int a = 0;
  int b = 0;
  if (format == 2 || format == 3) {
    if (lp > n - 2) return Fail(kBadLoopPoint);
    if (ep > n - 1) return Fail(kBadEndPoint);
    a = SampleAt(samples, lp);
    b = SampleAt(samples, lp + 1);
  } else if (format == 0) {
    if (lp > n - 1) return Fail(kBadLoopPoint);
    if (ep < 1 || ep > n) return Fail(kBadEndPoint);
    a = SampleAt(samples, lp);
    b = lp > 0 ? SampleAt(samples, lp - 1) : 0;
  }
  if (lp != ep) return 1;
  if (std::abs(a) < kClickLevel && std::abs(b) < kClickLevel) return 1;
  return CheckEnvelope(voice);
}

int CLoopPointCheck::CheckEnvelope(const CVoiceItem& voice) {
  const uint8_t xof = voice.GetPcmByte4Bit3();
  const uint8_t sr = voice.GetPcmByte4High();
  const uint8_t dr = voice.GetPcmByte5Low();
  const uint8_t sl = voice.GetPcmByte6Low();
  const uint8_t rr = voice.GetPcmByte5High();
  if (xof) {
    if (sr < 2) return Fail(kClickXofLowSr);
    if (dr == 0 && sl != 0) return Fail(kClickXofSustainedDecay);
    return 1;
  }
  return rr > 1 ? 1 : Fail(kClickLowRr);
}

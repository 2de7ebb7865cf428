#include "voice/PcmWaveRules.h"

#include <algorithm>
#include <cstdlib>

#include "song/VoiceItem.h"
#include "voice/RomWaveSource.h"
#include "voice/WaveData.h"

namespace voiceedit {

namespace {

constexpr uint32_t kMax16 = 65535;

bool IsChipGen3or5(int chipMode) { return chipMode == 3 || chipMode == 5; }

int Magnitude(const std::vector<int16_t>& s, int64_t i) {
  if (i < 0 || i >= static_cast<int64_t>(s.size())) return 0;
  return std::abs(static_cast<int>(s[static_cast<size_t>(i)]));
}

}  // namespace

bool ExpandVoiceWave(const CVoiceItem& voice, std::vector<int16_t>& samples) {
  samples.clear();
  CWaveData holder;
  if (voice.GetRM()) {
    const std::vector<uint8_t> rom = RomWaveSource::Read(voice.GetWaveId());
    if (rom.empty() || !holder.SetData(rom.data(), static_cast<uint32_t>(rom.size()), RomWaveSource::kKind)) return false;
  } else {
    const uint32_t n = voice.GetWaveSampleSize();
    if (n == 0 || !holder.SetData(voice.GetWaveSamples(), n, voice.GetPcmWaveFormat())) return false;
  }
  if (!holder.ExpandTo16Bit()) return false;
  const uint8_t* bytes = holder.GetSamples(0);
  const uint32_t count = holder.GetSampleBytes(0) / 2;
  samples.resize(count);
  for (uint32_t i = 0; i < count; ++i) {
    samples[i] = static_cast<int16_t>(static_cast<uint16_t>(bytes[2 * i] << 8 | bytes[2 * i + 1]));
  }
  return count > 0;
}

uint32_t WaveByteLength(const CVoiceItem& voice) {
  if (voice.GetRM()) return static_cast<uint32_t>(RomWaveSource::Read(voice.GetWaveId()).size());
  return voice.GetWaveSampleSize();
}

int AdjustLoopEnd(CVoiceItem& voice, int chipMode) {
  if (!IsChipGen3or5(chipMode)) return 0;
  std::vector<int16_t> samples;
  if (!ExpandVoiceWave(voice, samples)) return 0;
  // Held to 16 bits: the points cannot hold more.
  const uint32_t n = std::min<uint32_t>(static_cast<uint32_t>(samples.size()), kMax16);
  uint32_t lp = voice.GetPcmLoopPoint();
  uint32_t ep = voice.GetPcmEndPoint();
  int result = 0;
  if (lp > ep) {
    lp = ep;
    result = 2;
  }
  const int format = voice.GetRM() ? 0 : voice.GetPcmWaveFormat();
  if (format == 0) {
    if (ep >= n) {
      if (lp >= n) {
        lp = ep = n - 1;
        result = 3;
      } else if (ep != n) {
        ep = n;
        result = 1;
      }
    }
  } else if (format == 2 || format == 3) {
    if (ep + 1 >= n) {
      if (lp + 1 >= n) {
        lp = ep = n >= 2 ? n - 2 : 0;
        result = 3;
      } else if (ep != n - 1) {
        ep = n - 1;
        result = 1;
      }
    }
  }
  voice.SetPcmLoopPoint(static_cast<uint16_t>(lp));
  voice.SetPcmEndPoint(static_cast<uint16_t>(ep));
  return result;
}

int32_t PointLimit(int format, uint32_t n) {
  if (format == 0) return static_cast<int32_t>(std::min<uint64_t>(2ull * n, kMax16));
  if (format == 2 || format == 3) return static_cast<int32_t>(std::min<uint32_t>(n, kMax16));
  return -1;
}

uint16_t ClampTypedPoint(int64_t value, int format, uint32_t n) {
  value = std::clamp<int64_t>(value, 0, kMax16);
  const int32_t limit = PointLimit(format, n);
  if (limit < 0) return static_cast<uint16_t>(value);
  if (n == 0) return 0;
  return static_cast<uint16_t>(std::min<int64_t>(value, limit));
}

uint16_t StepPoint(uint16_t value, int delta, int format, uint32_t n) {
  if (delta < 1) {
    const int32_t limit = PointLimit(format, n);
    if (limit >= 0 && value < limit) return static_cast<uint16_t>(value + 1);
    return value;
  }
  return value > 0 ? static_cast<uint16_t>(value - 1) : value;
}

uint16_t StepStartOffset(uint16_t value, int delta) {
  if (delta < 1) return value < kMax16 ? static_cast<uint16_t>(value + 1) : value;
  return value > 0 ? static_cast<uint16_t>(value - 1) : value;
}

uint16_t StepFs(uint16_t value, int delta) {
  if (delta < 1) return (value >= kFsMin && value <= kFsMax - 1) ? static_cast<uint16_t>(value + 1) : value;
  return (value >= kFsMin + 1 && value <= kFsMax) ? static_cast<uint16_t>(value - 1) : value;
}

uint16_t ParseTypedValue(const std::string& text) {
  uint32_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    value = std::min<uint32_t>(value * 10 + static_cast<uint32_t>(c - '0'), kMax16);
  }
  return static_cast<uint16_t>(value);
}

uint16_t FixFsOnLeave(const std::string& text, bool& corrected) {
  const uint16_t value = ParseTypedValue(text);
  corrected = true;
  if (text.empty() || value < kFsMin) return kFsMin;
  if (value > kFsMax) return kFsMax;
  corrected = false;
  return value;
}

PointLabels MakePointLabels(int format, bool expanded, uint16_t lp, uint16_t ep, const std::vector<int16_t>& s) {
  auto value = [&s](int64_t i) {
    // An index outside the samples (EP 0 asks for the one before the first) shows nothing.
    if (i < 0 || i >= static_cast<int64_t>(s.size())) return std::string();
    return std::to_string(Magnitude(s, i));
  };
  if (expanded && format == 0) return {"LP", "EP-1", value(lp), value(static_cast<int64_t>(ep) - 1)};
  if (expanded && (format == 2 || format == 3)) return {"LP+1", "EP", value(static_cast<int64_t>(lp) + 1), value(ep)};
  return {"LP", "EP", {}, {}};
}

int CheckPcmApply(const CVoiceItem& voice, bool editable, int chipMode) {
  if (!editable || !voice.IsPcm()) return 0;
  if (voice.GetWaveSampleSize() == 0 && !voice.GetRM()) return 7143;
  if (!IsChipGen3or5(chipMode)) return 0;
  std::vector<int16_t> s;
  if (!ExpandVoiceWave(voice, s)) return 0;
  const int64_t n = static_cast<int64_t>(s.size());
  const int64_t lp = voice.GetPcmLoopPoint();
  const int64_t ep = voice.GetPcmEndPoint();
  const int format = voice.GetRM() ? 0 : voice.GetPcmWaveFormat();
  if (ep < lp) return 7153;
  if (format == 0) {
    if (lp > n - 1) return 7153;
    if (ep == 0 || ep > n) return 7154;
  } else if (format == 2 || format == 3) {
    if (lp > n - 2) return 7153;
    if (ep > n - 1) return 7154;
  }
  if (lp != ep) return 0;
  const int64_t neighbour = format == 0 ? lp - 1 : lp + 1;
  if (Magnitude(s, lp) < 1000 && Magnitude(s, neighbour) < 1000) return 0;
  const bool xof = voice.GetPcmByte4Bit3() != 0;
  if (xof && voice.GetPcmByte4High() < 2) return 7155;
  if (xof && voice.GetPcmByte5Low() == 0 && voice.GetPcmByte6Low() != 0) return 7156;
  if (!xof && voice.GetPcmByte5High() < 2) return 7157;
  return 0;
}

}  // namespace voiceedit

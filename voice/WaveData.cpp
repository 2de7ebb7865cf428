// The wave holder: loading through the AIFF and WAV readers, and the expansion to 16-bit.
#include "voice/WaveData.h"

#include <strings.h>

#include <algorithm>
#include <utility>
#include <cstring>
#include <exception>
#include <limits>
#include <optional>
#include <vector>

#include "platform/host/HostServices.h"
#include "platform/io/FileIo.h"
#include "voice/RiffWaveReader.h"
#include "voice/WaveFileReader.h"

namespace {

constexpr uint32_t kOk = 0;
constexpr uint32_t kOutputFactor = 6;
constexpr uint32_t kMaxSetData = 0xFFFF;

// Which part of an AIFF file a conversion takes.
enum class AiffPick { Mono, Left, Right, Both };

int32_t ConvertAiff(CWaveFileReader& reader, bool sixteen, int bits, AiffPick pick) {
  const int channel = pick == AiffPick::Right ? 1 : 0;
  switch (pick) {
    case AiffPick::Mono:
      if (!sixteen) return reader.Mono8To8();
      return bits == 4 ? reader.Mono16ToAdpcm() : reader.Mono16To8();
    case AiffPick::Left:
    case AiffPick::Right:
      if (!sixteen) return reader.Stereo8To8Channel(channel);
      return bits == 4 ? reader.Stereo16ToAdpcmChannel(channel) : reader.Stereo16To8Channel(channel);
    case AiffPick::Both:
      if (!sixteen) return reader.Stereo8To8();
      return bits == 4 ? reader.Stereo16ToAdpcm() : reader.Stereo16To8();
  }
  return 0;
}

// Channel selector 0 for mono, else 1 left, 2 right, 3 both.
uint32_t ConvertWav(CRiffWaveReader& reader, int bits, int selector, uint8_t* out, uint32_t room) {
  const bool sixteen = reader.GetBitsPerSample() == 16;
  if (selector == 0) {
    if (!sixteen) return reader.Mono8To8(out, room);
    return bits == 4 ? reader.Mono16ToAdpcm(out, room) : reader.Mono16To8(out, room);
  }
  if (!sixteen) return reader.Stereo8To8(selector, out, room);
  return bits == 4 ? reader.Stereo16ToAdpcm(selector, out, room)
                   : reader.Stereo16To8(selector, out, room);
}

}  // namespace

CWaveData::FileKind CWaveData::KindOf(const std::string& path) {
  if (path.size() < 4) return FileKind::Other;
  const char* ext = path.c_str() + path.size() - 4;
  if (strcasecmp(ext, ".aif") == 0) return FileKind::Aiff;
  if (strcasecmp(ext, ".wav") == 0) return FileKind::Wav;
  return FileKind::Other;
}

bool CWaveData::Load(const std::string& path, int bits, uint32_t* result) {
  return LoadReporting(path, bits, false, result);
}

bool CWaveData::LoadFor16Bit(const std::string& path, uint32_t* result) {
  return LoadReporting(path, 16, true, result);
}

bool CWaveData::LoadReporting(const std::string& path, int bits, bool userWave, uint32_t* result) {
  Clear();
  uint32_t code;
  try {
    code = LoadFile(path, bits, userWave);
  } catch (const std::exception&) {
    code = kFileError;
  }
  if (code == kOk) return true;
  // A failed load leaves nothing half loaded.
  Clear();
  if (result) *result = code;
  return false;
}

uint32_t CWaveData::LoadFile(const std::string& path, int bits, bool userWave) {
  const FileKind kind = KindOf(path);
  // The WAV reader reads the file itself: only its size is needed here.
  std::optional<std::vector<uint8_t>> image;
  std::optional<uint64_t> length;
  if (kind == FileKind::Wav) {
    length = platform::RegularFileSize(path);
  } else {
    image = platform::ReadWholeFile(path);
    if (image) length = image->size();
  }
  if (!length) return kFileError;
  const uint64_t room = *length * kOutputFactor;
  // The readers address their output with 32-bit sizes.
  if (room > std::numeric_limits<uint32_t>::max()) return kFileError;
  std::unique_ptr<uint8_t[]> out(new uint8_t[room ? room : 1]);
  switch (kind) {
    case FileKind::Aiff:
      return LoadAiff(image->data(), static_cast<uint32_t>(image->size()), out.get(), bits, userWave);
    case FileKind::Wav:
      return LoadWav(path, static_cast<uint32_t>(room), out.get(), bits, userWave);
    case FileKind::Other:
      break;
  }
  return kBadExtension;
}

uint32_t CWaveData::LoadAiff(const uint8_t* image, uint32_t size, uint8_t* out, int bits,
                             bool userWave) {
  CWaveFileReader reader;
  uint32_t loop[3];
  const uint32_t room = size * kOutputFactor;
  reader.Setup(image, size, out, room, loop);
  const uint32_t format = reader.Classify();
  if (format & CWaveFileReader::kFailed) return kNotSupported;
  const bool sixteen = format & CWaveFileReader::kSixteenBit;
  const bool stereo = format & CWaveFileReader::kStereo;
  int32_t produced = 0;
  if (userWave) {
    if (stereo) return kTwoChannels;
    if (!sixteen) return kNotSupported;
    produced = reader.Mono16To16();
    if (produced > 0) KeepUserWave(out, static_cast<uint32_t>(produced));
  } else {
    if ((bits != 4 && bits != 8) || (!sixteen && bits == 4)) return kNotSupported;
    m_kind = bits == 4 ? kAdpcm : kPcm8Signed;
    m_channels = stereo ? 2 : 1;
    produced = ConvertAiffChannels(reader, sixteen, stereo, bits, out, room);
  }
  uint32_t rate = 0;
  if (produced <= 0 || !reader.GetPitchCorrectedRate(rate)) return kNotSupported;
  m_loopStart = loop[1];
  m_loopEnd = loop[2];
  m_rate = rate;
  return kOk;
}

int32_t CWaveData::ConvertAiffChannels(CWaveFileReader& reader, bool sixteen, bool stereo, int bits,
                                       uint8_t* out, uint32_t room) {
  if (!stereo) return Keep(out, ConvertAiff(reader, sixteen, bits, AiffPick::Mono), 0);
  switch (platform::settings().GetChipMode()) {
    case 3: {
      const int32_t left = Keep(out, ConvertAiff(reader, sixteen, bits, AiffPick::Left), 0);
      if (left <= 0) return 0;
      reader.ResetOutput(out, room);
      return Keep(out, ConvertAiff(reader, sixteen, bits, AiffPick::Right), 1) > 0 ? left : 0;
    }
    case 5:
      return Keep(out, ConvertAiff(reader, sixteen, bits, AiffPick::Both), 0);
    default:
      // Other chip modes take no stereo sound.
      return 0;
  }
}

uint32_t CWaveData::LoadWav(const std::string& path, uint32_t room, uint8_t* out, int bits,
                            bool userWave) {
  CRiffWaveReader reader;
  if (!reader.Open(path)) return kNotSupported;
  const uint16_t channels = reader.GetChannels();
  const uint16_t sampleBits = reader.GetBitsPerSample();
  uint32_t produced = 0;
  if (userWave) {
    if (channels == 2) return kTwoChannels;
    if (channels != 1 || sampleBits != 16) return kNotSupported;
    produced = reader.Mono16To16(out, room);
    // The FM page, the board and the voice files hold user waves big-endian, as AIFF has them.
    for (uint32_t i = 0; i + 1 < produced; i += 2) std::swap(out[i], out[i + 1]);
    if (produced > 0) KeepUserWave(out, produced);
  } else {
    if ((bits != 4 && bits != 8) || (sampleBits != 8 && sampleBits != 16)) return kNotSupported;
    if (sampleBits == 8 && bits == 4) return kNotSupported;
    m_kind = sampleBits == 8 ? kPcm8Unsigned : (bits == 4 ? kAdpcm : kPcm8Signed);
    m_channels = channels == 2 ? 2 : 1;
    produced = ConvertWavChannels(reader, bits, out, room);
  }
  if (produced == 0) return kNotSupported;
  m_loopStart = reader.GetLoopStart();
  m_loopEnd = reader.GetLoopEnd();
  m_rate = reader.GetSampleRate();
  return kOk;
}

uint32_t CWaveData::ConvertWavChannels(CRiffWaveReader& reader, int bits, uint8_t* out,
                                       uint32_t room) {
  const uint16_t channels = reader.GetChannels();
  if (channels == 1) return Keep(out, ConvertWav(reader, bits, 0, out, room), 0);
  if (channels != 2) return 0;
  switch (platform::settings().GetChipMode()) {
    case 3: {
      const uint32_t left = Keep(out, ConvertWav(reader, bits, 1, out, room), 0);
      if (left == 0 || !reader.FindData()) return 0;
      return Keep(out, ConvertWav(reader, bits, 2, out, room), 1) > 0 ? left : 0;
    }
    case 5:
      return Keep(out, ConvertWav(reader, bits, 3, out, room), 0);
    default:
      return 0;
  }
}

void CWaveData::KeepUserWave(const uint8_t* bytes, uint32_t size) {
  std::vector<uint8_t> wave(kUserWaveBytes, 0);
  std::copy_n(bytes, std::min(size, kUserWaveBytes), wave.begin());
  SetChannel(wave.data(), kUserWaveBytes, 0);
  m_kind = kPcm16;
  m_channels = 1;
}

template <typename Count>
Count CWaveData::Keep(const uint8_t* out, Count produced, int channel) {
  if (produced > 0) SetChannel(out, static_cast<uint32_t>(produced), channel);
  return produced;
}

void CWaveData::SetChannel(const uint8_t* data, uint32_t size, int channel) {
  if (channel != 0 && channel != 1) return;
  m_buffers[channel].reset();
  m_sizes[channel] = data ? size : 0;
  if (m_sizes[channel] == 0) return;
  m_buffers[channel].reset(new uint8_t[size]);
  std::memcpy(m_buffers[channel].get(), data, size);
}

bool CWaveData::SetData(const uint8_t* data, uint32_t size, uint8_t kind) {
  // The holder's callers keep waves of at most 65535 bytes; a larger size would be cut.
  if (size > kMaxSetData) return false;
  SetChannel(data, size, 0);
  m_kind = kind;
  return true;
}

const uint8_t* CWaveData::GetSamples(int channel) const {
  return (channel == 0 || channel == 1) ? m_buffers[channel].get() : nullptr;
}

uint32_t CWaveData::GetSampleBytes(int channel) const {
  return (channel == 0 || channel == 1) ? m_sizes[channel] : 0;
}

void CWaveData::Clear() {
  m_buffers[0].reset();
  m_buffers[1].reset();
  m_sizes[0] = m_sizes[1] = 0;
  m_kind = kAdpcm;
  m_rate = 0;
  m_channels = 1;
}

bool CWaveData::ExpandTo16Bit() {
  const uint32_t size = m_sizes[0];
  if (size == 0) return false;
  if (m_kind != kAdpcm && m_kind != kPcm8Unsigned && m_kind != kPcm8Signed && m_kind != kPcm16) {
    return false;
  }
  std::vector<uint8_t> source(m_buffers[0].get(), m_buffers[0].get() + size);
  if (m_kind == kPcm8Unsigned) {
    for (uint8_t& b : source) b ^= 0x80;
  }
  std::vector<uint8_t> out(uint64_t(size) * kOutputFactor);
  uint32_t loop[3];
  CWaveFileReader reader;
  reader.Setup(source.data(), size, out.data(), static_cast<uint32_t>(out.size()), loop);
  int32_t produced = static_cast<int32_t>(size);
  if (m_kind == kAdpcm) {
    produced = reader.ExpandAdpcmTo16();
  } else if (m_kind == kPcm16) {
    std::copy(source.begin(), source.end(), out.begin());
  } else {
    produced = reader.Expand8To16();
  }
  SetChannel(out.data(), static_cast<uint32_t>(produced), 0);
  m_loopStart = m_loopEnd = static_cast<uint32_t>(produced);
  return true;
}

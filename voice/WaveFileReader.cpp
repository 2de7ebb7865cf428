// The AIFF reader and the 16-bit expansions of chip samples.
#include "voice/WaveFileReader.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "song/SmfStreamReaders.h"
#include "voice/Adpcm.h"

namespace {

constexpr uint32_t Id(const char (&s)[5]) {
  return (uint32_t(uint8_t(s[0])) << 24) | (uint32_t(uint8_t(s[1])) << 16) |
         (uint32_t(uint8_t(s[2])) << 8) | uint32_t(uint8_t(s[3]));
}

constexpr uint32_t kForm = Id("FORM");
constexpr uint32_t kAiff = Id("AIFF");
constexpr uint32_t kComm = Id("COMM");
constexpr uint32_t kSsnd = Id("SSND");
constexpr uint32_t kMark = Id("MARK");
constexpr uint32_t kInst = Id("INST");
constexpr uint32_t kCommSize = 18;
constexpr uint32_t kInstSize = 20;
constexpr uint32_t kSsndHeader = 8;
constexpr size_t kLoopNameLength = 8;
constexpr int kMaxExponent = 32766;

// An 80-bit IEEE 754 extended value: sign and 15-bit exponent, then a 64-bit mantissa with an
// explicit integer bit.
double Extended80(const uint8_t* p) {
  const bool negative = (p[0] & 0x80) != 0;
  const int exponent = ((p[0] & 0x7F) << 8) | p[1];
  uint64_t mantissa = 0;
  for (int i = 0; i < 8; ++i) mantissa = (mantissa << 8) | p[2 + i];
  double value;
  if (exponent == 0 && mantissa == 0) {
    value = 0;
  } else if (exponent > kMaxExponent) {
    value = HUGE_VAL;
  } else {
    value = std::ldexp(static_cast<double>(mantissa), exponent - 16383 - 63);
  }
  return negative ? -value : value;
}

}  // namespace

void CWaveFileReader::Setup(const uint8_t* image, uint32_t size, uint8_t* output, uint32_t room,
                            uint32_t* loop) {
  m_image = image;
  m_size = image ? size : 0;
  m_cursor = 0;
  ResetOutput(output, room);
  m_loop = loop;
  if (m_loop) m_loop[0] = m_loop[1] = m_loop[2] = 0;
  m_resultSize = 0;
  m_baseNote = 60;
}

void CWaveFileReader::ResetOutput(uint8_t* output, uint32_t room) {
  m_output = output;
  m_room = output ? room : 0;
}

uint16_t CWaveFileReader::BE16(uint64_t at) const { return GetBE16(m_image + at); }

uint32_t CWaveFileReader::BE32(uint64_t at) const { return GetBE32(m_image + at); }

int32_t CWaveFileReader::ReadAiffFile() {
  m_cursor = 0;
  m_ssndSeen = false;
  if (!Has(0, 12) || BE32(0) != kForm || BE32(8) != kAiff) return kNotAiff;
  // The FORM size counts its form type; every chunk then takes its header, body and pad.
  int64_t left = int64_t(BE32(4)) - 4;
  m_cursor = 12;
  while (left > 1) {
    const int32_t r = ReadChunk(left);
    if (r != 0) return r;
  }
  return ReadSoundData();
}

int32_t CWaveFileReader::ReadChunk(int64_t& left) {
  if (!Has(m_cursor, 8)) return kTruncated;
  const uint32_t id = BE32(m_cursor);
  const uint32_t size = BE32(m_cursor + 4);
  const uint64_t body = m_cursor + 8;
  const uint64_t padded = uint64_t(size) + (size & 1);
  left -= int64_t(8 + padded);
  if (!Has(body, size)) return kTruncated;
  if (id == kComm) {
    if (size != kCommSize) return kNotAiff;
    ReadComm(body);
  } else if (id == kSsnd) {
    m_ssndAt = body;
    m_ssndSize = size;
    m_ssndSeen = true;
  } else if (id == kMark) {
    const int32_t r = ReadMarkers(body, size);
    if (r != 0) return r;
  } else if (id == kInst) {
    if (size != kInstSize) return kNotAiff;
    m_baseNote = m_image[body];
  }
  // The last chunk's pad byte may be missing from the image.
  m_cursor = Has(body, padded) ? body + padded : m_size;
  return 0;
}

void CWaveFileReader::ReadComm(uint64_t at) {
  m_channels = BE16(at);
  m_frames = BE32(at + 2);
  m_sampleSize = BE16(at + 6);
  m_sampleRate = Extended80(m_image + at + 8);
}

int32_t CWaveFileReader::ReadMarkers(uint64_t at, uint32_t size) {
  const uint64_t end = at + size;
  if (size < 2) return kTruncated;
  const uint32_t count = BE16(at);
  uint64_t p = at + 2;
  for (uint32_t i = 0; i < count; ++i) {
    // Marker id (16-bit) and position (32-bit), then a counted name padded to an even length.
    if (end - p < 7) return kTruncated;
    const uint32_t position = BE32(p + 2);
    const uint32_t length = m_image[p + 6];
    const uint64_t text = p + 7;
    if (end - text < length) return kTruncated;
    if (length >= kLoopNameLength && m_loop) {
      const char* name = reinterpret_cast<const char*>(m_image + text);
      if (std::memcmp(name, "beg loop", kLoopNameLength) == 0 ||
          std::memcmp(name, "big loop", kLoopNameLength) == 0) {
        m_loop[1] = position;
      } else if (std::memcmp(name, "end loop", kLoopNameLength) == 0) {
        m_loop[2] = position;
      }
    }
    const uint64_t next = text + length + ((length + 1) & 1);
    p = next < end ? next : end;
  }
  return 0;
}

int32_t CWaveFileReader::ReadSoundData() {
  // Without a sound-data header there is no offset or block size to read.
  if (!m_ssndSeen || m_ssndSize < kSsndHeader) return kNotAiff;
  const uint32_t offset = BE32(m_ssndAt);
  const uint32_t blockSize = BE32(m_ssndAt + 4);
  if (offset != 0 || blockSize != 0) {
    std::printf("Error; offset = %ld, blocksize = %ld\n", static_cast<long>(offset),
                static_cast<long>(blockSize));
    return kNotAiff;
  }
  m_cursor = m_ssndAt + kSsndHeader;
  return 0;
}

uint32_t CWaveFileReader::Classify() {
  const uint64_t saved = m_cursor;
  const int32_t r = ReadAiffFile();
  m_cursor = saved;
  if (r < 0) return kFailed;
  if (m_channels != 1 && m_channels != 2) return kFailed;
  if (m_sampleSize != 8 && m_sampleSize != 16) return kFailed;
  return (m_sampleSize == 16 ? kSixteenBit : 0) | (m_channels == 2 ? kStereo : 0);
}

uint32_t CWaveFileReader::FramesPresent(uint32_t frameBytes) const {
  const uint64_t held = (m_ssndSize - kSsndHeader) / frameBytes;
  return held < m_frames ? static_cast<uint32_t>(held) : m_frames;
}

int16_t CWaveFileReader::Sample16(uint32_t frame, uint32_t frameBytes, uint32_t offset) const {
  return static_cast<int16_t>(BE16(m_cursor + uint64_t(frame) * frameBytes + offset));
}

void CWaveFileReader::Put(uint8_t byte) {
  if (m_room == 0) return;
  *m_output++ = byte;
  --m_room;
}

int32_t CWaveFileReader::Finish(int64_t result, int64_t loopDefault) {
  m_resultSize = static_cast<uint32_t>(result);
  if (loopDefault >= 0 && m_loop && m_loop[1] == 0 && m_loop[2] == 0) {
    m_loop[1] = m_loop[2] = static_cast<uint32_t>(loopDefault);
  }
  return static_cast<int32_t>(result);
}

int32_t CWaveFileReader::Encode(uint32_t frames, uint32_t frameBytes, uint32_t offset) {
  std::vector<int16_t> samples(frames);
  for (uint32_t k = 0; k < frames; ++k) samples[k] = Sample16(k, frameBytes, offset);
  std::vector<uint8_t> codes((uint64_t(frames) + 1) / 2);
  AdpcmState state;
  AdpcmInit(state);
  AdpcmEncode(state, samples.data(), codes.data(), static_cast<int32_t>(frames));
  for (uint8_t code : codes) Put(code);
  return static_cast<int32_t>(codes.size());
}

int32_t CWaveFileReader::EncodeStereo(uint32_t frames) {
  std::vector<int16_t> left(frames), right(frames);
  for (uint32_t k = 0; k < frames; ++k) {
    left[k] = Sample16(k, 4, 0);
    right[k] = Sample16(k, 4, 2);
  }
  const size_t packed = (uint64_t(frames) + 1) / 2;
  std::vector<uint8_t> leftCodes(packed), rightCodes(packed);
  AdpcmState state;
  AdpcmInit(state);
  AdpcmEncode(state, left.data(), leftCodes.data(), static_cast<int32_t>(frames));
  AdpcmInit(state);
  AdpcmEncode(state, right.data(), rightCodes.data(), static_cast<int32_t>(frames));
  for (uint32_t k = 0; k < frames; ++k) {
    Put(static_cast<uint8_t>(AdpcmNibble(leftCodes.data(), k) | (AdpcmNibble(rightCodes.data(), k) << 4)));
  }
  return static_cast<int32_t>(frames);
}

int32_t CWaveFileReader::Mono16ToAdpcm() {
  if (const int32_t r = ReadAiffFile(); r < 0) return r;
  const int32_t result = Encode(FramesPresent(2), 2, 0);
  return Finish(result, 2 * int64_t(result));
}

int32_t CWaveFileReader::Stereo16ToAdpcmChannel(int channel) {
  if (const int32_t r = ReadAiffFile(); r < 0) return r;
  return Finish(Encode(FramesPresent(4), 4, channel == 0 ? 0 : 2), -1);
}

int32_t CWaveFileReader::Stereo16ToAdpcm() {
  if (const int32_t r = ReadAiffFile(); r < 0) return r;
  return Finish(EncodeStereo(FramesPresent(4)), -1);
}

int32_t CWaveFileReader::Mono16To16() {
  if (const int32_t r = ReadAiffFile(); r < 0) return r;
  const uint32_t frames = FramesPresent(2);
  for (uint64_t i = 0; i < uint64_t(frames) * 2; ++i) Put(m_image[m_cursor + i]);
  const int64_t result = int64_t(frames) * 2;
  return Finish(result, result);
}

int32_t CWaveFileReader::Mono16To8() {
  if (const int32_t r = ReadAiffFile(); r < 0) return r;
  const uint32_t frames = FramesPresent(2);
  for (uint32_t k = 0; k < frames; ++k) Put(m_image[m_cursor + uint64_t(k) * 2]);
  return Finish(frames, frames);
}

int32_t CWaveFileReader::Stereo16To8Channel(int channel) {
  if (const int32_t r = ReadAiffFile(); r < 0) return r;
  const uint32_t frames = FramesPresent(4);
  const uint32_t offset = channel == 0 ? 0 : 2;
  for (uint32_t k = 0; k < frames; ++k) Put(m_image[m_cursor + uint64_t(k) * 4 + offset]);
  return Finish(frames, -1);
}

int32_t CWaveFileReader::Stereo16To8() {
  if (const int32_t r = ReadAiffFile(); r < 0) return r;
  const uint32_t frames = FramesPresent(4);
  for (uint32_t k = 0; k < frames; ++k) {
    Put(m_image[m_cursor + uint64_t(k) * 4]);
    Put(m_image[m_cursor + uint64_t(k) * 4 + 2]);
  }
  return Finish(2 * int64_t(frames), -1);
}

int32_t CWaveFileReader::Mono8To8() {
  if (const int32_t r = ReadAiffFile(); r < 0) return r;
  const uint32_t frames = FramesPresent(1);
  for (uint32_t k = 0; k < frames; ++k) Put(m_image[m_cursor + k]);
  return Finish(frames, frames);
}

int32_t CWaveFileReader::Stereo8To8Channel(int channel) {
  if (const int32_t r = ReadAiffFile(); r < 0) return r;
  const uint32_t frames = FramesPresent(2);
  const uint32_t offset = channel == 0 ? 0 : 1;
  for (uint32_t k = 0; k < frames; ++k) Put(m_image[m_cursor + uint64_t(k) * 2 + offset]);
  return Finish(frames, -1);
}

int32_t CWaveFileReader::Stereo8To8() {
  if (const int32_t r = ReadAiffFile(); r < 0) return r;
  const uint32_t frames = FramesPresent(2);
  for (uint64_t i = 0; i < uint64_t(frames) * 2; ++i) Put(m_image[m_cursor + i]);
  return Finish(2 * int64_t(frames), -1);
}

int32_t CWaveFileReader::ExpandAdpcmTo16() {
  std::vector<int16_t> samples(m_size * 2);
  AdpcmDecode(m_image, samples.data(), static_cast<int32_t>(m_size));
  for (int16_t s : samples) {
    Put(static_cast<uint8_t>(uint16_t(s) >> 8));
    Put(static_cast<uint8_t>(uint16_t(s) & 0xFF));
  }
  const int64_t result = int64_t(m_size) * 4;
  return Finish(result, result);
}

int32_t CWaveFileReader::Expand8To16() {
  for (uint64_t i = 0; i < m_size; ++i) {
    // A signed byte times 256 is that byte followed by a zero byte.
    Put(m_image[i]);
    Put(0);
  }
  const int64_t result = int64_t(m_size) * 2;
  return Finish(result, result);
}

bool CWaveFileReader::GetPitchCorrectedRate(uint32_t& rate) const {
  const double corrected =
      std::trunc(m_sampleRate * std::exp2((60.0 - double(m_baseNote)) / 12.0));
  if (!std::isfinite(corrected) || corrected < 0 || corrected > 4294967295.0) return false;
  rate = static_cast<uint32_t>(corrected);
  return true;
}

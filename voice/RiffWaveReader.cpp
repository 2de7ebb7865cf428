// The WAV reader and its conversions.
#include "voice/RiffWaveReader.h"

#include <unistd.h>

#include <algorithm>
#include <new>

#include "platform/io/FileIo.h"
#include "voice/Adpcm.h"

namespace {

constexpr uint32_t Id(const char (&s)[5]) {
  return uint32_t(uint8_t(s[0])) | (uint32_t(uint8_t(s[1])) << 8) |
         (uint32_t(uint8_t(s[2])) << 16) | (uint32_t(uint8_t(s[3])) << 24);
}

constexpr uint32_t kRiff = Id("RIFF");
constexpr uint32_t kWave = Id("WAVE");
constexpr uint32_t kFmt = Id("fmt ");
constexpr uint32_t kData = Id("data");
constexpr uint32_t kFormatBytes = 16;
constexpr uint16_t kPcmTag = 1;

uint16_t LE16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t LE32(const uint8_t* p) {
  return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

uint32_t Fail(uint32_t code, uint32_t* result) {
  if (result) *result = code;
  return 0;
}

std::vector<int16_t> Samples16(const std::vector<uint8_t>& bytes, uint32_t count, uint32_t stride,
                               uint32_t offset) {
  std::vector<int16_t> samples(count);
  for (uint32_t k = 0; k < count; ++k) {
    samples[k] = static_cast<int16_t>(LE16(&bytes[uint64_t(k) * stride + offset]));
  }
  return samples;
}

std::vector<uint8_t> Encode(const std::vector<int16_t>& samples) {
  std::vector<uint8_t> codes((samples.size() + 1) / 2);
  AdpcmState state;
  AdpcmInit(state);
  AdpcmEncode(state, samples.data(), codes.data(), static_cast<int32_t>(samples.size()));
  return codes;
}

// The byte at `leftAt`, at `rightAt` or at both of each frame, by channel selector.
std::vector<uint8_t> Pick(const std::vector<uint8_t>& bytes, uint32_t frames, uint32_t stride,
                          int channel, uint32_t leftAt, uint32_t rightAt) {
  std::vector<uint8_t> out;
  out.reserve(channel == 3 ? uint64_t(frames) * 2 : frames);
  for (uint32_t k = 0; k < frames; ++k) {
    const uint64_t at = uint64_t(k) * stride;
    if (channel != 2) out.push_back(bytes[at + leftAt]);
    if (channel != 1) out.push_back(bytes[at + rightAt]);
  }
  return out;
}

bool IsSelector(int channel) { return channel >= 1 && channel <= 3; }

}  // namespace

CRiffWaveReader::~CRiffWaveReader() { Close(); }

void CRiffWaveReader::Close() {
  if (m_file) std::fclose(m_file);
  m_file = nullptr;
}

bool CRiffWaveReader::ReadAt(uint64_t at, uint8_t* buffer, size_t n) {
  if (at > m_fileSize || n > m_fileSize - at) return false;
  if (fseeko(m_file, static_cast<off_t>(at), SEEK_SET) != 0) return false;
  if (std::fread(buffer, 1, n, m_file) != n) return false;
  m_position = at + n;
  return true;
}

bool CRiffWaveReader::Descend(ChunkInfo& chunk, uint32_t id, uint64_t from, uint64_t end) {
  uint64_t at = from;
  uint8_t header[8];
  while (at + 8 <= end && ReadAt(at, header, 8)) {
    const uint32_t size = LE32(header + 4);
    if (LE32(header) == id) {
      chunk = ChunkInfo{id, size, 0, at + 8, 0};
      return true;
    }
    at += 8 + uint64_t(size) + (size & 1);
  }
  return false;
}

uint64_t CRiffWaveReader::RiffEnd() const {
  return std::min<uint64_t>(m_riff.dataOffset + m_riff.size, m_fileSize);
}

bool CRiffWaveReader::ReadFormat() {
  uint8_t header[12];
  if (!ReadAt(0, header, 12) || LE32(header) != kRiff || LE32(header + 8) != kWave) return false;
  m_riff = ChunkInfo{kRiff, LE32(header + 4), kWave, 8, 0};
  if (!Descend(m_fmt, kFmt, m_riff.dataOffset + 4, RiffEnd())) return false;
  uint8_t body[kFormatBytes];
  if (m_fmt.size < kFormatBytes || !ReadAt(m_fmt.dataOffset, body, kFormatBytes)) return false;
  m_format = WaveFormat{LE16(body),      LE16(body + 2),  LE32(body + 4),
                        LE32(body + 8), LE16(body + 12), LE16(body + 14)};
  return m_format.formatTag == kPcmTag;
}

bool CRiffWaveReader::Open(const std::string& path) {
  Close();
  m_format = WaveFormat{};
  m_data = ChunkInfo{};
  // Only a regular file: a FIFO would block and a device would never end.
  uint64_t size = 0;
  const int fd = platform::OpenRegularFile(path, &size);
  if (fd < 0) return false;
  m_file = ::fdopen(fd, "rb");
  if (!m_file) {
    ::close(fd);
    return false;
  }
  m_fileSize = size;
  if (!ReadFormat()) {
    Close();
    return false;
  }
  return FindData();
}

bool CRiffWaveReader::FindData() {
  if (!m_file || !Descend(m_data, kData, m_riff.dataOffset + 4, RiffEnd())) {
    Close();
    return false;
  }
  m_dataStart = m_data.dataOffset;
  m_position = m_dataStart;
  return fseeko(m_file, static_cast<off_t>(m_dataStart), SEEK_SET) == 0;
}

uint32_t CRiffWaveReader::Read(uint8_t* buffer, uint32_t n) {
  if (!m_file || m_position < m_dataStart) return 0;
  const uint64_t done = m_position - m_dataStart;
  if (done >= m_data.size) return 0;
  const uint64_t want = std::min<uint64_t>(m_data.size - done, n);
  const size_t got = std::fread(buffer, 1, want, m_file);
  m_position += got;
  return static_cast<uint32_t>(got);
}

bool CRiffWaveReader::ReadSamples(uint16_t bits, uint32_t pad, std::vector<uint8_t>& bytes,
                                  uint32_t* result) {
  // Checked before allocating: a hostile size must not reserve gigabytes.
  bool ok = m_file && m_format.bitsPerSample == bits && m_position == m_dataStart &&
            m_data.size <= m_fileSize - m_dataStart;
  if (ok) {
    try {
      bytes.assign(uint64_t(m_data.size) + pad, 0);
      ok = Read(bytes.data(), m_data.size) == m_data.size;
    } catch (const std::bad_alloc&) {
      ok = false;
    }
  }
  if (!ok) Fail(kReadFailed, result);
  return ok;
}

uint32_t CRiffWaveReader::Deliver(const std::vector<uint8_t>& produced, uint32_t needed,
                                  uint8_t* out, uint32_t capacity, uint32_t* result) {
  if (needed > capacity || !out) return Fail(kBufferTooSmall, result);
  std::copy(produced.begin(), produced.end(), out);
  return static_cast<uint32_t>(produced.size());
}

uint32_t CRiffWaveReader::Mono16ToAdpcm(uint8_t* out, uint32_t capacity, uint32_t* result) {
  std::vector<uint8_t> bytes;
  // An odd byte count leaves a half-sample whose missing byte reads as 0.
  if (!ReadSamples(16, 1, bytes, result)) return 0;
  const uint32_t count = static_cast<uint32_t>((uint64_t(m_data.size) + 1) / 2);
  const std::vector<uint8_t> codes = Encode(Samples16(bytes, count, 2, 0));
  const uint32_t n = Deliver(codes, static_cast<uint32_t>(codes.size()), out, capacity, result);
  if (n) SetLoop(2 * n);
  return n;
}

uint32_t CRiffWaveReader::Stereo16ToAdpcm(int channel, uint8_t* out, uint32_t capacity,
                                          uint32_t* result) {
  if (!IsSelector(channel)) return Fail(kReadFailed, result);
  std::vector<uint8_t> bytes;
  // A frame cut short reads its missing bytes as 0.
  if (!ReadSamples(16, 4, bytes, result)) return 0;
  const uint32_t frames = static_cast<uint32_t>(((uint64_t(m_data.size) + 1) / 2 + 1) / 2);
  if (channel != 3) {
    const std::vector<uint8_t> codes = Encode(Samples16(bytes, frames, 4, channel == 1 ? 0 : 2));
    const uint32_t n = Deliver(codes, static_cast<uint32_t>(codes.size()), out, capacity, result);
    if (n) SetLoop(2 * n);
    return n;
  }
  const std::vector<uint8_t> left = Encode(Samples16(bytes, frames, 4, 0));
  const std::vector<uint8_t> right = Encode(Samples16(bytes, frames, 4, 2));
  std::vector<uint8_t> both(frames);
  for (uint32_t k = 0; k < frames; ++k) {
    both[k] = static_cast<uint8_t>(AdpcmNibble(left.data(), k) | (AdpcmNibble(right.data(), k) << 4));
  }
  const uint32_t n = Deliver(both, static_cast<uint32_t>(left.size() * 2), out, capacity, result);
  if (n) SetLoop(2 * n);
  return n;
}

uint32_t CRiffWaveReader::Mono16To16(uint8_t* out, uint32_t capacity, uint32_t* result) {
  std::vector<uint8_t> bytes;
  if (!ReadSamples(16, 0, bytes, result)) return 0;
  return Deliver(bytes, static_cast<uint32_t>(bytes.size()), out, capacity, result);
}

uint32_t CRiffWaveReader::Mono16To8(uint8_t* out, uint32_t capacity, uint32_t* result) {
  std::vector<uint8_t> bytes;
  if (!ReadSamples(16, 0, bytes, result)) return 0;
  const std::vector<uint8_t> high = Pick(bytes, m_data.size / 2, 2, 1, 1, 1);
  const uint32_t n = Deliver(high, static_cast<uint32_t>(high.size()), out, capacity, result);
  if (n) SetLoop(n);
  return n;
}

uint32_t CRiffWaveReader::Stereo16To8(int channel, uint8_t* out, uint32_t capacity,
                                      uint32_t* result) {
  if (!IsSelector(channel)) return Fail(kReadFailed, result);
  std::vector<uint8_t> bytes;
  if (!ReadSamples(16, 0, bytes, result)) return 0;
  const std::vector<uint8_t> high = Pick(bytes, m_data.size / 4, 4, channel, 1, 3);
  const uint32_t n = Deliver(high, static_cast<uint32_t>(high.size()), out, capacity, result);
  if (n) SetLoop(n);
  return n;
}

uint32_t CRiffWaveReader::Mono8To8(uint8_t* out, uint32_t capacity, uint32_t* result) {
  std::vector<uint8_t> bytes;
  if (!ReadSamples(8, 0, bytes, result)) return 0;
  const uint32_t n = Deliver(bytes, static_cast<uint32_t>(bytes.size()), out, capacity, result);
  if (n) SetLoop(n);
  return n;
}

uint32_t CRiffWaveReader::Stereo8To8(int channel, uint8_t* out, uint32_t capacity, uint32_t* result) {
  if (!IsSelector(channel)) return Fail(kReadFailed, result);
  std::vector<uint8_t> bytes;
  if (!ReadSamples(8, 0, bytes, result)) return 0;
  const std::vector<uint8_t> picked = Pick(bytes, m_data.size / 2, 2, channel, 0, 1);
  const uint32_t n = Deliver(picked, static_cast<uint32_t>(picked.size()), out, capacity, result);
  if (n) SetLoop(n);
  return n;
}

// Builders of WAV and AIFF images for the tests, and temporary files to load them from.
#pragma once

#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

namespace wavetest {

using Bytes = std::vector<uint8_t>;

inline void Append(Bytes& out, const Bytes& more) { out.insert(out.end(), more.begin(), more.end()); }

inline void PutLE16(Bytes& out, uint32_t v) {
  out.push_back(uint8_t(v));
  out.push_back(uint8_t(v >> 8));
}
inline void PutLE32(Bytes& out, uint32_t v) {
  PutLE16(out, v & 0xFFFF);
  PutLE16(out, v >> 16);
}
inline void PutBE16(Bytes& out, uint32_t v) {
  out.push_back(uint8_t(v >> 8));
  out.push_back(uint8_t(v));
}
inline void PutBE32(Bytes& out, uint32_t v) {
  PutBE16(out, v >> 16);
  PutBE16(out, v & 0xFFFF);
}
inline void PutId(Bytes& out, const char* id) {
  for (int i = 0; i < 4; ++i) out.push_back(uint8_t(id[i]));
}

/// 16-bit samples, little-endian (WAV) or big-endian (AIFF).
inline Bytes Samples16LE(std::initializer_list<int> samples) {
  Bytes out;
  for (int s : samples) PutLE16(out, uint16_t(s));
  return out;
}
inline Bytes Samples16BE(std::initializer_list<int> samples) {
  Bytes out;
  for (int s : samples) PutBE16(out, uint16_t(s));
  return out;
}
inline Bytes Samples16BE(const std::vector<int>& samples) {
  Bytes out;
  for (int s : samples) PutBE16(out, uint16_t(s));
  return out;
}

/// A chunk: id, size, body and a pad byte after an odd body. The size field may lie.
inline Bytes Chunk(const char* id, const Bytes& body, std::optional<uint32_t> sizeField, bool bigEndian) {
  Bytes out;
  PutId(out, id);
  const uint32_t size = sizeField.value_or(uint32_t(body.size()));
  if (bigEndian) {
    PutBE32(out, size);
  } else {
    PutLE32(out, size);
  }
  Append(out, body);
  if (body.size() % 2) out.push_back(0);
  return out;
}

/// A RIFF chunk, little-endian.
inline Bytes RiffChunk(const char* id, const Bytes& body, std::optional<uint32_t> sizeField = {}) {
  return Chunk(id, body, sizeField, false);
}

inline Bytes FmtBody(uint16_t channels, uint16_t bits, uint32_t rate, uint16_t tag = 1) {
  Bytes out;
  PutLE16(out, tag);
  PutLE16(out, channels);
  PutLE32(out, rate);
  PutLE32(out, rate * channels * bits / 8);
  PutLE16(out, channels * bits / 8);
  PutLE16(out, bits);
  return out;
}

/// A container chunk: magic, size, form type and the given chunks.
inline Bytes Container(const char* magic, const char* formType, const std::vector<Bytes>& chunks,
                       bool bigEndian) {
  Bytes body;
  PutId(body, formType);
  for (const Bytes& c : chunks) Append(body, c);
  return Chunk(magic, body, std::nullopt, bigEndian);
}

/// "RIFF" size "WAVE" and the given chunks.
inline Bytes Riff(const std::vector<Bytes>& chunks) { return Container("RIFF", "WAVE", chunks, false); }

/// A plain WAV file: "fmt " then "data".
inline Bytes Wav(uint16_t channels, uint16_t bits, uint32_t rate, const Bytes& data) {
  return Riff({RiffChunk("fmt ", FmtBody(channels, bits, rate)), RiffChunk("data", data)});
}

/// An AIFF chunk, big-endian.
inline Bytes AiffChunk(const char* id, const Bytes& body, std::optional<uint32_t> sizeField = {}) {
  return Chunk(id, body, sizeField, true);
}

/// The 80-bit extended form of a positive whole rate.
inline Bytes Rate80(uint32_t rate) {
  Bytes out;
  int exponent = 16383 + 31;
  uint64_t mantissa = uint64_t(rate) << 32;
  while (mantissa && !(mantissa & (1ULL << 63))) {
    mantissa <<= 1;
    --exponent;
  }
  if (!rate) exponent = 0;
  PutBE16(out, uint32_t(exponent));
  PutBE32(out, uint32_t(mantissa >> 32));
  PutBE32(out, uint32_t(mantissa));
  return out;
}

inline Bytes CommBody(uint16_t channels, uint32_t frames, uint16_t bits, const Bytes& rate80) {
  Bytes out;
  PutBE16(out, channels);
  PutBE32(out, frames);
  PutBE16(out, bits);
  Append(out, rate80);
  return out;
}

inline Bytes SsndBody(const Bytes& samples, uint32_t offset = 0, uint32_t blockSize = 0) {
  Bytes out;
  PutBE32(out, offset);
  PutBE32(out, blockSize);
  Append(out, samples);
  return out;
}

inline Bytes InstBody(uint8_t baseNote) {
  Bytes out(20, 0);
  out[0] = baseNote;
  return out;
}

struct Marker {
  uint16_t id;
  uint32_t position;
  std::string name;
};

inline Bytes MarkBody(const std::vector<Marker>& markers) {
  Bytes out;
  PutBE16(out, uint16_t(markers.size()));
  for (const Marker& m : markers) {
    PutBE16(out, m.id);
    PutBE32(out, m.position);
    out.push_back(uint8_t(m.name.size()));
    out.insert(out.end(), m.name.begin(), m.name.end());
    if ((m.name.size() + 1) % 2) out.push_back(0);
  }
  return out;
}

/// "FORM" size "AIFF" and the given chunks.
inline Bytes Form(const std::vector<Bytes>& chunks, const char* formType = "AIFF") {
  return Container("FORM", formType, chunks, true);
}

/// A plain AIFF file: COMM then SSND.
inline Bytes Aiff(uint16_t channels, uint16_t bits, uint32_t rate, const Bytes& samples) {
  const uint32_t frames = uint32_t(samples.size() / (channels * (bits / 8)));
  return Form({AiffChunk("COMM", CommBody(channels, frames, bits, Rate80(rate))),
               AiffChunk("SSND", SsndBody(samples))});
}

/// A file in a private temporary folder, removed with it.
class TempFile {
 public:
  explicit TempFile(const Bytes& bytes, const std::string& name = "sound.wav") {
    std::string pattern = (std::filesystem::temp_directory_path() / "wavetestXXXXXX").string();
    m_dir = mkdtemp(pattern.data()) ? pattern : std::string();
    m_path = m_dir + "/" + name;
    Write(bytes);
  }
  ~TempFile() {
    std::error_code ec;
    std::filesystem::remove_all(m_dir, ec);
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  void Write(const Bytes& bytes) const {
    if (std::FILE* f = std::fopen(m_path.c_str(), "wb")) {
      if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
      std::fclose(f);
    }
  }
  const std::string& Path() const { return m_path; }
  const std::string& Dir() const { return m_dir; }

 private:
  std::string m_dir;
  std::string m_path;
};

}  // namespace wavetest

// Test helpers: the folders of the stand-in emulator's variants, their call records and a short
// song image for them to play.
#pragma once

#include "TestPaths.h"
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "platform/dynlib/DynamicLibrary.h"

namespace emutest {

inline std::string VariantDir(const char* variant) { return std::string(TRILLOT_EMU_FIXTURE_DIR) + "/" + variant + "/"; }

/// The calls a recording variant has seen, read through a second handle on the same file.
class EmuRecord {
 public:
  explicit EmuRecord(const std::string& path) {
    m_lib.Open(path);
    m_read = m_lib.Function<int32_t (*)(char*, int32_t)>("KzEmuTest_ReadRecord");
    m_clear = m_lib.Function<void (*)()>("KzEmuTest_ClearRecord");
    Clear();
  }
  bool IsOpen() const { return m_read != nullptr; }
  void Clear() {
    if (m_clear) m_clear();
  }
  std::vector<std::string> Calls() const {
    std::vector<std::string> lines;
    if (!m_read) return lines;
    std::string text(static_cast<size_t>(m_read(nullptr, 0)) + 1, '\0');
    m_read(text.data(), static_cast<int32_t>(text.size()));
    std::istringstream in(text.c_str());
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
  /// The calls whose text starts with `prefix`.
  std::vector<std::string> CallsOf(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const std::string& line : Calls())
      if (line.rfind(prefix, 0) == 0) out.push_back(line);
    return out;
  }

 private:
  platform::DynamicLibrary m_lib;
  int32_t (*m_read)(char*, int32_t) = nullptr;
  void (*m_clear)() = nullptr;
};

/// A VELK image with one note that ends at tick `endTick` of a 1 ms time base.
inline std::vector<uint8_t> ShortSongImage(uint8_t endTick) {
  const std::vector<uint8_t> cnti = {0x00, 0x01, 0x00, 0xFC, 0x00};
  const std::vector<uint8_t> mtsq = {0x00, 0x93, 0x3C, 0x50, endTick, 0x00, 0xFF, 0x2F, 0x00};
  std::vector<uint8_t> track = {0x02, 0x00, 0x00, 0x00};
  track.insert(track.end(), 16, 0x00);
  auto chunk = [](const char* id, const std::vector<uint8_t>& body) {
    std::vector<uint8_t> out(id, id + 4);
    uint32_t n = static_cast<uint32_t>(body.size());
    out.insert(out.end(), {static_cast<uint8_t>(n >> 24), static_cast<uint8_t>(n >> 16), static_cast<uint8_t>(n >> 8),
                           static_cast<uint8_t>(n)});
    out.insert(out.end(), body.begin(), body.end());
    return out;
  };
  std::vector<uint8_t> seq = chunk("Mtsq", mtsq);
  track.insert(track.end(), seq.begin(), seq.end());
  const char mtr5[4] = {'M', 'T', 'R', 5};
  std::vector<uint8_t> body = chunk("CNTI", cnti);
  std::vector<uint8_t> trackChunk = chunk(mtr5, track);
  body.insert(body.end(), trackChunk.begin(), trackChunk.end());
  std::vector<uint8_t> image = {'M', 'M', 'M', 'D'};
  uint32_t n = static_cast<uint32_t>(body.size() + 2);
  image.insert(image.end(), {static_cast<uint8_t>(n >> 24), static_cast<uint8_t>(n >> 16), static_cast<uint8_t>(n >> 8),
                             static_cast<uint8_t>(n)});
  image.insert(image.end(), body.begin(), body.end());
  image.insert(image.end(), {0x00, 0x00});
  return image;
}

}  // namespace emutest

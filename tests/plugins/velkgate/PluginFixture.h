// Helpers of the plug-in tests: the built Velkgate loaded as the program loads it, and songs.
#pragma once

#include "TestPaths.h"
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "app/CnvParam.h"
#include "tests/plugins/midigate/SmfFixture.h"

namespace velkgate::testing {

using Image = std::vector<uint8_t>;

inline Image& operator+=(Image& a, const Image& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}
inline Image operator+(Image a, const Image& b) { return a += b; }

/// Result of one call of an entry point.
struct Call {
  uint32_t result = 0;
  uint32_t flags = 0;
  uint32_t dstSize = 0;
  Image output;
  bool Converted() const { return result < CNVERR_FAILED; }
};

/// The module opened once per test with RTLD_LOCAL, as the binder opens it.
class PluginLibrary {
 public:
  explicit PluginLibrary(const char* path) : m_handle(dlopen(path, RTLD_NOW | RTLD_LOCAL)) {}
  ~PluginLibrary() {
    if (m_handle) dlclose(m_handle);
  }
  PluginLibrary(const PluginLibrary&) = delete;
  PluginLibrary& operator=(const PluginLibrary&) = delete;

  void* Handle() const { return m_handle; }
  void* Symbol(const char* name) const { return m_handle ? dlsym(m_handle, name) : nullptr; }
  CnvEntryFunc Entry(const char* name) const { return reinterpret_cast<CnvEntryFunc>(Symbol(name)); }

 private:
  void* m_handle;
};

/// A test with the built Velkgate loaded and its two conversions bound.
class VelkgateModule : public ::testing::Test {
 protected:
  VelkgateModule() : m_library(VELKGATE_PLUGIN_PATH) {}
  void SetUp() override {
    ASSERT_NE(m_library.Handle(), nullptr) << dlerror();
    m_from = m_library.Entry("CnvFrom");
    m_to = m_library.Entry("CnvTo");
    ASSERT_NE(m_from, nullptr);
    ASSERT_NE(m_to, nullptr);
  }

  PluginLibrary m_library;
  CnvEntryFunc m_from = nullptr;
  CnvEntryFunc m_to = nullptr;
};

/// Calls an entry with a copy of exactly the source bytes and a destination of the capacity.
inline Call CallEntry(CnvEntryFunc entry, const Image& source, uint32_t flags,
                      uint32_t capacity = 1 << 16) {
  Image src(source);
  Image dst(capacity);
  CnvParam param{};
  param.flags = flags;
  param.src = src.empty() ? nullptr : src.data();
  param.srcSize = static_cast<uint32_t>(src.size());
  param.dst = dst.data();
  param.dstSize = capacity;
  Call call;
  call.result = entry(&param, kCnvParamSize);
  call.flags = param.flags;
  call.dstSize = param.dstSize;
  if (call.Converted()) {
    dst.resize(call.result);
    call.output = dst;
  }
  return call;
}

/// The body of the song-data tempo message, for SmfWriter::SysEx: 43 79 06 7D 10 groups F7.
inline Image TempoBody(uint32_t usPerQuarter) {
  return {0x43, 0x79, 0x06, 0x7D, 0x10, static_cast<uint8_t>((usPerQuarter >> 14) & 0x7F),
          static_cast<uint8_t>((usPerQuarter >> 7) & 0x7F), static_cast<uint8_t>(usPerQuarter & 0x7F),
          0xF7};
}

/// The body of the song-data contents header 7D 01 for SmfWriter::SysEx: class, type, code
/// type 1, copy status and count (each below 0x80, so the packing adds a zero head byte).
inline Image ContentsBody(uint8_t contentsClass = 0, uint8_t type = 0x32, uint8_t copyStatus = 0x00) {
  return {0x43, 0x79, 0x06, 0x7D, 0x01, 0x00, contentsClass, type, 0x01, copyStatus, 0x00, 0xF7};
}

/// The body of the channel-status message 7D 02 with one channel's status set.
inline Image StatusBody(int channel, uint8_t status) {
  Image plain(16, 0x00);
  plain[static_cast<size_t>(channel)] = status;
  Image body = {0x43, 0x79, 0x06, 0x7D, 0x02};
  for (size_t i = 0; i < plain.size(); i += 7) {
    body.push_back(0x00);
    for (size_t k = i; k < i + 7 && k < plain.size(); ++k) body.push_back(plain[k]);
  }
  body.push_back(0xF7);
  return body;
}

/// Where a byte string first occurs in an image; npos when it does not.
inline size_t Find(const Image& image, const std::string& text, size_t from = 0) {
  auto it = std::search(image.begin() + static_cast<long>(from), image.end(), text.begin(), text.end(),
                        [](uint8_t a, char b) { return a == static_cast<uint8_t>(b); });
  return it == image.end() ? std::string::npos : static_cast<size_t>(it - image.begin());
}

inline uint32_t BE32(const Image& image, size_t at) {
  return (uint32_t{image[at]} << 24) | (uint32_t{image[at + 1]} << 16) | (uint32_t{image[at + 2]} << 8) |
         image[at + 3];
}

}  // namespace velkgate::testing

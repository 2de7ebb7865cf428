// Shared set-up of the opening and importing tests: files in a folder of their own, song data
// for a fake converter plug-in to hand back, and a document with the fake host.
#pragma once

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "DocTestSupport.h"
#include "app/CnvParam.h"
#include "tests/song/SmfTestImages.h"

namespace importtest {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

/// Song data of two notes on channel 0 (program 5 of bank 124) at 1250 microseconds a tick
/// (600000 a quarter note).
inline Bytes SongData() {
  smftest::Track t;
  t.TickTempo(0, 1250)
      .Event(0, {0xF0, 0x09, 0x43, 0x79, 0x06, 0x7D, 0x10, 0x24, 0x4F, 0x40, 0xF7})
      .Event(0, {0xB0, 0x00, 0x7C})
      .Event(0, {0xC0, 0x05})
      .Event(0, {0x90, 60, 100})
      .Event(480, {0x80, 60, 0})
      .Event(0, {0x90, 64, 90})
      .Event(480, {0x80, 64, 0})
      .EndOfTrack();
  return smftest::Image({t});
}

/// The note-ons of the song's event list.
inline int NoteCount(const CKZ1Doc& d) {
  int n = 0;
  for (const auto& m : *d.GetMidiList()) n += (m->GetByte(0) & 0xF0) == 0x90 ? 1 : 0;
  return n;
}

/// What a fake plug-in saw of its record.
struct Seen {
  uint32_t flags = 0;
  uint32_t srcSize = 0;
  bool hasDestination = false;
  uint32_t dstSize = 0;
};

/// A plug-in entry that records the record, writes `bytes` when they fit and returns their
/// size with `returned` as flags.
inline platform::FakeBinder::Entry Converter(std::vector<Seen>& seen, Bytes bytes, uint32_t returned) {
  return [&seen, bytes, returned](CnvParam& p) -> uint32_t {
    seen.push_back({p.flags, p.srcSize, p.dst != nullptr, p.dstSize});
    p.flags = returned;
    if (!p.dst || p.dstSize < bytes.size()) return CNVERR_DSTSIZE;
    if (!bytes.empty()) std::memcpy(p.dst, bytes.data(), bytes.size());
    return static_cast<uint32_t>(bytes.size());
  };
}

class ImportTest : public doctest::DocTest {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("trillot_import_" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  std::string File(const std::string& name, const Bytes& bytes) {
    const fs::path p = dir / name;
    std::ofstream out(p, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return p.string();
  }
  std::string File(const std::string& name, size_t size) { return File(name, Bytes(size, 0x5A)); }
  void Plugin(int kind, Bytes bytes, uint32_t returned) {
    host.binder.plugins[kind].from = Converter(seen, std::move(bytes), returned);
  }
  /// A reset document: no events, no path.
  static bool IsReset(const CKZ1Doc& d) {
    return d.GetMidiList()->empty() && d.GetMidiListPCM()->empty() && d.GetPathName().empty();
  }

  fs::path dir;
  std::vector<Seen> seen;
};

}  // namespace importtest

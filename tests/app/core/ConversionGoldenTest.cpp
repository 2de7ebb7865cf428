// Conversions compared byte for byte with stored outputs: songs of several sizes through the built
// Midigate and Velkgate (loaded as the program loads them) and through the program as a process.
// The stored files live in tests/golden; scripts/update-goldens rewrites them from the current
// build (it runs this test with TRILLOT_GOLDEN_UPDATE=1).
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "ProgramFolder.h"
#include "app/CnvParam.h"

namespace {

namespace fs = std::filesystem;
using startuptest::ProgramFolder;
using startuptest::RunProgram;
using startuptest::RunResult;
using Bytes = std::vector<uint8_t>;

Bytes ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::string& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

bool Updating() {
  const char* v = std::getenv("TRILLOT_GOLDEN_UPDATE");
  return v && *v && std::string(v) != "0";
}

/// Compares bytes with the stored file of that name, or stores them when updating.
void ExpectGolden(const std::string& name, const Bytes& bytes) {
  const std::string path = std::string(TRILLOT_SOURCE_DIR) + "/tests/golden/" + name;
  if (Updating()) {
    fs::create_directories(fs::path(path).parent_path());
    WriteBytes(path, bytes);
    return;
  }
  ASSERT_TRUE(fs::is_regular_file(path)) << path << " is missing: run scripts/update-goldens";
  const Bytes stored = ReadBytes(path);
  if (stored == bytes) return;
  size_t at = 0;
  while (at < stored.size() && at < bytes.size() && stored[at] == bytes[at]) ++at;
  ADD_FAILURE() << name << ": " << bytes.size() << " bytes, stored " << stored.size()
                << ", first difference at byte " << at
                << " (scripts/update-goldens rewrites the stored files when a change is meant)";
}

void PutVarLen(Bytes& out, uint32_t v) {
  Bytes groups = {static_cast<uint8_t>(v & 0x7F)};
  while ((v >>= 7) != 0) groups.insert(groups.begin(), static_cast<uint8_t>(0x80 | (v & 0x7F)));
  out.insert(out.end(), groups.begin(), groups.end());
}

Bytes TrackChunk(const Bytes& events) {
  Bytes chunk = {'M', 'T', 'r', 'k'};
  const auto n = static_cast<uint32_t>(events.size());
  for (int shift : {24, 16, 8, 0}) chunk.push_back(static_cast<uint8_t>(n >> shift));
  chunk.insert(chunk.end(), events.begin(), events.end());
  return chunk;
}

Bytes Header(uint16_t format, uint16_t tracks, uint16_t division) {
  return {'M',
          'T',
          'h',
          'd',
          0,
          0,
          0,
          6,
          0,
          static_cast<uint8_t>(format),
          static_cast<uint8_t>(tracks >> 8),
          static_cast<uint8_t>(tracks),
          static_cast<uint8_t>(division >> 8),
          static_cast<uint8_t>(division)};
}

/// A format-0 song of `notes` notes on 16 channels, one every `step` ms, each 20 ms long, with a
/// controller and a pitch bend now and then: spread so that it passes the event-density checks.
Bytes SpreadSong(uint32_t notes, uint32_t step) {
  Bytes track = {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20};  // 120 beats a minute
  for (uint8_t ch = 0; ch < 16; ++ch) {
    Bytes program = {0x00, static_cast<uint8_t>(0xC0 | ch), static_cast<uint8_t>((ch * 5) % 128)};
    track.insert(track.end(), program.begin(), program.end());
  }
  for (uint32_t i = 0; i < notes; ++i) {
    const auto ch = static_cast<uint8_t>(i % 16);
    const auto key = static_cast<uint8_t>(48 + (i * 7) % 36);
    if (i % 37 == 5) {
      PutVarLen(track, 0);
      Bytes volume = {static_cast<uint8_t>(0xB0 | ch), 0x07, static_cast<uint8_t>(60 + i % 60)};
      track.insert(track.end(), volume.begin(), volume.end());
    }
    if (i % 53 == 11) {
      PutVarLen(track, 0);
      Bytes bend = {static_cast<uint8_t>(0xE0 | ch), static_cast<uint8_t>(i % 128), 0x40};
      track.insert(track.end(), bend.begin(), bend.end());
    }
    PutVarLen(track, i == 0 ? 0 : step - 20);
    Bytes on = {static_cast<uint8_t>(0x90 | ch), key, static_cast<uint8_t>(40 + i % 80)};
    track.insert(track.end(), on.begin(), on.end());
    PutVarLen(track, 20);
    Bytes off = {static_cast<uint8_t>(0x80 | ch), key, 0};
    track.insert(track.end(), off.begin(), off.end());
  }
  Bytes end = {0x00, 0xFF, 0x2F, 0x00};
  track.insert(track.end(), end.begin(), end.end());
  Bytes smf = Header(0, 1, 500);  // one tick a millisecond
  Bytes chunk = TrackChunk(track);
  smf.insert(smf.end(), chunk.begin(), chunk.end());
  return smf;
}

/// Chords on a melody and a drum channel with a title, a time signature, a tempo change half way
/// and pan moves between the chords.
Bytes ChordSong() {
  Bytes track = {0x00, 0xFF, 0x03, 0x05, 'C',  'h',  'o',  'r',  'd',  0x00,
                 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x00, 0xFF, 0x58, 0x04,
                 0x04, 0x02, 0x18, 0x08, 0x00, 0xC0, 24,   0x00, 0xC9, 0x00};
  const uint8_t keys[] = {60, 64, 67};
  for (int bar = 0; bar < 8; ++bar) {
    if (bar == 4) {
      Bytes slower = {0x00, 0xFF, 0x51, 0x03, 0x09, 0x27, 0xC0};
      track.insert(track.end(), slower.begin(), slower.end());
    }
    for (uint8_t ch : {uint8_t{0}, uint8_t{9}}) {
      for (uint8_t key : keys) {
        Bytes on = {0x00, static_cast<uint8_t>(0x90 | ch), static_cast<uint8_t>(key + bar % 3), 90};
        track.insert(track.end(), on.begin(), on.end());
      }
    }
    uint32_t delta = 400;
    for (uint8_t ch : {uint8_t{0}, uint8_t{9}}) {
      for (uint8_t key : keys) {
        PutVarLen(track, delta);
        delta = 0;
        Bytes off = {static_cast<uint8_t>(0x80 | ch), static_cast<uint8_t>(key + bar % 3), 64};
        track.insert(track.end(), off.begin(), off.end());
      }
    }
    Bytes pan = {80, 0xB0, 0x0A, static_cast<uint8_t>(bar * 16)};
    track.insert(track.end(), pan.begin(), pan.end());
  }
  Bytes end = {0x00, 0xFF, 0x2F, 0x00};
  track.insert(track.end(), end.begin(), end.end());
  Bytes smf = Header(0, 1, 480);
  Bytes chunk = TrackChunk(track);
  smf.insert(smf.end(), chunk.begin(), chunk.end());
  return smf;
}

struct Song {
  const char* name;
  Bytes smf;
};

std::vector<Song> Songs() {
  return {{"tune", SpreadSong(6, 250)},
          {"chords", ChordSong()},
          {"spread2k", SpreadSong(1000, 24)},
          {"spread10k", SpreadSong(5000, 24)}};
}

/// One conversion through a plug-in entry; fails the test when the plug-in refuses.
Bytes Convert(CnvEntryFunc entry, const Bytes& source, uint32_t flags, const std::string& what) {
  Bytes src(source);
  Bytes dst(std::max<size_t>(1 << 20, source.size() * 16));
  CnvParam param{};
  param.flags = flags;
  param.src = src.data();
  param.srcSize = static_cast<uint32_t>(src.size());
  param.dst = dst.data();
  param.dstSize = static_cast<uint32_t>(dst.size());
  const uint32_t result = entry(&param, sizeof param);
  EXPECT_LT(result, CNVERR_FAILED) << what << " refused: 0x" << std::hex << result;
  if (result >= CNVERR_FAILED) return {};
  dst.resize(result);
  return dst;
}

class Plugin {
 public:
  explicit Plugin(const std::string& file)
      : m_handle(
            dlopen((std::string(TRILLOT_BIN_DIR) + "/" + file).c_str(), RTLD_NOW | RTLD_LOCAL)) {}
  ~Plugin() {
    if (m_handle) dlclose(m_handle);
  }
  Plugin(const Plugin&) = delete;
  Plugin& operator=(const Plugin&) = delete;
  bool Loaded() const { return m_handle != nullptr; }
  CnvEntryFunc Entry(const char* name) const {
    return reinterpret_cast<CnvEntryFunc>(m_handle ? dlsym(m_handle, name) : nullptr);
  }

 private:
  void* m_handle;
};

constexpr uint32_t kPlain = 0x20;                   // time base code 2, score track as it is
constexpr uint32_t kPacked = 0x20 | CNVF_COMPRESS;  // the same, Huffman-coded

TEST(ConverterGolden, PluginsConvertEverySongAsStored) {
  Plugin midigate("Midigate.so");
  Plugin velkgate("Velkgate.so");
  ASSERT_TRUE(midigate.Loaded()) << dlerror();
  ASSERT_TRUE(velkgate.Loaded()) << dlerror();
  for (const Song& song : Songs()) {
    const std::string n = song.name;
    SCOPED_TRACE(n);
    const Bytes data = Convert(midigate.Entry("CnvFrom"), song.smf, 0, "Midigate CnvFrom");
    ExpectGolden(n + ".songdata", data);
    const Bytes plain = Convert(velkgate.Entry("CnvTo"), data, kPlain, "Velkgate CnvTo");
    ExpectGolden(n + ".plain.mmf", plain);
    const Bytes packed = Convert(velkgate.Entry("CnvTo"), data, kPacked, "Velkgate CnvTo packed");
    ExpectGolden(n + ".packed.mmf", packed);
    const Bytes back = Convert(velkgate.Entry("CnvFrom"), packed, 0, "Velkgate CnvFrom");
    ExpectGolden(n + ".packed.songdata", back);
    ExpectGolden(n + ".retimed.songdata", Convert(velkgate.Entry("CnvFrom"), plain, CNVF_RETIME_480,
                                                  "Velkgate CnvFrom retimed"));
    ExpectGolden(n + ".back.mid", Convert(midigate.Entry("CnvTo"), back, 0, "Midigate CnvTo"));
  }
}

TEST(ConverterGolden, BatchRunsWriteEverySongAsStored) {
  ProgramFolder folder;
  folder.SetEnv("QT_QPA_PLATFORM", "");
  folder.SetEnv("TRILLOT_UI_REPORT", "");
  const std::string dir = folder.AppDir();
  for (const Song& song : Songs()) {
    const std::string n = song.name;
    SCOPED_TRACE(n);
    WriteBytes(dir + n + ".mid", song.smf);
    for (const std::string& out : {n + ".mmf", n + ".mid"}) {
      RunResult run = RunProgram(folder, {dir + n + ".mid", "-OUTPUT:" + dir + "out-" + out});
      ASSERT_EQ(run.status, 0) << out << ": " << run.err;
      ExpectGolden(n + ".batch." + fs::path(out).extension().string().substr(1),
                   ReadBytes(dir + "out-" + out));
    }
    RunResult run =
        RunProgram(folder, {dir + "out-" + n + ".mmf", "-OUTPUT:" + dir + "back-" + n + ".mid"});
    ASSERT_EQ(run.status, 0) << run.err;
    ExpectGolden(n + ".batch.back.mid", ReadBytes(dir + "back-" + n + ".mid"));
  }
}

}  // namespace

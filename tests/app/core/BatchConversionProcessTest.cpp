// Batch conversion by the built program as a process, without a display: what it writes, what
// it prints and the status it ends with.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ProgramFolder.h"
#include "platform/sys/SingleInstanceLock.h"
#include "velk/Crc16.h"

namespace {

namespace fs = std::filesystem;
using startuptest::ProgramFolder;
using startuptest::RunProgram;
using startuptest::RunResult;
using ::testing::HasSubstr;
using Bytes = std::vector<uint8_t>;

const char kNothingWritten[] = "Trillot: Nothing was written to ";
const char kSaveFailed[] = "Trillot: Can not save VELK(SMF) file.\n- Illegal output stream.\n";
const char kAlreadyRunning[] = "Trillot: Can not open application.\n- Application is already running.\n";

Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const std::string& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
}

void PutVarLen(Bytes& out, uint32_t v) {
  Bytes groups = {static_cast<uint8_t>(v & 0x7F)};
  while ((v >>= 7) != 0) groups.insert(groups.begin(), static_cast<uint8_t>(0x80 | (v & 0x7F)));
  out.insert(out.end(), groups.begin(), groups.end());
}

struct Note {
  int key;
  int channel;
  bool operator==(const Note&) const = default;
};

void PrintTo(const Note& n, std::ostream* os) { *os << "key " << n.key << " ch " << n.channel; }

// A format-0 song at 120 beats per minute: programs on two channels and a short tune on them.
const std::vector<Note> kTune = {{60, 0}, {64, 1}, {67, 0}, {72, 1}, {62, 0}, {65, 1}};

Bytes TuneSmf() {
  Bytes track = {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x00, 0xC0, 0x00, 0x00, 0xC1, 0x00};
  for (const Note& n : kTune) {
    const auto ch = static_cast<uint8_t>(n.channel);
    const auto key = static_cast<uint8_t>(n.key);
    Bytes on = {0x00, static_cast<uint8_t>(0x90 | ch), key, 100};
    track.insert(track.end(), on.begin(), on.end());
    PutVarLen(track, 240);
    Bytes off = {static_cast<uint8_t>(0x80 | ch), key, 0};
    track.insert(track.end(), off.begin(), off.end());
  }
  Bytes end = {0x00, 0xFF, 0x2F, 0x00};
  track.insert(track.end(), end.begin(), end.end());
  Bytes smf = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xE0, 'M', 'T', 'r', 'k'};
  const auto n = static_cast<uint32_t>(track.size());
  for (int shift : {24, 16, 8, 0}) smf.push_back(static_cast<uint8_t>(n >> shift));
  smf.insert(smf.end(), track.begin(), track.end());
  return smf;
}

uint32_t BE(const Bytes& b, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = 0; i < bytes; ++i) v = (v << 8) | b.at(at + i);
  return v;
}

/// The note-ons of the first track of an SMF in file order; nullopt when it does not parse.
std::optional<std::vector<Note>> NoteOns(const Bytes& smf) {
  try {
    if (smf.size() < 22 || std::string(smf.begin(), smf.begin() + 4) != "MThd") return std::nullopt;
    size_t p = 8 + BE(smf, 4, 4);
    if (std::string(smf.begin() + static_cast<long>(p), smf.begin() + static_cast<long>(p) + 4) != "MTrk")
      return std::nullopt;
    const size_t end = p + 8 + BE(smf, p + 4, 4);
    p += 8;
    std::vector<Note> notes;
    uint8_t status = 0;
    auto varLen = [&] {
      uint32_t v = 0;
      uint8_t c = 0;
      do {
        c = smf.at(p++);
        v = (v << 7) | (c & 0x7F);
      } while (c & 0x80);
      return v;
    };
    while (p < end) {
      varLen();
      uint8_t b = smf.at(p);
      if (b & 0x80) {
        status = b;
        ++p;
      }
      if (status == 0xFF) {
        const uint8_t type = smf.at(p++);
        p += varLen();
        if (type == 0x2F) break;
      } else if (status == 0xF0 || status == 0xF7) {
        p += varLen();
      } else {
        const uint8_t kind = status & 0xF0;
        const uint8_t d1 = smf.at(p++);
        const uint8_t d2 = (kind == 0xC0 || kind == 0xD0) ? 0 : smf.at(p++);
        if (kind == 0x90 && d2 != 0) notes.push_back({d1, status & 0x0F});
      }
    }
    return notes;
  } catch (const std::out_of_range&) {
    return std::nullopt;
  }
}

class TrillotBatchProcess : public ::testing::Test {
 protected:
  TrillotBatchProcess() {
    // Nothing of a display: the batch run takes the offscreen platform itself.
    folder.SetEnv("QT_QPA_PLATFORM", "");
    folder.SetEnv("TRILLOT_UI_REPORT", "");
    fs::create_directories(Out(""));
  }

  std::string Song() const { return folder.AppDir() + "song.mid"; }
  std::string Out(const std::string& name) const { return folder.AppDir() + "out/" + name; }
  RunResult Convert(const std::string& song, const std::string& output) {
    return RunProgram(folder, {song, "-OUTPUT:" + output});
  }

  ProgramFolder folder;
};

TEST_F(TrillotBatchProcess, SmfToVelkAndBack) {
  WriteFile(Song(), TuneSmf());
  RunResult toVelk = Convert(Song(), Out("song.mmf"));
  ASSERT_EQ(toVelk.status, 0) << toVelk.err;
  EXPECT_EQ(toVelk.err, "");
  const Bytes image = ReadFile(Out("song.mmf"));
  ASSERT_GT(image.size(), 10u);
  EXPECT_EQ(std::string(image.begin(), image.begin() + 4), "MMMD");
  const auto n = static_cast<uint32_t>(image.size());
  EXPECT_EQ(VelkCrc16(n - 2, image.data()), BE(image, n - 2, 2));

  RunResult toSmf = Convert(Out("song.mmf"), Out("back.MID"));
  ASSERT_EQ(toSmf.status, 0) << toSmf.err;
  EXPECT_EQ(toSmf.err, "");
  const Bytes smf = ReadFile(Out("back.MID"));
  ASSERT_GE(smf.size(), 14u);
  EXPECT_EQ(BE(smf, 8, 2), 0u);  // format 0
  EXPECT_EQ(NoteOns(smf), kTune);
}

TEST_F(TrillotBatchProcess, OutputNamesWithoutAKnownEndingWriteNothing) {
  WriteFile(Song(), TuneSmf());
  for (const char* name : {"song.txt", "abc"}) {
    SCOPED_TRACE(name);
    RunResult run = Convert(Song(), Out(name));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, kNothingWritten + Out(name) + ".\n");
  }
  EXPECT_TRUE(fs::is_empty(Out("")));
}

TEST_F(TrillotBatchProcess, KZ1ExportRunsAndSaysWhyItFails) {
  // The batch run exports KZ-1 data in the chip mode it starts in (3), where it once wrote
  // nothing without a word: the conversion job refuses the chip-mode-3 image, and the run
  // says so and keeps the old file.
  WriteFile(Song(), TuneSmf());
  WriteFile(Out("song.kz1"), {'o', 'l', 'd'});
  RunResult run = Convert(Song(), Out("song.kz1"));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "Trillot: File Format Error\n" + std::string(kNothingWritten) + Out("song.kz1") + ".\n");
  EXPECT_EQ(ReadFile(Out("song.kz1")), (Bytes{'o', 'l', 'd'}));
}

TEST_F(TrillotBatchProcess, MissingSongLeavesTheOldOutput) {
  WriteFile(Out("old.mmf"), {'o', 'l', 'd'});
  const std::string missing = folder.AppDir() + "missing.mid";
  RunResult run = Convert(missing, Out("old.mmf"));
  EXPECT_EQ(run.status, 1);
  EXPECT_THAT(run.err, HasSubstr("Trillot: Can not open " + missing + ".\n"));
  EXPECT_THAT(run.err, ::testing::EndsWith(kNothingWritten + Out("old.mmf") + ".\n"));
  EXPECT_EQ(ReadFile(Out("old.mmf")), (Bytes{'o', 'l', 'd'}));
}

TEST_F(TrillotBatchProcess, ReadOnlyFolderKeepsItsOldFiles) {
  WriteFile(Song(), TuneSmf());
  const std::string locked = folder.AppDir() + "locked/";
  fs::create_directories(locked);
  WriteFile(locked + "old.mmf", {'o', 'l', 'd', '1'});
  WriteFile(locked + "old.mid", {'o', 'l', 'd', '2'});
  ::chmod(locked.c_str(), 0555);
  // Folder modes do not stop root: then the program runs under an unprivileged user id, which
  // needs the rest of the folder open to it.
  std::vector<std::string> asUser;
  if (::geteuid() == 0) {
    asUser = {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
    const fs::path root = fs::path(folder.AppDir()).parent_path().parent_path();
    for (const fs::path& p : {root, root / "run"}) ::chmod(p.c_str(), 0777);
  }
  for (const char* name : {"old.mmf", "old.mid"}) {
    SCOPED_TRACE(name);
    RunResult run = RunProgram(folder, {Song(), "-OUTPUT:" + locked + name}, asUser);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, kSaveFailed + (kNothingWritten + locked + name) + ".\n");
  }
  ::chmod(locked.c_str(), 0755);
  EXPECT_EQ(ReadFile(locked + "old.mmf"), (Bytes{'o', 'l', 'd', '1'}));
  EXPECT_EQ(ReadFile(locked + "old.mid"), (Bytes{'o', 'l', 'd', '2'}));
  size_t files = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(locked)) ++files;
  EXPECT_EQ(files, 2u);
}

TEST_F(TrillotBatchProcess, SecondInstanceWritesNothing) {
  WriteFile(Song(), TuneSmf());
  WriteFile(Out("old.mmf"), {'o', 'l', 'd'});
  const char* old = std::getenv("TRILLOT_RUNTIME_DIR");
  const std::string saved = old ? old : "";
  ::setenv("TRILLOT_RUNTIME_DIR", folder.RuntimeDir().c_str(), 1);
  {
    platform::SingleInstanceLock first("KORVAN_Trillot");
    ASSERT_TRUE(first.Acquired());
    RunResult run = Convert(Song(), Out("old.mmf"));
    EXPECT_EQ(run.status, 3);
    EXPECT_EQ(run.err, kAlreadyRunning);
  }
  if (old) {
    ::setenv("TRILLOT_RUNTIME_DIR", saved.c_str(), 1);
  } else {
    ::unsetenv("TRILLOT_RUNTIME_DIR");
  }
  EXPECT_EQ(ReadFile(Out("old.mmf")), (Bytes{'o', 'l', 'd'}));
}

TEST_F(TrillotBatchProcess, OutputNameWithoutASongEndsAtOnce) {
  RunResult run = RunProgram(folder, {"-OUTPUT:" + Out("song.mmf")});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, kNothingWritten + Out("song.mmf") + ".\n");
  EXPECT_TRUE(fs::is_empty(Out("")));
}

}  // namespace

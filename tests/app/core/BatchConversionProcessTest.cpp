// Batch conversion by the built program as a process, without a display: what it writes, what
// it prints and the status it ends with.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>

#include <algorithm>
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
const char kSaveFailed[] = "Trillot: Can not save VELK(SMF) file.\nTrillot: - Illegal output stream.\n";
const char kAlreadyRunning[] = "Trillot: Can not open application.\nTrillot: - Application is already running.\n";

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
    EXPECT_EQ(run.err, kSaveFailed + ("Trillot: " + locked + name + ": Permission denied.\n") +
                           (kNothingWritten + locked + name) + ".\n");
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

/// The files of a folder, links and other kinds included.
std::vector<std::string> Entries(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST_F(TrillotBatchProcess, BadOutputsSayWhyAndWriteNothing) {
  WriteFile(Song(), TuneSmf());
  struct Case {
    const char* what;
    std::string output;
    std::function<void()> make;
    std::string reasonPath;  // the file the reason names
    std::string reason;
  };
  const Case cases[] = {
      {"missing folder, song file", Out("gone/x.mmf"), [] {}, Out("gone/x.mmf"), "No such file or directory"},
      {"missing folder, SMF", Out("gone/x.mid"), [] {}, Out("gone/x.mid"), "No such file or directory"},
      {"a folder in the way", Out("dir.mmf"), [this] { fs::create_directories(Out("dir.mmf/keep")); },
       Out("dir.mmf"), "Is a directory"},
      {"a FIFO in the way", Out("fifo.mid"), [this] { ASSERT_EQ(::mkfifo(Out("fifo.mid").c_str(), 0600), 0); },
       Out("fifo.mid"), "Not a regular file"},
      {"a link to a device", Out("null.mid"), [this] { fs::create_symlink("/dev/null", Out("null.mid")); },
       "/dev/null", "Not a regular file"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    c.make();
    const std::vector<std::string> before = Entries(Out(""));
    RunResult run = Convert(Song(), c.output);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, kSaveFailed + ("Trillot: " + c.reasonPath + ": " + c.reason + ".\n") + kNothingWritten +
                           c.output + ".\n");
    // Nothing was added or replaced beside the output either.
    EXPECT_EQ(Entries(Out("")), before);
  }
  EXPECT_TRUE(fs::is_directory(Out("dir.mmf/keep")));
  EXPECT_TRUE(fs::is_fifo(Out("fifo.mid")));
  EXPECT_TRUE(fs::is_symlink(Out("null.mid")));
}

TEST_F(TrillotBatchProcess, OutputsOfAnyNameLengthAndThroughLinksAreWritten) {
  WriteFile(Song(), TuneSmf());
  const std::string elsewhere = folder.AppDir() + "elsewhere/";
  fs::create_directories(elsewhere);
  WriteFile(elsewhere + "target.mid", {'o', 'l', 'd'});
  fs::create_symlink("../elsewhere/target.mid", Out("link.mid"));
  fs::create_symlink(elsewhere + "new.mid", Out("dangling.mid"));
  struct Case {
    const char* what;
    std::string output;
    std::string written;  // the file that receives the bytes
  };
  const std::string longest = std::string(251, 'n') + ".mid";  // 255 bytes, the most a name has
  const Case cases[] = {
      {"a name of 255 bytes", Out(longest), Out(longest)},
      {"a name of 246 bytes", Out(std::string(242, 'm') + ".MID"), Out(std::string(242, 'm') + ".MID")},
      {"a link to a file in another folder", Out("link.mid"), elsewhere + "target.mid"},
      {"a link to a file not yet there", Out("dangling.mid"), elsewhere + "new.mid"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RunResult run = Convert(Song(), c.output);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(NoteOns(ReadFile(c.written)), kTune);
  }
  // The links stay links, and no temporary file is left in either folder.
  EXPECT_EQ(fs::read_symlink(Out("link.mid")), "../elsewhere/target.mid");
  EXPECT_TRUE(fs::is_symlink(Out("dangling.mid")));
  EXPECT_EQ(Entries(elsewhere), (std::vector<std::string>{"new.mid", "target.mid"}));
  EXPECT_EQ(Entries(Out("")).size(), 4u);
}

TEST_F(TrillotBatchProcess, InputsThatAreNotRegularFilesAreRefusedAtOnce) {
  WriteFile(Out("old.mmf"), {'o', 'l', 'd'});
  WriteFile(Out("old.mid"), {'o', 'l', 'd'});
  const std::string in = folder.AppDir() + "in/";
  fs::create_directories(in);
  struct Case {
    const char* what;
    std::string input;
    std::function<void()> make;
    std::string output;
  };
  auto fifo = [](const std::string& path) { return [path] { ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0); }; };
  auto zero = [](const std::string& path) { return [path] { fs::create_symlink("/dev/zero", path); }; };
  const Case cases[] = {
      {"a FIFO named as an SMF", in + "fifo.mid", fifo(in + "fifo.mid"), Out("old.mmf")},
      {"a FIFO named as a VELK file", in + "fifo.mmf", fifo(in + "fifo.mmf"), Out("old.mid")},
      {"a FIFO named as a native file", in + "fifo.K3N", fifo(in + "fifo.K3N"), Out("old.mid")},
      {"a FIFO named as a KZ-1 file", in + "fifo.kz1", fifo(in + "fifo.kz1"), Out("old.mid")},
      {"a link to /dev/zero named as an SMF", in + "zero.mid", zero(in + "zero.mid"), Out("old.mmf")},
      {"a link to /dev/zero named as a VELK file", in + "zero.mmf", zero(in + "zero.mmf"), Out("old.mid")},
      {"a folder named as an SMF", in + "dir.mid", [&] { fs::create_directories(in + "dir.mid"); }, Out("old.mmf")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    c.make();
    RunResult run = Convert(c.input, c.output);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Trillot: Can not open " + c.input + ".\n" + kNothingWritten + c.output + ".\n");
    EXPECT_EQ(ReadFile(c.output), (Bytes{'o', 'l', 'd'}));
  }
}

TEST_F(TrillotBatchProcess, MissingRuntimeFolderIsMadePrivate) {
  WriteFile(Song(), TuneSmf());
  const std::string run = folder.AppDir() + "runtime/trillot";
  folder.SetEnv("TRILLOT_RUNTIME_DIR", run);
  RunResult result = Convert(Song(), Out("song.mmf"));
  EXPECT_EQ(result.status, 0) << result.err;
  struct stat st {};
  ASSERT_EQ(::stat(run.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST_F(TrillotBatchProcess, LockFileThatCannotBeMadeEndsTheStartWithItsReason) {
  WriteFile(Song(), TuneSmf());
  WriteFile(Out("old.mmf"), {'o', 'l', 'd'});
  // A plain file where the runtime folder's parent should be.
  WriteFile(folder.AppDir() + "plain", {'x'});
  folder.SetEnv("TRILLOT_RUNTIME_DIR", folder.AppDir() + "plain/run");
  RunResult run = Convert(Song(), Out("old.mmf"));
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err, "Trillot: Can not open application.\nTrillot: - The lock file " + folder.AppDir() +
                         "plain/run/KORVAN_Trillot.lock can not be made: Not a directory.\n");
  EXPECT_EQ(ReadFile(Out("old.mmf")), (Bytes{'o', 'l', 'd'}));
}

TEST_F(TrillotBatchProcess, MissingPlugInIsNamed) {
  WriteFile(Song(), TuneSmf());
  WriteFile(Out("old.mmf"), {'o', 'l', 'd'});
  struct Case {
    const char* plugin;
    std::string message;  // what the conversion then says
  };
  const Case cases[] = {
      {"Midigate.so", "Trillot: Can not open " + Song() + ".\n"},
      {"Velkgate.so", "Trillot: Can not save VELK file.\nTrillot: - Illegal output stream.\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.plugin);
    const std::string path = folder.AppDir() + c.plugin;
    fs::rename(path, path + ".away");
    RunResult run = Convert(Song(), Out("old.mmf"));
    fs::rename(path + ".away", path);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Trillot: The plug-in " + std::string(c.plugin) + " can not be loaded: it is not in " +
                           folder.AppDir() + ".\n" + c.message + kNothingWritten + Out("old.mmf") + ".\n");
    EXPECT_EQ(ReadFile(Out("old.mmf")), (Bytes{'o', 'l', 'd'}));
  }
}

}  // namespace

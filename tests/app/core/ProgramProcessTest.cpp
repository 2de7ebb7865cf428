// Tests of the program Trillot as a process, each in a program folder of its own.
#include "TestPaths.h"
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "ProgramFolder.h"
#include "platform/sys/SingleInstanceLock.h"

namespace {

using startuptest::ProgramFolder;
using startuptest::RunProgram;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

const std::string kRecordingStandIn = std::string(TRILLOT_EMU_FIXTURE_DIR) + "/recording/kz3qelemu.so";
const std::string kFailingStandIn = std::string(TRILLOT_EMU_FIXTURE_DIR) + "/failing_init/kz3qelemu.so";

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}

TEST(TrillotProcess, CleanStartReportsTheWindowAndFixesTheProfile) {
  ProgramFolder folder;
  folder.WriteProfile("[Setting]\nOutputFormat=7\nKZ-3_ModeSetting=2\n");
  auto run = RunProgram(folder, {});
  EXPECT_EQ(run.status, 0) << run.err;
  // Without a MIDI system its line comes once; nothing else is said.
  const std::vector<std::string> lines = Lines(run.err);
  ASSERT_EQ(lines.size(), 1u) << run.err;
  EXPECT_THAT(lines[0], HasSubstr("no MIDI system found"));
  EXPECT_THAT(folder.ReadReport(), HasSubstr("toolbar 32772 32775 57603 | 57634 57637 | 32800"));
  std::string profile = folder.ReadProfile();
  EXPECT_THAT(profile, HasSubstr("OutputType=1"));
  EXPECT_THAT(profile, HasSubstr("OutputFormat=3"));
  EXPECT_THAT(profile, HasSubstr("KZ-3_ModeSetting=0"));
  // The frame's close saved its placement, its bars and the volume preset.
  EXPECT_THAT(profile, HasSubstr("[WindowPosition\\CMainFrame]"));
  EXPECT_THAT(profile, HasSubstr("[ToolBarState]"));
  EXPECT_THAT(profile, HasSubstr("[Setting\\Volume]\nSet=Default"));
}

TEST(TrillotProcess, NoDisplayWithoutAnOutputNameEndsAtOnce) {
  ProgramFolder folder;
  folder.SetEnv("QT_QPA_PLATFORM", "");
  for (bool beside : {false, true}) {
    SCOPED_TRACE(beside ? "beside a running instance" : "alone");
    const char* old = std::getenv("TRILLOT_RUNTIME_DIR");
    std::string saved = old ? old : "";
    ::setenv("TRILLOT_RUNTIME_DIR", folder.RuntimeDir().c_str(), 1);
    std::unique_ptr<platform::SingleInstanceLock> lock;
    if (beside) lock = std::make_unique<platform::SingleInstanceLock>("KORVAN_Trillot");
    auto run = RunProgram(folder, {});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(Lines(run.err).size(), 1u) << run.err;
    EXPECT_THAT(run.err, HasSubstr("no display"));
    EXPECT_FALSE(std::filesystem::exists(folder.ReportPath()));
    if (old) {
      ::setenv("TRILLOT_RUNTIME_DIR", saved.c_str(), 1);
    } else {
      ::unsetenv("TRILLOT_RUNTIME_DIR");
    }
  }
  // No lock was taken: the profile was never written.
  EXPECT_EQ(folder.ReadProfile(), "");
}

struct EndedStart {
  const char* name;
  std::function<void(ProgramFolder&)> prepare;
  std::vector<std::string> args;
  int status;
  const char* message;  // "" for none
};

void PrintTo(const EndedStart& c, std::ostream* os) { *os << c.name; }

class TrillotProcessEnds : public ::testing::TestWithParam<EndedStart> {};

TEST_P(TrillotProcessEnds, WithItsMessageAndStatus) {
  const EndedStart& c = GetParam();
  ProgramFolder folder;
  c.prepare(folder);
  auto run = RunProgram(folder, c.args);
  EXPECT_EQ(run.status, c.status) << run.err;
  if (*c.message) {
    EXPECT_THAT(run.err, HasSubstr(c.message));
  } else {
    EXPECT_EQ(run.err, "");
  }
  EXPECT_FALSE(std::filesystem::exists(folder.ReportPath()));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TrillotProcessEnds,
    ::testing::Values(
        EndedStart{"NoIni", [](ProgramFolder& f) { f.Remove("Trillot.ini"); }, {}, 2,
                   "Trillot.ini(initial) file doesn't exist."},
        EndedStart{"ChipModeOne", [](ProgramFolder& f) { f.WriteIni("[Setting]\nKZMode=1\nMakerID=1\n"); }, {}, 2,
                   "Illegal parameter of Trillot.ini(initial) file."},
        EndedStart{"MakerFive", [](ProgramFolder& f) { f.WriteIni("[Setting]\nKZMode=3\nMakerID=5\n"); }, {}, 2, ""},
        EndedStart{"NoEmulator", [](ProgramFolder& f) { f.Remove("kz3qelemu.so"); }, {}, 2,
                   "Unexpected problem is occurred."},
        EndedStart{"FailingEmulator", [](ProgramFolder& f) { f.Replace("kz3qelemu.so", kFailingStandIn); }, {}, 2,
                   "Unexpected problem is occurred."},
        EndedStart{"NoVoices", [](ProgramFolder& f) { f.Remove("DefKZ3_16.vk3"); }, {}, 2, "Can not open voice file."},
        // Files that are not regular files are refused at once, as missing ones.
        EndedStart{"IniIsAFifo",
                   [](ProgramFolder& f) {
                     f.Remove("Trillot.ini");
                     ASSERT_EQ(::mkfifo((f.AppDir() + "Trillot.ini").c_str(), 0600), 0);
                   },
                   {}, 2, "Trillot.ini(initial) file doesn't exist."},
        EndedStart{"VoicesAreALinkToADevice",
                   [](ProgramFolder& f) {
                     f.Remove("DefKZ3_16.vk3");
                     std::filesystem::create_symlink("/dev/zero", f.AppDir() + "DefKZ3_16.vk3");
                   },
                   {}, 2, "Can not open voice file."},
        EndedStart{"ComPort", [](ProgramFolder&) {}, {"-COM:3"}, 2, "Unexpected problem is occurred."}),
    [](const ::testing::TestParamInfo<EndedStart>& param) { return std::string(param.param.name); });

TEST(TrillotProcess, SecondInstanceIsRefused) {
  ProgramFolder folder;
  const char* old = std::getenv("TRILLOT_RUNTIME_DIR");
  std::string saved = old ? old : "";
  ::setenv("TRILLOT_RUNTIME_DIR", folder.RuntimeDir().c_str(), 1);
  {
    platform::SingleInstanceLock first("KORVAN_Trillot");
    ASSERT_TRUE(first.Acquired());
    auto run = RunProgram(folder, {});
    EXPECT_EQ(run.status, 3);
    EXPECT_THAT(run.err, HasSubstr("Application is already running."));
  }
  if (old) {
    ::setenv("TRILLOT_RUNTIME_DIR", saved.c_str(), 1);
  } else {
    ::unsetenv("TRILLOT_RUNTIME_DIR");
  }
}

TEST(TrillotProcess, RecordingStandInSeesTheDeviceLifeOfAStart) {
  ProgramFolder folder;
  folder.Replace("kz3qelemu.so", kRecordingStandIn);
  auto run = RunProgram(folder, {});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_THAT(Lines(folder.ReadRecord()),
              ElementsAre("KzSound_Initialize()", "KzSound_Create(1)", "KzSound_Delete(1)", "KzSound_Terminate()"));
}

// A format-0 song: tempo, a program and one note on channel 0.
void WriteSong(const std::string& path) {
  const uint8_t track[] = {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x00, 0xC0, 0x05, 0x00, 0x90, 0x3C, 0x64,
                           0x83, 0x60, 0x80, 0x3C, 0x00, 0x00, 0xFF, 0x2F, 0x00};
  std::string bytes = std::string("MThd\0\0\0\x06\0\0\0\x01\x01\xE0MTrk", 18);
  bytes += {0, 0, 0, static_cast<char>(sizeof track)};
  bytes.append(reinterpret_cast<const char*>(track), sizeof track);
  std::ofstream(path, std::ios::binary) << bytes;
}

TEST(TrillotProcess, SongOnTheCommandLineOpens) {
  ProgramFolder folder;
  const std::string song = folder.AppDir() + "song.mid";
  WriteSong(song);
  auto run = RunProgram(folder, {song});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_THAT(folder.ReadReport(), HasSubstr("title \"" + song));
}

TEST(TrillotProcess, SongThatCannotBeOpenedEndsTheStart) {
  ProgramFolder folder;
  const std::string song = folder.AppDir() + "broken.mid";
  std::ofstream(song, std::ios::binary) << "MThd";
  auto run = RunProgram(folder, {song});
  EXPECT_EQ(run.status, 2) << run.err;
  EXPECT_FALSE(std::filesystem::exists(folder.ReportPath()));
}

TEST(TrillotProcess, OutputNameWithoutASongWritesNothing) {
  ProgramFolder folder;
  // A batch run needs no display: it takes the offscreen platform itself.
  folder.SetEnv("QT_QPA_PLATFORM", "");
  auto run = RunProgram(folder, {"-OUTPUT:" + folder.AppDir() + "out.mmf"});
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_FALSE(std::filesystem::exists(folder.AppDir() + "out.mmf"));
}

}  // namespace

namespace {

TEST(TrillotProcess, ExportsTheVoiceLookups) {
  std::string command = "nm -D --defined-only " + std::string(TRILLOT_BIN_DIR) + "/Trillot";
  std::string symbols;
  if (std::FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[4096];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) symbols.append(buffer, n);
    ::pclose(pipe);
  }
  EXPECT_THAT(symbols, HasSubstr(" T Trillot_GetVAMVoiceItem\n"));
  EXPECT_THAT(symbols, HasSubstr(" T Trillot_GetVoiceItem\n"));
}

}  // namespace

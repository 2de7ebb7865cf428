// Tests of the start-up chain in process, over a fake main frame or the headless one.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdlib.h>

#include "ProgramFolder.h"
#include "StartupFakes.h"
#include "app/core/MainFrameHooks.h"
#include "app/core/TrillotApp.h"
#include "platform/host/testing/FakeHost.h"
#include "platform/midi/testing/FakeMidiBackend.h"
#include "song/document/KZ1Doc.h"

namespace {

using startuptest::FakeMainFrame;
using startuptest::FakeOutputEngine;
using startuptest::ProgramFolder;
using ::testing::ElementsAre;

/// Saves an environment variable and puts it back afterwards.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : m_name(name) {
    if (const char* old = std::getenv(name)) m_old = old;
    ::setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (m_old) {
      ::setenv(m_name, m_old->c_str(), 1);
    } else {
      ::unsetenv(m_name);
    }
  }

 private:
  const char* m_name;
  std::optional<std::string> m_old;
};

class StartUp : public ::testing::Test {
 protected:
  StartUp() : appDir("TRILLOT_APP_DIR", folder.AppDir()), runtimeDir("TRILLOT_RUNTIME_DIR", folder.RuntimeDir()) {}

  void SetUp() override {
    scope = std::make_unique<platform::ScopedHost>(
        platform::HostServices{&app, &host.profile, &host.messages, &host.binder, &hooks});
  }
  void TearDown() override {
    app.DestroyMainFrame();
    app.ExitInstance();
  }

  void UseFakeFrame() {
    app.SetMainFrameFactory([this] { return std::make_unique<FakeMainFrame>(frameLog, &engine); });
  }

  ProgramFolder folder;
  ScopedEnv appDir;
  ScopedEnv runtimeDir;
  platform::FakeHost host;
  CTrillotApp app;
  MainFrameHooks hooks{app};
  std::unique_ptr<platform::ScopedHost> scope;
  FakeOutputEngine engine;
  std::shared_ptr<FakeMainFrame::Log> frameLog = std::make_shared<FakeMainFrame::Log>();
};

TEST_F(StartUp, ChipModeOnePlacesTheFrameBeforeRefusing) {
  UseFakeFrame();
  folder.WriteIni("[Setting]\nKZMode=1\n");
  EXPECT_EQ(app.InitInstance({}), CTrillotApp::StartResult::Ended);
  EXPECT_THAT(frameLog->calls,
              ElementsAre("LoadFrame(1000)", "DragAcceptFiles", "SetPlacement(800x600)", "ShowWindow(0)", "UpdateWindow"));
  EXPECT_THAT(host.messages.ShownIds(), ElementsAre(7083));
  EXPECT_TRUE(hooks.HasMainWindow());
  app.DestroyMainFrame();
  EXPECT_TRUE(frameLog->destroyed);
  EXPECT_FALSE(hooks.HasMainWindow());
}

TEST_F(StartUp, CleanStartRunsEveryStepInOrder) {
  UseFakeFrame();
  host.profile.WriteProfileInt("WindowState", "CVListFrmKZ2", 1);
  EXPECT_EQ(app.InitInstance({}), CTrillotApp::StartResult::Running);
  EXPECT_TRUE(host.messages.shown.empty());
  EXPECT_THAT(engine.calls, ::testing::Contains("SetupSoundDevice(3)"));
  EXPECT_THAT(frameLog->calls, ElementsAre("LoadFrame(1000)", "DragAcceptFiles", "SetPlacement(800x600)", "ShowWindow(0)",
                                           "UpdateWindow", "UpdateStatusPanes", "UpdateStatusPanes", "UpdateReportBar",
                                           "ApplyMenuEdits", "PostCommand(32800)", "ShowWindow(1)"));
  EXPECT_EQ(frameLog->menuEdits, BuildMenuEdits(3, 2, app.GetWebLanguage()));
  EXPECT_EQ(app.GetChipMode(), 3);
  EXPECT_EQ(app.GetMasterVolume(), -1);
  EXPECT_EQ(app.GetEqLevel(), -1);
  EXPECT_EQ(app.GetStartValue(0), 100);
  EXPECT_EQ(app.GetStartValue(1), 64);
  EXPECT_EQ(app.GetStartValue(2), 30);
}

TEST_F(StartUp, OutputNameHidesTheWindowAndWithoutASongEndsAtOnce) {
  UseFakeFrame();
  EXPECT_EQ(app.InitInstance({"-OUTPUT:x.mmf"}), CTrillotApp::StartResult::BatchEnded);
  EXPECT_EQ(app.GetOutputPath(), "x.mmf");
  EXPECT_THAT(frameLog->calls, ::testing::Contains("ShowWindow(0)"));
  EXPECT_THAT(frameLog->calls, ::testing::Not(::testing::Contains("ShowWindow(1)")));
  EXPECT_EQ(frameLog->calls.back(), "DestroyWindow");
  EXPECT_FALSE(app.IsSplashEnabled());
  EXPECT_FALSE(app.HasWrittenOutput());
  EXPECT_FALSE(app.HasBatchOpenFailed());
}

TEST_F(StartUp, ModeParameterFollowsTheBoundStandIn) {
  EXPECT_EQ(app.GetModeParameter(3, 0), 0);
  ASSERT_EQ(app.InitInstance({}), CTrillotApp::StartResult::Running);
  EXPECT_NE(app.GetModeParameter(3, 0), 0);
  EXPECT_EQ(app.GetModeParameter(1, 0), 0);
  app.DestroyMainFrame();
  EXPECT_EQ(app.GetModeParameter(3, 0), 0);
}

TEST_F(StartUp, NoLibraryNoModeParameter) {
  folder.Remove("kz3qelemu.so");
  EXPECT_EQ(app.InitInstance({}), CTrillotApp::StartResult::Ended);
  EXPECT_EQ(app.GetModeParameter(3, 0), 0);
  EXPECT_THAT(host.messages.ShownIds(), ElementsAre(7081));
}

TEST_F(StartUp, OutputFormatIsForcedByProfile) {
  struct Case {
    int profile, stored, expected;
  };
  for (const Case& c : {Case{1, 3, 4}, Case{2, 7, 3}, Case{3, 0, 3}, Case{4, 3, 5}, Case{5, 0, 0}, Case{5, 3, 3},
                        Case{5, 4, 3}, Case{6, 3, 4}, Case{7, 3, 4}, Case{8, 5, 3}}) {
    host.profile.WriteProfileInt("Setting", "OutputFormat", c.stored);
    app.SetOutputProfile(c.profile);
    EXPECT_TRUE(app.ForceOutputFormat()) << c.profile;
    EXPECT_EQ(host.profile.GetProfileInt("Setting", "OutputFormat", -1), c.expected) << c.profile << "," << c.stored;
  }
  app.SetOutputProfile(9);
  host.profile.writes.clear();
  EXPECT_FALSE(app.ForceOutputFormat());
  EXPECT_TRUE(host.profile.writes.empty());
}

TEST_F(StartUp, MidiThruSkipsTheBoardsOwnInput) {
  UseFakeFrame();
  engine.setupConnectionKind = 1;
  engine.boardPortKind = 2;
  engine.queryAnswers = {0, 12};
  platform::FakeMidiBackend midi({"Out 1", "Out 2", "Out 3", "Out 4"}, {"Other", "KORVAN USB IN 1"});
  platform::ScopedMidiBackend useMidi(midi);
  host.profile.WriteProfileInt("Setting", "MIDIDeviceThruIn", 2);
  host.profile.WriteProfileInt("Setting", "MIDIDeviceThruOut", 4);
  ASSERT_EQ(app.InitInstance({}), CTrillotApp::StartResult::Running);
  EXPECT_EQ(app.GetMidiThru().GetInDevice(), 0);
  EXPECT_EQ(app.GetMidiThru().GetOutDevice(), 4);
  EXPECT_EQ(app.GetMidiThru().IsActive(), 0);
  EXPECT_TRUE(midi.Log().empty()) << "with no input the thru opens nothing";
  EXPECT_EQ(host.profile.GetProfileInt("Setting", "MIDIDeviceThruIn", -1), 0);
}

TEST_F(StartUp, MidiThruConnectsTheChosenDevices) {
  UseFakeFrame();
  engine.setupConnectionKind = 1;
  engine.boardPortKind = 2;
  engine.queryAnswers = {0, 12};
  platform::FakeMidiBackend midi({"Out 1", "Synth"}, {"Keyboard"});
  platform::ScopedMidiBackend useMidi(midi);
  host.profile.WriteProfileInt("Setting", "MIDIDeviceThruIn", 1);
  host.profile.WriteProfileInt("Setting", "MIDIDeviceThruOut", 2);
  ASSERT_EQ(app.InitInstance({}), CTrillotApp::StartResult::Running);
  EXPECT_EQ(app.GetMidiThru().IsActive(), 1);
  EXPECT_THAT(midi.Log(), ElementsAre("open out 1", "open in 0", "connect in 0 -> out 1"));
  ASSERT_TRUE(midi.Feed(0, {0x90, 0x3C, 0x64}));
  EXPECT_EQ(midi.Sent(1), (std::vector<std::vector<uint8_t>>{{0x90, 0x3C, 0x64}}));
  app.GetMidiThru().Stop();
}

TEST_F(StartUp, BoardNotFoundEndsWithTheCheckText) {
  UseFakeFrame();
  engine.setupConnectionKind = 1;
  EXPECT_EQ(app.InitInstance({}), CTrillotApp::StartResult::Ended);
  ASSERT_EQ(host.messages.shown.size(), 1u);
  EXPECT_EQ(host.messages.shown[0].text, "Exit application.\n- As board not found.");
}

}  // namespace

namespace {

class StartUpWithSong : public StartUp {
 protected:
  struct Opened {
    std::string path;
    uint32_t mask = 0;
    int kind = 0;
  };
  void UseOpener(int result) {
    app.SetSongOpener([this, result](CKZ1Doc& doc, const std::string& path, uint32_t mask, int kind) {
      opened.push_back({path, mask, kind});
      openedDoc = &doc;
      return result;
    });
  }
  std::vector<Opened> opened;
  CKZ1Doc* openedDoc = nullptr;
};

TEST_F(StartUpWithSong, OpensTheSongOfTheCommandLine) {
  UseFakeFrame();
  UseOpener(1);
  ASSERT_EQ(app.InitInstance({"song.mmf"}), CTrillotApp::StartResult::Running);
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0].path, "song.mmf");
  EXPECT_EQ(opened[0].mask, 0xFFFFu);
  EXPECT_EQ(opened[0].kind, 24);
  EXPECT_EQ(app.GetDocument(), openedDoc);
  EXPECT_EQ(app.GetRegistry().document, openedDoc);
  EXPECT_EQ(app.GetRegistry().voiceLibrary, &app.GetVoiceLibrary());
  std::vector<std::string> tail(frameLog->calls.end() - 5, frameLog->calls.end());
  EXPECT_THAT(tail, ElementsAre("OpenSongWindow", "UpdateStatusPanes", "UpdateReportBar", "UpdateSongWindows",
                                "UpdateVoiceWindows"));
  ASSERT_EQ(host.messages.log.size(), 1u);
  EXPECT_EQ(host.messages.log[0].id, 7515);
  EXPECT_EQ(host.messages.log[0].detail, "song.mmf");
  app.ExitInstance();
  EXPECT_EQ(app.GetDocument(), nullptr);
  EXPECT_EQ(app.GetRegistry().document, nullptr);
}

TEST_F(StartUpWithSong, SongThatFailsEndsTheStart) {
  UseFakeFrame();
  UseOpener(0);
  EXPECT_EQ(app.InitInstance({"broken.mmf"}), CTrillotApp::StartResult::Ended);
  EXPECT_EQ(opened.size(), 1u);
  EXPECT_EQ(app.GetDocument(), nullptr);
  EXPECT_EQ(app.GetRegistry().document, nullptr);
  EXPECT_TRUE(host.messages.log.empty());
}

TEST_F(StartUpWithSong, WithoutAnOpenerNoSongOpens) {
  UseFakeFrame();
  EXPECT_EQ(app.InitInstance({"song.mmf"}), CTrillotApp::StartResult::Ended);
  EXPECT_EQ(app.GetDocument(), nullptr);
}

TEST_F(StartUpWithSong, BatchRunWhoseSongFailsEndsAsABatchRun) {
  UseFakeFrame();
  UseOpener(0);
  EXPECT_EQ(app.InitInstance({"broken.mid", "-OUTPUT:out.mmf"}), CTrillotApp::StartResult::BatchEnded);
  EXPECT_TRUE(app.HasBatchOpenFailed());
  EXPECT_FALSE(app.HasWrittenOutput());
  EXPECT_TRUE(frameLog->destroyed);
}

TEST_F(StartUpWithSong, BatchRunEndsAtItsLastStep) {
  UseFakeFrame();
  UseOpener(1);
  EXPECT_EQ(app.InitInstance({"song.mmf", "-OUTPUT:out.mmf"}), CTrillotApp::StartResult::BatchEnded);
  EXPECT_EQ(app.GetDocument(), nullptr);
  EXPECT_EQ(app.GetMainFrame(), nullptr);
  EXPECT_TRUE(frameLog->destroyed);
}

}  // namespace

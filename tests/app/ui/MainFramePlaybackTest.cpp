// The main window started as the program starts it, over the real output engine and the
// stand-in emulator loaded from the program folder, with the demo song open: Play, Stop and
// Space drive the engine, and the transport buttons follow its state.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>

#include "app/core/MainFrameHooks.h"
#include "app/core/RecordingPresenter.h"
#include "app/core/ShellHost.h"
#include "app/core/TrillotApp.h"
#include "app/ui/MainFrame.h"
#include "device/MidiOutCtrl.h"
#include "platform/host/testing/FakeHost.h"
#include "platform/midi/testing/FakeMidiBackend.h"
#include "song/document/KZ1Doc.h"
#include "tests/app/core/ProgramFolder.h"
#include "tools/demosong/DemoSong.h"
#include "uikit/DialogTemplate.h"
#include "uikit/QtNotifySink.h"

namespace mainframeplayback {

/// Sets an environment variable for the fixture's life and puts the old value back.
class ScopedEnvValue {
 public:
  ScopedEnvValue(const char* name, const std::string& value) : m_name(name) {
    if (const char* old = std::getenv(name)) m_old = old;
    ::setenv(name, value.c_str(), 1);
  }
  ~ScopedEnvValue() {
    if (m_old) {
      ::setenv(m_name, m_old->c_str(), 1);
    } else {
      ::unsetenv(m_name);
    }
  }
  ScopedEnvValue(const ScopedEnvValue&) = delete;
  ScopedEnvValue& operator=(const ScopedEnvValue&) = delete;

 private:
  const char* m_name;
  std::optional<std::string> m_old;
};

// The emulator player's states as Control(6) reports them.
constexpr int kStateReady = 3;
constexpr int kStatePlaying = 4;
constexpr int kCodeState = 6;
constexpr int kCodeLength = 5;
/// Every wait of these tests ends by this limit; the demo song plays for about four seconds.
constexpr int kWaitLimitMs = 10000;

/// Runs the event loop as the program does until `done` holds or the limit has passed; true
/// when it holds. The loop waits for events, so the bars' idle update runs as well.
bool RunLoopUntil(const std::function<bool()>& done, int limitMs = kWaitLimitMs) {
  if (done()) return true;
  QEventLoop loop;
  QTimer check;
  QObject::connect(&check, &QTimer::timeout, &loop, [&] {
    if (done()) loop.quit();
  });
  check.start(5);
  QTimer::singleShot(limitMs, &loop, &QEventLoop::quit);
  loop.exec();
  return done();
}

class MainFramePlayback : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string song = folder.AppDir() + "demo.mid";
    ASSERT_TRUE(demosong::Write(song));
    // As the program makes its main window: the real engine, and the sink for worker posts.
    app.SetMainFrameFactory([this] {
      auto made = std::make_unique<CMainFrame>(app, &hooks);
      made->AttachNotifySink(&sink);
      return made;
    });
    ASSERT_EQ(app.InitInstance({song}), CTrillotApp::StartResult::Running) << Boxes();
    frame = dynamic_cast<CMainFrame*>(app.GetMainFrame());
    ASSERT_NE(frame, nullptr);
    engine = dynamic_cast<TMidiOutCtrl*>(frame->GetBoardDevice());
    ASSERT_NE(engine, nullptr);
    ASSERT_EQ(engine->GetConnectionKind(), 3) << "the stand-in emulator of chip mode 3";
    ASSERT_NE(app.GetDocument(), nullptr);
    // The bars take the open song's state when the loop next waits.
    ASSERT_TRUE(RunLoopUntil([this] { return Enabled(CMainFrame::kPlayCommand); }));
    ExpectTransport(false);
  }
  void TearDown() override {
    app.DestroyMainFrame();
    app.ExitInstance();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  std::string Boxes() const {
    std::string out;
    for (const RecordingPresenter::Box& b : presenter.boxes) out += "[" + b.text + "] ";
    return out;
  }
  bool Enabled(int id) const {
    auto* button = ui::item<QPushButton>(frame, id);
    return button && button->isEnabled();
  }
  /// Play and Rewind while nothing plays, Stop while the engine plays.
  void ExpectTransport(bool playing) const {
    EXPECT_EQ(Enabled(CMainFrame::kPlayCommand), !playing);
    EXPECT_EQ(Enabled(CMainFrame::kRewindCommand), !playing);
    EXPECT_EQ(Enabled(CMainFrame::kStopCommand), playing);
  }
  int PlayerState() const { return engine->GetPlayer()->Control(kCodeState, 0, 0); }
  /// Processes the window's events until the engine's position has moved on: the playback
  /// thread runs and its posts reach the window.
  bool PositionAdvances() const {
    const uint32_t from = engine->GetPlayPosition();
    return RunLoopUntil([this, from] { return engine->GetPlayPosition() >= from + 80; });
  }
  /// Stop has returned: nothing plays, the thread is joined and the emulator is back in standby.
  void ExpectStopped() const {
    EXPECT_FALSE(engine->IsPlaying());
    EXPECT_FALSE(engine->HasPlaybackThread());
    EXPECT_EQ(PlayerState(), kStateReady);
    ExpectTransport(false);
  }
  void ExpectPlaying() const {
    EXPECT_TRUE(engine->IsPlaying());
    EXPECT_TRUE(engine->HasPlaybackThread());
    EXPECT_EQ(PlayerState(), kStatePlaying);
    ExpectTransport(true);
  }

  startuptest::ProgramFolder folder;
  ScopedEnvValue appDir{"TRILLOT_APP_DIR", folder.AppDir()};
  ScopedEnvValue runtimeDir{"TRILLOT_RUNTIME_DIR", folder.RuntimeDir()};
  // No MIDI system: the thru and the board search find no port on any machine.
  platform::FakeMidiBackend midi;
  platform::ScopedMidiBackend useMidi{midi};
  platform::FakeProfile profile;
  RecordingPresenter presenter;
  ui::QtNotifySink sink;
  CTrillotApp app;
  MainFrameHooks hooks{app};
  ShellHost shell{app, profile, presenter, &hooks, &sink};
  CMainFrame* frame = nullptr;
  TMidiOutCtrl* engine = nullptr;
};

TEST_F(MainFramePlayback, PlayPlaysTheSongAndStopReturnsOnceTheThreadHasEnded) {
  frame->SendCommand(CMainFrame::kPlayCommand);
  ExpectPlaying();
  EXPECT_EQ(app.GetDocument()->TestModifiedFlags(CKZ1Doc::kFlagUnsent), 0u) << "the song went to the emulator";
  EXPECT_TRUE(PositionAdvances());
  frame->SendCommand(CMainFrame::kStopCommand);
  ExpectStopped();
  // The unchanged song plays again at once.
  frame->SendCommand(CMainFrame::kPlayCommand);
  ExpectPlaying();
  frame->SendCommand(CMainFrame::kStopCommand);
  ExpectStopped();
  EXPECT_TRUE(presenter.boxes.empty()) << Boxes();
}

TEST_F(MainFramePlayback, SpaceTogglesPlayAndStop) {
  QWidget* keyTarget = ui::item<QComboBox>(frame, 2152);
  ASSERT_NE(keyTarget, nullptr);
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    QTest::keyClick(keyTarget, Qt::Key_Space);
    ExpectPlaying();
    EXPECT_TRUE(PositionAdvances());
    QTest::keyClick(keyTarget, Qt::Key_Space);
    ExpectStopped();
  }
  EXPECT_TRUE(presenter.boxes.empty()) << Boxes();
}

TEST_F(MainFramePlayback, EndOfTheSongStopsThroughTheEmulatorsStopCommand) {
  frame->SendCommand(CMainFrame::kPlayCommand);
  frame->SendCommand(CMainFrame::kStopCommand);
  const int length = engine->GetPlayer()->Control(kCodeLength, 0, 0);
  ASSERT_GT(length, 2000);
  // From a second before its end, so that the song ends soon.
  engine->SendBoardValue0A(static_cast<uint32_t>(length - 1000), 0);
  frame->SendCommand(CMainFrame::kPlayCommand);
  ExpectPlaying();
  EXPECT_TRUE(RunLoopUntil([this] { return !engine->IsPlaying(); }));
  EXPECT_FALSE(engine->HasPlaybackThread());
  ExpectTransport(false);
  // The song that ended plays again.
  frame->SendCommand(CMainFrame::kPlayCommand);
  ExpectPlaying();
  frame->SendCommand(CMainFrame::kStopCommand);
  ExpectStopped();
  EXPECT_TRUE(presenter.boxes.empty()) << Boxes();
}

}  // namespace mainframeplayback

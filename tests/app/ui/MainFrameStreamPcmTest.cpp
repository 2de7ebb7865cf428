// The main window's Send Stream PCM Wave Message, from its toolbar command and from the
// stream-PCM map's menu item, over a recording engine.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <algorithm>

#include "app/core/TrillotApp.h"
#include "app/ui/MainFrame.h"
#include "platform/host/testing/FakeHost.h"
#include "song/StreamPCMSlot.h"
#include "song/document/KZ1Doc.h"
#include "tests/app/ui/MainFrameFakes.h"
#include "uikit/ToolWindow.h"

namespace {

using mainframetest::RecordingEngine;
using mainframetest::RecordingWindow;

class MainFrameStreamPcmTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app.SetAppDir("/nonexistent/");
    app.SetChipMode(3);
    host.profile.WriteProfileInt("Setting", "OutputType", 1);
    for (const char* name : CMainFrame::SlotClassNames()) {
      ui::ToolWindowRegistry::Instance().Register(
          name, [this, name = std::string(name)](const ui::ToolWindowContext& context) {
            return new RecordingWindow(name, log, context.mainWindow);
          });
    }
    auto owned = std::make_unique<RecordingEngine>();
    engine = owned.get();
    frame = std::make_unique<CMainFrame>(app, nullptr, [&owned] { return std::move(owned); });
    ASSERT_EQ(frame->OnCreate(), 0);
  }
  void TearDown() override {
    frame.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (const char* name : CMainFrame::SlotClassNames())
      ui::ToolWindowRegistry::Instance().Unregister(name);
  }

  int Sent(const std::string& call) const {
    return static_cast<int>(std::count(engine->calls.begin(), engine->calls.end(), call));
  }

  platform::FakeHost host;
  CTrillotApp app;
  std::vector<std::string> log;
  RecordingEngine* engine = nullptr;
  std::unique_ptr<CMainFrame> frame;
};

TEST_F(MainFrameStreamPcmTest, BothCommandsSendTheSongsWavesAfterTheQuestion) {
  app.SetDocument(std::make_unique<CKZ1Doc>());
  CKZ1Doc& doc = *app.GetDocument();
  doc.BuildStreamPcmSlots();
  CStreamPCMSlot wave;
  wave.SetId(3);
  const uint8_t bytes[2] = {1, 2};
  wave.SetWaveData(bytes, 2);
  doc.SetStreamPcmSlot(3, wave);
  host.messages.answers = {1, 1, 2};
  frame->SendCommand(40975);
  frame->SendCommand(32825);
  EXPECT_EQ(Sent("SendBoardCommand06(3)"), 2);
  EXPECT_EQ(Sent("SendVoiceItem"), 2);
  frame->SendCommand(40975);  // Cancel
  EXPECT_EQ(Sent("SendVoiceItem"), 2);
  EXPECT_EQ(host.messages.ShownIds(), (std::vector<int>{7140, 7140, 7140}));
}

}  // namespace

// The application's File commands reached through the main window's command route.
#include "app/ui/AppFileCommandTarget.h"

#include <gtest/gtest.h>

#include <memory>

#include "app/core/FileChooser.h"
#include "app/core/TrillotApp.h"
#include "app/ui/MainFrame.h"
#include "platform/host/testing/FakeHost.h"
#include "song/document/KZ1Doc.h"
#include "tests/app/ui/MainFrameFakes.h"

namespace {

class AppFileCommandTargetTest : public ::testing::Test {
 protected:
  AppFileCommandTargetTest() {
    app.SetAppDir("/nonexistent/");
    app.SetChipMode(3);
    app.SetFileChooser(&chooser);
    frame = std::make_unique<CMainFrame>(app, nullptr,
                                         [] { return std::make_unique<mainframetest::RecordingEngine>(); });
    EXPECT_EQ(frame->OnCreate(), 0);
    frame->AddCommandTarget(&target);
  }
  ~AppFileCommandTargetTest() override {
    frame.reset();
    app.SetDocument(nullptr);
  }

  platform::FakeHost host;
  CTrillotApp app;
  ScriptedFileChooser chooser;
  AppFileCommandTarget target{app};
  std::unique_ptr<CMainFrame> frame;
};

TEST_F(AppFileCommandTargetTest, MenuItemsFollowTheUpdateRulesAndRunTheCommands) {
  // No plug-ins: Open and Import need them; Close always works; Save needs a song.
  EXPECT_FALSE(frame->Router().Update(57601).enabled);
  EXPECT_FALSE(frame->Router().Update(32772).enabled);
  EXPECT_TRUE(frame->Router().Update(57602).enabled);
  EXPECT_FALSE(frame->Router().Update(57603).enabled);
  host.binder.plugins[8].from = [](CnvParam&) { return 0u; };
  EXPECT_TRUE(frame->Router().Update(57601).enabled);

  // Open runs the application's command: it asks the chooser.
  EXPECT_TRUE(frame->Router().Dispatch(57601));
  EXPECT_EQ(chooser.Requests().size(), 1u);

  // Close takes the song.
  app.SetDocument(std::make_unique<CKZ1Doc>());
  EXPECT_TRUE(frame->Router().Dispatch(57602));
  EXPECT_EQ(app.GetDocument(), nullptr);
  // The KZ-1 commands are this target's too, off outside chip mode 1.
  EXPECT_TRUE(target.HandlesCommand(32777));
  EXPECT_TRUE(target.HandlesCommand(32773));
  EXPECT_FALSE(frame->Router().Update(32777).enabled);
  EXPECT_FALSE(frame->Router().Update(32773).enabled);
}

}  // namespace

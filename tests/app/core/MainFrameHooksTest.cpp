// The window-side hooks that the main frame answers.
#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include <memory>

#include "StartupFakes.h"
#include "app/core/MainFrameHooks.h"
#include "app/core/TrillotApp.h"
#include "platform/host/testing/FakeHost.h"

namespace {

using startuptest::FakeMainFrame;

TEST(MainFrameHooks, UndoRequestIsQueuedAsTheUndoCommand) {
  platform::FakeHost host;
  CTrillotApp app;
  MainFrameHooks hooks{app};
  hooks.RequestUndo();  // no main frame: nothing to queue on
  auto log = std::make_shared<FakeMainFrame::Log>();
  app.SetMainFrameFactory([log] { return std::make_unique<FakeMainFrame>(log); });
  app.CreateMainFrame();
  hooks.RequestUndo();
  EXPECT_THAT(log->calls, ::testing::ElementsAre("PostCommand(57643)"));
  app.DestroyMainFrame();
}

TEST(MainFrameHooks, StatusPanesAreTheFramesWhileItLives) {
  platform::FakeHost host;
  CTrillotApp app;
  MainFrameHooks hooks{app};
  hooks.UpdateStatusPanes();  // no main frame: nothing to refresh
  auto log = std::make_shared<FakeMainFrame::Log>();
  app.SetMainFrameFactory([log] { return std::make_unique<FakeMainFrame>(log); });
  app.CreateMainFrame();
  hooks.UpdateStatusPanes();
  EXPECT_THAT(log->calls, ::testing::ElementsAre("UpdateStatusPanes"));
  app.DestroyMainFrame();
}

}  // namespace

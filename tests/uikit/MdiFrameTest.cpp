// Tests of MDI frames: placement, frameSlots and the menu bar following the active child.
#include "uikit/MdiFrame.h"

#include <gtest/gtest.h>

#include <QMdiArea>
#include <map>

#include "platform/host/testing/FakeHost.h"
#include "uikit/MdiMenuFollower.h"

namespace {

struct FakeSlots : ui::IFrameSlots {
  std::map<std::string, ui::MdiFrame*> frameSlots;
  void SetFrameSlot(const std::string& name, ui::MdiFrame* frame) override { frameSlots[name] = frame; }
};

TEST(MdiFrame, PlacementRoundTripsThroughTheProfile) {
  platform::FakeHost host;
  QMdiArea area;
  area.resize(900, 700);
  auto* frame = new ui::MdiFrame("CPRollFrm", 0, nullptr);
  area.addSubWindow(frame);
  frame->setGeometry(30, 40, 400, 300);
  EXPECT_EQ(frame->SavePlacement(), 0);

  auto* other = new ui::MdiFrame("CPRollFrm", 0, nullptr);
  area.addSubWindow(other);
  other->setGeometry(0, 0, 100, 100);
  other->RestorePlacement(10, 10, 0, 0);
  EXPECT_EQ(other->geometry(), QRect(30, 40, 400, 300));
}

TEST(MdiFrame, DefaultsApplyWithoutAStoredPlacement) {
  platform::FakeHost host;
  QMdiArea area;
  auto* frame = new ui::MdiFrame("CEListFrm", 0, nullptr);
  area.addSubWindow(frame);
  frame->setGeometry(0, 0, 160, 120);
  const QSize size = frame->size();
  // Right and bottom 0 stand for the current width and height, taken as the right and bottom edges.
  frame->RestorePlacement(5, 6, 0, 0);
  const PlacementRect r = ui::ToPlacementRect(frame->geometry());
  EXPECT_EQ(r.left, 5);
  EXPECT_EQ(r.top, 6);
  EXPECT_EQ(r.right, size.width());
  EXPECT_EQ(r.bottom, size.height());
}

TEST(MdiFrame, SlotIsFilledWhileTheFrameLivesAndEmptyAfter) {
  FakeSlots frameSlots;
  auto* frame = new ui::MdiFrame("CMixerDlg", 0, &frameSlots);
  EXPECT_EQ(frameSlots.frameSlots["CMixerDlg"], frame);
  delete frame;
  EXPECT_EQ(frameSlots.frameSlots["CMixerDlg"], nullptr);
}

TEST(MdiMenuFollower, ChildWithAMenuRebuildsTheBarOneWithoutKeepsIt) {
  QMdiArea area;
  area.show();
  std::vector<int> rebuilt;
  ui::MdiMenuFollower follower(&area, [&](int id) { rebuilt.push_back(id); });
  auto* song = new ui::MdiFrame("CChildFrame", 1002, nullptr);
  auto* tool = new ui::MdiFrame("CAccessLogFrm", 0, nullptr);
  area.addSubWindow(song);
  area.addSubWindow(tool);
  song->show();
  tool->show();
  area.setActiveSubWindow(song);
  area.setActiveSubWindow(tool);
  EXPECT_EQ(follower.CurrentMenu(), 1002);
  follower.OnActivated(nullptr);
  EXPECT_EQ(follower.CurrentMenu(), 1000);
  EXPECT_EQ(rebuilt.back(), 1000);
  EXPECT_NE(std::find(rebuilt.begin(), rebuilt.end(), 1002), rebuilt.end());
  const size_t before = rebuilt.size();
  follower.OnActivated(tool);
  EXPECT_EQ(rebuilt.size(), before);
}

}  // namespace

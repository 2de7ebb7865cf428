// Tests of saving and restoring window placements through the profile.
#include "app/core/WindowPlacement.h"

#include <gtest/gtest.h>

#include "platform/host/testing/FakeHost.h"

namespace {

WindowPlacement Sample() {
  WindowPlacement p;
  p.showCmd = 3;
  p.ptMinPosition = {-1, -2};
  p.ptMaxPosition = {-8, -9};
  p.rcNormalPosition = {10, 20, 810, 620};
  return p;
}

TEST(WindowPlacement, SavesNineValuesInTheProfileOrder) {
  platform::FakeHost host;
  EXPECT_EQ(SaveWindowPlacement("CMainFrame", Sample()), 0);
  const std::vector<std::string> expected = {
      "WindowPosition\\CMainFrame/showCmd=3",        "WindowPosition\\CMainFrame/ptMinPositionX=-1",
      "WindowPosition\\CMainFrame/ptMinPositionY=-2", "WindowPosition\\CMainFrame/ptMaxPositionX=-8",
      "WindowPosition\\CMainFrame/ptMaxPositionY=-9", "WindowPosition\\CMainFrame/top=20",
      "WindowPosition\\CMainFrame/bottom=620",        "WindowPosition\\CMainFrame/left=10",
      "WindowPosition\\CMainFrame/right=810",
  };
  EXPECT_EQ(host.profile.writes, expected);
}

TEST(WindowPlacement, FailedWriteStopsAndReturnsMinusOne) {
  platform::FakeHost host;
  host.profile.failWrites = true;
  EXPECT_EQ(SaveWindowPlacement("CPRollFrm", Sample()), -1);
  EXPECT_TRUE(host.profile.writes.empty());
}

TEST(WindowPlacement, RestoresWhatWasSavedAndShowsHidden) {
  platform::FakeHost host;
  ASSERT_EQ(SaveWindowPlacement("CMainFrame", Sample()), 0);
  WindowPlacement current;
  current.showCmd = 1;
  WindowPlacement p = RestoreWindowPlacement("CMainFrame", current, {0, 0, 300, 200}, 0, 0, 800, 600);
  EXPECT_EQ(p.showCmd, kShowHidden);
  EXPECT_EQ(p.ptMinPosition.x, -1);
  EXPECT_EQ(p.ptMinPosition.y, -2);
  EXPECT_EQ(p.ptMaxPosition.x, -8);
  EXPECT_EQ(p.ptMaxPosition.y, -9);
  EXPECT_EQ(p.rcNormalPosition.left, 10);
  EXPECT_EQ(p.rcNormalPosition.top, 20);
  EXPECT_EQ(p.rcNormalPosition.right, 810);
  EXPECT_EQ(p.rcNormalPosition.bottom, 620);
}

TEST(WindowPlacement, CleanProfileGivesTheDefaultRectangle) {
  platform::FakeHost host;
  WindowPlacement current = Sample();
  WindowPlacement p = RestoreWindowPlacement("CMainFrame", current, {5, 5, 105, 55}, 0, 0, 800, 600);
  EXPECT_EQ(p.rcNormalPosition.left, 0);
  EXPECT_EQ(p.rcNormalPosition.top, 0);
  EXPECT_EQ(p.rcNormalPosition.right, 800);
  EXPECT_EQ(p.rcNormalPosition.bottom, 600);
  EXPECT_EQ(p.ptMinPosition.x, 0);
  EXPECT_EQ(p.ptMaxPosition.y, 0);
}

TEST(WindowPlacement, NoDefaultSizeKeepsTheWindowsSize) {
  platform::FakeHost host;
  WindowPlacement p = RestoreWindowPlacement("CMixerDlg", WindowPlacement{}, {40, 30, 360, 230}, 0, 0, 0, 0);
  EXPECT_EQ(p.rcNormalPosition.right, 320);
  EXPECT_EQ(p.rcNormalPosition.bottom, 200);
}

}  // namespace

// The main window as the program shows it: the program runs offscreen with the window report
// and the test reads the menus, toolbar, panes and bars the report lists.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tests/app/core/ProgramFolder.h"
#include "tools/demosong/DemoSong.h"

namespace {

using startuptest::ProgramFolder;
using startuptest::RunProgram;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using ::testing::IsSupersetOf;

struct Control {
  bool visible = false;
  bool enabled = false;
  std::string text;
};

/// The parts of the window report the acceptance reads.
struct Report {
  std::string title;
  /// The start-up picture's bitmap while it was up, 0 when none.
  int picture = 0;
  /// The frame's geometry: x, y, width, height.
  std::vector<int> frame;
  /// Menu resource -> popup caption -> item ids in order.
  std::map<int, std::vector<std::pair<std::string, std::vector<int>>>> menus;
  std::map<int, std::string> itemLabels;
  std::string toolbar;
  std::vector<std::string> panes;
  std::map<int, Control> controls;
};

std::string Quoted(const std::string& line) {
  const size_t a = line.find('"');
  const size_t b = line.find('"', a + 1);
  return a == std::string::npos || b == std::string::npos ? "" : line.substr(a + 1, b - a - 1);
}

Report Parse(const std::string& text) {
  Report r;
  std::istringstream in(text);
  int menu = 0;
  for (std::string line; std::getline(in, line);) {
    const size_t indent = line.find_first_not_of(' ');
    if (indent == std::string::npos) continue;
    std::istringstream words(line.substr(indent));
    std::string word;
    words >> word;
    if (word == "title") {
      r.title = Quoted(line);
    } else if (word == "picture") {
      words >> r.picture;
    } else if (word == "frame") {
      for (int v = 0; words >> v;) r.frame.push_back(v);
    } else if (word == "menu") {
      words >> menu;
    } else if (word == "popup" && indent == 2) {
      r.menus[menu].push_back({Quoted(line), {}});
    } else if (word == "item" && indent == 4 && !r.menus[menu].empty()) {
      int id = 0;
      words >> id;
      r.menus[menu].back().second.push_back(id);
      if (menu == 1000) r.itemLabels[id] = Quoted(line);
    } else if (word == "toolbar") {
      r.toolbar = line;
    } else if (word == "pane") {
      r.panes.push_back(line);
    } else if (word == "control") {
      int id = 0;
      words >> id;
      Control& c = r.controls[id];
      c.visible = line.find("visible=1") != std::string::npos;
      c.enabled = line.find("enabled=1") != std::string::npos;
      c.text = Quoted(line);
    }
  }
  return r;
}

const std::vector<int>& Popup(const Report& r, int menu, int containing) {
  static const std::vector<int> none;
  auto it = r.menus.find(menu);
  if (it == r.menus.end()) return none;
  for (const auto& [caption, ids] : it->second)
    for (int id : ids)
      if (id == containing) return ids;
  return none;
}

TEST(MainFrameProcess, CleanProfileShowsTheMenusToolbarPanesAndBars) {
  ProgramFolder folder;
  const auto run = RunProgram(folder, {});
  ASSERT_EQ(run.status, 0) << run.err;
  const Report r = Parse(folder.ReadReport());

  EXPECT_THAT(Popup(r, 1000, 32772), ElementsAre(32772, 32771, 32781, 32783, 32832, 57665));
  EXPECT_EQ(r.itemLabels.at(32781), "Open KZ-3 Voice File...");
  EXPECT_EQ(r.itemLabels.at(32783), "Save KZ-3 Voice File...");
  EXPECT_THAT(Popup(r, 1000, 57664), ElementsAre(57664, 40979));

  EXPECT_EQ(r.toolbar, "toolbar 32772 32775 57603 | 57634 57637 | 32800 32797 32804 57664 32798 40983 40984 32796");
  ASSERT_EQ(r.panes.size(), 9u);
  const char* panes[] = {"pane 0 ",          "pane 61221 width=150", "pane 61222 width=90",
                         "pane 61218 width=85", "pane 61219 width=85", "pane 61220 width=100",
                         "pane 61216 width=35 text=\"FM16\"", "pane 61217 width=90", "pane 32785 "};
  for (size_t i = 0; i < r.panes.size(); ++i) EXPECT_THAT(r.panes[i], HasSubstr(panes[i])) << i;

  for (int id : {2302, 1384, 1385, 5001, 5000}) EXPECT_TRUE(r.controls.at(id).visible) << id;
  for (int id : {1389, 1381, 1379, 1390, 1382, 1380, 2507, 2508, 2509}) EXPECT_FALSE(r.controls.at(id).visible) << id;
  EXPECT_EQ(r.controls.at(2528).text, "RS[B]:");
  EXPECT_FALSE(r.controls.at(2532).visible);

  const std::string profile = folder.ReadProfile();
  EXPECT_THAT(profile, HasSubstr("[WindowPosition\\CMainFrame]"));
  EXPECT_THAT(profile, HasSubstr("[ToolBarState]"));
  EXPECT_THAT(profile, HasSubstr("[Setting\\Volume]\nSet=Default"));
}

TEST(MainFrameProcess, WindowProgramShowsTheStartUpPictureAndEveryToolMenu) {
  ProgramFolder folder;
  const auto run = RunProgram(folder, {});
  ASSERT_EQ(run.status, 0) << run.err;
  const Report r = Parse(folder.ReadReport());
  // Chip mode 3 with output profile 2: the first picture of the pair.
  EXPECT_EQ(r.picture, 2543);
  ASSERT_EQ(r.frame.size(), 4u);
  EXPECT_GT(r.frame[2], 0);
  const std::pair<int, std::vector<int>> own[] = {
      {1008, {57634, 57637}}, {1013, {32824, 40981, 40982}}, {1014, {32825, 32826, 32827}}};
  for (const auto& [menu, items] : own) {
    SCOPED_TRACE(menu);
    // File as the main menu has it after the start-up's edits, then the window's own items.
    EXPECT_THAT(Popup(r, menu, 57665), ElementsAre(32772, 32771, 32781, 32783, 32832, 57665));
    EXPECT_THAT(Popup(r, menu, items.front()), ElementsAreArray(items));
  }
}

TEST(MainFrameProcess, ChineseHelpMenuHoldsTheChineseManual) {
  ProgramFolder folder;
  folder.SetEnv("TRILLOT_LANG", "zh_CN");
  const auto run = RunProgram(folder, {});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_THAT(Popup(Parse(folder.ReadReport()), 1000, 57664), ElementsAre(57664, 40992));
}

TEST(MainFrameProcess, RemovedFileItemsStayOutOfTheMainMenu) {
  ProgramFolder folder;
  ASSERT_EQ(RunProgram(folder, {}).status, 0);
  const Report r = Parse(folder.ReadReport());
  for (int id : {57600, 57601, 32773, 32774, 32778, 32779, 32782, 32784}) EXPECT_EQ(r.itemLabels.count(id), 0u) << id;
}

TEST(MainFrameProcess, DemoSongTitlesTheWindowAndStatesTheControlBar) {
  ProgramFolder folder;
  const std::string song = folder.AppDir() + "demo.mid";
  const std::vector<uint8_t> bytes = demosong::Build();
  std::ofstream(song, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
  const auto run = RunProgram(folder, {song});
  ASSERT_EQ(run.status, 0) << run.err;
  const Report r = Parse(folder.ReadReport());
  EXPECT_THAT(r.title, HasSubstr(song));
  for (int id : {1397, 1383, 1392, 1393, 1377}) EXPECT_TRUE(r.controls.at(id).enabled) << id;
  EXPECT_FALSE(r.controls.at(1395).enabled);
  EXPECT_FALSE(r.controls.at(1396).visible);
}

}  // namespace

// Tests of the main window's fixed tables: toolbars, panes, menus after the start-up's edits,
// command labels and the control bar's texts.
#include "app/core/MainFrameTables.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/strings/StringTable.h"

namespace {

using namespace mainframe;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

/// A popup's items as ids, separators as 0.
std::vector<int> Items(const MenuModel& model, int popupId) {
  for (const MenuItem& popup : model.items) {
    if (popup.kind != MenuItem::Kind::Popup || popup.id != popupId) continue;
    std::vector<int> out;
    for (const MenuItem& item : popup.items) out.push_back(item.kind == MenuItem::Kind::Separator ? 0 : item.id);
    return out;
  }
  return {};
}

MenuModel Edited(int resource, int chipMode, int profile, int language) {
  MenuModel model = BuildMenuModel(resource);
  ApplyMenuEdits(model, BuildMenuEdits(chipMode, profile, language));
  return model;
}

TEST(MainFrameTables, ToolbarOfEachOutputProfile) {
  const int expected[] = {1000, 1015, 1021, 1021, 1018, 1021, 1019, 1015, 1021, 1000};
  for (int profile = 0; profile <= 9; ++profile) {
    SCOPED_TRACE(profile);
    EXPECT_EQ(ToolbarFor(profile).resource, expected[profile]);
  }
  EXPECT_THAT(ToolbarFor(2).buttons, ElementsAre(32772, 32775, 57603, 0, 57634, 57637, 0, 32800, 32797, 32804, 57664,
                                                 32798, 40983, 40984, 32796));
  EXPECT_THAT(ToolbarFor(1).buttons, ElementsAre(32772, 32775, 57603, 0, 57634, 57637, 0, 32800, 32797, 32804, 57664,
                                                 32798, 40974, 32796, 40975));
  EXPECT_THAT(ToolbarFor(4).buttons, ElementsAre(57601, 32772, 32775, 57603, 0, 57634, 57637, 0, 32800, 32797, 32804,
                                                 57664, 32798, 40974));
  EXPECT_THAT(ToolbarFor(6).buttons, ElementsAre(32772, 32775, 57603, 0, 57634, 57637, 0, 32800, 32797, 32804, 57664,
                                                 32798, 40974));
  EXPECT_EQ(ToolbarFor(9).buttons.front(), 57601);
  EXPECT_EQ(ToolbarFor(9).buttons.size(), ToolbarFor(1).buttons.size() + 1);
}

TEST(MainFrameTables, IndicatorSetsAndWidths) {
  for (int profile : {1, 4, 6, 7}) {
    EXPECT_THAT(IndicatorsFor(profile), ElementsAre(0, 61221, 61218, 61219, 61220, 61216, 61217, 32785)) << profile;
  }
  for (int profile : {2, 3, 5, 8, 9}) {
    EXPECT_THAT(IndicatorsFor(profile), ElementsAre(0, 61221, 61222, 61218, 61219, 61220, 61216, 61217, 32785))
        << profile;
  }
  const std::pair<int, int> widths[] = {{0, 0},     {61221, 150}, {61222, 90}, {61218, 85}, {61219, 85},
                                        {61220, 100}, {61216, 35}, {61217, 90}};
  for (auto [id, width] : widths) EXPECT_EQ(PaneWidth(id), width) << id;
}

TEST(MainFrameTables, MainMenuAfterStartUpInChipModeThree) {
  const MenuModel menu = Edited(kMainMenu, 3, 2, 1);
  EXPECT_THAT(Items(menu, kPopupFile), ElementsAre(32772, 0, 32771, 0, 32781, 32783, 32832, 0, 57665));
  EXPECT_EQ(menu.FindCommand(32781)->text, "Open KZ-3 Voice File...");
  EXPECT_EQ(menu.FindCommand(32783)->text, "Save KZ-3 Voice File...");
  for (int gone : {57600, 57601, 32773, 32774, 32778, 32779, 32782, 32784}) EXPECT_EQ(menu.FindCommand(gone), nullptr);
  EXPECT_THAT(Items(menu, kPopupHelp), ElementsAre(57664, 40979));
  EXPECT_TRUE(Items(menu, kPopupEdit).empty());
}

TEST(MainFrameTables, WebItemKeptByLanguage) {
  const std::pair<int, int> cases[] = {{1, 40979}, {2, 40977}, {3, 40991}, {4, 40992}, {0, 40979}};
  for (auto [language, kept] : cases) {
    SCOPED_TRACE(language);
    EXPECT_THAT(Items(Edited(kMainMenu, 3, 2, language), kPopupHelp), ElementsAre(57664, kept));
    EXPECT_THAT(Items(Edited(kSongMenu, 3, 2, language), kPopupHelp), ElementsAre(57664, kept));
  }
}

TEST(MainFrameTables, SongMenuAfterStartUpByProfile) {
  for (int profile : {1, 2, 4, 6}) {
    SCOPED_TRACE(profile);
    const MenuModel song = Edited(kSongMenu, 3, profile, 1);
    // The Edit menu keeps Copy and Paste only: the separators left at positions 3 and 0 go.
    EXPECT_THAT(Items(song, kPopupEdit), ElementsAre(57634, 57637));
    EXPECT_EQ(song.FindCommand(32782), nullptr);
    EXPECT_EQ(song.FindCommand(32777), nullptr);
  }
  EXPECT_EQ(Edited(kSongMenu, 3, 1, 1).FindCommand(32831), nullptr);
  EXPECT_NE(Edited(kSongMenu, 3, 2, 1).FindCommand(32831), nullptr);
  const MenuModel four = Edited(kSongMenu, 3, 4, 1);
  for (int gone : {32796, 32797, 32831, 40976, 32830, 32780, 32778}) EXPECT_EQ(four.FindCommand(gone), nullptr) << gone;
  EXPECT_THAT(Items(Edited(kMainMenu, 3, 4, 1), kPopupFile), ElementsAre(57601, 0, 32772, 0, 32771, 0, 32781, 32783,
                                                                         32832, 0, 57665));
  const MenuModel six = Edited(kSongMenu, 3, 6, 1);
  for (int gone : {32796, 32797, 32831}) EXPECT_EQ(six.FindCommand(gone), nullptr) << gone;
  EXPECT_NE(six.FindCommand(40976), nullptr);
}

TEST(MainFrameTables, EveryCommandHasALabelAPromptAndATipInBothLanguages) {
  for (const char* lang : {"en", "zh_CN"}) {
    const platform::StringTable* table = &platform::StringTable::ForLanguage(lang);
    ASSERT_EQ(table->Language(), lang);
    for (int id : AllCommandIds()) {
      SCOPED_TRACE(std::string(lang) + " " + std::to_string(id));
      const auto label = table->Find("cmd." + std::to_string(id));
      ASSERT_TRUE(label.has_value());
      EXPECT_FALSE(label->empty());
      const auto prompt = table->Find(id);
      ASSERT_TRUE(prompt.has_value());
      const size_t cut = prompt->find('\n');
      ASSERT_NE(cut, std::string_view::npos);
      EXPECT_GT(cut, 0u);
      EXPECT_LT(cut + 1, prompt->size());
    }
    for (int pane : {61216, 61217, 61218, 61219, 61220, 61221, 61222, 32785}) EXPECT_TRUE(table->Find(pane)) << pane;
  }
}

TEST(MainFrameTables, LabelsAndAcceleratorsOfTheCommands) {
  const std::pair<int, const char*> labels[] = {
      {57600, "&New\tCtrl+N"},      {57601, "&Open...\tCtrl+O"}, {32772, "Import from SMF...\tCtrl+L"},
      {32775, "Reload from SMF...\tCtrl+R"}, {57603, "&Save\tCtrl+S"}, {57643, "&Undo\tCtrl+Z"},
      {57644, "&Redo\tCtrl+Y"},     {57634, "&Copy\tCtrl+C"},    {57637, "&Paste\tCtrl+V"},
      {32800, "Voice &List"},       {32798, "Voice A&ssign Map"}, {32797, "&Mixer"},
      {59392, "&Toolbar"},          {40980, "File Access Log"},  {32792, "&Preference..."},
      {32781, "Voice O&pen..."},    {32783, "Voice Sa&ve..."},   {32830, "Polyscan..."}};
  for (auto [id, label] : labels) EXPECT_EQ(CommandLabel(id), label) << id;
  EXPECT_EQ(std::string(*platform::strings().Find(32799)), "Open the voice edit window\nVoice Edit");
}

TEST(MainFrameTables, SectionsAndChangeTexts) {
  const std::pair<const char*, int> codes[] = {{"Overall", 0}, {"A Melody", 3}, {"B Melody", 4}, {"Intro.", 1},
                                               {"Ending", 2},  {"Interlude", 6}, {"Bridge", 5},  {"Refrain", 7},
                                               {"Chorus", 0},  {"", 0}};
  for (auto [text, code] : codes) EXPECT_EQ(SectionCodeOf(text), code) << text;
  const std::vector<std::string> kc = KeyChangeTexts();
  ASSERT_EQ(kc.size(), 25u);
  EXPECT_EQ(kc.front(), "+12");
  EXPECT_EQ(kc[11], "+1");
  EXPECT_EQ(kc[12], "0");
  EXPECT_EQ(kc.back(), "-12");
  const std::vector<std::string> tc = TempoChangeTexts();
  ASSERT_EQ(tc.size(), 61u);
  EXPECT_EQ(tc.front(), "70");
  EXPECT_EQ(tc[30], "100");
  EXPECT_EQ(tc.back(), "130");
  EXPECT_THAT(VolumePresetNames(), ElementsAreArray({"Default", "A", "B", "C", "D", "E"}));
}

}  // namespace

#include "voice/models/VListModel.h"

#include <gmock/gmock.h>

#include <cstring>

#include "tests/voice/models/VamFixture.h"
#include "uikit/ScrollSteps.h"

namespace {

using ::testing::ElementsAre;

class VListModelTest : public vamtest::VamTest {
 protected:
  VListModelTest() { host.settings.chipMode = 1; }

  CVListModel Mode(int mode) {
    CVListModel model;
    model.SetMode(mode);
    return model;
  }

  static std::vector<bool> Enabled(const VListMenu& menu) {
    std::vector<bool> out;
    for (const VListMenuItem& item : menu) out.push_back(item.enabled);
    return out;
  }
};

TEST_F(VListModelTest, LayoutByMode) {
  const CVListModel one = Mode(1);
  EXPECT_EQ(one.GetTabCount(), 1);
  EXPECT_EQ(one.GetTabHeight(), 0);
  EXPECT_EQ(one.GetLastColumn(), 1);
  EXPECT_EQ(one.ColumnHeader(0), "Default");
  EXPECT_EQ(one.ColumnHeader(1), "Extended");
  EXPECT_EQ(one.ColumnHeader(2), "");

  CVListModel two = Mode(2);
  EXPECT_EQ(two.GetTabCount(), 2);
  EXPECT_STREQ(two.TabLabel(1), "Drum");
  EXPECT_EQ(two.GetTabHeight(), 25);
  EXPECT_EQ(two.GetLastColumn(), 9);
  EXPECT_EQ(two.ColumnHeader(1), "Bank 1 (default)");
  EXPECT_EQ(two.ColumnHeader(9), "Bank 9 (user)");
  two.SetTab(1);
  EXPECT_EQ(two.ColumnHeader(0), "Bank 128 (default)");
  EXPECT_EQ(two.ColumnHeader(2), "Bank 130 (user)");
  EXPECT_EQ(two.BankOf(9), 137);
}

TEST_F(VListModelTest, HitTestFindsCellsAndRefusesLines) {
  struct Case {
    int mode, x, y, vPos, column, row;
  };
  const Case cases[] = {
      {1, 200, 30, 0, 1, 0},     // the "Extended" column, first row
      {1, 100, 30, 0, 0, 0},
      {1, 200, 40, 0, -1, -1},   // a horizontal grid line
      {1, 200, 10, 0, -1, -1},   // the header
      {1, 40, 30, 0, -1, -1},    // the label column
      {1, 320, 30, 0, -1, -1},   // right of the last column
      {1, 100, 30, 5, 0, 5},     // scrolled
      {1, 100, 45, 127, -1, -1}, // below row 127
      {2, 100, 50, 0, 0, 0},     // below the tab strip and header
      {2, 100, 65, 0, -1, -1},   // the line under row 0
      {2, 100, 40, 0, -1, -1},   // the header under the strip
  };
  for (const Case& c : cases) {
    const CVListModel model = Mode(c.mode);
    int row = 99;
    EXPECT_EQ(model.HitTest(c.x, c.y, 0, c.vPos, &row), c.column) << c.mode << " " << c.x << "," << c.y;
    EXPECT_EQ(row, c.row) << c.mode << " " << c.x << "," << c.y;
  }
}

TEST_F(VListModelTest, ClickOnGridLineClearsSelection) {
  CVListModel model = Mode(1);
  model.Click(200, 30, 0, 0);
  EXPECT_EQ(model.GetSelectedColumn(), 1);
  EXPECT_EQ(model.GetSelectedRow(), 0);
  model.Click(200, 60, 0, 0);
  EXPECT_FALSE(model.HasSelection());
}

TEST_F(VListModelTest, NamesReadAtMostSixteenCharacters) {
  uint8_t* entry = library.GetVoiceTableEntry(1, 4);
  std::memcpy(entry, "ABCDEFGHIJKLMNOPQ", 17);
  const CVListModel one = Mode(1);
  EXPECT_EQ(one.CellText(library, 1, 4), "ABCDEFGHIJKLMNOP");

  CVoice2 voice;
  const uint8_t name[16] = {'P', 'i', 'a', 'n', 'o'};
  voice.SetName(name);
  library.SetVoice2(130, 7, voice);
  CVListModel two = Mode(2);
  two.SetTab(1);
  EXPECT_EQ(two.CellText(library, 2, 7), "Piano");
  EXPECT_EQ(two.CellText(library, 3, 7), "");
}

TEST_F(VListModelTest, Gen1PasteOnlyIntoExtended) {
  CVListModel model = Mode(1);
  std::memcpy(library.GetVoiceTableEntry(0, 2), "Organ", 6);
  model.Click(100, 70, 0, 0);  // Default, program 2
  ASSERT_TRUE(model.CanCopy(library, shell));
  ASSERT_TRUE(model.Copy(library, shell));
  EXPECT_TRUE(shell.hasEntry);
  EXPECT_FALSE(model.CanPaste(shell));
  model.Click(200, 90, 0, 0);  // Extended, program 3
  ASSERT_TRUE(model.CanPaste(shell));
  ASSERT_TRUE(model.Paste(library, shell));
  EXPECT_EQ(0, std::memcmp(library.GetVoiceTableEntry(1, 3), library.GetVoiceTableEntry(0, 2), 33));
  EXPECT_EQ(shell.voiceUpdates, 1);
}

TEST_F(VListModelTest, Gen2CopiesVoicesAndPastesIntoUserBanks) {
  CVListModel model = Mode(2);
  model.Click(100, 50, 0, 0);  // bank 0, program 0: a cleared voice
  EXPECT_FALSE(model.CanCopy(library, shell));
  CVoice2 voice;
  voice.SetNameText("Bass");
  voice.SetAlgorithm(1);
  library.SetVoice2(0, 0, voice);
  ASSERT_TRUE(model.CanCopy(library, shell));
  model.Copy(library, shell);
  ASSERT_NE(shell.voice2, nullptr);
  model.Click(200, 50, 0, 0);  // bank 1: default
  EXPECT_FALSE(model.CanPaste(shell));
  model.Click(56 + 2 * 128 + 5, 70, 0, 0);  // bank 2, program 1
  ASSERT_TRUE(model.Paste(library, shell));
  const CVoice2* stored = library.GetVoice2List().Find(2, 1);
  ASSERT_NE(stored, nullptr);
  EXPECT_EQ(stored->GetAlgorithm(), 1);
  EXPECT_EQ(library.IsModified(), 1);
}

TEST_F(VListModelTest, CellMenuGreysByRules) {
  CVListModel model = Mode(1);
  model.Click(200, 30, 0, 0);
  VListMenu menu = model.CellMenu(library, shell);
  std::vector<int> ids;
  for (const VListMenuItem& item : menu) ids.push_back(item.id);
  EXPECT_THAT(ids, ElementsAre(57643, 57644, 0, 57635, 57634, 57637));
  EXPECT_THAT(Enabled(menu), ElementsAre(false, false, true, false, true, false));
  shell.hasEntry = true;
  EXPECT_THAT(Enabled(model.CellMenu(library, shell)), ElementsAre(false, false, true, false, true, true));
  shell.idle = 0;
  EXPECT_THAT(Enabled(model.CellMenu(library, shell)), ElementsAre(false, false, true, false, false, false));
}

TEST_F(VListModelTest, ScrollSteps) {
  const CVListModel model = Mode(2);
  EXPECT_EQ(CVListModel::ScrollRow(scroll::kPageDown, 10, 0), 14);
  EXPECT_EQ(CVListModel::ScrollRow(scroll::kPageUp, 2, 0), 0);
  EXPECT_EQ(CVListModel::ScrollRow(scroll::kBottom, 0, 0), 127);
  EXPECT_EQ(CVListModel::ScrollRow(scroll::kLineDown, 127, 0), 127);
  EXPECT_EQ(model.ScrollColumn(scroll::kPageDown, 0, 0, 3), 3);
  EXPECT_EQ(model.ScrollColumn(scroll::kBottom, 0, 0, 3), 9);
  EXPECT_EQ(Mode(1).ScrollColumn(scroll::kLineDown, 1, 0, 1), 1);
}

}  // namespace

#include "voice/models/VListModelKZ3.h"

#include <gmock/gmock.h>

#include "song/NamedBlock.h"
#include "tests/voice/models/VamFixture.h"

namespace {

using ::testing::ElementsAre;
using Address = CVListModelKZ3::Address;

class VListModelKZ3Test : public vamtest::VamTest {
 protected:
  VListModelKZ3Test() { host.settings.chipMode = 3; }

  CVListModelKZ3 Tab(int tab) {
    CVListModelKZ3 model;
    model.SetTab(tab);
    return model;
  }

  /// A cell of the tab selected by its column and row.
  CVListModelKZ3 Selected(int tab, int column, int row) {
    CVListModelKZ3 model = Tab(tab);
    model.Click(56 + column * 225 + 10, 85 + row * 20 + 5, 0, 0);
    return model;
  }

  static std::vector<bool> Enabled(const VListMenu& menu) {
    std::vector<bool> out;
    for (const VListMenuItem& item : menu) out.push_back(item.enabled);
    return out;
  }
};

TEST_F(VListModelKZ3Test, HitTestGivesTheVoiceOfTheCell) {
  struct Case {
    int tab, x, y;
    Address at;
  };
  const Case cases[] = {
      {0, 100, 90, {124, 0, 0, -1}},
      {0, 516, 188, {124, 2, 5, -1}},
      {1, 516, 188, {125, 0, 2, 5}},
      {0, 50, 90, {}},   // the label column
      {0, 100, 80, {}},  // the third header row
      {0, 56 + 10 * 225, 90, {}},
  };
  for (const Case& c : cases) {
    CVListModelKZ3 model = Tab(c.tab);
    model.Click(c.x, c.y, 0, 0);
    EXPECT_EQ(model.GetSelection(), c.at) << c.x << "," << c.y;
  }
  CVListModelKZ3 model = Tab(0);
  int row = -1;
  EXPECT_EQ(model.HitTest(100, 90, 3, 120, &row), 3);
  EXPECT_EQ(row, 120);
  EXPECT_EQ(model.HitTest(100, 90 + 8 * 20, 3, 120, &row), -1);
}

TEST_F(VListModelKZ3Test, HeadersAndLabelsPerTab) {
  const CVListModelKZ3 normal = Tab(0);
  EXPECT_EQ(normal.HeaderText(0, 3, 1), "124");
  EXPECT_EQ(normal.HeaderText(1, 3, 1), "3");
  EXPECT_STREQ(normal.CornerText(1), "Bank L");
  EXPECT_STREQ(normal.CornerText(2), "Pch#");
  EXPECT_EQ(normal.RowLabel(0, 1), "1");
  const CVListModelKZ3 drum = Tab(1);
  EXPECT_EQ(drum.HeaderText(0, 3, 1), "125");
  EXPECT_EQ(drum.HeaderText(1, 3, 1), "4");
  EXPECT_STREQ(drum.CornerText(1), "Pch#");
  EXPECT_STREQ(drum.CornerText(2), "Note#");
  EXPECT_EQ(drum.RowLabel(0, 1), "0");
}

TEST_F(VListModelKZ3Test, CellTextsAndGreyDrumNotes) {
  library.GetVoiceBank().SetVoice(124, 1, 0, 0, Fm(124, 1, 0, 0));
  library.GetVoiceBank().SetVoice(124, 1, 1, 0, Fm(124, 1, 1, 4));
  library.GetVoiceBank().SetVoice(124, 1, 2, 0, Pcm(124, 1, 2, 10, 3));
  library.GetVoiceBank().SetVoice(125, 0, 2, 5, Fm(125, 0, 2, 0));
  library.GetVoiceBank().SetVoice(125, 0, 2, 40, Fm(125, 0, 2, 0));
  const CVListModelKZ3 normal = Tab(0);
  EXPECT_EQ(normal.CellOf(library, 1, 0, 3, 2).name, "Fm Voice");
  EXPECT_EQ(normal.CellOf(library, 1, 0, 3, 2).type, "F2");
  EXPECT_EQ(normal.CellOf(library, 1, 1, 3, 2).type, "F4");
  EXPECT_EQ(normal.CellOf(library, 1, 2, 3, 2).type, "P");
  EXPECT_EQ(normal.CellOf(library, 1, 3, 3, 2).name, "");
  EXPECT_EQ(normal.CellOf(library, 1, 3, 3, 2).type, "");
  const CVListModelKZ3 drum = Tab(1);
  EXPECT_EQ(drum.CellOf(library, 2, 5, 3, 2).name, "Fm Voice");
  EXPECT_EQ(drum.CellOf(library, 2, 5, 3, 2).type, "");  // outside 13..91
  EXPECT_EQ(drum.CellOf(library, 2, 40, 3, 2).type, "F2");
  struct Case {
    int chip, profile, note;
    unsigned back;
  };
  const Case cases[] = {{5, 4, 13, 0xF0F0F0}, {5, 4, 34, 0xF0F0F0}, {5, 4, 35, 0xFFFFFF}, {5, 4, 91, 0xF0F0F0},
                        {5, 4, 92, 0xFFFFFF}, {3, 4, 13, 0xFFFFFF}, {5, 2, 13, 0xFFFFFF}};
  for (const Case& c : cases) {
    const CVListModelKZ3::Cell cell = drum.CellOf(library, 0, c.note, c.chip, c.profile);
    EXPECT_EQ(cell.back, c.back) << c.chip << "/" << c.profile << " note " << c.note;
    EXPECT_EQ(cell.text, c.back == 0xF0F0F0 ? 0x808080u : 0u);
  }
  EXPECT_EQ(normal.CellOf(library, 0, 13, 5, 4).back, 0xFFFFFFu);
}

TEST_F(VListModelKZ3Test, CopyAndPasteRules) {
  library.GetVoiceBank().SetVoice(124, 1, 0, 0, Fm(124, 1, 0, 2));
  CVListModelKZ3 model = Selected(0, 1, 0);
  EXPECT_FALSE(model.CanPaste(library, shell));
  ASSERT_TRUE(model.CanCopy(shell));
  model.Copy(library, shell);
  ASSERT_NE(shell.item, nullptr);
  EXPECT_EQ(shell.kind, 1);
  struct Case {
    int tab, column, row;
    bool paste;
  };
  const Case cases[] = {{0, 2, 0, true}, {0, 0, 0, false}, {1, 2, 13, true}, {1, 2, 12, false}, {1, 0, 40, false}};
  for (const Case& c : cases) {
    EXPECT_EQ(Selected(c.tab, c.column, c.row).CanPaste(library, shell), c.paste) << c.tab << " " << c.column;
  }
  EXPECT_FALSE(Selected(1, 2, 92).CanCopy(shell));
  shell.idle = 0;
  EXPECT_FALSE(Selected(0, 2, 0).CanPaste(library, shell));
  EXPECT_FALSE(model.CanCopy(shell));
  EXPECT_THAT(Enabled(model.CellMenu(library, shell)), ElementsAre(false, false));
}

TEST_F(VListModelKZ3Test, ListCopyPastesAsItIs) {
  library.GetVoiceBank().SetVoice(124, 1, 0, 0, Pcm(124, 1, 0, 8, 5));
  CVListModelKZ3 from = Selected(0, 1, 0);
  from.Copy(library, shell);
  const CVListModelKZ3 to = Selected(1, 3, 20);
  ASSERT_EQ(to.Paste(library, nullptr, shell), 0);
  const CVoiceItem* stored = library.GetVoiceBank().FindVoice(125, 0, 3, 20);
  ASSERT_NE(stored, nullptr);
  EXPECT_EQ(stored->GetWaveHeaderId(), 5);
  EXPECT_EQ(library.IsModified(), 1);
  EXPECT_EQ(shell.voiceUpdates, 1);
}

TEST_F(VListModelKZ3Test, MapCopyTakesAFreeWaveIdAndTheSongsUserWaves) {
  Make(3);
  library.GetVoiceBank().SetVoice(124, 1, 0, 0, Pcm(124, 1, 0, 8, 0));
  // Other samples than the library's wave 0, so the two stay apart.
  shell.SetClipVoiceItem(new CVoiceItem(Pcm(124, 1, 9, 9, 0)), 2);
  const CVListModelKZ3 to = Selected(0, 2, 4);
  ASSERT_EQ(to.Paste(library, doc.get(), shell), 0);
  const CVoiceItem* stored = library.GetVoiceBank().FindByProgram(124, 2, 4);
  ASSERT_NE(stored, nullptr);
  EXPECT_EQ(stored->GetWaveId(), 1);
  EXPECT_EQ(stored->GetWaveHeaderId(), 1);

  AddSongWave(15);
  shell.SetClipVoiceItem(new CVoiceItem(Fm(124, 1, 9, 4, {15, 1, 1, 1})), 2);
  ASSERT_EQ(Selected(0, 2, 5).Paste(library, doc.get(), shell), 0);
  ASSERT_NE(library.GetWaveBlock(15), nullptr);
  EXPECT_EQ(library.GetWaveBlock(15)->GetSize(), 64);
  EXPECT_EQ(library.GetWaveBlock(23), nullptr);
}

TEST_F(VListModelKZ3Test, MapCopyWithoutFreeWaveIdIsRefused) {
  for (int id = 0; id < 128; ++id) library.GetVoiceBank().SetVoice(124, 5, id, 0, Pcm(124, 5, id, 1, id));
  library.SetModified(0);
  shell.SetClipVoiceItem(new CVoiceItem(Pcm(124, 1, 9, 8, 0)), 2);
  EXPECT_EQ(Selected(0, 2, 4).Paste(library, nullptr, shell), 7070);
  EXPECT_THAT(host.messages.ShownIds(), ElementsAre(7070));
  EXPECT_EQ(library.GetVoiceBank().FindByProgram(124, 2, 4), nullptr);
  EXPECT_EQ(library.IsModified(), 0);
  EXPECT_EQ(shell.voiceUpdates, 0);
}

TEST_F(VListModelKZ3Test, BankHeaderChoosesTheBankOfTheBankCommands) {
  struct Case {
    int tab, profile, column;
    Address bank;
    bool importable;
  };
  const Case cases[] = {{0, 2, 0, {124, 0, 0, -1}, false}, {0, 2, 3, {124, 3, 0, -1}, true},
                        {1, 2, 0, {125, 0, 0, -1}, false}, {1, 2, 1, {125, 0, 1, -1}, false},
                        {1, 4, 1, {125, 0, 1, -1}, true},  {1, 2, 2, {125, 0, 2, -1}, true}};
  for (const Case& c : cases) {
    host.settings.outputProfile = c.profile;
    CVListModelKZ3 model = Tab(c.tab);
    ASSERT_TRUE(model.SelectBankAt(56 + c.column * 225 + 100, 30, 0));
    EXPECT_EQ(model.GetBankSelection(), c.bank);
    const VListMenu menu = model.BankMenu();
    ASSERT_EQ(menu.size(), 2u);
    EXPECT_EQ(menu[0].id, 32789);
    EXPECT_EQ(menu[0].label, "&Import from Bank Voice...");
    EXPECT_EQ(menu[0].enabled, c.importable) << c.tab << " " << c.column << " profile " << c.profile;
    EXPECT_EQ(menu[1].id, 32790);
    EXPECT_TRUE(menu[1].enabled);
  }
  CVListModelKZ3 model = Tab(0);
  EXPECT_FALSE(model.SelectBankAt(100, 50, 0));  // the second header row
  EXPECT_FALSE(model.SelectBankAt(30, 30, 0));   // the corner
}

TEST_F(VListModelKZ3Test, EditedVoiceIsStoredAndMarksTheLibrary) {
  const Address at{124, 2, 7, -1};
  CVoiceItem edited = CVListModelKZ3::VoiceAt(library, at);
  EXPECT_EQ(edited.GetBankLsb(), 2);
  edited.SetName("Edited");
  edited.SetAlgorithm(3);
  CVoiceItem* stored = CVListModelKZ3::StoreEditedVoice(library, at, edited);
  ASSERT_NE(stored, nullptr);
  EXPECT_EQ(stored, library.GetVoiceBank().FindByProgram(124, 2, 7));
  EXPECT_STREQ(stored->GetName(), "Edited");
  EXPECT_EQ(library.IsModified(), 1);

  library.SetModified(0);
  CVListModelKZ3::StoreEditedVoice(library, at, *stored);
  EXPECT_EQ(library.IsModified(), 0);

  const Address fixed{124, 10, 7, -1};
  EXPECT_EQ(CVListModelKZ3::StoreEditedVoice(library, fixed, CVListModelKZ3::VoiceAt(library, fixed)), nullptr);
  EXPECT_EQ(library.GetVoiceBank().FindByProgram(124, 10, 7), nullptr);
}

}  // namespace

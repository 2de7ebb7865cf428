// The contents-information dialogs' rules without a window.
#include "app/core/InformationRules.h"

#include <gtest/gtest.h>

#include "velk/ContentsInfo.h"

namespace {

TEST(InformationRules, ListsByProfile) {
  EXPECT_EQ(InformationListsFor(2).codeTypes, (std::vector<std::string>{"Shift-JIS", "Latin-1", "EUC-KR", "UTF-8"}));
  EXPECT_EQ(InformationListsFor(6).codeTypes.size(), 8u);
  EXPECT_EQ(InformationListsFor(3).codeTypes, std::vector<std::string>{"0x80"});
  EXPECT_EQ(InformationListsFor(5).codeTypes.size(), 256u);
  EXPECT_EQ(InformationListsFor(5).codeTypes[0xAB], "0xAB");
  EXPECT_EQ(InformationListsFor(8).classes, (std::vector<std::string>{"0", "1", "2"}));
  EXPECT_EQ(InformationListsFor(4).types, std::vector<std::string>{"0xF0"});
  EXPECT_EQ(InformationListsFor(1).types, std::vector<std::string>{"Melody"});
}

TEST(InformationRules, CodeTypeTableOfProfile2) {
  EXPECT_EQ(CodeTypeIndex(2, 0x23, 0), 3);
  for (int v = 0; v < 3; ++v) EXPECT_EQ(CodeTypeIndex(2, v, 0x23), v);
  EXPECT_EQ(CodeTypeIndex(2, 0x05, 0x23), 3);  // the remembered entry
  EXPECT_EQ(CodeTypeIndex(2, 0x05, 2), 2);
  EXPECT_EQ(CodeTypeIndex(2, 0x05, 0x40), 0);
  EXPECT_EQ(CodeTypeValue(2, 3, 0), 0x23);
  EXPECT_EQ(CodeTypeValue(2, 1, 0), 1);
  EXPECT_EQ(CodeTypeValue(2, -1, 2), 2);
  EXPECT_EQ(CodeTypeValue(6, 5, 0), 5);
  EXPECT_EQ(CodeTypeValue(3, 0, 0), 0x80);
}

TEST(InformationRules, OpeningSelectsAndEnablesByProfile) {
  CContentsInfo info;
  info.SetContentsClass(1);
  info.SetContentsTypeByte(0x41);  // generation 3, group 0x10
  info.SetTextCodeType(0x23);
  info.SetByteD(2);
  const InformationOpening two = OpenInformation(info, 2, 0);
  EXPECT_EQ(two.classIndex, 1);
  EXPECT_EQ(two.typeIndex, 1);
  EXPECT_EQ(two.codeIndex, 3);
  EXPECT_EQ(two.channelIndex, 2);
  EXPECT_TRUE(two.remember);
  EXPECT_FALSE(two.classEnabled);
  EXPECT_FALSE(two.typeEnabled);
  EXPECT_TRUE(two.codeEnabled);
  EXPECT_FALSE(two.phraseShown);
  const InformationOpening three = OpenInformation(info, 3, 0);
  EXPECT_EQ(three.codeIndex, 0);
  EXPECT_FALSE(three.codeEnabled);
  EXPECT_FALSE(three.remember);
  const InformationOpening five = OpenInformation(info, 5, 0);
  EXPECT_EQ(five.typeIndex, 0x41);
  EXPECT_EQ(five.codeIndex, 0x23);
  EXPECT_TRUE(five.classEnabled && five.typeEnabled && five.codeEnabled);
  EXPECT_TRUE(OpenInformation(info, 4, 0).phraseShown);
  info.SetByteD(7);
  EXPECT_EQ(OpenInformation(info, 2, 0).channelIndex, -1);
}

struct CommitCase {
  int profile;
  uint8_t flag, type, code;
  int remember;
};

TEST(InformationRules, OkBytesForEveryProfile) {
  // Class 1, type entry 1, code entry 3, channel entry 4; remembered code type 2.
  const CommitCase cases[] = {{1, 0, 0x41, 3, 3},   {2, 0, 0x41, 0x23, 0x23}, {3, 0x80, 0x41, 0x80, -1},
                              {4, 0, 0xF0, 0x23, 0x23}, {5, 0, 0x01, 3, 3},   {6, 0, 0x41, 3, 3},
                              {7, 0, 0x41, 3, 3},   {8, 0, 0x41, 0x23, 0x23}};
  for (const CommitCase& c : cases) {
    CContentsInfo info;
    info.SetContentsTypeByte(0x32);  // generation 3, group 0, index 2
    info.SetCodeType(0x55);
    const int remember = CommitInformation(info, c.profile, 1, 1, 3, 4, 2);
    const uint8_t type = c.profile == 4 || c.profile == 5 ? c.type : static_cast<uint8_t>(c.type + 1);
    EXPECT_EQ(info.GetContentsClass(), 1) << c.profile;
    EXPECT_EQ(info.GetCodeType(), c.flag) << c.profile;
    EXPECT_EQ(info.GetContentsType(), type) << c.profile;
    EXPECT_EQ(info.GetTextCodeType(), c.code) << c.profile;
    EXPECT_EQ(info.GetByteD(), 4) << c.profile;
    EXPECT_EQ(remember, c.remember) << c.profile;
  }
}

TEST(InformationRules, UnselectedChannelConditionStores255) {
  CContentsInfo info;
  CommitInformation(info, 2, 0, 0, 0, -1, 0);
  EXPECT_EQ(info.GetByteD(), 255);
}

TEST(InformationRules, TextsGoBackCutTo255) {
  CContentsInfo info;
  InformationTexts t = TextsOf(info);
  t.title = "Song";
  t.artist = "Artist";
  t.lyricist = "Words";
  t.composer = "Music";
  t.arranger = "Arranger";
  t.vendor = std::string(300, 'v');
  t.management = "MI";
  t.phrase = "Phrase";
  StoreTexts(info, t);
  const InformationTexts back = TextsOf(info);
  EXPECT_EQ(back.title, "Song");
  EXPECT_EQ(back.artist, "Artist");
  EXPECT_EQ(back.lyricist, "Words");
  EXPECT_EQ(back.composer, "Music");
  EXPECT_EQ(back.arranger, "Arranger");
  EXPECT_EQ(back.vendor, std::string(255, 'v'));
  EXPECT_EQ(back.management, "MI");
  EXPECT_EQ(back.phrase, "Phrase");
}

TEST(InformationRules, MfiVersionCodeTypesAndDistribution) {
  EXPECT_EQ(MfiVersionText(1, 4), "ver 3.1");
  EXPECT_EQ(MfiVersionText(7, 1), "ver 3.0");
  EXPECT_EQ(MfiVersionText(6, 4), "ver 3.0");
  EXPECT_TRUE(MfiHasCodeType(7, 2));
  EXPECT_FALSE(MfiHasCodeType(6, 2));
  EXPECT_EQ(MfiCodeIndex(0x20, 0), 1);
  EXPECT_EQ(MfiCodeIndex(0x11, 0x23), 2);
  EXPECT_EQ(MfiCodeIndex(0x11, 0x05), 0);
  EXPECT_EQ(MfiCodeValue(2, 0), 0x23);
  EXPECT_EQ(MfiCodeValue(-1, 0x20), 0x20);

  CContentsInfo info;
  info.SetOptionByte1(0xF9);
  CSongTextInfo song;
  song.SetText(1, std::string(60, 't'));
  info.SetSongTextInfo(song);
  MfiFields f = OpenMfi(info, 1, 2, 0);
  EXPECT_EQ(f.title, std::string(50, 't'));
  EXPECT_EQ(f.distribution, 0);
  f.distribution = 1;
  f.codeIndex = 2;
  EXPECT_EQ(CommitMfi(info, f, 1, 2, 0), 0x23);
  EXPECT_EQ(info.GetOptionByte1(), 0xFD);
  EXPECT_EQ(info.GetTextCodeType(), 0x23);
  EXPECT_EQ(std::string(info.GetSongTextInfo().GetText(1)), std::string(50, 't'));
  f.distribution = 0;
  EXPECT_EQ(CommitMfi(info, f, 6, 2, 0), -1);
  EXPECT_EQ(info.GetOptionByte1(), 0xF9);
  EXPECT_EQ(info.GetTextCodeType(), 0);
}

TEST(InformationRules, TypedLineBreaksTakeTheFormTheRecordUses) {
  InformationTexts record;
  EXPECT_EQ(WithRecordLineBreaks("a\nb", "", record), "a\r\nb");  // no break anywhere: the edit's CR LF
  record.management = "x\ny";
  EXPECT_EQ(WithRecordLineBreaks("a\nb\n", "", record), "a\nb\n");
  EXPECT_EQ(WithRecordLineBreaks("a\nb", "c\r\nd", record), "a\r\nb");  // the field's own form first
  record.vendor = "v\r\nw";
  EXPECT_EQ(WithRecordLineBreaks("a\r\nb\nc", "", record), "a\r\nb\r\nc");
  EXPECT_EQ(WithRecordLineBreaks("plain", "", record), "plain");
}

}  // namespace

// Section marks, contents tags and the QX text of the song-data dialect.
#include "song/SmfDialectText.h"
#include "song/SongTextInfo.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

uint8_t CodeOf(const std::string& text) {
  return CueCodeOfText(reinterpret_cast<const uint8_t*>(text.data()),
                       static_cast<uint32_t>(text.size()));
}

TEST(SmfDialectText, CueTextsGiveTheirCodes) {
  struct Case {
    std::string text;
    uint8_t code;
  } cases[] = {
      {"START", 8},    {"STOP", 9},     {"01LSTPI", 1},  {"01LSTPE", 2},  {"01LSTPA", 3},
      {"01LSTPB", 4},  {"01LSTPS", 5},  {"01LSTPK", 6},  {"01LSTPR", 7},  {"01LSPPA", 0},
      {"01LSPPI", 0},  {"01LSTPX", 0},  {"01LSTP", 0},   {"01LSTPAA", 0}, {"start", 0},
      {"STOPP", 0},    {"", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(CodeOf(c.text), c.code);
  }
}

TEST(SmfDialectText, SectionEndIsRecognisedApart) {
  std::string end = "01LSPPA";
  EXPECT_EQ(SectionEndCodeOfText(reinterpret_cast<const uint8_t*>(end.data()), 7), 3);
  std::string start = "01LSTPA";
  EXPECT_EQ(SectionEndCodeOfText(reinterpret_cast<const uint8_t*>(start.data()), 7), 0);
  for (uint8_t code = 1; code <= 7; ++code) {
    SCOPED_TRACE(code);
    EXPECT_EQ(CodeOf(CueText(code)), code);
    std::string e = SectionEndText(code);
    EXPECT_EQ(SectionEndCodeOfText(reinterpret_cast<const uint8_t*>(e.data()), 7), code);
  }
  EXPECT_EQ(CueText(8), "START");
  EXPECT_EQ(CueText(9), "STOP");
  EXPECT_EQ(CueText(0), "");
  EXPECT_EQ(SectionEndText(8), "");
}

TEST(SmfDialectText, CueMetaIsGolden) {
  std::vector<uint8_t> expected = {0xFF, 0x07, 0x07,  // cue point, 7 bytes
                                   '0', '1', 'L', 'S', 'T', 'P', 'B'};
  EXPECT_EQ(MakeCueMeta(CueText(4)), expected);
  EXPECT_EQ(MakeCueMeta("STOP").size(), 7u);
}

TEST(SmfDialectText, SequencerSpecificSectionNumbers) {
  uint8_t expected[] = {1, 2, 0, 3, 4, 5, 6, 7, 0, 0};
  for (uint8_t k = 0; k < 10; ++k) {
    SCOPED_TRACE(int{k});
    uint8_t data[] = {0x43, 0x7B, 0x02, k};
    EXPECT_EQ(CueCodeOfSequencerMeta(data, 4), expected[k]);
    if (expected[k] != 0) {
      EXPECT_EQ(SectionNumberOfCueCode(expected[k]), k);
    }
  }
  uint8_t otherMaker[] = {0x7D, 0x7B, 0x02, 0x00};
  EXPECT_EQ(CueCodeOfSequencerMeta(otherMaker, 4), 0);
  uint8_t longer[] = {0x43, 0x7B, 0x02, 0x00, 0x00};
  EXPECT_EQ(CueCodeOfSequencerMeta(longer, 5), 0);
  EXPECT_EQ(SectionNumberOfCueCode(8), 0xFF);
}

TEST(SmfDialectText, ContentsTagsHaveTheirTableIndex) {
  struct Case {
    const char* tag;
    int index;
  } cases[] = {{"ST", 0}, {"SW", 1}, {"CR", 8}, {"UD", 10}, {"K2", 11}, {"A2", 15},
               {"GR", 16}, {"MI", 17}, {"ES", 18}, {"DV", 19}, {"TS", -1}, {"st", -1},
               {"WA", -1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tag);
    EXPECT_EQ(ContentsTagIndex(c.tag[0], c.tag[1]), c.index);
    if (c.index >= 0) {
      EXPECT_EQ(ContentsTagName(c.index), c.tag);
    }
  }
  EXPECT_TRUE(IsSkippedContentsTag(kTagA0));
  EXPECT_TRUE(IsSkippedContentsTag(kTagK3));
  EXPECT_FALSE(IsSkippedContentsTag(kTagGR));
  EXPECT_TRUE(IsByteContentsTag(kTagDV));
  EXPECT_FALSE(IsByteContentsTag(kTagMI));
}

bool ShiftJisLead(uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

TEST(SmfDialectText, ContentsItemEscapesCommaAndBackslash) {
  EXPECT_EQ(MakeContentsItem(kTagST, "a,b"), "ST:a\\,b,");
  EXPECT_EQ(MakeContentsItem(kTagCR, "x\\y"), "CR:x\\\\y,");
  // "ソ" in Shift-JIS is 83 5C: its second byte is not a backslash to escape.
  std::string so = "\x83\x5C,";
  EXPECT_EQ(EscapeContentsText(so, ShiftJisLead), "\x83\x5C\\,");
  EXPECT_EQ(EscapeContentsText(so), "\x83\\\x5C\\,");
}

TEST(SmfDialectText, QxTextAndLanguageCodes) {
  std::string qx = "QXlnJP:a:b:c:d:e:f";
  EXPECT_TRUE(IsQXlnText(reinterpret_cast<const uint8_t*>(qx.data()), 18));
  EXPECT_FALSE(IsQXlnText(reinterpret_cast<const uint8_t*>(qx.data()), 3));
  std::string other = "QXLN";
  EXPECT_FALSE(IsQXlnText(reinterpret_cast<const uint8_t*>(other.data()), 4));
  const char* codes[] = {"JP", "l1", "Kr", "HZ", "b5", "CY", "vn"};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(QxLanguageIndex(codes[i][0], codes[i][1]), i) << codes[i];
  EXPECT_EQ(QxLanguageIndex('E', 'N'), -1);
}

}  // namespace

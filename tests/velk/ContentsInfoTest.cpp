// The contents-information record: reset by kind, copies, the contents type and text fitting.
#include "velk/ContentsInfo.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "song/TextCodec.h"

namespace {

[[maybe_unused]] const bool kCodePagePinned = (setenv("TRILLOT_ANSI_CODEPAGE", "CP932", 1), true);

const std::string kKanji = "\x93\xFA";  // 日: a CP932 lead byte and its trail

std::string Repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

TEST(ContentsInfo, ResetByKind) {
  const struct {
    int kind;
    uint8_t type, code, copyStatus, editStatus;
  } cases[] = {
      {0, 0x00, 0, 0x00, 0x00}, {3, 0x32, 1, 0xFD, 0xF8}, {5, 0x34, 1, 0xFD, 0xF8},
      {4, 0x01, 0, 0x04, 0x00}, {6, 0x01, 0, 0x04, 0x00}, {7, 0x00, 0, 0x00, 0x00},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.kind);
    CContentsInfo info;
    info.SetText1("vendor");
    info.SetOptionText(2, "a2");
    info.SetOptionByte2(9);
    info.SetFlagC(true);
    info.GetSongTextInfo().SetText(1, "title");
    info.Reset(c.kind);
    EXPECT_EQ(info.GetContentsClass(), 0);
    EXPECT_EQ(info.GetContentsType(), c.type);
    EXPECT_EQ(info.GetCodeType(), c.code);
    EXPECT_EQ(info.GetTextCodeType(), 0xFF);
    EXPECT_EQ(info.GetOptionByte1(), c.copyStatus);
    EXPECT_EQ(info.GetOptionByte2(), 0);
    EXPECT_EQ(info.GetOptionByte3(), c.editStatus);
    EXPECT_EQ(info.GetOptionByte4(), 0xFF);
    EXPECT_EQ(info.GetFlagByteA(), 1);
    EXPECT_FALSE(info.GetFlagC());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(info.GetFourChars()), 4), "0100");
    EXPECT_EQ(info.GetText1(), "");
    EXPECT_EQ(info.GetOptionText(2), "");
    EXPECT_STREQ(info.GetSongTextInfo().GetText1(), "");
    EXPECT_EQ(info.GetSongTextInfo().GetLangByte(0), 'J');
  }
}

TEST(ContentsInfo, CopyFromCutsTextsWhereCopyConstructionKeepsThem) {
  CContentsInfo source;
  source.Reset(3);
  // Fill a text past 255 bytes the only way a record can hold one: through a copy.
  source.SetText5(std::string(255, 'c'));
  source.SetFlagC(true);
  source.SetByteD(7);
  const uint8_t eight[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  source.SetEightBytes(eight);
  source.SetOptionByte5(0x42);
  source.SetText9("last");

  CContentsInfo copied;
  EXPECT_EQ(copied.CopyFrom(source, 0), 1);
  EXPECT_EQ(copied.GetContentsType(), 0x32);
  EXPECT_EQ(copied.GetOptionByte1(), 0xFD);
  EXPECT_EQ(copied.GetOptionByte3(), 0xF8);
  EXPECT_TRUE(copied.GetFlagC());
  EXPECT_EQ(copied.GetByteD(), 7);
  EXPECT_EQ(copied.GetEightBytes()[7], 8);
  EXPECT_EQ(copied.GetStatusByte(), 0x42);
  EXPECT_EQ(copied.GetText9(), "last");
  EXPECT_EQ(copied.GetText5().size(), 255u);

  CContentsInfo constructed(source);
  EXPECT_EQ(constructed.GetText9(), "last");
  EXPECT_TRUE(constructed.GetFlagC());
}

TEST(ContentsInfo, SettersKeepAtMost255Bytes) {
  CContentsInfo info;
  info.SetText2(std::string(300, 'n'));
  info.SetOptionText(0, std::string(300, 'o'));
  EXPECT_EQ(info.GetText2().size(), 255u);
  EXPECT_EQ(info.GetOptionText(0).size(), 255u);
  EXPECT_FALSE(info.SetText(10, "x"));
  EXPECT_FALSE(info.SetOptionText(3, "x"));
}

TEST(ContentsInfo, ContentsTypeByKind) {
  const struct {
    int kind;
    uint8_t a, b, type;
  } cases[] = {
      {1, 0x10, 0, 0x10}, {2, 0x20, 0, 0x21}, {3, 0x00, 2, 0x32}, {3, 0x10, 4, 0x44},
      {5, 0, 2, 0x34},    {5, 0, 3, 0x36},    {5, 0, 4, 0x38},    {5, 0, 9, 0xAB},
      {4, 0x10, 3, 0xAB}, {0, 0x10, 3, 0xAB}, {6, 0x10, 3, 0xAB},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.kind << " " << int(c.a) << " " << int(c.b));
    CContentsInfo info;
    info.SetContentsTypeByte(0xAB);
    info.SetContentsType(c.kind, c.a, c.b);
    EXPECT_EQ(info.GetContentsType(), c.type);
  }
}

TEST(ContentsInfo, ReadingsOfTheTypeByte) {
  const struct {
    uint8_t type;
    int generation;
    uint8_t group, index;
  } cases[] = {
      {0x00, 1, 0x00, 0}, {0x01, 2, 0x00, 0}, {0x11, 2, 0x10, 0}, {0x2F, 16, 0x20, 0},
      {0x30, 3, 0x00, 0}, {0x32, 3, 0x00, 2}, {0x44, 3, 0x10, 4}, {0xFF, 3, 0xC0, 15},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(int(c.type));
    CContentsInfo info;
    info.SetContentsTypeByte(c.type);
    EXPECT_EQ(info.GetGeneration(), c.generation);
    EXPECT_EQ(info.GetTypeGroup(), c.group);
    EXPECT_EQ(info.GetTypeIndex(), c.index);
  }
}

TEST(ContentsInfo, ShiftJisCutNeverSplitsACharacter) {
  const struct {
    const char* name;
    std::string text;
    int result;
    std::string after;
  } cases[] = {
      {"short", "abc", 0, "abc"},
      {"lead byte at 254 of 255", std::string(254, 'a') + "\x93", 1, std::string(254, 'a') + " "},
      {"lead byte at 254 of 256", std::string(254, 'a') + kKanji, 2, std::string(254, 'a') + " "},
      {"character ends at 254", std::string(253, 'a') + kKanji + "zz", 2,
       std::string(253, 'a') + kKanji},
      {"kanji only", Repeat("\x88\x9F", 150), 46, Repeat("\x88\x9F", 127) + " "},
      // Byte 254 is a trail byte that lies in the lead range: the whole character stays.
      {"trail byte at 254", "a" + Repeat("\x88\x9F", 150), 46, "a" + Repeat("\x88\x9F", 127)},
      {"exactly 255 single bytes", std::string(255, 'q'), 0, std::string(255, 'q')},
      {"300 single bytes", std::string(300, 'q'), 45, std::string(255, 'q')},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string text = c.text;
    EXPECT_EQ(CContentsInfo::ConvertText(0x00, text, 255), c.result);
    EXPECT_EQ(text, c.after);
  }
}

TEST(ContentsInfo, Utf8CutCountsEncodedBytes) {
  // 255 half-width katakana: one CP932 byte, three UTF-8 bytes each.
  std::string text(255, '\xB1');
  EXPECT_EQ(CContentsInfo::ConvertText(0x23, text, 255), 510);
  EXPECT_EQ(text, std::string(85, '\xB1'));
  // 100 kanji: 300 UTF-8 bytes, cut to 85 whole characters.
  std::string kanji = Repeat(kKanji, 100);
  EXPECT_EQ(CContentsInfo::ConvertText(0x23, kanji, 255), 45);
  EXPECT_EQ(kanji, Repeat(kKanji, 85));
  std::string small = "abc";
  EXPECT_EQ(CContentsInfo::ConvertText(0x23, small, 255), 0);
  EXPECT_EQ(small, "abc");
}

TEST(ContentsInfo, Utf16CutLeavesWholeUnits) {
  std::string kanji = Repeat(kKanji, 200);  // 400 bytes of UTF-16
  EXPECT_EQ(CContentsInfo::ConvertText(0x20, kanji, 255), 146);
  EXPECT_EQ(kanji, Repeat(kKanji, 127));
  std::string text = "abc";
  EXPECT_EQ(CContentsInfo::ConvertText(0x20, text, 255), 0);
}

TEST(ContentsInfo, UnknownCodeLeavesTheText) {
  std::string text(300, 'x');
  EXPECT_EQ(CContentsInfo::ConvertText(0x01, text, 255), -1);
  EXPECT_EQ(text.size(), 300u);
}

TEST(ContentsInfo, FitTextsUsesTheMask) {
  CContentsInfo info;
  info.SetTextCodeType(0x23);
  info.GetSongTextInfo().SetText(1, std::string(255, '\xB1'));
  info.GetSongTextInfo().SetText(2, std::string(255, '\xB1'));
  info.SetText4(std::string(255, '\xB1'));  // CR, bit 8
  info.SetText7(std::string(255, '\xB1'));  // GR, bit 16
  info.SetText8(std::string(255, '\xB1'));  // MI, bit 17
  EXPECT_EQ(info.FitTexts((1u << 0) | (1u << 8) | (1u << 16)), 1);
  EXPECT_EQ(std::string(info.GetSongTextInfo().GetText1()).size(), 85u);
  EXPECT_EQ(std::string(info.GetSongTextInfo().GetText2()).size(), 255u);
  EXPECT_EQ(info.GetText4().size(), 85u);
  EXPECT_EQ(info.GetText7().size(), 85u);
  EXPECT_EQ(info.GetText8().size(), 255u);
}

}  // namespace

// The "CNTI" chunk: header bytes, the option-text parser and builder, malformed bodies.
#include "velk/ContentsInfoChunk.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "VelkBytes.h"
#include "velk/ContentsInfo.h"

namespace {

[[maybe_unused]] const bool kCodePagePinned = (setenv("TRILLOT_ANSI_CODEPAGE", "CP932", 1), true);

using velktest::Bytes;
using velktest::Hex;

Bytes B(const std::string& s) { return Bytes(s.begin(), s.end()); }

Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

/// A whole "CNTI" chunk around a body.
Bytes CntiImage(const Bytes& body) {
  uint32_t n = static_cast<uint32_t>(body.size());
  return Join({B("CNTI"),
               {static_cast<uint8_t>(n >> 24), static_cast<uint8_t>(n >> 16),
                static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(n)},
               body});
}

/// A chunk holding just this option text, in an exactly sized buffer.
void SetOptionText(CContentsInfoChunk& chunk, const std::string& text) {
  auto* copy = static_cast<uint8_t*>(std::malloc(text.size() ? text.size() : 1));
  std::memcpy(copy, text.data(), text.size());
  chunk.GetOptionText().Attach(copy, static_cast<int32_t>(text.size()));
}

CContentsInfo Parse(const std::string& optionText) {
  CContentsInfoChunk chunk;
  SetOptionText(chunk, optionText);
  CContentsInfo record;
  chunk.ParseBody(record);
  return record;
}

int ParseError(const std::string& optionText, CContentsInfo& record) {
  CContentsInfoChunk chunk;
  SetOptionText(chunk, optionText);
  try {
    chunk.ParseBody(record);
  } catch (int e) {
    return e;
  }
  return 0;
}

TEST(ContentsInfoChunk, CopyStatusTakesTheFixedBitsOfItsGeneration) {
  const struct {
    uint8_t type, stored, kept;
    int generation;
  } cases[] = {{0x00, 0x01, 0xFD, 1}, {0x01, 0x01, 0xFD, 2}, {0x2F, 0x01, 0xFD, 16},
               {0x32, 0x01, 0xF9, 3}};
  for (const auto& c : cases) {
    SCOPED_TRACE(int(c.type));
    Bytes image = CntiImage({0x05, c.type, 0x01, c.stored, 0x02});
    CMemStream s = velktest::ReadStream(image);
    CContentsInfoChunk chunk;
    chunk.Read(s);
    EXPECT_EQ(chunk.GetGeneration(), c.generation);
    EXPECT_EQ(chunk.GetCopyStatus(), c.kept);
    CMemStream out(0);
    chunk.Write(out);
    EXPECT_EQ(Hex(velktest::ToBytes(out)), Hex(CntiImage({0x05, c.type, 0x01, c.kept, 0x02})));
  }
}

TEST(ContentsInfoChunk, ReadReplacesTheOptionText) {
  Bytes first = CntiImage(Join({{0, 0x32, 1, 0, 0}, B("ST:a,")}));
  Bytes second = CntiImage(Join({{0, 0x32, 1, 0, 0}, B("SW:b,")}));
  CContentsInfoChunk chunk;
  CMemStream s1 = velktest::ReadStream(first);
  chunk.Read(s1);
  CMemStream s2 = velktest::ReadStream(second);
  chunk.Read(s2);
  EXPECT_EQ(Hex(velktest::ToBytes(chunk.GetOptionText())), Hex(B("SW:b,")));
}

TEST(ContentsInfoChunk, ParsesTagsValuesAndHeader) {
  Bytes image = CntiImage(Join({{0x00, 0x01, 0x01, 0x01, 0x03},
                                B("ST:Title,SW:a\\,b,VN:Vendor,CD:20240101,A1:opt,K2:\x07,"
                                  "ES:\x01,GR:group,MI:mi,UD:\\\\x\\y")}));
  CMemStream s = velktest::ReadStream(image);
  CContentsInfoChunk chunk;
  chunk.Read(s);
  CContentsInfo record;
  chunk.ParseBody(record);
  EXPECT_STREQ(record.GetSongTextInfo().GetText1(), "Title");
  EXPECT_STREQ(record.GetSongTextInfo().GetText2(), "a,b");
  EXPECT_EQ(record.GetText1(), "Vendor");
  EXPECT_EQ(record.GetText5(), "20240101");
  EXPECT_EQ(record.GetOptionText(1), "opt");
  EXPECT_EQ(record.GetStatusByte(), 0x07);
  EXPECT_EQ(record.GetOptionByte3(), 0xF9);
  EXPECT_EQ(record.GetText7(), "group");
  EXPECT_EQ(record.GetText8(), "mi");
  EXPECT_EQ(record.GetText6(), "\\xy");
  EXPECT_EQ(record.GetContentsType(), 0x01);
  EXPECT_EQ(record.GetGeneration(), 2);
  EXPECT_EQ(record.GetCodeType(), 0x01);
  EXPECT_EQ(record.GetOptionByte1(), 0xFD);
  EXPECT_EQ(record.GetOptionByte2(), 0x03);
}

TEST(ContentsInfoChunk, LongValueKeeps255AndResumesAfterTheNextComma) {
  CContentsInfo record = Parse("ST:" + std::string(300, 'x') + ",SW:next,");
  EXPECT_EQ(std::string(record.GetSongTextInfo().GetText1()), std::string(255, 'x'));
  EXPECT_STREQ(record.GetSongTextInfo().GetText2(), "next");
  // An escaped comma in the skipped rest does not end it; a kanji is never split at 255.
  CContentsInfo kanji = Parse("VN:" + std::string(254, 'k') + "\x93\xFA" + "zz\\,zz,CN:c,");
  EXPECT_EQ(kanji.GetText1(), std::string(254, 'k'));
  EXPECT_EQ(kanji.GetText2(), "c");
}

TEST(ContentsInfoChunk, LeadByteTakesTheByteBehindIt) {
  // "ソ" is 83 5C: its second byte is a backslash, not an escape; "表," has 95 5C then ','.
  CContentsInfo record = Parse("ST:\x83\x5C" "a,SW:\x95\x5C,");
  EXPECT_STREQ(record.GetSongTextInfo().GetText1(), "\x83\x5C" "a");
  EXPECT_STREQ(record.GetSongTextInfo().GetText2(), "\x95\x5C");
}

TEST(ContentsInfoChunk, UnknownK3AndDvTagsThrowMinusOne) {
  for (const char* text : {"ST:a,K3:b,", "ST:a,DV:\x01,", "ST:a,XX:b,", "ST:a,S"}) {
    SCOPED_TRACE(text);
    CContentsInfo record;
    EXPECT_EQ(ParseError(text, record), -1);
    EXPECT_STREQ(record.GetSongTextInfo().GetText1(), "");  // the text record is stored last
  }
  CContentsInfo record;
  EXPECT_EQ(ParseError("VN:kept,DV:\x01,", record), -1);
  EXPECT_EQ(record.GetText1(), "kept");
}

TEST(ContentsInfoChunk, BuildsTheOptionTextGolden) {
  CContentsInfo record;
  record.Reset(4);  // generation 2, copy status 4
  record.GetSongTextInfo().SetText(1, "Title");
  record.GetSongTextInfo().SetText(3, "a,b\\c");
  record.SetText1("Vendor");
  record.SetText6("ud");
  record.SetText7("not written");
  record.SetOptionText(0, "not written");
  record.SetOptionByte5(0x09);
  record.SetOptionByte2(2);
  CContentsInfoChunk chunk;
  chunk.BuildBody(record);
  CMemStream out(0);
  chunk.Write(out);
  const Bytes expected = Join({
      B("CNTI"),
      {0x00, 0x00, 0x00, 0x2E},     // body size
      {0x00},                       // contents class
      {0x01},                       // contents type: generation 2
      {0x00},                       // code type
      {0xFC},                       // copy status 4 | 0xFC
      {0x02},                       // copy count
      B("ST:Title,"),
      B("WW:a\\,b\\\\c,"),          // ',' and '\' escaped
      B("VN:Vendor,"),
      B("UD:ud,"),
      B("K2:\x09,"),
  });
  EXPECT_EQ(Hex(velktest::ToBytes(out)), Hex(expected));
}

TEST(ContentsInfoChunk, BodyParsedAndBuiltBack) {
  const Bytes body = Join({{0x00, 0x32, 0x01, 0xFD, 0x00},
                           B("ST:\x93\xFA\x96\x7B,SW:x\\,y,AN:\x83\x5C,VN:v,CA:ca,CR:cr,")});
  Bytes image = CntiImage(body);
  CMemStream s = velktest::ReadStream(image);
  CContentsInfoChunk read;
  read.Read(s);
  CContentsInfo record;
  read.ParseBody(record);
  CContentsInfoChunk built;
  built.BuildBody(record);
  CMemStream out(0);
  built.Write(out);
  EXPECT_EQ(Hex(velktest::ToBytes(out)), Hex(image));
}

TEST(ContentsInfoChunk, BuildWithoutTextsKeepsTheOptionText) {
  CContentsInfoChunk chunk;
  SetOptionText(chunk, "ST:old,");
  CContentsInfo record;
  record.Reset(3);
  chunk.BuildBody(record);
  EXPECT_EQ(Hex(velktest::ToBytes(chunk.GetOptionText())), Hex(B("ST:old,")));
  EXPECT_EQ(chunk.GetContentsType(), 0x32);
  EXPECT_EQ(chunk.GetCopyStatus(), 0xFD);
}

TEST(ContentsInfoChunk, ChunkCutAtEveryByteThrowsMinus48) {
  const Bytes image = CntiImage(Join({{0x00, 0x32, 0x01, 0xFD, 0x00}, B("ST:abc,VN:d,")}));
  for (size_t cut = 0; cut < image.size(); ++cut) {
    SCOPED_TRACE(cut);
    Bytes exact(image.begin(), image.begin() + static_cast<long>(cut));
    CMemStream s = velktest::ReadStream(exact);
    CContentsInfoChunk chunk;
    try {
      chunk.Read(s);
      FAIL() << "expected -48";
    } catch (int e) {
      EXPECT_EQ(e, kErrEndOfData);
    }
  }
}

TEST(ContentsInfoChunk, BodyShorterThanFiveBytesThrowsMinus48) {
  const Bytes header = {0x00, 0x32, 0x01, 0xFD, 0x00};
  for (size_t n = 0; n < header.size(); ++n) {
    SCOPED_TRACE(n);
    Bytes image = CntiImage(Bytes(header.begin(), header.begin() + static_cast<long>(n)));
    CMemStream s = velktest::ReadStream(image);
    CContentsInfoChunk chunk;
    try {
      chunk.Read(s);
      FAIL() << "expected -48";
    } catch (int e) {
      EXPECT_EQ(e, kErrEndOfData);
    }
  }
}

TEST(ContentsInfoChunk, OptionTextCutAtEveryByteParsesOrThrowsMinusOne) {
  const std::string text = "ST:a\\,b,SW:\x93\xFA,K2:\x01,ES:\x02,VN:" + std::string(260, 'v') + ",GR:g,";
  for (size_t cut = 0; cut <= text.size(); ++cut) {
    SCOPED_TRACE(cut);
    CContentsInfo record;
    int error = ParseError(text.substr(0, cut), record);
    EXPECT_TRUE(error == 0 || error == -1) << error;
    EXPECT_LE(record.GetText1().size(), 255u);
  }
}

}  // namespace

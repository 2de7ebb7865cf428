// Reading and writing whole VELK images: golden bytes, child dispatch, report bits, malformed input.
#include "velk/VelkFileChunk.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "VelkBytes.h"
#include "velk/ContentsInfo.h"
#include "velk/Crc16.h"

namespace {

using velktest::Builder;
using velktest::Bytes;
using velktest::ThrownCode;

// "CNTI" bodies: class, type, code type, copy status, copy count.
const Bytes kCntiGen3 = {0x00, 0x32, 0x01, 0xFD, 0x00};  // type 0x32: generation 3, index 2
const Bytes kCntiGen2 = {0x00, 0x01, 0x00, 0xFC, 0x00};  // type 0x01: generation 2

// Track bodies that every later reader accepts as well.
const Bytes kMtr1Body = {0x00, 0x00, 0x00, 0x00, 0x12, 0x34};  // format 0, channel word 1234
const Bytes kMtr5Body = {0x01, 0x00, 0x00, 0x00,                // format 1 (compressed)
                         0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
const Bytes kAtr0Body = {0x00, 0x00, 0xAB, 0xCD, 0x00, 0x00};  // header word ABCD
const Bytes kMstrBody = {0x00, 0x00, 0x00, 0x00};              // format 0, no extra bytes
const Bytes kMmmgBody = {0x00, 0x14};

// A whole file around the given "MMMD" body, closed with its CRC.
Bytes Image(const Bytes& body) {
  Bytes out = Builder().Text("MMMD").BE32(static_cast<uint32_t>(body.size() + 2)).Raw(body);
  uint16_t crc = VelkCrc16(static_cast<uint32_t>(out.size()), out.data());
  out.push_back(static_cast<uint8_t>(crc >> 8));
  out.push_back(static_cast<uint8_t>(crc));
  return out;
}

Bytes WriteFile(CVelkFileChunk& file) {
  CMemStream out;
  file.Write(out);
  return velktest::ToBytes(out);
}

void SetContents(CVelkFileChunk& file, const Bytes& cntiBody) {
  Bytes chunk = Builder().Chunk("CNTI", cntiBody);
  CMemStream s = velktest::ReadStream(chunk);
  file.GetContentsInfoChunk().Read(s);
}

int Count(const CPtrChain& list) { return list.GetCount(); }

TEST(VelkFileChunk, WritesTheMinimalImageAsGoldenBytes) {
  CVelkFileChunk file;
  SetContents(file, kCntiGen3);
  const Bytes expected = {
      0x4D, 0x4D, 0x4D, 0x44,  // "MMMD"
      0x00, 0x00, 0x00, 0x0F,  // N = body 13 + CRC 2
      0x43, 0x4E, 0x54, 0x49,  // "CNTI"
      0x00, 0x00, 0x00, 0x05,  // CNTI body size
      0x00,                    // contents class
      0x32,                    // contents type: generation 3
      0x01,                    // code type
      0xFD,                    // copy status
      0x00,                    // copy count
      0x85, 0xEA,              // CRC-16 of the 21 bytes before it
  };
  Bytes written = WriteFile(file);
  EXPECT_EQ(written, expected) << velktest::Hex(written);
}

TEST(VelkFileChunk, ReadsTheMinimalImageWithEmptyLists) {
  Bytes image = {0x4D, 0x4D, 0x4D, 0x44, 0x00, 0x00, 0x00, 0x0F, 0x43, 0x4E, 0x54, 0x49,
                 0x00, 0x00, 0x00, 0x05, 0x00, 0x32, 0x01, 0xFD, 0x00, 0x85, 0xEA};
  CMemStream s = velktest::ReadStream(image);
  CVelkFileChunk file(s);
  EXPECT_TRUE(s.AtEnd());
  EXPECT_EQ(file.GetContentsInfoChunk().GetGeneration(), 3);
  EXPECT_EQ(file.GetContentsInfoChunk().GetTypeIndex(), 2);
  EXPECT_EQ(Count(file.GetScoreTracks()), 0);
  EXPECT_EQ(Count(file.GetAudioTracks()), 0);
  EXPECT_EQ(Count(file.GetMasterTracks()), 0);
  EXPECT_EQ(file.GetMmmgChunk(), nullptr);
  EXPECT_FALSE(file.HasOptionalData());
  EXPECT_EQ(WriteFile(file), image);
}

TEST(VelkFileChunk, ContentsInfoGoesInAndComesBackThroughTheFile) {
  CContentsInfo record;
  record.Reset(3);
  record.SetText1("Title");  // VN
  CVelkFileChunk file;
  file.SetContentsInfo(record);
  Bytes image = WriteFile(file);
  CMemStream s = velktest::ReadStream(image);
  CVelkFileChunk back(s);
  CContentsInfo read;
  back.GetContentsInfo(read);
  EXPECT_EQ(read.GetContentsType(), 0x32);
  EXPECT_EQ(read.GetCodeType(), 1);
  EXPECT_EQ(read.GetText1(), "Title");
}

TEST(VelkFileChunk, WrittenSizeAndCrcCloseTheImage) {
  Bytes image = Image(Builder()
                          .Chunk("CNTI", kCntiGen2)
                          .Chunk("MTR", 1, kMtr1Body)
                          .Chunk("ATR", 0, kAtr0Body)
                          .Chunk("MSTR", kMstrBody));
  CMemStream s = velktest::ReadStream(image);
  CVelkFileChunk file(s);
  CMemStream out;
  out.WriteByte(0x77);  // the file need not start the stream
  file.Write(out);
  Bytes written = velktest::ToBytes(out);
  ASSERT_EQ(written.size(), image.size() + 1);
  EXPECT_EQ(Bytes(written.begin() + 1, written.end()), image);
  uint32_t n = (uint32_t{written[5]} << 24) | (written[6] << 16) | (written[7] << 8) | written[8];
  EXPECT_EQ(n + 8, written.size() - 1);
  uint16_t crc = VelkCrc16(static_cast<uint32_t>(written.size() - 3), written.data() + 1);
  EXPECT_EQ(written[written.size() - 2], crc >> 8);
  EXPECT_EQ(written.back(), crc & 0xFF);
}

TEST(VelkFileChunk, MalformedImagesThrowEndOfData) {
  struct Case {
    const char* name;
    Bytes image;
  };
  const Case cases[] = {
      {"MMMD size past the end", Builder().Text("MMMD").BE32(0x20).Chunk("CNTI", kCntiGen3)},
      {"MMMD body of 4 GiB", Builder().Text("MMMD").BE32(0xFFFFFFFF).Chunk("CNTI", kCntiGen3)},
      {"CNTI size past the body", Image(Builder().Text("CNTI").BE32(40).Raw(kCntiGen3))},
      {"CNTI body of 4 GiB", Image(Builder().Text("CNTI").BE32(0xFFFFFFFF).Raw(kCntiGen3))},
      {"CNTI body of four bytes", Image(Builder().Chunk("CNTI", {0, 0x32, 1, 0xFD}))},
      {"no CNTI at all", Image({})},
      {"track size past the body",
       Image(Builder().Chunk("CNTI", kCntiGen3).Text("MTR").Raw({1}).BE32(100).Raw(kMtr1Body))},
      {"unknown chunk of 4 GiB",
       Image(Builder().Chunk("CNTI", kCntiGen3).Text("XXXX").BE32(0xFFFFFFFF).Raw({1, 2}))},
      {"MMMG of 4 GiB", Image(Builder().Chunk("CNTI", kCntiGen3).Text("MMMG").BE32(0xFFFFFFF0))},
      {"chunks end one byte early",
       Builder().Text("MMMD").BE32(13 + 3).Chunk("CNTI", kCntiGen3).Raw({0, 0, 0})},
      {"chunks end one byte late",
       Builder().Text("MMMD").BE32(13 + 1).Chunk("CNTI", kCntiGen3).Raw({0})},
      {"no room for the CRC", Builder().Text("MMMD").BE32(13).Chunk("CNTI", kCntiGen3)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes image = c.image;
    CMemStream s = velktest::ReadStream(image);
    uint32_t report = 0;
    EXPECT_EQ(ThrownCode([&] { CVelkFileChunk file(s, &report); }), kErrEndOfData);
  }
}

// A generation-2 image holding every kind of top-level chunk.
Bytes RichImageBody() {
  return Builder()
      .Chunk("CNTI", kCntiGen2)
      .Chunk("MTR", 1, kMtr1Body)
      .Chunk("ATR", 0, kAtr0Body)
      .Chunk("MSTR", kMstrBody)
      .Chunk("MMMG", kMmmgBody)
      .Chunk("GTR", 0, {1, 2, 3});
}

TEST(VelkFileChunk, EveryPrefixOfTheFileThrowsEndOfData) {
  Bytes image = Image(RichImageBody());
  for (size_t cut = 0; cut < image.size(); ++cut) {
    SCOPED_TRACE(cut);
    Bytes prefix(image.begin(), image.begin() + static_cast<long>(cut));
    CMemStream s = velktest::ReadStream(prefix);
    EXPECT_EQ(ThrownCode([&] { CVelkFileChunk file(s); }), kErrEndOfData);
  }
}

TEST(VelkFileChunk, EveryCutInsideTheBodyFailsUnlessChunksEndBeforeTwoBytes) {
  // The "MMMD" size is patched to each cut, so the inner readers meet the short body.
  Bytes body = RichImageBody();
  body.push_back(0);  // the CRC's place
  body.push_back(0);
  std::vector<size_t> chunkEnds;
  CMemStream walk = velktest::ReadStream(body);
  while (walk.RemainingBytes() > 2) {
    SkipChunk(walk);
    chunkEnds.push_back(static_cast<size_t>(walk.GetPosition()));
  }
  for (size_t cut = 0; cut <= body.size(); ++cut) {
    SCOPED_TRACE(cut);
    Bytes image = Builder().Text("MMMD").BE32(static_cast<uint32_t>(cut)).Raw(
        Bytes(body.begin(), body.begin() + static_cast<long>(cut)));
    CMemStream s = velktest::ReadStream(image);
    bool readable = cut >= 2 && std::find(chunkEnds.begin(), chunkEnds.end(), cut - 2) != chunkEnds.end();
    EXPECT_EQ(ThrownCode([&] { CVelkFileChunk file(s); }), readable ? velktest::kNoThrow : kErrEndOfData);
  }
}

TEST(VelkFileChunk, DispatchesTopLevelChunksWithTheirReportBits) {
  struct Case {
    const char* name;
    Bytes cnti;
    Bytes chunk;
    uint32_t report;
    int score, audio, master;
    bool mmmg;
  };
  const Case cases[] = {
      {"unknown id skipped", kCntiGen3, Builder().Chunk("XYZW", {1, 2}), 0x01000000, 0, 0, 0, false},
      {"GTR skipped", kCntiGen2, Builder().Chunk("GTR", 0, {}), 0x01000000, 0, 0, 0, false},
      {"ATR0 kept in generation 2", kCntiGen2, Builder().Chunk("ATR", 0, kAtr0Body), 0, 0, 1, 0,
       false},
      {"ATR1 skipped in generation 2", kCntiGen2, Builder().Chunk("ATR", 1, kAtr0Body), 0x01000000,
       0, 0, 0, false},
      {"ATR0 skipped in generation 3", kCntiGen3, Builder().Chunk("ATR", 0, kAtr0Body), 0x01000000,
       0, 0, 0, false},
      {"MTR1 format 0 kept", kCntiGen2, Builder().Chunk("MTR", 1, kMtr1Body), 0, 1, 0, 0, false},
      {"MTR5 format 1 reported compressed", kCntiGen2, Builder().Chunk("MTR", 5, kMtr5Body), 0x80,
       1, 0, 0, false},
      // Track 6 keeps only format type 2, but its stored first byte 1 is still reported.
      {"MTR6 with first byte 1 reported compressed", kCntiGen2, Builder().Chunk("MTR", 6, kMtr5Body),
       0x80, 1, 0, 0, false},
      {"MSTR kept", kCntiGen2, Builder().Chunk("MSTR", kMstrBody), 0, 0, 0, 1, false},
      {"MMMG kept without a bit", kCntiGen2, Builder().Chunk("MMMG", kMmmgBody), 0, 0, 0, 0, true},
      {"second MMMG dropped without a bit", kCntiGen2,
       Builder().Chunk("MMMG", kMmmgBody).Chunk("MMMG", {0x00, 0x14, 0xEE}), 0, 0, 0, 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes image = Image(Builder().Chunk("CNTI", c.cnti).Raw(c.chunk));
    for (bool withReport : {true, false}) {
      CMemStream s = velktest::ReadStream(image);
      uint32_t report = 0;
      CVelkFileChunk file(s, withReport ? &report : nullptr);
      EXPECT_EQ(report, withReport ? c.report : 0u);
      EXPECT_EQ(Count(file.GetScoreTracks()), c.score);
      EXPECT_EQ(Count(file.GetAudioTracks()), c.audio);
      EXPECT_EQ(Count(file.GetMasterTracks()), c.master);
      EXPECT_EQ(file.GetMmmgChunk() != nullptr, c.mmmg);
    }
  }
}

TEST(VelkFileChunk, KeepsTheFirstMmmgAndNeverWritesIt) {
  Bytes image = Image(Builder()
                          .Chunk("CNTI", kCntiGen2)
                          .Chunk("MMMG", kMmmgBody)
                          .Chunk("MMMG", {0x00, 0x14, 0xEE})
                          .Chunk("MTR", 1, kMtr1Body));
  CMemStream s = velktest::ReadStream(image);
  CVelkFileChunk file(s);
  ASSERT_NE(file.GetMmmgChunk(), nullptr);
  EXPECT_EQ(file.GetMmmgChunk()->GetBodySize(), 2u);
  EXPECT_EQ(WriteFile(file), Image(Builder().Chunk("CNTI", kCntiGen2).Chunk("MTR", 1, kMtr1Body)));
}

TEST(VelkFileChunk, CopiesTheAudioHeaderWordOfTrackZero) {
  Bytes image = Image(Builder().Chunk("CNTI", kCntiGen2).Chunk("ATR", 0, kAtr0Body));
  CMemStream s = velktest::ReadStream(image);
  CVelkFileChunk file(s);
  EXPECT_EQ(file.GetAudioHeaderWord(), 0xABCD);
}

TEST(VelkFileChunk, WritesTracksByKindInListOrder) {
  Bytes image = Image(Builder()
                          .Chunk("CNTI", kCntiGen2)
                          .Chunk("MSTR", kMstrBody)
                          .Chunk("ATR", 0, kAtr0Body)
                          .Chunk("MTR", 2, kMtr1Body)
                          .Chunk("MTR", 1, kMtr1Body)
                          .Chunk("MTR", 2, kMtr1Body));
  CMemStream s = velktest::ReadStream(image);
  CVelkFileChunk file(s);
  EXPECT_EQ(Count(file.GetScoreTracks()), 3);
  EXPECT_EQ(WriteFile(file), Image(Builder()
                                       .Chunk("CNTI", kCntiGen2)
                                       .Chunk("MTR", 2, kMtr1Body)
                                       .Chunk("MTR", 1, kMtr1Body)
                                       .Chunk("MTR", 2, kMtr1Body)
                                       .Chunk("ATR", 0, kAtr0Body)
                                       .Chunk("MSTR", kMstrBody)));
}

TEST(VelkFileChunk, WritesOptionalDataOnlyForGeneration3WithADataChunk) {
  const Bytes dch = Builder().Chunk("Dch", 0x01, {'S', 'T', 0, 1, 'x'});
  const Bytes pro = Builder().Chunk("Pro", 0x05, {0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 3});
  struct Case {
    const char* name;
    Bytes cnti;
    Bytes opdaBody;
    bool written;
  };
  const Case cases[] = {
      {"generation 3, empty", kCntiGen3, {}, false},
      {"generation 3 with Dch", kCntiGen3, dch, true},
      {"generation 3 with Pro alone", kCntiGen3, pro, false},
      {"generation 3 with Dch and Pro", kCntiGen3, Builder().Raw(dch).Raw(pro), true},
      {"generation 2 with Dch", kCntiGen2, dch, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes image = Image(Builder().Chunk("CNTI", c.cnti).Chunk("OPDA", c.opdaBody).Chunk("MTR", 1, kMtr1Body));
    CMemStream s = velktest::ReadStream(image);
    CVelkFileChunk file(s);
    EXPECT_TRUE(file.HasOptionalData());  // it was read
    Bytes expected = c.written ? image
                               : Image(Builder().Chunk("CNTI", c.cnti).Chunk("MTR", 1, kMtr1Body));
    Bytes written = WriteFile(file);
    EXPECT_EQ(written, expected) << velktest::Hex(written);
  }
}

TEST(VelkFileChunk, ANewFileWritesDataChunkRightBehindContents) {
  CVelkFileChunk file;
  SetContents(file, kCntiGen3);
  auto data = std::make_unique<CDataChunk>(uint8_t{0x23});
  data->GetData().WriteByte(0x42);
  file.GetOptionalDataChunk().SetDataChunk(std::move(data));
  EXPECT_FALSE(file.HasOptionalData());
  Bytes written = WriteFile(file);
  EXPECT_TRUE(file.HasOptionalData());
  EXPECT_EQ(written, Image(Builder()
                               .Chunk("CNTI", kCntiGen3)
                               .Text("OPDA")
                               .BE32(9)
                               .Chunk("Dch", 0x23, {0x42})));
}

TEST(VelkFileChunk, GenerationThreeContentsTypeSetsSequenceModeAndReportBits) {
  struct Case {
    uint8_t type;
    uint32_t reportIn;
    uint32_t reportOut;
    int mode;
  };
  const Case cases[] = {
      {0x32, 0x0F, 0x07, 2},  // index 2: bit 0x08 cleared
      {0x33, 0x09, 0x03, 3},  // index 3: bit 0x08 cleared, 0x02 set
      {0x34, 0x00, 0x08, 4},  // index 4: bit 0x08 set
      {0x35, 0x0F, 0x0F, 0},  // other indexes change nothing
      {0x02, 0x0F, 0x0F, 0},  // below 0x30: generation 3 by its low nibble, but index 0
      {0x01, 0x0F, 0x0F, 0},  // generation 2: nothing
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.type));
    Bytes image = Image(Builder().Chunk("CNTI", {0x00, c.type, 0x01, 0xFD, 0x00}));
    CMemStream s = velktest::ReadStream(image);
    uint32_t report = c.reportIn;
    CVelkFileChunk file(s, &report);
    EXPECT_EQ(report, c.reportOut);
    EXPECT_EQ(file.GetSequenceMode(), c.mode);
  }
}

TEST(VelkFileChunk, CopyStatusCarriesTheFixedBitsOfItsGeneration) {
  struct Case {
    uint8_t type;
    uint8_t stored;
    uint8_t kept;
  };
  const Case cases[] = {
      {0x00, 0x01, 0xFD},  // generation 1: bits 2-7 set
      {0x01, 0x02, 0xFE},  // generation 2
      {0x32, 0x01, 0xF9},  // generation 3: bits 3-7 set
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.type));
    Bytes image = Image(Builder().Chunk("CNTI", {0x00, c.type, 0x00, c.stored, 0x00, 'S', 'T', ':', 'a', ','}));
    CMemStream s = velktest::ReadStream(image);
    CVelkFileChunk file(s);
    EXPECT_EQ(file.GetContentsInfoChunk().GetCopyStatus(), c.kept);
    EXPECT_EQ(WriteFile(file),
              Image(Builder().Chunk("CNTI", {0x00, c.type, 0x00, c.kept, 0x00, 'S', 'T', ':', 'a', ','})));
  }
}

// Two images built by hand, one of each generation; every chunk kind the reader keeps.
// clang-format off
const uint8_t kGeneration2Image[] = {
    0x4D, 0x4D, 0x4D, 0x44,  // "MMMD"
    0x00, 0x00, 0x00, 0xE3,  // N = body 225 + CRC 2
      0x43, 0x4E, 0x54, 0x49,  // "CNTI"
      0x00, 0x00, 0x00, 0x0D,  // size 13
        0x00,  // contents class
        0x01,  // contents type 0x01: generation 2
        0x00,  // code type
        0xFC,  // copy status
        0x00,  // copy count
        0x53, 0x54, 0x3A, 0x54, 0x75, 0x6E, 0x65, 0x2C,  // option text "ST:Tune,"
      0x4D, 0x54, 0x52, 0x01,  // "MTR" + 1
      0x00, 0x00, 0x00, 0x35,  // size 53
        0x00, 0x00, 0x18, 0x00,  // format 0, header bytes 1-3
        0x01, 0x23,  // channel word
        0x4D, 0x74, 0x73, 0x75,  // "Mtsu"
        0x00, 0x00, 0x00, 0x08,  // size 8
          0xFF, 0xF0, 0x05, 0x43, 0x03, 0x80, 0x11, 0xF7,  // tempo entry, kept raw
        0x4D, 0x73, 0x70, 0x49,  // "MspI"
        0x00, 0x00, 0x00, 0x08,  // size 8
          0x73, 0x74, 0x3A, 0x00, 0x00, 0x00, 0x00, 0x2C,  // start point 0, kept raw
        0x4D, 0x74, 0x73, 0x71,  // "Mtsq"
        0x00, 0x00, 0x00, 0x07,  // size 7
          0x00, 0x1C, 0x10, 0x00, 0x00, 0x00, 0x00,  // note and terminator, kept raw
      0x4D, 0x54, 0x52, 0x02,  // "MTR" + 2
      0x00, 0x00, 0x00, 0x12,  // size 18
        0x00, 0x00, 0x18, 0x00,  // format 0
        0x45, 0x67,  // channel word
        0x4D, 0x74, 0x73, 0x71,  // "Mtsq"
        0x00, 0x00, 0x00, 0x04,  // size 4
          0x00, 0x00, 0x00, 0x00,  // terminator only
      0x4D, 0x54, 0x52, 0x03,  // "MTR" + 3
      0x00, 0x00, 0x00, 0x0E,  // size 14
        0x00, 0x00, 0x18, 0x00,  // format 0
        0x00, 0x00,  // channel word
        0x4D, 0x74, 0x73, 0x71,  // "Mtsq"
        0x00, 0x00, 0x00, 0x00,  // size 0
      0x4D, 0x54, 0x52, 0x04,  // "MTR" + 4
      0x00, 0x00, 0x00, 0x06,  // size 6
        0x00, 0x00, 0x18, 0x00,  // format 0
        0x00, 0x00,  // channel word
      0x41, 0x54, 0x52, 0x00,  // "ATR" + 0
      0x00, 0x00, 0x00, 0x30,  // size 48
        0x00, 0x00,  // format 0, header byte 1
        0x00, 0x03,  // header word (wave type)
        0x02, 0x02,  // time-base bytes
        0x41, 0x73, 0x70, 0x49,  // "AspI"
        0x00, 0x00, 0x00, 0x08,  // size 8
          0x73, 0x70, 0x3A, 0x00, 0x00, 0x01, 0xF4, 0x2C,  // stop point 500, kept raw
        0x41, 0x74, 0x73, 0x71,  // "Atsq"
        0x00, 0x00, 0x00, 0x07,  // size 7
          0x00, 0x01, 0x10, 0x00, 0x00, 0x00, 0x00,  // kept raw
        0x41, 0x77, 0x61, 0x01,  // "Awa" + 1
        0x00, 0x00, 0x00, 0x03,  // size 3
          0x88, 0x77, 0x66,  // wave bytes
      0x4D, 0x53, 0x54, 0x52,  // "MSTR"
      0x00, 0x00, 0x00, 0x11,  // size 17
        0x00, 0x01, 0x02,  // format 0, header bytes
        0x02,  // two extra bytes
        0xAA, 0xBB,  // extra bytes
        0x4D, 0x73, 0x73, 0x71,  // "Mssq"
        0x00, 0x00, 0x00, 0x03,  // size 3
          0x00, 0xFF, 0x00,  // kept raw
    0x6C, 0x06,  // CRC-16 of everything before it
};

const uint8_t kGeneration3Image[] = {
    0x4D, 0x4D, 0x4D, 0x44,  // "MMMD"
    0x00, 0x00, 0x00, 0xAD,  // N = body 171 + CRC 2
      0x43, 0x4E, 0x54, 0x49,  // "CNTI"
      0x00, 0x00, 0x00, 0x05,  // size 5
        0x00,  // contents class
        0x32,  // contents type 0x32: generation 3
        0x01,  // code type
        0xFD,  // copy status
        0x00,  // copy count
      0x4F, 0x50, 0x44, 0x41,  // "OPDA"
      0x00, 0x00, 0x00, 0x2F,  // size 47
        0x44, 0x63, 0x68, 0x01,  // "Dch" + 1
        0x00, 0x00, 0x00, 0x07,  // size 7
          0x53, 0x54, 0x00, 0x03, 0x61, 0x62, 0x63,  // tagged text
        0x44, 0x63, 0x68, 0xFF,  // "Dch" + 255
        0x00, 0x00, 0x00, 0x02,  // size 2
          0x12, 0x34,  // data
        0x50, 0x72, 0x6F, 0x05,  // "Pro" + 5
        0x00, 0x00, 0x00, 0x0E,  // size 14
          0x00, 0x00, 0x00, 0x01,  // value 1
          0x00, 0x00, 0x00, 0x02,  // value 2
          0x00, 0x00, 0x00, 0x03,  // value 3
          0xDE, 0xAD,  // data
      0x4D, 0x54, 0x52, 0x05,  // "MTR" + 5
      0x00, 0x00, 0x00, 0x5F,  // size 95
        0x02, 0x00, 0x00, 0x00,  // format 2 (uncompressed), header bytes 1-3
        0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F,  // channel status bytes
        0x4D, 0x74, 0x73, 0x75,  // "Mtsu"
        0x00, 0x00, 0x00, 0x08,  // size 8
          0xF0, 0x06, 0x43, 0x79, 0x06, 0x7F, 0x7F, 0xF7,  // kind 0x7F entry, kept raw
        0x4D, 0x73, 0x70, 0x49,  // "MspI"
        0x00, 0x00, 0x00, 0x0C,  // size 12
          0x50, 0x41, 0x3A, 0x00, 0x00, 0x00, 0x64, 0x00, 0x00, 0x00, 0xC8, 0x2C,  // phrase A, kept raw
        0x4D, 0x74, 0x73, 0x71,  // "Mtsq"
        0x00, 0x00, 0x00, 0x08,  // size 8
          0x00, 0x90, 0x3C, 0x64, 0x10, 0xFF, 0x2F, 0x00,  // uncompressed events
        0x4D, 0x74, 0x73, 0x70,  // "Mtsp"
        0x00, 0x00, 0x00, 0x0F,  // size 15
          0x4D, 0x77, 0x61, 0x01,  // "Mwa" + 1
          0x00, 0x00, 0x00, 0x07,  // size 7
            0x01,  // format
            0x1F, 0x40,  // rate 8000
            0x01, 0x23, 0x45, 0x67,  // wave bytes
    0xC4, 0x4C,  // CRC-16 of everything before it
};
// clang-format on

Bytes ImageBytes(const uint8_t* data, size_t size) { return Bytes(data, data + size); }

TEST(VelkFileChunk, GenerationTwoImageReadsIntoItsTreeAndWritesBackIdentical) {
  Bytes image = ImageBytes(kGeneration2Image, sizeof kGeneration2Image);
  CMemStream s = velktest::ReadStream(image);
  uint32_t report = 0;
  CVelkFileChunk file(s, &report);
  EXPECT_EQ(report, 0u);
  EXPECT_EQ(file.GetContentsInfoChunk().GetGeneration(), 2);
  ASSERT_EQ(file.GetScoreTracks().GetCount(), 4);
  for (int n = 1; n <= 4; ++n) {
    EXPECT_EQ(file.GetScoreTracks().GetItem(n)->GetTrackNumber(), n);
  }
  const CScoreTrackChunk& track1 = *file.GetScoreTracks().GetItem(1);
  EXPECT_EQ(track1.GetChannelStatus(1), 1);
  EXPECT_EQ(track1.GetChannelStatus(3), 3);
  EXPECT_NE(track1.GetSetupChunk(), nullptr);
  EXPECT_NE(track1.GetSeekPhraseChunk(), nullptr);
  EXPECT_EQ(file.GetScoreTracks().GetItem(3)->GetSequenceChunk()->GetBodySize(), 0u);
  EXPECT_EQ(file.GetScoreTracks().GetItem(4)->GetSequenceChunk(), nullptr);
  ASSERT_EQ(file.GetAudioTracks().GetCount(), 1);
  const CAudioTrackChunk& audio = *file.GetAudioTracks().GetItem(1);
  EXPECT_EQ(file.GetAudioHeaderWord(), 0x0003);
  EXPECT_EQ(audio.GetHeaderByte4(), 0x02);
  ASSERT_EQ(audio.GetWaves().GetCount(), 1);
  EXPECT_EQ(audio.GetWaves().GetItem(1)->GetKind(), 1);
  ASSERT_EQ(file.GetMasterTracks().GetCount(), 1);
  EXPECT_NE(file.GetMasterTracks().GetItem(1)->GetSequenceChunk(), nullptr);
  Bytes written = WriteFile(file);
  EXPECT_EQ(written, image) << velktest::Hex(written);
}

TEST(VelkFileChunk, GenerationThreeImageReadsIntoItsTreeAndWritesBackIdentical) {
  Bytes image = ImageBytes(kGeneration3Image, sizeof kGeneration3Image);
  CMemStream s = velktest::ReadStream(image);
  uint32_t report = 0;
  CVelkFileChunk file(s, &report);
  EXPECT_EQ(report, 0u);
  EXPECT_EQ(file.GetSequenceMode(), 2);
  EXPECT_TRUE(file.HasOptionalData());
  const COptionalDataChunk& opda = file.GetOptionalDataChunk();
  ASSERT_NE(opda.GetDataChunk(), nullptr);
  EXPECT_EQ(opda.GetDataChunk()->GetCode(), 0x01);
  ASSERT_NE(opda.GetDataChunkFF(), nullptr);
  ASSERT_NE(opda.GetProChunk(), nullptr);
  EXPECT_EQ(opda.GetProChunk()->GetValue(2), 3u);
  ASSERT_EQ(file.GetScoreTracks().GetCount(), 1);
  const CScoreTrackChunk& track5 = *file.GetScoreTracks().GetItem(1);
  EXPECT_EQ(track5.GetFormatType(), 2);
  EXPECT_EQ(track5.GetChannelStatusByte(15), 0x0F);
  ASSERT_NE(track5.GetStreamPcmChunk(), nullptr);
  ASSERT_EQ(track5.GetStreamPcmChunk()->GetWaves().GetCount(), 1);
  const CWaveDataChunk& wave = *track5.GetStreamPcmChunk()->GetWaves().GetItem(1);
  EXPECT_EQ(wave.GetNumber(), 1);
  EXPECT_EQ(wave.GetRate(), 8000);
  EXPECT_EQ(wave.GetWaveSize(), 4u);
  Bytes written = WriteFile(file);
  EXPECT_EQ(written, image) << velktest::Hex(written);
}

TEST(VelkFileChunk, EveryPrefixOfBothImagesFailsCleanly) {
  for (const Bytes& image : {ImageBytes(kGeneration2Image, sizeof kGeneration2Image),
                             ImageBytes(kGeneration3Image, sizeof kGeneration3Image)}) {
    for (size_t cut = 0; cut < image.size(); ++cut) {
      SCOPED_TRACE(cut);
      Bytes prefix(image.begin(), image.begin() + static_cast<long>(cut));
      CMemStream s = velktest::ReadStream(prefix);
      EXPECT_EQ(ThrownCode([&] { CVelkFileChunk file(s); }), kErrEndOfData);
    }
  }
}

TEST(VelkFileChunk, EveryCutOfATopLevelChunkFailsCleanlyOrReadsWhatIsLeft) {
  // Each top-level chunk is cut at every length with its own and the file's sizes patched, so
  // the readers below it meet a short body. A read that succeeds must write the same image back.
  for (const Bytes& image : {ImageBytes(kGeneration2Image, sizeof kGeneration2Image),
                             ImageBytes(kGeneration3Image, sizeof kGeneration3Image)}) {
    Bytes body(image.begin() + 8, image.end() - 2);
    std::vector<Bytes> chunks;
    CMemStream walk = velktest::ReadStream(body);
    while (!walk.AtEnd()) {
      int32_t start = walk.GetPosition();
      SkipChunk(walk);
      chunks.emplace_back(body.begin() + start, body.begin() + walk.GetPosition());
    }
    for (size_t i = 0; i < chunks.size(); ++i) {
      for (size_t cut = 0; cut + 8 < chunks[i].size(); ++cut) {
        SCOPED_TRACE(testing::Message() << "chunk " << i << " cut " << cut);
        Builder cutBody;
        for (size_t j = 0; j < chunks.size(); ++j) {
          if (j != i) {
            cutBody.Raw(chunks[j]);
            continue;
          }
          cutBody.Raw(Bytes(chunks[j].begin(), chunks[j].begin() + 4)).BE32(static_cast<uint32_t>(cut));
          cutBody.Raw(Bytes(chunks[j].begin() + 8, chunks[j].begin() + 8 + static_cast<long>(cut)));
        }
        Bytes cutImage = Image(cutBody);
        CMemStream s = velktest::ReadStream(cutImage);
        std::unique_ptr<CVelkFileChunk> file;
        int code = ThrownCode([&] { file = std::make_unique<CVelkFileChunk>(s); });
        EXPECT_TRUE(code == kErrEndOfData || code == velktest::kNoThrow) << code;
        if (!file) continue;
        // An "OPDA" left without a data chunk is read but not written.
        bool opdaDropped = PeekChunkId(velktest::ReadStream(chunks[i])) == kIdOPDA &&
                           !file->GetOptionalDataChunk().HasDataChunk();
        Builder expected;
        for (size_t j = 0; j < chunks.size(); ++j) {
          if (j != i) expected.Raw(chunks[j]);
        }
        EXPECT_EQ(WriteFile(*file), opdaDropped ? Image(expected) : cutImage);
      }
    }
  }
}

}  // namespace

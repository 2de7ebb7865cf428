// Reading and writing whole VELK images: golden bytes, child dispatch, report bits, malformed input.
#include "velk/VelkFileChunk.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "VelkBytes.h"
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

}  // namespace

// Tests of the VELK file object: golden images, parsing, skipping and truncation.
#include "plugins/velkgate/VelkFileChunk.h"

#include <gtest/gtest.h>

#include "VelkgateFixture.h"
#include "plugins/velkgate/ByteHelpers.h"
#include "plugins/velkgate/VelkgateFlags.h"

namespace velkgate {
namespace {

using testing::Bytes;
using testing::Hex;
using testing::ToHex;

Bytes Serialize(CVelkFileChunk& file) {
  CMemStream out;
  file.Serialize(out);
  return testing::StreamBytes(out);
}

/// Parses an image; returns the thrown integer, or 1 when it parsed.
int ParseError(const Bytes& image, uint32_t* flagsOut = nullptr) {
  Bytes copy = image;
  CMemStream stream(copy.data(), static_cast<int32_t>(copy.size()), false);
  uint32_t flags = 0;
  try {
    CVelkFileChunk file(stream, flags);
  } catch (int e) {
    return e;
  }
  if (flagsOut) *flagsOut = flags;
  return 1;
}

const char* kCnti = "434E5449 00000005 000000FF00";

const char* kNewFileWithMasterTrack =
    "4D4D4D44 0000002F"            // "MMMD", size = chunks + 2
    "434E5449 00000005 000000FF00"  // "CNTI": class, type, code type, copy status, count
    "4D535452 00000018 00000200"    // "MSTR": format, byte 1, time base 02, no data
    "4D737371 0000000C 00F09EC22000BA0400000000"  // "Mssq": tempo 500000, 4/4, end
    "8FE9";                         // CRC-16

TEST(CVelkFileChunk, NewFileWithEmptyMasterTrackWritesGoldenBytes) {
  CVelkFileChunk file;
  auto* master = new CMasterTrackChunk(0, 0, 2, 0, nullptr);
  CEventList none;
  master->SetSequence(std::make_unique<CMasterSequenceChunk>(none));
  file.AddMasterTrack(master);
  Bytes image = Serialize(file);
  EXPECT_EQ(ToHex(image), ToHex(Hex(kNewFileWithMasterTrack)));
}

TEST(CVelkFileChunk, ReadsBackItsMasterTrackEvents) {
  Bytes image = Hex(kNewFileWithMasterTrack);
  CMemStream stream(image.data(), static_cast<int32_t>(image.size()), false);
  uint32_t flags = 0;
  CVelkFileChunk file(stream, flags);
  CEventList events;
  file.MasterTracksToEvents(events);
  std::vector<CSeqEvent*> items = events.Items();
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(ToHex(testing::EventBytes(*items[0])), "F0 09 43 79 06 7D 10 1E 42 20 F7");
  EXPECT_EQ(ToHex(testing::EventBytes(*items[1])), "FF 58 04 04 02 18 08");
  EXPECT_EQ(file.GetMasterTracks().GetCount(), 1);
  EXPECT_EQ(file.GetMasterTracks().Items()[0]->GetTimeBase(), 2);
}

TEST(CVelkFileChunk, SizeFieldIsImageLengthMinusEight) {
  CVelkFileChunk file;
  Bytes image = Serialize(file);
  ASSERT_EQ(image.size(), 23u);
  EXPECT_EQ(image[7], image.size() - 8);
  EXPECT_EQ(ToHex(Bytes(image.end() - 2, image.end())), "15 39");
}

TEST(CVelkFileChunk, FileOfOnlyCntiReadsWithNoTrack) {
  Bytes image = Hex("4D4D4D44 0000000F 434E5449 00000005 000000FF00 1539");
  CMemStream stream(image.data(), static_cast<int32_t>(image.size()), false);
  uint32_t flags = 0;
  CVelkFileChunk file(stream, flags);
  EXPECT_EQ(file.GetScoreTracks().GetCount(), 0);
  EXPECT_EQ(file.GetMasterTracks().GetCount(), 0);
  EXPECT_FALSE(file.HasOptionalData());
  EXPECT_EQ(file.GetContentsInfoChunk().GetId(), CContentsInfoChunk::kId);
  EXPECT_EQ(file.GetScoreTrackFormat(5), 0);
}

TEST(CVelkFileChunk, SkipsUnknownAudioAndGraphicsChunksWithAFlag) {
  for (const char* skipped : {"58595A57 00000002 0102", "41545201 00000001 00", "47545201 00000000"}) {
    SCOPED_TRACE(skipped);
    Bytes chunks = Hex(kCnti);
    AppendBytes(chunks, Hex(skipped).data(), static_cast<uint32_t>(Hex(skipped).size()));
    Bytes track = Hex("4D545205 00000014 02 00 00 00 00000000 00000000 00000000 00000000");
    AppendBytes(chunks, track.data(), static_cast<uint32_t>(track.size()));
    Bytes image = testing::FileImage(chunks);
    CMemStream stream(image.data(), static_cast<int32_t>(image.size()), false);
    uint32_t flags = 0;
    CVelkFileChunk file(stream, flags);
    EXPECT_EQ(flags, CNVF_CHUNK_SKIPPED);
    EXPECT_EQ(file.GetScoreTrackFormat(5), 2);
  }
}

TEST(CVelkFileChunk, CompressedScoreTrackSetsTheCompressBit) {
  Bytes chunks = Hex(kCnti);
  Bytes track = Hex("4D545205 00000014 01 00 00 00 00000000 00000000 00000000 00000000");
  AppendBytes(chunks, track.data(), static_cast<uint32_t>(track.size()));
  uint32_t flags = 0;
  ASSERT_EQ(ParseError(testing::FileImage(chunks), &flags), 1);
  EXPECT_EQ(flags, CNVF_COMPRESS);
}

TEST(CVelkFileChunk, SecondMmmgIsSkippedSilently) {
  Bytes chunks = Hex(kCnti);
  Bytes mmmg = Hex("4D4D4D47 00000002 0100");
  AppendBytes(chunks, mmmg.data(), static_cast<uint32_t>(mmmg.size()));
  Bytes second = Hex("4D4D4D47 00000002 0500");  // byte 0 of 5 would be rejected if read
  AppendBytes(chunks, second.data(), static_cast<uint32_t>(second.size()));
  Bytes image = testing::FileImage(chunks);
  CMemStream stream(image.data(), static_cast<int32_t>(image.size()), false);
  uint32_t flags = 0;
  CVelkFileChunk file(stream, flags);
  EXPECT_EQ(flags, 0u);
  EXPECT_NE(file.GetMmmg(), nullptr);
}

TEST(CVelkFileChunk, ContentsTypeSetsTheSubModeBits) {
  struct Case {
    uint8_t type;
    uint32_t in;
    uint32_t out;
  } cases[] = {{0x33, 0x08, 0x02}, {0x32, 0x0A, 0x02}, {0x32, 0x08, 0x00}};
  for (const Case& c : cases) {
    SCOPED_TRACE(int{c.type});
    Bytes cnti = Hex("434E5449 00000005 00 00 00 FF 00");
    cnti[9] = c.type;
    Bytes image = testing::FileImage(cnti);
    CMemStream stream(image.data(), static_cast<int32_t>(image.size()), false);
    uint32_t flags = c.in;
    CVelkFileChunk file(stream, flags);
    EXPECT_EQ(flags, c.out);
  }
}

TEST(CVelkFileChunk, AddingATrackReplacesOneWithTheSameId) {
  CVelkFileChunk file;
  file.AddMasterTrack(new CMasterTrackChunk(0, 0, 2, 0, nullptr));
  file.AddMasterTrack(new CMasterTrackChunk(0, 0, 3, 0, nullptr));
  ASSERT_EQ(file.GetMasterTracks().GetCount(), 1);
  EXPECT_EQ(file.GetMasterTracks().Items()[0]->GetTimeBase(), 3);
}

TEST(CVelkFileChunk, OptionalDataHoldingOnlyProIsNotWritten) {
  CVelkFileChunk file;
  file.GetOptionalDataChunk().SetProChunk(std::make_unique<CProChunk>());
  Bytes image = Serialize(file);
  EXPECT_EQ(image.size(), 23u);
}

TEST(CVelkFileChunk, SizePastTheEndAndEveryPrefixThrow) {
  Bytes image = Hex(kNewFileWithMasterTrack);
  EXPECT_EQ(ParseError(image), 1);
  Bytes tooLong = image;
  tooLong[7] = 0x30;
  EXPECT_EQ(ParseError(tooLong), kErrEndOfData);
  Bytes innerTooLong = image;
  innerTooLong[28] = 0x19;  // "MSTR" claims one byte more than the file holds
  EXPECT_EQ(ParseError(innerTooLong), kErrEndOfData);
  for (size_t n = 0; n < image.size(); ++n) {
    SCOPED_TRACE(n);
    EXPECT_EQ(ParseError(Bytes(image.begin(), image.begin() + static_cast<ptrdiff_t>(n))),
              kErrEndOfData);
  }
}

TEST(CVelkFileChunk, TimeBaseCodesToMilliseconds) {
  const std::pair<uint8_t, uint32_t> table[] = {{0x00, 1}, {0x01, 2},  {0x02, 4},  {0x03, 5},
                                                {0x10, 10}, {0x11, 20}, {0x12, 40}, {0x13, 50},
                                                {0x04, 1},  {24, 1}};
  for (auto [code, ms] : table) EXPECT_EQ(CVelkFileChunk::TimeBaseMilliseconds(code), ms) << int{code};
}

}  // namespace
}  // namespace velkgate

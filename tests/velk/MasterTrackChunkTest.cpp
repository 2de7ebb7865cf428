// The master track: header, extra bytes and its sequence chunk.
#include "velk/MasterTrackChunk.h"

#include <gtest/gtest.h>

#include "VelkBytes.h"

namespace {

using velktest::Builder;
using velktest::Bytes;
using velktest::ThrownCode;

using velktest::Written;

std::unique_ptr<CMasterTrackChunk> Read(Bytes bytes) {
  CMemStream s = velktest::ReadStream(bytes);
  auto track = std::make_unique<CMasterTrackChunk>(s);
  EXPECT_TRUE(s.AtEnd());
  return track;
}

TEST(MasterTrackChunk, RoundTripsExtraBytesAndSequence) {
  const Bytes bytes = {
      'M', 'S', 'T', 'R', 0x00, 0x00, 0x00, 0x11,  // id, size 17
      0x00, 0x01, 0x02,                            // format 0, header bytes
      0x02,                                        // k = 2 extra bytes
      0xAA, 0xBB,                                  // extra bytes
      'M', 's', 's', 'q', 0x00, 0x00, 0x00, 0x03,  // "Mssq", size 3
      0x00, 0xFF, 0x00,                            // kept raw
  };
  auto track = Read(bytes);
  EXPECT_EQ(track->GetExtraCount(), 2);
  EXPECT_EQ(velktest::ToBytes(track->GetExtraBytes()), (Bytes{0xAA, 0xBB}));
  ASSERT_NE(track->GetSequenceChunk(), nullptr);
  EXPECT_EQ(Written(*track), bytes);
}

TEST(MasterTrackChunk, KeepsOnlyTheLastSequenceOfFormatZero) {
  struct Case {
    const char* name;
    uint8_t format;
    Bytes children;
    Bytes writtenChildren;
  };
  const Case cases[] = {
      {"format 1 keeps no Mssq", 1, Builder().Chunk("Mssq", {1}), {}},
      {"a later Mssq replaces", 0, Builder().Chunk("Mssq", {1}).Chunk("Mssq", {2, 2}),
       Builder().Chunk("Mssq", {2, 2})},
      {"other children are dropped", 0, Builder().Chunk("Xtra", {1}).Chunk("Mssq", {3}),
       Builder().Chunk("Mssq", {3})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto track = Read(Builder().Chunk("MSTR", Builder().Raw({c.format, 0, 0, 1, 0x77}).Raw(c.children)));
    EXPECT_EQ(track->GetSequenceChunk() != nullptr, !c.writtenChildren.empty());
    EXPECT_EQ(Written(*track),
              Builder().Chunk("MSTR", Builder().Raw({c.format, 0, 0, 1, 0x77}).Raw(c.writtenChildren)).Get());
  }
}

TEST(MasterTrackChunk, ShortBodiesThrowEndOfData) {
  const Bytes cases[] = {
      {0x00, 0x00, 0x00},              // header cut
      {0x00, 0x00, 0x00, 0x03, 0xAA},  // extra bytes past the body
      {0x00, 0x00, 0x00, 0xFF},
  };
  for (const Bytes& body : cases) {
    SCOPED_TRACE(velktest::Hex(body));
    Bytes bytes = Builder().Chunk("MSTR", body);
    CMemStream s = velktest::ReadStream(bytes);
    EXPECT_EQ(ThrownCode([&] { CMasterTrackChunk track(s); }), kErrEndOfData);
  }
}

}  // namespace

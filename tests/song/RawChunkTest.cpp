// The raw chunk keeps its body as a stream and writes it back unchanged.
#include "song/RawChunk.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes ToBytes(const CMemStream& s) {
  return s.GetSize() ? Bytes(s.GetData(), s.GetData() + s.GetSize()) : Bytes();
}

TEST(RawChunk, ReadsAndWritesTheBodyUnchanged) {
  Bytes image = {'M', 't', 's', 'q', 0, 0, 0, 3, 0xAA, 0xBB, 0xCC, 'n', 'e', 'x', 't'};
  CMemStream in(image.data(), static_cast<int32_t>(image.size()), false);
  CRawChunk chunk(in);
  EXPECT_EQ(chunk.GetId(), MakeChunkId('M', 't', 's', 'q'));
  EXPECT_EQ(ToBytes(chunk.GetBody()), (Bytes{0xAA, 0xBB, 0xCC}));
  EXPECT_EQ(in.GetPosition(), 11);
  chunk.SetValue(7);
  EXPECT_EQ(chunk.GetValue(), 7u);
  CMemStream out(0);
  chunk.Write(out);
  EXPECT_EQ(ToBytes(out), Bytes(image.begin(), image.begin() + 11));
}

TEST(RawChunk, FilledThroughItsStream) {
  CRawChunk chunk(MakeChunkId('A', 'B', 'C', 'D'));
  chunk.GetBody().WriteBE16(0x1234);
  CMemStream out(0);
  chunk.Write(out);
  EXPECT_EQ(ToBytes(out), (Bytes{'A', 'B', 'C', 'D', 0, 0, 0, 2, 0x12, 0x34}));
}

TEST(RawChunk, BodyPastTheStreamThrowsMinus48) {
  Bytes image = {'M', 't', 's', 'q', 0, 0, 0, 9, 0xAA};
  CMemStream in(image.data(), static_cast<int32_t>(image.size()), false);
  try {
    CRawChunk chunk(in);
    FAIL() << "expected -48";
  } catch (int e) {
    EXPECT_EQ(e, kErrEndOfData);
  }
}

}  // namespace

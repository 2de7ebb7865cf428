// The optional-data chunk: which sub-chunks it keeps and the order it writes them in.
#include "velk/OptionalDataChunk.h"

#include <gtest/gtest.h>

#include "VelkBytes.h"

namespace {

using velktest::Builder;
using velktest::Bytes;
using velktest::ThrownCode;

const Bytes kProBody = {0x00, 0x00, 0x00, 0x01,   // value 1
                        0x00, 0x00, 0x01, 0x00,   // value 2
                        0x12, 0x34, 0x56, 0x78};  // value 3

void ReadOpda(COptionalDataChunk& opda, const Bytes& body) {
  Bytes chunk = Builder().Chunk("OPDA", body);
  CMemStream s = velktest::ReadStream(chunk);
  opda.Read(s);
  EXPECT_TRUE(s.AtEnd());
}

Bytes WrittenBody(COptionalDataChunk& opda) {
  CMemStream out;
  opda.WriteBody(out);
  return velktest::ToBytes(out);
}

TEST(OptionalDataChunk, ALaterDataChunkReplacesTheEarlierWhateverItsCode) {
  COptionalDataChunk opda;
  ReadOpda(opda, Builder().Chunk("Dch", 0x01, {'a'}).Chunk("Dch", 0x02, {'b', 'c'}));
  ASSERT_NE(opda.GetDataChunk(), nullptr);
  EXPECT_EQ(opda.GetDataChunk()->GetCode(), 0x02);
  EXPECT_EQ(opda.GetDataChunkFF(), nullptr);
  EXPECT_EQ(WrittenBody(opda), Builder().Chunk("Dch", 0x02, {'b', 'c'}).Get());
}

TEST(OptionalDataChunk, WritesDataThenDataFFThenPro) {
  COptionalDataChunk opda;
  ReadOpda(opda, Builder()
                     .Chunk("Pro", 0x05, kProBody)
                     .Chunk("Dch", 0xFF, {'f', 'f'})
                     .Chunk("Dch", 0x01, {'o', 'n', 'e'}));
  EXPECT_TRUE(opda.HasDataChunk());
  Bytes expected = Builder()
                       .Chunk("Dch", 0x01, {'o', 'n', 'e'})
                       .Chunk("Dch", 0xFF, {'f', 'f'})
                       .Chunk("Pro", 0x05, kProBody);
  Bytes written = WrittenBody(opda);
  EXPECT_EQ(written, expected) << velktest::Hex(written);
}

TEST(OptionalDataChunk, DropsOtherProNumbersAndUnknownIds) {
  COptionalDataChunk opda;
  ReadOpda(opda, Builder().Chunk("Pro", 0x04, kProBody).Chunk("Xtra", {1}).Chunk("Dch", 0x23, {}));
  EXPECT_EQ(opda.GetProChunk(), nullptr);
  EXPECT_EQ(WrittenBody(opda), Builder().Chunk("Dch", 0x23, {}).Get());
}

TEST(OptionalDataChunk, ProOfTwelveBytesKeepsItsValuesAndWritesTheSameTwentyBytes) {
  COptionalDataChunk opda;
  Bytes pro = Builder().Chunk("Pro", 0x05, kProBody);
  ReadOpda(opda, pro);
  ASSERT_NE(opda.GetProChunk(), nullptr);
  EXPECT_EQ(opda.GetProChunk()->GetValue(0), 1u);
  EXPECT_EQ(opda.GetProChunk()->GetValue(1), 256u);
  EXPECT_EQ(opda.GetProChunk()->GetValue(2), 0x12345678u);
  EXPECT_EQ(opda.GetProChunk()->GetData().GetSize(), 0);
  EXPECT_FALSE(opda.HasDataChunk());
  EXPECT_EQ(WrittenBody(opda), pro);
  EXPECT_EQ(pro.size(), 20u);
}

TEST(OptionalDataChunk, ProKeepsTheBytesBehindItsValues) {
  COptionalDataChunk opda;
  Bytes body = kProBody;
  body.push_back(0xAB);
  ReadOpda(opda, Builder().Chunk("Pro", 0x05, body));
  EXPECT_EQ(velktest::ToBytes(opda.GetProChunk()->GetData()), (Bytes{0xAB}));
  EXPECT_EQ(WrittenBody(opda), Builder().Chunk("Pro", 0x05, body).Get());
}

TEST(OptionalDataChunk, MalformedSubChunksThrowEndOfData) {
  struct Case {
    const char* name;
    Bytes body;
  };
  const Case cases[] = {
      {"Pro shorter than its values", Builder().Chunk("Pro", 0x05, {0, 0, 0, 1, 0, 0})},
      {"sub-chunk past the body", Builder().Text("Dch").Raw({1}).BE32(9).Raw({1, 2})},
      {"sub-chunk of 4 GiB", Builder().Text("Dch").Raw({1}).BE32(0xFFFFFFFF)},
      {"three stray bytes", Builder().Chunk("Dch", 0x01, {'a'}).Raw({'D', 'c', 'h'})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes chunk = Builder().Chunk("OPDA", c.body);
    CMemStream s = velktest::ReadStream(chunk);
    COptionalDataChunk opda;
    EXPECT_EQ(ThrownCode([&] { opda.Read(s); }), kErrEndOfData);
  }
}

}  // namespace

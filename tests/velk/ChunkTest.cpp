// Framing of a chunk: size patching, raw reads and the checks before allocating.
#include "song/Chunk.h"

#include <gtest/gtest.h>

#include <cstring>

#include "VelkBytes.h"

namespace {

using velktest::Builder;
using velktest::Bytes;
using velktest::ThrownCode;

// A parent whose body is two header bytes and a nested child, as the track chunks write.
class NestedChunk : public CChunk {
 public:
  NestedChunk() : CChunk(MakeChunkId('T', 'e', 's', 't')), m_child(MakeNumberedChunkId('K', 'i', 'd', 1)) {
    m_child.SetBodyCopy(kChildBody, sizeof kChildBody);
  }
  void WriteBody(CMemStream& stream) override {
    stream.WriteByte(0x01).WriteByte(0x02);
    m_child.Write(stream);
  }

 private:
  static constexpr uint8_t kChildBody[3] = {0xA1, 0xA2, 0xA3};
  CChunk m_child;
};

// Records what ReadBody was handed.
class ProbeChunk : public CChunk {
 public:
  ProbeChunk() : CChunk(MakeChunkId('P', 'r', 'b', 'e')) {}
  void ReadBody(CMemStream& stream) override {
    seen = velktest::ToBytes(stream);
    CChunk::ReadBody(stream);
  }
  Bytes seen;
};

TEST(Chunk, IdsAreBigEndianCharacters) {
  EXPECT_EQ(MakeChunkId('M', 'M', 'M', 'D'), 0x4D4D4D44u);
  EXPECT_EQ(MakeChunkId('C', 'N', 'T', 'I'), 0x434E5449u);
  EXPECT_EQ(MakeNumberedChunkId('M', 'T', 'R', 5), 0x4D545205u);
  EXPECT_TRUE(HasChunkPrefix(0x4D5452FFu, 'M', 'T', 'R'));
  EXPECT_FALSE(HasChunkPrefix(0x4D545352u, 'M', 'T', 'R'));
}

TEST(Chunk, WritePatchesEveryLevelsSize) {
  CMemStream s;
  s.WriteByte(0xEE);  // the chunk need not start at offset 0
  NestedChunk chunk;
  chunk.Write(s);
  Bytes expected = Builder()
                       .Raw({0xEE})
                       .Text("Test")
                       .BE32(13)  // 2 header bytes + 8 framing + 3 child body
                       .Raw({0x01, 0x02})
                       .Text("Kid")
                       .Raw({0x01})
                       .BE32(3)
                       .Raw({0xA1, 0xA2, 0xA3});
  EXPECT_EQ(velktest::ToBytes(s), expected) << velktest::Hex(velktest::ToBytes(s));
  EXPECT_TRUE(s.AtEnd());
}

TEST(Chunk, EmptyBodyWritesSizeZero) {
  CMemStream s;
  CChunk(MakeChunkId('E', 'm', 'p', 't')).Write(s);
  EXPECT_EQ(velktest::ToBytes(s), Builder().Text("Empt").BE32(0).Get());
}

TEST(Chunk, StreamConstructorKeepsTheBodyRaw) {
  Bytes bytes = Builder().Chunk("Raw1", {1, 2, 3}).Raw({0x99});
  CMemStream s = velktest::ReadStream(bytes);
  CChunk chunk(s);
  EXPECT_EQ(chunk.GetId(), MakeChunkId('R', 'a', 'w', '1'));
  ASSERT_EQ(chunk.GetBodySize(), 3u);
  EXPECT_EQ(Bytes(chunk.GetBody(), chunk.GetBody() + 3), (Bytes{1, 2, 3}));
  EXPECT_EQ(s.GetPosition(), 11);
  CMemStream out;
  chunk.Write(out);
  EXPECT_EQ(velktest::ToBytes(out), Bytes(bytes.begin(), bytes.end() - 1));
}

TEST(Chunk, ReadHandsTheBodyToReadBodyAndTakesTheFileId) {
  Bytes bytes = Builder().Chunk("Othr", {7, 8});
  CMemStream s = velktest::ReadStream(bytes);
  ProbeChunk chunk;
  chunk.Read(s);
  EXPECT_EQ(chunk.seen, (Bytes{7, 8}));
  EXPECT_EQ(chunk.GetId(), MakeChunkId('O', 't', 'h', 'r'));
  ASSERT_EQ(chunk.GetBodySize(), 2u);
  EXPECT_EQ(chunk.GetBody()[1], 8);
}

TEST(Chunk, SetBodyReplacesAndOwns) {
  CChunk chunk(MakeChunkId('B', 'o', 'd', 'y'));
  chunk.SetBodyCopy(reinterpret_cast<const uint8_t*>("abc"), 3);
  auto* buffer = static_cast<uint8_t*>(std::malloc(2));
  buffer[0] = 'x';
  buffer[1] = 'y';
  chunk.SetBody(buffer, 2);
  EXPECT_EQ(chunk.GetBody(), buffer);
  CMemStream out;
  chunk.Write(out);
  EXPECT_EQ(velktest::ToBytes(out), Builder().Text("Body").BE32(2).Text("xy").Get());
}

TEST(Chunk, MalformedFramingThrowsEndOfDataBeforeAllocating) {
  struct Case {
    const char* name;
    Bytes bytes;
  };
  const Case cases[] = {
      {"no bytes", {}},
      {"half an id", {'A', 'B'}},
      {"id without size", Builder().Text("Abcd")},
      {"size cut short", Builder().Text("Abcd").Raw({0, 0})},
      {"size one past the body", Builder().Text("Abcd").BE32(3).Raw({1, 2})},
      {"declared body of 4 GiB", Builder().Text("Abcd").BE32(0xFFFFFFFF).Raw({1, 2, 3})},
      {"declared body of 2 GiB", Builder().Text("Abcd").BE32(0x80000000).Raw({1})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes bytes = c.bytes;
    {
      CMemStream s = velktest::ReadStream(bytes);
      EXPECT_EQ(ThrownCode([&] { CChunk chunk(s); }), kErrEndOfData);
      EXPECT_TRUE(s.AtEnd());
    }
    {
      CMemStream s = velktest::ReadStream(bytes);
      CChunk chunk(MakeChunkId('K', 'e', 'e', 'p'));
      EXPECT_EQ(ThrownCode([&] { chunk.Read(s); }), kErrEndOfData);
      EXPECT_EQ(chunk.GetId(), MakeChunkId('K', 'e', 'e', 'p'));
    }
    {
      CMemStream s = velktest::ReadStream(bytes);
      EXPECT_EQ(ThrownCode([&] { SkipChunk(s); }), kErrEndOfData);
    }
  }
}

TEST(Chunk, SkipStepsOverTheWholeChunk) {
  Bytes bytes = Builder().Chunk("Skip", {1, 2, 3, 4}).Chunk("Next", {});
  CMemStream s = velktest::ReadStream(bytes);
  SkipChunk(s);
  EXPECT_EQ(PeekChunkId(s), MakeChunkId('N', 'e', 'x', 't'));
  EXPECT_EQ(s.GetPosition(), 12);
}

TEST(Chunk, PeekNeedsFourBytes) {
  Bytes bytes = {'A', 'B', 'C'};
  CMemStream s = velktest::ReadStream(bytes);
  EXPECT_EQ(ThrownCode([&] { PeekChunkId(s); }), kErrEndOfData);
}

}  // namespace

// The MMMG chunk and its children: what is kept, and what its own writer would write.
#include "velk/MmmgChunk.h"

#include <gtest/gtest.h>

#include <string>

#include "VelkBytes.h"

namespace {

using velktest::Builder;
using velktest::Bytes;
using velktest::ThrownCode;

using velktest::Written;

std::unique_ptr<CMmmgChunk> Read(Bytes bytes) {
  CMemStream s = velktest::ReadStream(bytes);
  auto chunk = std::make_unique<CMmmgChunk>(s);
  EXPECT_TRUE(s.AtEnd());
  return chunk;
}

TEST(MmmgChunk, SecondHeaderByteIsAlways0x14) {
  for (uint8_t stored : {uint8_t{0x10}, uint8_t{0x14}, uint8_t{0x00}}) {
    SCOPED_TRACE(static_cast<int>(stored));
    auto chunk = Read(Builder().Chunk("MMMG", {0x01, stored}));
    EXPECT_EQ(chunk->GetHeaderByte(0), 0x01);
    EXPECT_EQ(chunk->GetHeaderByte(1), 0x14);
  }
}

TEST(MmmgChunk, KeepsTheLastChildOfEachKindAndWritesInfoVoiceSequence) {
  Bytes voice = Builder().Chunk("DEVO", {0x05});
  auto chunk = Read(Builder().Chunk("MMMG", Builder()
                                                .Raw({0x00, 0x10})
                                                .Chunk("SEQU", {1, 2})
                                                .Chunk("INFO", {'o', 'l', 'd'})
                                                .Chunk("Xtra", {7})
                                                .Chunk("VOIC", voice)
                                                .Chunk("INFO", {'n', 'e', 'w'})));
  ASSERT_NE(chunk->GetInfoChunk(), nullptr);
  EXPECT_STREQ(chunk->GetInfoChunk()->GetText(), "new");
  EXPECT_EQ(Written(*chunk), Builder().Chunk("MMMG", Builder()
                                                         .Raw({0x00, 0x14})
                                                         .Chunk("INFO", {'n', 'e', 'w'})
                                                         .Chunk("VOIC", voice)
                                                         .Chunk("SEQU", {1, 2}))
                                 .Get());
}

TEST(MmmgChunk, EmptySequenceIsNotWritten) {
  auto chunk = Read(Builder().Chunk("MMMG", Builder().Raw({0x00, 0x14}).Chunk("SEQU", {})));
  EXPECT_NE(chunk->GetSequenceChunk(), nullptr);
  EXPECT_EQ(Written(*chunk), Builder().Chunk("MMMG", {0x00, 0x14}).Get());
}

TEST(MmmgChunk, InfoKeepsTheFirst255BytesAndWritesUpToItsFirstZero) {
  std::string long300(300, 'x');
  Bytes longBody(long300.begin(), long300.end());
  Bytes bytes = Builder().Chunk("INFO", longBody);
  CMemStream s = velktest::ReadStream(bytes);
  CMmmgInfoChunk info(s);
  EXPECT_EQ(std::string(info.GetText()), std::string(255, 'x'));
  EXPECT_EQ(Written(info), Builder().Chunk("INFO", Bytes(255, 'x')).Get());

  Bytes zeroed = Builder().Chunk("INFO", {'a', 'b', 0, 'c'});
  CMemStream z = velktest::ReadStream(zeroed);
  CMmmgInfoChunk cut(z);
  EXPECT_EQ(Written(cut), Builder().Chunk("INFO", {'a', 'b'}).Get());
}

TEST(MmmgChunk, ShortHeaderThrowsEndOfData) {
  Bytes bytes = Builder().Chunk("MMMG", {0x00});
  CMemStream s = velktest::ReadStream(bytes);
  EXPECT_EQ(ThrownCode([&] { CMmmgChunk chunk(s); }), kErrEndOfData);
}

}  // namespace

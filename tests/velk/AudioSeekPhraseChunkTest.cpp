// The seek-and-phrase chunk "AspI" of an audio track.
#include "velk/AudioSeekPhraseChunk.h"

#include <gtest/gtest.h>

#include "VelkBytes.h"

namespace {

using velktest::Builder;
using velktest::Bytes;

Bytes File() {
  return Builder().Chunk("AspI", Builder()
                                     .Text("st:").BE32(5).Text(",")
                                     .Text("PA:").BE32(10).BE32(20).Text(",")
                                     .Text("PK:").BE32(20).BE32(30).Text(","));
}

TEST(AudioSeekPhraseChunk, ExportHandsTheMarksOver) {
  Bytes file = File();
  CMemStream stream = velktest::ReadStream(file);
  CAudioSeekPhraseChunk chunk(stream);
  const CPhraseMark* first = chunk.GetSeekPhrase().GetMark(0);
  std::unique_ptr<CTrackBuild2> record = chunk.ExportSeekPhrase();
  ASSERT_NE(record, nullptr);
  ASSERT_NE(record->GetStartPoint(), nullptr);
  EXPECT_EQ(*record->GetStartPoint(), 5u);
  EXPECT_EQ(record->GetEndValue(), 0xFFFFFFFFu);
  ASSERT_EQ(record->GetMarkCount(), 2u);
  // The very marks the chunk read, now the record's.
  EXPECT_EQ(record->GetMark(0), first);
  EXPECT_EQ(record->GetMark(1)->kind, 'K');
  EXPECT_EQ(chunk.GetSeekPhrase().GetMarkCount(), 0u);
  // A second export still has the points, but no marks are left to hand over.
  std::unique_ptr<CTrackBuild2> again = chunk.ExportSeekPhrase();
  ASSERT_NE(again->GetStartPoint(), nullptr);
  EXPECT_EQ(again->GetMarkCount(), 0u);
}

TEST(AudioSeekPhraseChunk, BaseExportsNothingAndKeepsTheBody) {
  Bytes file = File();
  CMemStream stream = velktest::ReadStream(file);
  CAudioSeekPhraseChunkBase base(stream);
  EXPECT_EQ(base.ExportSeekPhrase(), nullptr);
  CMemStream out;
  base.Write(out);
  EXPECT_EQ(velktest::ToBytes(out), file);
}

}  // namespace

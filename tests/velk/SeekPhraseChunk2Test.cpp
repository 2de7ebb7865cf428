// The seek-and-phrase chunk "MspI" of a format-1/2 score track.
#include "velk/SeekPhraseChunk2.h"

#include <gtest/gtest.h>

#include "VelkBytes.h"

namespace {

using velktest::Builder;
using velktest::Bytes;

TEST(SeekPhraseChunk2, ReadsAndExportsCopies) {
  Bytes file = Builder().Chunk("MspI", Builder().Text("sp:").BE32(9).Text(",").Text("PR:").BE32(3).BE32(4).Text(","));
  CMemStream stream = velktest::ReadStream(file);
  CSeekPhraseChunk2 chunk(stream);
  std::unique_ptr<CTrackBuild> record = chunk.ExportSeekPhrase();
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->GetStartPoint(), nullptr);
  ASSERT_NE(record->GetStopPoint(), nullptr);
  EXPECT_EQ(*record->GetStopPoint(), 9u);
  ASSERT_EQ(record->GetMarkCount(), 1u);
  EXPECT_EQ(record->GetMark(0)->kind, 'R');
  EXPECT_EQ(record->GetMark(0)->start, 3u);
  EXPECT_EQ(record->GetMark(0)->end, 4u);
  EXPECT_EQ(chunk.GetSeekPhrase().GetMarkCount(), 1u);
}

}  // namespace

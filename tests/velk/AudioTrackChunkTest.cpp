// Audio tracks: children of format 0, the body only track 0 writes, and its wave chunks.
#include "velk/AudioTrackChunk.h"

#include <gtest/gtest.h>

#include "VelkBytes.h"

namespace {

using velktest::Builder;
using velktest::Bytes;
using velktest::ThrownCode;

const Bytes kHeader = {0x00,        // format type 0
                       0x00,        // header byte 1
                       0x00, 0x03,  // header word (wave type)
                       0x02, 0x11}; // time-base bytes

Bytes Children() {
  return Builder()
      .Chunk("AspI", {'s', 'p', ':', 0, 0, 1, 0xF4, ','})
      .Chunk("Atsq", {0x00, 0x01, 0x10, 0x00, 0x00, 0x00, 0x00})
      .Chunk("Awa", 1, {0x11, 0x22})
      .Chunk("Xtra", {9})
      .Chunk("Awa", 3, {0x33});
}

std::unique_ptr<CAudioTrackChunk> ReadTrack(Bytes bytes, uint8_t n) {
  CMemStream s = velktest::ReadStream(bytes);
  auto track = std::make_unique<CAudioTrackChunk>(s, n);
  EXPECT_TRUE(s.AtEnd());
  return track;
}

using velktest::Written;

TEST(AudioTrackChunk, FormatZeroKeepsSeekSequenceAndWaves) {
  auto track = ReadTrack(Builder().Chunk("ATR", 0, Builder().Raw(kHeader).Raw(Children())), 0);
  EXPECT_EQ(track->GetHeaderWord(), 0x0003);
  EXPECT_EQ(track->GetHeaderByte4(), 0x02);
  EXPECT_EQ(track->GetHeaderByte5(), 0x11);
  ASSERT_NE(track->GetSeekPhraseChunk(), nullptr);
  ASSERT_NE(track->GetSequenceChunk(), nullptr);
  EXPECT_EQ(track->GetSequenceChunk()->GetBodySize(), 7u);
  ASSERT_EQ(track->GetWaves().GetCount(), 2);
  EXPECT_EQ(track->GetWaves().GetItem(1)->GetKind(), 1);
  EXPECT_EQ(track->GetWaves().GetItem(2)->GetKind(), 3);
  EXPECT_EQ(velktest::ToBytes(track->GetWaves().GetItem(1)->GetData()), (Bytes{0x11, 0x22}));
  // Written back without the unknown child, waves last.
  Bytes expected = Builder().Chunk("ATR", 0, Builder()
                                                .Raw(kHeader)
                                                .Chunk("AspI", {'s', 'p', ':', 0, 0, 1, 0xF4, ','})
                                                .Chunk("Atsq", {0x00, 0x01, 0x10, 0x00, 0x00, 0x00, 0x00})
                                                .Chunk("Awa", 1, {0x11, 0x22})
                                                .Chunk("Awa", 3, {0x33}));
  EXPECT_EQ(Written(*track), expected);
}

TEST(AudioTrackChunk, OtherFormatTypesSkipEveryChild) {
  Bytes header = kHeader;
  header[0] = 0x01;
  auto track = ReadTrack(Builder().Chunk("ATR", 0, Builder().Raw(header).Raw(Children())), 0);
  EXPECT_EQ(track->GetFormatType(), 1);
  EXPECT_EQ(track->GetSeekPhraseChunk(), nullptr);
  EXPECT_EQ(track->GetSequenceChunk(), nullptr);
  EXPECT_EQ(track->GetWaves().GetCount(), 0);
  EXPECT_EQ(Written(*track), Builder().Chunk("ATR", 0, header).Get());
}

TEST(AudioTrackChunk, OnlyTrackZeroWritesABody) {
  auto track = ReadTrack(Builder().Chunk("ATR", 1, Builder().Raw(kHeader).Raw(Children())), 1);
  EXPECT_EQ(Written(*track), Builder().Chunk("ATR", 1, {}).Get());
  CAudioTrackChunk made(1, 0, 0, 2, 2, 3);
  EXPECT_EQ(Written(made), Builder().Chunk("ATR", 1, {}).Get());
}

TEST(AudioTrackChunk, NewTrackWritesItsPlaceholderSequence) {
  CAudioTrackChunk track(0, 0x00, 0x00, 0x02, 0x11, 0x0003);
  const Bytes expected = {
      'A', 'T', 'R', 0x00,     // id
      0x00, 0x00, 0x00, 0x0E,  // size 14
      0x00, 0x00,              // format type, header byte 1
      0x00, 0x03,              // header word
      0x02, 0x11,              // time-base bytes
      '+', 't', 's', 'q',      // placeholder sequence
      0x00, 0x00, 0x00, 0x00,  // empty
  };
  EXPECT_EQ(Written(track), expected);
}

TEST(AudioTrackChunk, AddWaveChunksBuildsAwaFromRecords) {
  const uint8_t wave3[] = {0xA0, 0xA1, 0xA2};
  const uint8_t wave7[] = {0xB0};
  CChunkInfo record3(3, wave3, 3);
  CChunkInfo record7(7, wave7, 1);
  CChunkInfoList records;
  records.AddItem(&record3);
  records.AddItem(&record7);
  CAudioTrackChunk track(0, 0, 0, 2, 2, 0);
  track.SetSequenceChunk(nullptr);
  track.AddWaveChunks(records);
  EXPECT_EQ(Written(track), Builder().Chunk("ATR", 0, Builder()
                                                           .Raw({0, 0, 0, 0, 2, 2})
                                                           .Raw({0x41, 0x77, 0x61, 0x03})  // "Awa" + 3
                                                           .BE32(3)
                                                           .Raw({0xA0, 0xA1, 0xA2})
                                                           .Chunk("Awa", 7, {0xB0}))
                                .Get());
  CChunkInfoList caller;
  track.GetWaveChunks(caller);
  track.GetWaveChunks(caller);
  ASSERT_EQ(caller.GetCount(), 4);
  EXPECT_EQ(caller.GetItem(1), caller.GetItem(3));  // the track's own chunks, not copies
  EXPECT_NE(caller.GetItem(1), &record3);
}

TEST(AudioTrackChunk, ShortHeaderThrowsEndOfData) {
  for (size_t n = 0; n < kHeader.size(); ++n) {
    SCOPED_TRACE(n);
    Bytes bytes = Builder().Chunk("ATR", 0, Bytes(kHeader.begin(), kHeader.begin() + static_cast<long>(n)));
    CMemStream s = velktest::ReadStream(bytes);
    EXPECT_EQ(ThrownCode([&] { CAudioTrackChunk track(s, 0); }), kErrEndOfData);
  }
}

TEST(ChunkInfo, ReadsAwaWithItsNumberAsKind) {
  Bytes bytes = Builder().Chunk("Awa", 5, {1, 2, 3, 4});
  CMemStream s = velktest::ReadStream(bytes);
  CChunkInfo info(s);
  EXPECT_EQ(info.GetKind(), 5);
  EXPECT_EQ(info.GetSize(), 4u);
  EXPECT_EQ(velktest::ToBytes(info.GetData()), (Bytes{1, 2, 3, 4}));
  EXPECT_EQ(Written(info), bytes);
}

TEST(ChunkInfo, WaveRecordOfKindThreeHasTheAwaId) {
  const uint8_t data[] = {9, 8};
  CChunkInfo info(3, data, 2);
  EXPECT_EQ(Written(info), (Bytes{0x41, 0x77, 0x61, 0x03, 0x00, 0x00, 0x00, 0x02, 9, 8}));
}

}  // namespace

// The seek-and-phrase chunks "MspI" and "AspI" built from track builds, and read back.
#include <gtest/gtest.h>

#include <memory>

#include "SequenceBuild.h"
#include "velk/AudioSeekPhraseChunk.h"
#include "velk/SeekPhraseChunk.h"

namespace {

using velktest::Builder;
using velktest::Bytes;
using velktest::Cue;
using velktest::Hex;
using velktest::Mark;
using velktest::Note;
using velktest::Rec;

std::unique_ptr<CPhraseMark> PhraseMark(char kind, uint32_t start) {
  auto mark = std::make_unique<CPhraseMark>();
  mark->kind = static_cast<uint8_t>(kind);
  mark->start = start;
  return mark;
}

// Start 0, marks A at 100 and B at 200, end value 500.
void FillExample(CTrackBuild& record) {
  record.SetFirstField(7);
  record.SetStartPoint(0);
  record.AddMark(PhraseMark('A', 100));
  record.AddMark(PhraseMark('B', 200));
  record.SetEndValue(500);
}

const Bytes kExampleBody = {
    0x73, 0x74, 0x3A, 0x00, 0x00, 0x00, 0x00, 0x2C,                    // st:0,
    0x50, 0x41, 0x3A, 0x00, 0x00, 0x00, 0x64, 0x00, 0x00, 0x00, 0xC8,  // PA:100 200
    0x2C,                                                              // ,
    0x50, 0x42, 0x3A, 0x00, 0x00, 0x00, 0xC8, 0x00, 0x00, 0x01, 0xF4,  // PB:200 500
    0x2C};

Bytes Body(const CChunk& chunk) {
  return Bytes(chunk.GetBody(), chunk.GetBody() + chunk.GetBodySize());
}

struct Mark3 {
  uint8_t kind;
  uint32_t start;
  uint32_t end;
  bool operator==(const Mark3& o) const {
    return kind == o.kind && start == o.start && end == o.end;
  }
};

std::vector<Mark3> Marks(const CTrackBuild& record) {
  std::vector<Mark3> out;
  for (size_t i = 0; i < record.GetMarkCount(); ++i) {
    const CPhraseMark* m = record.GetMark(i);
    out.push_back({m->kind, m->start, m->end});
  }
  return out;
}

TEST(SeekPhraseChunk, BuildsTheExampleBodyAndSetsTheMarksEnds) {
  CTrackBuild record;
  FillExample(record);
  CSeekPhraseChunk chunk(record);
  EXPECT_EQ(chunk.GetId(), kIdMspI);
  EXPECT_EQ(Body(chunk), kExampleBody) << Hex(Body(chunk));
  // The record's marks got their ends in place.
  EXPECT_EQ(Marks(record), std::vector<Mark3>({{'A', 100, 200}, {'B', 200, 500}}));
  auto exported = chunk.ExportSeekPhrase();
  EXPECT_EQ(exported->GetFirstField(), 7);
  ASSERT_NE(exported->GetStartPoint(), nullptr);
  EXPECT_EQ(*exported->GetStartPoint(), 0u);
  EXPECT_EQ(exported->GetStopPoint(), nullptr);
  EXPECT_EQ(Marks(*exported), Marks(record));
  // What a reader of the written chunk exports is the same, but for the first field.
  Bytes file = velktest::Written(chunk);
  CMemStream stream = velktest::ReadStream(file);
  CSeekPhraseChunk read(stream);
  auto readBack = read.ExportSeekPhrase();
  EXPECT_EQ(readBack->GetFirstField(), 0);
  EXPECT_EQ(*readBack->GetStartPoint(), 0u);
  EXPECT_EQ(Marks(*readBack), Marks(record));
}

TEST(SeekPhraseChunk, BuildsStartAndStopWithoutMarks) {
  CTrackBuild record;
  record.SetStopPoint(0x01020304);
  record.SetStartPoint(9);
  CSeekPhraseChunk chunk(record);
  EXPECT_EQ(Body(chunk),
            Builder().Text("st:").BE32(9).Text(",").Text("sp:").BE32(0x01020304).Text(",").Get());
  CTrackBuild empty;
  EXPECT_EQ(CSeekPhraseChunk(empty).GetBodySize(), 0u);
}

TEST(AudioSeekPhraseChunk, BuildsTheSameBodyAndHandsItsMarksOver) {
  CTrackBuild2 record;
  FillExample(record);
  CAudioSeekPhraseChunk chunk(record);
  EXPECT_EQ(chunk.GetId(), kIdAspI);
  EXPECT_EQ(Body(chunk), kExampleBody);
  auto exported = chunk.ExportSeekPhrase();
  EXPECT_EQ(exported->GetFirstField(), 7);
  EXPECT_EQ(Marks(*exported), std::vector<Mark3>({{'A', 100, 200}, {'B', 200, 500}}));
  EXPECT_EQ(chunk.GetSeekPhrase().GetMarkCount(), 0u);
}

TEST(SeekPhraseChunk, ExportOfABuiltSequencesChunkPutsEachCueAtItsMarksTick) {
  const std::vector<Rec> events = {Mark(0, 8),   Note(0, 0, 60, 900),   Mark(240, 1),
                                   Mark(480, 4), Note(480, 1, 72, 960), Mark(700, 9),
                                   Mark(960, 6)};
  velktest::PlayList list(events);
  velktest::RecordList scratch;
  CTrackBuild build;
  auto sequence = BuildScoreSequence(120, 480, 4, velktest::UnsetRecord(), list.List(),
                                     scratch.List(), build, 0);
  CSeekPhraseChunk seek(build);
  Bytes file = velktest::Written(seek);
  CMemStream stream = velktest::ReadStream(file);
  CSeekPhraseChunk read(stream);
  auto exported = read.ExportSeekPhrase();
  velktest::RecordList decoded;
  uint8_t value = 0;
  int priority = 0;
  CScoreSequenceReader reader(sequence->GetBody(), sequence->GetBodySize());
  reader.Decode(value, decoded.List(), exported.get(), priority, 0);
  EXPECT_EQ(decoded.Records(),
            std::vector<Rec>({Cue(0, 8), Rec{0, {0x90, 60, 100}, 900, 0}, Cue(240, 1), Cue(480, 4),
                              Rec{480, {0x91, 72, 100}, 960, 0}, Cue(700, 9), Cue(960, 6)}));
  // The last mark's end is the sequence's end value.
  EXPECT_EQ(exported->GetMark(2)->end, build.GetEndValue());
}

}  // namespace

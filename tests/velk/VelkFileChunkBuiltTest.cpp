// Files put together from the writers' chunks, as the chip-mode 1 and 2 savers do, read back
// whole through the file chunk: setup queries, sequences and seek points.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "SequenceBuild.h"
#include "song/Voice2.h"
#include "velk/AudioSeekPhraseChunk.h"
#include "velk/AudioTrackChunk.h"
#include "velk/ScoreTrackChunk.h"
#include "velk/SeekPhraseChunk.h"
#include "velk/SetupDataChunk.h"
#include "velk/VelkFileChunk.h"

namespace {

using velktest::Builder;
using velktest::Bytes;
using velktest::Cue;
using velktest::Mark;
using velktest::Message;
using velktest::Note;
using velktest::Rec;

const Bytes kCntiGen1 = {0x00, 0x00, 0x00, 0xFC, 0x00};
const Bytes kCntiGen2 = {0x00, 0x01, 0x00, 0xFC, 0x00};

void SetContents(CVelkFileChunk& file, const Bytes& cntiBody) {
  Bytes chunk = Builder().Chunk("CNTI", cntiBody);
  CMemStream s = velktest::ReadStream(chunk);
  file.GetContentsInfoChunk().Read(s);
}

// A score track as the savers make it: sequence, setup (when given) and seek chunk (when the
// build holds anything).
std::unique_ptr<CScoreTrackChunk> ScoreTrack(uint8_t n, const std::vector<Rec>& events,
                                             const SongOutputRecord& record,
                                             std::unique_ptr<CSetupDataChunk> setup) {
  velktest::PlayList list(events);
  velktest::RecordList scratch;
  CTrackBuild build;
  auto track = std::make_unique<CScoreTrackChunk>(n, 0, 0, 0x02, 0x02, 0);
  track->SetSequenceChunk(
      BuildScoreSequence(100, 480, 4, record, list.List(), scratch.List(), build, n));
  if (setup) track->SetSetupChunk(std::move(setup));
  if (build.HasContent()) track->SetSeekPhraseChunk(std::make_unique<CSeekPhraseChunk>(build));
  return track;
}

std::unique_ptr<CVelkFileChunk> WriteAndRead(CVelkFileChunk& file, Bytes& image) {
  CMemStream out;
  file.Write(out);
  image = velktest::ToBytes(out);
  CMemStream in = velktest::ReadStream(image);
  return std::make_unique<CVelkFileChunk>(in);
}

struct Decoded {
  std::vector<Rec> records;
  uint8_t value = 0;
  int priority = 0;
};

Decoded DecodeScore(CVelkFileChunk& file) {
  Decoded out;
  uint8_t timeBase = 24;
  velktest::RecordList list;
  file.ReadScoreTracks(out.value, timeBase, list.List(), out.priority, nullptr);
  out.records = list.Records();
  return out;
}

TEST(VelkFileChunk, GenerationOneTrackOfTheWritersReadsBack) {
  SongOutputRecord record = velktest::UnsetRecord();
  for (int i = 0; i < 8; ++i) record.bytes[64 + 16 * i + 1] = 0xFF;
  for (int k = 0; k < 16; ++k)
    record.bytes[64 + 16 * 3 + k] = static_cast<uint8_t>(k == 0 ? 3 : 0x40 + k);
  CVelkFileChunk file;
  SetContents(file, kCntiGen1);
  file.AddScoreTrack(ScoreTrack(0, {Mark(0, 8), Note(0, 0, 60, 480), Mark(480, 9)}, record,
                                std::make_unique<CSetupDataChunk>(record, 100, false)));
  Bytes image;
  auto read = WriteAndRead(file, image);
  uint8_t count = 0;
  const uint8_t* entries = read->GetSetupEntries(&count);
  ASSERT_EQ(count, 1);
  EXPECT_EQ(Bytes(entries, entries + 16), Bytes(record.bytes + 64 + 48, record.bytes + 64 + 64));
  EXPECT_EQ(read->GetSetupTempoByte(), 0x15);
  Decoded d = DecodeScore(*read);
  EXPECT_EQ(d.records, std::vector<Rec>({Cue(0, 8), Rec{0, {0x90, 60, 100}, 480, 0}, Cue(480, 9)}));
  EXPECT_EQ(d.value, 0x15);
  EXPECT_EQ(d.priority, 1);
}

TEST(VelkFileChunk, GenerationTwoTracksOfTheWritersReadBack) {
  auto two = std::make_unique<CVoice2>(), four = std::make_unique<CVoice2>();
  two->SetVoiceNo(2);
  two->SetProgram(9);
  two->SetOperatorCount(2);
  four->SetVoiceNo(5);
  four->SetOpTL(4, 33);
  four->SetOperatorCount(4);
  SongOutputRecord record = velktest::UnsetRecord();
  record.words[0] = reinterpret_cast<std::uintptr_t>(two.get());
  record.words[7] = reinterpret_cast<std::uintptr_t>(four.get());
  record.bytes[4 + 1] = 2;    // bank of channel 5
  record.bytes[20 + 1] = 17;  // program of channel 5
  CVelkFileChunk file;
  SetContents(file, kCntiGen2);
  file.AddScoreTrack(ScoreTrack(1, {Note(0, 0, 60, 100), Message(0, {0xF0, 0xF0, 0x40})}, record,
                                std::make_unique<CSetupDataChunk>(record, 100, true)));
  file.AddScoreTrack(ScoreTrack(2, {Note(10, 5, 61, 100), Mark(100, 2)}, record, nullptr));
  {
    velktest::PlayList list({Note(0, 0, 7, 200), Mark(50, 5), Message(60, {0xB0, 0x07, 100})});
    velktest::RecordList scratch;
    CTrackBuild2 build;
    auto track = std::make_unique<CAudioTrackChunk>(0, 0, 0, 0x02, 0x02, 0x1234);
    track->SetSequenceChunk(BuildAudioSequence(100, 480, 4, list.List(), scratch.List(), build, 0));
    track->SetSeekPhraseChunk(std::make_unique<CAudioSeekPhraseChunk>(build));
    file.AddAudioTrack(std::move(track));
  }
  Bytes image;
  auto read = WriteAndRead(file, image);
  EXPECT_EQ(read->GetSetupTempoByte(), 0x15);
  EXPECT_EQ(read->GetSetupVoiceCount(), 2);
  SongOutputRecord back;
  std::vector<std::unique_ptr<CVoice2>> voices;
  EXPECT_TRUE(read->GetTrackSetup(back, voices));
  ASSERT_EQ(voices.size(), 2u);
  EXPECT_TRUE(voices[0]->IsSameParams(*two));
  EXPECT_EQ(voices[0]->GetVoiceNo(), 2);
  EXPECT_EQ(voices[0]->GetProgram(), 9);
  EXPECT_TRUE(voices[1]->IsSameParams(*four));
  EXPECT_EQ(voices[1]->GetOpTL(4), 33);

  Decoded d = DecodeScore(*read);
  EXPECT_EQ(d.records,
            std::vector<Rec>({Rec{0, {0x90, 60, 100}, 100, 0}, Rec{0, {0xF0, 0xF0, 0x40}, 0, 0},
                              Rec{0, {0xB5, 0x00, 2}, 0, 0}, Rec{0, {0xC5, 17}, 0, 0},
                              Rec{10, {0x95, 61, 100}, 100, 0}, Cue(100, 2)}));
  // Both headers carry the tempo under id 3; the setup chunk's rounded byte is one more.
  EXPECT_EQ(d.value, 0x15);
  EXPECT_EQ(d.priority, 1);

  velktest::RecordList audio;
  CChunkInfoList waves;
  read->ReadAudioTracks(audio.List(), waves);
  EXPECT_EQ(audio.Records(), std::vector<Rec>({Rec{0, {0x90, 7}, 200, 0}, Cue(50, 5),
                                               Rec{60, {0xB0, 0x07, 98}, 60, 0}}));
}

TEST(VelkFileChunk, GenerationTwoSetupWithoutVoicesIsEmptyAndTheHeaderKeepsTheTempo) {
  SongOutputRecord record = velktest::UnsetRecord();
  CVelkFileChunk file;
  SetContents(file, kCntiGen2);
  auto setup = std::make_unique<CSetupDataChunk>(record, 100, true);
  EXPECT_EQ(setup->GetBodySize(), 0u);
  file.AddScoreTrack(ScoreTrack(1, {}, record, std::move(setup)));
  Bytes image;
  auto read = WriteAndRead(file, image);
  EXPECT_EQ(read->GetSetupTempoByte(), 0);
  EXPECT_EQ(read->GetSetupVoiceCount(), 0);
  Decoded d = DecodeScore(*read);
  EXPECT_TRUE(d.records.empty());
  EXPECT_EQ(d.value, 0x15);
  EXPECT_EQ(d.priority, 1);
}

}  // namespace

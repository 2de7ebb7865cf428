// The file chunk's track readers: decoded score and audio sequences with their cues, and the
// setup queries over the score tracks.
#include "velk/VelkFileChunk.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "SeqRecords.h"
#include "VelkBytes.h"
#include "velk/Format12Sequence.h"

namespace {

using velktest::Builder;
using velktest::Bytes;
using velktest::Cue;
using velktest::Rec;
using velktest::RecordList;

const Bytes kCntiGen1 = {0x00, 0x00, 0x00, 0xFC, 0x00};  // type 0x00: generation 1
const Bytes kCntiGen2 = {0x00, 0x01, 0x00, 0xFC, 0x00};  // type 0x01: generation 2

// "MMMD" around the body; the reader does not check the two CRC bytes.
Bytes Image(const Bytes& body) {
  return Builder().Text("MMMD").BE32(static_cast<uint32_t>(body.size() + 2)).Raw(body).Raw({0x00, 0x00});
}

// A score track of tracks 0-4: format 0, byte 1, time-base byte, byte 3, channel word.
Bytes CompactTrack(uint8_t n, uint8_t timeBase, uint16_t channelWord, const Bytes& children) {
  Bytes body = Builder()
                   .Raw({0x00, 0x00, timeBase, 0x00, static_cast<uint8_t>(channelWord >> 8),
                         static_cast<uint8_t>(channelWord)})
                   .Raw(children);
  return Builder().Chunk("MTR", n, body);
}

// Track 5 of format type 2: header, 16 status bytes, children.
Bytes Format2Track(uint8_t timeBase, const Bytes& children) {
  Bytes body = Builder().Raw({0x02, 0x00, timeBase, 0x00}).Raw(Bytes(16, 0x00)).Raw(children);
  return Builder().Chunk("MTR", 5, body);
}

Bytes StartAtZero(const char* id) { return Builder().Chunk(id, Builder().Text("st:").BE32(0).Text(",")); }

Rec Event(uint32_t tick, Bytes bytes, uint32_t end) { return Rec{tick, std::move(bytes), end, 0}; }

std::unique_ptr<CVelkFileChunk> ReadFile(Bytes& image) {
  CMemStream stream = velktest::ReadStream(image);
  return std::make_unique<CVelkFileChunk>(stream);
}

// A 25-byte four-operator generation-2 voice record.
Bytes VoiceRecord() {
  Bytes r = {0x03, 0x01, 0x05, 0x04, 0x01};
  for (uint8_t i = 0; i < 20; ++i) r.push_back(static_cast<uint8_t>(0x20 + i));
  return r;
}

Bytes SetupBody() {
  Builder b;
  b.Raw({0xFF, 0xF0, 0x05, 0x43, 0x02, 0x80, 0x11, 0xF7});
  b.Raw({0xFF, 0xF0, 0x13, 0x43, 0x02}).Raw(Bytes(16, 0x02)).Raw({0xF7});
  b.Raw({0xFF, 0xF0, 0x1C, 0x43, 0x03}).Raw(VoiceRecord()).Raw({0xF7});
  return b;
}

TEST(VelkFileChunk, ReadScoreTracksDecodesEveryTrackInFileOrder) {
  Bytes body = Builder()
                   .Chunk("CNTI", kCntiGen2)
                   // Track 0 (what a chip-mode-1 file holds): channels 0-3, and a tempo exclusive.
                   .Raw(CompactTrack(0, 0x02, 0x0000,
                                     Builder().Chunk("Mtsq", {0x00, 0xFF, 0xF0, 0x06, 0x43, 0x01, 0x80, 0x31, 0x22,
                                                              0xF7, 0x00, 0x55, 0x05, 0x00, 0x00, 0x00, 0x00})))
                   // Track 2 with a start point at 0: channels 4-7.
                   .Raw(CompactTrack(2, 0x01, 0x0000,
                                     Builder().Raw(StartAtZero("MspI")).Chunk("Mtsq", {0x00, 0x15, 0x05, 0, 0, 0, 0})))
                   // Track 5, format 2: a plain sequence with a merged note.
                   .Raw(Format2Track(0x11, Builder().Chunk("Mtsq", {0x00, 0x93, 0x3C, 0x50, 0x0A, 0x02, 0x93, 0x3C,
                                                                    0x50, 0x0A, 0x00, 0xFF, 0x2F, 0x00})));
  Bytes image = Image(body);
  auto file = ReadFile(image);
  RecordList list;
  uint8_t value = 0;
  uint8_t timeBase = 24;
  int priority = 0;
  uint32_t report = 0;
  file->ReadScoreTracks(value, timeBase, list.List(), priority, &report);
  EXPECT_EQ(list.Records(), std::vector<Rec>({Event(0, {0x91, 53, 100}, 5), Cue(0, 8), Event(0, {0x94, 53, 100}, 5),
                                              Event(0, {0x93, 0x3C, 0x50}, 12)}));
  EXPECT_EQ(value, 0x22);
  EXPECT_EQ(priority, 1);
  EXPECT_EQ(timeBase, 0x11);
  EXPECT_EQ(report, kReportMergedNote);
}

TEST(VelkFileChunk, ReadScoreTracksLeavesTheTimeBaseWithoutTracks) {
  Bytes image = Image(Builder().Chunk("CNTI", kCntiGen1));
  auto file = ReadFile(image);
  RecordList list;
  uint8_t value = 0;
  uint8_t timeBase = 24;
  int priority = 0;
  file->ReadScoreTracks(value, timeBase, list.List(), priority, nullptr);
  EXPECT_EQ(timeBase, 24);
  EXPECT_TRUE(list.Records().empty());
}

TEST(VelkFileChunk, ReadAudioTracksDecodesTrackZeroAndListsItsWaves) {
  Bytes atr = Builder()
                  .Raw({0x00, 0x00, 0xAB, 0xCD, 0x02, 0x03})
                  .Raw(StartAtZero("AspI"))
                  .Chunk("Atsq", {0x00, 0x01, 0x05, 0x00, 0x00, 0x00, 0x00})
                  .Chunk("Awa", 1, {1, 2, 3})
                  .Chunk("Awa", 2, {4});
  Bytes image = Image(Builder().Chunk("CNTI", kCntiGen2).Chunk("ATR", 0, atr));
  auto file = ReadFile(image);
  RecordList list;
  CChunkInfoList waves;
  file->ReadAudioTracks(list.List(), waves);
  EXPECT_EQ(list.Records(), std::vector<Rec>({Cue(0, 8), Event(0, {0x90, 0x01}, 5)}));
  ASSERT_EQ(waves.GetCount(), 2);
  EXPECT_EQ(waves.GetItem(1)->GetKind(), 1);
  EXPECT_EQ(waves.GetItem(2)->GetKind(), 2);
}

TEST(VelkFileChunk, SetupQueriesReadTheFirstSetupChunk) {
  Bytes body = Builder()
                   .Chunk("CNTI", kCntiGen1)
                   .Raw(CompactTrack(0, 0, 0, {}))
                   .Raw(CompactTrack(1, 0, 0, Builder().Chunk("Mtsu", SetupBody())))
                   .Raw(CompactTrack(2, 0, 0, Builder().Chunk("Mtsu", {0xFF, 0xF0, 0x05, 0x43, 0x02, 0x80, 0x30, 0xF7})));
  Bytes image = Image(body);
  auto file = ReadFile(image);
  uint8_t count = 0;
  const uint8_t* entries = file->GetSetupEntries(&count);
  ASSERT_EQ(count, 1);
  EXPECT_EQ(Bytes(entries, entries + 16), Bytes(16, 0x02));
  EXPECT_EQ(file->GetSetupTempoByte(), 17);
  EXPECT_EQ(file->GetSetupVoiceCount(), 1);
  // The file chunk keeps track 1's voice records for the sequence reader.
  ASSERT_EQ(file->GetSetupVoiceRecordCount(), 1);
  const auto* record = static_cast<const uint8_t*>(file->GetSetupVoiceRecords()[0]);
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(Bytes(record, record + 25), VoiceRecord());
  EXPECT_EQ(file->GetSetupVoiceRecords()[1], nullptr);
}

TEST(VelkFileChunk, SetupQueriesWithoutAFormatZeroSetup) {
  struct Case {
    const char* name;
    Bytes tracks;
  };
  const Case cases[] = {
      {"no setup chunk", CompactTrack(1, 0, 0, {})},
      // A format-1/2 setup chunk has no entry table, tempo byte or voice records.
      {"voice setup first", Builder()
                                .Raw(Format2Track(0, Builder().Chunk("Mtsu", {0xF0, 0x07, 0x43, 0x79, 0x06, 0x7F,
                                                                              0x07, 0x01, 0xF7})))
                                .Raw(CompactTrack(1, 0, 0, Builder().Chunk("Mtsu", SetupBody())))},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes image = Image(Builder().Chunk("CNTI", kCntiGen1).Raw(c.tracks));
    auto file = ReadFile(image);
    uint8_t count = 9;
    EXPECT_EQ(file->GetSetupEntries(&count), nullptr);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(file->GetSetupTempoByte(), 0);
  }
  Bytes image = Image(Builder().Chunk("CNTI", kCntiGen1).Raw(cases[1].tracks));
  // The first track numbered 1 or 5 with a setup chunk is track 5 here.
  EXPECT_EQ(ReadFile(image)->GetSetupVoiceCount(), 0);
}

TEST(VelkFileChunk, TrackSetupFillsStatusBytesAndVoiceCopies) {
  SongOutputRecord out;
  std::vector<std::unique_ptr<CVoice2>> voices;
  {
    Bytes body = Builder()
                     .Chunk("CNTI", kCntiGen2)
                     .Raw(CompactTrack(0, 0, 0x1234, {}))
                     .Raw(CompactTrack(1, 0, 0x9ABC, Builder().Chunk("Mtsu", SetupBody())))
                     .Raw(CompactTrack(3, 0, 0x5678, {}));
    Bytes image = Image(body);
    auto file = ReadFile(image);
    std::fill(std::begin(out.words), std::end(out.words), 7);
    EXPECT_TRUE(file->GetTrackSetup(out, voices));
  }
  // Track 0 took the place of track 1 first, then track 1 wrote over it.
  EXPECT_EQ(Bytes(out.bytes + 192, out.bytes + 208),
            Bytes({0x9, 0xA, 0xB, 0xC, 0, 0, 0, 0, 0x5, 0x6, 0x7, 0x8, 0, 0, 0, 0}));
  ASSERT_EQ(voices.size(), 1u);
  // The record's voice outlives the file chunk it came from.
  const auto* voice = reinterpret_cast<const CVoice2*>(out.words[0]);
  ASSERT_EQ(voice, voices[0].get());
  EXPECT_EQ(voice->GetVoiceNo(), 3);
  EXPECT_EQ(voice->GetProgram(), 5);
  EXPECT_EQ(voice->GetOperatorCount(), 4);
  EXPECT_EQ(voice->GetDrumKey(), 0);
  for (int i = 1; i < 16; ++i) EXPECT_EQ(out.words[i], 0u);
}

TEST(VelkFileChunk, TrackZeroStatusGoesToTheFirstPlace) {
  Bytes image = Image(Builder().Chunk("CNTI", kCntiGen1).Raw(CompactTrack(0, 0, 0x1234, {})));
  auto file = ReadFile(image);
  SongOutputRecord out;
  std::vector<std::unique_ptr<CVoice2>> voices;
  file->GetTrackSetup(out, voices);
  EXPECT_EQ(Bytes(out.bytes + 192, out.bytes + 196), Bytes({1, 2, 3, 4}));
  EXPECT_TRUE(voices.empty());
}

}  // namespace

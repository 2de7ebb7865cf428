// The score and audio sequence builders: golden bodies, note and time-number forms, the play
// list's preparation, controllers, marks, board records and long notes, each read back by the
// sequence decoders.
#include <gtest/gtest.h>

#include "SequenceBuild.h"
#include "velk/CompactSequenceWriter.h"
#include "velk/SequenceBuilder.h"

namespace {

using velktest::BuildAudio;
using velktest::BuildScore;
using velktest::Built;
using velktest::Bytes;
using velktest::Cat;
using velktest::Cue;
using velktest::Header120;
using velktest::Hex;
using velktest::Mark;
using velktest::Message;
using velktest::Note;
using velktest::Rec;

const Bytes kClosingZeros = {0x00, 0x00, 0x00, 0x00};

// A decoded note of the score decoder: velocity 100.
Rec Played(uint32_t tick, uint8_t channel, uint8_t note, uint32_t end) {
  return Rec{tick, {static_cast<uint8_t>(0x90 | channel), note, 100}, end, 0};
}

TEST(BuildScoreSequence, GoldenBodyOfOneNoteAndAStopMark) {
  SongOutputRecord setup = velktest::UnsetRecord();
  for (int c = 0; c < 4; ++c) {
    setup.bytes[c] = 0;
    setup.bytes[16 + c] = c == 0 ? 5 : 0;
    setup.bytes[32 + c] = 100;
  }
  Built built = BuildScore({Note(0, 0, 60, 480), Mark(480, 9)}, 0, setup);
  const Bytes expected = {
      0x00, 0xFF, 0xF0, 0x06, 0x43, 0x01, 0x80, 0x31, 0x11, 0xF7,  // header, tempo byte 0x11
      0x00, 0x00, 0x31, 0x00, 0x00, 0x00, 0x71, 0x00,              // banks of channels 0-3
      0x00, 0x00, 0xB1, 0x00, 0x00, 0x00, 0xF1, 0x00,              //
      0x00, 0x00, 0x30, 0x05, 0x00, 0x00, 0x70, 0x00,              // programs
      0x00, 0x00, 0xB0, 0x00, 0x00, 0x00, 0xF0, 0x00,              //
      0x00, 0x00, 0x37, 0x62, 0x00, 0x00, 0x77, 0x62,              // volumes 100 -> 98
      0x00, 0x00, 0xB7, 0x62, 0x00, 0x00, 0xF7, 0x62,              //
      0x00, 0x1C, 0x82, 0x60,                                      // note 60, gate 480
      0x82, 0x60, 0xFF, 0x00,                                      // STOP mark at 480
      0x00, 0xFF, 0x00,                                            // closing event
      0x00, 0x00, 0x00, 0x00,
  };
  EXPECT_EQ(built.body, expected) << Hex(built.body);
  ASSERT_NE(built.build->GetStopPoint(), nullptr);
  EXPECT_EQ(*built.build->GetStopPoint(), 66u);
  EXPECT_EQ(built.build->GetEndValue(), 66u);
  EXPECT_EQ(built.build->GetStartPoint(), nullptr);

  std::vector<Rec> records;
  for (uint8_t c = 0; c < 4; ++c) records.push_back(Message(0, {uint8_t(0xB0 | c), 0x00, 0}));
  for (uint8_t c = 0; c < 4; ++c)
    records.push_back(Message(0, {uint8_t(0xC0 | c), uint8_t(c == 0 ? 5 : 0)}));
  for (uint8_t c = 0; c < 4; ++c) records.push_back(Message(0, {uint8_t(0xB0 | c), 0x07, 98}));
  records.push_back(Played(0, 0, 60, 480));
  records.push_back(Cue(480, 9));
  EXPECT_EQ(built.decoded, records);
}

// The body between the header and the closing event of a one-event list.
Bytes EventBytes(const Built& built) {
  const size_t header = Header120().size();
  const size_t closing = 3 + kClosingZeros.size();
  return Bytes(built.body.begin() + header, built.body.end() - closing);
}

TEST(BuildScoreSequence, NoteBytesAndOctaveShifts) {
  struct Case {
    uint8_t channel;
    uint8_t note;
    Bytes bytes;
  };
  const Case cases[] = {
      {0, 37, {0x00, 0x01, 0x18}},
      {0, 48, {0x00, 0x0C, 0x18}},
      {0, 60, {0x00, 0x1C, 0x18}},
      {0, 84, {0x00, 0x3C, 0x18}},
      {0, 85, {0x00, 0x00, 0x32, 0x01, 0x00, 0x31, 0x18}},
      {0, 0, {0x00, 0x00, 0x32, 0x84, 0x00, 0x0C, 0x18}},
      {0, 127, {0x00, 0x00, 0x32, 0x04, 0x00, 0x37, 0x18}},
      {1, 60, {0x00, 0x5C, 0x18}},
      {3, 36, {0x00, 0x00, 0xF2, 0x81, 0x00, 0xCC, 0x18}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(int{c.note} + 1000 * c.channel);
    Built built = BuildScore({Note(0, c.channel, c.note, 24)});
    EXPECT_EQ(EventBytes(built), c.bytes) << Hex(built.body);
    EXPECT_EQ(built.decoded, std::vector<Rec>({Played(0, c.channel, c.note, 24)}));
  }
}

TEST(BuildScoreSequence, EveryNoteDecodesBackFromEveryOctaveState) {
  // First notes that leave the channel at octaves -4 .. 4.
  const uint8_t octaveSetters[] = {0, 1, 13, 25, 60, 85, 97, 109, 121};
  for (uint8_t setter : octaveSetters) {
    for (int note = 0; note < 128; ++note) {
      SCOPED_TRACE(note + 1000 * setter);
      Built built =
          BuildScore({Note(0, 2, setter, 20), Note(100, 2, static_cast<uint8_t>(note), 120)});
      ASSERT_EQ(built.decoded, std::vector<Rec>({Played(0, 2, setter, 20),
                                                 Played(100, 2, static_cast<uint8_t>(note), 120)}));
    }
  }
}

TEST(CompactSequenceWriter, OctaveOfEachNoteRange) {
  const std::pair<int, int> cases[] = {{0, -4},  {1, -3},  {12, -3}, {13, -2}, {24, -2},
                                       {25, -1}, {36, -1}, {37, 0},  {84, 0},  {85, 1},
                                       {96, 1},  {97, 2},  {120, 3}, {121, 4}, {127, 4}};
  for (auto [note, octave] : cases) {
    SCOPED_TRACE(note);
    EXPECT_EQ(CCompactSequenceWriter::NoteOctave(note), octave);
    EXPECT_TRUE(CCompactSequenceWriter::IsInOctaveWindow(note, octave));
  }
}

TEST(BuildScoreSequence, GapOf16512IsSplitByANoOperation) {
  Built built = BuildScore({Message(0, {0xC0, 3}), Message(16512, {0xC0, 4})});
  EXPECT_EQ(EventBytes(built),
            Bytes({0x00, 0x00, 0x30, 0x03, 0xFF, 0x7F, 0xFF, 0x00, 0x01, 0x00, 0x30, 0x04}))
      << Hex(built.body);
  EXPECT_EQ(built.decoded, std::vector<Rec>({Message(0, {0xC0, 3}), Message(16512, {0xC0, 4})}));
}

TEST(BuildScoreSequence, LongNoteBecomesAReStrikeChain) {
  Built built = BuildScore({Note(0, 0, 60, 40000)});
  const Bytes expected = Cat({Header120(),
                              {0x00, 0x1C, 0xFF, 0x7F},        // tick 0, gate 16511
                              {0xFF, 0x7E, 0x1C, 0xFF, 0x7F},  // tick 16510, gate 16511
                              {0xFF, 0x7E, 0x1C, 0xB5, 0x44},  // tick 33020, gate 6980
                              {0xB5, 0x44, 0xFF, 0x00},        // closing at 40000
                              kClosingZeros});
  EXPECT_EQ(built.body, expected) << Hex(built.body);
  EXPECT_EQ(built.decoded, std::vector<Rec>({Played(0, 0, 60, 40000)}));
}

TEST(BuildScoreSequence, ReStrikesInterleaveWithLaterEventsAndKeepTheirOctave) {
  // Note 100 (octave 2) sounds 0..20000; note 40 on the same channel moves the channel to
  // octave 0 before the re-strike at 16510, which must shift back.
  Built built =
      BuildScore({Note(0, 1, 100, 20000), Note(16000, 1, 40, 16600), Message(16600, {0xC1, 9})});
  EXPECT_EQ(built.decoded, std::vector<Rec>({Played(0, 1, 100, 20000), Played(16000, 1, 40, 16600),
                                             Message(16600, {0xC1, 9})}));
  // Same-tick re-strikes come in channel order, then note order.
  Built pair = BuildScore({Note(0, 3, 50, 20000), Note(0, 1, 70, 20000), Note(0, 1, 60, 20000)});
  const Bytes restrikes = {0xFF, 0x7E, 0x5C, 0x9A, 0x22, 0x00, 0x6A,
                           0x9A, 0x22, 0x00, 0xD2, 0x9A, 0x22};
  auto at = std::search(pair.body.begin(), pair.body.end(), restrikes.begin(), restrikes.end());
  EXPECT_NE(at, pair.body.end()) << Hex(pair.body);
}

TEST(BuildScoreSequence, EarlierEventIsWrittenAtDeltaZero) {
  Built built =
      BuildScore({Message(500, {0xC0, 1}), Message(200, {0xC0, 2}), Message(600, {0xC0, 3})});
  EXPECT_EQ(EventBytes(built),
            Bytes({0x82, 0x74, 0x00, 0x30, 0x01, 0x00, 0x00, 0x30, 0x02, 0x64, 0x00, 0x30, 0x03}))
      << Hex(built.body);
}

TEST(BuildScoreSequence, LongNoteWrittenLateKeepsItsWholeLength) {
  // The long note comes after an event at 20000, so it is written there; its chain follows.
  Built built = BuildScore({Message(20000, {0xC0, 1}), Note(100, 0, 60, 40100)});
  EXPECT_EQ(built.decoded,
            std::vector<Rec>({Message(20000, {0xC0, 1}), Played(20000, 0, 60, 60000)}));
}

TEST(BuildScoreSequence, ClosingDeltaRunsToTheLatestEnd) {
  struct Case {
    const char* name;
    std::vector<Rec> events;
    Bytes closing;
    uint32_t endValue;
  };
  const Case cases[] = {
      {"empty list", {}, {0x00, 0xFF, 0x00}, 10},
      {"note ends later",
       {Note(0, 0, 60, 1000), Message(100, {0xC0, 1})},
       {0x86, 0x04, 0xFF, 0x00},
       18},
      {"nothing ends later",
       {Note(0, 0, 60, 100), Message(300, {0xC0, 1})},
       {0x00, 0xFF, 0x00},
       18},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Built built = BuildScore(c.events);
    Bytes tail(built.body.end() - static_cast<long>(c.closing.size() + 4), built.body.end());
    EXPECT_EQ(tail, Cat({c.closing, kClosingZeros})) << Hex(built.body);
    EXPECT_EQ(built.build->GetEndValue(), c.endValue);
  }
}

TEST(BuildScoreSequence, TempoBytesOfTheHeader) {
  struct Case {
    uint16_t tempo;
    uint8_t byte;
  };
  // Rounded as the loader reads the byte back: 8739 / 400 = 21.85 gives 22 - 1.
  const Case cases[] = {{120, 0x11}, {100, 0x15}, {0, 242},  {8, 242},
                        {9, 242},    {2184, 0},   {2185, 0}, {65535, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tempo);
    Built built = BuildScore({}, 0, velktest::UnsetRecord(), 480, c.tempo);
    EXPECT_EQ(built.body[8], c.byte);
    EXPECT_EQ(built.exclusiveValue, c.byte);
    EXPECT_EQ(built.priority, 1);
    // What the loader makes of the byte lies within the tempo range again.
    auto back = static_cast<int>(8739.0 / (4.0 * c.byte + 4.0) + 0.5);
    EXPECT_GE(back, 9);
    EXPECT_LE(back, 2185);
  }
}

TEST(BuildScoreSequence, ShortNotesAreDropped) {
  struct Case {
    const char* name;
    uint16_t division;
    Rec note;
    bool kept;
  };
  const Case cases[] = {
      {"one q", 480, Note(100, 0, 60, 120), true},
      {"below q", 480, Note(100, 0, 60, 119), false},
      {"end at its tick", 480, Note(100, 0, 60, 100), false},
      {"end before its tick", 480, Note(100, 0, 60, 40), false},
      {"division below 24 takes q as 1", 12, Note(100, 0, 60, 101), true},
      {"division 0", 0, Note(100, 0, 60, 101), true},
      {"division 0, no length", 0, Note(100, 0, 60, 100), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Built built = BuildScore({c.note}, 0, velktest::UnsetRecord(), c.division);
    std::vector<Rec> expected;
    if (c.kept) expected.push_back(Played(c.note.tick, 0, 60, c.note.end));
    EXPECT_EQ(built.decoded, expected);
    EXPECT_EQ(built.prepared.size(), c.kept ? 1u : 0u);
  }
}

TEST(BuildScoreSequence, OverlappingNotesMerge) {
  Built built = BuildScore({Note(0, 1, 60, 100), Note(50, 1, 60, 300), Note(60, 2, 60, 90),
                            Note(80, 1, 60, 200), Note(300, 1, 60, 400)});
  EXPECT_EQ(built.prepared,
            std::vector<Rec>({Note(0, 1, 60, 300), Note(60, 2, 60, 90), Note(300, 1, 60, 400)}));
  EXPECT_EQ(built.decoded, std::vector<Rec>({Played(0, 1, 60, 300), Played(60, 2, 60, 90),
                                             Played(300, 1, 60, 400)}));
}

TEST(BuildScoreSequence, ModulationSplitsTheSoundingNoteAndDecodesAsOne) {
  // q = 20 at division 480.
  Built built = BuildScore({Note(0, 0, 60, 1000), Message(500, {0xB0, 0x01, 0x40}),
                            Message(990, {0xB0, 0x01, 0x50}), Message(600, {0xB1, 0x01, 0x10})});
  EXPECT_EQ(built.prepared,
            std::vector<Rec>({Note(0, 0, 60, 520), Message(500, {0xB0, 0x01, 0x40}),
                              Note(500, 0, 60, 1000), Message(990, {0xB0, 0x01, 0x50}),
                              Message(600, {0xB1, 0x01, 0x10})}));
  EXPECT_EQ(built.decoded,
            std::vector<Rec>({Played(0, 0, 60, 1000), Message(500, {0xB0, 0x01, 0x40}),
                              Message(990, {0xB0, 0x01, 0x50}), Message(990, {0xB1, 0x01, 0x10})}));
}

TEST(BuildScoreSequence, OnlyTheTracksChannelsAreWritten) {
  const std::vector<Rec> events = {Note(0, 0, 60, 100),    Note(0, 3, 61, 100),
                                   Note(0, 4, 62, 100),    Note(0, 5, 63, 100),
                                   Note(0, 7, 64, 100),    Note(0, 8, 65, 100),
                                   Message(10, {0xC5, 7}), Message(10, {0xF0, 0x7E, 0xF7})};
  Built track0 = BuildScore(events, 0);
  EXPECT_EQ(track0.decoded, std::vector<Rec>({Played(0, 0, 60, 100), Played(0, 3, 61, 100)}));
  Built track2 = BuildScore(events, 2);
  EXPECT_EQ(Bytes(track2.body.begin(), track2.body.begin() + 10), Header120(3));
  EXPECT_EQ(track2.decoded, std::vector<Rec>({Played(0, 4, 62, 100), Played(0, 5, 63, 100),
                                              Played(0, 7, 64, 100), Message(10, {0xC5, 7})}));
  // Channel 5 is the second channel of the track: its note byte carries channel 1.
  EXPECT_EQ(track2.body[14], 0x63) << Hex(track2.body);
}

TEST(BuildScoreSequence, ControllerTable) {
  // Controller -> control code; the others are not written.
  const std::pair<uint8_t, uint8_t> written[] = {
      {0, 0x31}, {1, 0x33}, {7, 0x37}, {10, 0x3A}, {11, 0x3B}};
  for (int controller = 0; controller < 128; ++controller) {
    SCOPED_TRACE(controller);
    Built built = BuildScore({Message(0, {0xB2, static_cast<uint8_t>(controller), 0x41})});
    uint8_t code = 0;
    for (auto [c, k] : written) {
      if (c == controller) code = k;
    }
    if (code == 0) {
      EXPECT_TRUE(EventBytes(built).empty()) << Hex(built.body);
      EXPECT_TRUE(built.decoded.empty());
      continue;
    }
    uint8_t value = controller == 7 ? 0x40 : 0x41;  // volume 65 quantizes to 64
    EXPECT_EQ(EventBytes(built), Bytes({0x00, 0x00, static_cast<uint8_t>(0x80 | code), value}));
    EXPECT_EQ(built.decoded,
              std::vector<Rec>({Message(0, {0xB2, static_cast<uint8_t>(controller), value})}));
  }
}

TEST(BuildScoreSequence, OtherChannelMessages) {
  struct Case {
    const char* name;
    Bytes message;
    Bytes written;
    std::vector<Rec> decoded;
  };
  const Case cases[] = {
      {"program", {0xC1, 0x2A}, {0x00, 0x00, 0x70, 0x2A}, {Message(0, {0xC1, 0x2A})}},
      {"pitch bend keeps its MSB",
       {0xE3, 0x11, 0x52},
       {0x00, 0x00, 0xF4, 0x52},
       {Message(0, {0xE3, 0x00, 0x52})}},
      {"note off", {0x80, 60, 0}, {}, {}},
      {"note on with velocity 0", {0x90, 60, 0}, {}, {}},
      {"polyphonic pressure", {0xA0, 60, 10}, {}, {}},
      {"channel pressure", {0xD0, 10}, {}, {}},
      {"short controller", {0xB0, 7}, {}, {}},
      {"meta event", {0xFF, 0x51, 0x03, 1, 2, 3}, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Built built = BuildScore({Message(0, c.message)});
    EXPECT_EQ(EventBytes(built), c.written) << Hex(built.body);
    EXPECT_EQ(built.decoded, c.decoded);
  }
}

TEST(BuildScoreSequence, SetupEventsOfTrackModes) {
  SongOutputRecord setup = velktest::UnsetRecord();
  // Channels 4-7 (track 2): channel 5 is unset throughout, channel 6 has only a volume.
  const uint8_t banks[] = {1, 0xFF, 0xFF, 4}, programs[] = {11, 0xFF, 0xFF, 14},
                volumes[] = {0, 0xFF, 127, 60};
  for (int i = 0; i < 4; ++i) {
    setup.bytes[4 + i] = banks[i];
    setup.bytes[20 + i] = programs[i];
    setup.bytes[36 + i] = volumes[i];
  }
  Built built = BuildScore({}, 2, setup);
  const Bytes expected =
      Cat({Header120(3),
           {0x00, 0x00, 0x31, 0x01, 0x00, 0x00, 0x30, 0x0B},
           {0x00, 0x00, 0xF1, 0x04, 0x00, 0x00, 0xF0, 0x0E},
           {0x00, 0x00, 0x37, 0x08, 0x00, 0x00, 0xB7, 0x7F, 0x00, 0x00, 0xF7, 0x3D},
           {0x00, 0xFF, 0x00},
           kClosingZeros});
  EXPECT_EQ(built.body, expected) << Hex(built.body);
}

TEST(BuildScoreSequence, BoardRecordsDecodeBackUnchanged) {
  struct Case {
    uint8_t trackMode;
    std::vector<Rec> records;
    std::vector<Rec> decoded;
  };
  const Rec board0 = Message(30, {0xF0, 0xF0, 0x55}), board3 = Message(30, {0xF8, 0xF0, 0x66});
  const Rec pair2 = Message(40, {0xF2, 0xF1, 0x12, 0x34}),
            pair10 = Message(40, {0xFA, 0xF1, 0x56, 0x78});
  const Case cases[] = {
      {0, {board0, board3, pair2, pair10}, {board0, pair2}},
      {3, {board0, board3, pair2, pair10}, {board3, pair10}},
      {1, {board0, pair2}, {board0, pair2}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.trackMode);
    Built built = BuildScore(c.records, c.trackMode);
    EXPECT_EQ(built.decoded, c.decoded) << Hex(built.body);
  }
  Built built = BuildScore({board0, pair2});
  EXPECT_EQ(EventBytes(built), Cat({{0x1E, 0xFF, 0xF0, 0x06, 0x43, 0x03, 0x91, 0xF0, 0x55, 0xF7},
                                    {0x0A, 0xFF, 0xF0, 0x06, 0x43, 0x03, 0x90, 0xB2, 0x12, 0xF7},
                                    {0x00, 0xFF, 0xF0, 0x06, 0x43, 0x03, 0x90, 0xC2, 0x34, 0xF7}}))
      << Hex(built.body);
}

TEST(BuildScoreSequence, MarksRecordTheOffsetsBehindThem) {
  Built built = BuildScore({Mark(0, 8), Note(0, 0, 60, 100), Mark(50, 3), Mark(50, 8), Mark(100, 7),
                            Mark(100, 9), Message(100, {0xC0, 1})});
  // Header 10 bytes; each FF 00 with its delta is 3 bytes, the note 3, the program 4.
  ASSERT_NE(built.build->GetStartPoint(), nullptr);
  EXPECT_EQ(*built.build->GetStartPoint(), 22u);  // the later START
  ASSERT_NE(built.build->GetStopPoint(), nullptr);
  EXPECT_EQ(*built.build->GetStopPoint(), 28u);
  ASSERT_EQ(built.build->GetMarkCount(), 2u);
  EXPECT_EQ(built.build->GetMark(0)->kind, 'A');
  EXPECT_EQ(built.build->GetMark(0)->start, 19u);
  EXPECT_EQ(built.build->GetMark(1)->kind, 'R');
  EXPECT_EQ(built.build->GetMark(1)->start, 25u);
  EXPECT_EQ(built.build->GetEndValue(), 32u);
  EXPECT_EQ(built.decoded, std::vector<Rec>({Played(0, 0, 60, 100), Cue(50, 3), Cue(50, 8),
                                             Cue(100, 7), Cue(100, 9), Message(100, {0xC0, 1})}));
}

TEST(BuildScoreSequence, TheScratchListHoldsThePreparedCopies) {
  velktest::PlayList list(
      {Note(0, 0, 60, 1000), Message(500, {0xB0, 0x01, 0x40}), Note(10, 0, 61, 11)});
  velktest::RecordList scratch;
  CTrackBuild build;
  auto chunk = BuildScoreSequence(120, 480, 4, velktest::UnsetRecord(), list.List(), scratch.List(),
                                  build, 0);
  EXPECT_EQ(chunk->GetId(), kIdMtsq);
  EXPECT_EQ(scratch.Records(),
            std::vector<Rec>(
                {Note(0, 0, 60, 520), Message(500, {0xB0, 0x01, 0x40}), Note(500, 0, 60, 1000)}));
  // The play list itself is left as it was.
  EXPECT_EQ(list.Records(),
            std::vector<Rec>(
                {Note(0, 0, 60, 1000), Message(500, {0xB0, 0x01, 0x40}), Note(10, 0, 61, 11)}));
}

TEST(BuildAudioSequence, WaveNotesVolumePanAndMarks) {
  Built built =
      BuildAudio({Note(0, 0, 5, 100), Note(0, 0, 0, 100), Note(0, 0, 64, 100), Mark(20, 1),
                  Message(20, {0xB0, 0x07, 100}), Message(30, {0xB1, 0x0A, 0x20}),
                  Message(30, {0xB0, 0x0B, 0x20}), Message(40, {0xC0, 3}), Note(40, 2, 63, 50000)});
  const Bytes expected = Cat({Header120(),
                              {0x00, 0x05, 0x64},              // wave 5, gate 100
                              {0x14, 0xFF, 0x00},              // mark at 20
                              {0x00, 0x00, 0x37, 0x62},        // volume 100 -> 98
                              {0x0A, 0x00, 0x3A, 0x20},        // pan
                              {0x0A, 0x3F, 0xFF, 0x7F},        // wave 63 at 40, gate 16511
                              {0xFF, 0x7E, 0x3F, 0xFF, 0x7F},  // re-strikes
                              {0xFF, 0x7E, 0x3F, 0xFF, 0x7F},
                              {0xFF, 0x7E, 0x3F, 0x82, 0x2E},
                              {0x82, 0x2E, 0xFF, 0x00},  // closing at 50000
                              kClosingZeros});
  EXPECT_EQ(built.body, expected) << Hex(built.body);
  EXPECT_EQ(built.build->GetMarkCount(), 1u);
  EXPECT_EQ(
      built.decoded,
      std::vector<Rec>({Rec{0, {0x90, 5}, 100, 0}, Cue(20, 1), Rec{20, {0xB0, 0x07, 98}, 20, 0},
                        Rec{30, {0xB0, 0x0A, 0x20}, 30, 0}, Rec{40, {0x90, 63}, 50000, 0}}));
}

}  // namespace

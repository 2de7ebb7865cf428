// The conversion job and its two engines over hand-made VELK images.
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "song/MemStream.h"
#include "song/VoiceTable1.h"
#include "velk/ConvertJob.h"
#include "velk/Crc16.h"
#include "velk/SequenceNumbers.h"
#include "velk/VelkConvEngine.h"
#include "velk/VelkConvEngineB.h"

namespace {

using Bytes = std::vector<uint8_t>;

void Append(Bytes& out, const Bytes& more) { out.insert(out.end(), more.begin(), more.end()); }

void PutBE32(Bytes& out, uint32_t v) {
  for (int i = 3; i >= 0; --i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

Bytes Chunk(const char* id, const Bytes& body) {
  Bytes out(id, id + 4);
  PutBE32(out, static_cast<uint32_t>(body.size()));
  Append(out, body);
  return out;
}

/// "MMMD" around the chunks, closed with its CRC.
Bytes Image(const std::vector<Bytes>& chunks) {
  Bytes body;
  for (const Bytes& c : chunks) Append(body, c);
  Bytes out = {'M', 'M', 'M', 'D'};
  PutBE32(out, static_cast<uint32_t>(body.size() + 2));
  Append(out, body);
  const uint16_t crc = Crc16(static_cast<uint32_t>(out.size()), out.data());
  out.push_back(static_cast<uint8_t>(crc >> 8));
  out.push_back(static_cast<uint8_t>(crc));
  return out;
}

/// A score track: format and sequence bytes, two time-base codes, the channel word, chunks.
Bytes Track(uint8_t number, const std::vector<Bytes>& chunks, Bytes head = {0, 0, 2, 2, 0, 0}) {
  Bytes body = head;
  for (const Bytes& c : chunks) Append(body, c);
  const char id[] = {'M', 'T', 'R', static_cast<char>(number)};
  return Chunk(id, body);
}

/// A compact sequence by hand: the tempo header, then events, then the closing.
class Seq {
 public:
  explicit Seq(uint8_t tempoCode) { bytes = {0x00, 0xFF, 0xF0, 0x06, 0x43, 0x01, 0x80, 0x31, tempoCode, 0xF7}; }
  Seq& Control(uint8_t delta, int channel, uint8_t code, uint8_t value) {
    Append(bytes, {delta, 0x00, static_cast<uint8_t>((channel << 6) | code), value});
    return *this;
  }
  /// A note 37..84 at octave base 0, delta and gate below 128.
  Seq& Note(uint8_t delta, int channel, int note, uint8_t gate) {
    const int block = (note - 37) / 12;
    const int k = note % 12 == 0 ? 12 : note % 12;
    Append(bytes, {delta, static_cast<uint8_t>((channel << 6) | (block << 4) | k), gate});
    return *this;
  }
  Seq& Raw(const Bytes& more) {
    Append(bytes, more);
    return *this;
  }
  Seq& Mark(uint8_t delta) {
    Append(bytes, {delta, 0xFF, 0x00});
    marks.push_back(static_cast<uint32_t>(bytes.size()));
    return *this;
  }
  Bytes Closed() const {
    Bytes out = bytes;
    Append(out, {0x00, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00});
    return out;
  }
  Bytes bytes;
  std::vector<uint32_t> marks;
};

struct Word {
  uint32_t time;
  int channel;
  int note;
};

/// The notes of KZ-1 data by the reader's tables, at divisor 1, without the tie pass.
std::vector<Word> Notes(const Bytes& data) {
  static const int rest[16] = {3, 2, 3, 4, 6, 8, 9, 12, 18, 24, 48, 1, 16, 24, 36, 48};
  static const int step[16] = {0, 2, 3, 4, 6, 8, 9, 12, 18, 24, 48, 0, 16, 24, 36, 48};
  static const int offset[16] = {0, 0, 1, 2, 0, 3, 4, 5, 0, 6, 7, 8, 0, 9, 10, 11};
  std::vector<Word> out;
  uint32_t time = 0;
  for (size_t i = 84; i + 1 < data.size(); i += 2) {
    const int w = (data[i] << 8) | data[i + 1];
    const int d = (w >> 3) & 15;
    if ((w & 0xFC00) == 0x3000) {
      time += static_cast<uint32_t>(rest[d]);
      continue;
    }
    const int c = (w >> 10) & 15;
    if (c != 0 && c != 8 && c != 12) out.push_back({time, (w >> 8) & 3, offset[c] + 37 + 12 * (w >> 14)});
    time += static_cast<uint32_t>(step[d]);
  }
  return out;
}

class ConvertJobTest : public ::testing::Test {
 protected:
  ConvertJobTest() {
    // Voice 0 of the first table allows every range and has multiples per range.
    uint8_t* entry = first.GetEntry(0);
    for (int i = 0; i < 8; ++i) entry[20 + i] = static_cast<uint8_t>(0x11 * (i + 1));
    for (int r = 0; r < 4; ++r) entry[28 + r] = static_cast<uint8_t>(((r + 1) << 4) | (r + 2));
    entry[32] = 0xF1;
  }

  int Run(const Bytes& image, bool qxCue, const char* phrase = nullptr) {
    Bytes copy = image;
    CMemStream in(copy.data(), static_cast<int32_t>(copy.size()), false);
    CMemStream out;
    CConvertJob job(in, first, second, out, qxCue);
    if (phrase) job.Check(phrase);
    const int result = job.Run();
    output = out.GetSize() ? Bytes(out.GetData(), out.GetData() + out.GetSize()) : Bytes();
    return result;
  }

  Bytes OneTrack(const Seq& seq, const std::vector<Bytes>& before = {}) {
    std::vector<Bytes> chunks = before;
    chunks.push_back(Chunk("Mtsq", seq.Closed()));
    return Image({Chunk("CNTI", {0, 1, 2}), Track(0, chunks)});
  }

  CVoiceTable1 first;
  CVoiceTable1 second;
  Bytes output;
};

TEST_F(ConvertJobTest, SongWithoutNotesGivesTheBareHeader) {
  for (bool qx : {true, false}) {
    ASSERT_EQ(Run(OneTrack(Seq(7)), qx), 0);
    ASSERT_EQ(output.size(), 84u);
    EXPECT_EQ((output[0] << 8) | output[1], 84);
    EXPECT_EQ(Bytes(output.begin() + 66, output.begin() + 70), (Bytes{0x32, 0x10, 0x00, 7}));
  }
}

TEST_F(ConvertJobTest, NotesComeOutScaledOnTheirPartsInOrder) {
  // Tempo code 0: times scale by 1.7478. Parts follow the channels: channel 1 is part 0.
  Seq seq(0);
  seq.Control(0, 1, 0x30, 0).Note(0, 1, 60, 10).Note(10, 2, 50, 10).Note(13, 1, 62, 20).Note(40, 2, 52, 5);
  ASSERT_EQ(Run(OneTrack(seq), true), 0);
  const auto notes = Notes(output);
  ASSERT_EQ(notes.size(), 4u);
  const uint32_t ticks[] = {0, 10, 23, 63};
  const int channels[] = {0, 1, 0, 1};
  // Every part's notes lie in 49..84: range 1, which the KZ-1 reader reads back unchanged.
  const int pitches[] = {60, 50, 62, 52};
  for (size_t i = 0; i < notes.size(); ++i) {
    EXPECT_EQ(notes[i].time, static_cast<uint32_t>(std::llround(ticks[i] * 1.7478))) << i;
    EXPECT_EQ(notes[i].channel, channels[i]) << i;
    EXPECT_EQ(notes[i].note, pitches[i]) << i;
  }
  EXPECT_EQ((output[0] << 8) | output[1], static_cast<int>(output.size()));
}

TEST_F(ConvertJobTest, PartRecordCarriesRangeMultiplesAndVolume) {
  Seq seq(30);
  // Notes 61..90 need range 2 (61..96); the volume 10 gives volume code 58.
  seq.Control(0, 0, 0x37, 10).Control(0, 0, 0x32, 2).Raw({0, 0x01, 5}).Raw({5, 0x26, 5});
  ASSERT_EQ(Run(OneTrack(seq), true), 0);
  const uint32_t modulator = output[2] | (output[3] << 8) | (output[4] << 16) | (uint32_t{output[5]} << 24);
  const uint32_t carrier = output[6] | (output[7] << 8) | (output[8] << 16) | (uint32_t{output[9]} << 24);
  EXPECT_EQ(modulator >> 29, 3u);
  EXPECT_EQ(carrier >> 29, 4u);
  EXPECT_EQ((carrier >> 4) & 63, 58u);
  EXPECT_EQ(modulator & 0x1FFFFFFF, 0x11223344u & 0x1FFFFFFF);
}

TEST_F(ConvertJobTest, LongNoteBecomesTiedWordsOfTheSamePitch) {
  Seq seq(0);
  seq.Note(0, 0, 60, 100);  // 175 units
  ASSERT_EQ(Run(OneTrack(seq), true), 0);
  std::vector<int> ties;
  for (size_t i = 84; i + 1 < output.size(); i += 2) {
    const int w = (output[i] << 8) | output[i + 1];
    if ((w & 0xFC00) == 0x3000) continue;
    ties.push_back(((w >> 3) & 15) >= 11 && (w & 7) == 7 ? 1 : 0);
  }
  EXPECT_EQ(ties, (std::vector<int>{1, 1, 1, 0}));
  for (const Word& w : Notes(output)) EXPECT_EQ(w.note, 60);
}

TEST_F(ConvertJobTest, ErrorTable) {
  struct Case {
    const char* name;
    Bytes image;
    int a;
    int b;
  };
  Bytes badCrc = OneTrack(Seq(0));
  badCrc.back() ^= 1;
  Bytes notMmmd = OneTrack(Seq(0));
  notMmmd[0] = 'X';
  Seq fourOctaves(0);
  fourOctaves.Note(0, 0, 40, 1).Control(0, 0, 0x32, 3).Raw({1, 0x3C, 1});
  Seq outsideRange(0);
  outsideRange.Note(0, 0, 37, 1).Note(1, 0, 80, 1);
  Bytes badDuration = OneTrack(Seq(0).Raw({0x80, 0x80, 0x80, 0x01, 0x01}));
  const std::vector<Case> cases = {
      {"not MMMD", notMmmd, -1, -1},
      {"checksum", badCrc, -10, -10},
      {"time-base code 4", Image({Track(0, {Chunk("Mtsq", Seq(0).Closed())}, {0, 0, 4, 2, 0, 0})}), -5, -5},
      {"time-base code 32", Image({Track(0, {Chunk("Mtsq", Seq(0).Closed())}, {0, 0, 2, 32, 0, 0})}), -5, -5},
      {"track byte 0", Image({Track(0, {Chunk("Mtsq", Seq(0).Closed())}, {1, 0, 2, 2, 0, 0})}), -4, -4},
      {"format byte", Image({Track(0, {Chunk("Mtsq", Seq(0).Closed())}, {0, 1, 2, 2, 0, 0})}), -3, -3},
      {"four octaves", OneTrack(fourOctaves), -8, -8},
      {"no allowed range holds it", OneTrack(outsideRange), -8, 1},
      {"third duration byte", badDuration, -1, -1},
      {"sequence ends early", Image({Track(0, {Chunk("Mtsq", Seq(0).Note(0, 0, 60, 1).bytes)})}), -2, -2},
      {"chunk runs past the end", Image({Chunk("Mxxx", {1, 2}), Bytes{'M', 'T', 'R', 0, 0, 0, 0, 9}}), -7, -7},
  };
  first.GetEntry(0)[32] = 0x11;  // range 0 only: 37..72
  for (const Case& c : cases) {
    EXPECT_EQ(Run(c.image, true), c.a) << c.name << " (engine A)";
    EXPECT_EQ(Run(c.image, false), c.b) << c.name << " (engine B)";
  }
}

TEST_F(ConvertJobTest, TimeBaseCodesOfTheTable) {
  for (uint8_t code : {0, 1, 2, 3, 16, 17, 18, 19}) {
    EXPECT_EQ(Run(Image({Track(0, {Chunk("Mtsq", Seq(0).Closed())}, {0, 0, code, code, 0, 0})}), true), 0)
        << int{code};
  }
}

TEST_F(ConvertJobTest, EngineBLeavesOutNotesOutsideTheRange) {
  first.GetEntry(0)[32] = 0x11;
  Seq seq(0);
  seq.Note(0, 0, 40, 1).Note(2, 0, 80, 1).Note(2, 0, 41, 1);
  ASSERT_EQ(Run(OneTrack(seq), false), 1);
  const auto notes = Notes(output);
  ASSERT_EQ(notes.size(), 2u);
  EXPECT_EQ(notes[1].note, 41 + 12);
}

TEST_F(ConvertJobTest, TracksNumberedEightOrMoreAreSkipped) {
  Bytes image = Image({Track(0, {Chunk("Mtsq", Seq(0).Note(0, 0, 60, 1).Closed())}),
                       Track(9, {Chunk("Mtsq", {0xFF, 0xFF})}, {7, 7, 99, 99, 0, 0})});
  EXPECT_EQ(Run(image, true), 0);
  EXPECT_EQ(Notes(output).size(), 1u);
}

TEST_F(ConvertJobTest, EngineBConvertsTheSelectedPhraseOnly) {
  Seq seq(0);
  seq.Note(0, 0, 50, 1).Mark(10);
  const uint32_t start = seq.marks.back();
  seq.Note(0, 0, 52, 1).Note(20, 0, 53, 1).Mark(10);
  const uint32_t stop = seq.marks.back();
  seq.Note(0, 0, 55, 1);
  Bytes spi;
  auto entry = [&](const std::string& tag, std::vector<uint32_t> values) {
    Append(spi, Bytes(tag.begin(), tag.end()));
    spi.push_back(':');
    for (uint32_t v : values) PutBE32(spi, v);
    spi.push_back(',');
  };
  entry("st", {0});
  entry("PA", {start, stop});
  entry("P{", {0, 99});  // not a phrase letter
  entry("xx", {1});
  const Bytes image = OneTrack(seq, {Chunk("MspI", spi)});
  ASSERT_EQ(Run(image, false, "PA"), 0);
  auto notes = Notes(output);
  ASSERT_EQ(notes.size(), 2u);
  EXPECT_EQ(notes[0].note, 52);
  EXPECT_EQ(notes[0].time, 0u);
  EXPECT_EQ(notes[1].time, static_cast<uint32_t>(std::llround(20 * 1.7478)));
  // A phrase the track does not have converts the whole song; engine A ignores phrases.
  EXPECT_EQ(Run(image, false, "PB"), 0);
  EXPECT_EQ(Notes(output).size(), 4u);
  EXPECT_EQ(Run(image, true, "PA"), 0);
  EXPECT_EQ(Notes(output).size(), 4u);
}

TEST_F(ConvertJobTest, EngineBTakesTheSetupTempoByte) {
  const Bytes setup = {0xFF, 0xF0, 0x05, 0x43, 0x02, 0x80, 12, 0xF7};
  const Bytes image = OneTrack(Seq(5), {Chunk("Mtsu", setup)});
  ASSERT_EQ(Run(image, false), 0);
  EXPECT_EQ(output[69], 12);
  ASSERT_EQ(Run(image, true), 0);
  EXPECT_EQ(output[69], 5);
}

TEST_F(ConvertJobTest, EveryPrefixOfAValidImageFails) {
  Seq seq(3);
  seq.Control(0, 0, 0x30, 0).Note(0, 0, 60, 10).Note(12, 1, 62, 10);
  const Bytes image = OneTrack(seq);
  for (size_t n = 0; n < image.size(); ++n) {
    const Bytes prefix(image.begin(), image.begin() + static_cast<std::ptrdiff_t>(n));
    EXPECT_LT(Run(prefix, true), 0) << n;
    EXPECT_LT(Run(prefix, false), 0) << n;
  }
  EXPECT_EQ(Run(image, false), 0);
}

TEST_F(ConvertJobTest, ReaderFailsAShortReadAndLookupCopiesThirteenBytes) {
  Bytes bytes = {1, 2, 3};
  CMemStream in(bytes.data(), 3, false);
  CMemStream out;
  for (int i = 0; i < 33; ++i) second.GetEntry(5)[i] = static_cast<uint8_t>(i);
  CConvertJob job(in, first, second, out, false);
  uint8_t buffer[4] = {};
  uint32_t count = 7;
  EXPECT_FALSE(job.Read(buffer, 4, count));
  EXPECT_EQ(count, 0u);
  ASSERT_TRUE(job.Seek(1));
  EXPECT_TRUE(job.Read(buffer, 2, count));
  EXPECT_EQ(count, 2u);
  EXPECT_EQ(buffer[0], 2);
  const uint8_t* voice = nullptr;
  ASSERT_TRUE(job.Lookup(0x85, 0x3F, voice));
  EXPECT_EQ(Bytes(voice, voice + 13), (Bytes{20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32}));
}

TEST_F(ConvertJobTest, CheckSelectsPhrasesOnlyWithoutQxCue) {
  Bytes bytes = {0};
  CMemStream in(bytes.data(), 1, false);
  CMemStream out;
  CConvertJob qx(in, first, second, out, true);
  EXPECT_TRUE(qx.Check("X"));
  CConvertJob job(in, first, second, out, false);
  EXPECT_FALSE(job.Check("XA"));
  EXPECT_TRUE(job.Check("PA"));
  EXPECT_TRUE(job.Check(nullptr));

  struct Case {
    const char* code;
    bool accepted;
    char stored;
  };
  const Case cases[] = {{"Pa", true, 'a'}, {"Pz", true, 'z'}, {"PA", true, 'A'}, {"PB", true, 'B'},
                        {"PE", true, 'E'}, {"PI", true, 'I'}, {"PK", true, 'K'}, {"PS", true, 'S'},
                        {"PR", true, 'R'}, {"PC", true, 0},   {"PZ", true, 0},   {"QA", false, 0}};
  for (const Case& c : cases) {
    CVelkConvEngineB engine;
    EXPECT_EQ(engine.SelectPhrase(c.code), c.accepted) << c.code;
    EXPECT_EQ(engine.GetPhrase(), c.stored) << c.code;
  }
}

TEST(VelkConvEngine, ThreeByteDurationAddsOneMoreThanTheSequenceDecoder) {
  const uint8_t bytes[] = {0x80, 0x80, 0x00};
  uint32_t pos = 0;
  EXPECT_EQ(CVelkConvEngine::ReadDuration(bytes, 3, pos), 16512);
  EXPECT_EQ(pos, 3u);
  uint8_t copy[] = {0x80, 0x80, 0x00};
  CMemStream stream(copy, 3, false);
  EXPECT_EQ(ReadSeqNumber(stream), 16511u);
  const uint8_t two[] = {0x81, 0x05};
  pos = 0;
  EXPECT_EQ(CVelkConvEngine::ReadDuration(two, 2, pos), 128 + 128 + 5);
  pos = 0;
  EXPECT_EQ(CVelkConvEngine::ReadDuration(two, 1, pos), -2);
}

TEST(VelkConvEngine, VolumeCodes) {
  const std::pair<int, int> cases[] = {{0, 63}, {8, 63}, {9, 61}, {10, 58}, {64, 15},
                                       {125, 0}, {126, 0}, {127, 0}};
  for (auto [volume, code] : cases) EXPECT_EQ(CVelkConvEngine::VolumeCode(volume), code) << volume;
}

}  // namespace

// Score tracks: header rules, child dispatch by format type, expansion and write order.
#include "velk/ScoreTrackChunk.h"

#include <gtest/gtest.h>

#include "VelkBytes.h"

namespace {

using velktest::Builder;
using velktest::Bytes;
using velktest::ThrownCode;

const Bytes kStatus16(16, 0x00);
const Bytes kAbbaCompressed = {0x00, 0x00, 0x00, 0x04, 0x90, 0x48, 0x4C};

// One child of every kind and an unknown one. A compressed track cannot hold a plain "Mtsq",
// so that one is left out on request.
Bytes Children(bool withSequence = true) {
  Builder b;
  b.Chunk("MspI", {'s', 't', ':', 0, 0, 0, 0, ','});
  b.Chunk("Mtsu", {0xFF, 0xF0, 0x05, 0x43, 0x02, 0x80, 0x11, 0xF7});
  if (withSequence) b.Chunk("Mtsq", {0x00, 0x00, 0x00, 0x00});
  b.Chunk("Mtsp", Builder().Chunk("Mwa", 1, {0x01, 0x1F, 0x40, 0x80}));
  return b.Chunk("Xtra", {1});
}

// A track chunk: four header bytes, the channel word or status bytes, then the children.
Bytes Track(uint8_t n, uint8_t format, uint8_t byte1, const Bytes& children) {
  Builder body;
  body.Raw({format, byte1, 0x18, 0x00});
  if (n >= 5) {
    body.Raw(kStatus16);
  } else {
    body.Raw({0x12, 0x34});
  }
  body.Raw(children);
  return Builder().Chunk("MTR", n, body);
}

std::unique_ptr<CScoreTrackChunk> ReadTrack(Bytes bytes, uint8_t n, uint32_t* report = nullptr) {
  CMemStream s = velktest::ReadStream(bytes);
  auto track = std::make_unique<CScoreTrackChunk>(s, n, report);
  EXPECT_TRUE(s.AtEnd());
  return track;
}

using velktest::Written;

TEST(ScoreTrackChunk, FormatTypeRulesAndChildDispatch) {
  struct Case {
    const char* name;
    uint8_t n;
    uint8_t format;
    uint8_t keptFormat;
    bool seek, setup, sequence, streamPcm;
  };
  const Case cases[] = {
      {"format 0 keeps seek, setup, sequence", 1, 0, 0, true, true, true, false},
      {"format 0 on track 0", 0, 0, 0, true, true, true, false},
      {"format 1 on track 2 is kept", 2, 1, 1, true, true, false, true},
      {"format 2 keeps the stream PCM", 5, 2, 2, true, true, true, true},
      {"track 5, format 0 not allowed", 5, 0, 0xFF, false, false, false, false},
      {"track 5, format 3 not allowed", 5, 3, 0xFF, false, false, false, false},
      {"track 6, format 1 not allowed", 6, 1, 0xFF, false, false, false, false},
      {"track 6, format 2", 6, 2, 2, true, true, true, true},
      {"format 3 skips every child", 1, 3, 3, false, false, false, false},
      {"format 0x80 skips every child", 1, 0x80, 0x80, false, false, false, false},
      {"format 0xC0 skips every child", 7, 0xC0, 0xC0, false, false, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto track = ReadTrack(Track(c.n, c.format, 0, Children(c.format != 1)), c.n);
    EXPECT_EQ(track->GetTrackNumber(), c.n);
    EXPECT_EQ(track->GetFormatType(), c.keptFormat);
    EXPECT_EQ(track->GetSeekPhraseChunk() != nullptr, c.seek);
    EXPECT_EQ(track->GetSetupChunk() != nullptr, c.setup);
    EXPECT_EQ(track->GetSequenceChunk() != nullptr, c.sequence);
    EXPECT_EQ(track->GetStreamPcmChunk() != nullptr, c.streamPcm);
  }
}

TEST(ScoreTrackChunk, HeaderByteOneMustBeZeroOnTracksFiveAndSix) {
  struct Case {
    uint8_t n;
    uint8_t format;
    int code;
  };
  const Case cases[] = {{5, 2, -1}, {6, 2, -1}, {5, 0, -1}, {1, 0, velktest::kNoThrow}, {7, 2, velktest::kNoThrow}};
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.n));
    Bytes bytes = Track(c.n, c.format, 0x01, {});
    CMemStream s = velktest::ReadStream(bytes);
    EXPECT_EQ(ThrownCode([&] { CScoreTrackChunk track(s, c.n, nullptr); }), c.code);
  }
}

TEST(ScoreTrackChunk, SplitsTheChannelWordIntoNibbles) {
  auto track = ReadTrack(Track(1, 0, 0, {}), 1);
  EXPECT_EQ(track->GetChannelWord(), 0x1234);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(track->GetChannelStatus(i), i + 1);
  }
  CScoreTrackChunk made(2, 0, 0, 0, 0, 0xA5F0);
  EXPECT_EQ(made.GetChannelStatus(0), 0xA);
  EXPECT_EQ(made.GetChannelStatus(3), 0x0);
}

TEST(ScoreTrackChunk, ARepeatedChildReplacesTheEarlier) {
  auto track = ReadTrack(Track(1, 0, 0, Builder().Chunk("Mtsq", {1}).Chunk("Mtsq", {2, 3})), 1);
  ASSERT_NE(track->GetSequenceChunk(), nullptr);
  EXPECT_EQ(track->GetSequenceChunk()->GetBodySize(), 2u);
  EXPECT_EQ(track->GetSequenceChunk()->GetBody()[0], 2);
}

TEST(ScoreTrackChunk, CompressedSequenceIsExpandedUnlessTheReportKeepsIt) {
  struct Case {
    const char* name;
    uint8_t format;
    bool withReport;
    uint32_t report;
    Bytes body;
  };
  const Bytes abba = {'A', 'B', 'B', 'A'};
  const Case cases[] = {
      {"format 1 without a report", 1, false, 0, abba},
      {"format 1, report mode 3", 1, true, 0x03, abba},
      {"format 1, report mode 2 keeps it", 1, true, 0x12, kAbbaCompressed},
      {"format 2 is never expanded", 2, false, 0, kAbbaCompressed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    uint32_t report = c.report;
    auto track = ReadTrack(Track(5, c.format, 0, Builder().Chunk("Mtsq", kAbbaCompressed)), 5,
                           c.withReport ? &report : nullptr);
    ASSERT_NE(track->GetSequenceChunk(), nullptr);
    const CScoreSequenceChunk& seq = *track->GetSequenceChunk();
    EXPECT_EQ(seq.GetId(), kIdMtsq);
    EXPECT_EQ(Bytes(seq.GetBody(), seq.GetBody() + seq.GetBodySize()), c.body);
  }
}

TEST(ScoreTrackChunk, CorruptCompressedSequenceFailsTheRead) {
  struct Case {
    const char* name;
    Bytes mtsq;
  };
  const Case cases[] = {
      {"count beyond eight times the size", {0x00, 0x00, 0x01, 0x00, 0x20, 0x80}},
      {"count of 4 Gi", {0xFF, 0xFF, 0xFF, 0xFF, 0x20, 0x80}},
      {"tree cut short", {0x00, 0x00, 0x00, 0x02, 0x90}},
      {"no count", {0x00, 0x00}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes bytes = Track(5, 1, 0, Builder().Chunk("Mtsq", c.mtsq));
    CMemStream s = velktest::ReadStream(bytes);
    EXPECT_EQ(ThrownCode([&] { CScoreTrackChunk track(s, 5, nullptr); }), kErrEndOfData);
  }
}

// A count, a tree of 'A' (code 0) and 'B' (code 1), and `count` symbols 'A': one bit each.
Bytes RepetitiveStream(uint32_t count) {
  std::vector<int> bits = {1, 0};
  for (int i = 7; i >= 0; --i) bits.push_back(('A' >> i) & 1);
  bits.push_back(0);
  for (int i = 7; i >= 0; --i) bits.push_back(('B' >> i) & 1);
  bits.resize(bits.size() + count, 0);
  Bytes out = {static_cast<uint8_t>(count >> 24), static_cast<uint8_t>(count >> 16),
               static_cast<uint8_t>(count >> 8), static_cast<uint8_t>(count)};
  for (size_t i = 0; i < bits.size(); i += 8) {
    uint8_t byte = 0;
    for (size_t k = 0; k < 8; ++k) byte = static_cast<uint8_t>(byte << 1 | (i + k < bits.size() ? bits[i + k] : 0));
    out.push_back(byte);
  }
  return out;
}

TEST(ScoreTrackChunk, SequenceCompressedBetterThanFourToOneExpands) {
  const Bytes mtsq = RepetitiveStream(100);  // 19 bytes for 100 symbols
  ASSERT_GT(100u, 4 * mtsq.size());
  auto track = ReadTrack(Track(5, 1, 0, Builder().Chunk("Mtsq", mtsq)), 5);
  ASSERT_NE(track->GetSequenceChunk(), nullptr);
  const CScoreSequenceChunk& seq = *track->GetSequenceChunk();
  EXPECT_EQ(Bytes(seq.GetBody(), seq.GetBody() + seq.GetBodySize()), Bytes(100, 'A'));
}

TEST(ScoreTrackChunk, EmptyCompressedSequenceExpandsToNothing) {
  auto track = ReadTrack(Track(5, 1, 0, Builder().Chunk("Mtsq", {0, 0, 0, 0, 0x20, 0x80})), 5);
  ASSERT_NE(track->GetSequenceChunk(), nullptr);
  EXPECT_EQ(track->GetSequenceChunk()->GetBodySize(), 0u);
}

TEST(ScoreTrackChunk, WritesChildrenInSetupSeekSequenceStreamOrder) {
  const Bytes mtsq = Builder().Chunk("Mtsq", {0x00, 0x00, 0x00, 0x00});
  const Bytes mspi = Builder().Chunk("MspI", {'s', 't', ':', 0, 0, 0, 0, ','});
  const Bytes mtsu = Builder().Chunk("Mtsu", {0xF7});
  const Bytes mtsp = Builder().Chunk("Mtsp", Builder().Chunk("Mwa", 2, {0x01, 0x1F, 0x40}));
  auto track = ReadTrack(Track(5, 2, 0, Builder().Raw(mtsp).Raw(mtsq).Raw(mspi).Raw(mtsu)), 5);
  Bytes written = Written(*track);
  EXPECT_EQ(written, Track(5, 2, 0, Builder().Raw(mtsu).Raw(mspi).Raw(mtsq).Raw(mtsp)))
      << velktest::Hex(written);
}

TEST(ScoreTrackChunk, NewTrackWritesItsPlaceholderSequence) {
  CScoreTrackChunk track(1, 0, 0, 0x18, 0x00, 0x0123);
  const Bytes expected = {
      'M', 'T', 'R', 0x01,     // id
      0x00, 0x00, 0x00, 0x0E,  // size 14
      0x00, 0x00, 0x18, 0x00,  // format 0, header bytes 1-3
      0x01, 0x23,              // channel word
      '-', 't', 's', 'q',      // placeholder sequence
      0x00, 0x00, 0x00, 0x00,  // empty
  };
  EXPECT_EQ(Written(track), expected);
  auto sequence = std::make_unique<CScoreSequenceChunk>(kIdMtsq);
  sequence->SetBodyCopy(Bytes{0, 0, 0, 0}.data(), 4);
  track.SetSequenceChunk(std::move(sequence));
  Bytes body = Builder().Raw({0x00, 0x00, 0x18, 0x00, 0x01, 0x23}).Chunk("Mtsq", {0, 0, 0, 0});
  EXPECT_EQ(Written(track), Builder().Chunk("MTR", 1, body).Get());
}

TEST(ScoreTrackChunk, NewTrackFiveWritesItsStatusBytes) {
  CScoreTrackChunk track(5, 2, 0, 0, 0, 0);
  for (int i = 0; i < 16; ++i) track.SetChannelStatusByte(i, static_cast<uint8_t>(0x40 + i));
  track.SetSequenceChunk(nullptr);
  Bytes body = {0x02, 0x00, 0x00, 0x00};
  for (int i = 0; i < 16; ++i) body.push_back(static_cast<uint8_t>(0x40 + i));
  EXPECT_EQ(Written(track), Builder().Chunk("MTR", 5, body).Get());
}

TEST(ScoreTrackChunk, TruncatedTracksThrowEndOfData) {
  Bytes full = Track(5, 2, 0, Children());
  for (size_t cut = 8; cut < full.size(); ++cut) {
    SCOPED_TRACE(cut);
    // The track's size is patched to the cut, so the header and child readers meet the end.
    Bytes bytes(full.begin(), full.begin() + static_cast<long>(cut));
    uint32_t size = static_cast<uint32_t>(cut - 8);
    bytes[4] = static_cast<uint8_t>(size >> 24);
    bytes[5] = static_cast<uint8_t>(size >> 16);
    bytes[6] = static_cast<uint8_t>(size >> 8);
    bytes[7] = static_cast<uint8_t>(size);
    CMemStream s = velktest::ReadStream(bytes);
    int code = ThrownCode([&] { CScoreTrackChunk track(s, 5, nullptr); });
    bool headerWhole = size >= 20;
    // A cut between two children leaves a shorter but sound track.
    if (headerWhole) {
      EXPECT_TRUE(code == kErrEndOfData || code == velktest::kNoThrow) << code;
    } else {
      EXPECT_EQ(code, kErrEndOfData);
    }
  }
}

}  // namespace

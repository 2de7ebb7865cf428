// The format-0 setup chunk "Mtsu": tempo entry, generation-1 entries and generation-2 voices.
#include "velk/SetupDataChunk.h"

#include <gtest/gtest.h>

#include <memory>

#include "VelkBytes.h"

namespace {

using velktest::Builder;
using velktest::Bytes;

std::unique_ptr<CSetupDataChunk> ReadSetup(const Bytes& body, uint8_t track = 1) {
  Bytes file = Builder().Chunk("Mtsu", body);
  CMemStream stream = velktest::ReadStream(file);
  return std::make_unique<CSetupDataChunk>(stream, track);
}

// A generation-2 voice record of 25 bytes: voice number, bank, program, ALG 4 (four
// operators) in the fourth byte, then BO and four operators.
Bytes FourOperatorRecord(uint8_t voiceNo) {
  Bytes r = {voiceNo, 0x01, 0x05, 0x04, 0x01};
  for (uint8_t i = 0; i < 20; ++i) r.push_back(static_cast<uint8_t>(0x10 + i));
  return r;
}

// A two-operator record of 15 bytes (ALG 1).
Bytes TwoOperatorRecord(uint8_t voiceNo) {
  Bytes r = {voiceNo, 0x02, 0x07, 0x01, 0x01};
  for (uint8_t i = 0; i < 10; ++i) r.push_back(static_cast<uint8_t>(0x30 + i));
  return r;
}

Bytes Generation2Entry(const Bytes& record) {
  return Builder().Raw({0xFF, 0xF0, static_cast<uint8_t>(record.size() + 3), 0x43, 0x03}).Raw(record).Raw({0xF7});
}

Bytes Generation1Entry(uint8_t index) {
  Builder b;
  b.Raw({0xFF, 0xF0, 0x13, 0x43, 0x02, index});
  for (uint8_t i = 1; i < 16; ++i) b.Raw({static_cast<uint8_t>(index * 16 + i)});
  return b.Raw({0xF7});
}

TEST(SetupDataChunk, TempoEntryGivesTheTempoByte) {
  // FF F0, length 5, maker 43, kind 02 (generation 1), 80, tempo byte 0x11, F7.
  auto chunk = ReadSetup({0xFF, 0xF0, 0x05, 0x43, 0x02, 0x80, 0x11, 0xF7});
  EXPECT_EQ(chunk->GetTempoByte(), 17);
  EXPECT_EQ(chunk->GetEntryCount(), 0);
  EXPECT_EQ(chunk->GetEntries(), nullptr);
  EXPECT_EQ(chunk->GetVoiceRecordCount(), 0);
  // Generation 2 writes its tempo entry with kind 03.
  EXPECT_EQ(ReadSetup({0xFF, 0xF0, 0x05, 0x43, 0x03, 0x80, 0x09, 0xF7})->GetTempoByte(), 9);
}

TEST(SetupDataChunk, GenerationOneEntriesFillTheTable) {
  Bytes body = Builder().Raw({0xFF, 0xF0, 0x05, 0x43, 0x02, 0x80, 0x11, 0xF7}).Raw(Generation1Entry(0)).Raw(Generation1Entry(7));
  auto chunk = ReadSetup(body);
  ASSERT_EQ(chunk->GetEntryCount(), 2);
  EXPECT_EQ(chunk->GetTempoByte(), 17);
  Bytes entries(chunk->GetEntries(), chunk->GetEntries() + 32);
  Bytes first = Generation1Entry(0);
  Bytes second = Generation1Entry(7);
  EXPECT_EQ(Bytes(entries.begin(), entries.begin() + 16), Bytes(first.begin() + 5, first.end() - 1));
  EXPECT_EQ(Bytes(entries.begin() + 16, entries.end()), Bytes(second.begin() + 5, second.end() - 1));
  // The header of the entry last read is kept.
  EXPECT_EQ(Bytes(chunk->GetEntryHeader(), chunk->GetEntryHeader() + 4), Bytes({0xFF, 0xF0, 0x43, 0x02}));
}

TEST(SetupDataChunk, FourOperatorVoiceReadsTwentyFiveBytes) {
  // FF F0 1C 43 03, 25 bytes, F7.
  Bytes record = FourOperatorRecord(2);
  Bytes body = Generation2Entry(record);
  ASSERT_EQ(body[2], 0x1C);
  auto chunk = ReadSetup(body);
  ASSERT_EQ(chunk->GetVoiceRecordCount(), 1);
  const uint8_t* r = chunk->GetVoiceRecord(0);
  ASSERT_NE(r, nullptr);
  Bytes expected = record;
  expected.resize(CSetupDataChunk::kVoiceBufferSize, 0);
  EXPECT_EQ(Bytes(r, r + CSetupDataChunk::kVoiceBufferSize), expected);
  EXPECT_EQ(chunk->GetVoiceRecord(1), nullptr);
}

TEST(SetupDataChunk, TwoOperatorVoiceReadsFifteenBytes) {
  // The record's 15 bytes are followed by bytes that are not the voice's: only 15 are taken.
  Bytes record = TwoOperatorRecord(0);
  Bytes body = Builder().Raw({0xFF, 0xF0, 0x15, 0x43, 0x03}).Raw(record).Raw({0x55, 0x66, 0x77, 0xF7});
  auto chunk = ReadSetup(body);
  ASSERT_EQ(chunk->GetVoiceRecordCount(), 1);
  Bytes expected = record;
  expected.resize(CSetupDataChunk::kVoiceBufferSize, 0);
  EXPECT_EQ(Bytes(chunk->GetVoiceRecord(0), chunk->GetVoiceRecord(0) + 28), expected);
}

TEST(SetupDataChunk, EntriesThatDoNotMatchAreSkippedToTheirEnd) {
  struct Case {
    const char* name;
    Bytes entry;
  };
  const Case cases[] = {
      {"other maker", {0xFF, 0xF0, 0x05, 0x44, 0x02, 0x80, 0x22, 0xF7}},
      {"other kind", {0xFF, 0xF0, 0x05, 0x43, 0x04, 0x80, 0x22, 0xF7}},
      {"entry index 8", Builder().Raw({0xFF, 0xF0, 0x13, 0x43, 0x02, 0x08}).Raw(Bytes(15, 0x01)).Raw({0xF7})},
      {"voice number 16", Builder().Raw({0xFF, 0xF0, 0x12, 0x43, 0x03, 0x10}).Raw(Bytes(14, 0x01)).Raw({0xF7})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes body = Builder().Raw(c.entry).Raw({0xFF, 0xF0, 0x05, 0x43, 0x02, 0x80, 0x11, 0xF7});
    auto chunk = ReadSetup(body);
    EXPECT_EQ(chunk->GetTempoByte(), 17);
    EXPECT_EQ(chunk->GetEntryCount(), 0);
    EXPECT_EQ(chunk->GetVoiceRecordCount(), 0);
  }
}

TEST(SetupDataChunk, TracksFiveAndAboveAreNotParsed) {
  Bytes body = {0xFF, 0xF0, 0x05, 0x43, 0x02, 0x80, 0x11, 0xF7};
  EXPECT_EQ(ReadSetup(body, 4)->GetTempoByte(), 17);
  EXPECT_EQ(ReadSetup(body, 0)->GetTempoByte(), 17);
  auto chunk = ReadSetup(body, 5);
  EXPECT_EQ(chunk->GetTempoByte(), 0);
  // The body is kept raw all the same.
  EXPECT_EQ(Bytes(chunk->GetBody(), chunk->GetBody() + chunk->GetBodySize()), body);
}

TEST(SetupDataChunk, SeventeenthVoiceRecordIsIgnored) {
  Builder b;
  for (uint8_t i = 0; i < 17; ++i) b.Raw(Generation2Entry(TwoOperatorRecord(i % 16)));
  auto chunk = ReadSetup(b);
  ASSERT_EQ(chunk->GetVoiceRecordCount(), 16);
  EXPECT_EQ(chunk->GetVoiceRecord(15)[0], 15);
}

TEST(SetupDataChunk, EntryTableStopsAtItsCount) {
  Builder b;
  for (int i = 0; i < 300; ++i) b.Raw(Generation1Entry(static_cast<uint8_t>(i % 8)));
  auto chunk = ReadSetup(b);
  EXPECT_EQ(chunk->GetEntryCount(), CSetupDataChunk::kMaxEntries);
}

TEST(SetupDataChunk, VoiceRecordCutByTheBodyKeepsWhatThereIs) {
  struct Case {
    const char* name;
    Bytes tail;
  };
  // After FF F0 1C 43 03 the body ends inside the record; with fewer than four bytes even the
  // operator count is not there and reads as two operators.
  const Case cases[] = {{"one byte", {0x02}}, {"three bytes", {0x02, 0x01, 0x05}}, {"ten bytes", Bytes(10, 0x03)}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto chunk = ReadSetup(Builder().Raw({0xFF, 0xF0, 0x1C, 0x43, 0x03}).Raw(c.tail));
    ASSERT_EQ(chunk->GetVoiceRecordCount(), 1);
    Bytes expected = c.tail;
    expected.resize(CSetupDataChunk::kVoiceBufferSize, 0);
    EXPECT_EQ(Bytes(chunk->GetVoiceRecord(0), chunk->GetVoiceRecord(0) + 28), expected);
  }
}

TEST(SetupDataChunk, EveryCutOfTheBodyKeepsAPrefixOfTheEntries) {
  Bytes body = Builder()
                   .Raw({0xFF, 0xF0, 0x05, 0x43, 0x02, 0x80, 0x11, 0xF7})
                   .Raw(Generation1Entry(1))
                   .Raw(Generation2Entry(FourOperatorRecord(3)))
                   .Raw(Generation1Entry(2));
  auto whole = ReadSetup(body);
  ASSERT_EQ(whole->GetEntryCount(), 2);
  ASSERT_EQ(whole->GetVoiceRecordCount(), 1);
  for (size_t n = 0; n <= body.size(); ++n) {
    SCOPED_TRACE(n);
    auto chunk = ReadSetup(Bytes(body.begin(), body.begin() + static_cast<std::ptrdiff_t>(n)));
    EXPECT_LE(chunk->GetEntryCount(), 2);
    EXPECT_LE(chunk->GetVoiceRecordCount(), 1);
    for (int i = 0; i < chunk->GetEntryCount(); ++i) {
      EXPECT_EQ(Bytes(chunk->GetEntries() + 16 * i, chunk->GetEntries() + 16 * i + 16),
                Bytes(whole->GetEntries() + 16 * i, whole->GetEntries() + 16 * i + 16));
    }
  }
}

TEST(SetupDataChunk, WritesItsBodyBackUnchanged) {
  Bytes body = Builder().Raw({0xFF, 0xF0, 0x05, 0x43, 0x02, 0x80, 0x11, 0xF7}).Raw(Generation1Entry(1));
  Bytes file = Builder().Chunk("Mtsu", body);
  auto chunk = ReadSetup(body);
  CMemStream out;
  chunk->Write(out);
  EXPECT_EQ(velktest::ToBytes(out), file);
}

TEST(SetupDataChunk, ChunkRunningPastTheStreamThrows) {
  Bytes file = Builder().Text("Mtsu").BE32(100).Raw({0xFF, 0xF0});
  CMemStream stream = velktest::ReadStream(file);
  EXPECT_EQ(velktest::ThrownCode([&] { CSetupDataChunk chunk(stream, 1); }), kErrEndOfData);
}

}  // namespace

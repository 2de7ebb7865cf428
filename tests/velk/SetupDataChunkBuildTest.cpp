// The setup chunk "Mtsu" built from an output record: tempo entry, generation-1 entries and
// generation-2 voice records, read back by the chunk's own reader.
#include <gtest/gtest.h>

#include <memory>

#include "VelkBytes.h"
#include "song/SongSetup.h"
#include "song/Voice2.h"
#include "velk/SetupDataChunk.h"
#include "velk/TempoBytes.h"

namespace {

using velktest::Builder;
using velktest::Bytes;
using velktest::Hex;

// A record whose eight setup entries are all unused (second byte 0xFF).
SongOutputRecord NoEntries() {
  SongOutputRecord record;
  for (int i = 0; i < 8; ++i) record.bytes[64 + 16 * i + 1] = 0xFF;
  return record;
}

// Entry i of the block: its index, then bytes 16i+1 .. 16i+15.
void UseEntry(SongOutputRecord& record, int i) {
  for (int k = 0; k < 16; ++k)
    record.bytes[64 + 16 * i + k] = static_cast<uint8_t>(k == 0 ? i : 16 * i + k);
}

Bytes EntryBytes(int i) {
  Bytes out;
  for (int k = 0; k < 16; ++k) out.push_back(static_cast<uint8_t>(k == 0 ? i : 16 * i + k));
  return out;
}

// A voice whose parameter block counts up from its voice number.
std::unique_ptr<CVoice2> Voice(int voiceNo, int operators) {
  uint8_t params[CVoice2::kParamsSize];
  for (int k = 0; k < CVoice2::kParamsSize; ++k) params[k] = static_cast<uint8_t>(0x20 + k);
  params[0] = static_cast<uint8_t>(voiceNo);
  auto voice = std::make_unique<CVoice2>();
  voice->SetParams(params);
  voice->SetOperatorCount(operators);
  return voice;
}

Bytes Params(const CVoice2& voice, int n) {
  return Bytes(voice.GetParams(), voice.GetParams() + n);
}

Bytes Body(const CChunk& chunk) {
  return Bytes(chunk.GetBody(), chunk.GetBody() + chunk.GetBodySize());
}

std::unique_ptr<CSetupDataChunk> ReadBack(CSetupDataChunk& built) {
  Bytes file = velktest::Written(built);
  CMemStream stream = velktest::ReadStream(file);
  return std::make_unique<CSetupDataChunk>(stream, 1);
}

TEST(SetupDataChunk, BuildsGenerationOneEntriesAsGoldenBytes) {
  SongOutputRecord record = NoEntries();
  UseEntry(record, 2);
  UseEntry(record, 5);
  CSetupDataChunk chunk(record, 120, false);
  Bytes expected = Builder()
                       .Raw({0xFF, 0xF0, 0x05, 0x43, 0x02, 0x80, 0x11, 0xF7})  // tempo 120
                       .Raw({0xFF, 0xF0, 0x13, 0x43, 0x02})
                       .Raw(EntryBytes(2))
                       .Raw({0xF7})
                       .Raw({0xFF, 0xF0, 0x13, 0x43, 0x02})
                       .Raw(EntryBytes(5))
                       .Raw({0xF7});
  EXPECT_EQ(Body(chunk), expected) << Hex(Body(chunk));
  EXPECT_EQ(chunk.GetId(), kIdMtsu);
  // The built chunk answers as its reader does, and so does a chunk read from its bytes.
  auto read = ReadBack(chunk);
  for (const CSetupDataChunk* c : {&chunk, read.get()}) {
    EXPECT_EQ(c->GetTempoByte(), 0x11);
    ASSERT_EQ(c->GetEntryCount(), 2);
    EXPECT_EQ(Bytes(c->GetEntries(), c->GetEntries() + 16), EntryBytes(2));
    EXPECT_EQ(Bytes(c->GetEntries() + 16, c->GetEntries() + 32), EntryBytes(5));
    EXPECT_EQ(c->GetVoiceRecordCount(), 0);
  }
}

TEST(SetupDataChunk, NothingUsedGivesAnEmptyBody) {
  CSetupDataChunk generation1(NoEntries(), 120, false);
  EXPECT_EQ(generation1.GetBodySize(), 0u);
  EXPECT_EQ(velktest::Written(generation1), Builder().Chunk("Mtsu", {}).Get());
  EXPECT_EQ(generation1.GetTempoByte(), 0);
  SongOutputRecord noVoices;
  CSetupDataChunk generation2(noVoices, 120, true);
  EXPECT_EQ(generation2.GetBodySize(), 0u);
}

TEST(SetupDataChunk, BuildsGenerationTwoVoicesAsGoldenBytes) {
  auto two = Voice(1, 2), four = Voice(6, 4);
  SongOutputRecord record;
  record.words[3] = reinterpret_cast<std::uintptr_t>(two.get());
  record.words[9] = reinterpret_cast<std::uintptr_t>(four.get());
  CSetupDataChunk chunk(record, 100, true);
  Bytes expected = Builder()
                       .Raw({0xFF, 0xF0, 0x05, 0x43, 0x03, 0x80, 0x15, 0xF7})  // tempo 100: 0x15
                       .Raw({0xFF, 0xF0, 0x12, 0x43, 0x03})
                       .Raw(Params(*two, 15))
                       .Raw({0xF7})
                       .Raw({0xFF, 0xF0, 0x1C, 0x43, 0x03})
                       .Raw(Params(*four, 25))
                       .Raw({0xF7});
  EXPECT_EQ(Body(chunk), expected) << Hex(Body(chunk));
  auto read = ReadBack(chunk);
  for (const CSetupDataChunk* c : {&chunk, read.get()}) {
    EXPECT_EQ(c->GetTempoByte(), 0x15);
    ASSERT_EQ(c->GetVoiceRecordCount(), 2);
    EXPECT_EQ(Bytes(c->GetVoiceRecord(0), c->GetVoiceRecord(0) + 15), Params(*two, 15));
    EXPECT_EQ(c->GetVoiceRecord(0)[15], 0);  // the rest of the 28-byte buffer stays zero
    EXPECT_EQ(Bytes(c->GetVoiceRecord(1), c->GetVoiceRecord(1) + 25), Params(*four, 25));
    EXPECT_EQ(c->GetEntryCount(), 0);
  }
}

TEST(SetupDataChunk, TempoBytesStayWithinTheTempoRange) {
  struct Case {
    uint16_t tempo;
    uint8_t byte;
  };
  // Rounded: 8739 / 400 = 21.85 gives 21, in the sequence header as in the setup chunk.
  const Case cases[] = {{120, 0x11}, {100, 0x15}, {0, 242},  {8, 242},
                        {9, 242},    {2184, 0},   {2185, 0}, {65535, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tempo);
    SongOutputRecord record = NoEntries();
    UseEntry(record, 0);
    CSetupDataChunk chunk(record, c.tempo, false);
    EXPECT_EQ(chunk.GetTempoByte(), c.byte);
    EXPECT_EQ(SetupTempoByte(c.tempo), c.byte);
    auto back = static_cast<int>(8739.0 / (4.0 * c.byte + 4.0) + 0.5);
    EXPECT_GE(back, 9);
    EXPECT_LE(back, 2185);
  }
  EXPECT_EQ(HeaderTempoByte(100), 0x15);
  EXPECT_EQ(HeaderTempoByte(437), 4);  // 4.9994 rounds to 5; truncated it was 3, read as 546
}

TEST(SetupDataChunk, ReadsAGenerationTwoTempoEntry) {
  Bytes file = Builder().Chunk("Mtsu", {0xFF, 0xF0, 0x05, 0x43, 0x03, 0x80, 0x15, 0xF7});
  CMemStream stream = velktest::ReadStream(file);
  CSetupDataChunk chunk(stream, 1);
  EXPECT_EQ(chunk.GetTempoByte(), 0x15);
  EXPECT_EQ(chunk.GetVoiceRecordCount(), 0);
}

}  // namespace

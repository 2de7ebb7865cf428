// Tests of the setup chunk "Mtsu", the seek chunk "MspI" and the setup transfer.
#include "plugins/velkgate/SetupDataChunk.h"

#include <gtest/gtest.h>

#include "VelkgateFixture.h"
#include "plugins/velkgate/ByteHelpers.h"
#include "plugins/velkgate/SeekPhraseChunk.h"
#include "plugins/velkgate/VelkgateFlags.h"
#include "song/SmfDialect.h"
#include "song/SongSetup.h"

namespace velkgate {
namespace {

using testing::Bytes;
using testing::Hex;
using testing::ToHex;

Bytes Body(const CChunk& chunk) { return Bytes(chunk.GetBody(), chunk.GetBody() + chunk.GetBodySize()); }

CVoiceItem* FmVoice(uint8_t msb, uint8_t lsb, uint8_t program, bool fourOperators) {
  auto* voice = new CVoiceItem();
  voice->SetBankMsb(msb);
  voice->SetBankLsb(lsb);
  voice->SetProgram(program);
  voice->SetAlgorithm(fourOperators ? 4 : 1);
  voice->SetOpTL(1, 20);
  return voice;
}

CVoiceItem* PcmVoice(uint8_t msb, uint8_t lsb, uint8_t program, uint16_t rate, uint32_t samples) {
  auto* voice = new CVoiceItem();
  voice->SetBankMsb(msb);
  voice->SetBankLsb(lsb);
  voice->SetProgram(program);
  voice->SetPcmFlag(1);
  voice->SetPcmFs(rate);
  voice->SetWaveId(5);
  voice->SetRM(0);
  if (samples > 0) {
    Bytes wave(samples);
    for (uint32_t i = 0; i < samples; ++i) wave[i] = static_cast<uint8_t>(i * 37);
    voice->SetWaveSamples(wave.data(), samples);
  }
  return voice;
}

/// The messages of a body: each as its bytes from F0 to F7.
std::vector<Bytes> Messages(const Bytes& body) {
  std::vector<Bytes> out;
  size_t i = 0;
  while (i < body.size()) {
    size_t start = i++;
    const uint8_t* p = body.data() + i;
    uint32_t length = ReadVlq(p, body.data() + body.size());
    i = static_cast<size_t>(p - body.data()) + length;
    out.emplace_back(body.begin() + static_cast<ptrdiff_t>(start), body.begin() + static_cast<ptrdiff_t>(i));
  }
  return out;
}

TEST(CSetupDataChunk, NoVoicesAndModeThreeGiveTheStartOnly) {
  CSongSetup setup;
  setup.SetStreamMode(3);
  uint32_t flags = 0;
  CSetupDataChunk chunk(setup, flags);
  EXPECT_EQ(ToHex(Body(chunk)), "F0 06 43 79 06 7F 7F F7");
  setup.SetStreamMode(1);
  CSetupDataChunk withMode(setup, flags);
  EXPECT_EQ(ToHex(Body(withMode)), "F0 06 43 79 06 7F 7F F7 F0 07 43 79 06 7F 07 01 F7");
}

TEST(CSetupDataChunk, VoiceMessageLengthsFollowTheBlock) {
  CSongSetup setup;
  setup.SetOwnsObjects(1);
  setup.SetStreamMode(3);
  setup.SetVoiceItem(0, FmVoice(124, 0, 1, true));
  setup.SetVoiceItem(1, FmVoice(124, 0, 2, false));
  setup.SetVoiceItem(2, PcmVoice(124, 0, 3, 8000, 0));
  setup.GetVoiceItem(2)->SetRM(1);  // a ROM wave: written without a wave of its own
  uint32_t flags = 0;
  CSetupDataChunk chunk(setup, flags);
  std::vector<Bytes> messages = Messages(Body(chunk));
  ASSERT_EQ(messages.size(), 4u);
  EXPECT_EQ(messages[1][1], 0x2F);
  EXPECT_EQ(messages[2][1], 0x1F);
  EXPECT_EQ(messages[3][1], 0x1E);
  EXPECT_EQ(ToHex(Bytes(messages[1].begin(), messages[1].begin() + 12)),
            "F0 2F 43 79 06 7F 01 7C 00 01 00 00");
  EXPECT_EQ(messages[3][11], 0x01);  // voice type PCM
}

TEST(CSetupDataChunk, SkipsBuiltInVoicesAndPcmWithoutWave) {
  CSongSetup setup;
  setup.SetOwnsObjects(1);
  setup.SetStreamMode(3);
  setup.SetVoiceItem(0, FmVoice(124, 10, 1, true));
  setup.SetVoiceItem(1, FmVoice(125, 0, 10, true));
  setup.SetVoiceItem(2, PcmVoice(124, 0, 3, 8000, 0));
  uint32_t flags = 0;
  CSetupDataChunk chunk(setup, flags);
  EXPECT_EQ(ToHex(Body(chunk)), "F0 06 43 79 06 7F 7F F7");
}

TEST(CSetupDataChunk, DrumWaveRateOutsideTheTableWarns) {
  for (auto [rate, warned] : {std::pair<uint16_t, bool>{8000, true}, {8250, false}}) {
    SCOPED_TRACE(rate);
    CSongSetup setup;
    setup.SetOwnsObjects(1);
    setup.SetStreamMode(3);
    setup.SetVoiceItem(0, PcmVoice(124, 3, 0, rate, 20));
    uint32_t flags = 0;
    CSetupDataChunk chunk(setup, flags);
    EXPECT_EQ(flags, warned ? CNVF_SETUP_WARNING : 0u);
    std::vector<Bytes> messages = Messages(Body(chunk));
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(ToHex(Bytes(messages[2].begin(), messages[2].begin() + 9)),
              "F0 " + ToHex(Bytes{static_cast<uint8_t>(messages[2].size() - 2)}) + " 43 79 06 7F 03 05 00");
  }
}

TEST(CSetupDataChunk, OnlyUsedUserWavesAreWritten) {
  CSongSetup setup;
  setup.SetOwnsObjects(1);
  setup.SetStreamMode(3);
  CVoiceItem* voice = FmVoice(124, 0, 1, true);
  voice->SetOpWS(2, 7);
  setup.SetVoiceItem(0, voice);
  for (int slot : {7, 9}) {
    auto* block = new CNamedBlock();
    Bytes data = {1, 2, 3, static_cast<uint8_t>(slot)};
    block->SetData(data.data(), 4);
    setup.SetUserWave(slot, block);
  }
  uint32_t flags = 0;
  CSetupDataChunk chunk(setup, flags);
  std::vector<Bytes> messages = Messages(Body(chunk));
  ASSERT_EQ(messages.size(), 3u);
  EXPECT_EQ(ToHex(messages[2]), "F0 0C 43 79 06 7F 0C 07 00 01 02 03 07 F7");
}

TEST(CSetupDataChunk, BuiltChunkReadsBackTheSame) {
  CSongSetup setup;
  setup.SetOwnsObjects(1);
  setup.SetStreamMode(2);
  setup.SetVoiceItem(3, FmVoice(124, 0, 1, true));
  setup.SetVoiceItem(7, FmVoice(124, 0, 2, false));
  setup.SetVoiceItem(9, PcmVoice(125, 0, 4, 16000, 300));
  CVoiceItem* fm = setup.GetVoiceItem(3);
  fm->SetOpWS(1, 4);
  auto* wave = new CNamedBlock();
  Bytes waveData(40, 0x9C);
  wave->SetData(waveData.data(), 40);
  setup.SetUserWave(4, wave);
  uint32_t flags = 0;
  CSetupDataChunk built(setup, flags);
  CMemStream image;
  built.Write(image);
  image.SeekToBegin();
  CSetupDataChunk back(image, 5);
  EXPECT_EQ(back.GetMode(), 2);
  ASSERT_EQ(back.GetVoiceCount(), 3);
  // Voices go to the slots of their place among the messages.
  const int slots[3] = {3, 7, 9};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    const CVoiceItem* original = setup.GetVoiceItem(slots[i]);
    const CVoiceItem* read = back.GetVoice(i);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->GetBankMsb(), original->GetBankMsb());
    EXPECT_EQ(read->GetProgram(), original->GetProgram());
    EXPECT_EQ(read->IsPcm(), original->IsPcm());
    uint32_t n = original->IsPcm() ? CVoiceItem::GetPcmVoiceSize() : original->GetFmVoiceLength();
    const uint8_t* a = original->IsPcm() ? original->GetPcmVoice() : original->GetFmVoice();
    const uint8_t* b = read->IsPcm() ? read->GetPcmVoice() : read->GetFmVoice();
    EXPECT_EQ(Bytes(a, a + n), Bytes(b, b + n));
  }
  ASSERT_EQ(back.GetVoice(2)->GetWaveSampleSize(), 300u);
  EXPECT_EQ(Bytes(back.GetVoice(2)->GetWaveSamples(), back.GetVoice(2)->GetWaveSamples() + 300),
            Bytes(setup.GetVoiceItem(9)->GetWaveSamples(), setup.GetVoiceItem(9)->GetWaveSamples() + 300));
  ASSERT_NE(back.GetUserWave(4), nullptr);
  EXPECT_EQ(back.GetUserWave(4)->GetSize(), 40);
}

/// A "Mtsu" chunk of the given body bytes.
Bytes SetupImage(const Bytes& body) {
  Bytes image = Hex("4D747375");
  AppendBE32(image, static_cast<uint32_t>(body.size()));
  AppendBytes(image, body.data(), static_cast<uint32_t>(body.size()));
  return image;
}

TEST(CSetupDataChunk, HostileMessagesAreBounded) {
  // Lengths 0..10 of a voice message, a user wave in slot 40, and 300 voices.
  for (uint8_t length = 0; length <= 10; ++length) {
    SCOPED_TRACE(int{length});
    Bytes body = {0xF0, length};
    Bytes rest = Hex("43 79 06 7F 01 7C 00 01 00 00");
    body.insert(body.end(), rest.begin(), rest.begin() + length);
    Bytes image = SetupImage(body);
    CMemStream in(image.data(), static_cast<int32_t>(image.size()), false);
    CSetupDataChunk chunk(in, 5);
    EXPECT_EQ(chunk.GetVoiceCount(), 0);
  }
  Bytes slot40 = SetupImage(Hex("F0 0A 43 79 06 7F 0C 28 01 11 22 F7"));
  CMemStream in(slot40.data(), static_cast<int32_t>(slot40.size()), false);
  CSetupDataChunk chunk(in, 5);
  for (int i = 0; i < CSetupDataChunk::kUserWaveCount; ++i) EXPECT_EQ(chunk.GetUserWave(i), nullptr);

  Bytes many;
  for (int i = 0; i < 300; ++i) AppendBytes(many, Hex("F0 0D 43 79 06 7F 01 7C 00 01 00 00 01 02 F7").data(), 15);
  Bytes image = SetupImage(many);
  CMemStream in2(image.data(), static_cast<int32_t>(image.size()), false);
  CSetupDataChunk lots(in2, 5);
  EXPECT_EQ(lots.GetVoiceCount(), 128);
}

TEST(CSetupDataChunk, OversizedVoiceDataIsCutToTheBlock) {
  Bytes body = Hex("F0 30 43 79 06 7F 01 7C 00 01 00 01");
  for (int i = 0; i < 37; ++i) body.push_back(0x11);
  body.push_back(0xF7);
  body[1] = static_cast<uint8_t>(body.size() - 2);
  Bytes image = SetupImage(body);
  CMemStream in(image.data(), static_cast<int32_t>(image.size()), false);
  CSetupDataChunk chunk(in, 5);
  ASSERT_EQ(chunk.GetVoiceCount(), 1);
  EXPECT_TRUE(chunk.GetVoice(0)->IsPcm());
}

TEST(CSetupDataChunk, TrackSixTakesDataUnpackedAndStopsAtANonF0) {
  Bytes body = Hex("F0 0D 43 79 07 7F 01 7C 00 02 00 00 81 82 F7  55  F0 0D 43 79 07 7F 01 7C 00 03 00 00 01 02 F7");
  Bytes image = SetupImage(body);
  CMemStream in(image.data(), static_cast<int32_t>(image.size()), false);
  CSetupDataChunk chunk(in, 6);
  ASSERT_EQ(chunk.GetVoiceCount(), 1);
  EXPECT_EQ(chunk.GetVoice(0)->GetProgram(), 2);
  EXPECT_EQ(chunk.GetVoice(0)->GetFmVoice()[0], 0x81);  // taken as it stands
}

TEST(CSeekPhraseChunk, StopOnlyGivesEightBytes) {
  CSeekRecord record;
  record.SetStop(8);
  CSeekPhraseChunk chunk(record);
  EXPECT_EQ(ToHex(Body(chunk)), "73 70 3A 00 00 00 08 2C");
}

TEST(CSeekPhraseChunk, PhrasesEndAtTheNextOrTheRecordsEnd) {
  CSeekRecord record;
  record.SetStart(3);
  record.AddPhrase('A', 3, 0);
  record.AddPhrase('B', 20, 0);
  record.SetEnd(40);
  CSeekPhraseChunk chunk(record);
  EXPECT_EQ(ToHex(Body(chunk)),
            "73 74 3A 00 00 00 03 2C 50 41 3A 00 00 00 03 00 00 00 14 2C 50 42 3A 00 00 00 14 00 00 00 28 2C");
  CMemStream image;
  chunk.Write(image);
  image.SeekToBegin();
  CSeekPhraseChunk back(image);
  CSeekRecord read = back.CopyToRecord();
  EXPECT_EQ(read.GetStart(), 3u);
  EXPECT_FALSE(read.HasStop());
  ASSERT_EQ(read.GetPhrases().size(), 2u);
  EXPECT_EQ(read.GetPhrases()[1].letter, 'B');
  EXPECT_EQ(read.GetPhrases()[1].end, 40u);
}

TEST(CSeekPhraseChunk, UnknownEntriesAreSkipped) {
  Bytes image = Hex("4D737049 00000014 78 79 3A 01 02 2C 73 70 3A 00 00 00 09 2C 51 51 2C 7A 7A 2C");
  CMemStream in(image.data(), static_cast<int32_t>(image.size()), false);
  CSeekPhraseChunk chunk(in);
  CSeekRecord read = chunk.CopyToRecord();
  EXPECT_FALSE(read.HasStart());
  EXPECT_EQ(read.GetStop(), 9u);
  EXPECT_TRUE(read.GetPhrases().empty());
}

TEST(CSeekPhraseChunk, TruncatedEntryThrows) {
  Bytes image = Hex("4D737049 00000005 73 74 3A 00 00");
  CMemStream in(image.data(), static_cast<int32_t>(image.size()), false);
  EXPECT_THROW(CSeekPhraseChunk chunk(in), int);
}

}  // namespace
}  // namespace velkgate

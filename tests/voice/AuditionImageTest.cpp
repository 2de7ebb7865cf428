// The one-voice audition image: its bytes, sizes, points and CRC, and how the VELK reader takes it.
#include "voice/AuditionImage.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "song/MemStream.h"
#include "song/NamedBlock.h"
#include "song/VoiceItem.h"
#include "velk/Crc16.h"
#include "velk/ScoreTrackChunk.h"
#include "velk/SeekPhraseChunk2.h"
#include "velk/VelkFileChunk.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Build(const CVoiceItem& voice, uint32_t gateMs, const AuditionUserWaves& waves = {}) {
  CMemStream s;
  EXPECT_EQ(BuildAuditionVelk(waves, s, 0, 60, 100, 64, gateMs, voice), 1);
  return Bytes(s.GetData(), s.GetData() + s.GetSize());
}

uint32_t BE32(const Bytes& b, size_t at) {
  return uint32_t(b[at]) << 24 | uint32_t(b[at + 1]) << 16 | uint32_t(b[at + 2]) << 8 | b[at + 3];
}

size_t Find(const Bytes& b, const std::string& id) {
  for (size_t i = 0; i + id.size() <= b.size(); ++i)
    if (std::equal(id.begin(), id.end(), b.begin() + static_cast<long>(i))) return i;
  return std::string::npos;
}

/// The body of the chunk `id` (its 4-byte size follows the id).
Bytes Body(const Bytes& b, const std::string& id) {
  const size_t at = Find(b, id);
  if (at == std::string::npos) return {};
  const uint32_t n = BE32(b, at + 4);
  return Bytes(b.begin() + static_cast<long>(at + 8), b.begin() + static_cast<long>(at + 8 + n));
}

CVoiceItem FmVoice124_1_5() {
  CVoiceItem v;
  v.SetBankMsb(124);
  v.SetBankLsb(1);
  v.SetProgram(5);
  return v;
}

TEST(PackAuditionData, PacksTopBitsFirst) {
  const uint8_t seven[] = {0x80, 0x81, 0x82, 0x83, 0x84, 0x85, 0x86};
  uint8_t out[16] = {};
  ASSERT_EQ(PackAuditionData(seven, 7, out), 8u);
  EXPECT_EQ(Bytes(out, out + 8), (Bytes{0x7F, 0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06}));
  const uint8_t one[] = {0xFF};
  ASSERT_EQ(PackAuditionData(one, 1, out), 2u);
  EXPECT_EQ(Bytes(out, out + 2), (Bytes{0x40, 0x7F}));
  EXPECT_EQ(PackAuditionData(seven, 0, out), 0u);
}

TEST(BuildAuditionVelk, TwoOperatorVoiceGivesTheGoldenImage) {
  const Bytes b = Build(FmVoice124_1_5(), 3000);
  ASSERT_EQ(b.size(), 223u);
  EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "MMMD");
  EXPECT_EQ(BE32(b, 4), 215u);
  EXPECT_EQ(Bytes(b.begin() + 8, b.begin() + 21),
            (Bytes{'C', 'N', 'T', 'I', 0, 0, 0, 5, 0x00, 0x32, 0x01, 0xFD, 0x00}));
  EXPECT_EQ(Bytes(b.begin() + 21, b.begin() + 62),
            (Bytes{'O', 'P', 'D', 'A', 0, 0, 0, 33, 'D', 'c', 'h', 0xFF, 0, 0, 0, 25, 'E', 'S', 0, 1, 0xF8,
                   'A', '0', 0, 6, 'K', '9', '2', '1', 0, 0, 'A', '2', 0, 6, 'K', '9', '2', '1', 0, 0}));
  EXPECT_EQ(Bytes(b.begin() + 62, b.begin() + 74), (Bytes{'M', 'T', 'R', 0x05, 0, 0, 0, 151, 0x02, 0x00, 0x02, 0x02}));
  EXPECT_EQ(Body(b, "Mtsu"),
            (Bytes{0xF0, 0x06, 0x43, 0x79, 0x06, 0x7F, 0x7F, 0xF7,
                   0xF0, 0x1F, 0x43, 0x79, 0x06, 0x7F, 0x01, 0x7C, 0x01, 0x05, 0x00, 0x00,
                   0x06, 0x00, 0x79, 0x00, 0x00, 0x70, 0x70, 0x00, 0x06, 0x00, 0x00, 0x00, 0x00, 0x70, 0x70, 0x00,
                   0x00, 0x00, 0x00, 0x00, 0xF7,
                   0xF0, 0x07, 0x43, 0x79, 0x06, 0x7F, 0x07, 0x00, 0xF7}));
  EXPECT_EQ(Body(b, "MspI"), (Bytes{'s', 't', ':', 0, 0, 0, 0x18, ',', 's', 'p', ':', 0, 0, 0, 0x22, ','}));
  EXPECT_EQ(Body(b, "Mtsq"),
            (Bytes{0x00, 0xF0, 0x07, 0x43, 0x79, 0x06, 0x7F, 0x00, 0x64, 0xF7, 0x00, 0xB0, 0x00, 0x7C,
                   0x00, 0xB0, 0x20, 0x01, 0x00, 0xC0, 0x05, 0x01, 0xFF, 0x00, 0x00, 0x90, 0x3C, 0x40,
                   0x85, 0x6E, 0x99, 0x32, 0xFF, 0x00, 0x00, 0xFF, 0x00, 0x00, 0xFF, 0x2F, 0x00}));
  EXPECT_EQ(Bytes(b.end() - 2, b.end()), (Bytes{0x6B, 0x7A}));
  BuildCrc16Table();
  EXPECT_EQ(Crc16(221, b.data()), 0x6B7A);
}

TEST(BuildAuditionVelk, VelkReaderFindsScoreTrackFiveWithItsSeekPoints) {
  Bytes b = Build(FmVoice124_1_5(), 3000);
  CMemStream s(b.data(), static_cast<int32_t>(b.size()), false);
  CVelkFileChunk file(s);
  ASSERT_EQ(file.GetScoreTracks().GetCount(), 1);
  const CScoreTrackChunk& track = *file.GetScoreTracks().GetItem(1);
  EXPECT_EQ(track.GetTrackNumber(), 5);
  const auto* seek = dynamic_cast<const CSeekPhraseChunk2*>(track.GetSeekPhraseChunk());
  ASSERT_NE(seek, nullptr);
  ASSERT_NE(seek->GetSeekPhrase().GetStartPoint(), nullptr);
  EXPECT_EQ(*seek->GetSeekPhrase().GetStartPoint(), 24u);
  EXPECT_EQ(*seek->GetSeekPhrase().GetStopPoint(), 34u);
}

TEST(BuildAuditionVelk, GateZeroEndsTheNoteAtOnce) {
  const Bytes seq = Body(Build(FmVoice124_1_5(), 0), "Mtsq");
  ASSERT_GE(seq.size(), 33u);
  EXPECT_EQ(Bytes(seq.begin() + 24, seq.begin() + 33), (Bytes{0x00, 0x90, 0x3C, 0x40, 0x00, 0x93, 0x44, 0xFF, 0x00}));
  const Bytes seek = Body(Build(FmVoice124_1_5(), 0), "MspI");
  EXPECT_EQ(BE32(seek, 11), 33u);
}

TEST(BuildAuditionVelk, LeavesOutTheVoiceOfEmptyPcmAndFixedBanks) {
  const Bytes onlyResetAndClose = {0xF0, 0x06, 0x43, 0x79, 0x06, 0x7F, 0x7F, 0xF7,
                                   0xF0, 0x07, 0x43, 0x79, 0x06, 0x7F, 0x07, 0x00, 0xF7};
  CVoiceItem pcm = FmVoice124_1_5();
  pcm.SetPcmFlag(1);
  EXPECT_EQ(Body(Build(pcm, 1000), "Mtsu"), onlyResetAndClose);
  CVoiceItem fixed = FmVoice124_1_5();
  fixed.SetBankLsb(10);
  EXPECT_EQ(Body(Build(fixed, 1000), "Mtsu"), onlyResetAndClose);
  CVoiceItem drum = FmVoice124_1_5();
  drum.SetBankMsb(125);
  drum.SetProgram(10);
  EXPECT_EQ(Body(Build(drum, 1000), "Mtsu"), onlyResetAndClose);
  // RM set: the voice goes, without a wave message.
  pcm.SetRM(1);
  EXPECT_EQ(Body(Build(pcm, 1000), "Mtsu").size(), onlyResetAndClose.size() + 32);
}

TEST(BuildAuditionVelk, PcmVoiceWithSamplesCarriesItsWave) {
  CVoiceItem pcm = FmVoice124_1_5();
  pcm.SetPcmFlag(1);
  pcm.SetWaveHeaderId(9);
  const uint8_t samples[] = {0x81, 0x02, 0x03};
  pcm.SetWaveSamples(samples, 3);
  pcm.SetWaveHeaderFlags(0x06);
  const Bytes setup = Body(Build(pcm, 1000), "Mtsu");
  // Reset (8), voice: F0 1E, head (10), 16 bytes packed (19), F7: 32; then the wave message.
  const Bytes wave(setup.begin() + 40, setup.end() - 9);
  EXPECT_EQ(wave, (Bytes{0xF0, 0x0C, 0x43, 0x79, 0x06, 0x7F, 0x03, 0x09, 0x02, 0x40, 0x01, 0x02, 0x03, 0xF7}));
}

TEST(BuildAuditionVelk, FmVoiceCarriesOnlyTheUserWavesItsOperatorsUse) {
  CVoiceItem v = FmVoice124_1_5();
  v.SetOpWS(1, 15);
  v.SetOpWS(2, 23);
  CNamedBlock waves[3];
  const Bytes data(2048, 0x11);
  for (CNamedBlock& w : waves) w.SetData(data.data(), 2048);
  AuditionUserWaves slots{};
  slots[15] = &waves[0];
  slots[23] = &waves[1];
  slots[31] = &waves[2];
  const Bytes setup = Body(Build(v, 1000, slots), "Mtsu");
  const size_t first = 8 + 33;
  ASSERT_EQ(setup.size(), first + 2 * 2351 + 9);
  for (int k = 0; k < 2; ++k) {
    const size_t at = first + static_cast<size_t>(k) * 2351;
    EXPECT_EQ(Bytes(setup.begin() + static_cast<long>(at), setup.begin() + static_cast<long>(at) + 9),
              (Bytes{0xF0, 0x92, 0x2C, 0x43, 0x79, 0x06, 0x7F, 0x0C, static_cast<uint8_t>(k == 0 ? 15 : 23)}));
    EXPECT_EQ(setup[at + 2350], 0xF7);
  }
}

}  // namespace

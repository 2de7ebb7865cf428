// The song document's wave services over its voice items.
#include <gtest/gtest.h>

#include "DocTestSupport.h"
#include "song/VoiceItem.h"

namespace {

class KZ1DocWaves : public doctest::DocTest {
 protected:
  // Gives voice item i a RAM PCM wave of that id and samples.
  CVoiceItem& GiveWave(int i, uint8_t id, std::vector<uint8_t> samples, const char* name = "w") {
    CVoiceItem& item = *doc->GetVoiceItem(i);
    item.SetPcmFlag(1);
    item.SetRM(0);
    item.SetWaveSamples(samples.data(), static_cast<uint32_t>(samples.size()));
    item.SetWaveHeaderId(id);
    item.SetWaveId(id);
    item.SetWaveName(name);
    return item;
  }
  static std::vector<uint8_t> Samples(const CVoiceItem& item) {
    return {item.GetWaveSamples(), item.GetWaveSamples() + item.GetWaveSampleSize()};
  }
};

TEST_F(KZ1DocWaves, CountsOtherRamUsersOfAWaveIdAndFindsItsVoice) {
  CKZ1Doc& d = Make(3);
  CVoiceItem& mine = GiveWave(3, 5, {1, 2});
  mine.SetBankMsb(124);
  mine.SetProgram(3);
  EXPECT_EQ(d.CountWaveIdUsers(mine), 0);
  CVoiceItem& other = GiveWave(4, 5, {1, 2});
  other.SetBankMsb(124);
  other.SetProgram(4);
  EXPECT_EQ(d.CountWaveIdUsers(mine), 1);
  // A ROM voice, a voice without samples and one of the same address do not count.
  other.SetRM(1);
  EXPECT_EQ(d.CountWaveIdUsers(mine), 0);
  other.SetRM(0);
  other.SetProgram(3);
  EXPECT_EQ(d.CountWaveIdUsers(mine), 0);
  EXPECT_EQ(d.FindVoiceByWaveId(5), &mine);
  EXPECT_EQ(d.FindVoiceByWaveId(6), nullptr);
  mine.SetPcmFlag(0);
  EXPECT_EQ(d.FindVoiceByWaveId(5), &other);
}

TEST_F(KZ1DocWaves, WaveIdsAndNames) {
  CKZ1Doc& d = Make(3);
  EXPECT_EQ(d.FindFreeWaveId(), 0);
  EXPECT_FALSE(d.HasVoiceItemId(0));
  GiveWave(3, 0, {1, 2}, "first");
  GiveWave(4, 1, {1, 2}, "second");
  EXPECT_EQ(d.FindFreeWaveId(), 2);
  EXPECT_TRUE(d.HasVoiceItemId(1));
  ASSERT_NE(d.GetWaveNameById(1), nullptr);
  EXPECT_STREQ(d.GetWaveNameById(1), "second");
  EXPECT_EQ(d.GetWaveNameById(2), nullptr);
  EXPECT_EQ(d.GetVoiceItemCount(), 128);
}

TEST_F(KZ1DocWaves, NoFreeWaveId) {
  CKZ1Doc& d = Make(3);
  for (int i = 0; i < 128; ++i) GiveWave(i, static_cast<uint8_t>(i), {1});
  EXPECT_EQ(d.FindFreeWaveId(), -1);
}

TEST_F(KZ1DocWaves, MfiProfilesStopAtThirtyTwoUserWaves) {
  CKZ1Doc& d = Make(3);
  CNamedBlock block;
  for (int b = 0; b < 32; ++b) d.SetWaveBlock(b, &block);
  EXPECT_EQ(d.FindFreeWaveId(), 0);
  host.settings.outputProfile = 1;
  EXPECT_EQ(d.FindFreeWaveId(), -1);
  host.settings.outputProfile = 7;
  EXPECT_EQ(d.FindFreeWaveId(), -1);
  d.SetWaveBlock(31, nullptr);
  EXPECT_EQ(d.FindFreeWaveId(), 0);
}

TEST_F(KZ1DocWaves, IdenticalSamplesShareTheSmallerId) {
  CKZ1Doc& d = Make(3);
  CVoiceItem& a = GiveWave(1, 9, {1, 2, 3});
  CVoiceItem& b = GiveWave(2, 5, {1, 2, 3});
  CVoiceItem& c = GiveWave(3, 7, {1, 2, 4});
  CVoiceItem none;
  EXPECT_TRUE(d.ShareIdenticalWaves(none));
  EXPECT_EQ(a.GetWaveHeaderId(), 5);
  EXPECT_EQ(a.GetWaveId(), 5);
  EXPECT_EQ(b.GetWaveHeaderId(), 5);
  EXPECT_EQ(c.GetWaveHeaderId(), 7);
}

TEST_F(KZ1DocWaves, TheItemsWaveSpreadsOverItsId) {
  CKZ1Doc& d = Make(3);
  CVoiceItem& same = GiveWave(1, 6, {9, 9}, "other name");
  CVoiceItem& stale = GiveWave(2, 6, {1, 1, 1});
  CVoiceItem& apart = GiveWave(3, 8, {1, 1, 1, 1});
  CVoiceItem item;
  item.SetPcmFlag(1);
  const uint8_t fresh[] = {9, 9};
  item.SetWaveSamples(fresh, 2);
  item.SetWaveHeaderId(6);
  item.SetWaveId(6);
  item.SetWaveName("fresh");
  EXPECT_TRUE(d.ShareIdenticalWaves(item));
  EXPECT_EQ(Samples(stale), (std::vector<uint8_t>{9, 9}));
  EXPECT_STREQ(stale.GetWaveHeader(), "fresh");
  EXPECT_STREQ(same.GetWaveHeader(), "other name") << "equal samples are left as they are";
  EXPECT_EQ(Samples(apart), (std::vector<uint8_t>{1, 1, 1, 1}));
}

TEST_F(KZ1DocWaves, AnItemWithoutAWaveWipesNothing) {
  CKZ1Doc& d = Make(3);
  CVoiceItem& other = GiveWave(1, 0, {4, 5});
  CVoiceItem item;
  item.SetPcmFlag(1);  // wave header id reads 0 without wave data
  EXPECT_TRUE(d.ShareIdenticalWaves(item));
  EXPECT_EQ(Samples(other), (std::vector<uint8_t>{4, 5}));
}

TEST_F(KZ1DocWaves, ClearingWaves) {
  CKZ1Doc& d = Make(3);
  GiveWave(1, 0, {4, 5});
  GiveWave(2, 1, {4, 5});
  d.ClearVoiceItemWave(1);
  EXPECT_EQ(d.GetVoiceItem(1)->GetWaveData(), nullptr);
  EXPECT_NE(d.GetVoiceItem(2)->GetWaveData(), nullptr);
  d.ClearVoiceItemWave(500);
  d.ClearVoiceItemWaves();
  EXPECT_EQ(d.GetVoiceItem(2)->GetWaveData(), nullptr);
}

}  // namespace

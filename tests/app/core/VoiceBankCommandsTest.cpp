// Tests of the generation-2 to generation-3 voice mapping and the bank numbering of converted
// and imported voices.
#include "app/core/VoiceBankCommands.h"

#include <gtest/gtest.h>

#include "platform/host/testing/FakeHost.h"
#include "song/Voice2.h"
#include "song/Voice2List.h"
#include "song/VoiceBank.h"
#include "song/VoiceItem.h"

namespace {

CVoice2 Voice(int bank, int program) {
  CVoice2 v;
  v.SetBank(bank);
  v.SetProgram(program);
  v.SetNameText("Bright");
  v.SetAlgorithm(5);
  v.SetFB(3);
  v.SetLFO(2);
  for (int n = 1; n <= 4; ++n) {
    v.SetOpMULTI(n, n);
    v.SetOpVIB(n, 1);
    v.SetOpRR(n, 9);
    v.SetOpDR(n, 3);
    v.SetOpAR(n, 12);
    v.SetOpSL(n, 5);
    v.SetOpTL(n, 40 + n);
    v.SetOpKSL(n, 2);
    v.SetOpDVB(n, 1);
    v.SetOpDAM(n, 2);
    v.SetOpAM(n, 1);
    v.SetOpWS(n, 6);
  }
  return v;
}

TEST(VoiceBankCommands, MapsEveryOperatorField) {
  platform::FakeHost host;
  CVoice2 v = Voice(0, 1);
  v.SetOpSUS(2, 1);
  v.SetOpEGT(3, 1);
  const CVoiceItem item = voicebank::MapVoice2(v, false);
  EXPECT_STREQ(item.GetName(), "Bright");
  EXPECT_EQ(item.GetAlgorithm(), 5);
  EXPECT_EQ(item.GetLFO(), 2);
  EXPECT_EQ(item.GetOpFB(1), 3);
  EXPECT_FALSE(item.IsPcm());
  for (int n = 1; n <= 4; ++n) {
    SCOPED_TRACE(n);
    EXPECT_EQ(item.GetOpMULTI(n), n);
    EXPECT_EQ(item.GetOpEVB(n), 1);
    EXPECT_EQ(item.GetOpSUS(n), 0);
    EXPECT_EQ(item.GetOpRR(n), n == 2 ? 4 : 9);  // SUS set gives RR 4
    EXPECT_EQ(item.GetOpSR(n), n == 3 ? 0 : 9);  // EGT set gives SR 0
    EXPECT_EQ(item.GetOpDR(n), 3);
    EXPECT_EQ(item.GetOpAR(n), 12);
    EXPECT_EQ(item.GetOpSL(n), 5);
    EXPECT_EQ(item.GetOpTL(n), 40 + n);
    EXPECT_EQ(item.GetOpKSL(n), 2);
    EXPECT_EQ(item.GetOpDVB(n), 1);
    EXPECT_EQ(item.GetOpDAM(n), 2);
    EXPECT_EQ(item.GetOpEAM(n), 1);
    EXPECT_EQ(item.GetOpWS(n), 6);
    EXPECT_EQ(item.GetOpXOF(n), 0);
  }
}

TEST(VoiceBankCommands, DrumVoicesTakeXofAndTheirKey) {
  platform::FakeHost host;
  CVoice2 v = Voice(128, 40);
  v.SetDrumKey(52);
  const CVoiceItem item = voicebank::MapVoice2(v, true);
  for (int n = 1; n <= 4; ++n) EXPECT_EQ(item.GetOpXOF(n), 1);
  EXPECT_EQ(item.GetDrumKey(), 52);
}

TEST(VoiceBankCommands, ConvertPlacesMelodicAndDrumVoices) {
  platform::FakeHost host;
  CVoice2List list;
  list.Set(3, 17, Voice(3, 17));
  list.Set(130, 40, Voice(130, 40));
  list.Set(130, 5, Voice(130, 5));  // below the drum notes: not taken
  CVoiceBank bank;
  EXPECT_EQ(voicebank::ConvertVoice2List(list, bank), 2);
  EXPECT_NE(bank.FindVoice(124, 3, 17, 0), nullptr);
  const CVoiceItem* drum = bank.FindVoice(125, 0, 2, 40);
  ASSERT_NE(drum, nullptr);
  EXPECT_EQ(drum->GetOpXOF(1), 1);
}

TEST(VoiceBankCommands, ImportNumbersChosenBanksInOrder) {
  platform::FakeHost host;
  CVoice2List list;
  list.Set(3, 1, Voice(3, 1));
  list.Set(7, 2, Voice(7, 2));
  list.Set(128, 20, Voice(128, 20));
  list.Set(130, 21, Voice(130, 21));
  voicebank::ImportChoices chosen{};
  chosen[3] = chosen[7] = chosen[10] = chosen[12] = true;
  for (int profile : {2, 4}) {
    CVoiceBank bank;
    int marks = 0;
    EXPECT_EQ(voicebank::ImportVoice2Banks(list, chosen, profile, bank, [&marks] { ++marks; }), 4);
    EXPECT_EQ(marks, 4);
    EXPECT_NE(bank.FindVoice(124, 1, 1, 0), nullptr);
    EXPECT_NE(bank.FindVoice(124, 2, 2, 0), nullptr);
    const int first = profile == 4 ? 1 : 2;
    EXPECT_NE(bank.FindVoice(125, 0, first, 20), nullptr) << profile;
    EXPECT_NE(bank.FindVoice(125, 0, first + 1, 21), nullptr) << profile;
  }
}

TEST(VoiceBankCommands, FileNameLimitAndDefaultBanks) {
  EXPECT_FALSE(voicebank::BankFileNameTooLong("/tmp/" + std::string(55, 'a') + ".vk3"));
  EXPECT_TRUE(voicebank::BankFileNameTooLong("/tmp/" + std::string(56, 'a') + ".vk3"));
  EXPECT_STREQ(voicebank::DefaultBankFile(4), "DefKZ3P_U.vk3");
  EXPECT_STREQ(voicebank::DefaultBankFile(2), "DefKZ3_U.vk3");
}

}  // namespace

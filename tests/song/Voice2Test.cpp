// The generation-2 voice record's bit fields and comparisons.
#include "song/Voice2.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

namespace {

struct OpField {
  const char* name;
  int (CVoice2::*get)(int) const;
  bool (CVoice2::*set)(int, int);
  int byte;  // within the operator
  int shift;
  int width;
};

const OpField kOpFields[] = {
    {"MULTI", &CVoice2::GetOpMULTI, &CVoice2::SetOpMULTI, 0, 4, 4},
    {"VIB", &CVoice2::GetOpVIB, &CVoice2::SetOpVIB, 0, 3, 1},
    {"EGT", &CVoice2::GetOpEGT, &CVoice2::SetOpEGT, 0, 2, 1},
    {"SUS", &CVoice2::GetOpSUS, &CVoice2::SetOpSUS, 0, 1, 1},
    {"KSR", &CVoice2::GetOpKSR, &CVoice2::SetOpKSR, 0, 0, 1},
    {"RR", &CVoice2::GetOpRR, &CVoice2::SetOpRR, 1, 4, 4},
    {"DR", &CVoice2::GetOpDR, &CVoice2::SetOpDR, 1, 0, 4},
    {"AR", &CVoice2::GetOpAR, &CVoice2::SetOpAR, 2, 4, 4},
    {"SL", &CVoice2::GetOpSL, &CVoice2::SetOpSL, 2, 0, 4},
    {"TL", &CVoice2::GetOpTL, &CVoice2::SetOpTL, 3, 2, 6},
    {"KSL", &CVoice2::GetOpKSL, &CVoice2::SetOpKSL, 3, 0, 2},
    {"DVB", &CVoice2::GetOpDVB, &CVoice2::SetOpDVB, 4, 6, 2},
    {"DAM", &CVoice2::GetOpDAM, &CVoice2::SetOpDAM, 4, 4, 2},
    {"AM", &CVoice2::GetOpAM, &CVoice2::SetOpAM, 4, 3, 1},
    {"WS", &CVoice2::GetOpWS, &CVoice2::SetOpWS, 4, 0, 3},
};

TEST(Voice2, EveryOperatorFieldSitsAtItsBits) {
  for (const OpField& f : kOpFields) {
    for (int n = 1; n <= 4; ++n) {
      SCOPED_TRACE(std::string(f.name) + " op " + std::to_string(n));
      CVoice2 v;
      const int max = (1 << f.width) - 1;
      EXPECT_TRUE((v.*f.set)(n, max));
      EXPECT_EQ((v.*f.get)(n), max);
      const int at = 21 + 5 * (n - 1) + f.byte;
      for (int i = 0; i < CVoice2::kSize; ++i) {
        const uint8_t expected = i == at ? static_cast<uint8_t>(max << f.shift) : 0;
        ASSERT_EQ(v.GetBytes()[i], expected) << "byte " << i;
      }
      // Neighbouring bits survive a setter.
      CVoice2 full;
      std::vector<uint8_t> ones(CVoice2::kParamsSize, 0xFF);
      full.SetParams(ones.data());
      (full.*f.set)(n, 0);
      EXPECT_EQ(full.GetBytes()[at], static_cast<uint8_t>(~(max << f.shift)));
    }
  }
}

TEST(Voice2, VoiceFieldsAndKeptBits) {
  CVoice2 v;
  std::vector<uint8_t> ones(CVoice2::kParamsSize, 0xFF);
  v.SetParams(ones.data());
  v.SetVoiceNo(3);
  v.SetProgram(5);
  v.SetLFO(1);
  v.SetFB(2);
  v.SetAlgorithm(5);
  v.SetBO(0);
  v.SetBank(131);
  v.SetDrumKey(36);
  EXPECT_EQ(v.GetBytes()[16], 0xF3);  // bits 4-7 kept
  EXPECT_EQ(v.GetBytes()[18], 0x85);  // bit 7 kept
  EXPECT_EQ(v.GetBytes()[19], (1 << 6) | (2 << 3) | 5);
  EXPECT_EQ(v.GetBytes()[20], 0xFC);
  EXPECT_EQ(v.GetVoiceNo(), 3);
  EXPECT_EQ(v.GetProgram(), 5);
  EXPECT_EQ(v.GetBank(), 131);
  EXPECT_EQ(v.GetDrumKey(), 36);
  EXPECT_TRUE(v.IsDrum());
  EXPECT_EQ(v.GetOperatorCount(), 4);
  EXPECT_EQ(v.GetVoiceDataLength(), 25);
}

TEST(Voice2, OperatorCountFollowsAlgorithmBit2) {
  CVoice2 v;
  v.SetAlgorithm(3);
  EXPECT_EQ(v.GetOperatorCount(), 2);
  EXPECT_EQ(v.GetVoiceDataLength(), 15);
  v.SetOperatorCount(4);
  EXPECT_EQ(v.GetAlgorithm(), 7);
  v.SetOperatorCount(3);  // ignored
  EXPECT_EQ(v.GetAlgorithm(), 7);
  v.SetOperatorCount(2);
  EXPECT_EQ(v.GetAlgorithm(), 3);
  EXPECT_EQ(CVoice2::GetOperatorOffset(1), 0);
  EXPECT_EQ(CVoice2::GetOperatorOffset(4), 15);
}

TEST(Voice2, SameParamsIgnoresAddressAndComparesOperatorsOfTheOther) {
  CVoice2 a;
  CVoice2 b;
  b.SetNameText("Other");
  b.SetBank(3);
  b.SetProgram(9);
  b.SetVoiceNo(2);
  b.SetDrumKey(40);
  EXPECT_TRUE(a.IsSameParams(b));
  // Operators 3 and 4 only count when the other voice has four operators.
  a.SetOpTL(3, 10);
  EXPECT_TRUE(a.IsSameParams(b));
  b.SetAlgorithm(4);
  a.SetAlgorithm(4);
  EXPECT_FALSE(a.IsSameParams(b));
  b.SetOpTL(3, 10);
  EXPECT_TRUE(a.IsSameParams(b));
  b.SetFB(1);
  EXPECT_FALSE(a.IsSameParams(b));
}

TEST(Voice2, NamedVoiceWithClearedParamsIsDefault) {
  CVoice2 v;
  v.SetNameText("A very long voice name");
  EXPECT_EQ(std::memcmp(v.GetName(), "A very long voic", 16), 0);
  EXPECT_EQ(v.GetBytes()[16], 0);
  v.SetBank(2);
  v.SetProgram(4);
  EXPECT_TRUE(v.IsDefault());
  v.SetOpAR(2, 15);
  EXPECT_FALSE(v.IsDefault());
  CVoice2 copy;
  copy = v;
  EXPECT_EQ(std::memcmp(copy.GetBytes(), v.GetBytes(), CVoice2::kSize), 0);
  copy.Clear();
  EXPECT_TRUE(copy.IsDefault());
  EXPECT_EQ(copy.GetName()[0], 0);
}

}  // namespace

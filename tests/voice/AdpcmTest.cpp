#include "voice/Adpcm.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

using Codes = std::vector<uint8_t>;

Codes Encode(const std::vector<int16_t>& samples, AdpcmState* out = nullptr) {
  Codes codes((samples.size() + 1) / 2, 0xEE);
  AdpcmState state;
  AdpcmInit(state);
  AdpcmEncode(state, samples.data(), codes.data(), static_cast<int32_t>(samples.size()));
  if (out) *out = state;
  return codes;
}

std::vector<int16_t> Decode(const Codes& codes) {
  std::vector<int16_t> samples(codes.size() * 2);
  AdpcmDecode(codes.data(), samples.data(), static_cast<int32_t>(codes.size()));
  return samples;
}

TEST(Adpcm, SilenceSwingsBetween15And0AtTheSmallestStep) {
  AdpcmState state;
  EXPECT_EQ(Encode({0, 0, 0, 0}, &state), (Codes{0x80, 0x80}));
  EXPECT_EQ(state.predictor, 0);
  EXPECT_EQ(state.step, 127);
  EXPECT_EQ(Decode({0x80, 0x80}), (std::vector<int16_t>{15, 0, 15, 0}));
}

TEST(Adpcm, RisingStepClampsAtFullScale) {
  std::vector<int16_t> up(12, 32767);
  up[0] = 0;
  const Codes codes = Encode(up);
  EXPECT_EQ(codes, (Codes{0x70, 0x77, 0x77, 0x07, 0x00, 0x00}));
  EXPECT_EQ(Decode(codes), (std::vector<int16_t>{15, 251, 821, 2187, 5464, 13324, 32174, 32767,
                                                  32767, 32767, 32767, 32767}));
}

TEST(Adpcm, FallingStepClampsAtNegativeFullScale) {
  std::vector<int16_t> down(12, -32768);
  down[0] = 0;
  const Codes codes = Encode(down);
  EXPECT_EQ(codes, (Codes{0xF0, 0xFF, 0xFF, 0x8F, 0x80, 0x08}));
  EXPECT_EQ(Decode(codes), (std::vector<int16_t>{15, -221, -791, -2157, -5434, -13294, -32144,
                                                  -32768, -30060, -32492, -32768, -30805}));
}

TEST(Adpcm, OddCountLeavesTheLastHighNibbleZero) {
  EXPECT_EQ(Encode({0, 0, 0}), (Codes{0x80, 0x00}));
}

TEST(Adpcm, CountBelowOneWritesNothing) {
  Codes codes{0xAB};
  AdpcmState state;
  AdpcmInit(state);
  const int16_t sample = 1000;
  AdpcmEncode(state, &sample, codes.data(), 0);
  AdpcmEncode(state, &sample, codes.data(), -3);
  EXPECT_EQ(codes[0], 0xAB);
  EXPECT_EQ(state.step, 127);
  std::vector<int16_t> samples{7, 7};
  AdpcmDecode(codes.data(), samples.data(), 0);
  EXPECT_EQ(samples, (std::vector<int16_t>{7, 7}));
}

TEST(Adpcm, PackNibbleReplacesWholeByteAtEvenIndexAndHighNibbleAtOdd) {
  Codes codes{0xFF, 0xFF};
  AdpcmPackNibble(codes.data(), 0, 0x3);
  EXPECT_EQ(codes[0], 0x03);
  AdpcmPackNibble(codes.data(), 1, 0xA);
  EXPECT_EQ(codes[0], 0xA3);
  AdpcmPackNibble(codes.data(), 3, 0x5);
  EXPECT_EQ(codes[1], 0x5F);
}

TEST(Adpcm, StateCarriesOverBetweenEncodeCalls) {
  std::vector<int16_t> up(12, 32767);
  up[0] = 0;
  AdpcmState state;
  AdpcmInit(state);
  Codes first(3), second(3);
  AdpcmEncode(state, up.data(), first.data(), 6);
  AdpcmEncode(state, up.data() + 6, second.data(), 6);
  EXPECT_EQ(first, (Codes{0x70, 0x77, 0x77}));
  EXPECT_EQ(second, (Codes{0x07, 0x00, 0x00}));
}

TEST(Adpcm, DecoderReproducesTheEncodersPredictors) {
  std::mt19937 random(1234);
  for (int round = 0; round < 20; ++round) {
    SCOPED_TRACE(round);
    std::uniform_int_distribution<int> amplitude(0, 32767);
    const int a = amplitude(random);
    std::uniform_int_distribution<int> sample(-a - 1, a);
    std::vector<int16_t> samples(2 * (1 + round * 37));
    for (int16_t& s : samples) s = static_cast<int16_t>(sample(random));

    // The predictor after each sample, tracked by encoding one sample at a time.
    std::vector<int16_t> predictors;
    AdpcmState state;
    AdpcmInit(state);
    Codes codes(samples.size() / 2);
    for (size_t i = 0; i < samples.size(); ++i) {
      uint8_t code = 0;
      AdpcmEncode(state, &samples[i], &code, 1);
      AdpcmPackNibble(codes.data(), static_cast<int32_t>(i), code);
      predictors.push_back(static_cast<int16_t>(state.predictor));
      ASSERT_GE(state.step, 127);
      ASSERT_LE(state.step, 24576);
    }
    EXPECT_EQ(codes, Encode(samples));
    EXPECT_EQ(Decode(codes), predictors);
  }
}

}  // namespace

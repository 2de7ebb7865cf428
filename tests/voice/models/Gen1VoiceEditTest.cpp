#include "voice/models/Gen1VoiceEdit.h"

#include <gtest/gtest.h>

#include <vector>

#include "song/VoiceTable1.h"

namespace {

TEST(Gen1VoiceFields, StoreWritesPackedWordsMultiplesAndRanges) {
  CVoiceTable1 table;
  Gen1VoiceFields f;
  f.name = "Piano";
  f.op[0] = {1, 0, 1, 1, 7, 3, 15, 2, 10, 5};
  f.op[1] = {0, 1, 0, 0, 4, 2, 1, 0, 0, 0};
  f.rangeOn = {1, 0, 1, 0};
  f.m = {1, 1, 5, 1};
  f.c = {1, 1, 7, 1};
  f.basic = 2;
  f.Write(table, 5);
  const uint8_t* e = table.GetEntry(5);
  const std::vector<uint8_t> bytes(e + 20, e + 33);
  EXPECT_EQ(bytes, (std::vector<uint8_t>{0xB5, 0xCF, 0xC8, 0xAD, 0xE9, 0x08, 0x40, 0x00, 0x11, 0x11, 0x57, 0x11, 0x52}));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(e)), "Piano");

  const Gen1VoiceFields back = Gen1VoiceFields::Read(table, 5);
  EXPECT_EQ(back.op[0].rr, 7);
  EXPECT_EQ(back.op[1].ar, 1);
  EXPECT_EQ(back.basic, 2);
  EXPECT_EQ(back.rangeOn, (std::array<int, 4>{1, 0, 1, 0}));
}

TEST(Gen1VoiceFields, AttackZeroShowsAsOneAndNamesKeepSixteen) {
  CVoiceTable1 table;
  uint8_t entry[33] = {};
  for (int i = 0; i < 17; ++i) entry[i] = 'N';
  table.SetEntry(3, entry);
  Gen1VoiceFields f = Gen1VoiceFields::Read(table, 3);
  EXPECT_EQ(f.name, std::string(16, 'N'));
  EXPECT_EQ(f.op[0].ar, 1);
  EXPECT_EQ(gen1text::AttackRate(0), "---");
  f.name = "Twenty characters!!!";
  f.Write(table, 3);
  EXPECT_EQ(table.GetAR(3, 0), 1);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(table.GetEntry(3)), 16), "Twenty character");
  EXPECT_EQ(table.GetEntry(3)[16], 'N');
}

TEST(Gen1ValueTexts, SliderTexts) {
  EXPECT_EQ(gen1text::AttackRate(15), "0");
  EXPECT_EQ(gen1text::DecayRate(1), "73234.00");
  EXPECT_EQ(gen1text::SustainLevel(15), "-45");
  EXPECT_EQ(gen1text::SustainLevel(0), "0");
  EXPECT_EQ(gen1text::TotalLevel(63), "-47.25");
  EXPECT_EQ(gen1text::TotalLevel(1), "-0.75");
  EXPECT_EQ(gen1text::FeedbackLevel(1), "1/16");
  EXPECT_EQ(gen1text::Multiple(0), "1/2");
  EXPECT_EQ(gen1text::Multiple(8), "");
}

TEST(Gen1TestKeys, ButtonsAndLettersGiveGroupAndKeyCode) {
  EXPECT_EQ(gen1keys::KeyOfButton(1977), 3);
  EXPECT_EQ(gen1keys::Sound(3).group, 1);
  EXPECT_EQ(gen1keys::Sound(3).keyCode, 5);
  EXPECT_EQ(gen1keys::ButtonOfKey(gen1keys::KeyOfButton(1966)), 1966);
  for (int id = 1954; id <= 1989; ++id) EXPECT_EQ(gen1keys::ButtonOfKey(gen1keys::KeyOfButton(id)), id);

  int octave = 1;
  const int v = gen1keys::KeyOfLetter('V', octave);
  EXPECT_EQ(gen1keys::Sound(v).group, 2);
  EXPECT_EQ(gen1keys::Sound(v).keyCode, 6);

  octave = 0;
  EXPECT_EQ(gen1keys::KeyOfLetter('Z', octave), -1);  // outside 0..35: swallowed
  EXPECT_EQ(gen1keys::KeyOfLetter('A', octave), gen1keys::kPassOn);
  EXPECT_EQ(gen1keys::KeyOfLetter('Q', octave), gen1keys::kOctaveMoved);
  EXPECT_EQ(octave, 1);
  EXPECT_EQ(gen1keys::KeyOfLetter('P', octave), gen1keys::kPassOn);
}

}  // namespace

#include "voice/models/Gen2VoiceEdit.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/host/testing/FakeHost.h"
#include "song/VoiceLibrary.h"
#include "song/document/KZ1Doc.h"

namespace {

std::vector<uint8_t> Bytes(const CVoice2& v, int from, int to) {
  return std::vector<uint8_t>(v.GetBytes() + from, v.GetBytes() + to + 1);
}

TEST(Gen2Text, LevelsAddTheirBitsInDecibels) {
  EXPECT_EQ(gen2text::SustainLevel(1), "3.00");
  EXPECT_EQ(gen2text::SustainLevel(5), "15.00");
  EXPECT_EQ(gen2text::SustainLevel(15), "45.00");
  EXPECT_EQ(gen2text::TotalLevel(1), "0.75");
  EXPECT_EQ(gen2text::TotalLevel(33), "24.75");
  EXPECT_EQ(gen2text::TotalLevel(63), "47.25");
  EXPECT_EQ(gen2text::SustainLevel(16), "");
  EXPECT_EQ(gen2text::TotalLevel(64), "");
}

TEST(Gen2Text, ValueListsByPosition) {
  struct Case {
    std::string (*text)(int);
    int v;
    const char* want;
  };
  const Case cases[] = {
      {gen2text::Lfo, 0, "1.9"},          {gen2text::Lfo, 3, "7.2"},          {gen2text::Lfo, 4, ""},
      {gen2text::Feedback, 1, "(pi)/16"}, {gen2text::Feedback, 7, "4*(pi)"}, {gen2text::Multiple, 0, "1/2"},
      {gen2text::Multiple, 11, "10"},     {gen2text::Multiple, 15, "15"},    {gen2text::Multiple, 16, ""},
      {gen2text::KeyScaleLevel, 2, "1.5"}, {gen2text::VibratoDepth, 3, "26.8"}, {gen2text::AmDepth, 1, "2.8"},
      {gen2text::WaveShape, 5, "5"},      {gen2text::AmDepth, -1, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(c.text(c.v), c.want) << c.v;
}

TEST(Gen2Text, RateListsFallByGroupsOfFour) {
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(gen2text::DecayEntry(i), "-");
    EXPECT_EQ(gen2text::AttackEntry(i), "-");
  }
  EXPECT_EQ(gen2text::DecayEntry(4), "41536.90");
  EXPECT_EQ(gen2text::DecayEntry(5), "33229.52");
  EXPECT_EQ(gen2text::DecayEntry(8), "20768.45");
  for (int i = 60; i < 64; ++i) {
    EXPECT_EQ(gen2text::DecayEntry(i), "2.54");
    EXPECT_EQ(gen2text::AttackEntry(i), "0");
  }
  EXPECT_EQ(gen2text::AttackEntry(4), "2842.12");
  EXPECT_EQ(gen2text::DecayEntry(64), "");
  // A rate shows the entry four times its value: 0 none, 1 the slowest, 15 the fastest.
  EXPECT_EQ(gen2text::DecayRate(0), "-");
  EXPECT_EQ(gen2text::DecayRate(1), "41536.90");
  EXPECT_EQ(gen2text::DecayRate(15), "2.54");
  EXPECT_EQ(gen2text::AttackRate(1), "2842.12");
  EXPECT_EQ(gen2text::AttackRate(15), "0");
  EXPECT_EQ(gen2text::AttackRate(16), "");
}

TEST(Gen2Rules, FixedBanksPicturesAndTabs) {
  for (int bank : {0, 1, 128, 129}) EXPECT_TRUE(gen2::IsFixedBank(bank)) << bank;
  for (int bank : {2, 127, 130, 255}) EXPECT_FALSE(gen2::IsFixedBank(bank)) << bank;
  EXPECT_EQ(gen2::AlgorithmPictureId(2, 0), 1260);
  EXPECT_EQ(gen2::AlgorithmPictureId(2, 1), 1261);
  EXPECT_EQ(gen2::AlgorithmPictureId(4, 0), 1262);
  EXPECT_EQ(gen2::AlgorithmPictureId(4, 3), 1265);
  EXPECT_EQ(gen2::WaveShapePictureId(7), 1273);
  EXPECT_EQ(gen2::AlgMax(2), 1);
  EXPECT_EQ(gen2::AlgMax(4), 3);
  EXPECT_EQ(gen2::TabForOperatorCount(3, 2), 1);
  EXPECT_EQ(gen2::TabForOperatorCount(0, 2), 0);
  EXPECT_EQ(gen2::TabForOperatorCount(2, 4), 2);
}

class CGen2VoiceEditTest : public ::testing::Test {
 protected:
  CGen2VoiceEditTest() {
    host.settings.chipMode = 2;
    host.registry.voiceLibrary = &library;
  }
  platform::FakeHost host;
  CVoiceLibrary library;
};

TEST_F(CGen2VoiceEditTest, StoreWritesTheVoiceWideAndOperatorFields) {
  CGen2VoiceEdit edit;
  edit.InitLibrary(2, 3, true, &library);
  Gen2VoiceFields f = edit.Show(3);
  EXPECT_EQ(f.bank, 2);
  EXPECT_EQ(f.program, 3);
  EXPECT_EQ(f.voiceNo, 1);
  f.operatorCount = 4;
  f.alg = 3;
  f.lfo = 2;
  f.fb = 5;
  f.bo = 1;
  f.op.multi = 7;
  f.op.tl = 40;
  f.op.ws = 5;
  f.op.am = 1;
  edit.Store(f, 3);
  const CVoice2& w = edit.Work();
  EXPECT_EQ(Bytes(w, 16, 20), (std::vector<uint8_t>{0x00, 0x02, 0x03, 0xAF, 0x01}));
  EXPECT_EQ(Bytes(w, 31, 35), (std::vector<uint8_t>{0x70, 0x00, 0x00, 0xA0, 0x0D}));
  EXPECT_EQ(Bytes(w, 21, 30), std::vector<uint8_t>(10, 0));
  EXPECT_EQ(Bytes(w, 36, 41), std::vector<uint8_t>(6, 0));

  ASSERT_TRUE(edit.Commit(nullptr, &library));
  EXPECT_EQ(Bytes(*library.GetVoice2(2, 3), 0, 41), Bytes(w, 0, 41));
  EXPECT_EQ(library.IsModified(), 1);
}

TEST_F(CGen2VoiceEditTest, ShowReadsOneOperatorAndASixteenCharacterName) {
  CVoice2 voice;
  voice.SetName(reinterpret_cast<const uint8_t*>("ABCDEFGHIJKLMNOP"));
  voice.SetOperatorCount(4);
  voice.SetAlgorithm(4 | 2);
  voice.SetVoiceNo(15);
  voice.SetOpDR(2, 9);
  voice.SetOpKSR(2, 1);
  voice.SetOpDVB(4, 3);
  library.SetVoice2(5, 6, voice);
  CGen2VoiceEdit edit;
  edit.InitLibrary(5, 6, true, &library);
  const Gen2VoiceFields two = edit.Show(2);
  EXPECT_EQ(two.name, "ABCDEFGHIJKLMNOP");
  EXPECT_EQ(two.voiceNo, 16);
  EXPECT_EQ(two.operatorCount, 4);
  EXPECT_EQ(two.alg, 2);
  EXPECT_EQ(two.op.dr, 9);
  EXPECT_EQ(two.op.ksr, 1);
  EXPECT_EQ(edit.Show(4).op.dvb, 3);
  // A longer name keeps 16 characters.
  Gen2VoiceFields f = two;
  f.name = "Twenty characters!!!";
  edit.Store(f, 2);
  EXPECT_EQ(edit.Show(1).name, "Twenty character");
}

TEST_F(CGen2VoiceEditTest, AVoiceThatMayNotBeEditedGoesNowhere) {
  CGen2VoiceEdit edit;
  edit.InitLibrary(0, 3, false, &library);
  Gen2VoiceFields f = edit.Show(1);
  f.op.tl = 20;
  edit.Store(f, 1);
  EXPECT_FALSE(edit.Commit(nullptr, &library));
  EXPECT_EQ(library.GetVoice2(0, 3)->GetOpTL(1), 0);
}

TEST_F(CGen2VoiceEditTest, SlotSourceWritesTheSongSlotAndAsksTheSong) {
  CKZ1Doc doc;
  host.registry.document = &doc;
  ASSERT_EQ(doc.AssignKZ12Voice(2, 4, 9), 1);
  doc.SetModifiedFlags(1 | 2);
  CGen2VoiceEdit edit;
  edit.InitSlot(2, &doc);
  EXPECT_EQ(edit.GetSource(), CGen2VoiceEdit::kSlot);
  Gen2VoiceFields f = edit.Show(1);
  EXPECT_EQ(f.bank, 4);
  EXPECT_EQ(f.program, 9);
  f.name = "Slot";
  f.op.ar = 12;
  edit.Store(f, 1);
  EXPECT_TRUE(edit.SongAccepts(&doc));
  ASSERT_TRUE(edit.Commit(&doc, &library));
  CVoice2 stored;
  doc.GetKZ2Voice(2, stored);
  EXPECT_EQ(stored.GetOpAR(1), 12);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(stored.GetName()), 4), "Slot");
  EXPECT_NE(doc.TestModifiedFlags(1), 0);
  // The library keeps its own voice.
  EXPECT_EQ(library.GetVoice2(4, 9)->GetOpAR(1), 0);

  // A new program moves the slot's address, and the channels playing it follow.
  doc.SetChannelVoiceSlot(0, 2);
  f.program = 11;
  edit.Store(f, 1);
  ASSERT_TRUE(edit.Commit(&doc, &library));
  EXPECT_EQ(doc.GetVoiceProgram(2), 11);
  EXPECT_EQ(doc.GetChannelProgram(0), 11);
  doc.GetKZ2Voice(2, stored);
  EXPECT_EQ(stored.GetProgram(), 11);
  EXPECT_EQ(stored.GetOpAR(1), 12);
  // A slot outside the song's is no place to write.
  CGen2VoiceEdit outside;
  outside.InitSlot(CVoiceAssignTable::kSlotCount, &doc);
  EXPECT_FALSE(outside.Commit(&doc, &library));

  // Four operators on a slot whose partner is taken by the chip's pairing are refused.
  CGen2VoiceEdit upper;
  upper.InitSlot(5, &doc);
  Gen2VoiceFields four = upper.Show(1);
  four.operatorCount = 4;
  upper.Store(four, 1);
  EXPECT_FALSE(upper.SongAccepts(&doc));
  host.registry.document = nullptr;
}

}  // namespace

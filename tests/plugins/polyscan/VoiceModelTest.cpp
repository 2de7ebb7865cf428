// The voice-allocation model on its own: slot choice, stealing, counts, controls, pending writes.
#include "plugins/polyscan/VoiceModel.h"

#include <gtest/gtest.h>

#include <vector>

#include "app/CnvParam.h"
#include "plugins/polyscan/CheckFailure.h"

namespace polyscan {
namespace {

constexpr int kDrums = 9;  // channel 10

/// The channel (1..16) whose voice the next FM note takes, after one note on each owner.
int VictimAfter(const std::vector<int>& owners) {
  SongTables tables;
  VoiceModel model(tables, true, 0, 0);
  int key = 60;
  for (int owner : owners) model.NoteOn(owner - 1, static_cast<uint8_t>(key++), 100);
  std::vector<int> before(16);
  for (int s = 0; s < 16; ++s) before[s] = model.Voice(s).owner + 1;
  model.NoteOn(0, 100, 100);
  for (int s = 0; s < 16; ++s) {
    if (model.Voice(s).stolen) return before[s];
  }
  return 0;
}

std::vector<int> Repeat(int channel, int times, std::vector<int> tail = {}) {
  std::vector<int> v(times, channel);
  v.insert(v.end(), tail.begin(), tail.end());
  return v;
}

TEST(VoiceModel, StealsFromChannel16FirstAndChannel10Last) {
  struct Case {
    const char* name;
    std::vector<int> owners;  // 16 notes, channels 1..16
    int victim;
  };
  const Case cases[] = {
      {"one note on every channel", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}, 16},
      {"11 before 9", Repeat(10, 14, {9, 11}), 11},
      {"9 before 1", Repeat(10, 14, {1, 9}), 9},
      {"10 last", Repeat(10, 15, {1}), 1},
      {"only 10 left", Repeat(10, 16), 10},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(VictimAfter(c.owners), c.victim);
  }
}

TEST(VoiceModel, StolenVoiceIsTheOldestOfItsChannel) {
  SongTables tables;
  VoiceModel model(tables, true, 0, 0);
  for (int i = 0; i < 13; ++i) model.NoteOn(0, static_cast<uint8_t>(40 + i), 100);
  for (int i = 0; i < 3; ++i) model.NoteOn(15, static_cast<uint8_t>(70 + i), 100);  // 13..15
  model.NoteOn(0, 90, 100);
  EXPECT_TRUE(model.Voice(13).stolen);
  EXPECT_EQ(model.Voice(13).owner, 0);
  EXPECT_FALSE(model.Voice(14).stolen);
  EXPECT_EQ(model.FmCount(), 17);
  EXPECT_EQ(model.PendingWrites(), 1u);  // the stolen voice's key-on waits
}

TEST(VoiceModel, FreeVoiceWithTheSmallestAgeIsTakenFirst) {
  SongTables tables;
  VoiceModel model(tables, true, 0, 0);
  model.NoteOn(0, 60, 100);  // slot 0
  model.NoteOn(0, 62, 100);  // slot 1
  model.AdvanceTo(5000);
  model.NoteOff(0, 60);       // slot 0 freed now: younger than the unused slots
  model.NoteOn(0, 64, 100);
  EXPECT_FALSE(model.Voice(0).busy);
  EXPECT_TRUE(model.Voice(2).busy);
  model.NoteOff(0, 62);  // slot 1 freed after slot 0
  for (int i = 0; i < 13; ++i) model.NoteOn(1, static_cast<uint8_t>(40 + i), 100);  // 3..15
  model.NoteOn(2, 70, 100);
  EXPECT_TRUE(model.Voice(0).busy);
  EXPECT_FALSE(model.Voice(1).busy);
}

TEST(VoiceModel, Fm32UsesAllFmSlotsAndChannel10PlaysDrumsByKey) {
  SongTables tables;
  VoiceModel model(tables, false, 0, 0);
  EXPECT_EQ(model.FmSlots(), 32);
  EXPECT_EQ(model.Channel(kDrums).msb, 0);
  EXPECT_TRUE(model.IsDrumChannel(kDrums));
  EXPECT_FALSE(model.IsDrumChannel(0));
  for (int i = 0; i < 32; ++i) model.NoteOn(i % 9, static_cast<uint8_t>(40 + i), 100);
  for (int s = 0; s < 32; ++s) EXPECT_TRUE(model.Voice(s).busy) << s;
  model.NoteOn(kDrums, 20, 100);  // no drum voice on key 20
  model.NoteOn(kDrums, 31, 100);  // a PCM drum
  EXPECT_EQ(model.FmCount(), 32);
  EXPECT_EQ(model.PcmCount(), 1);
  EXPECT_TRUE(model.Voice(32).busy);
}

TEST(VoiceModel, StreamModeTwoLeavesSixPcmSlots) {
  SongTables tables;
  VoiceModel model(tables, true, 2, 0);
  EXPECT_EQ(model.PcmSlots(), 6);
  const uint8_t keys[] = {31, 33, 35, 36, 38, 40, 41};
  for (uint8_t key : keys) model.NoteOn(kDrums, key, 100);
  EXPECT_EQ(model.PcmCount(), 7);
  EXPECT_FALSE(model.Voice(38).busy);
  EXPECT_FALSE(model.Voice(39).busy);
  EXPECT_TRUE(model.Voice(32).stolen);
}

TEST(VoiceModel, AllNotesOffKeepsTheCounts) {
  SongTables tables;
  VoiceModel model(tables, true, 0, 0);
  model.NoteOn(0, 60, 100);
  model.NoteOn(0, 62, 100);
  model.NoteOn(kDrums, 31, 100);
  model.ControlChange(0, 123, 0);
  model.ControlChange(kDrums, 120, 0);
  EXPECT_EQ(model.FmCount(), 2);
  EXPECT_EQ(model.PcmCount(), 1);
  for (int s = 0; s < kChipVoices; ++s) EXPECT_FALSE(model.Voice(s).busy) << s;
  EXPECT_EQ(model.Channel(0).heldNotes, 0);
  // Only note-offs lower them, never below 0.
  model.NoteOff(0, 60);
  model.NoteOff(0, 62);
  model.NoteOff(0, 64);
  EXPECT_EQ(model.FmCount(), 0);
}

TEST(VoiceModel, IgnoredNotesChangeNoCount) {
  SongTables tables;
  VoiceModel model(tables, true, 0, 0);
  model.NoteOn(0, 60, 100);
  model.NoteOn(kDrums, 20, 100);
  EXPECT_EQ(model.FmCount(), 1);
  model.NoteOn(kDrums, 20, 0);  // velocity 0 releases
  model.NoteOff(kDrums, 100);
  EXPECT_EQ(model.FmCount(), 1);
  EXPECT_EQ(model.PcmCount(), 0);
}

TEST(VoiceModel, MonoChannelHoldsOneVoice) {
  SongTables tables;
  VoiceModel model(tables, true, 0, 0);
  model.ControlChange(0, 126, 1);
  model.NoteOn(0, 60, 100);
  model.NoteOn(0, 62, 100);
  model.NoteOn(0, 64, 100);
  EXPECT_EQ(model.FmCount(), 1);
  EXPECT_TRUE(model.Voice(0).busy);
  EXPECT_FALSE(model.Voice(1).busy);
  model.AdvanceTo(10000);
  model.NoteOff(0, 60);
  model.NoteOff(0, 64);
  EXPECT_EQ(model.FmCount(), 1);
  EXPECT_TRUE(model.Voice(0).busy);
  model.NoteOff(0, 62);  // the last held key ends the voice
  EXPECT_EQ(model.FmCount(), 0);
  EXPECT_FALSE(model.Voice(0).busy);
  model.ControlChange(0, 127, 0);
  model.NoteOn(0, 60, 100);
  model.NoteOn(0, 62, 100);
  EXPECT_EQ(model.FmCount(), 2);
}

TEST(VoiceModel, StreamKeysTakeStreamVoicesOnly) {
  SongTables tables;
  VoiceDef key1, key14;
  key1.kind = key14.kind = VoiceKind::StreamKey;
  key1.streamId = 1;
  key14.streamId = 14;
  tables.voices = {key1, key14};
  VoiceModel model(tables, true, 2, 2);
  model.NoteOn(kDrums, 0, 100);   // stream id 1
  model.NoteOn(kDrums, 92, 100);  // stream id 14
  model.NoteOn(kDrums, 1, 100);   // stream id 2: nothing to play
  EXPECT_TRUE(model.Voice(41).busy);
  EXPECT_TRUE(model.Voice(40).busy);
  EXPECT_EQ(model.FmCount() + model.PcmCount(), 0);
  // Both stream voices sound: the older one gives way.
  model.NoteOn(kDrums, 0, 100);
  EXPECT_TRUE(model.Voice(41).stolen);
  EXPECT_FALSE(model.Voice(40).stolen);
  model.AdvanceTo(10000);
  model.NoteOff(kDrums, 92);
  EXPECT_FALSE(model.Voice(40).busy);
  EXPECT_EQ(model.FmCount() + model.PcmCount(), 0);
}

TEST(VoiceModel, WithoutStreamKeysLowDrumKeysUseTheDrumTable) {
  SongTables tables;
  VoiceDef drum;
  drum.kind = VoiceKind::Pcm;
  drum.msb = kDrumBank;
  drum.key = 5;
  drum.ramAddress = 0x4100;
  tables.voices = {drum};
  VoiceModel model(tables, true, 0, 0);
  model.NoteOn(kDrums, 5, 100);
  model.NoteOn(kDrums, 6, 100);
  EXPECT_EQ(model.PcmCount(), 1);
  EXPECT_FALSE(model.Voice(40).busy);
}

TEST(VoiceModel, FindVoiceDefPrefersTheSongsVoices) {
  SongTables tables;
  VoiceDef melody, drum, stream, unplaced;
  melody.kind = VoiceKind::Pcm;
  melody.msb = kMelodyBank;
  melody.lsb = 1;
  melody.program = 5;
  melody.ramAddress = 0x4000;
  drum.kind = VoiceKind::Pcm;
  drum.msb = kDrumBank;
  drum.program = 2;
  drum.key = 60;
  drum.ramAddress = 0x4010;
  stream.kind = VoiceKind::StreamKey;
  stream.msb = kMelodyBank;
  stream.program = 7;
  unplaced.kind = VoiceKind::Pcm;
  unplaced.msb = kMelodyBank;
  unplaced.program = 9;
  tables.voices = {melody, drum, stream, unplaced};
  VoiceModel model(tables, true, 0, 0);
  struct Case {
    const char* name;
    uint8_t msb, lsb, program, key;
    bool drum;
    VoiceKind kind;
    uint16_t address;
  };
  const Case cases[] = {
      {"melody entry", 0x7C, 1, 5, 0, false, VoiceKind::Pcm, 0x4000},
      {"melody LSB differs", 0x7C, 0, 5, 0, false, VoiceKind::Fm, kRomVoice},
      {"drum entry by program and key", 0x7D, 9, 2, 60, true, VoiceKind::Pcm, 0x4010},
      {"drum key without entry", 0x7D, 0, 2, 61, true, VoiceKind::Fm, kRomVoice},
      {"drum key without voice", 0x7D, 0, 2, 90, true, VoiceKind::Fm, kNoAddress},
      {"stream keys are no voices", 0x7C, 0, 7, 0, false, VoiceKind::Fm, kRomVoice},
      {"first match wins even unplaced", 0x7C, 0, 9, 0, false, VoiceKind::Pcm, kNoAddress},
      {"other bank: built-in melody", 0x00, 1, 5, 0, false, VoiceKind::Fm, kRomVoice},
      {"other bank on a drum channel", 0x00, 0, 2, 31, true, VoiceKind::Pcm, kRomVoice},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    VoiceRef v = model.FindVoiceDef(c.msb, c.lsb, c.program, c.key, c.drum);
    EXPECT_EQ(v.kind, c.kind);
    EXPECT_EQ(v.ramAddress, c.address);
  }
}

TEST(VoiceModel, QuickKeyOffWaitsInThePendingList) {
  SongTables tables;
  VoiceModel model(tables, true, 0, 0);
  model.AdvanceTo(1000);
  model.NoteOn(0, 60, 100);
  model.AdvanceTo(1999);
  model.NoteOff(0, 60);
  EXPECT_EQ(model.PendingWrites(), 1u);
  model.AdvanceTo(2000);
  EXPECT_EQ(model.PendingWrites(), 0u);
  model.NoteOn(0, 60, 100);
  model.AdvanceTo(3000);
  model.NoteOff(0, 60);  // sounded its full millisecond
  EXPECT_EQ(model.PendingWrites(), 0u);
}

TEST(VoiceModel, FullPendingListFails) {
  SongTables tables;
  VoiceModel model(tables, true, 0, 0);
  for (int i = 0; i < 116; ++i) model.NoteOn(i % 8, static_cast<uint8_t>(i), 100);
  EXPECT_EQ(model.PendingWrites(), 100u);
  try {
    model.NoteOn(0, 1, 100);
    FAIL() << "expected a failure";
  } catch (const CheckFailure& f) {
    EXPECT_EQ(f.code, CNVERR_FAILED);
  }
}

TEST(VoiceModel, FinishSilencesEverythingAndKeepsTheCounts) {
  SongTables tables;
  VoiceModel model(tables, true, 0, 0);
  model.NoteOn(3, 60, 100);
  model.NoteOff(3, 60);  // at once: waits in the pending list
  model.NoteOn(4, 60, 100);
  model.NoteOn(kDrums, 40, 100);
  model.Finish();
  EXPECT_EQ(model.PendingWrites(), 0u);
  EXPECT_EQ(model.FmCount(), 1);
  EXPECT_EQ(model.PcmCount(), 1);
  for (int s = 0; s < kChipVoices; ++s) EXPECT_FALSE(model.Voice(s).busy) << s;
}

}  // namespace
}  // namespace polyscan

// The song setup record: reset values, the output record, shallow and deep copies and ownership.
#include "song/SongSetup.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "song/NamedBlock.h"
#include "song/StreamPCMSlot.h"
#include "song/VoiceItem.h"

namespace {

using Bytes = std::vector<uint8_t>;

TEST(SongSetup, FreshRecordHoldsTheResetValues) {
  CSongSetup s;
  for (int ch = 0; ch < 16; ++ch) {
    SCOPED_TRACE(ch);
    EXPECT_EQ(s.GetBankMsb(ch), 0xFF);
    EXPECT_EQ(s.GetBankLsb(ch), 0xFF);
    EXPECT_EQ(s.GetProgram(ch), 0xFF);
    EXPECT_EQ(s.GetVolume(ch), 0xFF);
    EXPECT_EQ(s.GetNoVolumeEvent(ch), 0);
    EXPECT_EQ(s.GetStatus(ch), 0);
  }
  for (int i = 0; i < 128; ++i) {
    EXPECT_EQ(s.GetVoiceSlot(i), 0xFF);
    EXPECT_EQ(s.GetVoiceSlotWord(i), -1);
    EXPECT_EQ(s.GetVoiceItem(i), nullptr);
    EXPECT_EQ(s.GetBlockByte(i), 0);
  }
  for (int i = 0; i < 49; ++i) {
    EXPECT_EQ(s.GetSlotSettingFirst(i), 0xFF);
    EXPECT_EQ(s.GetSlotSettingSecond(i), 0xFF);
    EXPECT_EQ(s.GetSlotFlag(i), 0);
    EXPECT_EQ(s.GetStreamPcmSlot(i), nullptr);
  }
  for (int i = 0; i < 32; ++i) EXPECT_EQ(s.GetUserWave(i), nullptr);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(s.GetWord(i), 0u);
  EXPECT_EQ(s.GetMasterVolume(), 100);
  EXPECT_EQ(s.GetTimeBase(), 480);
  EXPECT_EQ(s.GetStreamMode(), 0xFF);
  EXPECT_EQ(s.GetOptionByte(), 0xFF);
  EXPECT_EQ(s.GetOwnsObjects(), 0);
}

// A fresh record: unset banks give codes 0 and 0, the rest is copied as it stands.
TEST(SongSetup, FreshOutputRecordAsGoldenBytes) {
  CSongSetup s;
  SongOutputRecord out;
  std::fill(std::begin(out.bytes), std::end(out.bytes), 0xEE);
  std::fill(std::begin(out.words), std::end(out.words), 7);
  s.GetOutputRecord(out);
  Bytes expected;
  expected.insert(expected.end(), 16, 0x00);   // 0: bank codes
  expected.insert(expected.end(), 16, 0x00);   // 16: program codes
  expected.insert(expected.end(), 16, 0xFF);   // 32: volumes
  expected.insert(expected.end(), 16, 0xFF);   // 48: voice slots
  expected.insert(expected.end(), 128, 0x00);  // 64: the 128-byte block
  expected.insert(expected.end(), 16, 0x00);   // 192: status bytes
  EXPECT_EQ(Bytes(out.bytes, out.bytes + SongOutputRecord::kByteBlockSize), expected);
  for (std::uintptr_t w : out.words) EXPECT_EQ(w, 0u);
}

TEST(SongSetup, OutputRecordBankAndProgramCodes) {
  struct Case {
    uint8_t msb, lsb, program;
    uint8_t bankCode, programCode;
  };
  const Case cases[] = {
      {0x00, 9, 20, 0, 20},    {0x7C, 3, 20, 3, 20},  {0x7D, 0, 5, 0x85, 13},
      {0x7D, 7, 0, 0x80, 13},  {0x33, 3, 20, 0, 0},   {0xFF, 3, 20, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.msb));
    CSongSetup s;
    s.SetBankMsb(4, c.msb);
    s.SetBankLsb(4, c.lsb);
    s.SetProgram(4, c.program);
    SongOutputRecord out;
    s.GetOutputRecord(out);
    EXPECT_EQ(out.BankCode(4), c.bankCode);
    EXPECT_EQ(out.ProgramCode(4), c.programCode);
  }
}

TEST(SongSetup, OutputRecordCarriesBlocksAndPointerWords) {
  CSongSetup s;
  int target = 0;
  s.SetWord(15, reinterpret_cast<std::uintptr_t>(&target));
  s.SetBlockByte(127, 0x42);
  s.SetStatus(15, 0x10);
  s.SetVoiceSlot(15, 9);
  s.SetVoiceSlot(16, 3);  // not a channel: stays out of the record
  s.SetVolume(0, 100);
  SongOutputRecord out;
  s.GetOutputRecord(out);
  EXPECT_EQ(out.words[15], reinterpret_cast<std::uintptr_t>(&target));
  EXPECT_EQ(out.bytes[64 + 127], 0x42);
  EXPECT_EQ(out.bytes[192 + 15], 0x10);
  EXPECT_EQ(out.bytes[48 + 15], 9);
  EXPECT_EQ(out.bytes[32], 100);
}

TEST(SongSetup, AccessorsCheckTheirIndex) {
  CSongSetup s;
  EXPECT_EQ(s.SetBankMsb(16, 1), 0);
  EXPECT_EQ(s.SetBankMsb(-1, 1), 0);
  EXPECT_EQ(s.GetBankMsb(16), 0xFF);
  EXPECT_EQ(s.SetSlotSetting(49, 1, 2), 0);
  EXPECT_EQ(s.SetVoiceItem(128, nullptr), 0);
  EXPECT_EQ(s.SetUserWave(32, nullptr), 0);
  EXPECT_EQ(s.SetWord(16, 1), 0);
  EXPECT_EQ(s.SetVoiceSlot(7, 12), 1);
  EXPECT_EQ(s.GetVoiceSlot(7), 12);
  EXPECT_EQ(s.GetVoiceSlotWord(7), 12);
  EXPECT_EQ(s.SetVoiceSlotByte(7, 30), 1);
  EXPECT_EQ(s.GetVoiceSlot(7), 30);
  EXPECT_EQ(s.GetVoiceSlotWord(7), 12);
  s.SetVoiceSlot(7, -1);
  EXPECT_EQ(s.GetVoiceSlot(7), 0xFF);
  EXPECT_EQ(s.GetVoiceSlotWord(7), -1);
  s.SetSlotSetting(3, 2, 40);
  EXPECT_EQ(s.GetSlotSettingFirst(3), 2);
  EXPECT_EQ(s.GetSlotSettingSecond(3), 40);
  EXPECT_EQ(s.GetChannelByte922(3), 40);
}

// A record that owns one object of each kind.
void FillOwned(CSongSetup& s) {
  auto* item = new CVoiceItem;
  item->SetName("voice");
  s.SetVoiceItem(3, item);
  auto* slot = new CStreamPCMSlot;
  slot->SetId(7);
  s.SetStreamPcmSlot(7, slot);
  auto* wave = new CNamedBlock;
  const uint8_t data[] = {1, 2, 3};
  wave->SetData(data, 3);
  s.SetUserWave(15, wave);
  s.SetOwnsObjects(1);
}

TEST(SongSetup, AssignSharesObjectsAndCopiesTheChosenFields) {
  CSongSetup a;
  FillOwned(a);
  a.SetBankMsb(1, 0x7C);
  a.SetVolume(1, 90);
  a.SetNoVolumeEvent(1, 1);
  a.SetStatus(1, 4);
  a.SetVoiceSlot(1, 6);
  a.SetMasterVolume(70);
  a.SetStreamMode(2);
  a.SetTimeBase(960);
  a.SetOptionByte(3);
  a.SetSlotSetting(2, 1, 5);
  a.SetSlotFlag(2, 1);
  a.SetBlockByte(0, 9);
  a.SetWord(0, 9);
  CSongSetup b;
  b.Assign(a);
  EXPECT_EQ(b.GetVoiceItem(3), a.GetVoiceItem(3));
  EXPECT_EQ(b.GetStreamPcmSlot(7), a.GetStreamPcmSlot(7));
  EXPECT_EQ(b.GetUserWave(15), a.GetUserWave(15));
  EXPECT_EQ(b.GetOwnsObjects(), 0);
  EXPECT_EQ(b.GetBankMsb(1), 0x7C);
  EXPECT_EQ(b.GetVolume(1), 90);
  EXPECT_EQ(b.GetNoVolumeEvent(1), 1);
  EXPECT_EQ(b.GetStatus(1), 4);
  EXPECT_EQ(b.GetVoiceSlot(1), 6);
  EXPECT_EQ(b.GetMasterVolume(), 70);
  EXPECT_EQ(b.GetStreamMode(), 2);
  EXPECT_EQ(b.GetTimeBase(), 960);
  EXPECT_EQ(b.GetOptionByte(), 3);
  EXPECT_EQ(b.GetSlotSettingSecond(2), 5);
  EXPECT_EQ(b.GetSlotFlag(2), 1);
  // Not copied: the 32-bit slot form, the 128-byte block and the word block.
  EXPECT_EQ(b.GetVoiceSlotWord(1), -1);
  EXPECT_EQ(b.GetBlockByte(0), 0);
  EXPECT_EQ(b.GetWord(0), 0u);
}

TEST(SongSetup, CopyOwnsCopiesOfItsOwn) {
  auto b = std::make_unique<CSongSetup>();
  {
    CSongSetup a;
    FillOwned(a);
    b->Copy(a);
    EXPECT_EQ(b->GetOwnsObjects(), 1);
    ASSERT_NE(b->GetVoiceItem(3), nullptr);
    EXPECT_NE(b->GetVoiceItem(3), a.GetVoiceItem(3));
    EXPECT_STREQ(b->GetVoiceItem(3)->GetName(), "voice");
    ASSERT_NE(b->GetStreamPcmSlot(7), nullptr);
    EXPECT_NE(b->GetStreamPcmSlot(7), a.GetStreamPcmSlot(7));
    EXPECT_EQ(b->GetStreamPcmSlot(7)->GetId(), 7);
    ASSERT_NE(b->GetUserWave(15), nullptr);
    EXPECT_NE(b->GetUserWave(15), a.GetUserWave(15));
    EXPECT_EQ(b->GetUserWave(15)->GetSize(), 3);
  }
  // The original is gone; the copies live on with b.
  EXPECT_EQ(b->GetUserWave(15)->GetData()[2], 3);
}

// Each scenario ends with every record destroyed: the sanitizer build reports any object that
// leaks or is freed twice.
TEST(SongSetup, OwnershipNeverLeaksOrFreesTwice) {
  struct Case {
    const char* name;
    void (*run)();
  };
  const Case cases[] = {
      {"assigned record frees nothing",
       [] {
         CSongSetup owner;
         FillOwned(owner);
         { CSongSetup shared; shared.Assign(owner); }
         EXPECT_STREQ(owner.GetVoiceItem(3)->GetName(), "voice");
       }},
      {"a working copy assigned back keeps the owner's objects",
       [] {
         CSongSetup doc;
         FillOwned(doc);
         CSongSetup work;
         work.Assign(doc);
         work.SetProgram(0, 5);
         doc.Assign(work);
         EXPECT_EQ(doc.GetOwnsObjects(), 1);
         EXPECT_STREQ(doc.GetVoiceItem(3)->GetName(), "voice");
         EXPECT_EQ(doc.GetProgram(0), 5);
       }},
      {"a reader hands its objects on",
       [] {
         CSongSetup doc;
         FillOwned(doc);
         CSongSetup list;
         FillOwned(list);
         doc.Assign(list);  // the document's own objects go, the list's stay with it
         EXPECT_EQ(doc.GetVoiceItem(3), list.GetVoiceItem(3));
         EXPECT_EQ(doc.SetOwnsObjects(list.SetOwnsObjects(0)), 1);
         EXPECT_EQ(doc.GetOwnsObjects(), 1);
       }},
      {"owning assigned to owning",
       [] {
         CSongSetup a;
         FillOwned(a);
         CSongSetup b;
         FillOwned(b);
         b.Assign(a);  // b's own objects go; a stays the owner of what both now hold
         EXPECT_EQ(b.GetVoiceItem(3), a.GetVoiceItem(3));
         a.Assign(b);
         EXPECT_STREQ(a.GetVoiceItem(3)->GetName(), "voice");
       }},
      {"non-owning assigned to owning and back",
       [] {
         CSongSetup owner;
         FillOwned(owner);
         CSongSetup shared;
         shared.Assign(owner);
         CSongSetup other;
         FillOwned(other);
         other.Assign(shared);  // takes owner's objects without owning them
         shared.Assign(other);
         other.SetVoiceItem(5, new CVoiceItem);  // still owning: it takes what it is given
       }},
      {"caller's object set on a non-owning record survives an owning assign",
       [] {
         CVoiceItem local;
         CSongSetup plain;
         plain.SetVoiceItem(0, &local);
         CSongSetup owner;
         FillOwned(owner);
         owner.Assign(plain);
         EXPECT_EQ(owner.GetVoiceItem(0), &local);
       }},
      {"mixed: kept objects stay owned, shared ones do not",
       [] {
         CSongSetup doc;
         FillOwned(doc);
         CSongSetup other;
         FillOwned(other);
         CSongSetup work;
         work.Assign(doc);
         work.SetVoiceItem(9, other.GetVoiceItem(3));
         doc.Assign(work);  // owns its item 3 still, shares other's item at 9
         EXPECT_STREQ(doc.GetVoiceItem(9)->GetName(), "voice");
       }},
      {"copy into itself",
       [] {
         CSongSetup owner;
         FillOwned(owner);
         CSongSetup shared;
         shared.Assign(owner);
         shared.Copy(shared);  // now holds copies of its own
         EXPECT_EQ(shared.GetOwnsObjects(), 1);
         EXPECT_NE(shared.GetVoiceItem(3), owner.GetVoiceItem(3));
         owner.Copy(owner);
         EXPECT_STREQ(owner.GetVoiceItem(3)->GetName(), "voice");
       }},
      {"copy from a record that shares this one's objects",
       [] {
         CSongSetup doc;
         FillOwned(doc);
         CSongSetup work;
         work.Assign(doc);
         doc.Copy(work);
         EXPECT_STREQ(doc.GetVoiceItem(3)->GetName(), "voice");
       }},
      {"copy over a record that owns",
       [] {
         CSongSetup a;
         FillOwned(a);
         CSongSetup b;
         FillOwned(b);
         b.Copy(a);
         b.Copy(b);
         EXPECT_EQ(b.GetOwnsObjects(), 1);
       }},
      {"reset and setters on an owning record",
       [] {
         CSongSetup a;
         FillOwned(a);
         a.SetVoiceItem(3, new CVoiceItem);  // the old item goes
         a.SetVoiceItem(4, a.GetVoiceItem(3));
         a.SetVoiceItem(3, nullptr);  // still held at 4
         a.SetVoiceItem(4, nullptr);
         FillOwned(a);
         a.Reset();
         EXPECT_EQ(a.GetVoiceItem(3), nullptr);
         EXPECT_EQ(a.GetOwnsObjects(), 0);
       }},
      {"clear leaves the pointers but owns nothing",
       [] {
         CSongSetup a;
         FillOwned(a);
         CSongSetup b;
         b.Copy(a);
         a.Clear();
         EXPECT_EQ(a.GetOwnsObjects(), 0);
         EXPECT_NE(a.GetVoiceItem(3), nullptr);
         EXPECT_STREQ(b.GetVoiceItem(3)->GetName(), "voice");
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.run();
  }
}

TEST(SongSetup, FindsPcmVoicesByWaveAndGivesThemSamples) {
  CSongSetup s;
  CVoiceItem fm;
  fm.SetWaveId(4);
  CVoiceItem rom;
  rom.SetPcmFlag(1);
  rom.SetRM(1);
  rom.SetWaveId(4);
  CVoiceItem ram;
  ram.SetPcmFlag(1);
  ram.SetWaveId(4);
  CVoiceItem other;
  other.SetPcmFlag(1);
  other.SetWaveId(5);
  s.SetVoiceItem(0, &fm);
  s.SetVoiceItem(1, &rom);
  s.SetVoiceItem(2, &other);
  s.SetVoiceItem(9, &ram);
  EXPECT_EQ(s.FindPcmVoiceByWave(4), &ram);
  EXPECT_EQ(s.FindPcmVoiceByWave(6), nullptr);
  const uint8_t samples[] = {1, 2, 3, 4};
  EXPECT_EQ(s.SetWaveSamplesForId(4, samples, 4), 1);
  EXPECT_EQ(ram.GetWaveSampleSize(), 4u);
  EXPECT_EQ(ram.GetWaveHeaderId(), 4);
  EXPECT_EQ(fm.GetWaveSampleSize(), 4u);  // RM 0 and wave id 4, PCM or not
  EXPECT_EQ(rom.GetWaveData(), nullptr);
  EXPECT_EQ(other.GetWaveData(), nullptr);
}

}  // namespace

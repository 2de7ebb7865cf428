// The stream-PCM slot record.
#include "song/StreamPCMSlot.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(StreamPCMSlot, FreshSlotIsFreeAndUnassigned) {
  CStreamPCMSlot s;
  EXPECT_EQ(s.GetId(), 255);
  EXPECT_EQ(s.GetBankMsb(), 255);
  EXPECT_EQ(s.GetBankLsb(), 255);
  EXPECT_EQ(s.GetProgram(), 255);
  EXPECT_EQ(s.GetNote(), 255);
  EXPECT_EQ(s.GetRate(), 0);
  EXPECT_EQ(s.GetFormat(), 0);
  EXPECT_EQ(s.GetIndex(), -1);
  EXPECT_FALSE(s.GetFlag());
  EXPECT_FALSE(s.GetMarked());
  EXPECT_EQ(s.GetDataSize(), 0u);
  EXPECT_EQ(s.GetData(), nullptr);
  EXPECT_STREQ(s.GetName(), "");
  EXPECT_TRUE(s.IsDefault());
}

TEST(StreamPCMSlot, NameKeepsSixteenCharacters) {
  CStreamPCMSlot s;
  s.SetName("ABCDEFGHIJKLMNOPQRST");
  EXPECT_STREQ(s.GetName(), "ABCDEFGHIJKLMNOP");
  s.SetName("short");
  EXPECT_STREQ(s.GetName(), "short");
  s.SetName(nullptr);
  EXPECT_STREQ(s.GetName(), "");
}

TEST(StreamPCMSlot, WaveDataIsCopiedAndReplaced) {
  const uint8_t wave[] = {1, 2, 3, 4};
  CStreamPCMSlot s;
  s.SetWaveData(wave, 4);
  ASSERT_EQ(s.GetDataSize(), 4u);
  EXPECT_NE(s.GetData(), wave);
  EXPECT_EQ(std::memcmp(s.GetData(), wave, 4), 0);
  s.SetWaveData(wave, 0);
  EXPECT_EQ(s.GetDataSize(), 0u);
  EXPECT_EQ(s.GetData(), nullptr);
  s.SetFlag(7);
  EXPECT_TRUE(s.GetFlag());
}

TEST(StreamPCMSlot, AssignmentCopiesEveryField) {
  const uint8_t wave[] = {9, 8, 7};
  const uint8_t block[] = {5, 5};
  CStreamPCMSlot a;
  a.SetWaveData(wave, 3);
  a.SetId(12);
  a.SetBankMsb(125);
  a.SetBankLsb(0);
  a.SetProgram(0);
  a.SetNote(40);
  a.SetRate(8000);
  a.SetFlag(1);
  a.SetFormat(2);
  a.SetMarked(true);
  a.SetIndex(3);
  a.SetName("kick");
  a.GetWaveBlock()->SetData(block, 2);
  a.GetWaveBlock()->SetAttribute(0x1234);
  a.GetWaveBlock()->GetEmbeddedObject()[2] = 77;

  CStreamPCMSlot b;
  b = a;
  EXPECT_EQ(b.GetDataSize(), 3u);
  EXPECT_NE(b.GetData(), a.GetData());
  EXPECT_EQ(b.GetId(), 12);
  EXPECT_EQ(b.GetNote(), 40);
  EXPECT_EQ(b.GetRate(), 8000);
  EXPECT_TRUE(b.GetFlag());
  EXPECT_EQ(b.GetFormat(), 2);
  EXPECT_TRUE(b.GetMarked());
  EXPECT_EQ(b.GetIndex(), 3);
  EXPECT_STREQ(b.GetName(), "kick");
  EXPECT_EQ(b.GetWaveBlock()->GetSize(), 2u);
  EXPECT_EQ(b.GetWaveBlock()->GetAttribute(), 0x1234);
  EXPECT_EQ(b.GetWaveBlock()->GetEmbeddedObject()[2], 77u);
  EXPECT_TRUE(b.IsSameAs(a));
  EXPECT_FALSE(b.IsDefault());
}

constexpr uint8_t kOne[] = {1};
constexpr uint8_t kTwo[] = {2};

TEST(StreamPCMSlot, SameAsComparesAddressWaveAndBlock) {
  struct Case {
    const char* name;
    void (*change)(CStreamPCMSlot&);
    bool same;
  };
  const Case cases[] = {
      {"note differs", [](CStreamPCMSlot& s) { s.SetNote(1); }, true},
      {"id differs", [](CStreamPCMSlot& s) { s.SetId(4); }, true},
      {"program differs", [](CStreamPCMSlot& s) { s.SetProgram(1); }, false},
      {"bank LSB differs", [](CStreamPCMSlot& s) { s.SetBankLsb(1); }, false},
      {"wave differs", [](CStreamPCMSlot& s) { s.SetWaveData(kTwo, 1); }, false},
      {"block attribute differs",
       [](CStreamPCMSlot& s) { s.GetWaveBlock()->SetAttribute(1); }, false},
      {"block data differs", [](CStreamPCMSlot& s) { s.GetWaveBlock()->SetData(kTwo, 1); }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CStreamPCMSlot a;
    a.SetWaveData(kOne, 1);
    a.GetWaveBlock()->SetData(kOne, 1);
    CStreamPCMSlot b;
    b = a;
    c.change(b);
    EXPECT_EQ(a.IsSameAs(b), c.same);
  }
}

}  // namespace

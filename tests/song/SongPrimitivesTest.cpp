// The mode setting, the four-value comparison and the small key records.
#include "song/SongPrimitives.h"

#include <gtest/gtest.h>

#include <memory>

#include "platform/host/testing/FakeHost.h"
#include "song/MidiMsg.h"
#include "song/TrackBuild.h"
#include "song/ValuePoint.h"
#include "song/VoiceAddr.h"

namespace {

TEST(SongPrimitives, ModeSettingAndItsLevel) {
  const struct {
    int stored;  // -1: absent
    int setting;
    int level;
  } cases[] = {{-1, 0, 2}, {0, 0, 2}, {1, 1, 3}, {2, 2, 4}, {3, 3, 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.stored);
    platform::FakeHost host;
    if (c.stored >= 0) host.profile.WriteProfileInt("Setting", "KZ-3_ModeSetting", c.stored);
    EXPECT_EQ(GetModeSetting(), c.setting);
    EXPECT_EQ(GetModeSettingLevel(), c.level);
  }
  EXPECT_EQ(GetChannelCount(), 16);
  EXPECT_EQ(GetSongTableSize(), 33);
  EXPECT_EQ(GetUserWaveCount(), 32);
}

TEST(SongPrimitives, CompareEventValuesFieldByField) {
  EXPECT_TRUE(CompareEventValues(std::array<uint32_t, 4>{1, 2, 3, 4}, {1, 2, 3, 4}));
  EXPECT_FALSE(CompareEventValues(std::array<uint32_t, 4>{1, 2, 3, 4}, {1, 2, 3, 5}));
  CVoiceAddr a(124, 0, 5, 255);
  CVoiceAddr b(124, 0, 5, 255);
  b.SetPending(1);  // not one of the four values
  EXPECT_TRUE(CompareEventValues(a, b));
  b.SetNote(60);
  EXPECT_FALSE(CompareEventValues(a, b));
}

TEST(SongPrimitives, ReplaceOwnedPartDeletesTheHeldPartThroughItsOwnDestructor) {
  struct Part {
    virtual ~Part() = default;
  };
  struct CountedPart : Part {
    explicit CountedPart(int& deleted) : m_deleted(deleted) {}
    ~CountedPart() override { ++m_deleted; }
    int& m_deleted;
  };
  int deleted = 0;
  std::unique_ptr<Part> held;
  ReplaceOwnedPart<Part>(held, std::make_unique<CountedPart>(deleted));
  EXPECT_EQ(deleted, 0);
  Part* first = held.get();
  ReplaceOwnedPart<Part>(held, std::make_unique<CountedPart>(deleted));
  EXPECT_EQ(deleted, 1);
  EXPECT_NE(held.get(), first);
  ReplaceOwnedPart(held, std::unique_ptr<Part>(held.get()));  // the part it holds: kept
  EXPECT_EQ(deleted, 1);
  ReplaceOwnedPart(held, std::unique_ptr<Part>());
  EXPECT_EQ(deleted, 2);
  EXPECT_EQ(held, nullptr);
}

TEST(VoiceAddr, StartsUnset) {
  CVoiceAddr addr;
  EXPECT_EQ(addr.IsBankMsbSet(), 0);
  EXPECT_EQ(addr.IsProgramSet(), 0);
  EXPECT_EQ(addr.GetPending(), 0u);
  addr.SetBankMsb(0);
  addr.SetProgram(254);
  EXPECT_EQ(addr.IsBankMsbSet(), 1);
  EXPECT_EQ(addr.IsProgramSet(), 1);
  addr.Reset();
  EXPECT_EQ(addr.GetBankMsb(), 255);
}

TEST(MsgKey, SetCopiesTickLengthAndFirstDataWord) {
  const uint8_t bytes[] = {0x90, 0x3C, 0x64};
  CMidiMsg message(480, 960, 3, bytes, 0);
  CValuePoint point;
  point.Set(message);
  EXPECT_EQ(point.GetFirst(), 480u);
  EXPECT_EQ(point.GetSecond(), 3u);
  EXPECT_EQ(point.GetThird(), 0x643C90u);
  CMsgKey key;
  key.Set(point);
  EXPECT_EQ(key.GetThird(), 0x643C90u);
}

TEST(TrackBuild, ReleaseFreesPointsAndMarks) {
  CTrackBuild2 build;
  build.SetStartPoint(10);
  build.SetStopPoint(20);
  build.AddMark(std::make_unique<CPhraseMark>(CPhraseMark{'A', 10, 20}));
  EXPECT_TRUE(build.HasContent());
  EXPECT_EQ(*build.GetStopPoint(), 20u);
  EXPECT_EQ(build.GetMark(0)->kind, 'A');
  build.Release();
  EXPECT_EQ(build.GetStartPoint(), nullptr);
  EXPECT_EQ(build.GetStopPoint(), nullptr);
  EXPECT_EQ(build.GetMarkCount(), 0u);
  EXPECT_FALSE(build.HasContent());
}

}  // namespace

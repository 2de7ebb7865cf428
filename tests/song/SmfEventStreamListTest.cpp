// The stream-PCM rate curve: stream keys, modes, pairs and the segments they leave.
#include "song/SmfEventStreamList.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "SmfTestImages.h"
#include "song/SmfStreamReaders.h"
#include "song/StreamPCMSlot.h"

namespace {

using smftest::Bytes;
using smftest::Track;

struct Point {
  uint32_t ms, rate, tick;
  bool operator==(const Point&) const = default;
};

// Slots 1 (4000 B/s), 2 (8000), 3 (16000) and 14 (16000).
class Slots {
 public:
  Slots() {
    Add(1, 0, 8000);
    Add(2, 2, 8000);
    Add(3, 3, 16000);
    Add(14, 0, 32000);
  }
  ~Slots() { list.RemoveAll(); }
  void Add(int id, uint8_t format, uint16_t rate) {
    auto slot = std::make_unique<CStreamPCMSlot>();
    slot->SetId(id);
    slot->SetFormat(format);
    slot->SetRate(rate);
    list.AddTail(reinterpret_cast<CPtrChain::Value>(slot.get()));
    owned.push_back(std::move(slot));
  }
  CPtrChain list;

 private:
  std::vector<std::unique_ptr<CStreamPCMSlot>> owned;
};

// One tick = 1 ms.
Track StreamTrack() {
  Track t;
  t.TickTempo(0, 1000);
  return t;
}

Bytes Device(uint8_t command, std::initializer_list<uint8_t> values) {
  Bytes b = {0xF0, static_cast<uint8_t>(values.size() + 6), 0x43, 0x79, 0x06, 0x7F, command};
  b.insert(b.end(), values);
  b.push_back(0xF7);
  return b;
}

struct Result {
  std::vector<Point> points;
  uint32_t maxRate, maxTime;
};

Result Analyse(const Track& t) {
  Slots slots;
  Bytes image = smftest::Image({t});
  CSmfEventStreamList list;
  EXPECT_EQ(list.AnalyseStreamRate(image.data(), static_cast<uint32_t>(image.size()), slots.list), 1);
  Result r{{}, list.GetMaxRate(), list.GetMaxTime()};
  for (const CValuePoint& p : list.GetPoints()) r.points.push_back({p.GetFirst(), p.GetSecond(), p.GetThird()});
  return r;
}

TEST(SmfEventStreamList, ByteRateFollowsTheFormat) {
  struct Case {
    uint8_t format;
    uint16_t rate;
    uint32_t bytes;
  } cases[] = {{0, 8001, 4000}, {2, 8000, 8000}, {3, 22050, 22050}, {1, 8000, 0}, {4, 8000, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(int{c.format});
    CStreamPCMSlot slot;
    slot.SetFormat(c.format);
    slot.SetRate(c.rate);
    EXPECT_EQ(GetStreamPcmByteRate(&slot), c.bytes);
  }
  EXPECT_EQ(GetStreamPcmByteRate(nullptr), 0u);
}

TEST(SmfEventStreamList, TwoStreamsOnChannelTenWithoutProgram) {
  Track t = StreamTrack();
  t.Event(0, {0x99, 0, 100})      // key 0: slot 1
      .Event(100, {0x99, 1, 100})  // key 1: slot 2
      .Event(200, {0x89, 0, 0})
      .Event(200, {0x99, 1, 0});
  Result r = Analyse(t);
  std::vector<Point> expected = {{0, 4000, 0}, {100, 12000, 100}, {300, 8000, 300}, {500, 0, 500}};
  EXPECT_EQ(r.points, expected);
  EXPECT_EQ(r.maxRate, 12000u);
  EXPECT_EQ(r.maxTime, 100u);
}

TEST(SmfEventStreamList, ByteAbove127SelectsNoSlot) {
  // 0xF0 - 78 would be slot 162 of 50: such a byte ends its track before it is a key.
  Track t = StreamTrack();
  t.Event(0, {0x99, 0, 100}).Event(10, {0x99, 0xF0, 100}).Event(10, {0x89, 0, 0});
  Result r = Analyse(t);
  EXPECT_EQ(r.points, (std::vector<Point>{{0, 4000, 0}}));
  EXPECT_EQ(r.maxRate, 4000u);
}

TEST(SmfEventStreamList, ThirdStreamDropsTheOldest) {
  Track t = StreamTrack();
  t.Event(0, {0x99, 0, 100}).Event(10, {0x99, 1, 100}).Event(10, {0x99, 2, 100})  // slots 1, 2, 3
      .Event(10, {0x99, 1, 0})   // slot 2 ends: the total drops to slot 3's
      .Event(10, {0x99, 0, 0});  // slot 1 was already dropped: nothing changes
  Result r = Analyse(t);
  std::vector<Point> expected = {
      {0, 4000, 0}, {10, 12000, 10}, {20, 24000, 20}, {30, 16000, 30}};
  EXPECT_EQ(r.points, expected);
  EXPECT_EQ(r.maxRate, 24000u);
}

TEST(SmfEventStreamList, PairedSlotsSoundTogether) {
  Track t = StreamTrack();
  t.Event(0, Device(0x08, {0, 1, 2}))  // pair slots 1 and 2
      .Event(0, {0x99, 0, 100})        // slot 1 brings its partner
      .Event(50, {0x89, 0, 0});        // and takes it along when it ends
  Result r = Analyse(t);
  EXPECT_EQ(r.points, (std::vector<Point>{{0, 12000, 0}, {50, 0, 50}}));

  Track unpaired = StreamTrack();
  unpaired.Event(0, Device(0x08, {0, 1, 2})).Event(0, Device(0x08, {1, 1, 2}))
      .Event(0, {0x99, 0, 100}).Event(50, {0x89, 0, 0});
  EXPECT_EQ(Analyse(unpaired).points, (std::vector<Point>{{0, 4000, 0}, {50, 0, 50}}));

  Track invalid = StreamTrack();
  invalid.Event(0, Device(0x08, {0, 1, 33})).Event(0, Device(0x08, {0, 1, 1}))
      .Event(0, {0x99, 0, 100});
  EXPECT_EQ(Analyse(invalid).points, (std::vector<Point>{{0, 4000, 0}}));
}

TEST(SmfEventStreamList, ModesZeroAndOne) {
  Track mode1 = StreamTrack();
  mode1.Event(0, Device(0x07, {1}))
      .Event(0, {0x99, 0, 100})
      .Event(10, {0x99, 1, 100})  // replaces the stream
      .Event(10, {0x89, 0, 0})    // no longer sounding: no change
      .Event(10, {0x89, 1, 0});
  EXPECT_EQ(Analyse(mode1).points,
            (std::vector<Point>{{0, 4000, 0}, {10, 8000, 10}, {30, 0, 30}}));

  Track mode0 = StreamTrack();
  mode0.Event(0, Device(0x07, {0})).Event(0, {0x99, 0, 100}).Event(10, {0x99, 1, 100});
  Result r = Analyse(mode0);
  EXPECT_EQ(r.points, (std::vector<Point>{{0, 0, 0}, {10, 0, 10}}));
  EXPECT_EQ(r.maxRate, 0u);

  Track badMode = StreamTrack();
  badMode.Event(0, Device(0x07, {3})).Event(0, {0x99, 0, 100}).Event(10, {0x99, 1, 100});
  EXPECT_EQ(Analyse(badMode).maxRate, 12000u);  // mode stays 2
}

TEST(SmfEventStreamList, OnlyStreamKeysOfKnownSlotsOnStreamChannelsCount) {
  Track t = StreamTrack();
  t.Event(0, {0x99, 50, 100})     // a drum key, not a stream key
      .Event(0, {0x99, 5, 100})   // slot 6 is not in the list
      .Event(0, {0x90, 0, 100})   // channel 1 plays melodic
      .Event(0, {0xB3, 0, 0x7B})  // channel 4 selects the drum bank (old form)
      .Event(0, {0xC3, 0})
      .Event(10, {0x93, 92, 100})  // key 92: slot 14
      .Event(0, {0xB9, 0, 0x7C})
      .Event(0, {0xC9, 0})         // channel 10 turns melodic
      .Event(10, {0x99, 0, 100});
  Result r = Analyse(t);
  EXPECT_EQ(r.points, (std::vector<Point>{{0, 0, 0}, {10, 16000, 10}}));
}

TEST(SmfEventStreamList, TempoChangesMoveTheTimes) {
  Track t = StreamTrack();
  t.Event(0, {0x99, 0, 100}).TickTempo(100, 2000).Event(100, {0x89, 0, 0});
  // 100 ticks of 1 ms, then 100 of 2 ms.
  EXPECT_EQ(Analyse(t).points, (std::vector<Point>{{0, 4000, 0}, {300, 0, 200}}));
}

TEST(SmfEventStreamList, RefusesMoreThanOneTrackAndCutImages) {
  Slots slots;
  Track t = StreamTrack();
  t.Event(0, {0x99, 0, 100}).Event(10, {0, 0}).EndOfTrack();
  Bytes two = smftest::Image({t, t});
  CSmfEventStreamList list;
  EXPECT_THROW(list.AnalyseStreamRate(two.data(), static_cast<uint32_t>(two.size()), slots.list), int);
  Bytes valid = smftest::Image({t});
  for (size_t n = 0; n < valid.size(); ++n) {
    SCOPED_TRACE(n);
    Bytes cut(valid.begin(), valid.begin() + static_cast<ptrdiff_t>(n));
    CSmfEventStreamList l;
    EXPECT_THROW(l.AnalyseStreamRate(cut.data(), static_cast<uint32_t>(cut.size()), slots.list), int);
  }
  std::vector<CValuePoint> target;
  EXPECT_EQ(list.AnalyseStreamRate(valid.data(), static_cast<uint32_t>(valid.size()), slots.list), 1);
  EXPECT_EQ(list.CopyItems(target), 1);
  EXPECT_EQ(target.size(), 2u);
  EXPECT_EQ(list.CopyItems(target), 0);
}

}  // namespace

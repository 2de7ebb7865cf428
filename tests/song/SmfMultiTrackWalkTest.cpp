// The common walk over the tracks of an SMF image.
#include "song/SmfMultiTrackWalk.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SmfTestImages.h"
#include "song/SmfStreamReaders.h"

namespace {

using smftest::Bytes;
using smftest::Track;

struct Seen {
  uint32_t tick;
  uint32_t track;
  uint8_t status;
  uint8_t data1;
  bool operator==(const Seen&) const = default;
};

std::vector<Seen> WalkAll(const Bytes& image, uint32_t maxTracks = 0) {
  CSmfMultiTrackWalk walk;
  walk.Open(image.data(), static_cast<uint32_t>(image.size()), maxTracks);
  std::vector<Seen> seen;
  walk.Walk([&](const SmfEvent& e, CSmfTrackCursor&) {
    seen.push_back({e.tick, e.track, e.status, e.Data1()});
  });
  return seen;
}

TEST(SmfMultiTrackWalk, OrdersByTickThenTrackThenFileOrder) {
  Track t0, t1, t2;
  t0.Event(10, {0x90, 60, 100}).Event(0, {0x90, 61, 100}).Event(20, {0x80, 60, 0});
  t1.Event(0, {0x91, 40, 100}).Event(10, {0x91, 41, 100}).Event(20, {0x81, 40, 0});
  t2.Event(5, {0xC2, 7});
  std::vector<Seen> expected = {
      {0, 1, 0x91, 40},  {5, 2, 0xC2, 7},   {10, 0, 0x90, 60}, {10, 0, 0x90, 61},
      {10, 1, 0x91, 41}, {30, 0, 0x80, 60}, {30, 1, 0x81, 40},
  };
  EXPECT_EQ(WalkAll(smftest::Image({t0, t1, t2})), expected);
}

TEST(SmfMultiTrackWalk, RunningStatusReadsAsIfTheStatusStoodThere) {
  Track t;
  t.Event(0, {0x92, 60, 100}).Event(5, {62, 100}).Event(0, {0xFF, 0x01, 0x01, 'x'})
      .Event(5, {64, 0}).Event(0, {0xC3, 9}).Event(1, {10});
  CSmfMultiTrackWalk walk;
  Bytes image = smftest::Image({t});
  walk.Open(image.data(), static_cast<uint32_t>(image.size()));
  std::vector<std::pair<uint8_t, uint32_t>> statusAndSize;
  std::vector<bool> running;
  walk.Walk([&](const SmfEvent& e, CSmfTrackCursor&) {
    statusAndSize.emplace_back(e.status, e.IsChannel() ? e.ChannelSize() : e.dataSize);
    running.push_back(e.runningStatus);
  });
  std::vector<std::pair<uint8_t, uint32_t>> expected = {
      {0x92, 3}, {0x92, 3}, {0xFF, 1}, {0x92, 3}, {0xC3, 2}, {0xC3, 2}};
  EXPECT_EQ(statusAndSize, expected);
  EXPECT_EQ(running, (std::vector<bool>{false, true, false, true, false, true}));
}

TEST(SmfMultiTrackWalk, JumpsOverLongGapsAfterATrackEnded) {
  // One track ends at once; the other waits a quarter of the tick range. Stepping one tick at
  // a time would take ages; the walk must visit only the due ticks.
  Track early, late;
  early.Event(0, {0x90, 60, 1});
  late.Event(0x0FFFFFFF, {0x90, 61, 1}).Event(0x0FFFFFFF, {0x80, 61, 0});
  std::vector<Seen> expected = {{0, 0, 0x90, 60}, {0x0FFFFFFF, 1, 0x90, 61},
                                {0x1FFFFFFE, 1, 0x80, 61}};
  EXPECT_EQ(WalkAll(smftest::Image({early, late})), expected);
}

TEST(SmfMultiTrackWalk, DataByteWithBitSevenEndsItsTrack) {
  // A status byte where a key or value belongs never reaches a handler: its track ends there,
  // the other tracks go on.
  struct Case {
    const char* name;
    Bytes broken;
  } cases[] = {
      {"key", {0x99, 0xF0, 100}},
      {"velocity", {0x99, 60, 0x80}},
      {"program", {0xC0, 0x90}},
      {"under running status", {1, 0x81}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Track broken, other;
    broken.Event(0, {0x99, 1, 100}).Event(1, c.broken).Event(1, {0x89, 1, 0});
    other.Event(5, {0x90, 60, 1});
    std::vector<Seen> expected = {{0, 0, 0x99, 1}, {5, 1, 0x90, 60}};
    EXPECT_EQ(WalkAll(smftest::Image({broken, other})), expected);
  }
}

TEST(SmfMultiTrackWalk, HandlerMayEndATrack) {
  Track t;
  t.Event(0, {0x90, 60, 1}).EndOfTrack(1).Event(0, {0x90, 61, 1});
  Bytes image = smftest::Image({t});
  CSmfMultiTrackWalk walk;
  walk.Open(image.data(), static_cast<uint32_t>(image.size()));
  int events = 0;
  walk.Walk([&](const SmfEvent& e, CSmfTrackCursor& cursor) {
    ++events;
    if (e.IsMeta() && e.metaType == 0x2F) cursor.End();
  });
  EXPECT_EQ(events, 2);
}

TEST(SmfMultiTrackWalk, RewindWalksTheSameEventsAgain) {
  Track t0, t1;
  t0.Event(3, {0x90, 60, 1});
  t1.Event(1, {0x91, 61, 1});
  Bytes image = smftest::Image({t0, t1});
  CSmfMultiTrackWalk walk;
  walk.Open(image.data(), static_cast<uint32_t>(image.size()));
  std::vector<uint32_t> ticks;
  auto record = [&](const SmfEvent& e, CSmfTrackCursor&) { ticks.push_back(e.tick); };
  walk.Walk(record);
  walk.Rewind();
  walk.Walk(record);
  EXPECT_EQ(ticks, (std::vector<uint32_t>{1, 3, 1, 3}));
}

TEST(SmfMultiTrackWalk, MalformedImagesFail) {
  Track good;
  good.Event(0, {0x90, 60, 100}).Event(10, {0x80, 60, 0}).EndOfTrack();
  Bytes valid = smftest::Image({good});
  auto withTrack = [](const Bytes& trackBytes, uint16_t tracks = 1) {
    Bytes out = smftest::Header(0, tracks, 480);
    out.insert(out.end(), {'M', 'T', 'r', 'k'});
    smftest::PutBE(out, static_cast<uint32_t>(trackBytes.size()), 4);
    out.insert(out.end(), trackBytes.begin(), trackBytes.end());
    return out;
  };
  Bytes pastEnd = valid;
  pastEnd[21] += 1;  // track length one past the image
  Bytes notTrack = valid;
  notTrack[14] = 'X';
  Bytes format2 = valid;
  format2[9] = 2;
  Bytes moreTracks = valid;
  moreTracks[11] = 2;  // header says two tracks, the image holds one
  Bytes wrapping;
  for (int i = 0; i < 17; ++i) wrapping.insert(wrapping.end(), {0xFF, 0xFF, 0xFF, 0x7F, 0xC0, 1});
  struct Case {
    const char* name;
    Bytes image;
  } cases[] = {
      {"13 bytes", Bytes(valid.begin(), valid.begin() + 13)},
      {"no MThd", Bytes(14, 0)},
      {"format 2", format2},
      {"track length past the end", pastEnd},
      {"chunk not MTrk", notTrack},
      {"missing track", moreTracks},
      {"five-byte delta", withTrack({0x81, 0x80, 0x80, 0x80, 0x00, 0x90, 60, 100})},
      {"five-byte meta length", withTrack({0x00, 0xFF, 0x01, 0x81, 0x80, 0x80, 0x80, 0x00})},
      {"data byte without status", withTrack({0x00, 60, 100})},
      {"SysEx past its track", withTrack({0x00, 0xF0, 0x05, 0x43, 0x79, 0xF7})},
      {"note cut short", withTrack({0x00, 0x90, 60})},
      {"delta cut short", withTrack({0x00, 0x90, 60, 1, 0x81})},
      {"ticks wrap", withTrack(wrapping)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    int thrown = -1;
    try {
      WalkAll(c.image);
    } catch (int e) {
      thrown = e;
    }
    EXPECT_EQ(thrown, kSmfMalformed);
  }
  EXPECT_EQ(WalkAll(valid).size(), 3u);
}

TEST(SmfMultiTrackWalk, EveryTruncationFailsOrWalksWithinTheImage) {
  Track t0, t1;
  t0.Event(0, {0xF0, 0x07, 0x43, 0x79, 0x06, 0x7F, 0x00, 0x64, 0xF7})
      .Event(0, {0x90, 60, 100}).Event(200, {60, 0}).Meta(0, 0x07, "STOP").EndOfTrack();
  t1.Event(5, {0xC1, 3}).Event(300, {0x81, 40, 0}).EndOfTrack();
  Bytes valid = smftest::Image({t0, t1});
  for (size_t n = 0; n < valid.size(); ++n) {
    SCOPED_TRACE(n);
    // Copied so that the sanitizer sees any read past the cut.
    Bytes cut(valid.begin(), valid.begin() + static_cast<ptrdiff_t>(n));
    EXPECT_THROW(WalkAll(cut), int);
  }
}

TEST(SmfMultiTrackWalk, TrackLimitIsEnforced) {
  Track t;
  t.Event(0, {0x90, 60, 1});
  Bytes two = smftest::Image({t, t});
  EXPECT_THROW(WalkAll(two, 1), int);
  EXPECT_EQ(WalkAll(two, 2).size(), 2u);
  Bytes none = smftest::Image({});
  EXPECT_TRUE(WalkAll(none, 1).empty());
}

}  // namespace

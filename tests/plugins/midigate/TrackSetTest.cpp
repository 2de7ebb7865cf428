// Reading and merging the tracks of a source: order, running status and every bound.
#include "plugins/midigate/TrackSet.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SmfFixture.h"
#include "plugins/midigate/Failure.h"

using midigate::testing::Bytes;
using midigate::testing::SmfWriter;

namespace {

struct Seen {
  uint64_t tick;
  uint32_t track;
  uint8_t status;
  uint8_t data1;
  bool operator==(const Seen&) const = default;
};

std::vector<Seen> Walk(const Bytes& file) {
  midigate::SourceHeader header = midigate::ReadSourceHeader(file.data(), static_cast<uint32_t>(file.size()));
  midigate::CTrackSet tracks(file.data(), static_cast<uint32_t>(file.size()), header);
  std::vector<Seen> seen;
  midigate::SmfEvent event;
  while (tracks.Next(event)) {
    seen.push_back({event.tick, event.track, event.status, event.status == 0xFF ? event.metaType : event.Data1()});
  }
  return seen;
}

uint32_t WalkResult(const Bytes& file) {
  return midigate::GuardedConvert([&] {
    Walk(file);
    return 0u;
  });
}

}  // namespace

TEST(TrackSet, MergesByTickWithEqualTicksInTrackOrder) {
  Bytes file = SmfWriter(1)
                   .Track().Raw(10, {0x90, 1, 1}).Raw(0, {0x90, 2, 1}).Raw(20, {0x90, 3, 1}).End()
                   .Track().Raw(0, {0x91, 4, 1}).Raw(10, {0x91, 5, 1}).Raw(5, {0x91, 6, 1}).End(100)
                   .Track().Raw(30, {0x92, 7, 1}).End()
                   .Build();
  std::vector<Seen> expected = {
      {0, 1, 0x91, 4},  {10, 0, 0x90, 1}, {10, 0, 0x90, 2}, {10, 1, 0x91, 5}, {15, 1, 0x91, 6},
      {30, 0, 0x90, 3}, {30, 0, 0xFF, 0x2F}, {30, 2, 0x92, 7}, {30, 2, 0xFF, 0x2F}, {115, 1, 0xFF, 0x2F},
  };
  EXPECT_EQ(Walk(file), expected);
}

TEST(TrackSet, KeepsRunningStatusPerTrackAcrossMetaAndSysEx) {
  Bytes file = SmfWriter(1)
                   .Track().Raw(0, {0x90, 60, 100}).Raw(0, {61, 100}).Meta(0, 0x01, "x").Raw(0, {62, 0})
                   .Track().Raw(0, {0xC3, 5}).Raw(0, {0xF0, 0x01, 0xF7}).Raw(0, {6})
                   .Build();
  std::vector<Seen> expected = {
      {0, 0, 0x90, 60}, {0, 0, 0x90, 61}, {0, 0, 0xFF, 0x01}, {0, 0, 0x90, 62},
      {0, 1, 0xC3, 5},  {0, 1, 0xF0, 0xF7}, {0, 1, 0xC3, 6},
  };
  EXPECT_EQ(Walk(file), expected);
}

TEST(TrackSet, JumpsAcrossLongDeltasAndEndsWithoutEndOfTrack) {
  Bytes file = SmfWriter().Raw(0x0FFFFFFF, {0x90, 1, 1}).Raw(0x0FFFFFFF, {0x80, 1, 0}).Build();
  std::vector<Seen> expected = {{0x0FFFFFFF, 0, 0x90, 1}, {0x1FFFFFFE, 0, 0x80, 1}};
  EXPECT_EQ(Walk(file), expected);
}

TEST(TrackSet, RefusesEveryBrokenTrack) {
  auto withTrack = [](const Bytes& body) {
    Bytes file = SmfWriter().Build();
    file[11] = 1;  // one track
    file.insert(file.end(), {'M', 'T', 'r', 'k'});
    midigate::testing::AppendBE(file, static_cast<uint32_t>(body.size()), 4);
    file.insert(file.end(), body.begin(), body.end());
    return file;
  };
  Bytes valid = withTrack({0x00, 0x90, 60, 100, 0x00, 0xFF, 0x2F, 0x00});
  Bytes lengthPastEnd = valid;
  lengthPastEnd[21] += 1;
  Bytes missingTrack = valid;
  missingTrack[11] = 2;
  Bytes notMTrk = valid;
  notMTrk[17] = 'X';

  struct Case {
    const char* name;
    Bytes file;
  } cases[] = {
      {"data byte before any status", withTrack({0x00, 60, 100})},
      {"song position pointer", withTrack({0x00, 0xF2, 0, 0})},
      {"timing clock", withTrack({0x00, 0xF8})},
      {"five-byte delta", withTrack({0x81, 0x80, 0x80, 0x80, 0x00, 0x90, 60, 100})},
      {"delta cut by the track end", withTrack({0x81})},
      {"delta without event", withTrack({0x00})},
      {"note cut by the track end", withTrack({0x00, 0x90, 60})},
      {"status byte as data", withTrack({0x00, 0x90, 60, 0x80})},
      {"meta length past the track", withTrack({0x00, 0xFF, 0x01, 0x05, 'a'})},
      {"meta without type", withTrack({0x00, 0xFF})},
      {"meta with a five-byte length", withTrack({0x00, 0xFF, 0x01, 0x81, 0x80, 0x80, 0x80, 0x00})},
      {"SysEx length past the track", withTrack({0x00, 0xF0, 0x7F, 0xF7})},
      {"escape length past the track", withTrack({0x00, 0xF7, 0x02, 0xF7})},
      {"track length past the source", lengthPastEnd},
      {"declared track missing", missingTrack},
      {"chunk that is not MTrk", notMTrk},
      {"13-byte source", Bytes(valid.begin(), valid.begin() + 13)},
      {"not MThd", Bytes{'R', 'I', 'F', 'F', 0, 0, 0, 6, 0, 0, 0, 1, 1, 0xE0}},
  };
  EXPECT_EQ(WalkResult(valid), 0u);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(WalkResult(c.file), CNVERR_FAILED);
  }
}

TEST(TrackSet, ReadsTheFirstTrackAtByte14WhateverTheHeaderLengthSays) {
  Bytes file = SmfWriter().Raw(0, {0x90, 1, 1}).End().Build();
  const std::vector<Seen> expected = {{0, 0, 0x90, 1}, {0, 0, 0xFF, 0x2F}};
  for (uint32_t length : {0u, 4u, 6u, 100u, 0xFFFFFFFFu}) {
    SCOPED_TRACE(length);
    for (int i = 0; i < 4; ++i) file[4 + i] = static_cast<uint8_t>(length >> (24 - 8 * i));
    EXPECT_EQ(Walk(file), expected);
  }
}

TEST(TrackSet, LeavesTheBytesBehindEndOfTrackUnread) {
  Bytes file = SmfWriter().Raw(0, {0x90, 1, 1}).End().Raw(0, {0xF8}).Build();
  std::vector<Seen> expected = {{0, 0, 0x90, 1}, {0, 0, 0xFF, 0x2F}};
  EXPECT_EQ(Walk(file), expected);
}

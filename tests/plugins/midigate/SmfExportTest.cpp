// Song-data SMF out to a plain Standard MIDI File of format 0.
#include "plugins/midigate/SmfExport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SmfFixture.h"
#include "plugins/midigate/Failure.h"

using namespace midigate::testing;

namespace {

uint32_t ExportEntry(CnvParam* param, uint32_t) {
  return midigate::GuardedConvert([param] { return midigate::CSmfExport::Convert(*param); });
}

Converted Export(const Bytes& source, uint32_t capacity = 1 << 20) {
  return CallEntry(&ExportEntry, source, capacity);
}

// The track of an exported file without its end of track, which every test checks once here.
std::vector<OutEvent> ExportedEvents(const Bytes& source) {
  Converted c = Export(source);
  EXPECT_LT(c.result, CNVERR_FAILED);
  OutFile file = ReadOutput(c.output);
  EXPECT_EQ(file.format, 0);
  EXPECT_EQ(file.tracks, 1);
  EXPECT_TRUE(file.lengthMatches);
  if (file.events.empty()) return {};
  EXPECT_EQ(file.events.back().bytes, (Bytes{0xFF, 0x2F, 0x00}));
  file.events.pop_back();
  return file.events;
}

}  // namespace

TEST(SmfExport, WritesDeviceTempoAsTempoMetaGolden) {
  Bytes source = SmfWriter(0, 480)
                     .Tempo(0, 1042)  // microseconds per tick: dropped
                     .SysEx(0, {0x43, 0x79, 0x06, 0x7D, 0x10, 0x1E, 0x42, 0x20, 0xF7})
                     .Raw(480, {0x90, 60, 100})
                     .End(10)
                     .Build();
  Converted c = Export(source);
  Bytes expected = {
      'M', 'T', 'h', 'd', 0, 0, 0, 6,  // header
      0, 0, 0, 1, 0x01, 0xE0,          // format 0, one track, division 480
      'M', 'T', 'r', 'k', 0, 0, 0, 16,  // track length
      0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,  // 500000 per quarter note
      0x83, 0x60, 0x90, 60, 100,                 // delta 480
      0x0A, 0xFF, 0x2F, 0x00,                    // end of track
  };
  EXPECT_EQ(Hex(c.output), Hex(expected));
  EXPECT_EQ(c.result, expected.size());
  EXPECT_EQ(c.dstSize, expected.size());
}

TEST(SmfExport, RetimesTheSongDataOfDivisionZero) {
  // 4 ms a tick; 500000 a quarter until tick 250 (1000 ms), then 250000. Every event keeps its
  // millisecond: at 480 a quarter one new tick is 1.0417 ms, then 0.5208 ms.
  Bytes source = SmfWriter(0, 0)
                     .Tempo(0, 4000)
                     .SysEx(0, {0x43, 0x79, 0x06, 0x7D, 0x10, 0x1E, 0x42, 0x20, 0xF7})
                     .Raw(0, {0x90, 60, 100})
                     .Raw(3, {0x80, 60, 0})       // 12 ms: 11.52 new ticks
                     .Raw(247, {0x90, 62, 100})   // 1000 ms
                     .SysEx(0, {0x43, 0x79, 0x06, 0x7D, 0x10, 0x0F, 0x21, 0x10, 0xF7})
                     .Raw(5, {0x80, 62, 0})       // 20 ms after it: 38.4 new ticks
                     .End(1)
                     .Build();
  Converted c = Export(source);
  ASSERT_LT(c.result, CNVERR_FAILED);
  OutFile file = ReadOutput(c.output);
  EXPECT_EQ(file.division, 480);
  EXPECT_EQ(file.events, (std::vector<OutEvent>{
                             {0, {0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}},
                             {0, {0x90, 60, 100}},
                             {12, {0x80, 60, 0}},
                             {960, {0x90, 62, 100}},
                             {960, {0xFF, 0x51, 0x03, 0x03, 0xD0, 0x90}},
                             {998, {0x80, 62, 0}},
                             {1006, {0xFF, 0x2F, 0x00}},
                         }));
}

TEST(SmfExport, RefusesSongDataOfDivisionZeroWithoutATickLength) {
  Bytes source = SmfWriter(0, 0).Raw(0, {0x90, 60, 100}).Raw(10, {0x80, 60, 0}).End().Build();
  EXPECT_EQ(Export(source).result, CNVERR_FAILED);
}

TEST(SmfExport, ReadsEveryFormOfTheDeviceTempo) {
  struct Case {
    const char* name;
    Bytes body;
    Bytes value;
  } cases[] = {
      {"three groups", {0x43, 0x79, 0x06, 0x7D, 0x10, 0x1E, 0x42, 0x20, 0xF7}, {0x07, 0xA1, 0x20}},
      {"four groups", {0x43, 0x79, 0x06, 0x7D, 0x10, 0x01, 0x00, 0x00, 0x00, 0xF7}, {0x20, 0x00, 0x00}},
      {"variable length", {0x43, 0x79, 0x06, 0x7D, 0x10, 0x9E, 0xC2, 0x20, 0xF7}, {0x07, 0xA1, 0x20}},
      {"bytes two and three not tested", {0x43, 0x00, 0x00, 0x7D, 0x10, 0x1E, 0x42, 0x20, 0xF7}, {0x07, 0xA1, 0x20}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<OutEvent> events = ExportedEvents(SmfWriter().SysEx(0, c.body).End().Build());
    ASSERT_EQ(events.size(), 1u);
    Bytes expected = {0xFF, 0x51, 0x03};
    expected.insert(expected.end(), c.value.begin(), c.value.end());
    EXPECT_EQ(Hex(events[0].bytes), Hex(expected));
  }
}

TEST(SmfExport, RefusesDeviceTempoWithoutItsValue) {
  Bytes source = SmfWriter().SysEx(0, {0x43, 0x79, 0x06, 0x7D, 0x10, 0x1E, 0xF7}).End().Build();
  EXPECT_EQ(Export(source).result, CNVERR_FAILED);
}

TEST(SmfExport, ConvertsOrDropsEachSysEx) {
  struct Case {
    const char* name;
    Bytes body;
    Bytes out;  // empty: dropped
  } cases[] = {
      {"device master volume", {0x43, 0x79, 0x06, 0x7F, 0x00, 0x64, 0xF7},
       {0xF0, 0x07, 0x7F, 0x7F, 0x04, 0x01, 0x00, 0x64, 0xF7}},
      {"voice definition", {0x43, 0x79, 0x06, 0x7F, 0x01, 0x7C, 0, 5, 0, 0, 0xF7},
       {0xF0, 0x0B, 0x43, 0x79, 0x06, 0x7F, 0x01, 0x7C, 0, 5, 0, 0, 0xF7}},
      {"wave", {0x43, 0x79, 0x06, 0x7F, 0x03, 1, 0, 0xF7}, {0xF0, 0x08, 0x43, 0x79, 0x06, 0x7F, 0x03, 1, 0, 0xF7}},
      {"voice list", {0x43, 0x79, 0x06, 0x7F, 0x20, 0xF7}, {0xF0, 0x06, 0x43, 0x79, 0x06, 0x7F, 0x20, 0xF7}},
      {"channel block", {0x43, 0x79, 0x06, 0x7D, 0x02, 0, 0xF7}, {0xF0, 0x07, 0x43, 0x79, 0x06, 0x7D, 0x02, 0, 0xF7}},
      {"contents texts", {0x43, 0x79, 0x06, 0x7D, 0x03, 0, 0xF7}, {0xF0, 0x07, 0x43, 0x79, 0x06, 0x7D, 0x03, 0, 0xF7}},
      {"contents header", {0x43, 0x79, 0x06, 0x7D, 0x01, 0, 0xF7}, {}},
      {"last contents text", {0x43, 0x79, 0x06, 0x7D, 0x04, 0, 0xF7}, {}},
      {"device command 2", {0x43, 0x79, 0x06, 0x7F, 0x02, 0, 0xF7}, {}},
      {"device command 7F", {0x43, 0x79, 0x06, 0x7F, 0x7F, 0xF7}, {}},
      {"other group", {0x43, 0x79, 0x06, 0x10, 0x01, 0xF7}, {}},
      {"universal master volume", {0x7F, 0x7F, 0x04, 0x01, 0x00, 0x64, 0xF7}, {}},
      {"other maker", {0x41, 0x10, 0x42, 0x12, 0xF7}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<OutEvent> events =
        ExportedEvents(SmfWriter().SysEx(5, c.body).Raw(5, {0x90, 1, 1}).End().Build());
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().tick, 10u);  // a dropped message's delta is carried
    if (c.out.empty()) {
      EXPECT_EQ(events.size(), 1u);
    } else {
      ASSERT_EQ(events.size(), 2u);
      EXPECT_EQ(events[0].tick, 5u);
      EXPECT_EQ(Hex(events[0].bytes), Hex(c.out));
    }
  }
}

TEST(SmfExport, ClearsBitSevenOfTheMasterVolume) {
  std::vector<OutEvent> events =
      ExportedEvents(SmfWriter().SysEx(0, {0x43, 0x79, 0x06, 0x7F, 0x00, 0xE4, 0xF7}).End().Build());
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(Hex(events[0].bytes), "F0 07 7F 7F 04 01 00 64 F7");
}

TEST(SmfExport, WritesSectionCuesAsSequencerEvents) {
  struct Case {
    std::string cue;
    Bytes out;  // empty: dropped
  } cases[] = {
      {"01LSTPI", {0xFF, 0x7F, 0x04, 0x43, 0x7B, 0x02, 0x00}},
      {"01LSTPE", {0xFF, 0x7F, 0x04, 0x43, 0x7B, 0x02, 0x01}},
      {"01LSTPA", {0xFF, 0x7F, 0x04, 0x43, 0x7B, 0x02, 0x03}},
      {"01LSTPB", {0xFF, 0x7F, 0x04, 0x43, 0x7B, 0x02, 0x04}},
      {"01LSTPS", {0xFF, 0x7F, 0x04, 0x43, 0x7B, 0x02, 0x05}},
      {"01LSTPK", {0xFF, 0x7F, 0x04, 0x43, 0x7B, 0x02, 0x06}},
      {"01LSTPR", {0xFF, 0x7F, 0x04, 0x43, 0x7B, 0x02, 0x07}},
      {"START", {0xFF, 0x07, 0x05, 'S', 'T', 'A', 'R', 'T'}},
      {"STOP", {0xFF, 0x07, 0x04, 'S', 'T', 'O', 'P'}},
      {"01LSPPE", {}},
      {"01LSTPX", {}},
      {"01LSTPEE", {}},
      {"Chorus", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.cue);
    std::vector<OutEvent> events =
        ExportedEvents(SmfWriter().Meta(3, 0x07, c.cue).Raw(4, {0xB0, 7, 100}).End().Build());
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().tick, 7u);
    if (c.out.empty()) {
      EXPECT_EQ(events.size(), 1u);
    } else {
      ASSERT_EQ(events.size(), 2u);
      EXPECT_EQ(Hex(events[0].bytes), Hex(c.out));
    }
  }
}

TEST(SmfExport, CopiesOrDropsEachMetaEvent) {
  struct Case {
    uint8_t type;
    bool copied;
  } cases[] = {{0x00, false}, {0x01, true},  {0x02, true},  {0x03, false}, {0x04, false}, {0x05, false},
               {0x06, true},  {0x20, false}, {0x21, false}, {0x51, false}, {0x54, false}, {0x58, true},
               {0x59, true},  {0x7F, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.type));
    std::vector<OutEvent> events = ExportedEvents(SmfWriter().Meta(0, c.type, Bytes{1, 2, 3, 4}).End().Build());
    if (c.copied) {
      ASSERT_EQ(events.size(), 1u);
      EXPECT_EQ(events[0].bytes, (Bytes{0xFF, c.type, 4, 1, 2, 3, 4}));
    } else {
      EXPECT_TRUE(events.empty());
    }
  }
}

TEST(SmfExport, WritesEveryChannelMessageWithItsStatus) {
  Bytes source = SmfWriter()
                     .Raw(0, {0x90, 60, 100}).Raw(0, {61, 100}).Raw(0, {0xC1, 5}).Raw(0, {6})
                     .Raw(0, {0xA2, 60, 1}).Raw(0, {0xD3, 9}).Raw(0, {0xE4, 0, 64}).Raw(0, {0xF7, 0x01, 0xF7})
                     .End()
                     .Build();
  std::vector<OutEvent> events = ExportedEvents(source);
  std::vector<Bytes> expected = {{0x90, 60, 100}, {0x90, 61, 100}, {0xC1, 5},   {0xC1, 6},
                                 {0xA2, 60, 1},   {0xD3, 9},       {0xE4, 0, 64}};
  ASSERT_EQ(events.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(events[i].bytes, expected[i]);
}

TEST(SmfExport, MergesFormatOneTracksInTickOrderWithTiesInTrackOrder) {
  Bytes source = SmfWriter(1, 96)
                     .Track().Raw(0, {0x90, 60, 100}).Raw(96, {0x80, 60, 0}).End(0)
                     .Track().Raw(0, {0x91, 64, 100}).Raw(48, {0x81, 64, 0}).Raw(48, {0x91, 65, 100})
                     .Raw(96, {0x81, 65, 0}).End(10)
                     .Build();
  Converted c = Export(source);
  OutFile file = ReadOutput(c.output);
  EXPECT_EQ(file.division, 96);
  std::vector<OutEvent> expected = {
      {0, {0x90, 60, 100}}, {0, {0x91, 64, 100}},  {48, {0x81, 64, 0}},   {96, {0x80, 60, 0}},
      {96, {0x91, 65, 100}}, {192, {0x81, 65, 0}}, {202, {0xFF, 0x2F, 0}},
  };
  EXPECT_EQ(file.events, expected);
}

TEST(SmfExport, RefusesWhatIsNoSongData) {
  Bytes valid = SmfWriter().Raw(0, {0x90, 60, 100}).End().Build();
  Bytes format2 = valid;
  format2[9] = 2;
  EXPECT_EQ(Export(format2).result, CNVERR_FAILED);
  EXPECT_EQ(Export(Bytes(valid.begin(), valid.begin() + 13)).result, CNVERR_FAILED);
  Bytes runningFirst = SmfWriter().Raw(0, {60, 100}).End().Build();
  EXPECT_EQ(Export(runningFirst).result, CNVERR_FAILED);
}

TEST(SmfExport, LeavesTheDestinationAloneWhenItIsOneByteShort) {
  Bytes source = SmfWriter().Raw(0, {0x90, 60, 100}).Raw(10, {0x80, 60, 0}).End().Build();
  Converted fits = Export(source);
  ASSERT_LT(fits.result, CNVERR_FAILED);
  Converted shortBy1 = Export(source, fits.result - 1);
  EXPECT_EQ(shortBy1.result, CNVERR_DSTSIZE);
  EXPECT_EQ(shortBy1.dstSize, fits.result - 1);
  EXPECT_EQ(Export(source, fits.result).result, fits.result);
}

// Splitting a song-data SMF into per-group files.
#include "song/SmfTrackSet.h"

#include <gtest/gtest.h>

#include <vector>

#include "SmfTestImages.h"
#include "song/SmfStreamReaders.h"

namespace {

using smftest::Bytes;
using smftest::Track;

Bytes GroupFile(const CSmfTrackSet& set, int group) {
  Bytes out(set.GetTrackSize(group));
  EXPECT_EQ(set.CopyTrack(group, out.data(), static_cast<uint32_t>(out.size())), 1);
  return out;
}

// "MThd" 6, format 0, one track, division; "MTrk" and the length of the events.
Bytes OneTrackFile(const Bytes& events, uint16_t division = 480) {
  Bytes out = smftest::Header(0, 1, division);
  out.insert(out.end(), {'M', 'T', 'r', 'k'});
  smftest::PutBE(out, static_cast<uint32_t>(events.size()), 4);
  out.insert(out.end(), events.begin(), events.end());
  return out;
}

TEST(SmfTrackSet, ChannelNineAloneInGroupTwoBecomesChannelZero) {
  Track t;
  t.TickTempo(0, 1042)
      .Event(0, {0xC9, 0x05})
      .Event(0, {0x99, 36, 100})
      .Event(0, {0x90, 60, 100})  // channel 0 has no group
      .Event(120, {0x89, 36, 0})
      .Event(0, {0xA9, 36, 10})   // key pressure is not carried
      .Event(10, {0xE9, 0, 64})
      .EndOfTrack();
  Bytes image = smftest::Image({t}, 0, 96);
  uint8_t codes[16] = {};
  codes[9] = 2;
  CSmfTrackSet set;
  ASSERT_EQ(set.Parse(image.data(), static_cast<uint32_t>(image.size()), codes), 1);
  Bytes expected = OneTrackFile({
      0x00, 0xFF, 0x51, 0x03, 0x00, 0x04, 0x12,  // tempo to every used group
      0x00, 0xC0, 0x05,                          // program change, channel 9 -> 0
      0x00, 0x90, 36, 100,                       // note on
      0x78, 0x80, 36, 0,                         // 120 ticks later
      0x0A, 0xE0, 0, 64,                         // the skipped pressure left no gap
      0x00, 0xFF, 0x2F, 0x00,                    // end of track copied
  }, 96);
  EXPECT_EQ(GroupFile(set, 2), expected);
  for (int g : {1, 3, 4}) EXPECT_EQ(set.GetTrackSize(g), 0u) << g;
}

TEST(SmfTrackSet, AFifthChannelOfAGroupIsLeftOut) {
  Track t;
  for (uint8_t ch = 0; ch < 6; ++ch) t.Event(1, {static_cast<uint8_t>(0x90 | ch), 60, 1});
  Bytes image = smftest::Image({t});
  uint8_t codes[16] = {1, 1, 1, 3, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  CSmfTrackSet set;
  set.Parse(image.data(), static_cast<uint32_t>(image.size()), codes);
  // Group 1 holds channels 0, 1, 2 and 4 as slots 0..3; channel 5 belongs nowhere.
  EXPECT_EQ(GroupFile(set, 1), OneTrackFile({0x01, 0x90, 60, 1, 0x01, 0x91, 60, 1, 0x01, 0x92,
                                             60, 1, 0x02, 0x93, 60, 1}));
  EXPECT_EQ(GroupFile(set, 3), OneTrackFile({0x04, 0x90, 60, 1}));
}

TEST(SmfTrackSet, MergesTracksAndCopiesMetasToEveryGroup) {
  Track t0, t1;
  t0.Event(0, {0x90, 60, 1}).Event(10, {0x80, 60, 0}).EndOfTrack();
  t1.Meta(5, 0x07, "STOP").Event(0, {0xB1, 7, 100}).EndOfTrack(5);
  Bytes image = smftest::Image({t0, t1});
  uint8_t codes[16] = {1, 4};
  CSmfTrackSet set;
  set.Parse(image.data(), static_cast<uint32_t>(image.size()), codes);
  EXPECT_EQ(GroupFile(set, 1), OneTrackFile({0x00, 0x90, 60, 1, 0x05, 0xFF, 0x07, 0x04, 'S', 'T',
                                             'O', 'P', 0x05, 0x80, 60, 0, 0x00, 0xFF, 0x2F, 0x00,
                                             0x00, 0xFF, 0x2F, 0x00}));
  EXPECT_EQ(GroupFile(set, 4), OneTrackFile({0x05, 0xFF, 0x07, 0x04, 'S', 'T', 'O', 'P', 0x00,
                                             0xB0, 7, 100, 0x05, 0xFF, 0x2F, 0x00, 0x00, 0xFF,
                                             0x2F, 0x00}));
}

TEST(SmfTrackSet, NoGroupsWritesNothing) {
  Track t;
  t.Event(0, {0x90, 60, 1}).EndOfTrack();
  Bytes image = smftest::Image({t});
  uint8_t zeros[16] = {};
  for (const uint8_t* codes : {static_cast<const uint8_t*>(zeros), static_cast<const uint8_t*>(nullptr)}) {
    CSmfTrackSet set;
    EXPECT_EQ(set.Parse(image.data(), static_cast<uint32_t>(image.size()), codes), 1);
    for (int g = 0; g <= 5; ++g) EXPECT_EQ(set.GetTrackSize(g), 0u);
  }
}

TEST(SmfTrackSet, CopyTrackChecksItsArguments) {
  Track t;
  t.Event(0, {0x90, 60, 1});
  Bytes image = smftest::Image({t});
  uint8_t codes[16] = {2};
  CSmfTrackSet set;
  set.Parse(image.data(), static_cast<uint32_t>(image.size()), codes);
  uint32_t size = set.GetTrackSize(2);
  ASSERT_EQ(size, 22u + 4u);
  Bytes buffer(size + 8, 0xEE);
  EXPECT_EQ(set.CopyTrack(2, nullptr, 4), 0);
  EXPECT_EQ(set.CopyTrack(0, buffer.data(), 4), 0);
  EXPECT_EQ(set.CopyTrack(5, buffer.data(), 4), 0);
  EXPECT_EQ(set.CopyTrack(2, buffer.data(), size + 8), 1);  // copies no more than it holds
  EXPECT_EQ(buffer[size], 0xEE);
  EXPECT_EQ(buffer[0], 'M');
}

TEST(SmfTrackSet, MalformedImagesFailAtEveryCut) {
  Track t;
  t.TickTempo(0, 1042).Event(0, {0x90, 60, 1}).Event(4, {60, 0}).EndOfTrack();
  Bytes valid = smftest::Image({t});
  uint8_t codes[16] = {1};
  for (size_t n = 0; n < valid.size(); ++n) {
    SCOPED_TRACE(n);
    Bytes cut(valid.begin(), valid.begin() + static_cast<ptrdiff_t>(n));
    CSmfTrackSet set;
    int thrown = -1;
    try {
      set.Parse(cut.data(), static_cast<uint32_t>(cut.size()), codes);
    } catch (int e) {
      thrown = e;
    }
    EXPECT_EQ(thrown, kSmfMalformed);
  }
  CSmfTrackSet set;
  EXPECT_EQ(set.Parse(valid.data(), static_cast<uint32_t>(valid.size()), codes), 1);
}

}  // namespace

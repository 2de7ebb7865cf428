// The channel split: voice counts, output channels, note stealing and drum keys.
#include "song/SmfChannelStreams.h"

#include <gtest/gtest.h>

#include <vector>

#include "SmfTestImages.h"
#include "song/SmfStreamReaders.h"

namespace {

using smftest::Bytes;
using smftest::Track;

Bytes Split(const Bytes& image) {
  CSmfChannelStreams split;
  EXPECT_EQ(split.SplitChannels(image.data(), static_cast<uint32_t>(image.size())), 1);
  Bytes out(split.GetStreamSize());
  EXPECT_EQ(split.CopyStream(out.data(), static_cast<uint32_t>(out.size())), 1);
  return out;
}

// The events of the single track of a split result.
Bytes EventsOf(const Bytes& file) {
  EXPECT_GE(file.size(), 22u);
  return Bytes(file.begin() + 22, file.end());
}

TEST(SmfChannelStreams, ThirdNoteStealsTheOlderSlotAndSameTickNotesAreDropped) {
  Track t;
  t.Event(0, {0xB0, 55, 2})   // channel 0 asks for two voices
      .Event(0, {0xC0, 5})
      .Event(0, {0x90, 60, 100})
      .Event(0, {0x90, 62, 100})
      .Event(0, {0x90, 64, 100})  // both voices started at this tick: dropped
      .Event(10, {0x90, 65, 100})
      .Event(5, {0x80, 62, 0})
      .Event(5, {0x80, 64, 0})  // never sounded
      .Event(5, {0x80, 60, 0})  // was stolen
      .Event(0, {0xB0, 7, 100})
      .Event(0, {0x92, 60, 100})  // channel 2 has no count: one output channel
      .Event(0, {0xD0, 16})       // channel pressure is dropped
      .EndOfTrack();
  Bytes file = Split(smftest::Image({t}));
  Bytes header = smftest::Header(0, 1, 480);
  EXPECT_EQ(Bytes(file.begin(), file.begin() + 14), header);
  Bytes expected = {
      0x00, 0xC0, 5,          // program on output 0
      0x00, 0xC1, 5,          // and on output 1
      0x00, 0x90, 60, 100,    //
      0x00, 0x91, 62, 100,    //
      0x0A, 0x90, 60, 0,      // the stolen note ends first
      0x00, 0x90, 65, 100,    //
      0x05, 0x81, 62, 0,      //
      0x0A, 0xB0, 7, 100,     // the two dropped releases' deltas carried on
      0x00, 0xB1, 7, 100,     //
      0x00, 0x92, 60, 100,    // channel 2 on output 2
      0x00, 0xFF, 0x2F, 0x00,
  };
  EXPECT_EQ(EventsOf(file), expected);
  EXPECT_EQ(smftest::Bytes(file.begin() + 18, file.begin() + 22),
            (Bytes{0, 0, 0, static_cast<uint8_t>(expected.size())}));
}

TEST(SmfChannelStreams, DrumKeyKeepsItsOutputChannel) {
  Track t;
  t.Event(0, {0xB9, 55, 2})
      .Event(0, {0x99, 36, 100})
      .Event(0, {0x99, 38, 100})
      .Event(1, {0x89, 36, 0})
      .Event(1, {0x99, 42, 100})  // both outputs are bound: dropped
      .Event(1, {0x99, 36, 100})  // back on output 0
      .Event(1, {0x99, 10, 100})  // not a drum key: dropped
      .Event(1, {0x99, 38, 0});
  Bytes expected = {
      0x00, 0x90, 36, 100,  //
      0x00, 0x91, 38, 100,  //
      0x01, 0x80, 36, 0,    //
      0x02, 0x90, 36, 100,  //
      0x02, 0x91, 38, 0,    // velocity 0 stays a note on
  };
  EXPECT_EQ(EventsOf(Split(smftest::Image({t}))), expected);
}

TEST(SmfChannelStreams, ProgramChangeToDrumsReleasesEverySoundingNoteOn) {
  Track t;
  t.Event(0, {0xB0, 55, 1}).Event(0, {0x90, 60, 100}).Event(0, {0x90, 60, 90})
      .Event(2, {0xC0, 3})        // still melodic: the notes sound on
      .Event(2, {0xB0, 0, 0x7B})  // drum bank in its old form
      .Event(0, {0xC0, 7})
      .Event(4, {0xE0, 0, 64});
  Bytes expected = {
      0x00, 0x90, 60, 100,   //
      0x00, 0x90, 60, 90,    // same note: one slot, count 2
      0x02, 0xC0, 3,         //
      0x02, 0xB0, 0, 0x7B,   // bank select written as it came
      0x00, 0x90, 60, 0,     // released once per note on
      0x00, 0x90, 60, 0,     //
      0x00, 0xC0, 7,         //
      0x04, 0xE0, 0, 64,     // pitch bend to every output of the channel
  };
  EXPECT_EQ(EventsOf(Split(smftest::Image({t}))), expected);
}

TEST(SmfChannelStreams, OutputChannelsAreHandedOutInChannelOrder) {
  Track t;
  t.Event(0, {0xB1, 55, 40})  // more than 16 counts as 16 ... but channel 0 comes first
      .Event(0, {0xB0, 55, 3})
      .Event(0, {0xB3, 55, 0})  // a count of 0 takes no channel
      .Event(0, {0x92, 1, 1})
      .Event(0, {0x93, 1, 1});
  Bytes image = smftest::Image({t});
  CSmfChannelStreams split;
  split.SplitChannels(image.data(), static_cast<uint32_t>(image.size()));
  EXPECT_EQ(split.GetVoiceCount(1), 16);
  EXPECT_EQ(split.GetVoiceCount(3), 0);
  EXPECT_EQ(split.GetVoiceCount(2), 0xFF);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(split.GetSlot(i).GetSourceChannel(), 0) << i;
  for (int i = 3; i < 16; ++i) EXPECT_EQ(split.GetSlot(i).GetSourceChannel(), 1) << i;
}

TEST(SmfChannelStreams, LateOrAfterProgramVoiceCountsDoNotCount) {
  Track late, afterProgram, none;
  late.Event(1, {0xB0, 55, 2}).Event(0, {0x90, 60, 1});
  afterProgram.Event(0, {0xC0, 1}).Event(0, {0xB0, 55, 2});
  none.Event(0, {0x90, 60, 1});
  for (const Track& t : {late, afterProgram, none}) {
    Bytes image = smftest::Image({t});
    CSmfChannelStreams split;
    EXPECT_THROW(split.SplitChannels(image.data(), static_cast<uint32_t>(image.size())), int);
  }
}

TEST(SmfChannelStreams, AllocNoteSlotReleasesAndSteals) {
  CSmfChannelStreams split;
  split.AssignSlot(4, 2);
  split.AssignSlot(7, 2);
  uint8_t stolen = 0;
  EXPECT_EQ(split.AllocNoteSlot(60, 2, 10, stolen, true), 4);
  EXPECT_EQ(stolen, 0xFF);
  EXPECT_EQ(split.AllocNoteSlot(61, 2, 12, stolen, true), 7);
  EXPECT_EQ(split.AllocNoteSlot(62, 1, 12, stolen, true), 0xFF);  // channel 1 has no slot
  EXPECT_EQ(split.AllocNoteSlot(63, 2, 12, stolen, true), 4);     // slot 4 started earlier
  EXPECT_EQ(stolen, 60);
  EXPECT_EQ(split.AllocNoteSlot(64, 2, 12, stolen, true), 0xFF);  // both started now
  EXPECT_EQ(split.AllocNoteSlot(60, 2, 13, stolen, false), 0xFF); // no longer sounding
  EXPECT_EQ(split.AllocNoteSlot(61, 2, 13, stolen, false), 7);
  EXPECT_EQ(split.GetSlot(7).GetNote(), 0xFF);
  EXPECT_EQ(split.GetSlot(7).GetStartTick(), 0u);
}

TEST(SmfChannelStreams, RefusesMoreThanOneTrackAndCutImages) {
  Track t;
  t.Event(0, {0xB0, 55, 2}).Event(0, {0x90, 60, 1}).Event(5, {60, 0}).EndOfTrack();
  Bytes two = smftest::Image({t, t});
  CSmfChannelStreams split;
  EXPECT_THROW(split.SplitChannels(two.data(), static_cast<uint32_t>(two.size())), int);
  Bytes valid = smftest::Image({t});
  for (size_t n = 0; n < valid.size(); ++n) {
    SCOPED_TRACE(n);
    Bytes cut(valid.begin(), valid.begin() + static_cast<ptrdiff_t>(n));
    CSmfChannelStreams s;
    int thrown = -1;
    try {
      s.SplitChannels(cut.data(), static_cast<uint32_t>(cut.size()));
    } catch (int e) {
      thrown = e;
    }
    EXPECT_EQ(thrown, kSmfMalformed);
  }
  EXPECT_EQ(split.SplitChannels(valid.data(), static_cast<uint32_t>(valid.size())), 1);
  EXPECT_EQ(split.CopyStream(nullptr, 4), 0);
}

}  // namespace

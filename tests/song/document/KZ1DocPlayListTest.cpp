// The play list builder: range cuts, output setup updates, mute handling and the PCM list.
#include <vector>

#include "DocTestSupport.h"
#include "song/SeqEvent.h"
#include "velk/SequenceEmitter.h"

namespace {

using doctest::AddEvent;

struct Seq {
  uint32_t tick;
  uint32_t end;
  std::vector<uint8_t> bytes;
  uint32_t extra;
  bool operator==(const Seq& o) const {
    return tick == o.tick && end == o.end && bytes == o.bytes && extra == o.extra;
  }
};

std::ostream& operator<<(std::ostream& os, const Seq& s) {
  os << "{" << s.tick << ".." << s.end << " [";
  for (uint8_t b : s.bytes) os << std::hex << int(b) << std::dec << " ";
  return os << "] x" << s.extra << "}";
}

class PlayLists : public doctest::DocTest {
 protected:
  ~PlayLists() override {
    score.DeleteAll();
    pcm.DeleteAll();
  }

  static std::vector<Seq> Events(const CSeqEventList& list) {
    std::vector<Seq> out;
    CSeqEventIter it(list);
    for (CSeqEvent* e = nullptr; it.Next(e);) {
      out.push_back({e->GetTick(), e->GetEndTick(),
                     std::vector<uint8_t>(e->GetData(), e->GetData() + e->GetLength()),
                     e->GetExtra()});
    }
    return out;
  }

  /// An output record with every channel's bank, program and volume unset.
  static SongOutputRecord UnsetRecord() {
    SongOutputRecord r;
    for (int i = 0; i < 48; ++i) r.bytes[i] = 255;
    return r;
  }

  CSeqEventList score;
  CSeqEventList pcm;
  SongOutputRecord record = UnsetRecord();
};

TEST_F(PlayLists, RangeOffCopiesEveryEventWithItsOwnTicks) {
  CKZ1Doc& d = Make(3);
  AddEvent(*d.GetMidiList(), 0, 0, {0xC0, 5});
  AddEvent(*d.GetMidiList(), 10, 490, {0x90, 60, 100});
  AddEvent(*d.GetMidiList(), 600, 600, {0xFF, 0x7F, 0x04, 0x43, 0x7B, 0x02, 0x03}, 3);
  ASSERT_EQ(d.makeMidiList(score, record, 0), 1);
  const std::vector<Seq> expected = {{0, 0, {0xC0, 5}, 0},
                                     {10, 490, {0x90, 60, 100}, 0},
                                     {600, 600, {0xFF, 0x7F, 0x04, 0x43, 0x7B, 0x02, 0x03}, 3}};
  EXPECT_EQ(Events(score), expected);
  EXPECT_EQ(record.bytes[16], 255) << "without a range the record is left";
}

TEST_F(PlayLists, SongWithoutNotesGivesZero) {
  CKZ1Doc& d = Make(3);
  AddEvent(*d.GetMidiList(), 0, 0, {0xB0, 7, 100});
  EXPECT_EQ(d.makeMidiList(score, record, 0), 0);
  EXPECT_EQ(Events(score).size(), 1u);
}

TEST_F(PlayLists, RangeStartTakesEarlierVoiceChangesAndCutsTheFirstNote) {
  CKZ1Doc& d = Make(3);
  d.SetChannelMute(3, 1);
  auto& list = *d.GetMidiList();
  AddEvent(list, 100, 100, {0xB1, 0, 124});
  AddEvent(list, 200, 200, {0xB3, 7, 90});   // muted channel: volume 0
  AddEvent(list, 300, 300, {0xB1, 7, 90});   // other volumes are not taken
  AddEvent(list, 500, 500, {0xC1, 42});
  AddEvent(list, 600, 700, {0x90, 50, 1});   // ends before the range: passed over
  AddEvent(list, 900, 1000, {0x91, 60, 100});
  AddEvent(list, 1000, 1000, {0xC1, 43});
  d.SetPlayRange(1, 960, 2000);
  ASSERT_EQ(d.makeMidiList(score, record, 0), 1);
  const std::vector<Seq> expected = {{0, 40, {0x91, 60, 100}, 0}, {40, 40, {0xC1, 43}, 0}};
  EXPECT_EQ(Events(score), expected);
  EXPECT_EQ(record.bytes[SongOutputRecord::kBankCodeOffset + 1], 124);
  EXPECT_EQ(record.bytes[SongOutputRecord::kProgramCodeOffset + 1], 42);
  EXPECT_EQ(record.bytes[SongOutputRecord::kVolumeOffset + 3], 0);
  EXPECT_EQ(record.bytes[SongOutputRecord::kVolumeOffset + 1], 255);
}

TEST_F(PlayLists, RangeEndStopsNotesAndMetasButKeepsACueExactlyThere) {
  CKZ1Doc& d = Make(3);
  auto& list = *d.GetMidiList();
  AddEvent(list, 100, 3000, {0x90, 60, 100});  // cut at the range end
  AddEvent(list, 2000, 2000, {0xFF, 0x7F, 0x04, 0x43, 0x7B, 0x02, 0x05}, 5);
  AddEvent(list, 2000, 2000, {0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20});
  AddEvent(list, 2000, 2100, {0x90, 62, 100});
  d.SetPlayRange(1, 0, 2000);
  ASSERT_EQ(d.makeMidiList(score, record, 0), 1);
  const std::vector<Seq> expected = {{100, 2000, {0x90, 60, 100}, 0},
                                     {2000, 2000, {0xFF, 0x7F, 0x04, 0x43, 0x7B, 0x02, 0x05}, 5}};
  EXPECT_EQ(Events(score), expected);
}

TEST_F(PlayLists, NoteOnExactlyAtTheRangeEndIsLeftOut) {
  CKZ1Doc& d = Make(3);
  AddEvent(*d.GetMidiList(), 100, 200, {0x90, 60, 100});
  AddEvent(*d.GetMidiList(), 2000, 2100, {0x90, 62, 100});
  d.SetPlayRange(1, 0, 2000);
  d.makeMidiList(score, record, 0);
  ASSERT_EQ(Events(score).size(), 1u);
  EXPECT_EQ(Events(score)[0].tick, 100u);
}

TEST_F(PlayLists, RangeBehindTheLastEventGivesAnEmptyList) {
  CKZ1Doc& d = Make(3);
  AddEvent(*d.GetMidiList(), 100, 200, {0x90, 60, 100});
  AddEvent(*d.GetMidiList(), 300, 300, {0xC0, 9});
  d.SetPlayRange(1, 5000, 6000);
  EXPECT_EQ(d.makeMidiList(score, record, 0), 0);
  EXPECT_TRUE(Events(score).empty());
  EXPECT_EQ(record.bytes[SongOutputRecord::kProgramCodeOffset], 9);
}

TEST_F(PlayLists, PlaybackLeavesOutMutedNotesInChipModeThreeOnly) {
  for (int chip : {3, 1}) {
    CKZ1Doc& d = Make(chip);
    d.SetChannelMute(2, 1);
    AddEvent(*d.GetMidiList(), 0, 100, {0x92, 60, 100});
    AddEvent(*d.GetMidiList(), 50, 100, {0x91, 64, 100});
    CSeqEventList play;
    EXPECT_EQ(d.makeMidiList(play, record, 1), 1) << chip << ": the muted note still counts";
    const auto events = Events(play);
    ASSERT_EQ(events.size(), chip == 3 ? 1u : 2u) << chip;
    EXPECT_EQ(events.back().bytes[0], 0x91);
    play.DeleteAll();
    CSeqEventList save;
    d.makeMidiList(save, record, 0);
    EXPECT_EQ(Events(save).size(), 2u) << "saving keeps every channel";
    save.DeleteAll();
  }
}

TEST_F(PlayLists, ChipModeTwoPutsTheHeadphoneVolumeAtTheFirstNote) {
  host.settings.hpVolume = 5;
  CKZ1Doc& d = Make(2);
  AddEvent(*d.GetMidiList(), 0, 0, {0xC0, 1});
  AddEvent(*d.GetMidiList(), 240, 480, {0x90, 60, 100});
  AddEvent(*d.GetMidiList(), 480, 600, {0x90, 62, 100});
  ASSERT_EQ(d.makeMidiList(score, record, 0), 1);
  const std::vector<Seq> expected = {{0, 0, {0xC0, 1}, 0},
                                     {240, 240, {0xF0, 0xF0, 5}, 0},
                                     {240, 240, {0xF4, 0xF0, 5}, 0},
                                     {240, 240, {0xF8, 0xF0, 5}, 0},
                                     {240, 240, {0xFC, 0xF0, 5}, 0},
                                     {240, 480, {0x90, 60, 100}, 0},
                                     {480, 600, {0x90, 62, 100}, 0}};
  EXPECT_EQ(Events(score), expected);
}

TEST_F(PlayLists, StreamPcmOnlySongStillSucceeds) {
  CKZ1Doc& d = Make(3);
  AddEvent(*d.GetMidiList(), 0, 0, {0xB0, 7, 100});
  AddEvent(*d.GetMidiListPCM(), 10, 20, {0x99, 3, 100});
  EXPECT_EQ(d.makeMidiList(score, record, 0), 0);
  score.DeleteAll();
  EXPECT_EQ(d.makeMidiListPCM(score, pcm, record, 0), 1);
  ASSERT_EQ(Events(pcm).size(), 1u);
  EXPECT_EQ(Events(pcm)[0], (Seq{10, 20, {0x99, 3, 100}, 0}));
}

TEST_F(PlayLists, StreamPcmListTakesWholeEventsInsideTheRangeAndEveryCue) {
  CKZ1Doc& d = Make(3);
  auto& list = *d.GetMidiListPCM();
  AddEvent(list, 50, 150, {0x99, 1, 100});    // starts before the range
  AddEvent(list, 200, 300, {0x99, 2, 100});   // inside
  AddEvent(list, 900, 1100, {0x99, 3, 100});  // ends after the range
  AddEvent(list, 40, 40, {0xFF, 0x07, 0x05, 'S', 'T', 'A', 'R', 'T'}, 8);
  d.SetPlayRange(1, 100, 1000);
  ASSERT_EQ(d.makeMidiListPCM(score, pcm, record, 0), 1);
  const std::vector<Seq> expected = {{100, 200, {0x99, 2, 100}, 0},
                                     {0, 1, {0xFF, 0x07, 0x05, 'S', 'T', 'A', 'R', 'T'}, 8}};
  EXPECT_EQ(Events(pcm), expected);
}

TEST_F(PlayLists, MutedStreamPcmRowIsLeftOutOfPlaybackOnly) {
  CKZ1Doc& d = Make(3);
  d.SetStreamPcmMute(1);
  AddEvent(*d.GetMidiListPCM(), 10, 20, {0x99, 3, 100});
  EXPECT_EQ(d.makeMidiListPCM(score, pcm, record, 1), 0);
  EXPECT_TRUE(Events(pcm).empty());
  EXPECT_EQ(d.makeMidiListPCM(score, pcm, record, 0), 1);
  EXPECT_EQ(Events(pcm).size(), 1u);
}

}  // namespace

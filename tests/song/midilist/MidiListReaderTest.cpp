// The reader: merge order, cue marks, notes, failures, rewritten values and hostile input.
#include <gtest/gtest.h>

#include <string>

#include "song/SmfDialectText.h"

#include "platform/host/testing/FakeHost.h"
#include "song/SmfDialect.h"
#include "song/VoiceItem.h"
#include "tests/song/SmfTestImages.h"
#include "tests/song/midilist/MidiListTestSupport.h"

namespace midilisttest {
namespace {

using smftest::Image;
using smftest::Track;

Bytes Device(uint8_t group, uint8_t command, const Bytes& payload) {
  return MakeDialectMessage(group, command, payload.data(), static_cast<uint32_t>(payload.size()));
}

Bytes VoiceMessage(uint8_t msb, uint8_t program, uint8_t kind, const Bytes& block) {
  const uint8_t head[5] = {msb, 0, program, 0, kind};
  return MakePackedDialectMessage(kGroupDevice, kDeviceVoice, head, 5, block.data(),
                                  static_cast<uint32_t>(block.size()));
}

class MidiListReader : public ::testing::Test {
 protected:
  platform::FakeHost m_host;

  /// Song-list events of a read list that are not the defaults the reader adds at tick 0.
  static std::vector<const CSeqEvent*> SongEvents(const CMidiList& midi) {
    std::vector<const CSeqEvent*> out;
    for (const CSeqEvent* e : Events(midi.GetSongList())) {
      bool added = e->GetKind() == 3 || (e->GetDataByte(0) == 0xFF && e->GetDataByte(1) == 0x58);
      if (!added) out.push_back(e);
    }
    return out;
  }
  static std::vector<const CSeqEvent*> Cues(const CMidiList& midi) {
    std::vector<const CSeqEvent*> out;
    for (const CSeqEvent* e : Events(midi.GetSongList())) {
      if (e->GetExtra() != 0) out.push_back(e);
    }
    return out;
  }
};

TEST_F(MidiListReader, FormatOneGivesTheFirstTracksEventsFirstAtASharedTick) {
  Track a, b;
  a.Event(10, {0xB0, 0x07, 0x64}).Event(0, {0xB0, 0x0A, 0x40}).EndOfTrack();
  b.Event(10, {0xB1, 0x07, 0x50}).EndOfTrack();
  CMidiList midi;
  ASSERT_EQ(Read(midi, Image({b, a})), 1);
  std::vector<Bytes> got;
  for (const CSeqEvent* e : SongEvents(midi)) {
    if (e->GetTick() == 10 && (e->GetDataByte(0) & 0xF0) == 0xB0) got.push_back(Data(*e));
  }
  EXPECT_EQ(got, (std::vector<Bytes>{{0xB1, 0x07, 0x50}, {0xB0, 0x07, 0x64}, {0xB0, 0x0A, 0x40}}));
}

TEST_F(MidiListReader, StopAloneGetsAStartAtTickZero) {
  Track t;
  t.Event(0, {0x90, 60, 100}).Meta(480, 0x07, "STOP").Event(0, {0x80, 60, 0}).EndOfTrack();
  CMidiList midi;
  uint32_t flags = 0;
  ASSERT_EQ(Read(midi, Image({t}), &flags), 1);
  EXPECT_EQ(flags, 2u);
  std::vector<const CSeqEvent*> events = SongEvents(midi);
  ASSERT_GE(events.size(), 2u);
  // Placed before the note at tick 0.
  EXPECT_EQ(events[0]->GetExtra(), 8u);
  EXPECT_EQ(events[0]->GetTick(), 0u);
  EXPECT_EQ(Data(*events[0]), MakeCueMeta("START"));
  EXPECT_EQ(events[1]->GetDataByte(0), 0x90);
}

TEST_F(MidiListReader, TwoStartsKeepOnlyTheSecond) {
  Track t;
  t.Meta(0, 0x07, "START").Meta(100, 0x07, "START").Meta(100, 0x07, "STOP").EndOfTrack();
  CMidiList midi;
  uint32_t flags = 0;
  ASSERT_EQ(Read(midi, Image({t}), &flags), 1);
  EXPECT_EQ(flags, 4u);
  std::vector<const CSeqEvent*> cues = Cues(midi);
  ASSERT_EQ(cues.size(), 2u);
  EXPECT_EQ(cues[0]->GetExtra(), 8u);
  EXPECT_EQ(cues[0]->GetTick(), 100u);
  EXPECT_EQ(cues[1]->GetExtra(), 9u);
}

TEST_F(MidiListReader, StartAloneGetsAStopWhereTheLastTrackEnded) {
  Track t;
  t.Meta(0, 0x07, "START").Event(0, {0x90, 60, 100}).Event(300, {0x80, 60, 0}).EndOfTrack(50);
  CMidiList midi;
  uint32_t flags = 0;
  ASSERT_EQ(Read(midi, Image({t}), &flags), 1);
  EXPECT_EQ(flags, 2u);
  std::vector<const CSeqEvent*> events = SongEvents(midi);
  ASSERT_GE(events.size(), 2u);
  // Before the end of track at tick 350.
  EXPECT_EQ(events[events.size() - 2]->GetExtra(), 9u);
  EXPECT_EQ(events[events.size() - 2]->GetTick(), 350u);
  EXPECT_EQ(events.back()->GetDataByte(1), 0x2F);
}

TEST_F(MidiListReader, SectionMarksBecomeCuesAndSectionEndsAreDropped) {
  Track t;
  t.Meta(0, 0x07, "01LSTPA").Meta(10, 0x07, "01LSPPA").Event(0, {0xFF, 0x7F, 0x04, 0x43, 0x7B, 0x02, 0x04})
      .Event(0, {0xFF, 0x7F, 0x04, 0x43, 0x7B, 0x02, 0x02}).EndOfTrack();
  CMidiList midi;
  ASSERT_EQ(Read(midi, Image({t})), 1);
  std::vector<const CSeqEvent*> cues = Cues(midi);
  ASSERT_EQ(cues.size(), 2u);
  EXPECT_EQ(cues[0]->GetExtra(), 3u);
  EXPECT_EQ(cues[1]->GetExtra(), 4u);
  EXPECT_EQ(Data(*cues[1]), MakeCueMeta("01LSTPB"));
}

TEST_F(MidiListReader, NotesEndAtTheirNoteOffOrTheTracksLastTick) {
  Track t;
  t.Event(0, {0x90, 60, 100}).Event(0, {0x90, 60, 90}).Event(100, {0x90, 60, 0}).Event(0, {0x90, 64, 100})
      .Event(200, {0xB0, 0x07, 0x40}).Event(500, {0xB0, 0x07, 0x41});
  CMidiList midi;
  ASSERT_EQ(Read(midi, Image({t})), 1);
  std::vector<std::pair<uint32_t, uint32_t>> notes;
  for (const CSeqEvent* e : SongEvents(midi)) {
    if ((e->GetDataByte(0) & 0xF0) == 0x90) notes.emplace_back(e->GetDataByte(1), e->GetEndTick());
  }
  // The oldest note of a key ends first; the unclosed ones end at the last event (tick 800).
  EXPECT_EQ(notes, (std::vector<std::pair<uint32_t, uint32_t>>{{60, 100}, {60, 800}, {64, 800}}));
}

TEST_F(MidiListReader, FailuresSetTheirCodes) {
  struct Case {
    const char* name;
    Track track;
    uint32_t code;
  };
  std::vector<Case> cases;
  {
    Track t;
    t.Meta(0, 0x07, "STOP").Meta(10, 0x07, "START").EndOfTrack();
    cases.push_back({"stop before start", t, 0x80000001u});
  }
  {
    Track t;
    Bytes fm(17, 0);
    for (int i = 0; i < 129; ++i) t.Event(0, VoiceMessage(0x7C, static_cast<uint8_t>(i % 128), 0, fm));
    cases.push_back({"129 voices", t, 0x80000003u});
  }
  {
    Track t;
    t.Event(0, Device(kGroupDevice, kDeviceMasterVolume, {0x80})).Event(0, {0x90, 60, 1});
    cases.push_back({"volume 128 before a note", t, 0x80000000u});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CMidiList midi;
    uint32_t flags = 0;
    EXPECT_EQ(Read(midi, Image({c.track}), &flags), 0);
    EXPECT_EQ(flags, c.code);
  }
}

TEST_F(MidiListReader, VolumeOf128AfterAVolumeAndANoteIsKept) {
  Track t;
  t.Event(0, Device(kGroupDevice, kDeviceMasterVolume, {0x50})).Event(0, {0x90, 60, 1})
      .Event(10, Device(kGroupDevice, kDeviceMasterVolume, {0x80})).EndOfTrack();
  CMidiList midi;
  ASSERT_EQ(Read(midi, Image({t})), 1);
  EXPECT_EQ(midi.GetSongSetup().GetMasterVolume(), 0x50);
}

TEST_F(MidiListReader, BankSelectsAreRewritten) {
  Track t;
  t.Event(0, {0xB0, 0x00, 0x7B}).Event(0, {0xB1, 0x00, 0x05}).Event(0, {0xB2, 0x00, 0x7A}).EndOfTrack();
  CMidiList midi;
  uint32_t flags = 0;
  ASSERT_EQ(Read(midi, Image({t}), &flags), 1);
  EXPECT_EQ(flags, 1u);
  std::vector<Bytes> banks;
  for (const CSeqEvent* e : SongEvents(midi)) {
    if ((e->GetDataByte(0) & 0xF0) == 0xB0) banks.push_back(Data(*e));
  }
  EXPECT_EQ(banks, (std::vector<Bytes>{{0xB0, 0x00, 0x7D}, {0xB1, 0x00, 0x00}, {0xB2, 0x00, 0x7C}}));
  EXPECT_EQ(midi.GetSongSetup().GetBankMsb(0), 0x7D);
  EXPECT_EQ(midi.GetSongSetup().GetBankMsb(3), 0);  // unset: the default
}

TEST_F(MidiListReader, PcmRateIsRaisedToItsLowerLimit) {
  Bytes pcm(16, 0);
  pcm[0] = 1000 >> 8;
  pcm[1] = 1000 & 0xFF;
  Track t;
  t.Event(0, VoiceMessage(0x7D, 3, 1, pcm)).EndOfTrack();
  CMidiList midi;
  uint32_t flags = 0;
  ASSERT_EQ(Read(midi, Image({t}), &flags), 1);
  EXPECT_EQ(flags, 0x20u);
  const CVoiceItem* item = midi.GetSongSetup().GetVoiceItem(0);
  ASSERT_NE(item, nullptr);
  EXPECT_TRUE(item->IsPcm());
  EXPECT_EQ(item->GetPcmFs(), 1500);
  EXPECT_EQ(item->GetProgram(), 3);
}

TEST_F(MidiListReader, ASongWithoutTempoGetsTheDefaults) {
  Track t;
  t.Event(0, {0x90, 60, 100}).Event(10, {0x80, 60, 0}).EndOfTrack();
  CMidiList midi;
  ASSERT_EQ(Read(midi, Image({t})), 1);
  std::vector<const CSeqEvent*> events = Events(midi.GetSongList());
  ASSERT_GE(events.size(), 2u);
  EXPECT_EQ(Data(*events[0]), (Bytes{0xF0, 0x09, 0x43, 0x79, 0x06, 0x7D, 0x10, 0x1E, 0x42, 0x20, 0xF7}));
  EXPECT_EQ(Data(*events[1]), (Bytes{0xFF, 0x58, 0x04, 0x04, 0x02, 0x18, 0x08}));
  EXPECT_EQ(midi.GetTempo(), 1042u);
  EXPECT_EQ(midi.GetDivision(), 480);
  EXPECT_EQ(midi.GetSongSetup().GetMasterVolume(), 100);
}

TEST_F(MidiListReader, StreamKeysOnADrumChannelGoToTheSetupList) {
  Track t;
  t.Event(0, {0xB9, 0x00, 0x7D}).Event(0, {0xC9, 0x00}).Event(0, {0xB9, 0x0A, 0x20})
      .Event(0, {0x99, 0x02, 100}).Event(0, {0x99, 0x24, 100}).Event(0, {0x99, 0x70, 100})
      .Event(10, {0x89, 0x02, 0}).EndOfTrack();
  CMidiList midi;
  ASSERT_EQ(Read(midi, Image({t})), 1);
  std::vector<const CSeqEvent*> setup = Events(midi.GetSetupList());
  ASSERT_EQ(setup.size(), 2u);
  EXPECT_EQ(Data(*setup[0]), (Bytes{0xB9, 0x0A, 0x20}));  // the pan, confirmed by the trigger
  EXPECT_EQ(Data(*setup[1]), (Bytes{0x99, 0x02, 100}));
  EXPECT_EQ(setup[1]->GetEndTick(), 10u);
  int drumNotes = 0;
  for (const CSeqEvent* e : SongEvents(midi)) {
    if ((e->GetDataByte(0) & 0xF0) == 0x90) {
      ++drumNotes;
      EXPECT_EQ(e->GetDataByte(1), 0x24);  // key 112 is above the stream keys: dropped
    }
  }
  EXPECT_EQ(drumNotes, 1);
}

TEST_F(MidiListReader, ContentsHeaderItemsSetTheTextsWithTheirEscapes) {
  std::string items = "ST:Title\\, more\\\\,VN:Maker,K2:x,CD:123456789,";
  Bytes plain = {0x01, 0x32, 0x01, 0xFD, 0x02};
  plain.insert(plain.end(), items.begin(), items.end());
  Track t;
  t.Event(0, MakePackedDialectMessage(kGroupSong, kSongContentsHeader, nullptr, 0, plain.data(),
                                      static_cast<uint32_t>(plain.size())))
      .EndOfTrack();
  CMidiList midi;
  ASSERT_EQ(Read(midi, Image({t})), 1);
  const CContentsInfo& info = midi.GetContentsInfo();
  EXPECT_TRUE(midi.HasContentsHeader());
  EXPECT_EQ(info.GetContentsClass(), 1);
  EXPECT_EQ(info.GetContentsType(), 0x32);
  EXPECT_EQ(info.GetOptionByte1(), 0xFD);
  EXPECT_EQ(info.GetOptionByte2(), 2);
  EXPECT_EQ(std::string(info.GetSongTextInfo().GetText(1)), "Title, more\\");
  EXPECT_EQ(info.GetText1(), "Maker");
  EXPECT_EQ(info.GetText5(), "123456789");
  // Profile 1 cuts CD to 8 bytes and keeps only contents types 1 and 2.
  m_host.settings.outputProfile = 1;
  CMidiList shortForm;
  ASSERT_EQ(Read(shortForm, Image({t})), 1);
  EXPECT_EQ(shortForm.GetContentsInfo().GetText5(), "12345678");
  EXPECT_EQ(shortForm.GetContentsInfo().GetContentsType(), 1);
  EXPECT_EQ(shortForm.GetContentsInfo().GetOptionByte1(), 4);
}

TEST_F(MidiListReader, QxTextSetsTheSongTextAndLanguage) {
  Track t;
  t.Meta(0, 0x01, "QXln:KR:Song:Words:Music").Meta(0, 0x02, "(c) Us").EndOfTrack();
  CMidiList midi;
  ASSERT_EQ(Read(midi, Image({t})), 1);
  const CContentsInfo& info = midi.GetContentsInfo();
  EXPECT_EQ(std::string(info.GetSongTextInfo().GetText(1)), "Song");
  EXPECT_EQ(std::string(info.GetSongTextInfo().GetText(3)), "Music");
  EXPECT_EQ(info.GetCodeType(), 2);
  EXPECT_EQ(info.GetText4(), "(c) Us");
  EXPECT_EQ(info.GetOptionByte1(), 1);
  // Neither text stays an event.
  for (const CSeqEvent* e : Events(midi.GetSongList())) EXPECT_NE(e->GetDataByte(1), 0x01);
}

TEST_F(MidiListReader, TempoIsClampedUnderProfileOne) {
  m_host.settings.outputProfile = 1;
  Track t;
  t.TickTempo(0, 10).Event(0, MakeTempoMessage(5000000)).EndOfTrack();
  CMidiList midi;
  uint32_t flags = 0;
  ASSERT_EQ(Read(midi, Image({t}), &flags), 1);
  EXPECT_EQ(flags, 0x10u);
  // 255 beats per minute at most: (480/2 + 235294) / 480 microseconds per tick.
  EXPECT_EQ(midi.GetTempo(), 490u);
  bool quarter = false;
  for (const CSeqEvent* e : Events(midi.GetSongList())) {
    if (Data(*e) == MakeTempoMessage(3000000)) quarter = true;
  }
  EXPECT_TRUE(quarter);
}

TEST_F(MidiListReader, DivisionOfZeroKeepsTheTicksOfTheTimeBase) {
  // The VELK converter writes its song data so: ticks of the time base, FF 51 per tick.
  for (int profile : {2, 1}) {
    SCOPED_TRACE(profile);
    m_host.settings.outputProfile = profile;
    Track t;
    t.TickTempo(0, 4000).Event(0, {0x90, 60, 100}).Event(250, {0x80, 60, 0}).EndOfTrack();
    CMidiList midi;
    uint32_t flags = 0;
    ASSERT_EQ(Read(midi, Image({t}, 0, 0), &flags), 1);
    EXPECT_EQ(midi.GetDivision(), 0);
    EXPECT_EQ(midi.GetSongSetup().GetTimeBase(), 0);
    EXPECT_EQ(midi.GetTempo(), 4000u);
    EXPECT_EQ(flags & 0x10u, 0u);  // nothing to clamp against
    bool noteFound = false;
    for (const CSeqEvent* e : SongEvents(midi)) {
      if (Data(*e) == Bytes{0x90, 60, 100}) {
        noteFound = true;
        EXPECT_EQ(e->GetEndTick() - e->GetTick(), 250u);
      }
    }
    EXPECT_TRUE(noteFound);
  }
}

TEST_F(MidiListReader, HostileInputsGiveZeroOrSkipTheSetting) {
  struct Case {
    const char* name;
    Bytes image;
    int result;
    uint32_t flags;
  };
  std::vector<Case> cases;
  {
    Track t;
    t.Event(0, {0x90, 60, 100}).EndOfTrack();
    Bytes image = Image({t});
    image[21] = 0x40;  // track length far past the end
    cases.push_back({"track length past the end", image, 0, 0});
  }
  {
    Bytes image = Image({});
    image[11] = 1;
    Bytes track = {'M', 'T', 'r', 'k', 0, 0, 0, 9, 0x81, 0x81, 0x81, 0x81, 0x01, 0xFF, 0x2F, 0x00, 0x00};
    image.insert(image.end(), track.begin(), track.end());
    cases.push_back({"five-byte delta", image, 0, 0});
  }
  {
    Track t;
    t.Event(0, {0xF0, 0x7F, 0x43, 0x79, 0x06, 0x7F, 0x00});
    cases.push_back({"SysEx past its track", Image({t}), 0, 0});
  }
  {
    Track t;
    t.Event(0, Device(kGroupDevice, kDeviceWave, {200, 0x00, 0x00, 0x01})).EndOfTrack();
    cases.push_back({"wave id 200", Image({t}), 1, 8});
  }
  {
    Track t;
    t.Event(0, Device(kGroupDevice, kDeviceUserWave, {40, 0x00, 0x01})).EndOfTrack();
    cases.push_back({"user wave 40", Image({t}), 1, 8});
  }
  {
    Track t;
    t.Event(0, Device(kGroupDevice, kDeviceStreamWave, {3, 0x00, 0x00, 0x01})).EndOfTrack();
    cases.push_back({"stream block without its rate", Image({t}), 1, 8});
  }
  {
    Track t;
    t.Event(0, {0x60, 0x00});
    cases.push_back({"data byte without running status", Image({t}), 0, 0});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CMidiList midi;
    uint32_t flags = 0;
    EXPECT_EQ(Read(midi, c.image, &flags), c.result);
    EXPECT_EQ(flags, c.flags);
  }
}

}  // namespace
}  // namespace midilisttest

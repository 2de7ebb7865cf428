// Building the native image: the song-data SMF of the song, its failures and its four parts.
#include <vector>

#include "DocTestSupport.h"
#include "PcmVoiceFixture.h"
#include "song/MemStream.h"
#include "song/SeqEvent.h"
#include "song/midilist/MidiList.h"

namespace {

using doctest::AddEvent;
using doctest::PcmVoice;

struct Note {
  uint32_t tick, end;
  uint8_t status, key;
  bool operator==(const Note&) const = default;
};

// The note-ons of song data read back with the MIDI list reader.
std::vector<Note> ReadNotes(CMemStream& image) {
  CMidiList list;
  image.SeekToBegin();
  EXPECT_EQ(list.ReadSmf(image, nullptr), 1);
  std::vector<Note> notes;
  CSeqEventIter it(list.GetSongList());
  for (CSeqEvent* e = nullptr; it.Next(e);) {
    if ((e->GetDataByte(0) & 0xF0) == 0x90) notes.push_back({e->GetTick(), e->GetEndTick(), e->GetDataByte(0), e->GetDataByte(1)});
  }
  return notes;
}

class NativeBuild : public doctest::DocTest {
 protected:
  CKZ1Doc& Song() {
    CKZ1Doc& d = Make(3);
    AddEvent(*d.GetMidiList(), 0, 480, {0x90, 60, 100});
    AddEvent(*d.GetMidiList(), 240, 720, {0x91, 64, 90});
    return d;
  }
};

TEST_F(NativeBuild, WritesTheSongAsSongData) {
  CKZ1Doc& d = Song();
  CMemStream image;
  ASSERT_EQ(d.makeKZ3NativeFormat(image, 0, 1), 1);
  EXPECT_EQ(host.ui.busyPictures, (std::vector<int>{2}));
  ASSERT_GE(image.GetSize(), 14);
  EXPECT_EQ(std::vector<uint8_t>(image.GetData(), image.GetData() + 4), (std::vector<uint8_t>{'M', 'T', 'h', 'd'}));
  EXPECT_EQ(ReadNotes(image), (std::vector<Note>{{0, 480, 0x90, 60}, {240, 720, 0x91, 64}}));
  EXPECT_TRUE(host.messages.shown.empty());
}

TEST_F(NativeBuild, WithoutTheBusyFlagNoPictureShows) {
  CKZ1Doc& d = Song();
  CMemStream image;
  ASSERT_EQ(d.makeKZ3NativeFormat(image, 0, 0), 1);
  EXPECT_TRUE(host.ui.busyPictures.empty());
}

TEST_F(NativeBuild, SongWithoutNotesGivesZeroAndNoImage) {
  CKZ1Doc& d = Make(3);
  AddEvent(*d.GetMidiList(), 0, 0, {0xC0, 5});
  CMemStream image;
  EXPECT_EQ(d.makeKZ3NativeFormat(image, 0, 0), 0);
  EXPECT_EQ(image.GetSize(), 0);
}

TEST_F(NativeBuild, FailingPcmVoiceGivesZeroWithOnlyTheChecksMessage) {
  CKZ1Doc& d = Song();
  ASSERT_EQ(d.AssignGivenVoiceItem(1, 124, 1, 5, 0, PcmVoice(60, 40), 1), 1);
  CMemStream image;
  EXPECT_EQ(d.makeKZ3NativeFormat(image, 0, 0), 0);
  EXPECT_EQ(image.GetSize(), 0);
  ASSERT_EQ(host.messages.shown.size(), 1u);
  EXPECT_NE(host.messages.shown[0].text.find("Invalid Loop point setting."), std::string::npos);

  CMemStream* parts[4] = {};
  EXPECT_EQ(d.makeKZ3NativeFormat2(parts, 0), 0);
}

TEST_F(NativeBuild, PassingPcmVoiceIsWritten) {
  CKZ1Doc& d = Song();
  ASSERT_EQ(d.AssignGivenVoiceItem(1, 124, 1, 5, 0, PcmVoice(10, 40), 1), 1);
  CMemStream image;
  ASSERT_EQ(d.makeKZ3NativeFormat(image, 0, 0), 1);
  image.SeekToBegin();
  CMidiList list;
  ASSERT_EQ(list.ReadSmf(image, nullptr), 1);
  bool found = false;
  for (int i = 0; i < CSongSetup::kVoiceItemCount; ++i) {
    const CVoiceItem* item = list.GetSongSetup().GetVoiceItem(i);
    if (item && item->GetBankMsb() == 124 && item->GetBankLsb() == 1 && item->GetProgram() == 5) found = true;
  }
  EXPECT_TRUE(found);
}

TEST_F(NativeBuild, WriterFailuresShowTheirMessageAndThrowMinusOne) {
  {
    SCOPED_TRACE("program change under a sounding note");
    CKZ1Doc& d = Song();
    AddEvent(*d.GetMidiList(), 300, 300, {0xC0, 7});
    CMemStream image;
    EXPECT_THROW(
        {
          try {
            d.makeKZ3NativeFormat(image, 0, 0);
          } catch (int code) {
            EXPECT_EQ(code, -1);
            throw;
          }
        },
        int);
    EXPECT_EQ(host.messages.ShownIds(), (std::vector<int>{7049}));
    EXPECT_EQ(image.GetSize(), 0);
  }
  {
    SCOPED_TRACE("over the chip RAM");
    host.messages.shown.clear();
    CKZ1Doc& d = Song();
    CVoiceItem big = PcmVoice(10, 40);
    const std::vector<uint8_t> wave(9000, 0x10);
    big.SetWaveSamples(wave.data(), static_cast<uint32_t>(wave.size()));
    ASSERT_EQ(d.AssignGivenVoiceItem(1, 124, 1, 5, 0, big, 1), 1);
    CMemStream image;
    EXPECT_THROW(d.makeKZ3NativeFormat(image, 0, 0), int);
    ASSERT_EQ(host.messages.ShownIds(), (std::vector<int>{7047}));
    ASSERT_EQ(host.messages.shown[0].args.size(), 1u);
    EXPECT_GT(std::get<unsigned long long>(host.messages.shown[0].args[0]), 8176u);
  }
}

TEST_F(NativeBuild, SecondVariantSplitsThePartsIntoFourStreams) {
  CKZ1Doc& d = Make(3);
  AddEvent(*d.GetMidiList(), 0, 480, {0x90, 60, 100});
  AddEvent(*d.GetMidiList(), 0, 480, {0x92, 67, 100});
  for (int k : {0, 2}) d.SetChannelValue(k, 1);
  ASSERT_EQ(d.SetChannelPart(0, 1, 1), 1);
  ASSERT_EQ(d.SetChannelPart(2, 3, 1), 1);
  CMemStream streams[4];
  CMemStream* targets[4] = {&streams[0], &streams[1], &streams[2], &streams[3]};
  ASSERT_EQ(d.makeKZ3NativeFormat2(targets, 0), 1);
  EXPECT_EQ(host.ui.busyPictures, (std::vector<int>{2}));
  EXPECT_GT(streams[0].GetSize(), 0);
  EXPECT_EQ(streams[1].GetSize(), 0);
  EXPECT_GT(streams[2].GetSize(), 0);
  EXPECT_EQ(streams[3].GetSize(), 0);
  EXPECT_EQ(ReadNotes(streams[0]), (std::vector<Note>{{0, 480, 0x90, 60}}));
  // A part numbers its channels from 0.
  EXPECT_EQ(ReadNotes(streams[2]), (std::vector<Note>{{0, 480, 0x90, 67}}));
}

}  // namespace

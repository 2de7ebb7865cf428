// The program's MIDI list and Velkgate's read each other's song data.
#include <gtest/gtest.h>

#include <memory>

#include "SmfTestTracks.h"
#include "platform/host/testing/FakeHost.h"
#include "plugins/velkgate/MidiList.h"
#include "song/MemStream.h"
#include "song/VoiceItem.h"
#include "song/midilist/MidiList.h"

namespace velkgate {
namespace {

using testing::Bytes;
using testing::Hex;
using testing::Listing;
using testing::ReadSong;
using testing::StreamBytes;

using Lines = std::vector<std::string>;

Lines Notes(const Lines& lines) {
  Lines out;
  for (const std::string& line : lines)
    if (line.find(": 9") != std::string::npos || line.find(": C") != std::string::npos) out.push_back(line);
  return out;
}

class MidiListInterop : public ::testing::Test {
 protected:
  platform::FakeHost m_host;
};

TEST_F(MidiListInterop, VelkgateReadsWhatTheProgramWrites) {
  ::CMidiList program;
  program.SetTempo(1042);
  program.GetSongSetup().SetStatus(3, 0x10);
  CSeqEventList song;
  CSeqEventList none;
  auto add = [&](uint32_t tick, const Bytes& bytes, uint32_t end) {
    song.AddOwned(std::make_unique<CSeqEvent>(tick, static_cast<uint32_t>(bytes.size()), bytes.data(), end, 0));
  };
  add(0, Hex("C0 05"), 0);
  add(0, Hex("90 3C 40"), 240);
  add(480, Hex("91 40 50"), 960);
  CMemStream image;
  uint32_t flags = 0;
  ASSERT_EQ(program.WriteSmf(image, song, none, &flags, nullptr, 1), 1);
  song.DeleteAll();

  auto read = ReadSong(StreamBytes(image));
  ASSERT_FALSE(read.threw);
  EXPECT_EQ(Notes(Listing(read.list->GetMainList())),
            (Lines{"0: C0 05", "0: 90 3C 40 end 240", "480: 91 40 50 end 960"}));
  EXPECT_EQ(read.list->GetSetup().GetStatus(3), 0x10);
  EXPECT_EQ(read.list->GetTempo(), 1042u);
}

TEST_F(MidiListInterop, TheProgramReadsWhatVelkgateWrites) {
  auto read = ReadSong(testing::Smf(480, {testing::Track({testing::At(0, Hex("C0 05")),
                                                          testing::At(0, Hex("90 3C 40")),
                                                          testing::At(240, Hex("80 3C 00"))})}));
  ASSERT_FALSE(read.threw);
  read.list->GetSetup().SetStatus(5, 0x10);
  CMemStream image;
  uint32_t report = 0;
  ASSERT_EQ(read.list->WriteSmf(image, read.list->GetMainList(), read.list->GetStreamList(), &report), 1);

  ::CMidiList program;
  image.SeekToBegin();
  uint32_t flags = 0;
  ASSERT_EQ(program.ReadSmf(image, &flags), 1);
  Lines notes;
  for (const CSeqEvent* e : [&] {
         std::vector<const CSeqEvent*> out;
         CSeqEventIter it(program.GetSongList());
         CSeqEvent* event = nullptr;
         while (it.Next(event)) out.push_back(event);
         return out;
       }()) {
    uint8_t status = e->GetDataByte(0);
    if ((status & 0xF0) == 0x90 || (status & 0xF0) == 0xC0)
      notes.push_back(std::to_string(e->GetTick()) + ": " + testing::ToHex(testing::EventBytes(*e)) +
                      " end " + std::to_string(e->GetEndTick()));
  }
  EXPECT_EQ(notes, (Lines{"0: C0 05 end 0", "0: 90 3C 40 end 240"}));
  EXPECT_EQ(program.GetSongSetup().GetStatus(5), 0x10);
}

}  // namespace
}  // namespace velkgate

// A plain SMF through the built libraries: Midigate in, Velkgate to a VELK image and back,
// Midigate out.
#include "TestPaths.h"
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <vector>

#include "PluginFixture.h"

namespace velkgate {
namespace {

using midigate::testing::OutEvent;
using midigate::testing::OutFile;
using midigate::testing::ReadOutput;
using midigate::testing::SmfWriter;
using testing::Call;
using testing::CallEntry;
using testing::Image;

struct Note {
  uint8_t channel;
  uint8_t key;
  uint32_t start;
  uint32_t length;
  bool operator==(const Note&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Note& n) {
  return os << "{ch " << int{n.channel} << " key " << int{n.key} << " at " << n.start << " for " << n.length << "}";
}

// Grid notes on multiples of 96 ticks, three notes off the grid.
const std::vector<Note> kNotes = {
    {0, 60, 0, 96},    {1, 48, 96, 96},   {0, 62, 192, 96},  {1, 50, 288, 192}, {0, 64, 480, 96},
    {0, 65, 576, 96},  {1, 52, 768, 96},  {0, 67, 960, 96},  {0, 69, 1152, 96}, {1, 55, 1300, 50},
    {0, 71, 1440, 77}, {1, 57, 1500, 33},
};

bool OnGrid(const Note& n) { return n.start % 96 == 0 && n.length % 96 == 0; }

/// Division 480: a copyright (so the contents ask for a master track), tempi 500000 and 400000
/// (at 960), programs on channels 0 and 1, and the notes.
Image PlainSong() {
  std::vector<std::pair<uint32_t, Image>> events = {{0, {0xC0, 5}}, {0, {0xC1, 20}}};
  for (const Note& n : kNotes) {
    events.push_back({n.start, {static_cast<uint8_t>(0x90 | n.channel), n.key, 100}});
    events.push_back({n.start + n.length, {static_cast<uint8_t>(0x80 | n.channel), n.key, 0}});
  }
  std::stable_sort(events.begin(), events.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  SmfWriter w(0, 480);
  w.Meta(0, 0x02, std::string("(c) Trillot")).Tempo(0, 500000);
  uint32_t tick = 0;
  bool tempoChanged = false;
  for (const auto& [at, bytes] : events) {
    if (!tempoChanged && at >= 960) {
      w.Tempo(960 - tick, 400000);
      tick = 960;
      tempoChanged = true;
    }
    w.Raw(at - tick, bytes);
    tick = at;
  }
  return w.End().Build();
}

/// Notes of a converted file, note-ons paired with the next note-off of their channel and key.
std::vector<Note> NotesOf(const OutFile& file) {
  std::vector<Note> notes;
  std::map<std::pair<int, int>, std::vector<size_t>> open;
  for (const OutEvent& e : file.events) {
    uint8_t kind = e.bytes[0] & 0xF0;
    if (kind != 0x80 && kind != 0x90) continue;
    auto key = std::make_pair(e.bytes[0] & 0x0F, int{e.bytes[1]});
    if (kind == 0x90 && e.bytes[2] != 0) {
      open[key].push_back(notes.size());
      notes.push_back({static_cast<uint8_t>(key.first), e.bytes[1], static_cast<uint32_t>(e.tick), 0});
    } else if (!open[key].empty()) {
      Note& n = notes[open[key].front()];
      n.length = static_cast<uint32_t>(e.tick) - n.start;
      open[key].erase(open[key].begin());
    }
  }
  std::stable_sort(notes.begin(), notes.end(), [](const Note& a, const Note& b) { return a.start < b.start; });
  return notes;
}

uint32_t Distance(uint32_t a, uint32_t b) { return a > b ? a - b : b - a; }

TEST(VelkgateChain, APlainSmfComesBackThroughAVelkImage) {
  testing::PluginLibrary midigate(MIDIGATE_PLUGIN_PATH);
  testing::PluginLibrary velkgate(VELKGATE_PLUGIN_PATH);
  ASSERT_NE(midigate.Handle(), nullptr);
  ASSERT_NE(velkgate.Handle(), nullptr);

  Call songData = CallEntry(midigate.Entry("CnvFrom"), PlainSong(), 0);
  ASSERT_TRUE(songData.Converted()) << std::hex << songData.result;
  Call image = CallEntry(velkgate.Entry("CnvTo"), songData.output, 0x20);
  ASSERT_TRUE(image.Converted()) << std::hex << image.result;
  Call reopened = CallEntry(velkgate.Entry("CnvFrom"), image.output, CNVF_RETIME_480);
  ASSERT_TRUE(reopened.Converted()) << std::hex << reopened.result;
  Call plain = CallEntry(midigate.Entry("CnvTo"), reopened.output, 0);
  ASSERT_TRUE(plain.Converted()) << std::hex << plain.result;

  OutFile out = ReadOutput(plain.output);
  ASSERT_EQ(out.division, 480);
  std::vector<Note> notes = NotesOf(out);
  ASSERT_EQ(notes.size(), kNotes.size());
  for (size_t i = 0; i < notes.size(); ++i) {
    SCOPED_TRACE(i);
    const Note& expected = kNotes[i];
    EXPECT_EQ(notes[i].channel, expected.channel);
    EXPECT_EQ(notes[i].key, expected.key);
    if (OnGrid(expected)) {
      EXPECT_EQ(notes[i], expected);
    } else {
      // One VELK tick of 4 ms is 3.84 ticks at 500000 and 4.8 at 400000.
      EXPECT_LE(Distance(notes[i].start, expected.start), 5u) << notes[i];
      EXPECT_LE(Distance(notes[i].length, expected.length), 10u) << notes[i];
    }
  }

  std::vector<OutEvent> tempi = midigate::testing::EventsStartingWith(out, {0xFF, 0x51});
  std::vector<OutEvent> expectedTempi = {{0, {0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}},
                                         {960, {0xFF, 0x51, 0x03, 0x06, 0x1A, 0x80}}};
  EXPECT_EQ(tempi, expectedTempi);
  EXPECT_EQ(midigate::testing::EventsStartingWith(out, {0xC0}), (std::vector<OutEvent>{{0, {0xC0, 5}}}));
  EXPECT_EQ(midigate::testing::EventsStartingWith(out, {0xC1}), (std::vector<OutEvent>{{0, {0xC1, 20}}}));
}

}  // namespace
}  // namespace velkgate

// The writer: golden images of a new list, the message table of voices, waves, stream data,
// notes and section marks, and the failures.
#include <gtest/gtest.h>

#include "platform/host/testing/FakeHost.h"
#include "song/NamedBlock.h"
#include "song/SmfMultiTrackWalk.h"
#include "song/StreamPCMSlot.h"
#include "song/VoiceItem.h"
#include "tests/song/midilist/MidiListTestSupport.h"

namespace midilisttest {

std::vector<TrackEvent> TrackEvents(const Bytes& image) {
  std::vector<TrackEvent> out;
  CSmfMultiTrackWalk walk;
  walk.Open(image.data(), static_cast<uint32_t>(image.size()));
  walk.Walk([&](const SmfEvent& e, CSmfTrackCursor&) {
    Bytes bytes;
    if (e.IsChannel()) {
      bytes.push_back(e.status);
      bytes.insert(bytes.end(), e.data, e.data + e.dataSize);
    } else {
      bytes.assign(e.stored, e.stored + e.storedSize);
    }
    out.push_back({e.tick, bytes});
  });
  return out;
}

namespace {

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

Bytes EmptyChannelStatus() {
  Bytes b = {0x00, 0xF0, 0x19, 0x43, 0x79, 0x06, 0x7D, 0x02};
  b.insert(b.end(), 19, 0x00);
  b.push_back(0xF7);
  return b;
}

class MidiListWriter : public ::testing::Test {
 protected:
  platform::FakeHost m_host;
  EventList m_first;
  EventList m_second;

  std::vector<TrackEvent> WriteEvents(CMidiList& midi, uint32_t* flags = nullptr) {
    int result = 0;
    Bytes image = Write(midi, m_first.list, m_second.list, flags, &result);
    EXPECT_EQ(result, 1);
    return image.empty() ? std::vector<TrackEvent>{} : TrackEvents(image);
  }
  /// Events after the records of tick 0 (from the first event not of tick 0, or the named one).
  static std::vector<Bytes> BytesOf(const std::vector<TrackEvent>& events, uint8_t first, uint8_t second) {
    std::vector<Bytes> out;
    for (const TrackEvent& e : events) {
      if (e.bytes.size() >= 2 && e.bytes[0] == first && (second == 0 || e.bytes[1] == second)) out.push_back(e.bytes);
    }
    return out;
  }
};

TEST_F(MidiListWriter, NewListUnderProfileOneIsTheGoldenImage) {
  m_host.settings.outputProfile = 1;
  CMidiList midi;
  Bytes image = Write(midi, m_first.list, m_second.list);
  Bytes expected = Concat({
      {'M', 'T', 'h', 'd', 0x00, 0x00, 0x00, 0x06, 0x00, 0x00, 0x00, 0x01, 0x01, 0xE0},
      {'M', 'T', 'r', 'k', 0x00, 0x00, 0x00, 0x4A},
      {0x00, 0xFF, 0x51, 0x03, 0x00, 0x04, 0x12},                                        // 1042 us per tick
      {0x00, 0xF0, 0x0C, 0x43, 0x79, 0x06, 0x7D, 0x01, 0x00, 0x00, 0x01, 0x00, 0x04, 0x00, 0xF7},  // header
      EmptyChannelStatus(),                                                              // 7D 02
      {0x00, 0xF0, 0x09, 0x43, 0x79, 0x06, 0x7D, 0x10, 0x1E, 0x42, 0x20, 0xF7},          // 500000
      {0x00, 0xFF, 0x58, 0x04, 0x04, 0x02, 0x18, 0x08},                                  // 4/4
      {0x00, 0xFF, 0x2F, 0x00},
  });
  EXPECT_EQ(Hex(image), Hex(expected));
}

TEST_F(MidiListWriter, NewListUnderProfileTwoIsTheGoldenImage) {
  m_host.settings.outputProfile = 2;
  CMidiList midi;
  Bytes image = Write(midi, m_first.list, m_second.list);
  Bytes expected = Concat({
      {'M', 'T', 'h', 'd', 0x00, 0x00, 0x00, 0x06, 0x00, 0x00, 0x00, 0x01, 0x01, 0xE0},
      {'M', 'T', 'r', 'k', 0x00, 0x00, 0x00, 0x6C},
      {0x00, 0xFF, 0x51, 0x03, 0x00, 0x04, 0x12},
      {0x00, 0xF0, 0x0C, 0x43, 0x79, 0x06, 0x7D, 0x01, 0x08, 0x00, 0x32, 0x01, 0x7D, 0x00, 0xF7},
      EmptyChannelStatus(),
      // "Dch" 0xFF, size 5, ES 1 byte F8.
      {0x00, 0xF0, 0x15, 0x43, 0x79, 0x06, 0x7D, 0x03, 0x08, 0x44, 0x63, 0x68, 0x7F, 0x00, 0x00, 0x00,
       0x02, 0x05, 0x45, 0x53, 0x00, 0x01, 0x78, 0xF7},
      {0x00, 0xF0, 0x07, 0x43, 0x79, 0x06, 0x7F, 0x00, 0x64, 0xF7},                      // master volume
      {0x00, 0xF0, 0x09, 0x43, 0x79, 0x06, 0x7D, 0x10, 0x1E, 0x42, 0x20, 0xF7},
      {0x00, 0xFF, 0x58, 0x04, 0x04, 0x02, 0x18, 0x08},
      {0x00, 0xFF, 0x2F, 0x00},
  });
  EXPECT_EQ(Hex(image), Hex(expected));
}

}  // namespace
}  // namespace midilisttest

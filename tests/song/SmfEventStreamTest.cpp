// Walking the first track of an SMF image, including cut and lying inputs.
#include "song/SmfEventStream.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

// Track events with their sizes, in order.
const std::vector<Bytes> kEvents = {
    {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20},                          // tick 0 tempo
    {0x00, 0xF0, 0x08, 0x43, 0x79, 0x06, 0x7F, 0x00, 0x64, 0x00, 0xF7},  // tick 0 master volume
    {0x00, 0xC0, 0x05},                                                  // tick 0 program
    {0x00, 0x90, 0x3C, 0x64},                                            // tick 0 note on
    {0x83, 0x60, 0x90, 0x3C, 0x00},                                      // tick 480 velocity 0
    {0x00, 0xFF, 0x07, 0x05, 'S', 'T', 'A', 'R', 'T'},                   // tick 480 cue
    {0x81, 0x70, 0x80, 0x3E, 0x40},                                      // tick 720 note off
    {0x00, 0xFF, 0x2F, 0x00},                                            // tick 720 end of track
};
const uint32_t kTicks[] = {0, 0, 0, 0, 480, 480, 720, 720};
const uint32_t kKinds[] = {kKindOther, kKindMasterVolume, kKindChannel, kKindNote,
                           kKindNote,  kKindCueStart,     kKindNote,    kKindOther};

Bytes TrackData(size_t eventCount) {
  Bytes data;
  for (size_t i = 0; i < eventCount; ++i) data.insert(data.end(), kEvents[i].begin(), kEvents[i].end());
  return data;
}

Bytes Image(const Bytes& data, uint32_t declaredLength) {
  Bytes image = {'M', 'T', 'h', 'd', 0, 0, 0, 6,  // header chunk
                 0, 0, 0, 1,                      // format 0, one track
                 0x01, 0xE0,                      // division 480 (offset 12)
                 'M', 'T', 'r', 'k',
                 static_cast<uint8_t>(declaredLength >> 24), static_cast<uint8_t>(declaredLength >> 16),
                 static_cast<uint8_t>(declaredLength >> 8), static_cast<uint8_t>(declaredLength)};
  image.insert(image.end(), data.begin(), data.end());
  return image;
}

Bytes FullImage() {
  Bytes data = TrackData(kEvents.size());
  return Image(data, static_cast<uint32_t>(data.size()));
}

TEST(SmfEventStream, ReadsEveryEventOfTheFirstTrack) {
  Bytes image = FullImage();
  CSmfEventStream stream;
  ASSERT_EQ(stream.Parse(image.data(), static_cast<uint32_t>(image.size())), 1);
  EXPECT_EQ(stream.GetDivision(), 480);
  ASSERT_EQ(stream.GetCount(), kEvents.size());
  for (uint32_t i = 0; i < stream.GetCount(); ++i) {
    SCOPED_TRACE(i);
    const CHeapBlock* event = stream.GetAt(i);
    EXPECT_EQ(event->GetTick(), kTicks[i]);
    EXPECT_EQ(event->GetKind(), kKinds[i]);
    // The record holds the event without its delta time.
    size_t deltaBytes = (kEvents[i][0] & 0x80) ? 2 : 1;
    EXPECT_EQ(Bytes(event->GetData(), event->GetData() + event->GetSize()),
              Bytes(kEvents[i].begin() + static_cast<long>(deltaBytes), kEvents[i].end()));
  }
  EXPECT_EQ(stream.GetAt(kEvents.size()), nullptr);
  EXPECT_EQ(stream.GetLastNoteEnd(), 720u);
}

TEST(SmfEventStream, EveryCutImageGivesZeroWithTheWholeEventsBeforeTheCut) {
  Bytes image = FullImage();
  for (size_t cut = 0; cut < image.size(); ++cut) {
    SCOPED_TRACE(cut);
    size_t whole = 0;
    size_t end = 22;
    while (whole < kEvents.size() && end + kEvents[whole].size() <= cut) end += kEvents[whole++].size();
    CSmfEventStream stream;
    EXPECT_EQ(stream.Parse(image.data(), static_cast<uint32_t>(cut)), 0);
    EXPECT_EQ(stream.GetCount(), cut < 22 ? 0u : whole);
  }
}

TEST(SmfEventStream, DeclaredLengthIsBoundedByTheImage) {
  struct Case {
    const char* name;
    size_t events;
    uint32_t declared;
    int result;
    uint32_t count;
  };
  const Case cases[] = {
      {"overlong with end of track", 8, 0xFFFFFFFF, 1, 8},
      {"overlong without end of track", 7, 1000, 0, 7},
      {"short, ending between events", 8, 21, 1, 3},
      {"short, ending inside an event", 8, 23, 0, 3},
      {"empty track", 0, 0, 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes image = Image(TrackData(c.events), c.declared);
    CSmfEventStream stream;
    EXPECT_EQ(stream.Parse(image.data(), static_cast<uint32_t>(image.size())), c.result);
    EXPECT_EQ(stream.GetCount(), c.count);
  }
}

TEST(SmfEventStream, MalformedEventsEndTheParseWithTheEventsSoFar) {
  struct Case {
    const char* name;
    Bytes tail;
  };
  const Case cases[] = {
      {"running status", {0x83, 0x60, 0x3C, 0x00}},
      {"delta of five bytes", {0x80, 0x80, 0x80, 0x80, 0x00, 0x90, 0x3C, 0x64}},
      {"SysEx length of five bytes", {0x00, 0xF0, 0x80, 0x80, 0x80, 0x80, 0x01, 0xF7}},
      {"meta without its type", {0x00, 0xFF}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes data = TrackData(4);
    data.insert(data.end(), c.tail.begin(), c.tail.end());
    Bytes image = Image(data, static_cast<uint32_t>(data.size()));
    CSmfEventStream stream;
    EXPECT_EQ(stream.Parse(image.data(), static_cast<uint32_t>(image.size())), 0);
    EXPECT_EQ(stream.GetCount(), 4u);
  }
}

TEST(SmfEventStream, VelocityZeroNoteOnMovesTheLastRelease) {
  Bytes data = TrackData(5);
  Bytes image = Image(data, static_cast<uint32_t>(data.size()));
  CSmfEventStream stream;
  EXPECT_EQ(stream.Parse(image.data(), static_cast<uint32_t>(image.size())), 1);
  EXPECT_EQ(stream.GetAt(4)->GetKind(), kKindNote);
  EXPECT_EQ(stream.GetLastNoteEnd(), 480u);
}

TEST(SmfEventStream, DecodeVarLenTakesOneByteWhole) {
  struct Case {
    Bytes bytes;
    uint32_t value;
  };
  const Case cases[] = {
      {{0x85}, 0x85},
      {{0x81, 0x00}, 128},
      {{0xFF, 0x7F}, 16383},
      {{0xFF, 0xFF, 0xFF, 0x7F}, 0x0FFFFFFF},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(CSmfEventStream::DecodeVarLen(c.bytes.data(), static_cast<uint32_t>(c.bytes.size())),
              c.value);
  }
}

}  // namespace

// The sequence event: inline and heap data, values, kinds and the comparison with song events.
#include "song/SeqEvent.h"

#include <gtest/gtest.h>

#include <vector>

#include "song/MidiMsg.h"

namespace {

using Bytes = std::vector<uint8_t>;

TEST(SeqEvent, SixteenBytesStayInlineSeventeenGoToTheHeap) {
  Bytes sixteen(16, 0x11);
  CSeqEvent inlineEvent(10, 16, sixteen.data(), 20, 0);
  EXPECT_FALSE(inlineEvent.IsHeap());
  Bytes seventeen(17, 0x22);
  seventeen[16] = 0x99;
  CSeqEvent heapEvent(10, 17, seventeen.data(), 20, 0);
  EXPECT_TRUE(heapEvent.IsHeap());
  EXPECT_EQ(heapEvent.GetDataByte(16), 0x99);
  EXPECT_EQ(heapEvent.GetDataByte(17), 0);  // past the length
  CSeqEvent copy = heapEvent;
  EXPECT_NE(copy.GetData(), heapEvent.GetData());
  EXPECT_EQ(copy.GetDataByte(16), 0x99);
  copy = inlineEvent;
  EXPECT_FALSE(copy.IsHeap());
  EXPECT_EQ(copy.GetDataByte(15), 0x11);
}

TEST(SeqEvent, ValuesAndDuration) {
  const uint8_t note[] = {0x90, 60, 100};
  CSeqEvent event(480, 3, note, 960, 7);
  EXPECT_EQ(event.GetValue(), 960u);
  EXPECT_EQ(event.GetDuration(), 480u);
  EXPECT_EQ(event.GetExtra(), 7u);
  EXPECT_FALSE(event.IsDropped());
  event.SetDropped(true);
  event.SetEndTick(500);
  EXPECT_TRUE(event.IsDropped());
  EXPECT_EQ(event.GetDuration(), 20u);
}

TEST(SeqEvent, KindsOfEvents) {
  const struct {
    const char* name;
    Bytes bytes;
    int kind;
  } cases[] = {
      {"tempo meta", {0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}, 1},
      {"stream pair", {0xF0, 0x09, 0x43, 0x79, 0x06, 0x7F, 0x08, 0x00, 0x01, 0x02, 0xF7}, 2},
      {"device tempo", {0xF0, 0x09, 0x43, 0x79, 0x06, 0x7D, 0x10, 0x1E, 0x42, 0x20, 0xF7}, 3},
      {"slot setting", {0xF0, 0x07, 0x43, 0x79, 0x06, 0x7F, 0x0B, 0x00, 0xF7}, 4},
      {"master volume", {0xF0, 0x07, 0x43, 0x79, 0x06, 0x7F, 0x00, 0x64, 0xF7}, 5},
      {"note-on", {0x95, 64, 0}, 6},
      {"note-off", {0x85, 64, 0}, 0},
      {"other maker", {0xF0, 0x07, 0x41, 0x79, 0x06, 0x7F, 0x00, 0x64, 0xF7}, 0},
      {"two-byte size", {0xF0, 0x81, 0x00, 0x43, 0x79, 0x06, 0x7F, 0x00, 0x64}, 5},
      {"cut short", {0xF0, 0x07, 0x43, 0x79, 0x06, 0x7F}, 0},
      {"empty", {}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CSeqEvent event(0, static_cast<uint32_t>(c.bytes.size()), c.bytes.data(), 0, 0);
    EXPECT_EQ(event.GetKind(), c.kind);
  }
}

TEST(SeqEvent, IsSameEventComparesEveryField) {
  const uint8_t note[] = {0x90, 60, 100};
  CMidiMsg message(100, 200, 3, note, 4);
  EXPECT_TRUE(IsSameEvent(message, CSeqEvent(100, 3, note, 200, 4)));
  EXPECT_FALSE(IsSameEvent(message, CSeqEvent(101, 3, note, 200, 4)));
  EXPECT_FALSE(IsSameEvent(message, CSeqEvent(100, 2, note, 200, 4)));
  EXPECT_FALSE(IsSameEvent(message, CSeqEvent(100, 3, note, 201, 4)));
  EXPECT_FALSE(IsSameEvent(message, CSeqEvent(100, 3, note, 200, 5)));
  const uint8_t other[] = {0x90, 60, 101};
  EXPECT_FALSE(IsSameEvent(message, CSeqEvent(100, 3, other, 200, 4)));
}

}  // namespace

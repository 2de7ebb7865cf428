// Classification of SMF events into the kinds the voice scan counts.
#include "song/HeapBlock.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

TEST(HeapBlock, ClassifiesEveryKind) {
  struct Case {
    const char* name;
    Bytes event;
    uint32_t kind;
  };
  const Case cases[] = {
      {"note on", {0x91, 60, 100}, kKindNote},
      {"note on velocity 0", {0x90, 60, 0}, kKindNote},
      {"note off", {0x8F, 60, 64}, kKindNote},
      {"control change", {0xB0, 7, 100}, kKindChannel},
      {"program change", {0xC3, 5}, kKindChannel},
      {"pitch bend", {0xE0, 0, 64}, kKindChannel},
      // F0, length, then data bytes 0-4: 43 79 06 group command
      {"master volume", {0xF0, 0x08, 0x43, 0x79, 0x06, 0x7F, 0x00, 0x64, 0x00, 0xF7},
       kKindMasterVolume},
      {"channel status", {0xF0, 0x06, 0x43, 0x79, 0x06, 0x7D, 0x02, 0xF7}, kKindChannelStatus},
      {"voice", {0xF0, 0x06, 0x43, 0x79, 0x06, 0x7F, 0x01, 0xF7}, kKindVoice},
      {"stream PCM", {0xF0, 0x06, 0x43, 0x79, 0x06, 0x7F, 0x05, 0xF7}, kKindStreamPcm},
      {"contents header", {0xF0, 0x06, 0x43, 0x79, 0x06, 0x7D, 0x01, 0xF7}, kKindContentsHeader},
      {"other device command", {0xF0, 0x06, 0x43, 0x79, 0x06, 0x7F, 0x07, 0xF7}, kKindOther},
      {"SysEx with a length of 4", {0xF0, 0x04, 0x43, 0x79, 0x06, 0x7F}, kKindOther},
      {"SysEx cut before byte 4", {0xF0, 0x06, 0x43, 0x79, 0x06, 0x7F}, kKindOther},
      {"escaped SysEx", {0xF7, 0x06, 0x43, 0x79, 0x06, 0x7F, 0x00, 0xF7}, kKindOther},
      {"cue START", {0xFF, 0x07, 0x05, 'S', 'T', 'A', 'R', 'T'}, kKindCueStart},
      {"cue STOP", {0xFF, 0x07, 0x04, 'S', 'T', 'O', 'P'}, kKindCueStop},
      {"cue STAR", {0xFF, 0x07, 0x04, 'S', 'T', 'A', 'R'}, kKindOther},
      {"START as a marker", {0xFF, 0x06, 0x05, 'S', 'T', 'A', 'R', 'T'}, kKindOther},
      {"cue cut short", {0xFF, 0x07, 0x05, 'S', 'T'}, kKindOther},
      {"end of track", {0xFF, 0x2F, 0x00}, kKindOther},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(CHeapBlock::Classify(c.event.data(), static_cast<uint32_t>(c.event.size())), c.kind);
    CHeapBlock block(480, static_cast<uint32_t>(c.event.size()), c.event.data());
    EXPECT_EQ(block.GetKind(), c.kind);
    EXPECT_EQ(block.GetTick(), 480u);
    EXPECT_EQ(Bytes(block.GetData(), block.GetData() + block.GetSize()), c.event);
  }
}

TEST(HeapBlock, LengthOfMoreThanFourBytesThrows) {
  const Bytes sysex = {0xF0, 0x80, 0x80, 0x80, 0x80, 0x01, 0xF7};
  const Bytes meta = {0xFF, 0x01, 0x81, 0x81, 0x81, 0x81, 0x00};
  for (const Bytes& event : {sysex, meta}) {
    try {
      CHeapBlock block(0, static_cast<uint32_t>(event.size()), event.data());
      FAIL() << "expected -1";
    } catch (int e) {
      EXPECT_EQ(e, -1);
    }
  }
}

TEST(HeapBlock, KeepsSixteenBytesInlineAndSeventeenOnTheHeap) {
  for (uint32_t size : {16u, 17u}) {
    SCOPED_TRACE(size);
    Bytes event(size, 0x11);
    event[0] = 0xF0;
    event[1] = static_cast<uint8_t>(size - 2);
    CHeapBlock block(0, size, event.data());
    auto* begin = reinterpret_cast<const uint8_t*>(&block);
    bool inside = block.GetData() >= begin && block.GetData() < begin + sizeof block;
    EXPECT_EQ(inside, size == 16);
    EXPECT_EQ(Bytes(block.GetData(), block.GetData() + size), event);
  }
}

}  // namespace

// Velocity scaling and the stream-PCM pairing message.
#include <vector>

#include "DocTestSupport.h"

namespace {

using doctest::AddEvent;
using doctest::Bytes;

class KZ1DocEventEdits : public doctest::DocTest {};

const std::vector<uint8_t> kPair35 = {0xF0, 0x09, 0x43, 0x79, 0x06, 0x7F, 0x08, 0x00, 3, 5, 0xF7};

TEST_F(KZ1DocEventEdits, VelocitiesScaleHalfUpAndCapAt127) {
  CKZ1Doc& d = Make(3);
  AddEvent(*d.GetMidiList(), 0, 10, {0x90, 60, 100});
  AddEvent(*d.GetMidiList(), 0, 10, {0x91, 60, 1});
  AddEvent(*d.GetMidiList(), 0, 10, {0x90, 62, 0});
  AddEvent(*d.GetMidiList(), 0, 0, {0xB0, 7, 100});
  d.ResetModifiedFlags();
  EXPECT_EQ(d.ScaleVelocities(0, 150), 1);
  auto it = d.GetMidiList()->begin();
  EXPECT_EQ((*it++)->GetByte(2), 127);
  EXPECT_EQ((*it++)->GetByte(2), 1);  // another channel
  EXPECT_EQ((*it++)->GetByte(2), 0);
  EXPECT_EQ((*it++)->GetByte(2), 100);  // not a note
  EXPECT_EQ(d.TestModifiedFlags(3), 3u);
  EXPECT_EQ(d.ScaleVelocities(1, 50), 1);
  EXPECT_EQ((*std::next(d.GetMidiList()->begin()))->GetByte(2), 1);  // 0.5 rounds up
}

TEST_F(KZ1DocEventEdits, ChannelSelectsTheLists) {
  struct Case {
    int channel;
    int result;
    int play;
    int pcm;
  };
  const Case cases[] = {{0, 1, 50, 80}, {16, 1, 80, 50}, {255, 1, 50, 50}, {17, 0, 80, 80},
                        {254, 0, 80, 80}, {-1, 0, 80, 80}};
  for (const auto& c : cases) {
    CKZ1Doc& d = Make(3);
    AddEvent(*d.GetMidiList(), 0, 10, {0x90, 60, 80});
    AddEvent(*d.GetMidiListPCM(), 0, 10, {0x99, 1, 80});
    d.ResetModifiedFlags();
    EXPECT_EQ(d.ScaleVelocities(c.channel, 63), c.result) << c.channel;
    EXPECT_EQ(d.GetMidiList()->front()->GetByte(2), c.play) << c.channel;
    EXPECT_EQ(d.GetMidiListPCM()->front()->GetByte(2), c.pcm) << c.channel;
    EXPECT_EQ(d.TestModifiedFlags(3), c.result ? 3u : 0u) << c.channel;
  }
}

TEST_F(KZ1DocEventEdits, PairIntoEmptyListGoesToTheHeadAtTickZero) {
  CKZ1Doc& d = Make(3);
  EXPECT_EQ(d.InsertStreamPairMessage(3, 5), 1);
  ASSERT_EQ(d.GetMidiListPCM()->size(), 1u);
  const CMidiMsg& m = *d.GetMidiListPCM()->front();
  EXPECT_EQ(Bytes(m), kPair35);
  EXPECT_EQ(m.GetTick(), 0u);
  EXPECT_EQ(m.GetEndTick(), 0u);
  EXPECT_EQ(m.GetExtra(), 0u);
}

TEST_F(KZ1DocEventEdits, PairFollowsAnEarlierPairingOutsideTheRun) {
  CKZ1Doc& d = Make(3);
  auto& pcm = *d.GetMidiListPCM();
  AddEvent(pcm, 0, 0, {0xF0, 0x09, 0x43, 0x79, 0x06, 0x7F, 0x08, 0x00, 3, 4, 0xF7});
  AddEvent(pcm, 100, 200, {0x99, 2, 90});  // key 2 -> slot 3
  AddEvent(pcm, 300, 0, {0xF0, 0x09, 0x43, 0x79, 0x06, 0x7F, 0x08, 0x00, 5, 6, 0xF7});
  AddEvent(pcm, 400, 500, {0x99, 7, 90});  // key 7 -> slot 8, not the pair
  d.InsertStreamPairMessage(3, 5);
  ASSERT_EQ(pcm.size(), 5u);
  auto it = pcm.begin();
  std::advance(it, 3);
  EXPECT_EQ(Bytes(**it), kPair35);
  EXPECT_EQ((*it)->GetTick(), 300u);
}

TEST_F(KZ1DocEventEdits, PairingInsideARunOfThePairIsPassedOver) {
  CKZ1Doc& d = Make(3);
  auto& pcm = *d.GetMidiListPCM();
  AddEvent(pcm, 0, 0, {0xF0, 0x09, 0x43, 0x79, 0x06, 0x7F, 0x08, 0x00, 3, 4, 0xF7});
  AddEvent(pcm, 100, 400, {0x99, 4, 90});  // slot 5 sounds until 400
  AddEvent(pcm, 200, 0, {0xF0, 0x09, 0x43, 0x79, 0x06, 0x7F, 0x08, 0x00, 5, 6, 0xF7});
  AddEvent(pcm, 250, 0, {0xF0, 0x09, 0x43, 0x79, 0x06, 0x7F, 0x08, 0x00, 5, 6, 0xF7}, 9);
  d.InsertStreamPairMessage(3, 5);
  ASSERT_EQ(pcm.size(), 5u);
  EXPECT_EQ(Bytes(**std::next(pcm.begin())), kPair35);
  EXPECT_EQ((*std::next(pcm.begin()))->GetTick(), 0u);
}

}  // namespace

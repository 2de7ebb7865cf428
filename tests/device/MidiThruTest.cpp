// Tests of the MIDI thru over the fake MIDI backend, and without a MIDI system.
#include "device/MidiThru.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/midi/RtMidiBackend.h"
#include "platform/midi/testing/FakeMidiBackend.h"

namespace {

using ::testing::ElementsAre;
using Message = std::vector<uint8_t>;

class MidiThruTest : public ::testing::Test {
 protected:
  platform::FakeMidiBackend backend{{"Out 1", "Out 2", "Synth"}, {"In 1", "Keyboard"}};
  CMidiThru thru{backend};
};

using MidiThru = MidiThruTest;

TEST_F(MidiThru, StartRightAfterConstructionOpensNothing) {
  EXPECT_EQ(thru.GetInDevice(), -1);
  EXPECT_EQ(thru.GetOutDevice(), -1);
  EXPECT_EQ(thru.Start(), 0);
  EXPECT_EQ(thru.IsActive(), 0);
  EXPECT_TRUE(backend.Log().empty());
}

TEST_F(MidiThru, NoneOnEitherSideOpensNothing) {
  for (const auto& [in, out] : {std::pair{0, 3}, std::pair{2, 0}, std::pair{-1, 3}, std::pair{2, -1}}) {
    SCOPED_TRACE(::testing::PrintToString(std::pair{in, out}));
    thru.SetInDevice(in);
    thru.SetOutDevice(out);
    EXPECT_EQ(thru.Start(), 0);
  }
  EXPECT_TRUE(backend.Log().empty());
}

TEST_F(MidiThru, OpensOutputThenInputAndConnectsThem) {
  EXPECT_EQ(thru.SetInDevice(2), 0);
  EXPECT_EQ(thru.SetOutDevice(3), 0);
  ASSERT_EQ(thru.Start(), 1);
  EXPECT_EQ(thru.IsActive(), 1);
  EXPECT_THAT(backend.Log(), ElementsAre("open out 2", "open in 1", "connect in 1 -> out 2"));
  const std::vector<Message> played = {{0x90, 0x3C, 0x64}, {0xB0, 0x07, 0x50}, {0xC1, 0x05}, {0xF0, 0x43, 0x10, 0xF7}};
  for (const Message& m : played) ASSERT_TRUE(backend.Feed(1, m));
  EXPECT_EQ(backend.Sent(2), played);
  ASSERT_NE(thru.GetOutput(), nullptr);
  EXPECT_EQ(thru.GetOutput()->Name(), "Synth");
}

TEST_F(MidiThru, FailedConnectClosesBoth) {
  backend.FailConnect(true);
  thru.SetInDevice(2);
  thru.SetOutDevice(3);
  EXPECT_EQ(thru.Start(), 0);
  EXPECT_EQ(thru.IsActive(), 0);
  EXPECT_THAT(backend.Log(), ElementsAre("open out 2", "open in 1", "connect in 1 -> out 2 failed", "close in 1",
                                         "close out 2"));
  EXPECT_EQ(backend.OpenOutputCount(), 0);
  EXPECT_EQ(backend.OpenInputCount(), 0);
}

TEST_F(MidiThru, FailedOpenLeavesBothClosed) {
  thru.SetInDevice(2);
  thru.SetOutDevice(3);
  backend.FailOpenInput(1);
  EXPECT_EQ(thru.Start(), 0);
  EXPECT_THAT(backend.Log(), ElementsAre("open out 2", "open in 1 failed", "close out 2"));
  backend.ClearLog();
  backend.FailOpenOutput(2);
  EXPECT_EQ(thru.Start(), 0);
  EXPECT_THAT(backend.Log(), ElementsAre("open out 2 failed"));
  EXPECT_EQ(thru.IsActive(), 0);
}

TEST_F(MidiThru, StartingTwiceClosesThenReopens) {
  thru.SetInDevice(2);
  thru.SetOutDevice(3);
  ASSERT_EQ(thru.Start(), 1);
  ASSERT_EQ(thru.Start(), 1);
  EXPECT_THAT(backend.Log(), ElementsAre("open out 2", "open in 1", "connect in 1 -> out 2", "disconnect in 1",
                                         "close in 1", "close out 2", "open out 2", "open in 1",
                                         "connect in 1 -> out 2"));
  EXPECT_EQ(thru.IsActive(), 1);
  EXPECT_EQ(backend.OpenOutputCount(), 1);
}

TEST_F(MidiThru, StopEndsTheForwardingAndClosesTheLentOutput) {
  thru.SetInDevice(2);
  thru.SetOutDevice(3);
  ASSERT_EQ(thru.Start(), 1);
  std::shared_ptr<platform::IMidiOutput> lent = thru.GetOutput();
  EXPECT_EQ(thru.Stop(), 0);
  EXPECT_EQ(thru.IsActive(), 0);
  EXPECT_EQ(thru.GetOutput(), nullptr);
  EXPECT_FALSE(backend.Feed(1, {0x90, 0x3C, 0x64}));
  EXPECT_FALSE(lent->Send({0x90, 0x3C, 0x64})) << "the engine's copy is closed with the thru";
  EXPECT_TRUE(backend.Sent(2).empty());
  EXPECT_EQ(thru.Stop(), 0);
}

TEST_F(MidiThru, DestructionStops) {
  {
    CMidiThru local(backend);
    local.SetInDevice(1);
    local.SetOutDevice(1);
    ASSERT_EQ(local.Start(), 1);
  }
  EXPECT_EQ(backend.OpenOutputCount(), 0);
  EXPECT_EQ(backend.OpenInputCount(), 0);
  EXPECT_EQ(thru.GetInputName(1), "Keyboard");
  EXPECT_EQ(thru.GetInputName(2), "");
}

TEST(MidiThruWithoutMidi, StartGivesZeroAndTheLineIsPrintedOnce) {
  setenv("TRILLOT_MIDI_API", "none", 1);
  platform::RtMidiBackend none;
  CMidiThru thru(none);
  thru.SetInDevice(1);
  thru.SetOutDevice(1);
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(thru.Start(), 0);
  EXPECT_EQ(thru.Start(), 0);
  EXPECT_EQ(thru.GetInputName(0), "");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), std::string(platform::kNoMidiSystemText) + "\n");
  EXPECT_EQ(thru.IsActive(), 0);
  unsetenv("TRILLOT_MIDI_API");
}

}  // namespace

// The MIDI thru between virtual ports on a real JACK server (run under scripts/with-jack).
#include <gtest/gtest.h>

#include <thread>

#include "JackPorts.h"
#include "device/MidiThru.h"
#include "platform/midi/RtMidiBackend.h"

namespace {

using jacktest::IndexOf;
using jacktest::Message;

TEST(MidiThruJack, PassesEveryKindOfMessageUnchangedAndInOrderUntilStopped) {
  jacktest::VirtualKeyboard keyboard("thru-keyboard");
  jacktest::VirtualSynth synth("thru-synth");
  platform::RtMidiBackend backend;
  CMidiThru thru(backend);
  const int in = IndexOf(backend.InputNames(), "thru-keyboard");
  const int out = IndexOf(backend.OutputNames(), "thru-synth");
  ASSERT_GE(in, 0);
  ASSERT_GE(out, 0);
  thru.SetInDevice(in + 1);
  thru.SetOutDevice(out + 1);
  ASSERT_EQ(thru.Start(), 1);
  EXPECT_EQ(thru.IsActive(), 1);
  Message sysex(300, 0x11);
  sysex.front() = 0xF0;
  sysex.back() = 0xF7;
  const std::vector<Message> played = {
      {0x90, 0x3C, 0x64}, {0xB0, 0x07, 0x50}, {0xC1, 0x05}, sysex, {0xE0, 0x00, 0x40}, {0x80, 0x3C, 0x00}};
  for (const Message& m : played) keyboard.Play(m);
  EXPECT_EQ(synth.WaitFor(played.size()), played);
  thru.Stop();
  EXPECT_EQ(thru.IsActive(), 0);
  keyboard.Play({0x90, 0x40, 0x64});
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_EQ(synth.Received().size(), played.size());
}

}  // namespace

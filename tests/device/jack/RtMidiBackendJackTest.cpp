// The MIDI port layer on a real JACK server (run under scripts/with-jack).
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include "JackPorts.h"
#include "platform/midi/JackMidiOutput.h"
#include "platform/midi/RtMidiBackend.h"

namespace {

using jacktest::IndexOf;
using jacktest::Message;

TEST(RtMidiBackendJack, ChoosesJackAndListsTheVirtualPorts) {
  jacktest::VirtualSynth synth("synth-a");
  jacktest::VirtualKeyboard keyboard("keyboard-a");
  platform::RtMidiBackend backend;
  EXPECT_EQ(backend.Api(), platform::MidiApi::Jack);
  std::vector<std::string> outputs = backend.OutputNames();
  std::vector<std::string> inputs = backend.InputNames();
  EXPECT_GE(IndexOf(outputs, "synth-a"), 0) << ::testing::PrintToString(outputs);
  EXPECT_GE(IndexOf(inputs, "keyboard-a"), 0) << ::testing::PrintToString(inputs);
  // Each side lists only the ports it can use.
  EXPECT_EQ(IndexOf(outputs, "keyboard-a"), -1);
  EXPECT_EQ(IndexOf(inputs, "synth-a"), -1);
  EXPECT_EQ(backend.OutputName(IndexOf(outputs, "synth-a")), outputs[static_cast<size_t>(IndexOf(outputs, "synth-a"))]);
  EXPECT_EQ(backend.OpenOutput(static_cast<int>(outputs.size()) + 5), nullptr);
  EXPECT_EQ(backend.OpenInput(-1, nullptr), nullptr);
}

Message NumberedSysEx(size_t size, uint8_t number) {
  Message sysex(size);
  sysex.front() = 0xF0;
  for (size_t i = 1; i + 1 < size; ++i) sysex[i] = static_cast<uint8_t>((i + number) % 128);
  sysex.back() = 0xF7;
  return sysex;
}

TEST(RtMidiBackendJack, LongSysExSentThenClosedArrivesWhole) {
  jacktest::ExpectDelivered([](const jacktest::XrunCounter& xruns) -> jacktest::Delivery {
    jacktest::VirtualSynth synth("synth-b");
    platform::RtMidiBackend backend;
    int index = IndexOf(backend.OutputNames(), "synth-b");
    EXPECT_GE(index, 0);
    const Message sysex = NumberedSysEx(4001, 0);
    std::shared_ptr<platform::IMidiOutput> out = backend.OpenOutput(index);
    if (!out) {
      ADD_FAILURE() << "no output";
      return {};
    }
    const int before = xruns.Count();
    EXPECT_TRUE(out->Send(sysex));
    out->Close();
    const int during = xruns.Count() - before;
    EXPECT_FALSE(out->IsOpen());
    EXPECT_FALSE(out->Send(sysex));
    out.reset();
    return {{sysex}, synth.WaitFor(1), during};
  });
}

// More than one cycle carries and more than the output holds pending: Send waits for room,
// and Close for the rest to go out.
TEST(RtMidiBackendJack, BurstLargerThanOneCycleArrivesWholeAndInOrder) {
  jacktest::ExpectDelivered([](const jacktest::XrunCounter& xruns) -> jacktest::Delivery {
    jacktest::VirtualSynth synth("synth-f");
    platform::RtMidiBackend backend;
    std::shared_ptr<platform::IMidiOutput> out = backend.OpenOutput(IndexOf(backend.OutputNames(), "synth-f"));
    if (!out) {
      ADD_FAILURE() << "no output";
      return {};
    }
    std::vector<Message> sent;
    const int before = xruns.Count();
    for (uint8_t n = 0; n < 40; ++n) {
      sent.push_back(NumberedSysEx(4001, n));
      EXPECT_TRUE(out->Send(sent.back())) << int(n);
    }
    out->Close();
    const int during = xruns.Count() - before;
    return {sent, synth.WaitFor(sent.size()), during};
  });
}

// Close while another thread sends: every message a Send accepted arrives, in order, and every
// later Send fails.
TEST(RtMidiBackendJack, EverySendAcceptedBeforeCloseArrives) {
  jacktest::ExpectDelivered([](const jacktest::XrunCounter& xruns) -> jacktest::Delivery {
    jacktest::VirtualSynth synth("synth-g");
    platform::RtMidiBackend backend;
    std::shared_ptr<platform::IMidiOutput> out = backend.OpenOutput(IndexOf(backend.OutputNames(), "synth-g"));
    if (!out) {
      ADD_FAILURE() << "no output";
      return {};
    }
    auto nth = [](int i) { return Message{0x90, static_cast<uint8_t>(i % 128), static_cast<uint8_t>(i / 128 % 128)}; };
    std::atomic<int> accepted{0};
    const int before = xruns.Count();
    std::thread sender([&] {
      for (int i = 0; i < 16000 && out->Send(nth(i)); ++i) ++accepted;
    });
    for (int i = 0; i < 500 && accepted < 300; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    out->Close();
    const int during = xruns.Count() - before;
    sender.join();
    EXPECT_FALSE(out->Send(nth(0)));
    std::vector<Message> sent;
    for (int i = 0; i < accepted; ++i) sent.push_back(nth(i));
    return {sent, synth.WaitFor(sent.size()), during};
  });
}

TEST(RtMidiBackendJack, MessageTheServerCannotCarryIsRefused) {
  jacktest::VirtualSynth synth("synth-h");
  platform::RtMidiBackend backend;
  std::shared_ptr<platform::IMidiOutput> out = backend.OpenOutput(IndexOf(backend.OutputNames(), "synth-h"));
  ASSERT_NE(out, nullptr);
  // Larger than one cycle's buffer of the test's server (32 KB), and larger than the output
  // holds pending: refused rather than lost on the way.
  for (size_t size : {size_t{40000}, size_t{70000}}) EXPECT_FALSE(out->Send(NumberedSysEx(size, 1))) << size;
  EXPECT_TRUE(out->Send({0x90, 0x3C, 0x40}));
  EXPECT_TRUE(out->IsOpen());
}

TEST(RtMidiBackendJack, ResetSendsBothControlsOnEveryChannel) {
  jacktest::ExpectDelivered([](const jacktest::XrunCounter& xruns) -> jacktest::Delivery {
    jacktest::VirtualSynth synth("synth-c");
    platform::RtMidiBackend backend;
    std::shared_ptr<platform::IMidiOutput> out = backend.OpenOutput(IndexOf(backend.OutputNames(), "synth-c"));
    if (!out) {
      ADD_FAILURE() << "no output";
      return {};
    }
    std::vector<Message> sent;
    for (uint8_t channel = 0; channel < 16; ++channel) {
      sent.push_back(Message{static_cast<uint8_t>(0xB0 | channel), 123, 0});
      sent.push_back(Message{static_cast<uint8_t>(0xB0 | channel), 120, 0});
    }
    const int before = xruns.Count();
    EXPECT_TRUE(out->Reset());
    out->Close();
    const int during = xruns.Count() - before;
    return {sent, synth.WaitFor(sent.size()), during};
  });
}

TEST(RtMidiBackendJack, NoCallbackRunsAfterCloseHasReturned) {
  jacktest::VirtualKeyboard keyboard("keyboard-d");
  platform::RtMidiBackend backend;
  int index = IndexOf(backend.InputNames(), "keyboard-d");
  ASSERT_GE(index, 0);
  std::atomic<int> calls{0};
  std::atomic<bool> inside{false};
  std::unique_ptr<platform::IMidiInput> in = backend.OpenInput(index, [&](const uint8_t*, size_t) {
    inside = true;
    ++calls;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    inside = false;
  });
  ASSERT_NE(in, nullptr);
  std::atomic<bool> playing{true};
  std::thread player([&] {
    while (playing) {
      keyboard.Play({0x90, 0x3C, 0x40});
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  });
  for (int i = 0; i < 300 && calls < 5; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_GE(calls.load(), 5);
  in->Close();
  EXPECT_FALSE(inside.load());
  int atClose = calls;
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  playing = false;
  player.join();
  EXPECT_EQ(calls.load(), atClose);
  EXPECT_FALSE(in->IsOpen());
}

// Outputs and inputs opened, used, closed and destroyed over and over on two threads at once
// (as the user-interface and play threads may), while notes keep arriving on the input: each
// open and close changes the graph under the other thread's client, so libjack's threads are
// busy with it. Each close takes its client out of the graph before its port goes, so those
// threads never read what was freed, and clients open and close under one lock, so libjack
// never deadlocks (without it, this test hung in about one run in twenty).
TEST(RtMidiBackendJack, OutputsAndInputsOpenedAndClosedTwoHundredTimesWhileNotesArrive) {
  jacktest::VirtualKeyboard keyboard("keyboard-s");
  jacktest::VirtualSynth synth("synth-s");
  platform::RtMidiBackend backend;
  const int outIndex = IndexOf(backend.OutputNames(), "synth-s");
  const int inIndex = IndexOf(backend.InputNames(), "keyboard-s");
  ASSERT_GE(outIndex, 0);
  ASSERT_GE(inIndex, 0);
  std::atomic<bool> playing{true};
  std::thread player([&] {
    while (playing) {
      keyboard.Play({0x90, 0x40, 0x40});
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  });
  constexpr int kRounds = 200;
  std::vector<Message> sent;
  std::vector<Message> givenUp;  // notes whose Close gave up waiting
  std::thread outputs([&] {
    for (int round = 0; round < kRounds; ++round) {
      std::shared_ptr<platform::IMidiOutput> out = backend.OpenOutput(outIndex);
      if (!out) {
        ADD_FAILURE() << "round " << round << ": no output";
        return;
      }
      sent.push_back({0x90, static_cast<uint8_t>(round % 128), static_cast<uint8_t>(1 + round / 128)});
      EXPECT_TRUE(out->Send(sent.back())) << "round " << round;
      const auto closing = std::chrono::steady_clock::now();
      out->Close();
      // Close waits for what was sent at most kJackDrainWaitMs; a server that ran no cycle for
      // that long (a very busy machine) may keep that round's note.
      if (std::chrono::steady_clock::now() - closing >= std::chrono::milliseconds(platform::kJackDrainWaitMs))
        givenUp.push_back(sent.back());
      EXPECT_FALSE(out->IsOpen());
    }
  });
  std::thread inputs([&] {
    for (int round = 0; round < kRounds; ++round) {
      std::atomic<int> heard{0};
      std::unique_ptr<platform::IMidiInput> in = backend.OpenInput(inIndex, [&](const uint8_t*, size_t) { ++heard; });
      if (!in) {
        ADD_FAILURE() << "round " << round << ": no input";
        return;
      }
      for (int waited = 0; heard == 0 && waited < 2000; ++waited) std::this_thread::sleep_for(std::chrono::milliseconds(1));
      EXPECT_GT(heard.load(), 0) << "round " << round << ": no note arrived on the input within 2 s";
      in->Close();
      EXPECT_FALSE(in->IsOpen());
    }
  });
  outputs.join();
  inputs.join();
  playing = false;
  player.join();
  auto without = [&](std::vector<Message> notes) {
    for (const Message& note : givenUp) notes.erase(std::remove(notes.begin(), notes.end(), note), notes.end());
    return notes;
  };
  EXPECT_EQ(without(synth.WaitFor(sent.size())), without(sent))
      << "every note sent, once and in order (" << givenUp.size() << " closes gave up waiting)";
}

TEST(RtMidiBackendJack, InputGetsWholeSysExAndForwardsWhenConnected) {
  jacktest::VirtualKeyboard keyboard("keyboard-e");
  jacktest::VirtualSynth synth("synth-e");
  platform::RtMidiBackend backend;
  std::mutex mutex;
  std::vector<Message> seen;
  auto in = backend.OpenInput(IndexOf(backend.InputNames(), "keyboard-e"), [&](const uint8_t* d, size_t n) {
    std::lock_guard<std::mutex> lock(mutex);
    seen.emplace_back(d, d + n);
  });
  auto out = backend.OpenOutput(IndexOf(backend.OutputNames(), "synth-e"));
  ASSERT_TRUE(in && out);
  ASSERT_TRUE(in->Connect(out));
  const Message sysex = {0xF0, 0x43, 0x79, 0x06, 0x7F, 0x01, 0x02, 0xF7};
  keyboard.Play(sysex);
  std::vector<Message> forwarded = synth.WaitFor(1);
  ASSERT_EQ(forwarded.size(), 1u);
  EXPECT_EQ(forwarded[0], sysex);
  std::lock_guard<std::mutex> lock(mutex);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0], sysex);
}

}  // namespace

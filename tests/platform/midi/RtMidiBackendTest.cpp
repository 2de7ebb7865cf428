// The RtMidi backend without a MIDI system: forced off, or forced to a JACK server that is not
// there. (The JACK paths run under scripts/with-jack, in tests/device/jack.)
#include "platform/midi/RtMidiBackend.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace {

class RtMidiBackendNone : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    setenv("TRILLOT_MIDI_API", GetParam(), 1);
    // A server name of this process that no server has.
    setenv("JACK_DEFAULT_SERVER", ("trillot-absent-" + std::to_string(getpid())).c_str(), 1);
    setenv("JACK_NO_START_SERVER", "1", 1);
  }
  void TearDown() override { unsetenv("TRILLOT_MIDI_API"); }
};

TEST_P(RtMidiBackendNone, ListsNothingOpensNothingAndSaysSoOnce) {
  platform::RtMidiBackend backend;
  ::testing::internal::CaptureStderr();
  EXPECT_TRUE(backend.OutputNames().empty());
  EXPECT_TRUE(backend.InputNames().empty());
  EXPECT_EQ(backend.OpenOutput(0), nullptr);
  EXPECT_EQ(backend.OpenInput(0, [](const uint8_t*, size_t) {}), nullptr);
  EXPECT_EQ(backend.OutputName(0), "");
  std::string printed = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(printed, std::string(platform::kNoMidiSystemText) + "\n");
  EXPECT_EQ(backend.Api(), platform::MidiApi::None);
}

TEST_P(RtMidiBackendNone, SaysNothingWhenTheNoticeIsOff) {
  platform::SetNoMidiSystemNotice(false);
  platform::RtMidiBackend backend;
  ::testing::internal::CaptureStderr();
  EXPECT_TRUE(backend.OutputNames().empty());
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  platform::SetNoMidiSystemNotice(true);
}

// "jack" finds no server under the name; "bogus" is ignored, and the machine has neither an
// ALSA sequencer nor that server.
INSTANTIATE_TEST_SUITE_P(Forced, RtMidiBackendNone, ::testing::Values("none", "jack", "bogus"));

TEST(MidiApiChoice, ForcedAlsaWithoutTheSequencerIsNone) {
  if (platform::AlsaSequencerExists()) GTEST_SKIP() << "this machine has an ALSA sequencer";
  setenv("TRILLOT_MIDI_API", "alsa", 1);
  EXPECT_EQ(platform::ChooseMidiApi(), platform::MidiApi::None);
  unsetenv("TRILLOT_MIDI_API");
}

TEST(MidiApiChoice, ProbeOfAnAbsentServerPrintsNothing) {
  setenv("JACK_DEFAULT_SERVER", ("trillot-absent-" + std::to_string(getpid())).c_str(), 1);
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(platform::JackServerAnswers());
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

}  // namespace

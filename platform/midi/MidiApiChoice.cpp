// Which MIDI system the program uses: the ALSA sequencer, a running JACK server, or none.
#include "platform/midi/MidiApiChoice.h"

#include <jack/jack.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <mutex>
#include <string>

#include "platform/midi/JackClientLock.h"

namespace platform {

const char* const kNoMidiSystemText =
    "Trillot: no MIDI system found (no ALSA sequencer, no JACK server running); MIDI ports are unavailable.";

namespace {

constexpr const char* kSequencerDevice = "/dev/snd/seq";

std::atomic<bool> g_noMidiSystemNotice{true};

void Silent(const char*) {}

}  // namespace

void SetNoMidiSystemNotice(bool on) { g_noMidiSystemNotice = on; }

bool IsNoMidiSystemNoticeOn() { return g_noMidiSystemNotice; }

std::string MidiClientName(const char* role) {
  std::string name = "Trillot";
  if (role && *role) name += std::string(" ") + role;
  return name + " " + std::to_string(getpid());
}

bool AlsaSequencerExists() { return access(kSequencerDevice, R_OK | W_OK) == 0; }

bool JackServerAnswers() {
  // libjack reports a missing server on standard error by default; the probe stays quiet, and so
  // do its later messages (RtMidi reports JACK failures through our error callback).
  jack_set_error_function(Silent);
  jack_set_info_function(Silent);
  std::lock_guard<std::mutex> jack(JackClientMutex());
  jack_status_t status{};
  jack_client_t* client = jack_client_open(MidiClientName("probe").c_str(), JackNoStartServer, &status);
  if (!client) return false;
  jack_client_close(client);
  return true;
}

MidiApi ChooseMidiApi() {
  const char* forced = std::getenv("TRILLOT_MIDI_API");
  const std::string choice = forced ? forced : "";
  if (choice == "none") return MidiApi::None;
  if (choice == "alsa") return AlsaSequencerExists() ? MidiApi::Alsa : MidiApi::None;
  if (choice == "jack") return JackServerAnswers() ? MidiApi::Jack : MidiApi::None;
  if (AlsaSequencerExists()) return MidiApi::Alsa;
  if (JackServerAnswers()) return MidiApi::Jack;
  return MidiApi::None;
}

}  // namespace platform

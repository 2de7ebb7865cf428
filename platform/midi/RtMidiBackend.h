// The MIDI ports of the machine through RtMidi: the ALSA sequencer or a running JACK server.
#pragma once

#include <memory>
#include <mutex>

#include "platform/midi/MidiApiChoice.h"
#include "platform/midi/MidiBackend.h"

class RtMidiIn;
class RtMidiOut;

namespace platform {

/// Chooses its MIDI system on first use (ChooseMidiApi). Without one it prints
/// kNoMidiSystemText once on standard error, lists nothing and opens nothing. RtMidi's errors
/// come to our own callback: a failed send or open is a false or null result, never a throw.
/// On JACK the ports are clients of our own (OpenJackMidiOutput, OpenJackMidiInput): an
/// output's Close lets what was sent go out first, and both close in an order that is safe
/// against libjack's threads; RtMidi only lists the ports there.
class RtMidiBackend final : public IMidiBackend {
 public:
  RtMidiBackend();
  ~RtMidiBackend() override;
  RtMidiBackend(const RtMidiBackend&) = delete;
  RtMidiBackend& operator=(const RtMidiBackend&) = delete;

  std::vector<std::string> OutputNames() override;
  std::vector<std::string> InputNames() override;
  std::shared_ptr<IMidiOutput> OpenOutput(int index) override;
  std::unique_ptr<IMidiInput> OpenInput(int index, MidiCallback callback) override;

  /// The system in use, chosen on the first call.
  MidiApi Api();

 private:
  template <typename Port>
  std::vector<std::string> ListPorts(std::unique_ptr<Port>& lister);

  std::once_flag m_chosen;
  MidiApi m_api = MidiApi::None;
  std::mutex m_listMutex;
  std::unique_ptr<RtMidiOut> m_outLister;
  std::unique_ptr<RtMidiIn> m_inLister;
};

}  // namespace platform

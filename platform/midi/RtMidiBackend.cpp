// The MIDI ports of the machine through RtMidi: the ALSA sequencer or a running JACK server.
#include "platform/midi/RtMidiBackend.h"

#include <RtMidi.h>

#include <atomic>
#include <cstdio>

#include "platform/midi/JackClientLock.h"
#include "platform/midi/JackMidiInput.h"
#include "platform/midi/JackMidiOutput.h"

namespace platform {

namespace {

RtMidi::Api ToRtMidi(MidiApi api) { return api == MidiApi::Alsa ? RtMidi::LINUX_ALSA : RtMidi::UNIX_JACK; }

/// Where RtMidi's errors for one object go: they mark the call under way as failed.
struct ErrorFlag {
  std::atomic<bool> failed{false};
};

void OnRtMidiError(RtMidiError::Type, const std::string&, void* userData) {
  if (userData) static_cast<ErrorFlag*>(userData)->failed = true;
}

// Ports lists are read through the lister, whose own ports do not count.
template <typename Port>
std::vector<std::string> PortNames(Port& port) {
  std::vector<std::string> names;
  try {
    const unsigned count = port.getPortCount();
    for (unsigned i = 0; i < count; ++i) names.push_back(port.getPortName(i));
  } catch (const RtMidiError&) {
    names.clear();
  }
  return names;
}

class RtMidiOutputPort final : public IMidiOutput {
 public:
  RtMidiOutputPort(std::unique_ptr<RtMidiOut> out, std::unique_ptr<ErrorFlag> errors, std::string name)
      : m_errors(std::move(errors)), m_out(std::move(out)), m_name(std::move(name)) {}
  ~RtMidiOutputPort() override { Close(); }

  std::string Name() const override { return m_name; }

  bool Send(const uint8_t* data, size_t size) override {
    if (!data || size == 0) return false;
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_out) return false;
    m_errors->failed = false;
    try {
      m_out->sendMessage(data, size);
    } catch (const RtMidiError&) {
      return false;
    }
    return !m_errors->failed;
  }

  void Close() override {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_out) return;
    try {
      m_out->closePort();
    } catch (const RtMidiError&) {
    }
    m_out.reset();
  }

  bool IsOpen() const override {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_out != nullptr;
  }

 private:
  mutable std::mutex m_mutex;
  std::unique_ptr<ErrorFlag> m_errors;  // outlives m_out, which reports into it
  std::unique_ptr<RtMidiOut> m_out;
  const std::string m_name;
};

class RtMidiInputPort final : public IMidiInput {
 public:
  RtMidiInputPort(MidiCallback callback, std::string name) : m_dispatch(std::move(callback)), m_name(std::move(name)) {}
  ~RtMidiInputPort() override { Close(); }

  /// Opens port `index` of `api`; false when it cannot.
  bool Open(RtMidi::Api api, int index) {
    try {
      m_in = std::make_unique<RtMidiIn>(api, MidiClientName());
      m_in->setErrorCallback(OnRtMidiError, &m_errors);
      // Everything passes, SysEx and timing included: a thru must not touch the data.
      m_in->ignoreTypes(false, false, false);
      m_in->setCallback(&RtMidiInputPort::OnMessage, this);
      m_in->openPort(static_cast<unsigned>(index), "Trillot Input");
    } catch (const RtMidiError&) {
      m_in.reset();
      return false;
    }
    if (m_errors.failed || !m_in->isPortOpen()) {
      m_in.reset();
      return false;
    }
    return true;
  }

  std::string Name() const override { return m_name; }
  bool Connect(std::shared_ptr<IMidiOutput> output) override { return m_dispatch.Connect(std::move(output)); }
  bool Disconnect() override { return m_dispatch.Disconnect(); }

  void Close() override {
    m_dispatch.Shut();
    std::lock_guard<std::mutex> lock(m_closeMutex);
    if (!m_in) return;
    // Destroying the RtMidi object ends its thread (or JACK client), so `this` is no longer
    // reachable from the callback once it returns.
    try {
      m_in->cancelCallback();
      m_in->closePort();
    } catch (const RtMidiError&) {
    }
    m_in.reset();
  }

  bool IsOpen() const override { return !m_dispatch.IsShut(); }

 private:
  static void OnMessage(double, std::vector<unsigned char>* message, void* self) {
    if (message && self) static_cast<RtMidiInputPort*>(self)->m_dispatch.Deliver(message->data(), message->size());
  }

  MidiInputDispatch m_dispatch;
  ErrorFlag m_errors;
  std::mutex m_closeMutex;
  std::unique_ptr<RtMidiIn> m_in;
  const std::string m_name;
};

}  // namespace

RtMidiBackend::RtMidiBackend() = default;

RtMidiBackend::~RtMidiBackend() {
  std::lock_guard<std::mutex> jack(JackClientMutex());
  m_outLister.reset();
  m_inLister.reset();
}

MidiApi RtMidiBackend::Api() {
  std::call_once(m_chosen, [this] {
    m_api = ChooseMidiApi();
    if (m_api == MidiApi::None && IsNoMidiSystemNoticeOn()) std::fprintf(stderr, "%s\n", kNoMidiSystemText);
  });
  return m_api;
}

// The lister is opened on first use and kept, so that each list does not open a new client.
template <typename Port>
std::vector<std::string> RtMidiBackend::ListPorts(std::unique_ptr<Port>& lister) {
  if (Api() == MidiApi::None) return {};
  std::lock_guard<std::mutex> lock(m_listMutex);
  try {
    if (!lister) {
      // On JACK the lister is a client too (RtMidi's own, with no ports).
      std::unique_lock<std::mutex> jack(JackClientMutex(), std::defer_lock);
      if (m_api == MidiApi::Jack) jack.lock();
      lister = std::make_unique<Port>(ToRtMidi(m_api), MidiClientName());
      lister->setErrorCallback(OnRtMidiError, nullptr);
    }
  } catch (const RtMidiError&) {
    return {};
  }
  return PortNames(*lister);
}

std::vector<std::string> RtMidiBackend::OutputNames() { return ListPorts(m_outLister); }

std::vector<std::string> RtMidiBackend::InputNames() { return ListPorts(m_inLister); }

std::shared_ptr<IMidiOutput> RtMidiBackend::OpenOutput(int index) {
  if (Api() == MidiApi::None || index < 0) return nullptr;
  std::string name = OutputName(index);
  if (name.empty()) return nullptr;
  if (m_api == MidiApi::Jack) {
    // RtMidi's JACK output closes without waiting for what was sent and frees its buffer while
    // its callback may still run; our own client drains and tears down in a safe order.
    return OpenJackMidiOutput(MidiClientName(), name, name);
  }
  auto errors = std::make_unique<ErrorFlag>();
  std::unique_ptr<RtMidiOut> out;
  try {
    out = std::make_unique<RtMidiOut>(ToRtMidi(m_api), MidiClientName());
    out->setErrorCallback(OnRtMidiError, errors.get());
    out->openPort(static_cast<unsigned>(index), "Trillot Output");
  } catch (const RtMidiError&) {
    return nullptr;
  }
  if (errors->failed || !out->isPortOpen()) return nullptr;
  return std::make_shared<RtMidiOutputPort>(std::move(out), std::move(errors), std::move(name));
}

std::unique_ptr<IMidiInput> RtMidiBackend::OpenInput(int index, MidiCallback callback) {
  if (Api() == MidiApi::None || index < 0) return nullptr;
  std::string name = InputName(index);
  if (name.empty()) return nullptr;
  if (m_api == MidiApi::Jack) {
    // RtMidi's JACK input unregisters its port while its client runs, which races libjack's
    // own threads; our own client closes in a safe order.
    return OpenJackMidiInput(MidiClientName(), name, name, std::move(callback));
  }
  auto input = std::make_unique<RtMidiInputPort>(std::move(callback), std::move(name));
  if (!input->Open(ToRtMidi(m_api), index)) return nullptr;
  return input;
}

}  // namespace platform

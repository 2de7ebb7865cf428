// A MIDI input on a JACK server through a client of its own.
#include "platform/midi/JackMidiInput.h"

#include <jack/jack.h>
#include <jack/midiport.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/midi/JackClientLock.h"
#include "platform/midi/JackWait.h"

namespace platform {

namespace {

constexpr int kConnectWaitMs = 5000;
constexpr uint8_t kSysExStart = 0xF0;
constexpr uint8_t kSysExEnd = 0xF7;
constexpr uint8_t kFirstRealTime = 0xF8;
/// A SysEx that never ends must not grow without bound; one longer than this is dropped.
constexpr size_t kMaxSysEx = 1024 * 1024;

class JackInput final : public IMidiInput {
 public:
  JackInput(MidiCallback callback, std::string name) : m_dispatch(std::move(callback)), m_name(std::move(name)) {
    m_sysex.reserve(4096);
  }
  ~JackInput() override { Close(); }
  JackInput(const JackInput&) = delete;
  JackInput& operator=(const JackInput&) = delete;

  bool Open(const std::string& clientName, const std::string& source) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!Start(clientName, source)) return false;
    // As for an output: the connection is in force once the graph in use holds it and a cycle
    // has run since.
    WaitUntilJack([&] { return jack_port_connected_to(m_port, source.c_str()) != 0; }, kConnectWaitMs, m_gone);
    const uint64_t next = m_cycles.load(std::memory_order_acquire) + 2;
    WaitUntilJack([&] { return m_cycles.load(std::memory_order_acquire) >= next; }, kConnectWaitMs, m_gone);
    return true;
  }

  std::string Name() const override { return m_name; }
  bool Connect(std::shared_ptr<IMidiOutput> output) override { return m_dispatch.Connect(std::move(output)); }
  bool Disconnect() override { return m_dispatch.Disconnect(); }

  void Close() override {
    m_dispatch.Shut();
    std::lock_guard<std::mutex> lock(m_mutex);
    std::lock_guard<std::mutex> jack(JackClientMutex());
    TearDown();
  }

  bool IsOpen() const override { return !m_dispatch.IsShut(); }

 private:
  // The port is registered before the client runs: libjack's notification thread walks the
  // port list of a running client.
  bool Start(const std::string& clientName, const std::string& source) {
    std::lock_guard<std::mutex> jack(JackClientMutex());
    jack_status_t status{};
    m_client = jack_client_open(clientName.c_str(), JackNoStartServer, &status);
    if (!m_client) return false;
    m_port = jack_port_register(m_client, "Trillot Input", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
    if (!m_port) return Fail();
    jack_on_shutdown(m_client, &JackInput::OnShutdown, this);
    if (jack_set_process_callback(m_client, &JackInput::OnProcess, this) != 0 || jack_activate(m_client) != 0)
      return Fail();
    if (jack_connect(m_client, source.c_str(), jack_port_name(m_port)) != 0) return Fail();
    return true;
  }

  static int OnProcess(jack_nframes_t frames, void* self) {
    auto* in = static_cast<JackInput*>(self);
    void* buffer = jack_port_get_buffer(in->m_port, frames);
    if (buffer) {
      const uint32_t count = jack_midi_get_event_count(buffer);
      for (uint32_t i = 0; i < count; ++i) {
        jack_midi_event_t event{};
        if (jack_midi_event_get(&event, buffer, i) == 0 && event.buffer && event.size > 0)
          in->Take(event.buffer, event.size);
      }
    }
    in->m_cycles.fetch_add(1, std::memory_order_release);
    return 0;
  }

  static void OnShutdown(void* self) { static_cast<JackInput*>(self)->m_gone = true; }

  // One event is one message, but a sender may split a long SysEx over several events: the
  // pieces are joined until F7. Real-time bytes may come between them and pass at once; any
  // other status ends an unfinished SysEx, which is dropped.
  void Take(const uint8_t* data, size_t size) {
    if (m_inSysEx) {
      if (data[0] >= kFirstRealTime) {
        m_dispatch.Deliver(data, size);
        return;
      }
      if (data[0] < 0x80 || data[0] == kSysExEnd) {
        if (m_sysex.size() + size > kMaxSysEx) {
          m_inSysEx = false;
          return;
        }
        m_sysex.insert(m_sysex.end(), data, data + size);
        if (data[size - 1] == kSysExEnd) {
          m_inSysEx = false;
          m_dispatch.Deliver(m_sysex.data(), m_sysex.size());
        }
        return;
      }
      m_inSysEx = false;
    }
    if (data[0] == kSysExStart && data[size - 1] != kSysExEnd) {
      if (size > kMaxSysEx) return;
      m_sysex.assign(data, data + size);
      m_inSysEx = true;
      return;
    }
    m_dispatch.Deliver(data, size);
  }

  // Deactivating returns once the process callback can no longer run and takes the client out
  // of the graph; only then is the port unregistered. While the client is active, libjack's
  // notification thread walks its port list at every change of the graph's latencies, and an
  // unregister meanwhile frees the element it is reading. Runs holding the JACK client lock.
  void TearDown() {
    if (!m_client) return;
    jack_deactivate(m_client);
    if (m_port) jack_port_unregister(m_client, m_port);
    jack_client_close(m_client);
    m_client = nullptr;
    m_port = nullptr;
  }

  bool Fail() {
    TearDown();
    return false;
  }

  MidiInputDispatch m_dispatch;
  mutable std::mutex m_mutex;
  jack_client_t* m_client = nullptr;
  jack_port_t* m_port = nullptr;
  std::vector<uint8_t> m_sysex;  // a SysEx being joined; the process thread's alone
  bool m_inSysEx = false;
  std::atomic<uint64_t> m_cycles{0};
  std::atomic<bool> m_gone{false};
  const std::string m_name;
};

}  // namespace

std::unique_ptr<IMidiInput> OpenJackMidiInput(const std::string& clientName, const std::string& source,
                                              std::string name, MidiCallback callback) {
  auto input = std::make_unique<JackInput>(std::move(callback), std::move(name));
  if (!input->Open(clientName, source)) return nullptr;
  return input;
}

}  // namespace platform

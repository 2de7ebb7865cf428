// A MIDI output on a JACK server through a client of its own.
#include "platform/midi/JackMidiOutput.h"

#include <jack/jack.h>
#include <jack/midiport.h>
#include <jack/ringbuffer.h>

#include <atomic>
#include <cstdint>
#include <mutex>

#include "platform/midi/JackClientLock.h"
#include "platform/midi/JackWait.h"

namespace platform {

namespace {

using Length = uint32_t;

constexpr int kConnectWaitMs = 5000;

class JackOutput final : public IMidiOutput {
 public:
  explicit JackOutput(std::string name) : m_name(std::move(name)) {}
  ~JackOutput() override { Close(); }
  JackOutput(const JackOutput&) = delete;
  JackOutput& operator=(const JackOutput&) = delete;

  bool Open(const std::string& clientName, const std::string& target) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!Start(clientName, target)) return false;
    // The server puts a new connection in force at the start of a cycle, and under load only
    // some cycles later: wait until the graph in use holds it, then for a cycle to have run,
    // so that the callback has seen how large a message the server carries.
    WaitUntil([&] { return jack_port_connected_to(m_port, target.c_str()) != 0; }, kConnectWaitMs);
    const uint64_t next = m_cycles.load(std::memory_order_acquire) + 2;
    WaitUntil([&] { return m_cycles.load(std::memory_order_acquire) >= next; }, kConnectWaitMs);
    return true;
  }

  // The port is registered before the client runs: libjack's notification thread walks the
  // port list of a running client.
  bool Start(const std::string& clientName, const std::string& target) {
    std::lock_guard<std::mutex> jack(JackClientMutex());
    m_ring = jack_ringbuffer_create(kJackPendingBytes);
    if (!m_ring) return false;
    m_capacity = jack_ringbuffer_write_space(m_ring);
    jack_status_t status{};
    m_client = jack_client_open(clientName.c_str(), JackNoStartServer, &status);
    if (!m_client) return Fail();
    m_port = jack_port_register(m_client, "Trillot Output", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
    if (!m_port) return Fail();
    jack_on_shutdown(m_client, &JackOutput::OnShutdown, this);
    if (jack_set_process_callback(m_client, &JackOutput::OnProcess, this) != 0 || jack_activate(m_client) != 0)
      return Fail();
    if (jack_connect(m_client, jack_port_name(m_port), target.c_str()) != 0) return Fail();
    return true;
  }

  std::string Name() const override { return m_name; }

  bool Send(const uint8_t* data, size_t size) override {
    if (!data || size == 0) return false;
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_client || m_closing || m_gone) return false;
    const size_t needed = sizeof(Length) + size;
    // Larger than the ring, or than the server carries in one cycle: it could never go out.
    const size_t most = m_maxEvent.load(std::memory_order_relaxed);
    if (needed > m_capacity || (most != 0 && size > most)) return false;
    // The ring fills only when the server runs no cycles; wait a while for room, no longer.
    if (jack_ringbuffer_write_space(m_ring) < needed &&
        !WaitUntil([&] { return jack_ringbuffer_write_space(m_ring) >= needed; }))
      return false;
    const auto length = static_cast<Length>(size);
    jack_ringbuffer_write(m_ring, reinterpret_cast<const char*>(&length), sizeof length);
    jack_ringbuffer_write(m_ring, reinterpret_cast<const char*>(data), size);
    return true;
  }

  // The drain runs outside the lock: a send meanwhile (a thru forwarding on JACK's own thread)
  // fails at once instead of waiting for it.
  void Close() override {
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      if (m_closing || (!m_client && !m_ring)) return;
      m_closing = true;
    }
    if (!m_gone) Drain();
    std::lock_guard<std::mutex> lock(m_mutex);
    std::lock_guard<std::mutex> jack(JackClientMutex());
    TearDown();
  }

  bool IsOpen() const override {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_client != nullptr && !m_closing;
  }

 private:
  // Runs on JACK's thread each cycle: moves every whole pending message that fits into the
  // port buffer. A message that an empty buffer cannot hold would block the rest: it is dropped.
  static int OnProcess(jack_nframes_t frames, void* self) {
    auto* out = static_cast<JackOutput*>(self);
    void* buffer = jack_port_get_buffer(out->m_port, frames);
    if (buffer) {
      jack_midi_clear_buffer(buffer);
      out->m_maxEvent.store(jack_midi_max_event_size(buffer), std::memory_order_relaxed);
      Length length = 0;
      while (jack_ringbuffer_peek(out->m_ring, reinterpret_cast<char*>(&length), sizeof length) == sizeof length &&
             jack_ringbuffer_read_space(out->m_ring) >= sizeof length + length) {
        jack_midi_data_t* event = jack_midi_event_reserve(buffer, 0, length);
        if (!event && jack_midi_get_event_count(buffer) > 0) break;  // full: the rest goes next cycle
        jack_ringbuffer_read_advance(out->m_ring, sizeof length);
        if (event)
          jack_ringbuffer_read(out->m_ring, reinterpret_cast<char*>(event), length);
        else
          jack_ringbuffer_read_advance(out->m_ring, length);
      }
    }
    out->m_cycles.fetch_add(1, std::memory_order_release);
    return 0;
  }

  static void OnShutdown(void* self) { static_cast<JackOutput*>(self)->m_gone = true; }

  template <typename Ready>
  bool WaitUntil(Ready ready, int timeoutMs = kJackDrainWaitMs) {
    return WaitUntilJack(ready, timeoutMs, m_gone);
  }

  // Nothing pending, then two more cycles counted: the one that took the last message (it may
  // still have been running) and one after it, which the server starts only once every client
  // downstream has read that message.
  bool Drain() {
    if (!WaitUntil([&] { return jack_ringbuffer_read_space(m_ring) == 0; })) return false;
    const uint64_t target = m_cycles.load(std::memory_order_acquire) + 2;
    return WaitUntil([&] { return m_cycles.load(std::memory_order_acquire) >= target; });
  }

  // The client goes first: deactivating returns once the callback can no longer run and takes
  // the client out of the graph; then the port is unregistered and the client closed, and only
  // then is the ring freed. While the client is active, libjack's notification thread walks its
  // port list at every change of the graph's latencies, so the port never goes before.
  // Runs holding the JACK client lock.
  void TearDown() {
    if (m_client) {
      jack_deactivate(m_client);
      if (m_port) jack_port_unregister(m_client, m_port);
      jack_client_close(m_client);
      m_client = nullptr;
      m_port = nullptr;
    }
    if (m_ring) {
      jack_ringbuffer_free(m_ring);
      m_ring = nullptr;
    }
  }

  bool Fail() {
    TearDown();
    return false;
  }

  mutable std::mutex m_mutex;
  jack_client_t* m_client = nullptr;
  jack_port_t* m_port = nullptr;
  jack_ringbuffer_t* m_ring = nullptr;
  size_t m_capacity = 0;
  bool m_closing = false;  // set once by Close; sends fail from then on
  std::atomic<uint64_t> m_cycles{0};
  std::atomic<size_t> m_maxEvent{0};  // what an empty port buffer holds; 0 until the first cycle
  std::atomic<bool> m_gone{false};
  const std::string m_name;
};

}  // namespace

std::shared_ptr<IMidiOutput> OpenJackMidiOutput(const std::string& clientName, const std::string& target,
                                                std::string name) {
  auto output = std::make_shared<JackOutput>(std::move(name));
  if (!output->Open(clientName, target)) return nullptr;
  return output;
}

}  // namespace platform

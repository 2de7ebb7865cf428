// Test helpers on a JACK server: ports that stand for an external keyboard, a synthesizer and a
// board, as clients of the test's own (libjack directly, not through the layer under test).
#pragma once

#include <gtest/gtest.h>
#include <jack/jack.h>
#include <jack/midiport.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/midi/JackClientLock.h"

namespace jacktest {

using Message = std::vector<uint8_t>;

/// Test clients are named apart per process, as the layer's own are: JACK servers running side
/// by side collide on equal client names.
inline std::string ClientName(const char* role) { return std::string("Test ") + role + " " + std::to_string(getpid()); }

/// A client with an input port, an output port or both (an empty name means none); throws when
/// the server refuses it. Each message
/// that arrives goes to `onMessage` on JACK's process thread; queued messages go out in the next
/// cycle, in order. The ports are registered before the client runs and unregistered only once
/// it is deactivated: libjack's notification thread walks the port list of a running client.
class TestClient {
 public:
  using Handler = std::function<void(const Message&)>;

  TestClient(const char* role, const std::string& inPort, const std::string& outPort, Handler onMessage)
      : m_onMessage(std::move(onMessage)) {
    // Opened and closed under the program's own lock: libjack can deadlock when one thread opens
    // a client while another closes one, and the tests open theirs beside the program's.
    std::lock_guard<std::mutex> jack(platform::JackClientMutex());
    m_client = jack_client_open(ClientName(role).c_str(), JackNoStartServer, nullptr);
    if (!m_client) throw std::runtime_error(std::string("the test's JACK client \"") + role + "\" could not open");
    if (!inPort.empty()) m_in = jack_port_register(m_client, inPort.c_str(), JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
    if (!outPort.empty())
      m_out = jack_port_register(m_client, outPort.c_str(), JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
    const bool ported = (inPort.empty() || m_in) && (outPort.empty() || m_out);
    jack_on_shutdown(m_client, &TestClient::OnShutdown, this);
    if (!ported || jack_set_process_callback(m_client, &TestClient::OnProcess, this) != 0 || jack_activate(m_client) != 0) {
      jack_client_close(m_client);
      throw std::runtime_error(std::string("the test's JACK client \"") + role + "\" could not start");
    }
  }
  ~TestClient() {
    std::lock_guard<std::mutex> jack(platform::JackClientMutex());
    // A client the server has already shut down has no graph to leave: only close it.
    if (!m_shutDown.load()) {
      jack_deactivate(m_client);
      for (jack_port_t* port : {m_in, m_out})
        if (port) jack_port_unregister(m_client, port);
    }
    jack_client_close(m_client);
  }
  TestClient(const TestClient&) = delete;
  TestClient& operator=(const TestClient&) = delete;

  void Queue(const Message& message) {
    std::lock_guard<std::mutex> lock(m_queueMutex);
    m_queue.push_back(message);
  }

 private:
  static void OnShutdown(void* self) { static_cast<TestClient*>(self)->m_shutDown.store(true); }

  static int OnProcess(jack_nframes_t frames, void* self) {
    auto* client = static_cast<TestClient*>(self);
    if (client->m_in) client->Receive(jack_port_get_buffer(client->m_in, frames));
    if (client->m_out) client->Play(jack_port_get_buffer(client->m_out, frames));
    return 0;
  }

  void Receive(void* buffer) {
    if (!buffer || !m_onMessage) return;
    const uint32_t count = jack_midi_get_event_count(buffer);
    for (uint32_t i = 0; i < count; ++i) {
      jack_midi_event_t event{};
      if (jack_midi_event_get(&event, buffer, i) == 0 && event.size > 0)
        m_onMessage(Message(event.buffer, event.buffer + event.size));
    }
  }

  void Play(void* buffer) {
    if (!buffer) return;
    jack_midi_clear_buffer(buffer);
    std::lock_guard<std::mutex> lock(m_queueMutex);
    while (!m_queue.empty() &&
           jack_midi_event_write(buffer, 0, m_queue.front().data(), m_queue.front().size()) == 0)
      m_queue.pop_front();
  }

  Handler m_onMessage;
  std::mutex m_queueMutex;
  std::deque<Message> m_queue;
  jack_client_t* m_client = nullptr;
  jack_port_t* m_in = nullptr;
  jack_port_t* m_out = nullptr;
  std::atomic<bool> m_shutDown{false};
};

/// An input port that keeps every message it receives.
class VirtualSynth {
 public:
  explicit VirtualSynth(const std::string& port)
      : m_client("synth", port, "", [this](const Message& message) { Keep(message); }) {}

  /// Waits up to `ms` for at least `count` messages; all received so far.
  std::vector<Message> WaitFor(size_t count, int ms = 10000) {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_arrived.wait_for(lock, std::chrono::milliseconds(ms), [&] { return m_messages.size() >= count; });
    return m_messages;
  }
  std::vector<Message> Received() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_messages;
  }

 private:
  void Keep(const Message& message) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_messages.push_back(message);
    m_arrived.notify_all();
  }

  std::mutex m_mutex;
  std::condition_variable m_arrived;
  std::vector<Message> m_messages;
  TestClient m_client;  // last: its callback uses the members above
};

/// An output port that plays messages as an external keyboard would.
class VirtualKeyboard {
 public:
  explicit VirtualKeyboard(const std::string& port) : m_client("keyboard", "", port, nullptr) {}

  void Play(const Message& message) { m_client.Queue(message); }

 private:
  TestClient m_client;
};

/// Counts the cycles in which the server found a client late (an xrun).
class XrunCounter {
 public:
  XrunCounter() {
    m_client = jack_client_open(ClientName("xruns").c_str(), JackNoStartServer, nullptr);
    if (!m_client) return;
    jack_set_xrun_callback(m_client, &XrunCounter::OnXrun, this);
    jack_activate(m_client);
  }
  ~XrunCounter() {
    if (!m_client) return;
    jack_deactivate(m_client);
    jack_client_close(m_client);
  }
  int Count() const { return m_count.load(); }

 private:
  static int OnXrun(void* self) {
    ++static_cast<XrunCounter*>(self)->m_count;
    return 0;
  }
  jack_client_t* m_client = nullptr;
  std::atomic<int> m_count{0};
};

/// What a delivery test sent, what arrived (within VirtualSynth::WaitFor's bound), and how many
/// xruns the server had from the first send until the output was closed.
struct Delivery {
  std::vector<Message> sent;
  std::vector<Message> received;
  int xruns = 0;
};

/// Runs `attempt(xruns)` once (it sets up its ports, sends, and gives a Delivery) and expects
/// every message sent to have arrived, whole and in order. The server runs in synchronous mode
/// (scripts/with-jack), where a late client holds a cycle up instead of losing what it carried,
/// so a loss is the program's own; the xruns are named in the failure all the same.
template <typename Attempt>
void ExpectDelivered(Attempt attempt) {
  XrunCounter xruns;
  const Delivery delivery = attempt(xruns);
  if (::testing::Test::HasFailure()) return;
  ASSERT_EQ(delivery.received.size(), delivery.sent.size()) << "the server had " << delivery.xruns << " xruns";
  for (size_t k = 0; k < delivery.sent.size(); ++k) ASSERT_EQ(delivery.received[k], delivery.sent[k]) << "message " << k;
}

/// The index of the first name that contains `part`; -1 when none does.
inline int IndexOf(const std::vector<std::string>& names, const std::string& part) {
  for (size_t i = 0; i < names.size(); ++i)
    if (names[i].find(part) != std::string::npos) return static_cast<int>(i);
  return -1;
}

}  // namespace jacktest

// Test helpers on a JACK server: virtual ports that stand for an external keyboard and a
// synthesizer, opened with RtMidi directly (not through the layer under test).
#pragma once

#include <RtMidi.h>
#include <gtest/gtest.h>
#include <jack/jack.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace jacktest {

using Message = std::vector<uint8_t>;

/// Test clients are named apart per process, as the layer's own are: JACK servers running side
/// by side collide on equal client names.
inline std::string ClientName(const char* role) { return std::string("Test ") + role + " " + std::to_string(getpid()); }

/// A virtual input port that keeps every message it receives.
class VirtualSynth {
 public:
  explicit VirtualSynth(const std::string& port) : m_in(RtMidi::UNIX_JACK, ClientName("synth")) {
    m_in.ignoreTypes(false, false, false);
    m_in.setCallback(&VirtualSynth::OnMessage, this);
    m_in.openVirtualPort(port);
  }
  ~VirtualSynth() {
    m_in.cancelCallback();
    m_in.closePort();
  }

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
  static void OnMessage(double, std::vector<unsigned char>* message, void* self) {
    auto* synth = static_cast<VirtualSynth*>(self);
    std::lock_guard<std::mutex> lock(synth->m_mutex);
    synth->m_messages.emplace_back(message->begin(), message->end());
    synth->m_arrived.notify_all();
  }

  RtMidiIn m_in;
  std::mutex m_mutex;
  std::condition_variable m_arrived;
  std::vector<Message> m_messages;
};

/// A virtual output port that plays messages as an external keyboard would.
class VirtualKeyboard {
 public:
  explicit VirtualKeyboard(const std::string& port) : m_out(RtMidi::UNIX_JACK, ClientName("keyboard")) {
    m_out.openVirtualPort(port);
  }
  ~VirtualKeyboard() { m_out.closePort(); }

  void Play(const Message& message) { m_out.sendMessage(message.data(), message.size()); }

 private:
  RtMidiOut m_out;
};

/// Counts the cycles in which the server found a client late (an xrun). The messages of such a
/// cycle may be lost on the server itself, whatever the sending side does.
class XrunCounter {
 public:
  XrunCounter() {
    m_client = jack_client_open(ClientName("xruns").c_str(), JackNoStartServer, nullptr);
    if (!m_client) return;
    jack_set_xrun_callback(m_client, &XrunCounter::OnXrun, this);
    jack_activate(m_client);
  }
  ~XrunCounter() {
    if (m_client) jack_client_close(m_client);
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

/// What one attempt of a delivery test sent, what arrived, and how many xruns the server had
/// from the first send until the output was closed.
struct Delivery {
  std::vector<Message> sent;
  std::vector<Message> received;
  int xruns = 0;
};

/// Runs `attempt(xruns)` (which sets up its ports, sends, and gives a Delivery) until one
/// attempt can be judged: one that delivered everything, or one with no xrun while it sent,
/// whose losses are ours. A loss with xruns is tried again, at most three times, then skipped.
template <typename Attempt>
void ExpectDeliveredBarringXruns(Attempt attempt) {
  constexpr int kAttempts = 3;
  for (int i = 0; i < kAttempts; ++i) {
    XrunCounter xruns;
    const Delivery delivery = attempt(xruns);
    if (::testing::Test::HasFailure() || delivery.received == delivery.sent) return;
    if (delivery.xruns == 0) {
      ASSERT_EQ(delivery.received.size(), delivery.sent.size());
      for (size_t k = 0; k < delivery.sent.size(); ++k) ASSERT_EQ(delivery.received[k], delivery.sent[k]) << "message " << k;
      return;
    }
  }
  GTEST_SKIP() << "the server was late in cycles (xruns) while every attempt sent; delivery cannot be judged";
}

/// The index of the first name that contains `part`; -1 when none does.
inline int IndexOf(const std::vector<std::string>& names, const std::string& part) {
  for (size_t i = 0; i < names.size(); ++i)
    if (names[i].find(part) != std::string::npos) return static_cast<int>(i);
  return -1;
}

}  // namespace jacktest

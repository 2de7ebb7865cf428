// Test helpers on a JACK server: virtual ports that stand for an external keyboard and a
// synthesizer, opened with RtMidi directly (not through the layer under test).
#pragma once

#include <RtMidi.h>
#include <unistd.h>

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

/// The index of the first name that contains `part`; -1 when none does.
inline int IndexOf(const std::vector<std::string>& names, const std::string& part) {
  for (size_t i = 0; i < names.size(); ++i)
    if (names[i].find(part) != std::string::npos) return static_cast<int>(i);
  return -1;
}

}  // namespace jacktest

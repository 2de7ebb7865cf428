// Counts the process cycles of the JACK server, so that a new connection can be waited for.
#include "platform/midi/JackCycles.h"

#include <jack/jack.h>

#include <chrono>
#include <thread>

#include "platform/midi/MidiApiChoice.h"

namespace platform {

JackCycles::JackCycles() {
  jack_status_t status{};
  m_client = jack_client_open(MidiClientName("cycles").c_str(), JackNoStartServer, &status);
  if (!m_client) return;
  if (jack_set_process_callback(m_client, &JackCycles::OnProcess, this) != 0 || jack_activate(m_client) != 0) {
    jack_client_close(m_client);
    m_client = nullptr;
  }
}

JackCycles::~JackCycles() {
  if (m_client) jack_client_close(m_client);
}

int JackCycles::OnProcess(uint32_t, void* self) {
  static_cast<JackCycles*>(self)->m_cycles.fetch_add(1, std::memory_order_release);
  return 0;
}

bool JackCycles::Wait(int count, int timeoutMs) {
  if (!m_client) return false;
  const uint64_t target = m_cycles.load(std::memory_order_acquire) + static_cast<uint64_t>(count);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (m_cycles.load(std::memory_order_acquire) < target) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

}  // namespace platform

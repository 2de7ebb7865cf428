// Counts the process cycles of the JACK server, so that a new connection can be waited for.
#pragma once

#include <atomic>
#include <cstdint>

typedef struct _jack_client jack_client_t;

namespace platform {

/// A client of the running JACK server with no ports whose process callback counts cycles.
/// A connection made on the server takes effect at a cycle's start, so a message sent before
/// the next cycle began may be written while the new connection is not yet in force.
class JackCycles {
 public:
  JackCycles();
  ~JackCycles();
  JackCycles(const JackCycles&) = delete;
  JackCycles& operator=(const JackCycles&) = delete;

  bool IsRunning() const { return m_client != nullptr; }
  /// Waits until `count` more cycles have begun; false when the server does not run them
  /// within `timeoutMs` (or no client could be opened).
  bool Wait(int count, int timeoutMs);

 private:
  static int OnProcess(uint32_t frames, void* self);

  jack_client_t* m_client = nullptr;
  std::atomic<uint64_t> m_cycles{0};
};

}  // namespace platform

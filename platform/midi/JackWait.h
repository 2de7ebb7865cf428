// Waiting on a JACK client's progress: polls a condition that its process callback makes true.
#pragma once

#include <atomic>
#include <chrono>
#include <thread>

namespace platform {

/// Polls `ready` every millisecond; true once it holds, false when the server has gone (`gone`)
/// or `timeoutMs` have passed first.
template <typename Ready>
bool WaitUntilJack(Ready ready, int timeoutMs, const std::atomic<bool>& gone) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!ready()) {
    if (gone.load() || std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

}  // namespace platform

// One sequence (or phrase) of the stand-in emulator: its state, play time and end-of-play timer.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

/// One row of the state table: a move from `from` (or `fromAlt`, when not -1) to `to`.
struct EmuTransition {
  int32_t from;
  int32_t fromAlt;
  int32_t to;
};

/// States as the player asks for them: 0 none, 1 loaded, 2 opened, 3 standby, 4 playing, 5 paused.
class EmuSequence {
 public:
  using EndNotice = std::function<void()>;

  EmuSequence(uint32_t playMs, EndNotice notice);
  ~EmuSequence();
  EmuSequence(const EmuSequence&) = delete;
  EmuSequence& operator=(const EmuSequence&) = delete;

  int32_t State() const;
  uint32_t PlayMs() const { return m_playMs; }
  uint32_t PositionMs() const;

  /// Makes the move when the state allows it; false, changing nothing, in any other state.
  /// Entering 4 runs the timer that reports the end from its own thread; leaving 4 stops it
  /// (5 keeps the position, 3 rewinds). A refused move out of 4 still waits for an end notice
  /// under way, so that no notice ever follows a Stop or Pause.
  bool Step(const EmuTransition& move);
  /// In standby only.
  bool Seek(uint32_t positionMs, int32_t allowedFrom);
  /// Ends the timer without a notice (Unload, Delete, Terminate and unloading the library).
  void Cancel();

 private:
  bool Allows(const EmuTransition& move) const;
  uint32_t PositionLocked() const;
  void StopTimer(std::unique_lock<std::mutex>& lock);
  void Run(uint64_t generation);

  const uint32_t m_playMs;
  const EndNotice m_notice;
  mutable std::mutex m_mutex;
  std::condition_variable m_wake;
  int32_t m_state = 1;
  uint32_t m_positionMs = 0;
  std::chrono::steady_clock::time_point m_startedAt;
  uint64_t m_generation = 0;
  std::thread m_timer;
};

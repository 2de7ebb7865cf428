// One sequence (or phrase) of the stand-in emulator: its state, play time and end-of-play timer.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

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

  /// Moves from `from` (or `fromAlt`, when not -1) to `to`; false, changing nothing, in any other
  /// state.
  bool Move(int32_t from, int32_t fromAlt, int32_t to);
  /// 3 to 4 or 5 to 4: runs the timer that reports the end from its own thread.
  bool Play(int32_t from, int32_t fromAlt);
  /// 4 to 5: the timer stops and the position is kept.
  bool Pause();
  /// 4 or 5 to 3: the timer stops and the position goes back to 0.
  bool Stop();
  /// In standby only.
  bool Seek(uint32_t positionMs, int32_t allowedFrom);
  /// Ends the timer without a notice (Unload, Delete, Terminate and unloading the library).
  void Cancel();

 private:
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

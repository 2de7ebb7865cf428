// The watcher of a serial board: a thread that polls the board and reports to the main window.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

namespace platform {
class INotifySink;
}

/// The two polls the monitor makes, answered by the application's board-link wrappers.
struct BoardMonitorPolls {
  /// The board's status value; 1 when it answered.
  std::function<int(uint32_t* value)> queryStatus;
  /// The handshake; 1 when both answer characters came.
  std::function<int(char answer[2])> handshake;
};

/// Polls every period: a status query in status mode (flag bit 0), else a handshake. Posts
/// WM_APP+1 to the main window: wParam 1 with a status value (lParam the monitor, or 0 from
/// the sixth equal value in a row on), wParam 0 when a poll failed, after which it ends.
class CBoardMonitor {
 public:
  static constexpr uint32_t kStatusMode = 1;
  static constexpr uint32_t kIdlePeriodMs = 300000;
  static constexpr uint32_t kPlayPeriodMs = 20;
  /// The longest sleep between two looks at the flags and the clock.
  static constexpr uint32_t kSleepMs = 20;
  /// Equal values in a row that still carry the monitor.
  static constexpr int kRepeatsReported = 5;

  /// Stores the period, flags 0, last value 0; starts the thread unless `startThread` is false
  /// (tests call Round themselves).
  CBoardMonitor(uint32_t periodMs, BoardMonitorPolls polls, platform::INotifySink* sink, bool startThread = true);
  /// Waits for the thread without a time limit (Terminate first).
  virtual ~CBoardMonitor();
  CBoardMonitor(const CBoardMonitor&) = delete;
  CBoardMonitor& operator=(const CBoardMonitor&) = delete;

  /// The thread's body: rounds until Terminate or a failed poll; clears the running state.
  void ThreadProc();
  /// One round at the platform clock's now: a poll when the period has passed since the last
  /// one. False when the poll failed and the monitor must end.
  bool Round();
  /// Milliseconds until the next poll is due (0 when due).
  uint32_t TimeToNextPoll() const;

  void SetFlags(uint32_t bits) { m_flags.fetch_or(bits); }
  void ClearFlags(uint32_t bits) { m_flags.fetch_and(~bits); }
  uint32_t GetFlags() const { return m_flags.load(); }
  uint32_t GetParam() const { return m_param.load(); }
  void SetParam(uint32_t value) { m_param.store(value); }
  /// The next poll comes one new period after the last one.
  void SetPeriod(uint32_t periodMs);
  uint32_t GetPeriod() const { return m_period.load(); }
  /// Asks the thread to end and wakes it; it ends at once unless a poll is under way.
  void Terminate();
  /// The keep-running flag.
  bool IsAlive() const { return m_keepRunning.load(); }
  void SetRunning(bool running) { m_running.store(running); }
  bool IsRunning() const { return m_running.load(); }

 private:
  bool PollStatus();
  bool PollHandshake();

  BoardMonitorPolls m_polls;
  platform::INotifySink* m_sink;
  std::atomic<uint32_t> m_period;
  std::atomic<uint32_t> m_flags{0};
  std::atomic<bool> m_running{false};
  std::atomic<bool> m_keepRunning{true};
  std::atomic<uint32_t> m_param{0};
  // Touched by the polling thread only (or the test that calls Round).
  std::atomic<uint32_t> m_last;
  int m_repeats = 0;
  uint32_t m_previous = 0;
  std::mutex m_wakeMutex;
  std::condition_variable m_wake;
  std::thread m_thread;
};

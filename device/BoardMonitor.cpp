// The watcher of a serial board: a thread that polls the board and reports to the main window.
#include "device/BoardMonitor.h"

#include <algorithm>
#include <chrono>

#include "device/AppPlayState.h"
#include "platform/host/NotifySink.h"
#include "platform/sys/Clock.h"

CBoardMonitor::CBoardMonitor(uint32_t periodMs, BoardMonitorPolls polls, platform::INotifySink* sink,
                             bool startThread)
    : m_polls(std::move(polls)), m_sink(sink), m_period(periodMs), m_last(platform::GetTickCount()) {
  if (startThread) {
    m_running.store(true);
    m_thread = std::thread([this] { ThreadProc(); });
  }
}

CBoardMonitor::~CBoardMonitor() {
  Terminate();
  if (m_thread.joinable()) m_thread.join();
}

void CBoardMonitor::SetPeriod(uint32_t periodMs) {
  m_period.store(periodMs);
  m_wake.notify_all();
}

void CBoardMonitor::Terminate() {
  {
    std::lock_guard<std::mutex> lock(m_wakeMutex);
    m_keepRunning.store(false);
  }
  m_wake.notify_all();
}

uint32_t CBoardMonitor::TimeToNextPoll() const {
  const uint32_t since = platform::GetTickCount() - m_last.load();
  const uint32_t period = m_period.load();
  return since > period ? 0 : period - since + 1;
}

void CBoardMonitor::ThreadProc() {
  m_last.store(platform::GetTickCount());
  m_repeats = 0;
  m_previous = 0;
  while (m_keepRunning.load()) {
    if (!Round()) break;
    // A short sleep, cut short by Terminate: never a spin on yields.
    const uint32_t wait = std::clamp<uint32_t>(TimeToNextPoll(), 1, kSleepMs);
    std::unique_lock<std::mutex> lock(m_wakeMutex);
    m_wake.wait_for(lock, std::chrono::milliseconds(wait), [this] { return !m_keepRunning.load(); });
  }
  m_running.store(false);
}

bool CBoardMonitor::Round() {
  const uint32_t now = platform::GetTickCount();
  if (now - m_last.load() <= m_period.load()) return true;
  m_last.store(now);
  return (m_flags.load() & kStatusMode) ? PollStatus() : PollHandshake();
}

bool CBoardMonitor::PollStatus() {
  uint32_t value = 0;
  if (!m_polls.queryStatus || m_polls.queryStatus(&value) != 1) {
    if (m_sink) m_sink->Post(platform::kWmBoardMonitor, 0, reinterpret_cast<intptr_t>(this));
    return false;
  }
  // The count of this value in a row; from the sixth on the report carries no monitor.
  m_repeats = (value == m_previous && m_repeats > 0) ? m_repeats + 1 : 1;
  if (m_repeats > kRepeatsReported) {
    if (m_sink) m_sink->Post(platform::kWmBoardMonitor, 1, 0);
  } else {
    SetParam(value);
    if (m_sink && !appPlayState().suppressPositionPosts.load()) {
      m_sink->Post(platform::kWmBoardMonitor, 1, reinterpret_cast<intptr_t>(this));
    }
  }
  m_previous = value;
  return true;
}

bool CBoardMonitor::PollHandshake() {
  char answer[2] = {0, 0};
  if (m_polls.handshake && m_polls.handshake(answer) != 0) return true;
  if (m_sink) m_sink->Post(platform::kWmBoardMonitor, 0, reinterpret_cast<intptr_t>(this));
  return false;
}

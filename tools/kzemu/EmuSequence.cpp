// One sequence (or phrase) of the stand-in emulator: its state, play time and end-of-play timer.
#include "EmuSequence.h"

#include <algorithm>

EmuSequence::EmuSequence(uint32_t playMs, EndNotice notice) : m_playMs(playMs), m_notice(std::move(notice)) {}

EmuSequence::~EmuSequence() { Cancel(); }

int32_t EmuSequence::State() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_state;
}

uint32_t EmuSequence::PositionMs() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return PositionLocked();
}

uint32_t EmuSequence::PositionLocked() const {
  if (m_state != 4) return m_positionMs;
  auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - m_startedAt);
  return std::min<uint32_t>(m_playMs, m_positionMs + static_cast<uint32_t>(elapsed.count()));
}

bool EmuSequence::Allows(const EmuTransition& move) const {
  return m_state == move.from || (move.fromAlt >= 0 && m_state == move.fromAlt);
}

bool EmuSequence::Step(const EmuTransition& move) {
  std::unique_lock<std::mutex> lock(m_mutex);
  if (!Allows(move)) {
    if (move.from == 4 || move.fromAlt == 4) StopTimer(lock);
    return false;
  }
  const int32_t was = m_state;
  m_positionMs = PositionLocked();
  m_state = move.to;
  if (move.to == 3 && (was == 4 || was == 5)) m_positionMs = 0;
  StopTimer(lock);
  if (move.to == 4) {
    m_startedAt = std::chrono::steady_clock::now();
    uint64_t generation = m_generation;
    m_timer = std::thread([this, generation] { Run(generation); });
  }
  return true;
}

bool EmuSequence::Seek(uint32_t positionMs, int32_t allowedFrom) {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (m_state < allowedFrom || m_state == 4) return false;
  m_positionMs = std::min(positionMs, m_playMs);
  return true;
}

void EmuSequence::Cancel() {
  std::unique_lock<std::mutex> lock(m_mutex);
  StopTimer(lock);
}

// Joins the timer with the lock released, so a notice under way finishes before the caller
// returns: no notice ever follows Stop, Pause or Cancel.
void EmuSequence::StopTimer(std::unique_lock<std::mutex>& lock) {
  ++m_generation;
  if (!m_timer.joinable()) return;
  std::thread timer = std::move(m_timer);
  lock.unlock();
  m_wake.notify_all();
  if (timer.get_id() == std::this_thread::get_id()) {
    timer.detach();  // called from the notice itself
  } else {
    timer.join();
  }
  lock.lock();
}

void EmuSequence::Run(uint64_t generation) {
  std::unique_lock<std::mutex> lock(m_mutex);
  auto deadline = m_startedAt + std::chrono::milliseconds(m_playMs - std::min(m_playMs, m_positionMs));
  if (m_wake.wait_until(lock, deadline, [&] { return m_generation != generation; })) return;
  m_state = 3;
  m_positionMs = 0;
  lock.unlock();
  if (m_notice) m_notice();
}

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
  if (m_state != 4) return m_positionMs;
  auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - m_startedAt);
  return std::min<uint32_t>(m_playMs, m_positionMs + static_cast<uint32_t>(elapsed.count()));
}

bool EmuSequence::Move(int32_t from, int32_t fromAlt, int32_t to) {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (m_state != from && (fromAlt < 0 || m_state != fromAlt)) return false;
  m_state = to;
  return true;
}

bool EmuSequence::Play(int32_t from, int32_t fromAlt) {
  std::unique_lock<std::mutex> lock(m_mutex);
  if (m_state != from && (fromAlt < 0 || m_state != fromAlt)) return false;
  StopTimer(lock);
  m_state = 4;
  m_startedAt = std::chrono::steady_clock::now();
  uint64_t generation = ++m_generation;
  m_timer = std::thread([this, generation] { Run(generation); });
  return true;
}

bool EmuSequence::Pause() {
  std::unique_lock<std::mutex> lock(m_mutex);
  if (m_state != 4) {
    StopTimer(lock);  // an end notice under way finishes before the refusal returns
    return false;
  }
  auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - m_startedAt);
  m_positionMs = std::min<uint32_t>(m_playMs, m_positionMs + static_cast<uint32_t>(elapsed.count()));
  m_state = 5;
  StopTimer(lock);
  return true;
}

bool EmuSequence::Stop() {
  std::unique_lock<std::mutex> lock(m_mutex);
  if (m_state != 4 && m_state != 5) {
    StopTimer(lock);
    return false;
  }
  m_state = 3;
  m_positionMs = 0;
  StopTimer(lock);
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

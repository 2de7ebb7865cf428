// The system tick count.
#include "platform/sys/Clock.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace platform {
namespace {

SteadyClock& DefaultClock() {
  static SteadyClock clock;
  return clock;
}

std::atomic<IClock*>& Installed() {
  static std::atomic<IClock*> installed{nullptr};
  return installed;
}

}  // namespace

uint32_t SteadyClock::NowMs() const {
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now().time_since_epoch());
  return static_cast<uint32_t>(ms.count());
}

void IClock::Sleep(uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

void ManualClock::Sleep(uint32_t ms) {
  Advance(ms);
  // Another thread waiting on the same clock gets its turn.
  std::this_thread::yield();
}

IClock& clock() {
  IClock* installed = Installed().load(std::memory_order_acquire);
  return installed ? *installed : DefaultClock();
}

uint32_t GetTickCount() { return clock().NowMs(); }

void SleepMs(uint32_t ms) { clock().Sleep(ms); }

ScopedClock::ScopedClock(IClock& c) : m_previous(Installed().exchange(&c)) {}

ScopedClock::~ScopedClock() { Installed().store(m_previous); }

}  // namespace platform

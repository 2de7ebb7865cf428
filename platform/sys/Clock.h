// The system tick count in milliseconds: a monotonic clock that tests can replace.
#pragma once

#include <atomic>
#include <cstdint>

namespace platform {

/// Milliseconds as a 32-bit count that wraps, as the system tick count does.
class IClock {
 public:
  virtual ~IClock() = default;
  virtual uint32_t NowMs() const = 0;
  /// Waits `ms` milliseconds of this clock's time; the default sleeps for real.
  virtual void Sleep(uint32_t ms);
};

/// std::chrono::steady_clock; never goes back when the wall clock is set.
class SteadyClock final : public IClock {
 public:
  uint32_t NowMs() const override;
};

/// A clock that moves only when told to (tests); safe to read and move from several threads.
/// Sleeping on it moves it instead of waiting, so timed waits run at once.
class ManualClock final : public IClock {
 public:
  uint32_t NowMs() const override { return m_now.load(std::memory_order_acquire); }
  void Sleep(uint32_t ms) override;
  void Set(uint32_t ms) { m_now.store(ms, std::memory_order_release); }
  void Advance(uint32_t ms) { m_now.fetch_add(ms, std::memory_order_acq_rel); }

 private:
  std::atomic<uint32_t> m_now{0};
};

/// The installed clock (a SteadyClock unless a ScopedClock is alive).
IClock& clock();
/// clock().NowMs(): the system tick count.
uint32_t GetTickCount();
/// clock().Sleep(ms): every timed wait of the program sleeps through this, so that a manual
/// clock runs its waits without waiting.
void SleepMs(uint32_t ms);

/// Installs a clock for the lifetime of the object, restoring the previous one after.
class ScopedClock {
 public:
  explicit ScopedClock(IClock& clock);
  ~ScopedClock();
  ScopedClock(const ScopedClock&) = delete;
  ScopedClock& operator=(const ScopedClock&) = delete;

 private:
  IClock* m_previous;
};

}  // namespace platform

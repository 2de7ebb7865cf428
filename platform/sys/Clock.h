// The system tick count in milliseconds: a monotonic clock that tests can replace.
#pragma once

#include <cstdint>

namespace platform {

/// Milliseconds as a 32-bit count that wraps, as the system tick count does.
class IClock {
 public:
  virtual ~IClock() = default;
  virtual uint32_t NowMs() const = 0;
};

/// std::chrono::steady_clock; never goes back when the wall clock is set.
class SteadyClock final : public IClock {
 public:
  uint32_t NowMs() const override;
};

/// A clock that moves only when told to (tests).
class ManualClock final : public IClock {
 public:
  uint32_t NowMs() const override { return m_now; }
  void Set(uint32_t ms) { m_now = ms; }
  void Advance(uint32_t ms) { m_now += ms; }

 private:
  uint32_t m_now = 0;
};

/// The installed clock (a SteadyClock unless a ScopedClock is alive).
IClock& clock();
/// clock().NowMs(): the system tick count.
uint32_t GetTickCount();

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

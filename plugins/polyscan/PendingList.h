// Register writes that the chip driver holds back until a later time.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace polyscan {

inline constexpr size_t kPendingCapacity = 100;

class PendingList {
 public:
  /// Queues a write for the given time; throws CheckFailure{CNVERR_FAILED} when all entries
  /// are taken.
  void Add(uint64_t dueMicros, uint8_t slot, bool keyOn);
  /// Drops every write due at or before the time.
  void FlushUntil(uint64_t nowMicros);
  void FlushAll() { m_count = 0; }
  size_t Size() const { return m_count; }

 private:
  struct Entry {
    uint64_t due;
    uint8_t slot;
    bool keyOn;
  };
  std::array<Entry, kPendingCapacity> m_entries{};
  size_t m_count = 0;
};

}  // namespace polyscan

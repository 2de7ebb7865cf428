// A growable array of pointers that does not own what it points to.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <new>

#include "plugins/velkgate/VelkgateFlags.h"

namespace velkgate {

template <class T>
class CPtrArray {
 public:
  static constexpr int32_t kGrowBy = 100;

  explicit CPtrArray(int32_t capacity = kGrowBy) { Grow(capacity > 0 ? capacity : kGrowBy); }
  CPtrArray(const CPtrArray&) = delete;
  CPtrArray& operator=(const CPtrArray&) = delete;

  /// Appends; a full array grows by at least 100 entries, by half its size once that is more,
  /// so that filling it stays linear (throws 999 when it cannot).
  void Add(T* item) {
    if (m_count == m_capacity) {
      const int64_t grown = int64_t{m_capacity} + std::max(kGrowBy, m_capacity / 2);
      if (grown > INT32_MAX) throw kErrArrayGrowth;
      Grow(static_cast<int32_t>(grown));
    }
    m_items[m_count++] = item;
  }
  int32_t GetCount() const { return m_count; }
  int32_t GetCapacity() const { return m_capacity; }
  T* operator[](int32_t i) const { return m_items[i]; }
  T* GetAt(int32_t i) const { return (i >= 0 && i < m_count) ? m_items[i] : nullptr; }
  void RemoveAll() { m_count = 0; }
  /// Drops the entries for which keep() is false, keeping the order of the rest.
  template <class Keep>
  void Compact(Keep keep) {
    int32_t out = 0;
    for (int32_t i = 0; i < m_count; ++i)
      if (keep(m_items[i])) m_items[out++] = m_items[i];
    m_count = out;
  }

  T** begin() const { return m_items.get(); }
  T** end() const { return m_items.get() + m_count; }

 private:
  void Grow(int32_t capacity) {
    std::unique_ptr<T*[]> items(new (std::nothrow) T*[static_cast<size_t>(capacity)]);
    if (!items) throw kErrArrayGrowth;
    if (m_count > 0) std::copy(m_items.get(), m_items.get() + m_count, items.get());
    m_items = std::move(items);
    m_capacity = capacity;
  }

  std::unique_ptr<T*[]> m_items;
  int32_t m_count = 0;
  int32_t m_capacity = 0;
};

}  // namespace velkgate

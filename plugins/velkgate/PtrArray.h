// A growable array of pointers that does not own what it points to.
#pragma once

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

  /// Appends; a full array grows by 100 entries (throws 999 when it cannot).
  void Add(T* item) {
    if (m_count == m_capacity) Grow(m_capacity + kGrowBy);
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
    for (int32_t i = 0; i < m_count; ++i) items[i] = m_items[i];
    m_items = std::move(items);
    m_capacity = capacity;
  }

  std::unique_ptr<T*[]> m_items;
  int32_t m_count = 0;
  int32_t m_capacity = 0;
};

}  // namespace velkgate

// The growable pointer array.
#include "song/GrowPtrArray.h"

#include <algorithm>
#include <new>

CGrowPtrArray::CGrowPtrArray(uint32_t n) { Grow(n); }

void CGrowPtrArray::Grow(uint32_t capacity) {
  if (capacity == 0) return;
  // Entries past the count are never read: no need to clear them.
  std::unique_ptr<void*[]> grown(new (std::nothrow) void*[capacity]);
  if (!grown) throw kErrCannotGrow;
  std::copy(m_data.get(), m_data.get() + m_count, grown.get());
  m_data = std::move(grown);
  m_capacity = capacity;
}

uint32_t CGrowPtrArray::NextCapacity() const {
  const uint32_t step = std::max(kGrowth, m_capacity / 2);
  if (m_capacity > UINT32_MAX - step) throw kErrCannotGrow;
  return m_capacity + step;
}

uint32_t CGrowPtrArray::Add(void* p) {
  if (m_count == m_capacity) Grow(NextCapacity());
  m_data[m_count++] = p;
  return m_count;
}

void CGrowPtrArray::RemoveAt(int32_t i) {
  if (i < 0 || static_cast<uint32_t>(i) >= m_count) return;
  std::copy(m_data.get() + i + 1, m_data.get() + m_count, m_data.get() + i);
  --m_count;
}

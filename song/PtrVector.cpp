// Insertion into the pointer vector.
#include "song/PtrVector.h"

#include <algorithm>

uint32_t CPtrVector::InsertAt(int32_t i, void* value) {
  if (i < 0 || static_cast<uint32_t>(i) >= m_count) return Add(value);
  // Grows one step early, when the insertion would fill the array.
  if (m_count + 1 >= m_capacity) Grow(NextCapacity());
  std::copy_backward(m_data.get() + i, m_data.get() + m_count, m_data.get() + m_count + 1);
  m_data[i] = value;
  return ++m_count;
}

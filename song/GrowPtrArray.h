// A growable array of pointers; it never owns what they point to.
#pragma once

#include <cstdint>
#include <memory>

/// Growth failures throw the integer 999.
inline constexpr int kErrCannotGrow = 999;

class CGrowPtrArray {
 public:
  static constexpr uint32_t kGrowth = 100;

  /// Room for n pointers, none held. Throws 999 when the room cannot be had.
  explicit CGrowPtrArray(uint32_t n = 0);
  CGrowPtrArray(const CGrowPtrArray&) = delete;
  CGrowPtrArray& operator=(const CGrowPtrArray&) = delete;
  virtual ~CGrowPtrArray() = default;

  /// Appends p, growing when full (throws 999 when it cannot); the new count.
  uint32_t Add(void* p);
  /// Element i, or null when i is not below the count.
  void* GetAt(uint32_t i) const { return i < m_count ? m_data[i] : nullptr; }
  /// Forgets every element (they are not deleted).
  void RemoveAll() { m_count = 0; }
  /// Closes the gap of element i; an i outside 0..count-1 is ignored.
  void RemoveAt(int32_t i);

  uint32_t GetCount() const { return m_count; }
  uint32_t GetCapacity() const { return m_capacity; }

 protected:
  /// Makes room for `capacity` entries, keeping the elements; throws 999 when it cannot.
  void Grow(uint32_t capacity);
  /// The capacity after one growth step: at least 100 more, half as much again once that is
  /// more, so that filling the array stays linear. Throws 999 past the 32-bit range.
  uint32_t NextCapacity() const;

  std::unique_ptr<void*[]> m_data;
  uint32_t m_capacity = 0;
  uint32_t m_count = 0;
};

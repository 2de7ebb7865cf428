// A key of three 32-bit values copied from an event or a list element.
#pragma once

#include <cstdint>

class CMidiMsg;

class CMsgKey {
 public:
  CMsgKey() = default;
  CMsgKey(uint32_t first, uint32_t second, uint32_t third) : m_values{first, second, third} {}
  virtual ~CMsgKey() = default;

  /// Copies the three values of another key.
  void Set(const CMsgKey& source);
  /// Copies an event's tick, length and first data word (its first four data bytes, the first
  /// as the lowest; missing bytes count as 0).
  void Set(const CMidiMsg& source);
  void Set(uint32_t first, uint32_t second, uint32_t third);

  uint32_t GetFirst() const { return m_values[0]; }
  uint32_t GetSecond() const { return m_values[1]; }
  uint32_t GetThird() const { return m_values[2]; }

 private:
  uint32_t m_values[3] = {0, 0, 0};
};

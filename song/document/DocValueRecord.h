// A record of four values that the generation-2 VELK reader stores and its writer reads.
#pragma once

#include <cstdint>

class CDocValueRecord {
 public:
  CDocValueRecord() = default;
  virtual ~CDocValueRecord() = default;

  int32_t GetValue(int i) const { return (i >= 0 && i < 4) ? m_values[i] : 0; }
  void SetSecond(int32_t v) { m_values[1] = v; }
  void SetThird(int32_t v) { m_values[2] = v; }
  void SetValue(int i, int32_t v) {
    if (i >= 0 && i < 4) m_values[i] = v;
  }
  void Clear() { m_values[0] = m_values[1] = m_values[2] = m_values[3] = 0; }

 private:
  int32_t m_values[4] = {0, 0, 0, 0};
};

// An exact position on a time grid: spans of source ticks at their own rates add up as a
// fraction, so the one rounding at the end (add one half and truncate) sees the true value.
#pragma once

#include <cstdint>
#include <numeric>

class TickFraction {
 public:
  /// This position plus `ticks` x `mul` / `div` (div of 0 counts as 1).
  TickFraction Plus(uint64_t ticks, uint64_t mul, uint64_t div) const {
    if (div == 0) div = 1;
    TickFraction r;
    r.m_num = m_num * div + static_cast<Wide>(ticks) * mul * m_den;
    r.m_den = static_cast<Wide>(m_den) * div;
    r.Reduce();
    return r;
  }

  /// The position in units of `unit`, rounded by adding one half and truncating.
  uint64_t Round(uint64_t unit = 1) const {
    if (unit == 0) unit = 1;
    const Wide den = static_cast<Wide>(m_den) * unit;
    return static_cast<uint64_t>((2 * m_num + den) / (2 * den));
  }

  bool operator==(const TickFraction&) const = default;

 private:
  using Wide = unsigned __int128;
  // Past this many parts of a tick the fraction is kept to the nearest 1/2^40: only songs with
  // many tempo changes get there, and half a tick stays exact in that form.
  static constexpr uint64_t kMaxDen = uint64_t{1} << 40;

  static Wide Gcd(Wide a, Wide b) {
    while (b != 0) {
      Wide t = a % b;
      a = b;
      b = t;
    }
    return a;
  }

  void Reduce() {
    Wide g = Gcd(m_num, m_den);
    if (g > 1) {
      m_num /= g;
      m_den /= g;
    }
    if (m_den > kMaxDen) {
      const Wide whole = m_num / m_den;
      const Wide part = m_num % m_den;
      m_num = whole * kMaxDen + (part * kMaxDen * 2 + m_den) / (2 * m_den);
      m_den = kMaxDen;
    }
  }

  Wide m_num = 0;
  Wide m_den = 1;
};

#include "voice/WavePicture.h"

#include <algorithm>

namespace voiceedit {

std::vector<WaveColumn> WaveColumns(const int16_t* s, uint32_t n, int w, int h) {
  std::vector<WaveColumn> out;
  if (!s || n == 0 || w <= 0) return out;
  out.reserve(static_cast<size_t>(w));
  const int64_t half = h / 2;
  for (int x = 0; x < w; ++x) {
    const uint64_t lo = uint64_t(x) * n / uint64_t(w);
    uint64_t hi = uint64_t(x + 1) * n / uint64_t(w);
    if (lo >= n) break;
    if (hi <= lo) hi = lo + 1;
    int mn = s[lo];
    int mx = s[lo];
    for (uint64_t i = lo + 1; i < hi; ++i) {
      mn = std::min<int>(mn, s[i]);
      mx = std::max<int>(mx, s[i]);
    }
    out.push_back({x, static_cast<int>(half * (32768 - mx) / 32768), static_cast<int>(half * (32768 - mn) / 32768 + 1)});
  }
  return out;
}

int ColumnOfSample(uint32_t index, uint32_t n, int w) {
  if (index >= n || w <= 0) return -1;
  // The last column whose range starts at or before the sample; its range then holds it.
  return static_cast<int>((uint64_t(index + 1) * uint64_t(w) - 1) / n);
}

std::vector<int16_t> SamplesFromBigEndian(const uint8_t* bytes, uint32_t size) {
  std::vector<int16_t> out(size / 2);
  for (size_t i = 0; i < out.size(); ++i) {
    out[i] = static_cast<int16_t>(static_cast<uint16_t>(bytes[2 * i] << 8 | bytes[2 * i + 1]));
  }
  return out;
}

}  // namespace voiceedit

// The geometry of the wave pictures: one vertical line per pixel column from the minimum and
// maximum of the samples that fall in it, and the columns of the loop and end points.
#pragma once

#include <cstdint>
#include <vector>

namespace voiceedit {

struct WaveColumn {
  int x;
  int top;     // h/2 * (32768 - max) / 32768
  int bottom;  // h/2 * (32768 - min) / 32768 + 1
};

/// Columns 0..w-1 over n samples; a column whose range x*n/w..(x+1)*n/w is empty (fewer samples
/// than columns) draws the sample at x*n/w. None for n or w of 0.
std::vector<WaveColumn> WaveColumns(const int16_t* samples, uint32_t n, int w, int h);

/// The column that holds sample `index`, -1 when the index lies outside the samples.
int ColumnOfSample(uint32_t index, uint32_t n, int w);

/// 16-bit samples from big-endian bytes (the expanded form of the wave holder).
std::vector<int16_t> SamplesFromBigEndian(const uint8_t* bytes, uint32_t size);

}  // namespace voiceedit

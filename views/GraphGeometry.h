// The graph mechanics of the event-density and stream-size windows: layout, time and byte-rate
// mapping, the time and measure axes, without any window.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

/// One point of a graph: a time position and the byte rate there.
struct GraphSample {
  uint32_t time = 0;
  uint32_t rate = 0;
  bool operator==(const GraphSample&) const = default;
};

/// A time signature of the song: numerator n over 2^denominatorPower from its position on.
struct GraphMeter {
  uint32_t position = 0;
  uint32_t numerator = 4;
  uint32_t denominatorPower = 2;
};

/// A vertical grid line of the time axis, with its label when it carries one.
struct AxisMark {
  uint64_t position = 0;
  bool labelled = false;
  uint32_t label = 0;
  bool operator==(const AxisMark&) const = default;
};

/// Where the parts of a graph window's client area lie; the graph area spans left..right and
/// top..bottom, the time strip lies under bottom.
struct GraphLayout {
  static constexpr int kTitleHeight = 15;
  static constexpr int kAxisWidth = 40;
  static constexpr int kBottomHeight = 15;

  int clientWidth = 0;
  int clientHeight = 0;
  int left = kAxisWidth;
  int top = kTitleHeight;
  int right = kAxisWidth;
  int bottom = kTitleHeight;

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool Contains(int64_t x, int64_t y) const { return x >= left && x < right && y >= top && y <= bottom; }
};

namespace graph {

constexpr int kZoomMin = 1;
constexpr int kZoomMax = 500;
constexpr int kZoomStart = 40;
constexpr uint32_t kLineStep = 100;

/// The layout of a client area (CalcLayout of both graph windows); never negative sizes.
GraphLayout CalcLayout(int clientWidth, int clientHeight);

/// Zooms below 1 (an untouched zoom bar) count as 1.
int EffectiveZoom(int zoom);
/// x of a time position: left + (time - start) / zoom.
int64_t TimeToX(const GraphLayout& layout, uint64_t time, uint32_t start, int zoom);
/// The last time position the graph area shows.
uint64_t VisibleEnd(const GraphLayout& layout, uint32_t start, int zoom);
/// y of a byte rate: bottom - height x min(rate, fullScale) / fullScale, in 64 bits.
int ValueToY(const GraphLayout& layout, uint64_t rate, uint64_t fullScale);

/// The seconds between labels of the time axis at a zoom: 1, 2, 5, 10 or 20.
uint32_t TimeLabelStepSeconds(int zoom);
/// Grid lines at the whole seconds of the label step within start..end (milliseconds), each
/// labelled with its second.
std::vector<AxisMark> TimeAxisMarks(uint32_t start, uint64_t end, int zoom);
/// Grid lines of the measure axis within start..end (time units of tick unit `tickUnit`),
/// labelled with the measure number where a line falls on a measure's start. Signatures with
/// numerator 0 or a beat below one unit are left out.
std::vector<AxisMark> MeasureAxisMarks(uint32_t tickUnit, const std::vector<GraphMeter>& meters, uint32_t start,
                                       uint64_t end, int zoom);

/// The stream-size graph's full scale: 1000 + the larger of the limit and the stream rate
/// (all ones: none), in 64 bits so no rate wraps it to 0.
uint64_t StreamFullScale(uint32_t limit, uint32_t streamRate);

/// The index range [first, last) of time-sorted samples from start up to end; with
/// `oneMore`, the first sample past end is included (a line runs to it).
std::pair<size_t, size_t> VisibleSamples(const std::vector<GraphSample>& samples, uint32_t start, uint64_t end,
                                         bool oneMore = false);

}  // namespace graph

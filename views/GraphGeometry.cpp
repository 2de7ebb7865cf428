#include "views/GraphGeometry.h"

#include <algorithm>

namespace graph {
namespace {

/// Spacing of the measure grid as a multiple of U / denominator, by zoom.
uint64_t MeasureSpacingFactor(int zoom) {
  if (zoom <= 20) return 4;  // one beat
  if (zoom <= 40) return 8;
  if (zoom <= 80) return 16;
  if (zoom <= 200) return 32;
  if (zoom <= 400) return 64;
  return 128;
}

struct MeterSegment {
  uint64_t start = 0;
  uint64_t numerator = 4;
  uint64_t denominator = 4;
  uint64_t firstMeasure = 1;  // number of the measure that starts at `start`
};

/// The meters in force, starting with 4/4; a signature whose beat is below one unit or whose
/// numerator is 0 would make a measure or a grid step 0 long and is ignored.
std::vector<MeterSegment> MeterSegments(uint64_t unit, std::vector<GraphMeter> meters) {
  std::stable_sort(meters.begin(), meters.end(),
                   [](const GraphMeter& a, const GraphMeter& b) { return a.position < b.position; });
  std::vector<MeterSegment> segments{MeterSegment{}};
  for (const GraphMeter& m : meters) {
    if (m.numerator == 0 || m.denominatorPower > 40) continue;
    const uint64_t denominator = uint64_t{1} << m.denominatorPower;
    if (4 * unit / denominator < 1) continue;
    MeterSegment& last = segments.back();
    const uint64_t measure = last.numerator * 4 * unit / last.denominator;
    const uint64_t completed = (m.position - last.start) / measure;
    MeterSegment next{m.position, m.numerator, denominator, last.firstMeasure + completed};
    // A signature where the previous one starts replaces it.
    if (m.position == last.start) {
      last = next;
    } else {
      segments.push_back(next);
    }
  }
  return segments;
}

}  // namespace

GraphLayout CalcLayout(int clientWidth, int clientHeight) {
  GraphLayout l;
  l.clientWidth = std::max(0, clientWidth);
  l.clientHeight = std::max(0, clientHeight);
  l.right = std::max(l.left, l.clientWidth);
  l.bottom = std::max(l.top, l.clientHeight - GraphLayout::kBottomHeight);
  return l;
}

int EffectiveZoom(int zoom) { return std::max(zoom, 1); }

int64_t TimeToX(const GraphLayout& layout, uint64_t time, uint32_t start, int zoom) {
  const int64_t offset = static_cast<int64_t>(time) - static_cast<int64_t>(start);
  return layout.left + offset / EffectiveZoom(zoom);
}

uint64_t VisibleEnd(const GraphLayout& layout, uint32_t start, int zoom) {
  return uint64_t{start} + static_cast<uint64_t>(std::max(layout.Width(), 0)) * static_cast<uint64_t>(EffectiveZoom(zoom));
}

int ValueToY(const GraphLayout& layout, uint64_t rate, uint64_t fullScale) {
  if (fullScale == 0) return layout.bottom;
  const uint64_t clipped = std::min(rate, fullScale);
  const uint64_t height = static_cast<uint64_t>(std::max(layout.Height(), 0));
  return layout.bottom - static_cast<int>(height * clipped / fullScale);
}

uint32_t TimeLabelStepSeconds(int zoom) {
  if (zoom <= 40) return 1;
  if (zoom <= 80) return 2;
  if (zoom <= 200) return 5;
  if (zoom <= 400) return 10;
  return 20;
}

std::vector<AxisMark> TimeAxisMarks(uint32_t start, uint64_t end, int zoom) {
  const uint64_t step = uint64_t{TimeLabelStepSeconds(zoom)} * 1000;
  std::vector<AxisMark> marks;
  for (uint64_t t = (start + step - 1) / step * step; t <= end; t += step)
    marks.push_back({t, true, static_cast<uint32_t>(t / 1000)});
  return marks;
}

std::vector<AxisMark> MeasureAxisMarks(uint32_t tickUnit, const std::vector<GraphMeter>& meters, uint32_t start,
                                       uint64_t end, int zoom) {
  std::vector<AxisMark> marks;
  if (tickUnit == 0) return marks;
  const std::vector<MeterSegment> segments = MeterSegments(tickUnit, meters);
  const uint64_t factor = MeasureSpacingFactor(EffectiveZoom(zoom));
  for (size_t i = 0; i < segments.size(); ++i) {
    const MeterSegment& s = segments[i];
    const uint64_t segmentEnd = i + 1 < segments.size() ? segments[i + 1].start : end + 1;
    if (segmentEnd <= start || s.start > end) continue;
    const uint64_t spacing = std::max<uint64_t>(1, factor * tickUnit / s.denominator);
    const uint64_t measure = std::max<uint64_t>(1, s.numerator * 4 * tickUnit / s.denominator);
    const uint64_t from = std::max<uint64_t>(start, s.start);
    for (uint64_t p = s.start + (from - s.start + spacing - 1) / spacing * spacing; p < segmentEnd && p <= end;
         p += spacing) {
      const uint64_t offset = p - s.start;
      AxisMark mark{p, false, 0};
      if (offset % measure == 0) {
        mark.labelled = true;
        mark.label = static_cast<uint32_t>(s.firstMeasure + offset / measure);
      }
      marks.push_back(mark);
    }
  }
  return marks;
}

uint64_t StreamFullScale(uint32_t limit, uint32_t streamRate) {
  const uint32_t rate = streamRate == 0xFFFFFFFFu ? 0 : streamRate;
  return 1000 + uint64_t{std::max(limit, rate)};
}

std::pair<size_t, size_t> VisibleSamples(const std::vector<GraphSample>& samples, uint32_t start, uint64_t end,
                                         bool oneMore) {
  const auto byTime = [](const GraphSample& s, uint64_t t) { return s.time < t; };
  const auto first = std::lower_bound(samples.begin(), samples.end(), uint64_t{start}, byTime);
  auto last = std::upper_bound(first, samples.end(), end,
                               [](uint64_t t, const GraphSample& s) { return t < s.time; });
  if (oneMore && last != samples.end()) ++last;
  return {static_cast<size_t>(first - samples.begin()), static_cast<size_t>(last - samples.begin())};
}

}  // namespace graph

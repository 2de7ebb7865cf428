// Tests of the graph mechanics: layout, label spacing, the measure axis, mapping and full scale.
#include "views/GraphGeometry.h"

#include <gtest/gtest.h>

namespace {

std::vector<uint32_t> Labels(const std::vector<AxisMark>& marks, std::vector<uint64_t>* positions = nullptr) {
  std::vector<uint32_t> out;
  for (const AxisMark& m : marks) {
    if (!m.labelled) continue;
    out.push_back(m.label);
    if (positions) positions->push_back(m.position);
  }
  return out;
}

TEST(GraphGeometry, LayoutHasTitleAxisAndBottomStrips) {
  const GraphLayout l = graph::CalcLayout(400, 300);
  EXPECT_EQ(l.left, 40);
  EXPECT_EQ(l.top, 15);
  EXPECT_EQ(l.right, 400);
  EXPECT_EQ(l.bottom, 285);
  EXPECT_EQ(l.Height(), 270);
  const GraphLayout tiny = graph::CalcLayout(10, 5);
  EXPECT_GE(tiny.Width(), 0);
  EXPECT_GE(tiny.Height(), 0);
}

TEST(GraphGeometry, TimeLabelsFollowTheZoom) {
  struct Case {
    int zoom;
    uint32_t step;
  } cases[] = {{1, 1}, {40, 1}, {41, 2}, {80, 2}, {81, 5}, {100, 5}, {200, 5}, {201, 10}, {400, 10}, {401, 20}};
  for (const Case& c : cases) EXPECT_EQ(graph::TimeLabelStepSeconds(c.zoom), c.step) << c.zoom;
  EXPECT_EQ(Labels(graph::TimeAxisMarks(0, 4000, 40)), (std::vector<uint32_t>{0, 1, 2, 3, 4}));
  EXPECT_EQ(Labels(graph::TimeAxisMarks(0, 20000, 100)), (std::vector<uint32_t>{0, 5, 10, 15, 20}));
  // From a scrolled start the first line is the next whole step.
  EXPECT_EQ(Labels(graph::TimeAxisMarks(6500, 16000, 100)), (std::vector<uint32_t>{10, 15}));
}

TEST(GraphGeometry, MeasureAxisLabelsMeasureStartsUnderTheGrid) {
  std::vector<uint64_t> at;
  EXPECT_EQ(Labels(graph::MeasureAxisMarks(480, {}, 0, 4000, 10), &at), (std::vector<uint32_t>{1, 2, 3}));
  EXPECT_EQ(at, (std::vector<uint64_t>{0, 1920, 3840}));
  // Zoom 10: a grid line on every beat.
  EXPECT_EQ(graph::MeasureAxisMarks(480, {}, 0, 4000, 10).size(), 9u);

  at.clear();
  const std::vector<GraphMeter> threeFour{{0, 3, 2}};
  EXPECT_EQ(Labels(graph::MeasureAxisMarks(480, threeFour, 0, 6000, 30), &at), (std::vector<uint32_t>{1, 3, 5}));
  EXPECT_EQ(at, (std::vector<uint64_t>{0, 2880, 5760}));
}

TEST(GraphGeometry, MeasuresAreCountedAcrossMeterChanges) {
  // Two bars of 4/4, then 3/4 from 3840: measures 3 and 4 start at 3840 and 5280.
  std::vector<uint64_t> at;
  const std::vector<GraphMeter> meters{{3840, 3, 2}};
  EXPECT_EQ(Labels(graph::MeasureAxisMarks(480, meters, 0, 5300, 10), &at), (std::vector<uint32_t>{1, 2, 3, 4}));
  EXPECT_EQ(at, (std::vector<uint64_t>{0, 1920, 3840, 5280}));
  // Scrolled past the change, the count carries on.
  at.clear();
  EXPECT_EQ(Labels(graph::MeasureAxisMarks(480, meters, 4000, 7000, 10), &at), (std::vector<uint32_t>{4, 5}));
  EXPECT_EQ(at, (std::vector<uint64_t>{5280, 6720}));
}

TEST(GraphGeometry, BrokenSignaturesAndTinyUnitsEndAndAreIgnored) {
  // Numerator 0 and a beat below one unit (tick unit 8 over 64) would make steps of 0.
  const std::vector<GraphMeter> broken{{0, 0, 2}, {100, 4, 6}};
  const std::vector<AxisMark> marks = graph::MeasureAxisMarks(8, broken, 0, 200, 10);
  ASSERT_FALSE(marks.empty());
  EXPECT_EQ(Labels(marks).front(), 1u);
  EXPECT_EQ(marks[1].position, 8u) << "still 4/4: a beat of 8 units";
  EXPECT_TRUE(graph::MeasureAxisMarks(0, broken, 0, 200, 10).empty());
  EXPECT_FALSE(graph::MeasureAxisMarks(1, {{0, 1, 2}}, 0, 50, 500).empty());
}

TEST(GraphGeometry, RatesAboveFullScaleLieOnTheTopEdge) {
  const GraphLayout l = graph::CalcLayout(400, 300);
  EXPECT_EQ(graph::ValueToY(l, 2500, 1600), l.top);
  EXPECT_EQ(graph::ValueToY(l, 0, 1600), l.bottom);
  EXPECT_EQ(graph::ValueToY(l, 800, 1600), l.bottom - 135);
  EXPECT_EQ(graph::TimeToX(l, 4000, 0, 40), 140);
  EXPECT_EQ(graph::TimeToX(l, 4000, 2000, 0), l.left + 2000) << "an untouched zoom counts as 1";
}

TEST(GraphGeometry, StreamFullScaleIsSixtyFourBit) {
  EXPECT_EQ(graph::StreamFullScale(8000, 12000), 13000u);
  EXPECT_EQ(graph::StreamFullScale(8000, 0xFFFFFFFFu), 9000u) << "all ones: no stream rate";
  EXPECT_EQ(graph::StreamFullScale(0, 0xFFFFFFFEu), uint64_t{1000} + 0xFFFFFFFEu);
  EXPECT_EQ(graph::StreamFullScale(0, 0xFFFFFFFFu), 1000u);
}

TEST(GraphGeometry, VisibleSamplesAreTheTimeRangeShown) {
  const std::vector<GraphSample> samples{{0, 1}, {100, 2}, {200, 3}, {300, 4}, {400, 5}};
  EXPECT_EQ(graph::VisibleSamples(samples, 100, 300), (std::pair<size_t, size_t>{1, 4}));
  EXPECT_EQ(graph::VisibleSamples(samples, 150, 250), (std::pair<size_t, size_t>{2, 3}));
  EXPECT_EQ(graph::VisibleSamples(samples, 150, 250, true), (std::pair<size_t, size_t>{2, 4}));
  EXPECT_EQ(graph::VisibleSamples(samples, 500, 900, true), (std::pair<size_t, size_t>{5, 5}));
}

}  // namespace

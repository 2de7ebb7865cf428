// Which points a check reports, first-over and peak, and the result lines it writes.
#include "plugins/polyscan/CheckReport.h"

#include <gtest/gtest.h>

#include <vector>

#include "app/CnvParam.h"

namespace polyscan {
namespace {

struct Step {
  int fm;
  int pcm;
  uint32_t tick;
};

/// The ticks of the reported points, in order, as read from the result lines.
std::vector<uint32_t> ReportedTicks(const std::vector<Step>& steps, bool peak,
                                    uint32_t* flags = nullptr) {
  uint32_t f = 0;
  ResultLog log(true);
  CheckReport report(f, peak, 16, 8, log);
  std::vector<uint32_t> ticks;
  size_t lines = 0;
  for (const Step& s : steps) {
    report.AfterNoteOn(s.fm, s.pcm, s.tick, uint64_t{s.tick} * 1000);
    size_t now = 0;
    for (char c : log.Text()) now += c == '\n';
    if (now > lines) ticks.push_back(s.tick);
    lines = now;
  }
  if (flags) *flags = f;
  return ticks;
}

TEST(CheckReport, PeakComparisonsMixFmAndPcmAsWritten) {
  struct Case {
    const char* name;
    std::vector<Step> steps;
    std::vector<uint32_t> reported;
  };
  const Case cases[] = {
      {"rising FM reports each note", {{1, 0, 0}, {2, 0, 10}, {3, 0, 20}}, {0, 10, 20}},
      {"falling counts report nothing", {{3, 0, 0}, {2, 0, 10}, {1, 0, 20}}, {0}},
      // A PCM peak only shows once it reaches the FM peak.
      {"PCM under the FM peak is passed over",
       {{5, 0, 40}, {5, 1, 50}, {5, 4, 80}, {5, 5, 90}, {5, 6, 100}},
       {40, 90, 100}},
      // At the tick of the peak, a PCM peak below the FM count reports again.
      {"same tick compares PCM peak with FM", {{2, 0, 0}, {2, 0, 0}, {2, 1, 0}}, {0, 0, 0}},
      {"FM under the PCM peak is passed over", {{0, 4, 0}, {1, 4, 10}, {2, 5, 20}}, {0, 20}},
      // A new FM peak equal to the PCM peak fails the PCM test and reports through the mark.
      {"equal peaks report through the mark", {{0, 3, 0}, {3, 3, 10}}, {0, 10}},
      {"rising PCM only", {{0, 1, 0}, {0, 2, 10}, {0, 2, 20}}, {0, 10}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ReportedTicks(c.steps, true), c.reported);
  }
}

TEST(CheckReport, PeakModeSetsOverWhenAnyNoteIsOver) {
  uint32_t flags = 0;
  // Nine PCM voices stay under the FM peak of 12: no new point, yet the check is over.
  std::vector<uint32_t> ticks = ReportedTicks({{12, 0, 0}, {1, 9, 10}}, true, &flags);
  EXPECT_EQ(ticks, (std::vector<uint32_t>{0}));
  EXPECT_TRUE(flags & CNVF_CHECK_OVER);
  EXPECT_EQ(CheckFmCount(flags), 12u);
  EXPECT_EQ(CheckPcmCount(flags), 0u);
}

TEST(CheckReport, FirstOverPointIsKeptAndEveryOverNoteLogged) {
  uint32_t flags = 0;
  std::vector<uint32_t> lines =
      ReportedTicks({{16, 8, 0}, {17, 8, 10}, {16, 8, 20}, {16, 9, 30}}, false, &flags);
  EXPECT_EQ(lines, (std::vector<uint32_t>{10, 30}));
  EXPECT_EQ(CheckFmCount(flags), 17u);
  EXPECT_EQ(CheckPcmCount(flags), 8u);
}

TEST(CheckReport, ResultAndLinesFollowTheReportedPoint) {
  uint32_t flags = CNVF_CHECK_LOG;
  ResultLog log(true);
  CheckReport report(flags, false, 16, 6, log);
  EXPECT_EQ(report.Result(), 0u);
  EXPECT_TRUE(report.AfterNoteOn(3, 7, 0, 1499));
  EXPECT_EQ(report.Result(), 1u);  // tick 0 still says "reported"
  EXPECT_EQ(flags, 0x03070000u | CNVF_CHECK_LOG | CNVF_CHECK_OVER);
  EXPECT_FALSE(report.AfterNoteOn(256, 7, 5, 2500));
  EXPECT_EQ(CheckFmCount(flags), 0xFFu);
  EXPECT_EQ(CheckPcmCount(flags), 7u);
  EXPECT_EQ(log.Text(),
            "Time:1ms FM:3 PCM:7 Result[OVER] \n"
            "Time:3ms FM:256 PCM:7 Result[ERROR] \n");
}

TEST(CheckReport, FinishWritesOkOnlyWithoutAReport) {
  uint32_t flags = 0;
  ResultLog log(true);
  CheckReport report(flags, false, 16, 8, log);
  report.AfterNoteOn(4, 2, 0, 0);
  report.Finish(1, 0, 2500);
  EXPECT_EQ(log.Text(), "Time:3ms FM:1 PCM:0 Result[OK] \n");
  EXPECT_EQ(report.Result(), 0u);
  ResultLog silent(false);
  CheckReport quiet(flags, false, 16, 8, silent);
  quiet.Finish(1, 0, 0);
  EXPECT_EQ(silent.Text(), "");
}

}  // namespace
}  // namespace polyscan

// The song document's time conversions and cue-section end times.
#include <gtest/gtest.h>

#include "DocTestSupport.h"

namespace {

using doctest::AddEvent;

class KZ1DocTime : public doctest::DocTest {
 protected:
  // One millisecond per tick, notes up to tick 1000, cues set without validation.
  CKZ1Doc& MakeSong() {
    CKZ1Doc& d = Make(3);
    d.GetTempoMap().Reset(1000, 0);
    AddEvent(*d.GetMidiList(), 0, 1000, {0x90, 60, 100});
    d.SetRefreshSuppress(1);
    return d;
  }
};

TEST_F(KZ1DocTime, ShortcutsUseTheMap) {
  CKZ1Doc& d = Make(3);
  d.GetTempoMap().Reset(2000, 0);
  EXPECT_EQ(d.TickToMsByMap(480, 0), 960u);
  EXPECT_EQ(d.MsToTickByMap(960), 480u);
  d.GetTempoMap().Reset(1001, 0);
  EXPECT_EQ(d.TickToMsByMap(1, 1), 2u);
}

TEST_F(KZ1DocTime, ChipModeFormulaUsesTempoAndResolution) {
  CKZ1Doc& d = Make(1);
  EXPECT_DOUBLE_EQ(d.TickToMs(480), 300.0);  // tempo 200, 480 ticks per quarter
  EXPECT_DOUBLE_EQ(d.TickToMs(0), 0.0);
  d.SetTempo(0);
  EXPECT_DOUBLE_EQ(d.TickToMs(480), 0.0);
}

TEST_F(KZ1DocTime, ChipModeFormulaGoesThroughSinglePrecision) {
  CKZ1Doc& d = Make(1);
  const uint32_t tick = 16777217;  // not a single-precision value: it becomes 16777216
  EXPECT_DOUBLE_EQ(d.TickToMs(tick), 16777216.0 * 60000.0 / 200.0 / 480.0);
}

TEST_F(KZ1DocTime, TickToTimeTakesTheMapOrInvertsTheFormula) {
  CKZ1Doc& kz3 = Make(3);
  kz3.GetTempoMap().Reset(2000, 0);
  EXPECT_EQ(kz3.TickToTime(960), 480u);
  CKZ1Doc& kz1 = Make(1);  // tempo 200, 480 ticks per quarter: 0.625 ms a tick
  EXPECT_EQ(kz1.TickToTime(300), 480u);
  EXPECT_EQ(kz1.TickToTime(301), 481u);  // 481.6, truncated
  EXPECT_EQ(kz1.TickToTime(0), 0u);
  kz1.SetTempo(0);
  EXPECT_EQ(kz1.TickToTime(300), 0u);
}

TEST_F(KZ1DocTime, SectionEndsAtTheNextCue) {
  CKZ1Doc& d = MakeSong();
  d.SetCuePoint(1, 100, 0);
  d.SetCuePoint(2, 400, 0);
  d.SetCuePoint(3, 700, 0);
  EXPECT_EQ(d.GetCueSectionTime(1, 0), 400u);
  EXPECT_EQ(d.GetCueSectionTime(2, 0), 700u);
  EXPECT_EQ(d.GetCueSectionTime(3, 0), 1000u) << "the last section ends with the last note";
  EXPECT_EQ(d.GetCueSectionTime(0, 0), 1000u);
}

TEST_F(KZ1DocTime, SectionClampsToStartAndStop) {
  CKZ1Doc& d = MakeSong();
  d.SetCuePoint(1, 100, 0);
  d.SetCuePoint(2, 400, 0);
  d.SetCuePoint(8, 50, 0);
  d.SetCuePoint(9, 300, 0);
  EXPECT_EQ(d.GetCueSectionTime(1, 0), 300u);
  EXPECT_EQ(d.GetCueSectionTime(1, 1), 250u);
  d.SetCuePoint(8, 500, 0);
  d.SetCuePoint(9, 900, 0);
  EXPECT_EQ(d.GetCueSectionTime(1, 0), 500u);
  EXPECT_EQ(d.GetCueSectionTime(1, 1), 0u);
}

TEST_F(KZ1DocTime, SectionTimeIsWholeTimeBaseSteps) {
  CKZ1Doc& d = MakeSong();
  d.SetTimeBaseKZ3(20);
  d.SetCuePoint(1, 100, 0);
  d.SetCuePoint(2, 395, 0);
  EXPECT_EQ(d.GetCueSectionTime(1, 0), 380u) << "395 ms does not round up past its tick";
}

TEST_F(KZ1DocTime, OutputFormatFourSnapsTicksToTheTickUnit) {
  CKZ1Doc& d = MakeSong();
  host.profile.WriteProfileInt("Setting", "OutputFormat", 4);
  d.SetTimeBaseKZ3(20);
  d.SetBoardValue(480);  // steps of 10 ticks
  d.SetCuePoint(1, 100, 0);
  d.SetCuePoint(2, 395, 0);
  EXPECT_EQ(d.GetCueSectionTime(1, 0), 390u);
  d.SetBoardValue(20);  // a step below 1 counts as 1
  EXPECT_EQ(d.GetCueSectionTime(1, 0), 395u);
}

TEST_F(KZ1DocTime, EmptySongEndsAtTheStopPoint) {
  CKZ1Doc& d = Make(3);
  d.GetTempoMap().Reset(1000, 0);
  d.SetRefreshSuppress(1);
  d.SetCuePoint(8, 10, 0);
  d.SetCuePoint(9, 200, 0);
  EXPECT_EQ(d.GetCueSectionTime(1, 1), 190u);
}

}  // namespace

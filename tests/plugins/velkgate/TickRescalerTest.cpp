// Re-timing across tempo changes: CnvFrom's grid of 480 a quarter and CnvTo's VELK ticks.
#include "plugins/velkgate/TickRescaler.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "VelkgateFixture.h"
#include "plugins/velkgate/TempoMessage.h"
#include "plugins/velkgate/VelkImport.h"

namespace velkgate {
namespace {

using testing::Event;
using testing::Hex;

struct Timed {
  uint32_t start;
  uint32_t end;
  bool operator==(const Timed&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Timed& t) { return os << t.start << ".." << t.end; }

/// Re-times owned events at 4 ms a tick and gives their new start and end.
std::vector<Timed> Retimed(const std::vector<CSeqEvent*>& events, uint32_t* firstTempo = nullptr) {
  CEventList owner;
  CEventArray array;
  for (CSeqEvent* e : events) {
    owner.Add(e);
    array.Add(e);
  }
  uint32_t tempo = CVelkImport::RetimeTo480(array, 4);
  if (firstTempo) *firstTempo = tempo;
  std::vector<Timed> out;
  for (CSeqEvent* e : array) out.push_back({e->GetTick(), e->GetEndTick()});
  return out;
}

CSeqEvent* Tempo(uint32_t tick, uint32_t usPerQuarter) { return Event(tick, MakeTempoMessage(usPerQuarter)); }

TEST(CTickRescaler, RetimesAcrossTempoChangesInsideAnEvent) {
  // 25 ticks of 4 ms are 96 at 500000 and 120 at 400000; the note spans the change.
  std::vector<Timed> out = Retimed({Tempo(0, 500000), Event(10, Hex("90 3C 40"), 35),
                                    Tempo(25, 400000), Event(50, Hex("90 3E 40"), 75)});
  EXPECT_EQ(out, (std::vector<Timed>{{0, 0}, {38, 96 + 48}, {96, 96}, {216, 336}}));
}

TEST(CTickRescaler, ATempoOfZeroKeepsTheTempoInForce) {
  uint32_t first = 0;
  std::vector<Timed> out = Retimed({Tempo(0, 0), Event(25, Hex("90 3C 40"), 50), Tempo(50, 0),
                                    Event(75, Hex("90 3E 40"), 100)},
                                   &first);
  EXPECT_EQ(first, 500000u);
  EXPECT_EQ(out, (std::vector<Timed>{{0, 0}, {96, 192}, {192, 192}, {288, 384}}));
}

TEST(CTickRescaler, AnEventWithALengthNeverEndsOnItsStart) {
  // At 5000000 a quarter, one tick of 4 ms is 0.384 new ticks.
  std::vector<Timed> out = Retimed({Tempo(0, 5000000), Event(1, Hex("90 3C 40"), 2), Event(3, Hex("B0 07 40"))});
  EXPECT_EQ(out, (std::vector<Timed>{{0, 0}, {0, 1}, {1, 1}}));
}

TEST(CTickRescaler, TempoMessagesInsideAPhraseSectionAreNotFollowed) {
  std::vector<Timed> out = Retimed({Event(25, MakeTempoMessage(250000), 25, 3), Event(50, Hex("90 3C 40"), 50)});
  EXPECT_EQ(out, (std::vector<Timed>{{96, 96}, {192, 192}}));
}

/// SMF events at 480 a quarter put onto 4 ms VELK ticks by the division and their tempo.
std::vector<Timed> OnVelkGrid(const std::vector<CSeqEvent*>& events) {
  CEventList owner;
  CEventArray array;
  for (CSeqEvent* e : events) {
    owner.Add(e);
    array.Add(e);
  }
  CTickRescaler byDivision(
      array, [](uint32_t tempo) { return CTickRescaler::Rate{tempo, 480}; }, 4000);
  std::vector<Timed> out;
  for (CSeqEvent* e : array) {
    Timed t{};
    byDivision.Next(*e, t.start, t.end);
    out.push_back(t);
  }
  return out;
}

TEST(CTickRescaler, SmfTicksOntoVelkTicksWithTheDivisionOrItsMilliseconds) {
  std::vector<Timed> out = OnVelkGrid({Tempo(0, 500000), Event(96, Hex("90 3C 40"), 192), Tempo(960, 400000),
                                       Event(1056, Hex("90 3E 40"), 1152)});
  EXPECT_EQ(out, (std::vector<Timed>{{0, 0}, {25, 50}, {250, 250}, {270, 290}}));
}

TEST(CTickRescaler, EndsOnHalfATickRoundUp) {
  // Tick 48 at 500000 a quarter is 50000 us, exactly 12.5 ticks of 4 ms: it rounds up to 13,
  // whatever the start the end is counted from, also after a tempo change.
  std::vector<Timed> out = OnVelkGrid({Tempo(0, 500000), Event(0, Hex("90 3E 40"), 48), Event(10, Hex("90 3C 40"), 48),
                                       Event(47, Hex("90 40 40"), 48), Tempo(480, 250000),
                                       Event(490, Hex("90 3C 40"), 576)});
  // 480 ticks are 125 VELK ticks; 96 more at 250000 are 12.5.
  EXPECT_EQ(out, (std::vector<Timed>{{0, 0}, {0, 13}, {3, 13}, {12, 13}, {125, 125}, {126, 138}}));
}

}  // namespace
}  // namespace velkgate

// Tests of the redundant-event scan.
#include "plugins/velkgate/RedundantEvents.h"

#include <gtest/gtest.h>

#include <memory>

#include "VelkgateFixture.h"
#include "plugins/velkgate/VelkgateFlags.h"

namespace velkgate {
namespace {

using testing::Bytes;
using testing::Event;
using testing::Hex;

/// A tick-ordered list of events that owns them, scanned as the converter scans it.
class Scan {
 public:
  Scan& Add(uint32_t tick, const char* hex, uint32_t cue = 0) {
    m_events.emplace_back(Event(tick, Hex(hex), UINT32_MAX, cue));
    return *this;
  }
  /// Indexes (in the order added) of the events that stayed.
  std::vector<int> Run(uint8_t forcedMono = kNoForcedMono) {
    CPtrArray<CSeqEvent> array;
    for (auto& e : m_events) array.Add(e.get());
    EXPECT_EQ(RemoveRedundantEvents(array, forcedMono, flags), 1);
    std::vector<int> kept;
    for (CSeqEvent* e : array)
      for (size_t i = 0; i < m_events.size(); ++i)
        if (m_events[i].get() == e) kept.push_back(static_cast<int>(i));
    return kept;
  }
  uint32_t flags = 0;

 private:
  std::vector<std::unique_ptr<CSeqEvent>> m_events;
};

using Kept = std::vector<int>;

TEST(RemoveRedundantEvents, FirstOfTwoProgramChangesBeforeAnyNoteGoes) {
  EXPECT_EQ(Scan().Add(0, "C0 01").Add(5, "C0 02").Add(10, "90 3C 64").Run(), (Kept{1, 2}));
}

TEST(RemoveRedundantEvents, NoteBetweenTwoProgramChangesKeepsBoth) {
  EXPECT_EQ(Scan().Add(0, "C0 01").Add(5, "90 3C 64").Add(10, "C0 02").Run(), (Kept{0, 1, 2}));
}

TEST(RemoveRedundantEvents, ProgramChangesOfOtherChannelsDoNotCount) {
  EXPECT_EQ(Scan().Add(0, "C0 01").Add(5, "C1 02").Add(10, "C0 03").Run(), (Kept{1, 2}));
}

TEST(RemoveRedundantEvents, BankAndParameterControllersStay) {
  for (const char* cc : {"B0 00 7C", "B0 06 02", "B0 20 01", "B0 64 00", "B0 65 00"}) {
    SCOPED_TRACE(cc);
    EXPECT_EQ(Scan().Add(0, cc).Add(1, cc).Run(), (Kept{0, 1}));
  }
}

TEST(RemoveRedundantEvents, OtherControllersAreTestedPerControllerNumber) {
  EXPECT_EQ(Scan().Add(0, "B0 07 10").Add(1, "B0 0A 40").Add(2, "B0 07 20").Run(), (Kept{1, 2}));
}

TEST(RemoveRedundantEvents, AfterANoteOnlyASameTickRepeatDeletes) {
  EXPECT_EQ(Scan().Add(0, "90 3C 64").Add(5, "E0 00 40").Add(6, "E0 00 41").Run(),
            (Kept{0, 1, 2}));
  EXPECT_EQ(Scan().Add(0, "90 3C 64").Add(5, "E0 00 40").Add(5, "E0 00 41").Run(),
            (Kept{0, 2}));
}

TEST(RemoveRedundantEvents, MonoChannelKeepsTheLaterOfTwoNotesOnOneTick) {
  Scan scan;
  scan.Add(0, "B0 7E 01").Add(10, "90 3C 64").Add(10, "90 40 64");
  EXPECT_EQ(scan.Run(), (Kept{0, 2}));
  EXPECT_EQ(scan.flags, CNVF_MONO_NOTES_DROPPED);
}

TEST(RemoveRedundantEvents, PolyChannelKeepsBothNotes) {
  Scan scan;
  scan.Add(10, "90 3C 64").Add(10, "90 40 64");
  EXPECT_EQ(scan.Run(), (Kept{0, 1}));
  EXPECT_EQ(scan.flags, 0u);
}

TEST(RemoveRedundantEvents, ForcedMonoChannelActsAsMono) {
  Scan scan;
  scan.Add(10, "93 3C 64").Add(10, "93 40 64");
  EXPECT_EQ(scan.Run(3), (Kept{1}));
  EXPECT_EQ(scan.flags, CNVF_MONO_NOTES_DROPPED);
}

TEST(RemoveRedundantEvents, MonoSwitchAfterTheFirstNoteIsNotSeen) {
  EXPECT_EQ(Scan().Add(0, "90 30 64").Add(1, "B0 7E 01").Add(10, "90 3C 64").Add(10, "90 40 64").Run(),
            (Kept{0, 1, 2, 3}));
}

TEST(RemoveRedundantEvents, FirstOfTwoMasterVolumesBeforeAnyNoteGoes) {
  EXPECT_EQ(Scan().Add(0, "F0 07 43 79 06 7F 00 50 F7").Add(5, "F0 07 43 79 06 7F 00 60 F7").Run(),
            (Kept{1}));
  EXPECT_EQ(Scan()
                .Add(0, "F0 07 43 79 06 7F 00 50 F7")
                .Add(3, "91 3C 64")
                .Add(5, "F0 07 43 79 06 7F 00 60 F7")
                .Run(),
            (Kept{0, 1, 2}));
}

TEST(RemoveRedundantEvents, EventsInSectionsAreLeftAlone) {
  EXPECT_EQ(Scan().Add(0, "C0 01", 3).Add(5, "C0 02", 3).Run(), (Kept{0, 1}));
  EXPECT_EQ(Scan().Add(0, "C0 01").Add(5, "C0 02", 3).Run(), (Kept{0, 1}));
}

}  // namespace
}  // namespace velkgate

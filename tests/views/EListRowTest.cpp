// Tests of the event list's row formatter: the rows of each kind of event and hostile events.
#include "views/EListRow.h"

#include <gtest/gtest.h>

#include <vector>

#include "song/MidiMsg.h"
#include "song/document/KZ1Doc.h"

namespace {

using Texts = std::array<std::string, kEListColumnCount>;

EListContext Context(SongTabKind tab = SongTabKind::All, int channel = 0, int chipMode = 3, int profile = 2,
                     int originPch = 0) {
  EListContext c;
  c.tab = tab;
  c.channel = channel;
  c.chipMode = chipMode;
  c.outputProfile = profile;
  c.originPch = originPch;
  c.slotByNote.fill(255);
  // The default keys of the stream-PCM slots: slots 1-13 on keys 0-12, 14-49 on keys 92-127.
  for (int slot = 1; slot <= 49; ++slot) c.slotByNote[static_cast<size_t>(CKZ1Doc::StreamPcmSlotKey(slot))] = static_cast<uint8_t>(slot);
  return c;
}

std::optional<Texts> Row(const std::vector<uint8_t>& bytes, const EListContext& c, uint32_t tick = 0,
                         uint32_t end = 0, uint32_t extra = 0) {
  const CMidiMsg m(tick, end, static_cast<uint32_t>(bytes.size()), bytes.data(), extra);
  return EListRowTexts(m, c, 0);
}

struct RowCase {
  const char* name;
  std::vector<uint8_t> bytes;
  EListContext context;
  uint32_t tick;
  uint32_t end;
  std::optional<Texts> expected;
};

TEST(EListRow, FormatsEachKindOfEvent) {
  const std::vector<RowCase> cases = {
      {"pitch bend centre", {0xE0, 0x00, 0x40}, Context(), 5, 0, Texts{"5", "1", "PB", "0", "", ""}},
      {"pitch bend top", {0xE1, 0x7F, 0x7F}, Context(), 0, 0, Texts{"0", "2", "PB", "8191", "", ""}},
      {"pitch bend bottom", {0xE0, 0x00, 0x00}, Context(), 0, 0, Texts{"0", "1", "PB", "-8192", "", ""}},
      {"tempo", {0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}, Context(), 0, 0, Texts{"0", "", "Tick", "500.000", "", ""}},
      {"marker Q0F", {0xFF, 0x06, 0x03, 'Q', '0', 'F'}, Context(), 7, 0, Texts{"7", "", "=== Q0F ===", "", "", ""}},
      {"marker Q00", {0xFF, 0x06, 0x03, 'Q', '0', '0'}, Context(), 7, 0, Texts{"7", "", "=== Q00 ===", "", "", ""}},
      {"other marker", {0xFF, 0x06, 0x03, 'Q', '0', '1'}, Context(), 0, 0, std::nullopt},
      {"controller 2", {0xB0, 0x02, 0x05}, Context(), 0, 0, std::nullopt},
      {"controller 120 value 5", {0xB0, 120, 0x05}, Context(), 0, 0, std::nullopt},
      {"controller 120 value 0", {0xB0, 120, 0x00}, Context(), 0, 0, Texts{"0", "1", "All Sound Off", "", "", ""}},
      {"mono mode", {0xB3, 126, 0x01}, Context(), 0, 0, Texts{"0", "4", "Mono Mode On", "", "", ""}},
      {"volume", {0xB0, 7, 100}, Context(), 0, 0, Texts{"0", "1", "Vol#7", "100", "", ""}},
      {"program with origin 1", {0xC0, 0x00}, Context(SongTabKind::All, 0, 3, 2, 1), 0, 0,
       Texts{"0", "1", "Pch", "1", "", ""}},
      {"note of length 0 on a channel tab", {0x92, 60, 64}, Context(SongTabKind::Channel, 2), 10, 10,
       Texts{"10", "3", "Note", "C  3", "1", "64"}},
      {"note of length 0 on StreamPCM", {0x92, 60, 64}, Context(SongTabKind::StreamPcm), 10, 10,
       Texts{"10", "3", "WaveID", "60", "0", "64"}},
      {"key 92 is slot 14", {0x90, 92, 80}, Context(SongTabKind::StreamPcm), 0, 48, Texts{"0", "1", "WaveID", "14", "48", "80"}},
      {"key 50 has no slot", {0x90, 50, 80}, Context(SongTabKind::StreamPcm), 0, 48, Texts{"0", "1", "WaveID", "50", "48", "80"}},
      {"profile 4 hides the velocity", {0x90, 60, 64}, Context(SongTabKind::All, 0, 3, 4), 0, 24,
       Texts{"0", "1", "Note", "C  3", "24", ""}},
      {"profile 4 hides Vol#7", {0xB0, 7, 100}, Context(SongTabKind::All, 0, 3, 4), 0, 0, std::nullopt},
      {"profile 4 hides Hold#64", {0xB0, 64, 127}, Context(SongTabKind::All, 0, 3, 4), 0, 0, std::nullopt},
      {"master volume", {0xF0, 0x08, 0x43, 0x79, 0x06, 0x7F, 0x00, 0x64, 0xF7}, Context(), 0, 0,
       Texts{"0", "", "KZ-3 Master Vol", "100", "", ""}},
      {"stream pair", {0xF0, 0x0A, 0x43, 0x79, 0x06, 0x7F, 0x08, 1, 2, 3, 0xF7}, Context(), 0, 0,
       Texts{"0", "", "KZ-3 StrmPCM Pair", "1", "2", "3"}},
      {"native reset", {0xF0, 0x06, 0x43, 0x79, 0x06, 0x7F, 0x7F, 0xF7}, Context(), 0, 0,
       Texts{"0", "", "KZ-3 Native Reset", "", "", ""}},
      {"GM system on", {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}, Context(), 0, 0, std::nullopt},
      {"FM volume in chip mode 1", {0xF0, 0xF0, 0x05}, Context(SongTabKind::All, 0, 1), 0, 0,
       Texts{"0", "", "FMVOL", "5", "", ""}},
      {"master volume in chip mode 1", {0xF0, 0x08, 0x43, 0x79, 0x06, 0x7F, 0x00, 0x64, 0xF7},
       Context(SongTabKind::All, 0, 1), 0, 0, std::nullopt},
      {"channel filter", {0x91, 60, 64}, Context(SongTabKind::Channel, 2), 0, 10, std::nullopt},
      {"program change not on StreamPCM", {0xC0, 3}, Context(SongTabKind::StreamPcm), 0, 0, std::nullopt},
      {"only Pan#10 on StreamPCM", {0xB0, 7, 100}, Context(SongTabKind::StreamPcm), 0, 0, std::nullopt},
      {"aftertouch", {0xD0, 5}, Context(), 0, 0, std::nullopt},
  };
  for (const RowCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Row(c.bytes, c.context, c.tick, c.end), c.expected);
  }
}

TEST(EListRow, SectionMarkersShowOnlyTheirType) {
  const std::vector<uint8_t> cue = {0xFF, 0x7F, 0x04, 0x43, 0x7B, 0x02, 0x03};
  EXPECT_EQ(Row(cue, Context(SongTabKind::Channel, 5), 96, 0, 3), (Texts{"96", "", "=== A Melody ===", "", "", ""}));
  EXPECT_EQ(Row(cue, Context(), 0, 0, 9), (Texts{"0", "", "=== Stop ===", "", "", ""}));
}

TEST(EListRow, EveryPrefixOfAFixtureGivesNoRowOrTheFullRow) {
  const std::vector<std::pair<std::vector<uint8_t>, EListContext>> fixtures = {
      {{0xF0, 0x08, 0x43, 0x79, 0x06, 0x7F, 0x00, 0x64, 0xF7}, Context()},
      {{0xF0, 0x0A, 0x43, 0x79, 0x06, 0x7F, 0x0B, 1, 2, 3, 0xF7}, Context()},
      {{0xF0, 0xF0, 0x05}, Context(SongTabKind::All, 0, 1)},
      {{0xFF, 0x06, 0x03, 'Q', '0', 'F'}, Context()},
      {{0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}, Context()},
      {{0x90, 92, 80}, Context(SongTabKind::StreamPcm)},
      {{0x90, 60, 80}, Context()},
      {{0xB0, 126, 1}, Context()},
      {{0xE0, 0x00, 0x40}, Context()},
      {{0xC0, 0x05}, Context()},
  };
  for (const auto& [bytes, context] : fixtures) {
    const auto full = Row(bytes, context);
    ASSERT_TRUE(full.has_value());
    for (size_t n = 0; n < bytes.size(); ++n) {
      SCOPED_TRACE(n);
      // Bytes past a short event's length read as zero inside the record: a formatter that
      // read them would give a row unlike the full one.
      std::vector<uint8_t> prefix(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
      const auto row = Row(prefix, context);
      EXPECT_TRUE(!row || row == full);
    }
  }
}

TEST(EListRow, MarkerClaimingMoreTextThanItHoldsGivesNoRow) {
  std::vector<uint8_t> bytes(30, 'Q');
  bytes[0] = 0xFF;
  bytes[1] = 0x06;
  bytes[2] = 200;
  EXPECT_EQ(Row(bytes, Context()), std::nullopt);
}

}  // namespace

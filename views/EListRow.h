// The event list's rows: which events give a row on a tab, and the six texts of a row.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "views/SongViewTabs.h"

class CMidiMsg;

/// What the formatter needs besides the event; copied once per rebuild.
struct EListContext {
  SongTabKind tab = SongTabKind::All;
  int channel = 0;  // the channel of a channel tab
  int chipMode = 3;
  int outputProfile = 2;
  int originPch = 0;
  /// The document's stream-PCM slot of each note (255 when none), for "WaveID".
  std::array<uint8_t, 128> slotByNote{};
};

enum class EListValueKind : uint8_t { None, Unsigned, Signed, NoteName, Tempo };

/// A row as the list keeps it: the values its texts need, copied from the event, and the event
/// itself as the row's item data. Formatting reads nothing else.
struct EListRow {
  const CMidiMsg* event = nullptr;
  uint32_t tick = 0;
  int8_t channel = -1;  // -1: no "Ch" text
  const char* type = "";
  std::array<EListValueKind, 3> kinds{EListValueKind::None, EListValueKind::None, EListValueKind::None};
  std::array<int32_t, 3> values{};
};

enum EListColumn { kEListTick, kEListCh, kEListType, kEListValue1, kEListValue2, kEListValue3, kEListColumnCount };

/// The row an event gives on the context's tab, or none. Reads no byte at or past the event's
/// length: an event too short for what its row shows gives no row.
std::optional<EListRow> MakeEListRow(const CMidiMsg& event, const EListContext& context);

/// The text of one column; note names use the "OriginNote" value given.
std::string EListRowText(const EListRow& row, int column, int originNote);

/// The six texts of an event's row, or none (for tests and tools).
std::optional<std::array<std::string, kEListColumnCount>> EListRowTexts(const CMidiMsg& event,
                                                                       const EListContext& context,
                                                                       int originNote);

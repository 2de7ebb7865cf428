// The event list's row formatter: a pure function of the event and the tab's context.
#include "views/EListRow.h"

#include <cstring>

#include "app/core/NoteName.h"
#include "platform/text/Format.h"
#include "song/MidiMsg.h"

namespace {

using Row = std::optional<EListRow>;

constexpr const char* kSectionTypes[] = {"=== Intro. ===", "=== Ending ===",    "=== A Melody ===",
                                         "=== B Melody ===", "=== Bridge ===", "=== Interlude ===",
                                         "=== Refrain ===",  "=== Start ===",  "=== Stop ==="};

/// Reads bytes only below the event's length.
class Bytes {
 public:
  explicit Bytes(const CMidiMsg& m) : m_data(m.GetData()), m_length(m.GetLength()) {}
  bool Has(uint32_t count) const { return m_length >= count; }
  int At(uint32_t i) const { return i < m_length ? m_data[i] : -1; }
  uint32_t Length() const { return m_length; }
  const uint8_t* Data() const { return m_data; }

 private:
  const uint8_t* m_data;
  uint32_t m_length;
};

EListRow Base(const CMidiMsg& m, const char* type, int channel) {
  EListRow row;
  row.event = &m;
  row.tick = m.GetTick();
  row.channel = static_cast<int8_t>(channel);
  row.type = type;
  return row;
}

void SetValue(EListRow& row, int index, EListValueKind kind, int32_t value) {
  row.kinds[static_cast<size_t>(index)] = kind;
  row.values[static_cast<size_t>(index)] = value;
}

struct ControllerRow {
  int controller;
  const char* type;
  int needValue;  // -1: show data byte 2; else the value that gives a valueless row
  bool hiddenUnderProfile4;
};

constexpr ControllerRow kControllers[] = {
    {0, "BkM#0", -1, false},           {1, "Mod#1", -1, false},
    {6, "DataEntryMSB#6", -1, false},  {7, "Vol#7", -1, true},
    {10, "Pan#10", -1, false},         {11, "Exp#11", -1, false},
    {32, "BkL#32", -1, false},         {38, "DataEntryLSB#38", -1, false},
    {64, "Hold#64", -1, true},         {100, "RPN LSB#100", -1, false},
    {101, "RPN MSB#101", -1, false},   {120, "All Sound Off", 0, true},
    {121, "Reset All Ctrl", 0, true},  {123, "All Note Off", 0, true},
    {126, "Mono Mode On", 1, true},    {127, "Poly Mode On", 0, true},
};

Row ControlChange(const CMidiMsg& m, const Bytes& b, const EListContext& c, int channel) {
  const int controller = b.At(1);
  const int value = b.At(2);
  if (c.tab == SongTabKind::StreamPcm) {
    if (controller != 10) return {};
    EListRow row = Base(m, "Pan#10", channel);
    SetValue(row, 0, EListValueKind::Unsigned, value);
    return row;
  }
  for (const ControllerRow& r : kControllers) {
    if (r.controller != controller) continue;
    if (r.hiddenUnderProfile4 && c.outputProfile == 4) return {};
    if (r.needValue >= 0 && value != r.needValue) return {};
    EListRow row = Base(m, r.type, channel);
    if (r.needValue < 0) SetValue(row, 0, EListValueKind::Unsigned, value);
    return row;
  }
  return {};
}

Row Note(const CMidiMsg& m, const Bytes& b, const EListContext& c, int channel) {
  const uint32_t length = m.GetEndTick() - m.GetTick();
  if (c.tab == SongTabKind::StreamPcm) {
    EListRow row = Base(m, "WaveID", channel);
    const int note = b.At(1);
    const int slot = note < 128 ? c.slotByNote[static_cast<size_t>(note)] : 255;
    SetValue(row, 0, EListValueKind::Unsigned, slot != 255 ? slot : note);
    SetValue(row, 1, EListValueKind::Unsigned, static_cast<int32_t>(length));
    SetValue(row, 2, EListValueKind::Signed, b.At(2));
    return row;
  }
  EListRow row = Base(m, "Note", channel);
  SetValue(row, 0, EListValueKind::NoteName, b.At(1));
  SetValue(row, 1, EListValueKind::Unsigned, static_cast<int32_t>(length == 0 ? 1 : length));
  if (c.outputProfile != 4) SetValue(row, 2, EListValueKind::Signed, b.At(2));
  return row;
}

/// The data bytes a channel message carries after its status.
uint32_t ChannelMessageLength(int high) { return (high == 0xC0 || high == 0xD0) ? 2 : 3; }

Row ChannelMessage(const CMidiMsg& m, const Bytes& b, const EListContext& c) {
  const int high = b.At(0) & 0xF0;
  const int channel = b.At(0) & 0x0F;
  if (!b.Has(ChannelMessageLength(high))) return {};
  const bool pcm = c.tab == SongTabKind::StreamPcm;
  const bool filtered = c.tab == SongTabKind::Channel && channel != c.channel;
  switch (high) {
    case 0x80:
    case 0x90:
      if (!pcm && filtered) return {};
      return Note(m, b, c, channel);
    case 0xB0:
      if (!pcm && filtered) return {};
      return ControlChange(m, b, c, channel);
    case 0xC0: {
      if (pcm || filtered) return {};
      EListRow row = Base(m, "Pch", channel);
      SetValue(row, 0, EListValueKind::Unsigned, b.At(1) + c.originPch);
      return row;
    }
    case 0xE0: {
      if (pcm || filtered) return {};
      EListRow row = Base(m, "PB", channel);
      SetValue(row, 0, EListValueKind::Signed, (((b.At(2) & 0x7F) << 7) | (b.At(1) & 0x7F)) - 8192);
      return row;
    }
    default: return {};
  }
}

struct SysExRow {
  int selector;
  const char* type;
  int valueCount;
  EListValueKind kind;
  bool hiddenUnderProfile4;
};

constexpr SysExRow kSysExRows[] = {
    {0x00, "KZ-3 Master Vol", 1, EListValueKind::Unsigned, true},
    {0x08, "KZ-3 StrmPCM Pair", 3, EListValueKind::Signed, false},
    {0x09, "KZ-3 StrmPCM Pan", 1, EListValueKind::Unsigned, false},
    {0x0B, "KZ-3 StrmPCM Wave Pan", 3, EListValueKind::Signed, false},
    {0x10, "KZ-3 Interrupt", 1, EListValueKind::Signed, false},
    {0x7F, "KZ-3 Native Reset", 0, EListValueKind::None, false},
};

Row DeviceSysEx(const CMidiMsg& m, const Bytes& b, const EListContext& c) {
  if (!b.Has(7) || b.At(2) != 0x43 || b.At(3) != 0x79 || b.At(4) != 0x06 || b.At(5) != 0x7F) return {};
  for (const SysExRow& r : kSysExRows) {
    if (r.selector != b.At(6)) continue;
    if (r.hiddenUnderProfile4 && c.outputProfile == 4) return {};
    if (!b.Has(7 + static_cast<uint32_t>(r.valueCount))) return {};
    EListRow row = Base(m, r.type, -1);
    for (int i = 0; i < r.valueCount; ++i) SetValue(row, i, r.kind, b.At(7 + static_cast<uint32_t>(i)));
    return row;
  }
  return {};
}

Row Meta(const CMidiMsg& m, const Bytes& b) {
  if (!b.Has(3)) return {};
  if (b.At(1) == 0x06) {
    const uint32_t textLength = static_cast<uint32_t>(b.At(2));
    if (textLength != 3 || !b.Has(3 + textLength)) return {};
    if (std::memcmp(b.Data() + 3, "Q00", 3) == 0) return Base(m, "=== Q00 ===", -1);
    if (std::memcmp(b.Data() + 3, "Q0F", 3) == 0) return Base(m, "=== Q0F ===", -1);
    return {};
  }
  if (b.At(1) == 0x51 && b.At(2) == 3 && b.Length() == 6) {
    EListRow row = Base(m, "Tick", -1);
    SetValue(row, 0, EListValueKind::Tempo, (b.At(3) << 16) | (b.At(4) << 8) | b.At(5));
    return row;
  }
  return {};
}

Row SystemMessage(const CMidiMsg& m, const Bytes& b, const EListContext& c) {
  if (c.chipMode == 1 || c.chipMode == 2) {
    if (b.At(1) == 0xF0) {
      if (!b.Has(3)) return {};
      EListRow row = Base(m, "FMVOL", -1);
      SetValue(row, 0, EListValueKind::Unsigned, b.At(2));
      return row;
    }
    if (b.At(1) == 0xF1) return Base(m, "PB(ExMsg)", -1);
    return {};
  }
  if (c.chipMode != 3 && c.chipMode != 5) return {};
  if (b.At(0) == 0xF0) return DeviceSysEx(m, b, c);
  if (b.At(0) == 0xFF) return Meta(m, b);
  return {};
}

}  // namespace

std::optional<EListRow> MakeEListRow(const CMidiMsg& event, const EListContext& context) {
  const uint32_t kind = event.GetExtra();
  if (kind >= 1 && kind <= 9) return Base(event, kSectionTypes[kind - 1], -1);
  if (kind != 0) return {};
  const Bytes b(event);
  if (!b.Has(1)) return {};
  if (b.At(0) >= 0xF0) return SystemMessage(event, b, context);
  if (b.At(0) < 0x80) return {};
  return ChannelMessage(event, b, context);
}

namespace {

std::string ValueText(EListValueKind kind, int32_t value, int originNote) {
  switch (kind) {
    case EListValueKind::None: return {};
    case EListValueKind::Unsigned: return platform::Format("%u", static_cast<uint32_t>(value));
    case EListValueKind::Signed: return platform::Format("%d", value);
    case EListValueKind::NoteName: return GetNoteName(value, originNote);
    case EListValueKind::Tempo:
      // Microseconds per quarter note through single precision, shown in milliseconds.
      return platform::Format("%1.3f", static_cast<double>(static_cast<float>(value)) / 1000.0);
  }
  return {};
}

}  // namespace

std::string EListRowText(const EListRow& row, int column, int originNote) {
  switch (column) {
    case kEListTick: return platform::Format("%u", row.tick);
    case kEListCh: return row.channel >= 0 ? platform::Format("%d", row.channel + 1) : std::string();
    case kEListType: return row.type;
    case kEListValue1:
    case kEListValue2:
    case kEListValue3: {
      const auto i = static_cast<size_t>(column - kEListValue1);
      return ValueText(row.kinds[i], row.values[i], originNote);
    }
    default: return {};
  }
}

std::optional<std::array<std::string, kEListColumnCount>> EListRowTexts(const CMidiMsg& event,
                                                                       const EListContext& context,
                                                                       int originNote) {
  const std::optional<EListRow> row = MakeEListRow(event, context);
  if (!row) return std::nullopt;
  std::array<std::string, kEListColumnCount> texts;
  for (int c = 0; c < kEListColumnCount; ++c) texts[static_cast<size_t>(c)] = EListRowText(*row, c, originNote);
  return texts;
}

// The event-density curve of a song.
#include "song/SmfTimedEventList.h"

#include <algorithm>

#include "song/SmfDialect.h"
#include "song/SmfMultiTrackWalk.h"
#include "song/SmfStreamReaders.h"

namespace {

// The value of a well-formed FF 51; false for a shorter one.
bool TickTempoOf(const SmfEvent& event, uint32_t& value) {
  if (!event.IsMeta() || event.metaType != kMetaTempo || event.dataSize < 3) return false;
  value = (uint32_t{event.data[0]} << 16) | (uint32_t{event.data[1]} << 8) | event.data[2];
  return true;
}

// The quarter length of a SysEx with 7D 10 as its fourth and fifth data bytes.
bool QuarterTempoOf(const SmfEvent& event, uint32_t& value) {
  if (!event.IsSysEx() || event.dataSize < 6) return false;
  if (event.data[3] != kGroupSong || event.data[4] != kSongTempo) return false;
  return DecodeDialectTempo(event.data + 5, event.dataSize - 5, event.dataSize, value);
}

bool IsDialectTempo(const SmfEvent& event) {
  return event.dataSize >= 5 && event.data[0] == kDialectMakerId &&
         event.data[1] == kDialectModelId && event.data[2] == kDialectDeviceId;
}

// Bytes of MIDI data that an event costs the chip.
uint32_t CountedBytes(const SmfEvent& event) {
  if (event.IsChannel()) {
    switch (event.Kind()) {
      case 0x80: case 0x90: case 0xB0: case 0xE0: return 3;
      case 0xC0: return 2;
      default: return 0;  // key and channel pressure
    }
  }
  if (!event.IsSysEx() || event.dataSize < 5 || event.data[3] != kGroupDevice) return 0;
  switch (event.data[4]) {
    case kDeviceMasterVolume:
    case kDeviceStreamPair:
    case kDeviceStreamSlot:
    case kDeviceSongValue:
      return (event.dataSize & 0xFF) + 1;
    default:
      return 0;
  }
}

uint32_t Saturate(uint64_t value) { return value > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(value); }

}  // namespace

int CSmfTimedEventList::AddPoint(uint32_t ms, uint32_t density, uint32_t tick) {
  m_points.emplace_back(ms, density, tick);
  return 1;
}

int CSmfTimedEventList::CopyItems(std::vector<CMsgKey>& target) const {
  if (!target.empty()) return 0;
  target.reserve(m_points.size());
  for (const CMsgKey& point : m_points) target.emplace_back(point.GetFirst(), point.GetSecond(), point.GetThird());
  return 1;
}

void CSmfTimedEventList::FindFirstTempos(const SmfEvent& event, bool& tickFound,
                                         bool& quarterFound) {
  uint32_t value = 0;
  if (!tickFound && TickTempoOf(event, value)) {
    m_tempo.tickLength = value;
    tickFound = true;
  }
  if (!quarterFound && IsDialectTempo(event) && QuarterTempoOf(event, value)) {
    m_tempo.quarterLength = value;
    quarterFound = true;
  }
}

uint64_t CSmfTimedEventList::TimeOf(uint32_t tick) const {
  uint64_t perTick = m_tempo.division != 0 ? m_tempo.quarterLength / m_tempo.division
                                           : m_tempo.tickLength;
  return m_tempo.accumulated + uint64_t{tick - m_tempo.lastChangeTick} * perTick;
}

uint32_t CSmfTimedEventList::StartTickAt(uint64_t us) const {
  uint64_t since = us > m_tempo.accumulated ? us - m_tempo.accumulated : 0;
  uint64_t tickLength = m_tempo.tickLength;
  // A zero tick length (FF 51 00 00 00) gives no ticks rather than a division by zero.
  uint64_t ticks = tickLength != 0 ? (since + tickLength / 2) / tickLength : 0;
  return Saturate(ticks + m_tempo.lastChangeTick);
}

void CSmfTimedEventList::ApplyTempoChange(const SmfEvent& event) {
  uint32_t value = 0;
  if (TickTempoOf(event, value)) {
    if (value == m_tempo.tickLength) return;
    // The time so far runs on the tempo in force up to the change; measuring it with the FF 51
    // value while a division governs would move every later event.
    m_tempo.accumulated = TimeOf(event.tick);
    m_tempo.tickLength = value;
    m_tempo.lastChangeTick = event.tick;
  } else if (m_tempo.division != 0 && QuarterTempoOf(event, value)) {
    if (value == m_tempo.quarterLength) return;
    m_tempo.accumulated = TimeOf(event.tick);
    m_tempo.quarterLength = value;
    m_tempo.lastChangeTick = event.tick;
  }
}

bool CSmfTimedEventList::InZeroRun() const {
  size_t n = m_points.size();
  return n >= 2 && m_points[n - 1].GetSecond() == 0 && m_points[n - 2].GetSecond() == 0;
}

void CSmfTimedEventList::CloseWindow(Window& window) {
  uint32_t density = Saturate(uint64_t{window.count} * 1000 / m_windowMs);
  // Inside a run of empty windows only its first and last point are kept: a view draws the
  // same line, and the curve grows with the events, not with the song's length.
  if (density == 0 && InZeroRun()) m_points.pop_back();
  AddPoint(Saturate(window.start / 1000), density, window.startTick);
  // An equal count keeps the earlier window as the maximum.
  if (window.count > m_maxCount) {
    m_maxCount = window.count;
    m_maxStart = window.start;
  }
  window.start += m_windowUs;
  window.end += m_windowUs;
  window.count = 0;
  window.startTick = StartTickAt(window.start);
}

void CSmfTimedEventList::SkipEmptyWindows(uint64_t t) {
  // Both windows empty inside a run of empty windows: the ones before the last due would only
  // replace the run's last point, so whole windows are stepped over at once.
  if (m_a.count != 0 || m_b.count != 0 || m_a.end > t || m_b.end > t || !InZeroRun()) return;
  uint64_t steps = std::min(t - m_a.end, t - m_b.end) / m_windowUs;
  if (steps == 0) return;
  for (Window* w : {&m_a, &m_b}) {
    w->start += steps * m_windowUs;
    w->end += steps * m_windowUs;
    w->startTick = StartTickAt(w->start);
  }
}

void CSmfTimedEventList::CloseDueWindows(uint64_t t) {
  // The window that ends first closes first; empty windows still leave their point.
  while (m_a.end <= t || m_b.end <= t) {
    SkipEmptyWindows(t);
    if (m_a.end <= m_b.end) {
      CloseWindow(m_a);
    } else {
      CloseWindow(m_b);
    }
  }
}

void CSmfTimedEventList::CountEvent(const SmfEvent& event) {
  uint64_t t = TimeOf(event.tick);
  if (t / 1000 > kLastAllowedMs) throw kSmfMalformed;
  CloseDueWindows(t);
  uint32_t bytes = CountedBytes(event);
  if (m_a.start <= t && t < m_a.end) m_a.count += bytes;
  if (m_b.start <= t && t < m_b.end) m_b.count += bytes;
  m_total += bytes;
  m_lastTime = t;
  ApplyTempoChange(event);
}

void CSmfTimedEventList::Finish() {
  if (m_a.start <= m_b.start) {
    CloseWindow(m_a);
    CloseWindow(m_b);
  } else {
    CloseWindow(m_b);
    CloseWindow(m_a);
  }
  m_maxDensity = Saturate(uint64_t{m_maxCount} * 1000 / m_windowMs);
  m_maxTime = Saturate(m_maxStart / 1000);
  m_totalBytes = Saturate(m_total);
  m_length = Saturate((m_lastTime + 500) / 1000);
  m_averageDensity = m_length != 0 ? Saturate(m_total * 1000 / m_length) : 0;
}

int CSmfTimedEventList::AnalyseDensity(const uint8_t* image, uint32_t size, uint32_t windowMs) {
  m_points.clear();
  m_maxDensity = m_maxTime = m_totalBytes = m_length = m_averageDensity = 0;
  m_maxCount = 0;
  m_maxStart = m_lastTime = m_total = 0;
  // A window of 0 would never close; it is read as the setting's default.
  m_windowMs = windowMs != 0 ? windowMs : kFallbackWindowMs;
  m_windowUs = uint64_t{m_windowMs} * 1000;

  CSmfMultiTrackWalk walk;
  walk.Open(image, size);
  m_tempo = TempoState{kDefaultTickTempo, kDefaultQuarterTempo, walk.GetHeader().division, 0, 0};
  bool tickFound = false, quarterFound = false;
  walk.Walk([&](const SmfEvent& event, CSmfTrackCursor&) {
    FindFirstTempos(event, tickFound, quarterFound);
  });

  m_a = Window{0, m_windowUs, 0, 0};
  m_b = Window{m_windowUs / 2, m_windowUs / 2 + m_windowUs, 0, StartTickAt(m_windowUs / 2)};
  walk.Rewind();
  walk.Walk([this](const SmfEvent& event, CSmfTrackCursor&) { CountEvent(event); });
  Finish();
  return 1;
}

// The event-density scan over a song-data Standard MIDI File: bytes per second in windows.
#include "plugins/velkgate/SmfDensityScan.h"

#include "plugins/velkgate/SmfTrackWalker.h"
#include "plugins/velkgate/TempoMessage.h"
#include "plugins/velkgate/VelkgateFlags.h"
#include "song/SmfDialect.h"

namespace velkgate {

namespace {

constexpr uint32_t kDefaultTickTempo = 1042;

uint32_t MetaTempo(const SmfWalkEvent& e) {
  return (uint32_t{e.data[0]} << 16) | (uint32_t{e.data[1]} << 8) | e.data[2];
}
bool IsMetaTempo(const SmfWalkEvent& e) {
  return e.IsMeta() && e.metaType == 0x51 && e.dataSize >= 3;
}

/// The tempo of a device tempo SysEx (43 79 06 7D 10 ...); false for any other event.
bool DeviceTempo(const SmfWalkEvent& e, uint32_t& tempo) {
  if (e.status != 0xF0 || e.dataSize < 5) return false;
  const uint8_t* d = e.data;
  if (d[0] != kDialectMakerId || d[1] != kDialectModelId || d[2] != kDialectDeviceId ||
      d[3] != kGroupSong || d[4] != kSongTempo)
    return false;
  return ReadTempoPayload(d + 5, e.dataSize - 5, e.declaredLength, tempo);
}

/// Bytes an event costs the device.
uint32_t CountedBytes(const SmfWalkEvent& e) {
  switch (e.status & 0xF0) {
    case 0x80:
    case 0x90:
    case 0xB0:
    case 0xE0: return 3;
    case 0xC0: return 2;
    case 0xA0:
    case 0xD0: return 0;
    default: break;
  }
  if (e.status != 0xF0 || e.dataSize < 5) return 0;
  const uint8_t* d = e.data;
  if (d[0] != kDialectMakerId || d[1] != kDialectModelId || d[2] != kDialectDeviceId ||
      d[3] != kGroupDevice)
    return 0;
  uint8_t command = d[4];
  if (command == kDeviceMasterVolume || command == kDeviceStreamPair ||
      command == kDeviceStreamSlot || command == kDeviceSongValue)
    return e.declaredLength + 1;
  return 0;
}

/// Ticks rounded as (x * 10 + 5) / 10 on a tenth of a tick.
uint32_t RoundedTicks(uint64_t numerator, uint64_t denominator) {
  if (denominator == 0) return 0;
  return static_cast<uint32_t>((numerator * 10 / denominator + 5) / 10);
}

}  // namespace

bool CSmfDensityScan::Run(const uint8_t* smf, uint32_t size) {
  m_points.clear();
  m_result = DensityResult{};
  try {
    Scan(smf, size);
    return true;
  } catch (int) {
    m_points.clear();
    return false;
  }
}

uint32_t CSmfDensityScan::TickAtUs(uint64_t us) const {
  uint64_t since = us - m_segment.startUs;
  uint32_t ticks = m_division != 0 ? RoundedTicks(since * m_division, m_quarterTempo)
                                   : RoundedTicks(since, m_tickTempo);
  return m_segment.startTick + ticks;
}

void CSmfDensityScan::CloseWindow(Window& window) {
  uint64_t widthUs = uint64_t{m_windowMs} * 1000;
  uint64_t endUs = window.startUs + widthUs;
  m_points.push_back(DensityPoint{static_cast<uint32_t>(window.startUs / 1000),
                                  window.count * 1000 / m_windowMs, TickAtUs(endUs)});
  if (!m_anyClosed || window.count > m_largestCount) {
    m_largestCount = window.count;
    m_largestStartUs = window.startUs;
  }
  m_anyClosed = true;
  window.count = 0;
  window.startUs = endUs;
}

void CSmfDensityScan::AddToWindow(Window& window, uint64_t timeUs, uint32_t bytes) {
  uint64_t widthUs = uint64_t{m_windowMs} * 1000;
  while (timeUs >= window.startUs + widthUs) CloseWindow(window);
  window.count += bytes;
}

void CSmfDensityScan::Scan(const uint8_t* smf, uint32_t size) {
  if (!smf || size < 14) throw kErrNotSmf;
  CSmfTrackWalker walker(smf, size);
  m_division = walker.GetDivision();
  SmfWalkEvent e;
  bool haveTick = false;
  bool haveQuarter = false;
  m_tickTempo = kDefaultTickTempo;
  m_quarterTempo = kDefaultTempo;
  while (walker.Next(e) && !(haveTick && haveQuarter)) {
    uint32_t tempo = 0;
    if (!haveTick && IsMetaTempo(e)) {
      haveTick = true;
      // A zero tempo would stop time and divide by zero below: the default stands instead.
      if (MetaTempo(e) != 0) m_tickTempo = MetaTempo(e);
    } else if (!haveQuarter && DeviceTempo(e, tempo)) {
      haveQuarter = true;
      if (tempo != 0) m_quarterTempo = tempo;
    }
  }

  walker.Rewind();
  m_segment = Segment{};
  m_largestCount = 0;
  m_largestStartUs = 0;
  m_anyClosed = false;
  uint64_t widthUs = uint64_t{m_windowMs} * 1000;
  Window first{0, 0};
  Window second{widthUs / 2, 0};
  uint64_t timeUs = 0;
  uint64_t totalBytes = 0;
  while (walker.Next(e)) {
    uint64_t ticks = e.tick - m_segment.startTick;
    timeUs = m_segment.startUs + (m_division != 0 ? ticks * m_quarterTempo / m_division
                                                  : ticks * m_tickTempo);
    if (timeUs / 1000 > kMaxSongMs) throw kErrRejected;
    uint32_t tempo = 0;
    if (DeviceTempo(e, tempo) && tempo != 0 && tempo != m_quarterTempo) {
      m_segment = Segment{timeUs, e.tick};
      m_quarterTempo = tempo;
    } else if (IsMetaTempo(e) && MetaTempo(e) != 0 && MetaTempo(e) != m_tickTempo) {
      m_segment = Segment{timeUs, e.tick};
      m_tickTempo = MetaTempo(e);
    }
    uint32_t bytes = CountedBytes(e);
    totalBytes += bytes;
    AddToWindow(first, timeUs, bytes);
    if (timeUs >= second.startUs) AddToWindow(second, timeUs, bytes);
  }
  bool firstIsEarlier = first.startUs <= second.startUs;
  CloseWindow(firstIsEarlier ? first : second);
  CloseWindow(firstIsEarlier ? second : first);

  m_result.totalBytes = static_cast<uint32_t>(totalBytes);
  m_result.totalMs = static_cast<uint32_t>((timeUs + 500) / 1000);
  m_result.peakBytesPerSecond = m_largestCount * 1000 / m_windowMs;
  m_result.peakMs = static_cast<uint32_t>(m_largestStartUs / 1000);
  m_result.averageBytesPerSecond =
      m_result.totalMs ? static_cast<uint32_t>(totalBytes * 1000 / m_result.totalMs) : 0;
}

}  // namespace velkgate

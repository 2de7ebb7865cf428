// The event-density curve of a song: bytes of MIDI data per second over time, measured in two
// series of windows offset by half a window, with the maximum, total and average.
#pragma once

#include <cstdint>
#include <vector>

#include "song/MsgKey.h"

struct SmfEvent;

class CSmfTimedEventList {
 public:
  /// Used in place of a window of 0 ms: the default of the "DensWidth" setting.
  static constexpr uint32_t kFallbackWindowMs = 500;
  /// An event later than this ends the analysis with a failure.
  static constexpr uint64_t kLastAllowedMs = 5999999;

  CSmfTimedEventList() = default;
  virtual ~CSmfTimedEventList() = default;

  /// Analyses an SMF of format 0 or 1 with windows of windowMs milliseconds and returns 1.
  /// Throws kSmfMalformed for a malformed image or an event after 5999999 ms. Of a run of
  /// empty windows the curve keeps the first and the last point, so its size follows the
  /// events, not the song's length.
  int AnalyseDensity(const uint8_t* image, uint32_t size, uint32_t windowMs);
  /// Appends a point (window start in ms, density in bytes per second, tick at the start).
  int AddPoint(uint32_t ms, uint32_t density, uint32_t tick);
  /// Appends a copy of every point to an empty target and returns 1; 0 when it was not empty.
  int CopyItems(std::vector<CMsgKey>& target) const;

  uint32_t GetMaxDensity() const { return m_maxDensity; }
  uint32_t GetMaxTime() const { return m_maxTime; }
  uint32_t GetTotalBytes() const { return m_totalBytes; }
  uint32_t GetLength() const { return m_length; }
  uint32_t GetAverageDensity() const { return m_averageDensity; }
  const std::vector<CMsgKey>& GetPoints() const { return m_points; }

 private:
  struct Window {
    uint64_t start = 0;  // microseconds
    uint64_t end = 0;
    uint32_t count = 0;  // bytes
    uint32_t startTick = 0;
  };
  struct TempoState {
    uint32_t tickLength = 0;    // microseconds per tick (FF 51)
    uint32_t quarterLength = 0; // microseconds per quarter (7D 10)
    uint32_t division = 0;
    uint64_t accumulated = 0;   // microseconds at the last change
    uint32_t lastChangeTick = 0;
  };

  void FindFirstTempos(const SmfEvent& event, bool& tickFound, bool& quarterFound);
  uint64_t TimeOf(uint32_t tick) const;
  uint32_t StartTickAt(uint64_t us) const;
  void ApplyTempoChange(const SmfEvent& event);
  void CountEvent(const SmfEvent& event);
  /// True when the last two points are empty windows.
  bool InZeroRun() const;
  void CloseWindow(Window& window);
  void SkipEmptyWindows(uint64_t t);
  void CloseDueWindows(uint64_t t);
  void Finish();

  uint32_t m_maxDensity = 0;
  uint32_t m_maxTime = 0;
  uint32_t m_totalBytes = 0;
  uint32_t m_length = 0;
  uint32_t m_averageDensity = 0;
  std::vector<CMsgKey> m_points;

  // State of one analysis.
  TempoState m_tempo;
  uint32_t m_windowMs = 0;
  uint64_t m_windowUs = 0;
  Window m_a, m_b;
  uint32_t m_maxCount = 0;
  uint64_t m_maxStart = 0;
  uint64_t m_lastTime = 0;
  uint64_t m_total = 0;
};

// The song's tick and millisecond conversion: two lists of tempo points.
#pragma once

#include <cstdint>
#include <vector>

class CTempoPoint {
 public:
  CTempoPoint(uint32_t tick, uint32_t rate, uint32_t time) : m_tick(tick), m_rate(rate), m_time(time) {}
  virtual ~CTempoPoint() = default;
  CTempoPoint(const CTempoPoint&) = default;
  CTempoPoint& operator=(const CTempoPoint&) = default;

  uint32_t GetTick() const { return m_tick; }
  uint32_t GetRate() const { return m_rate; }
  uint32_t GetTime() const { return m_time; }
  void SetTick(uint32_t v) { m_tick = v; }
  void SetRate(uint32_t v) { m_rate = v; }
  void SetTime(uint32_t v) { m_time = v; }

 private:
  uint32_t m_tick;
  uint32_t m_rate;
  uint32_t m_time;
};

/// List A holds microseconds per tick (the song-data tempo events), list B microseconds per
/// quarter note with the map's resolution (the tempo device messages). Points are appended in
/// song order and never removed one by one.
class CTempoMap {
 public:
  enum List : int { kListA = 0, kListB = 1 };
  enum Rounding : int { kNearest = 0, kUp = 1, kDown = 2 };

  CTempoMap() = default;
  virtual ~CTempoMap() = default;

  /// Empties both lists; a nonzero rate adds the list-A point (0, rate), a nonzero resolution
  /// turns list B on.
  void Reset(uint32_t initialRate, uint32_t resolution);
  /// 1 when the list holds no point.
  int IsEmpty(int list) const;
  /// Appends a list-A point; its time follows from the last one. 1.
  int AddTempo(uint32_t tick, uint32_t rate);
  /// Appends a list-B point; 0 and nothing added while the resolution is 0.
  int AddSmfTempo(uint32_t tick, uint32_t rate);
  /// Milliseconds at the tick, rounded (0 nearest, 1 up, 2 down, other nearest) and quantised
  /// to a multiple of quantum (below 1 counts as 1). A nonzero limit tick keeps a rounding up
  /// only while it does not pass the limit's time.
  uint32_t TickToMs(uint32_t tick, int rounding, int quantum, uint32_t limit) const;
  /// The tick at the milliseconds, by list A only; 0 when list A is empty.
  uint32_t MsToTick(uint32_t ms, int rounding) const;

  uint32_t GetResolution() const { return m_resolution; }
  const std::vector<CTempoPoint>& GetPoints(int list) const { return list == kListB ? m_listB : m_listA; }

 private:
  uint32_t ListBValue(uint32_t tick, int rounding) const;
  uint32_t ListAValue(uint32_t tick, int rounding) const;
  /// The last point whose tick is not above the tick, searched from the end; null when none.
  static const CTempoPoint* PointAtTick(const std::vector<CTempoPoint>& list, bool ordered,
                                        uint32_t tick);

  uint32_t m_resolution = 0;
  std::vector<CTempoPoint> m_listA;
  std::vector<CTempoPoint> m_listB;
  // While points come in tick order (and list-A times in time order) lookups bisect.
  bool m_orderedA = true;
  bool m_orderedB = true;
  bool m_timesOrderedA = true;
};

// Seek-and-phrase records that the VELK writers and readers exchange: start, stop and phrase marks.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

/// One phrase mark: a kind byte and its start and end (created zeroed).
struct CPhraseMark {
  uint8_t kind = 0;
  uint32_t start = 0;
  uint32_t end = 0;
};

/// The record of a score track ("MspI"); it owns its points and marks.
class CTrackBuild {
 public:
  CTrackBuild() = default;
  CTrackBuild(const CTrackBuild&) = delete;
  CTrackBuild& operator=(const CTrackBuild&) = delete;
  virtual ~CTrackBuild() = default;

  /// Frees both points and every mark, then empties the list.
  void Release();

  uint8_t GetFirstField() const { return m_firstField; }
  void SetFirstField(uint8_t v) { m_firstField = v; }

  /// The start point, or null when absent.
  const uint32_t* GetStartPoint() const { return m_start.get(); }
  const uint32_t* GetStopPoint() const { return m_stop.get(); }
  void SetStartPoint(uint32_t tick) { m_start = std::make_unique<uint32_t>(tick); }
  void SetStopPoint(uint32_t tick) { m_stop = std::make_unique<uint32_t>(tick); }
  void ClearStartPoint() { m_start.reset(); }
  void ClearStopPoint() { m_stop.reset(); }

  uint32_t GetEndValue() const { return m_endValue; }
  void SetEndValue(uint32_t v) { m_endValue = v; }

  /// Takes ownership of the mark and appends it.
  void AddMark(std::unique_ptr<CPhraseMark> mark) { m_marks.push_back(std::move(mark)); }
  size_t GetMarkCount() const { return m_marks.size(); }
  /// Mark i, or null when i is not below the count.
  CPhraseMark* GetMark(size_t i) const { return i < m_marks.size() ? m_marks[i].get() : nullptr; }

  /// True when the record has a start point, a stop point or a mark.
  bool HasContent() const { return m_start || m_stop || !m_marks.empty(); }

 private:
  uint8_t m_firstField = 0;
  std::unique_ptr<uint32_t> m_start;
  std::unique_ptr<uint32_t> m_stop;
  uint32_t m_endValue = 0;
  std::vector<std::unique_ptr<CPhraseMark>> m_marks;
};

/// The record of an audio track ("AspI"); the same shape.
class CTrackBuild2 : public CTrackBuild {};

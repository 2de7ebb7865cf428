// The event-density scan over a song-data Standard MIDI File: bytes per second in windows.
#pragma once

#include <cstdint>
#include <vector>

namespace velkgate {

struct DensityPoint {
  uint32_t startMs = 0;
  uint32_t bytesPerSecond = 0;
  uint32_t endTick = 0;
};

struct DensityResult {
  uint32_t totalBytes = 0;
  uint32_t totalMs = 0;
  uint32_t peakBytesPerSecond = 0;
  uint32_t peakMs = 0;
  uint32_t averageBytesPerSecond = 0;
};

class CSmfDensityScan {
 public:
  /// A song longer than this fails the scan.
  static constexpr uint64_t kMaxSongMs = 5999999;

  explicit CSmfDensityScan(uint32_t windowMs = 1000) : m_windowMs(windowMs ? windowMs : 1000) {}

  /// Scans the bytes. False when they are not a Standard MIDI File, a track is malformed or
  /// the song runs longer than kMaxSongMs; the results are then not to be used.
  bool Run(const uint8_t* smf, uint32_t size);

  const DensityResult& GetResult() const { return m_result; }
  const std::vector<DensityPoint>& GetPoints() const { return m_points; }

 private:
  struct Window {
    uint64_t startUs = 0;
    uint32_t count = 0;
  };
  struct Segment {
    uint64_t startUs = 0;
    uint32_t startTick = 0;
  };

  void Scan(const uint8_t* smf, uint32_t size);
  uint32_t TickAtUs(uint64_t us) const;
  void AddToWindow(Window& window, uint64_t timeUs, uint32_t bytes);
  void CloseWindow(Window& window);

  uint32_t m_windowMs;
  uint16_t m_division = 0;
  uint32_t m_tickTempo = 0;     // FF 51: microseconds per tick
  uint32_t m_quarterTempo = 0;  // device tempo: microseconds per quarter
  Segment m_segment;
  uint32_t m_largestCount = 0;
  uint64_t m_largestStartUs = 0;
  bool m_anyClosed = false;
  DensityResult m_result;
  std::vector<DensityPoint> m_points;
};

}  // namespace velkgate

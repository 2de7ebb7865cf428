// A named stopwatch that song operations use to time their steps.
#pragma once

#include <cstdint>
#include <string>

class CStopwatch {
 public:
  /// Stores the name and the creation tick.
  explicit CStopwatch(std::string name);
  virtual ~CStopwatch() = default;

  /// Notes the tick count as the start and returns it.
  uint32_t Start();
  /// Adds the milliseconds since Start to the accumulated time.
  void Stop();
  void ClearCreationTick() { m_creationTick = 0; }

  uint32_t GetAccumulated() const { return m_accumulated; }
  uint32_t GetCreationTick() const { return m_creationTick; }
  const std::string& GetName() const { return m_name; }

 private:
  uint32_t m_accumulated = 0;
  uint32_t m_startTick = 0;
  std::string m_name;
  uint32_t m_creationTick;
};

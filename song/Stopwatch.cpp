// A named stopwatch.
#include "song/Stopwatch.h"

#include <utility>

#include "platform/sys/Clock.h"

CStopwatch::CStopwatch(std::string name)
    : m_name(std::move(name)), m_creationTick(platform::GetTickCount()) {}

uint32_t CStopwatch::Start() {
  m_startTick = platform::GetTickCount();
  return m_startTick;
}

// Unsigned arithmetic keeps a wrap of the 32-bit tick count harmless.
void CStopwatch::Stop() { m_accumulated += platform::GetTickCount() - m_startTick; }

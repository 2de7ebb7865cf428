// One event of a song's event list.
#include "song/MidiMsg.h"

#include <cstring>
#include <utility>

CMidiMsg::CMidiMsg(uint32_t tick, uint32_t endTick, uint32_t length, const uint8_t* data,
                   uint32_t extra)
    : m_tick(tick), m_endTick(endTick), m_extra(extra) {
  Assign(data, length);
}

CMidiMsg::CMidiMsg(const CMidiMsg& other)
    : m_tick(other.m_tick), m_endTick(other.m_endTick), m_extra(other.m_extra) {
  Assign(other.GetData(), other.m_length);
}

CMidiMsg::CMidiMsg(CMidiMsg&& other) noexcept { *this = std::move(other); }

CMidiMsg& CMidiMsg::operator=(const CMidiMsg& other) {
  if (this != &other) {
    CMidiMsg copy(other);
    *this = std::move(copy);
  }
  return *this;
}

CMidiMsg& CMidiMsg::operator=(CMidiMsg&& other) noexcept {
  if (this == &other) return *this;
  m_tick = other.m_tick;
  m_length = other.m_length;
  std::memcpy(m_inline, other.m_inline, kInlineBytes);
  m_heap = std::move(other.m_heap);
  m_endTick = other.m_endTick;
  m_extra = other.m_extra;
  m_spare = 0;
  other.m_length = 0;
  return *this;
}

void CMidiMsg::Assign(const uint8_t* data, uint32_t length) {
  m_length = length;
  m_heap.reset();
  if (length > kInlineBytes) {
    m_heap.reset(new uint8_t[length]());
    if (data) std::memcpy(m_heap.get(), data, length);
  } else if (length > 0 && data) {
    std::memcpy(m_inline, data, length);
  }
  m_spare = 0;
}

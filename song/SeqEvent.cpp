// The converted-sequence event.
#include "song/SeqEvent.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "song/MemStream.h"
#include "song/MidiMsg.h"
#include "song/SmfDialect.h"

CSeqEvent::CSeqEvent(uint32_t tick, uint32_t length, const uint8_t* bytes, uint32_t valueA,
                     uint32_t valueB)
    : m_tick(tick), m_valueA(valueA), m_valueB(valueB) {
  Assign(bytes, length);
}

CSeqEvent::CSeqEvent(const CSeqEvent& other)
    : m_tick(other.m_tick), m_valueA(other.m_valueA), m_valueB(other.m_valueB),
      m_dropped(other.m_dropped) {
  Assign(other.GetData(), other.m_length);
}

CSeqEvent& CSeqEvent::operator=(const CSeqEvent& other) {
  if (this == &other) return *this;
  Assign(other.GetData(), other.m_length);
  m_tick = other.m_tick;
  m_valueA = other.m_valueA;
  m_valueB = other.m_valueB;
  m_dropped = other.m_dropped;
  return *this;
}

void CSeqEvent::Assign(const uint8_t* bytes, uint32_t length) {
  std::unique_ptr<uint8_t[]> heap;
  if (length > kInlineBytes) {
    heap.reset(new (std::nothrow) uint8_t[length]);
    if (!heap) throw kErrOutOfMemory;
    if (bytes) std::memcpy(heap.get(), bytes, length);
  } else {
    uint8_t copy[kInlineBytes] = {};
    if (bytes && length > 0) std::memcpy(copy, bytes, length);
    std::memcpy(m_inline, copy, kInlineBytes);
  }
  m_heap = std::move(heap);
  m_length = length;
}

int CSeqEvent::GetKind() const {
  const uint8_t* d = GetData();
  if (m_length >= 1 && (d[0] & 0xF0) == 0x90) return 6;
  if (m_length >= 3 && d[0] == 0xFF && d[1] == 0x51 && d[2] == 0x03) return 1;
  if (m_length < 2 || d[0] != 0xF0) return 0;
  // F0, a variable-length size, then 43 79 06, the group and the command.
  uint32_t i = 1;
  while (i < m_length && (d[i] & 0x80) && i < 5) ++i;
  ++i;
  if (i + 5 > m_length) return 0;
  if (d[i] != kDialectMakerId || d[i + 1] != 0x79 || d[i + 2] != 0x06) return 0;
  uint8_t group = d[i + 3];
  uint8_t command = d[i + 4];
  if (group == 0x7F && command == 0x08) return 2;
  if (group == 0x7D && command == 0x10) return 3;
  if (group == 0x7F && command == 0x0B) return 4;
  if (group == 0x7F && command == 0x00) return 5;
  return 0;
}

bool IsSameEvent(const CMidiMsg& message, const CSeqEvent& event) {
  if (message.GetTick() != event.GetTick() || message.GetLength() != event.GetLength()) return false;
  if (message.GetEndTick() != event.GetValue() || message.GetExtra() != event.GetExtra()) return false;
  return std::equal(message.GetData(), message.GetData() + message.GetLength(), event.GetData());
}

// Copies of the three key values.
#include "song/MsgKey.h"

#include "song/MidiMsg.h"

void CMsgKey::Set(const CMsgKey& source) {
  Set(source.GetFirst(), source.GetSecond(), source.GetThird());
}

void CMsgKey::Set(const CMidiMsg& source) {
  uint32_t word = 0;
  uint32_t n = source.GetLength() < 4 ? source.GetLength() : 4;
  for (uint32_t i = 0; i < n; ++i) word |= uint32_t{source.GetByte(i)} << (8 * i);
  Set(source.GetTick(), source.GetLength(), word);
}

void CMsgKey::Set(uint32_t first, uint32_t second, uint32_t third) {
  m_values[0] = first;
  m_values[1] = second;
  m_values[2] = third;
}

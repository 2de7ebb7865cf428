// A bounded reader of the events of one Standard MIDI File track.
#include "plugins/polyscan/TrackReader.h"

#include "app/CnvParam.h"
#include "plugins/polyscan/CheckFailure.h"

namespace polyscan {

namespace {

[[noreturn]] void Malformed() { throw CheckFailure{CNVERR_FAILED}; }

// Data bytes following a system common status byte.
int SystemCommonLength(uint8_t status) { return status == 0xF2 ? 2 : 1; }

}  // namespace

uint8_t TrackReader::ReadByte() {
  if (m_pos >= m_size) Malformed();
  return m_begin[m_pos++];
}

uint8_t TrackReader::ReadDataByte() {
  uint8_t b = ReadByte();
  // A status byte inside a message means the track is broken, not a key or value above 127.
  if (b & 0x80) Malformed();
  return b;
}

uint32_t TrackReader::ReadVarLen() {
  uint32_t value = 0;
  for (int i = 0; i < 4; ++i) {
    uint8_t b = ReadByte();
    value = (value << 7) | (b & 0x7F);
    if (!(b & 0x80)) return value;
  }
  Malformed();  // more than four groups is no Standard MIDI File quantity
}

const uint8_t* TrackReader::Take(uint32_t n) {
  if (n > m_size - m_pos) Malformed();
  const uint8_t* p = m_begin + m_pos;
  m_pos += n;
  return p;
}

void TrackReader::ReadChannelMessage(uint8_t status, TrackEvent& ev) {
  ev.status = status;
  ev.data1 = ReadDataByte();
  uint8_t command = status & 0xF0;
  if (command != 0xC0 && command != 0xD0) ev.data2 = ReadDataByte();
}

TrackEvent TrackReader::Next() {
  TrackEvent ev;
  ev.delta = ReadVarLen();
  uint8_t first = ReadByte();
  if (first < 0x80) {
    if (!m_runningStatus) Malformed();
    --m_pos;  // the byte is the first data byte of a running-status message
    ReadChannelMessage(m_runningStatus, ev);
    return ev;
  }
  if (first < 0xF0) {
    m_runningStatus = first;
    ReadChannelMessage(first, ev);
    return ev;
  }
  ev.status = first;
  switch (first) {
    case 0xF0:
    case 0xF7:
      ev.length = ReadVarLen();
      ev.body = Take(ev.length);
      return ev;
    case 0xFF:
      ev.metaType = ReadByte();
      ev.length = ReadVarLen();
      ev.body = Take(ev.length);
      return ev;
    case 0xF1:
    case 0xF2:
    case 0xF3:
      ev.length = static_cast<uint32_t>(SystemCommonLength(first));
      ev.body = Take(ev.length);
      return ev;
    default:
      Malformed();  // real-time and undefined bytes have no place in a track
  }
}

}  // namespace polyscan

// The encoder of the score stream: which events are written, and how.
#include "plugins/velkgate/ScoreEncoder.h"

#include "plugins/velkgate/ByteHelpers.h"
#include "song/SmfDialect.h"
#include "song/SmfDialectText.h"

namespace velkgate {

namespace {

constexpr uint8_t kNop[2] = {0xFF, 0x00};
constexpr uint8_t kEnd[3] = {0xFF, 0x2F, 0x00};
constexpr uint8_t kMaxRange = 24;
constexpr uint8_t kFirstStreamSlot = 1;
constexpr uint8_t kLastStreamSlot = 32;
constexpr uint8_t kClassOneVelocity = 64;

/// Phrase letters of the section codes 1..7.
uint8_t PhraseLetter(uint32_t code) {
  return (code >= kCueFirstSection && code <= kCueLastSection)
             ? static_cast<uint8_t>(kSectionLetters[code - 1])
             : 0;
}

bool IsStreamSlot(uint8_t v) { return v >= kFirstStreamSlot && v <= kLastStreamSlot; }

}  // namespace

void CScoreEncoder::Encode(const CEventList& list) {
  CEventArray events;
  for (CSeqEvent* e : list.Items()) events.Add(e);
  for (CSeqEvent* e : events) {
    // Every event counts in the latest end, written or not.
    uint32_t end = e->GetEndTick() > e->GetTick() ? e->GetEndTick() : e->GetTick();
    if (end > m_latestEnd) m_latestEnd = end;
    EncodeEvent(*e);
  }
  Close();
}

void CScoreEncoder::Delta(uint32_t tick) {
  AppendVlq(m_out, tick - m_lastTick);
  m_lastTick = tick;
  Started(tick);
}

void CScoreEncoder::Started(uint32_t tick) {
  if (tick > m_latestStart) m_latestStart = tick;
}

void CScoreEncoder::Write(uint32_t tick, std::initializer_list<uint8_t> bytes) {
  Delta(tick);
  AppendBytes(m_out, bytes.begin(), static_cast<uint32_t>(bytes.size()));
}

void CScoreEncoder::ClearRpn(Channel& ch) {
  ch.rpnMsb = kUnset;
  ch.rpnLsb = kUnset;
  ch.pendingRange = kUnset;
  ch.rangePending = false;
}

void CScoreEncoder::EncodeEvent(const CSeqEvent& e) {
  if (e.GetExtra() != 0) return Marker(e);
  uint8_t status = e.GetDataByte(0);
  if (status < 0x90) return;
  Channel& ch = m_channels[status & 0x0F];
  switch (status & 0xF0) {
    case 0x90: return Note(e, ch);
    case 0xB0: return ControlChange(e, ch);
    case 0xC0: return ProgramChange(e, ch);
    case 0xE0: return PitchBend(e, ch);
    default: break;
  }
  if (status == 0xF0) SysEx(e);
}

void CScoreEncoder::Marker(const CSeqEvent& e) {
  Delta(e.GetTick());
  AppendBytes(m_out, kNop, 2);
  auto offset = static_cast<uint32_t>(m_out.size());
  uint32_t code = e.GetExtra();
  if (code == kCueStart) m_seek.SetStart(offset);
  else if (code == kCueStop) m_seek.SetStop(offset);
  else m_seek.AddPhrase(PhraseLetter(code), offset, 0);
}

void CScoreEncoder::Note(const CSeqEvent& e, Channel& ch) {
  if (e.GetEndTick() == e.GetTick()) return;
  uint8_t status = e.GetDataByte(0);
  uint8_t key = e.GetDataByte(1);
  uint8_t velocity = e.GetDataByte(2);
  Delta(e.GetTick());
  bool withVelocity = velocity != ch.lastVelocity;
  if (m_classOne && ch.savedVelocity != kUnset) {
    if (velocity != ch.savedVelocity) {
      ch.savedVelocity = kUnset;
      withVelocity = true;
    } else if (ch.lastVelocity == kUnset) {
      // After a class-1 reset the saved velocity is written as 64.
      velocity = kClassOneVelocity;
      withVelocity = true;
    } else {
      withVelocity = false;
    }
  }
  if (withVelocity) {
    const uint8_t bytes[3] = {status, key, velocity};
    AppendBytes(m_out, bytes, 3);
    ch.lastVelocity = velocity;
  } else {
    const uint8_t bytes[2] = {static_cast<uint8_t>(0x80 | (status & 0x0F)), key};
    AppendBytes(m_out, bytes, 2);
  }
  AppendVlq(m_out, e.GetEndTick() - e.GetTick());
}

void CScoreEncoder::ControlChange(const CSeqEvent& e, Channel& ch) {
  uint8_t status = e.GetDataByte(0);
  uint8_t controller = e.GetDataByte(1);
  uint8_t value = e.GetDataByte(2) & 0x7F;
  switch (controller) {
    case 0: ch.pendingMsb = value; return;
    case 32: ch.pendingLsb = value; return;
    case 1:
    case 7:
    case 10:
    case 11:
    case 64: return Write(e.GetTick(), {status, controller, value});
    case 101:
      if (value == 0) ch.rpnMsb = 0;
      else ClearRpn(ch);
      return;
    case 100:
      if (value == 0) ch.rpnLsb = 0;
      else ClearRpn(ch);
      return;
    case 98:
    case 99: ClearRpn(ch); return;
    case 6:
      if (ch.rpnMsb != 0 || ch.rpnLsb != 0) return;
      if (value > kMaxRange) return ClearRpn(ch);
      ch.pendingRange = value;
      ch.rangePending = true;
      return;
    default: ModeMessage(e, ch, controller, value);
  }
}

void CScoreEncoder::ModeMessage(const CSeqEvent& e, Channel& ch, uint8_t controller, uint8_t value) {
  uint8_t status = e.GetDataByte(0);
  bool allowed = ((controller == 120 || controller == 121 || controller == 123 ||
                   controller == 127) && value == 0) ||
                 (controller == 126 && value == 1);
  if (!allowed) return;
  if (controller != 121) return Write(e.GetTick(), {status, controller, value});
  if (!m_classOne) {
    Write(e.GetTick(), {status, 0x79, value});
    ch.lastVelocity = kUnset;
    return;
  }
  uint8_t bend = static_cast<uint8_t>(0xE0 | (status & 0x0F));
  Write(e.GetTick(), {status, 0x01, 0x00});
  Write(e.GetTick(), {status, 0x0B, 0x7F});
  Write(e.GetTick(), {status, 0x40, 0x00});
  Write(e.GetTick(), {status, 0x64, 0x7F});
  Write(e.GetTick(), {status, 0x65, 0x7F});
  Write(e.GetTick(), {bend, 0x00, 0x40});
  ch.savedVelocity = ch.lastVelocity;
  ch.lastVelocity = kUnset;
}

void CScoreEncoder::ProgramChange(const CSeqEvent& e, Channel& ch) {
  auto control = static_cast<uint8_t>(0xB0 | (e.GetDataByte(0) & 0x0F));
  if (ch.pendingMsb != kUnset) Write(e.GetTick(), {control, 0x00, ch.pendingMsb});
  if (ch.pendingLsb != kUnset) Write(e.GetTick(), {control, 0x20, ch.pendingLsb});
  Write(e.GetTick(), {e.GetDataByte(0), static_cast<uint8_t>(e.GetDataByte(1) & 0x7F)});
  ch.pendingMsb = kUnset;
  ch.pendingLsb = kUnset;
}

void CScoreEncoder::PitchBend(const CSeqEvent& e, Channel& ch) {
  uint8_t status = e.GetDataByte(0);
  if (ch.rangePending && ch.pendingRange != ch.lastRange) {
    auto control = static_cast<uint8_t>(0xB0 | (status & 0x0F));
    Write(e.GetTick(), {control, 0x65, 0x00});
    Write(e.GetTick(), {control, 0x64, 0x00});
    Write(e.GetTick(), {control, 0x06, ch.pendingRange});
    ch.lastRange = ch.pendingRange;
  }
  Write(e.GetTick(), {status, static_cast<uint8_t>(e.GetDataByte(1) & 0x7F),
                      static_cast<uint8_t>(e.GetDataByte(2) & 0x7F)});
}

void CScoreEncoder::SysEx(const CSeqEvent& e) {
  if (e.GetLength() < 8 || e.GetDataByte(5) != kGroupDevice) return;
  uint8_t command = e.GetDataByte(6);
  bool written = false;
  switch (command) {
    case kDeviceMasterVolume:
      written = true;
      if (m_masterByte == kUnset) m_masterByte = e.GetDataByte(7);
      break;
    case kDeviceStreamPair:
      written = IsStreamSlot(e.GetDataByte(8)) && IsStreamSlot(e.GetDataByte(9));
      break;
    case kDeviceStreamSlot: written = IsStreamSlot(e.GetDataByte(7)); break;
    case kDeviceSongValue: written = true; break;
    default: break;
  }
  if (!written) return;
  Delta(e.GetTick());
  AppendBytes(m_out, e.GetData(), e.GetLength());
}

void CScoreEncoder::Close() {
  uint32_t tail = m_latestEnd - m_latestStart;
  bool phrases = !m_seek.GetPhrases().empty();
  if (phrases || (m_seek.HasStop() && m_seek.GetStop() >= m_out.size())) {
    if (phrases) {
      AppendVlq(m_out, tail);
      AppendBytes(m_out, kNop, 2);
    }
    m_seek.SetEnd(static_cast<uint32_t>(m_out.size()));
    AppendByte(m_out, 0x00);
    AppendBytes(m_out, kNop, 2);
    AppendByte(m_out, 0x00);
    AppendBytes(m_out, kEnd, 3);
    return;
  }
  AppendVlq(m_out, tail);
  AppendBytes(m_out, kEnd, 3);
}

}  // namespace velkgate

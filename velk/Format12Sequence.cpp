// The decoder of a format-1/2 score-track sequence.
#include "velk/Format12Sequence.h"

#include <algorithm>
#include <vector>

#include "velk/BodyScan.h"
#include "velk/VarLen.h"

namespace {

constexpr uint8_t kEndOfExclusive = 0xF7;
constexpr uint8_t kMetaEndOfTrack = 0x2F;

// Device message kinds that become records.
constexpr uint8_t kKindSetting = 0x00;
constexpr uint8_t kKindSlotPair = 0x08;
constexpr uint8_t kKindSlotSetting = 0x0B;
constexpr uint8_t kKindValue = 0x10;
constexpr uint8_t kFirstSlot = 1;
constexpr uint8_t kLastSlot = 32;

bool IsSlot(uint8_t v) { return v >= kFirstSlot && v <= kLastSlot; }

// Controllers passed on as they stand, and those passed only with value 0.
constexpr uint8_t kKeptControllers[] = {0, 1, 6, 7, 10, 11, 32, 38, 64, 91, 100, 101};
constexpr uint8_t kResetControllers[] = {120, 121, 123, 127};
constexpr uint8_t kMonoModeController = 126;

bool IsKeptController(uint8_t x, uint8_t v) {
  auto has = [x](const auto& list) {
    return std::find(std::begin(list), std::end(list), x) != std::end(list);
  };
  if (has(kKeptControllers)) return true;
  if (has(kResetControllers)) return v == 0;
  return x == kMonoModeController && v == 1;
}

}  // namespace

CFormat12Sequence::CFormat12Sequence(uint8_t* body, uint32_t size) : m_body(body), m_size(size) {
  std::fill(std::begin(m_velocity), std::end(m_velocity), kDefaultVelocity);
  std::fill(std::begin(m_program), std::end(m_program), kUnset);
}

void CFormat12Sequence::DecodeFormat12Sequence(CSeqEventList& list, const CTrackBuild* seek,
                                               uint32_t* report) {
  CMemStream body(m_body, static_cast<int32_t>(m_size), false);
  ParseToEndOfBody([&] {
    Pass pass{CSequenceEmitter(list, seek), report};
    DecodeEvents(body, pass);
  });
}

bool CFormat12Sequence::AtEndOfTrack(const CMemStream& body) {
  if (body.RemainingBytes() < 3) return false;
  const uint8_t* p = body.GetCurrent();
  return p[0] == 0xFF && p[1] == kMetaEndOfTrack && p[2] == 0x00;
}

void CFormat12Sequence::Report(const Pass& pass, uint32_t bit) {
  if (pass.report) *pass.report |= bit;
}

void CFormat12Sequence::DecodeEvents(CMemStream& body, Pass& pass) {
  uint32_t tick = 0;
  while (!body.AtEnd() && !AtEndOfTrack(body)) {
    pass.out.EmitCues(static_cast<uint32_t>(body.GetPosition()), tick);
    uint32_t delta = 0;
    ReadVarLen(body, delta);
    tick += delta;
    if (!ReadEvent(body, pass, tick)) return;
  }
}

bool CFormat12Sequence::ReadEvent(CMemStream& body, Pass& pass, uint32_t tick) {
  // No running status: every event carries its status byte.
  uint8_t status = 0;
  body.ReadByte(status);
  uint8_t c = status & 0x0F;
  uint8_t a = 0;
  uint8_t b = 0;
  switch (status >> 4) {
    case 0x8:
      ReadNote(body, pass, tick, status, false);
      break;
    case 0x9:
      ReadNote(body, pass, tick, status, true);
      break;
    case 0xA:
      body.ReadByte(a).ReadByte(b);
      break;
    case 0xB:
      ReadControl(body, pass, tick, status);
      break;
    case 0xC: {
      body.ReadByte(a);
      m_program[c] = a;
      const uint8_t bytes[] = {status, a};
      pass.out.Emit(tick, bytes, sizeof bytes, tick);
      break;
    }
    case 0xD:
      // Channel pressure is dropped, but its data byte is read so the stream stays in step.
      body.ReadByte(a);
      break;
    case 0xE: {
      body.ReadByte(a).ReadByte(b);
      const uint8_t bytes[] = {status, a, b};
      pass.out.Emit(tick, bytes, sizeof bytes, tick);
      break;
    }
    case 0xF:
      if (status == 0xF0) ReadExclusive(body, pass, tick);
      if (status == 0xFF) return ReadMeta(body, pass, tick);
      break;
    default:
      break;
  }
  return true;
}

void CFormat12Sequence::ReadNote(CMemStream& body, Pass& pass, uint32_t tick, uint8_t status,
                                 bool withVelocity) {
  uint8_t c = status & 0x0F;
  uint8_t note = 0;
  body.ReadByte(note);
  if (withVelocity) body.ReadByte(m_velocity[c]);
  uint32_t gate = 0;
  ReadVarLen(body, gate);
  if (note >= CSequenceEmitter::kNotes) return;
  const uint8_t bytes[] = {static_cast<uint8_t>(0x90 | c), note, m_velocity[c]};
  if (pass.out.EmitNote(c, note, tick, gate, bytes, sizeof bytes)) Report(pass, kReportMergedNote);
}

void CFormat12Sequence::ReadControl(CMemStream& body, Pass& pass, uint32_t tick, uint8_t status) {
  uint8_t x = 0;
  uint8_t v = 0;
  body.ReadByte(x).ReadByte(v);
  if (!IsKeptController(x, v)) return;
  const uint8_t bytes[] = {status, x, v};
  pass.out.Emit(tick, bytes, sizeof bytes, tick);
}

void CFormat12Sequence::ReadExclusive(CMemStream& body, Pass& pass, uint32_t tick) {
  uint32_t length = 0;
  ReadVarLen(body, length);
  // The four header bytes are carried into the record unchecked.
  std::vector<uint8_t> record = {0xF0, 0x07, 0, 0, 0, 0};
  bool whole = true;
  for (size_t i = 2; i < 6 && whole; ++i) whole = ReadExclusiveByte(body, record[i]);
  uint8_t kind = 0;
  uint8_t x = 0;
  uint8_t y = 0;
  uint8_t z = 0;
  bool keep = false;
  if (whole && ReadExclusiveByte(body, kind)) {
    if ((kind == kKindSetting || kind == kKindValue) && ReadExclusiveByte(body, x)) {
      if (kind == kKindSetting && m_setting == kUnset) m_setting = x;
      record.insert(record.end(), {kind, x});
      keep = true;
    } else if (kind == kKindSlotPair && ReadExclusiveByte(body, x) && ReadExclusiveByte(body, y) &&
               ReadExclusiveByte(body, z)) {
      keep = IsSlot(y) && IsSlot(z);
      if (!keep) Report(pass, kReportBadStreamSlot);
      record.insert(record.end(), {kind, x, y, z});
    } else if (kind == kKindSlotSetting && ReadExclusiveByte(body, x)) {
      if (!IsSlot(x)) Report(pass, kReportBadStreamSlot);
      keep = IsSlot(x) && ReadExclusiveByte(body, y) && ReadExclusiveByte(body, z);
      record.insert(record.end(), {kind, x, y, z});
    }
  }
  SkipPastByte(body, kEndOfExclusive);
  if (!keep) return;
  record.push_back(kEndOfExclusive);
  // The record's own length byte counts what follows it, F7 included.
  record[1] = static_cast<uint8_t>(record.size() - 2);
  pass.out.Emit(tick, record.data(), static_cast<uint32_t>(record.size()), tick);
}

bool CFormat12Sequence::ReadMeta(CMemStream& body, Pass& pass, uint32_t tick) {
  uint8_t type = 0;
  body.ReadByte(type);
  if (type == 0x00) return true;
  if (type == kMetaEndOfTrack) {
    pass.out.EmitClosingStop(static_cast<uint32_t>(body.GetPosition()), tick);
    return false;
  }
  uint8_t n = 0;
  body.ReadByte(n);
  if (n > body.RemainingBytes()) {
    body.Seek(2, 0);
    throw kErrEndOfData;
  }
  body.Seek(1, n);
  return true;
}

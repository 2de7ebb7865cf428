// The output file being built.
#include "plugins/midigate/SmfImage.h"

#include <cstring>

#include "plugins/midigate/Failure.h"
#include "plugins/midigate/SmfBytes.h"
#include "plugins/midigate/TrackCursor.h"
#include "song/SmfDialect.h"

namespace midigate {

CSmfImage::CSmfImage(uint16_t division) {
  WriteSmfHeader(m_out, 0, 1, division);
  m_out.Write(kSmfTrackId, sizeof kSmfTrackId);
  m_out.WriteBE32(0);  // patched by Finish
  m_trackStart = m_out.GetPosition();
}

void CSmfImage::WriteDelta(uint64_t tick) {
  if (tick < m_lastTick) Fail();
  uint64_t delta = tick - m_lastTick;
  // A longer delta has no four-byte quantity; readers of the file could not take it.
  if (delta > kMaxVarLenValue) Fail();
  WriteVarLen(m_out, static_cast<uint32_t>(delta));
  m_lastTick = tick;
}

void CSmfImage::WriteEvent(uint64_t tick, const uint8_t* bytes, uint32_t n) {
  WriteDelta(tick);
  m_out.Write(bytes, n);
}

void CSmfImage::WriteSysEx(uint64_t tick, const uint8_t* raw, uint32_t n) {
  WriteDelta(tick);
  m_out.WriteByte(kStatusSysEx);
  if (n > 1) m_out.Write(raw + 1, n - 1);
}

void CSmfImage::WriteChannel(uint64_t tick, uint8_t status, uint8_t data1) {
  const uint8_t bytes[2] = {status, data1};
  WriteEvent(tick, bytes, 2);
}

void CSmfImage::WriteChannel(uint64_t tick, uint8_t status, uint8_t data1, uint8_t data2) {
  const uint8_t bytes[3] = {status, data1, data2};
  WriteEvent(tick, bytes, 3);
}

void CSmfImage::WriteMeta(uint64_t tick, uint8_t type, const uint8_t* data, uint32_t n) {
  WriteDelta(tick);
  const uint8_t head[2] = {kStatusMeta, type};
  m_out.Write(head, 2);
  WriteVarLen(m_out, n);
  m_out.Write(data, n);
}

void CSmfImage::Finish(uint64_t endTick) {
  WriteMeta(endTick > m_lastTick ? endTick : m_lastTick, kMetaEndOfTrack, nullptr, 0);
  int32_t end = m_out.GetPosition();
  m_out.Seek(0, m_trackStart - 4);
  m_out.WriteBE32(static_cast<uint32_t>(end - m_trackStart));
  m_out.Seek(0, end);
}

uint32_t CSmfImage::CopyTo(CnvParam& param) const {
  uint32_t size = static_cast<uint32_t>(m_out.GetSize());
  if (size >= CNVERR_FAILED) Fail();
  if (!param.dst || size > param.dstSize) return CNVERR_DSTSIZE;
  std::memcpy(param.dst, m_out.GetData(), size);
  param.dstSize = size;
  return size;
}

}  // namespace midigate

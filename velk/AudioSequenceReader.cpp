// The decoder of an audio-track sequence.
#include "velk/AudioSequenceReader.h"

#include "velk/BodyScan.h"
#include "velk/SequenceNumbers.h"

namespace {

// The closing four bytes of a body are never decoded.
constexpr uint32_t kTrailerBytes = 4;
// Event bytes 0x01-0x3F are wave notes; 0x40-0xFE carry nothing.
constexpr uint8_t kLastWaveNote = 0x3F;
constexpr uint8_t kCodeVolume = 7;
constexpr uint8_t kCodePan = 10;

}  // namespace

CAudioSequenceReader::CAudioSequenceReader(uint8_t* body, uint32_t size)
    : m_body(body), m_size(size) {}

void CAudioSequenceReader::Decode(CSeqEventList& list, const CTrackBuild* seek) {
  CMemStream body(m_body, static_cast<int32_t>(m_size), false);
  ParseToEndOfBody([&] {
    CSequenceEmitter out(list, seek);
    DecodeEvents(body, out);
  });
}

void CAudioSequenceReader::DecodeEvents(CMemStream& body, CSequenceEmitter& out) {
  uint32_t tick = 0;
  while (body.RemainingBytes() > kTrailerBytes) {
    out.EmitCues(static_cast<uint32_t>(body.GetPosition()), tick);
    tick += ReadSeqNumber(body);
    uint8_t e = 0;
    body.ReadByte(e);
    if (e == 0x00) {
      ReadControl(body, out, tick);
    } else if (e == 0xFF) {
      ReadExclusive(body);
    } else if (e <= kLastWaveNote) {
      uint32_t gate = ReadSeqNumber(body);
      const uint8_t bytes[] = {0x90, e};
      out.EmitNote(0, e, tick, gate, bytes, sizeof bytes);
    }
  }
}

void CAudioSequenceReader::ReadControl(CMemStream& body, CSequenceEmitter& out, uint32_t tick) {
  uint8_t x = 0;
  uint8_t v = 0;
  body.ReadByte(x).ReadByte(v);
  if (x >= 0x40) return;
  uint8_t code = x & 0x0F;
  if (code != kCodeVolume && code != kCodePan) return;
  const uint8_t bytes[] = {0xB0, static_cast<uint8_t>(code == kCodeVolume ? 0x07 : 0x0A), v};
  out.Emit(tick, bytes, sizeof bytes, tick);
}

void CAudioSequenceReader::ReadExclusive(CMemStream& body) {
  uint8_t next = 0;
  body.ReadByte(next);
  if (next != 0xF0) return;
  // An exclusive message carries nothing here: its counted bytes are stepped over.
  uint8_t n = 0;
  body.ReadByte(n);
  if (n > body.RemainingBytes()) {
    body.Seek(2, 0);
    throw kErrEndOfData;
  }
  body.Seek(1, n);
}

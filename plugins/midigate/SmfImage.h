// The output file being built: a format-0 header, one track, events placed by absolute tick.
#pragma once

#include <cstdint>

#include "app/CnvParam.h"
#include "song/MemStream.h"

namespace midigate {

/// Builds "MThd" (format 0, one track) and one "MTrk" whose length is patched at the end. Events
/// are given by absolute tick; the delta in front of each is the distance to the event written
/// before it, so a dropped event's delta is carried to the next written one.
class CSmfImage {
 public:
  explicit CSmfImage(uint16_t division);

  /// Writes the delta up to tick (never backwards) and the given bytes.
  void WriteEvent(uint64_t tick, const uint8_t* bytes, uint32_t n);
  /// A SysEx stored from its status byte (F0 or F7), written with the status F0.
  void WriteSysEx(uint64_t tick, const uint8_t* raw, uint32_t n);
  void WriteChannel(uint64_t tick, uint8_t status, uint8_t data1);
  void WriteChannel(uint64_t tick, uint8_t status, uint8_t data1, uint8_t data2);
  void WriteMeta(uint64_t tick, uint8_t type, const uint8_t* data, uint32_t n);
  /// Writes only the delta; the caller appends the event through Stream().
  void WriteDelta(uint64_t tick);

  CMemStream& Stream() { return m_out; }
  uint64_t LastTick() const { return m_lastTick; }

  /// Ends the track with one end-of-track event at tick (or at the last event when later)
  /// and patches the track length.
  void Finish(uint64_t endTick);

  /// Copies the finished image into the caller's buffer: its size, or CNVERR_DSTSIZE (nothing
  /// copied, dstSize unchanged) when it does not fit.
  uint32_t CopyTo(CnvParam& param) const;

 private:
  CMemStream m_out;
  int32_t m_trackStart = 0;  // first byte behind the track length
  uint64_t m_lastTick = 0;
};

}  // namespace midigate

// The events of the first track of an SMF image, classified for the voice-usage scan.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "song/ByteBuffer.h"
#include "song/HeapBlock.h"

class CSmfEventStream {
 public:
  CSmfEventStream();
  CSmfEventStream(const CSmfEventStream&) = delete;
  CSmfEventStream& operator=(const CSmfEventStream&) = delete;
  virtual ~CSmfEventStream();

  /// Reads the division and the events of the first track (data from offset 22, its length at
  /// offset 18, bounded by size). Returns 1 when the track was read to its end-of-track event
  /// or to the end of its data; 0 for a malformed or cut track, keeping the events read so far.
  int Parse(const uint8_t* image, uint32_t size);

  /// Event i (0-based), or null past the end.
  const CHeapBlock* GetAt(uint32_t i) const { return i < m_events.size() ? m_events[i].get() : nullptr; }
  uint32_t GetCount() const { return static_cast<uint32_t>(m_events.size()); }
  /// The tick of the last note off (or note on with velocity 0).
  uint32_t GetLastNoteEnd() const { return m_lastNoteRelease; }
  uint16_t GetDivision() const { return m_division; }
  void SetDivision(uint16_t division) { m_division = division; }

  /// The value of n bytes of a variable-length number; one byte is taken whole.
  static uint32_t DecodeVarLen(const uint8_t* bytes, uint32_t n);

 private:
  /// Walks events from pos up to end; returns true at the end-of-track event.
  bool ReadEvents(const uint8_t* data, uint32_t pos, uint32_t end);
  /// Bytes of the event whose status is at data[pos]; 0 when it does not end before end.
  uint32_t EventSize(const uint8_t* data, uint32_t pos, uint32_t end) const;
  void Clear();

  std::string m_text;
  std::vector<std::unique_ptr<CHeapBlock>> m_events;
  uint16_t m_division = 0;
  CByteBuffer m_buffer;
  uint32_t m_lastNoteRelease = 0;
};

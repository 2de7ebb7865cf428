// The free-standing table of 49 stream-PCM slots and its "SPK3" stream-PCM file.
#pragma once

#include <cstdint>
#include <string>

#include "song/StreamPCMSlot.h"

class CMemStream;

class CStreamPCMTable {
 public:
  static constexpr int kSlotCount = 49;
  /// The file carries slots 1..32.
  static constexpr int kFirstFileSlot = 1;
  static constexpr int kLastFileSlot = 32;

  /// Slot i for i < 49, else null.
  CStreamPCMSlot* GetSlot(int i);
  const CStreamPCMSlot* GetSlot(int i) const;
  /// Assigns the slot to slot i; false for an index outside the table.
  bool SetSlot(int i, const CStreamPCMSlot& slot);

  /// Writes one "SPK3" chunk with an entry per slot 1..32 in use; nothing when none is. True.
  bool Export(CMemStream& stream) const;
  /// Reads a file of the current entry layout; false when it cannot be read or is malformed.
  bool LoadFile(const std::string& path);
  /// Reads a file of the layout of version 1.1.1 and earlier (16-bit data lengths).
  bool ImportFile(const std::string& path);
  /// The same readers over an image in memory.
  bool LoadBytes(const uint8_t* data, uint32_t size, bool oldLayout);

  /// The format byte written for a slot format.
  static uint8_t FormatByteFromSlotFormat(int format);
  /// The slot format of a format byte's selector, or -1 for a selector the file cannot hold.
  static int SlotFormatFromFormatByte(uint8_t formatByte);

 private:
  bool ReadEntries(const uint8_t* body, uint32_t n, bool oldLayout);

  CStreamPCMSlot m_slots[kSlotCount];
};

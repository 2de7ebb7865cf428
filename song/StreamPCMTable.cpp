// The stream-PCM table's file: "SPK3" entries of the current and the earlier layout.
#include "song/StreamPCMTable.h"

#include <new>

#include "platform/io/FileIo.h"
#include "song/MemStream.h"
#include "song/Chunk.h"

namespace {

constexpr uint32_t kIdSPK3 = MakeChunkId('S', 'P', 'K', '3');
constexpr uint32_t kEntryHeaderSize = 8;
constexpr uint32_t kOldEntryHeaderSize = 6;
constexpr uint8_t kTriggerBankMsb = 125;
/// A stereo slot (interleaved channels) is marked in bit 2, as in the board's wave messages.
constexpr uint8_t kStereoBit = 0x04;

uint16_t GetBE16(const uint8_t* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }

uint32_t GetBE32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

}  // namespace

CStreamPCMSlot* CStreamPCMTable::GetSlot(int i) {
  return (i >= 0 && i < kSlotCount) ? &m_slots[i] : nullptr;
}

const CStreamPCMSlot* CStreamPCMTable::GetSlot(int i) const {
  return (i >= 0 && i < kSlotCount) ? &m_slots[i] : nullptr;
}

bool CStreamPCMTable::SetSlot(int i, const CStreamPCMSlot& slot) {
  if (i < 0 || i >= kSlotCount) return false;
  m_slots[i] = slot;
  return true;
}

uint8_t CStreamPCMTable::FormatByteFromSlotFormat(int format) {
  switch (format) {
    case 0:
      return 0x10;
    case 2:
      return 0x09;
    case 3:
      return 0x01;
    default:
      return 0x00;
  }
}

int CStreamPCMTable::SlotFormatFromFormatByte(uint8_t formatByte) {
  switch ((formatByte >> 3) & 0x0F) {
    case 0:
      return 3;
    case 1:
      return 2;
    case 2:
      return 0;
    default:
      return -1;
  }
}

bool CStreamPCMTable::Export(CMemStream& stream) const {
  CMemStream body;
  for (int i = kFirstFileSlot; i <= kLastFileSlot; ++i) {
    const CStreamPCMSlot& slot = m_slots[i];
    if (slot.GetId() == CStreamPCMSlot::kFreeId) continue;
    body.WriteByte(static_cast<uint8_t>(slot.GetId()));
    body.WriteBE32(slot.GetDataSize());
    const uint8_t stereo = slot.GetFlag() ? kStereoBit : 0;
    body.WriteByte(static_cast<uint8_t>(FormatByteFromSlotFormat(slot.GetFormat()) | stereo));
    body.WriteBE16(slot.GetRate());
    if (slot.GetDataSize() > 0) body.Write(slot.GetData(), slot.GetDataSize());
  }
  const int32_t size = body.GetSize();
  if (size == 0) return true;
  CChunk chunk(kIdSPK3);
  chunk.SetBody(body.Detach(), static_cast<uint32_t>(size));
  chunk.Write(stream);
  return true;
}

bool CStreamPCMTable::LoadFile(const std::string& path) {
  const auto bytes = platform::ReadWholeFile(path);
  if (!bytes) return false;
  return LoadBytes(bytes->data(), static_cast<uint32_t>(bytes->size()), false);
}

bool CStreamPCMTable::ImportFile(const std::string& path) {
  const auto bytes = platform::ReadWholeFile(path);
  if (!bytes) return false;
  return LoadBytes(bytes->data(), static_cast<uint32_t>(bytes->size()), true);
}

bool CStreamPCMTable::LoadBytes(const uint8_t* data, uint32_t size, bool oldLayout) {
  if (!data || size == 0) return false;
  bool result = false;
  try {
    CMemStream file(const_cast<uint8_t*>(data), static_cast<int32_t>(size), false);
    while (!file.AtEnd()) {
      // A chunk cut short by the end of the file fails the load (the stream throws -48).
      CChunk chunk(file);
      if (chunk.GetId() != kIdSPK3) return result;
      result = ReadEntries(chunk.GetBody(), chunk.GetBodySize(), oldLayout);
      if (!result) return false;
    }
  } catch (int) {
    return false;
  } catch (const std::bad_alloc&) {
    return false;
  }
  return result;
}

bool CStreamPCMTable::ReadEntries(const uint8_t* body, uint32_t n, bool oldLayout) {
  const uint32_t headerSize = oldLayout ? kOldEntryHeaderSize : kEntryHeaderSize;
  uint32_t at = 0;
  while (at < n) {
    if (n - at < headerSize) return false;
    const uint8_t* entry = body + at;
    const int id = entry[0];
    const uint32_t length = oldLayout ? GetBE16(entry + 1) : GetBE32(entry + 1);
    const uint8_t formatByte = entry[oldLayout ? 3 : 5];
    const uint16_t rate = GetBE16(entry + (oldLayout ? 4 : 6));
    if (id < kFirstFileSlot || id > kLastFileSlot) return false;
    const int format = SlotFormatFromFormatByte(formatByte);
    if (format < 0) return false;
    // An entry whose data runs past the body fails the chunk instead of reading beyond it.
    if (n - at - headerSize < length) return false;
    CStreamPCMSlot& slot = m_slots[id];
    slot.SetBankMsb(kTriggerBankMsb);
    slot.SetBankLsb(0);
    slot.SetProgram(0);
    slot.SetId(id);
    slot.SetFormat(static_cast<uint8_t>(format));
    if (formatByte & kStereoBit) slot.SetFlag(1);
    slot.SetRate(rate);
    slot.SetWaveData(entry + headerSize, length);
    at += headerSize + length;
  }
  return true;
}

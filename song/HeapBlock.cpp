// One classified event of an SMF event stream.
#include "song/HeapBlock.h"

#include <cstring>
#include <new>

#include "song/MemStream.h"

namespace {

constexpr int kErrMalformed = -1;

// A variable-length number of at most four bytes at bytes[*pos]; false when it runs past size.
bool ReadLength(const uint8_t* bytes, uint32_t size, uint32_t* pos, uint32_t* value) {
  *value = 0;
  for (int count = 0; count < 4; ++count) {
    if (*pos >= size) return false;
    uint8_t b = bytes[(*pos)++];
    *value = (*value << 7) | (b & 0x7F);
    if (!(b & 0x80)) return true;
  }
  throw kErrMalformed;
}

uint32_t ClassifySysEx(const uint8_t* bytes, uint32_t size) {
  uint32_t pos = 1;
  uint32_t length = 0;
  if (!ReadLength(bytes, size, &pos, &length) || length < 5) return kKindOther;
  if (size - pos < 5) return kKindOther;
  const uint8_t* data = bytes + pos;
  uint8_t group = data[3];
  uint8_t command = data[4];
  if (group == 0x7F && command == 0x00) return kKindMasterVolume;
  if (group == 0x7D && command == 0x02) return kKindChannelStatus;
  if (group == 0x7F && command == 0x01) return kKindVoice;
  if (group == 0x7F && command == 0x05) return kKindStreamPcm;
  if (group == 0x7D && command == 0x01) return kKindContentsHeader;
  return kKindOther;
}

bool IsCueText(const uint8_t* bytes, uint32_t size, const char* text) {
  uint32_t n = static_cast<uint32_t>(std::strlen(text));
  // FF 07, a one-byte length, then the text.
  return size >= 3 + n && bytes[2] == n && std::memcmp(bytes + 3, text, n) == 0;
}

uint32_t ClassifyMeta(const uint8_t* bytes, uint32_t size) {
  if (size < 2) return kKindOther;
  uint32_t pos = 2;
  uint32_t length = 0;
  if (!ReadLength(bytes, size, &pos, &length)) return kKindOther;
  if (bytes[1] != 0x07) return kKindOther;
  if (IsCueText(bytes, size, "START")) return kKindCueStart;
  if (IsCueText(bytes, size, "STOP")) return kKindCueStop;
  return kKindOther;
}

}  // namespace

CHeapBlock::CHeapBlock(uint32_t tick, uint32_t size, const uint8_t* bytes) : m_tick(tick), m_size(size) {
  if (size > kInlineBytes) {
    m_heap.reset(new (std::nothrow) uint8_t[size]);
    if (!m_heap) throw kErrOutOfMemory;
    std::memcpy(m_heap.get(), bytes, size);
  } else if (size > 0) {
    std::memcpy(m_inline, bytes, size);
  }
  m_kind = Classify(GetData(), size);
}

uint32_t CHeapBlock::Classify(const uint8_t* bytes, uint32_t size) {
  if (size == 0) return kKindChannel;
  uint8_t status = bytes[0];
  if (status == 0xFF) return ClassifyMeta(bytes, size);
  if (status == 0xF0) return ClassifySysEx(bytes, size);
  if (status >= 0xF0) return kKindOther;
  uint8_t high = status & 0xF0;
  if (high == 0x80 || high == 0x90) return kKindNote;
  return kKindChannel;
}

// The "VOIC" child of "MMMG" with its entries.
#include "velk/MmmgVoiceChunk.h"

#include <cstring>
#include <utility>

namespace {

constexpr uint8_t kFrame[] = {0xFF, 0xF0};
constexpr uint8_t kHeader[] = {0x43, 0x04, 0x01};
constexpr uint8_t kEnd = 0xF7;
// The frame's length counts the three header bytes and the closing byte besides the data.
constexpr uint32_t kLengthOverhead = 4;
// FF F0, the length, the three header bytes.
constexpr uint32_t kFrameBytes = 6;

}  // namespace

CMmmgDeviceVoiceChunk::CMmmgDeviceVoiceChunk(CMemStream& stream) : CMmmgVoiceEntry(stream, 1) {
  CMemStream body(GetBody(), static_cast<int32_t>(GetBodySize()), false);
  body.ReadByte(m_value);
}

void CMmmgDeviceVoiceChunk::WriteBody(CMemStream& stream) { stream.WriteByte(m_value); }

CMmmgExtraVoiceChunk::CMmmgExtraVoiceChunk(CMemStream& stream, uint8_t index)
    : CMmmgVoiceEntry(stream, 2), m_index(index) {
  ParseFrame();
}

void CMmmgExtraVoiceChunk::ParseFrame() {
  const uint8_t* body = GetBody();
  uint32_t size = GetBodySize();
  if (size < kFrameBytes) return;
  if (std::memcmp(body, kFrame, sizeof kFrame) != 0) return;
  if (std::memcmp(body + 3, kHeader, sizeof kHeader) != 0) return;
  uint8_t length = body[2];
  // A length below the header's own bytes, or data past the body, holds no data.
  if (length < kLengthOverhead) return;
  uint32_t dataLength = length - kLengthOverhead;
  if (dataLength > size - kFrameBytes) return;
  if (dataLength == 0) return;
  m_data.reset(new uint8_t[dataLength]);
  std::memcpy(m_data.get(), body + kFrameBytes, dataLength);
  m_dataLength = static_cast<uint8_t>(dataLength);
}

void CMmmgExtraVoiceChunk::WriteBody(CMemStream& stream) {
  stream.Write(kFrame, sizeof kFrame);
  stream.WriteByte(static_cast<uint8_t>(m_dataLength + kLengthOverhead));
  stream.Write(kHeader, sizeof kHeader);
  if (m_dataLength > 0) stream.Write(m_data.get(), m_dataLength);
  stream.WriteByte(kEnd);
}

CMmmgVoiceChunk::CMmmgVoiceChunk(CMemStream& stream) : CChunk(stream) {
  CMemStream body(GetBody(), static_cast<int32_t>(GetBodySize()), false);
  while (!body.AtEnd()) {
    uint32_t id = PeekChunkId(body);
    if (id == kIdDEVO) {
      m_entries.AddOwned(std::make_unique<CMmmgDeviceVoiceChunk>(body));
    } else if (id == kIdEXVO) {
      auto entry = std::make_unique<CMmmgExtraVoiceChunk>(body, m_extraCount);
      if (entry->GetDataLength() > 0) {
        m_entries.AddOwned(std::move(entry));
        ++m_extraCount;
      }
    } else {
      SkipChunk(body);
    }
  }
}

void CMmmgVoiceChunk::WriteBody(CMemStream& stream) {
  CMmmgVoiceEntry* entry = nullptr;
  for (CMmmgVoiceEntryIter it(m_entries); it.Next(entry);) entry->Write(stream);
}

// The setup data chunk "Mtsu" of a format-0 score track.
#include "velk/SetupDataChunk.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "song/Voice2.h"
#include "velk/BodyScan.h"

namespace {

constexpr uint8_t kMakerId = 0x43;
constexpr uint8_t kKindGeneration1 = 0x02;
constexpr uint8_t kKindGeneration2 = 0x03;
constexpr uint8_t kTempoMark = 0x80;
constexpr uint8_t kEndOfExclusive = 0xF7;
constexpr uint8_t kFirstVoiceTrack = 5;

}  // namespace

CSetupDataChunk::CSetupDataChunk(CMemStream& stream, uint8_t trackNumber)
    : CSetupDataChunkBase(stream) {
  if (trackNumber >= kFirstVoiceTrack) return;
  CMemStream body(GetBody(), static_cast<int32_t>(GetBodySize()), false);
  ParseToEndOfBody([&] { ParseBody(body); });
}

void CSetupDataChunk::ParseBody(CMemStream& body) {
  while (!body.AtEnd()) {
    uint8_t length = 0;
    body.ReadByte(m_entryHeader[0]).ReadByte(m_entryHeader[1]).ReadByte(length);
    body.ReadByte(m_entryHeader[2]).ReadByte(m_entryHeader[3]);
    if (m_entryHeader[2] == kMakerId && m_entryHeader[3] == kKindGeneration1) {
      ReadGeneration1(body);
    } else if (m_entryHeader[2] == kMakerId && m_entryHeader[3] == kKindGeneration2) {
      ReadGeneration2(body);
    }
    SkipPastByte(body, kEndOfExclusive);
  }
}

void CSetupDataChunk::ReadGeneration1(CMemStream& body) {
  uint8_t next = body.PeekByte();
  if (next == kTempoMark) {
    uint8_t mark = 0;
    body.ReadByte(mark).ReadByte(m_tempoByte);
    return;
  }
  // Setup entries are numbered 0..7.
  if ((next & 0xF8) != 0) return;
  if (GetEntryCount() >= kMaxEntries) return;
  uint8_t entry[kEntrySize];
  body.Read(entry, kEntrySize);  // a short entry ends the parse without being kept
  m_entries.insert(m_entries.end(), entry, entry + kEntrySize);
}

void CSetupDataChunk::ReadGeneration2(CMemStream& body) {
  // A voice record starts with its voice number, 0..15.
  if ((body.PeekByte() & 0xF0) != 0) return;
  if (m_voiceCount >= kVoiceSlots) return;
  std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[kVoiceBufferSize]());
  if (!buffer) throw kErrOutOfMemory;
  // The operator count sits in the fourth byte; bytes the body does not hold read as 0.
  uint8_t params[CVoice2::kParamsSize] = {};
  uint32_t available = body.RemainingBytes();
  std::memcpy(params, body.GetCurrent(), std::min<uint32_t>(available, sizeof params));
  CVoice2 probe;
  probe.SetParams(params);
  auto length = static_cast<uint32_t>(probe.GetVoiceDataLength());
  body.Read(buffer.get(), std::min(length, available));
  m_voices[m_voiceCount++] = std::move(buffer);
}

const uint8_t* CSetupDataChunk::GetEntries() const {
  return m_entries.empty() ? nullptr : m_entries.data();
}

const uint8_t* CSetupDataChunk::GetVoiceRecord(int i) const {
  if (i < 0 || i >= kVoiceSlots) return nullptr;
  return m_voices[i].get();
}

// The setup data chunk "Mtsu" of a format-0 score track.
#include "velk/SetupDataChunk.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "song/Voice2.h"
#include "song/SmfDialect.h"
#include "velk/BodyScan.h"
#include "velk/TempoBytes.h"

namespace {

constexpr uint8_t kKindGeneration1 = 0x02;
constexpr uint8_t kKindGeneration2 = 0x03;
constexpr uint8_t kTempoMark = 0x80;
constexpr uint8_t kEndOfExclusive = 0xF7;
constexpr uint8_t kFirstVoiceTrack = 5;
constexpr uint8_t kEntryLead[] = {0xFF, 0xF0};
// The block at offset 64 of the output record holds 8 setup entries; a second byte of 0xFF
// marks an unused one.
constexpr int kRecordEntries = 8;
constexpr uint8_t kUnusedEntry = 0xFF;
// Maker and kind bytes and the closing F7 that an entry's length counts besides its data.
constexpr uint8_t kEntryFraming = 3;

bool IsUsedEntry(const SongOutputRecord& record, int i) {
  return record.bytes[SongOutputRecord::kBlockOffset + i * CSetupDataChunk::kEntrySize + 1] !=
         kUnusedEntry;
}

void WriteEntry(CMemStream& out, uint8_t kind, const uint8_t* data, uint32_t size) {
  out.Write(kEntryLead, sizeof kEntryLead);
  const uint8_t head[] = {static_cast<uint8_t>(size + kEntryFraming), kDialectMakerId, kind};
  out.Write(head, sizeof head);
  out.Write(data, size);
  out.WriteByte(kEndOfExclusive);
}

}  // namespace

CSetupDataChunk::CSetupDataChunk(CMemStream& stream, uint8_t trackNumber)
    : CSetupDataChunkBase(stream) {
  if (trackNumber >= kFirstVoiceTrack) return;
  CMemStream body(GetBody(), static_cast<int32_t>(GetBodySize()), false);
  ParseToEndOfBody([&] { ParseBody(body); });
}

CSetupDataChunk::CSetupDataChunk(const SongOutputRecord& record, uint16_t tempo,
                                 bool generation2)
    : CSetupDataChunkBase(kIdMtsu) {
  CMemStream out;
  uint8_t kind = generation2 ? kKindGeneration2 : kKindGeneration1;
  const uint8_t tempoEntry[] = {kTempoMark, SetupTempoByte(tempo)};
  // Nothing used: the body stays empty, without a tempo entry either.
  if (generation2 ? HasVoiceRecords(record) : HasUsedEntries(record)) {
    WriteEntry(out, kind, tempoEntry, sizeof tempoEntry);
    if (generation2) {
      BuildGeneration2(record, out);
    } else {
      BuildGeneration1(record, out);
    }
  }
  auto size = static_cast<uint32_t>(out.GetSize());
  SetBody(out.Detach(), size);
  CMemStream body(GetBody(), static_cast<int32_t>(GetBodySize()), false);
  ParseToEndOfBody([&] { ParseBody(body); });
}

bool CSetupDataChunk::HasUsedEntries(const SongOutputRecord& record) {
  for (int i = 0; i < kRecordEntries; ++i) {
    if (IsUsedEntry(record, i)) return true;
  }
  return false;
}

bool CSetupDataChunk::HasVoiceRecords(const SongOutputRecord& record) {
  for (std::uintptr_t word : record.words) {
    if (word != 0) return true;
  }
  return false;
}

void CSetupDataChunk::BuildGeneration1(const SongOutputRecord& record, CMemStream& out) {
  for (int i = 0; i < kRecordEntries; ++i) {
    if (!IsUsedEntry(record, i)) continue;
    const uint8_t* entry = record.bytes + SongOutputRecord::kBlockOffset + i * kEntrySize;
    WriteEntry(out, kKindGeneration1, entry, kEntrySize);
  }
}

void CSetupDataChunk::BuildGeneration2(const SongOutputRecord& record, CMemStream& out) {
  // The words hold CVoice2 pointers; a record gives its first 15 or 25 parameter bytes.
  for (std::uintptr_t word : record.words) {
    if (word == 0) continue;
    const auto* voice = reinterpret_cast<const CVoice2*>(word);
    WriteEntry(out, kKindGeneration2, voice->GetParams(),
               static_cast<uint32_t>(voice->GetVoiceDataLength()));
  }
}

void CSetupDataChunk::ParseBody(CMemStream& body) {
  while (!body.AtEnd()) {
    uint8_t length = 0;
    body.ReadByte(m_entryHeader[0]).ReadByte(m_entryHeader[1]).ReadByte(length);
    body.ReadByte(m_entryHeader[2]).ReadByte(m_entryHeader[3]);
    if (m_entryHeader[2] == kDialectMakerId && m_entryHeader[3] == kKindGeneration1) {
      ReadGeneration1(body);
    } else if (m_entryHeader[2] == kDialectMakerId && m_entryHeader[3] == kKindGeneration2) {
      ReadGeneration2(body);
    }
    SkipPastByte(body, kEndOfExclusive);
  }
}

void CSetupDataChunk::ReadTempoEntry(CMemStream& body) {
  uint8_t mark = 0;
  body.ReadByte(mark).ReadByte(m_tempoByte);
}

void CSetupDataChunk::ReadGeneration1(CMemStream& body) {
  uint8_t next = body.PeekByte();
  if (next == kTempoMark) {
    ReadTempoEntry(body);
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
  // Generation 2 writes its tempo entry with its own kind, which would otherwise be lost.
  if (body.PeekByte() == kTempoMark) {
    ReadTempoEntry(body);
    return;
  }
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

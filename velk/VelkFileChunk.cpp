// The "MMMD" file chunk.
#include "velk/VelkFileChunk.h"

#include <utility>

#include "velk/Crc16.h"

namespace {

constexpr uint32_t kCrcBytes = 2;
constexpr uint32_t kChunkHeaderBytes = 8;  // id and body size

// Report bits that the contents type of a generation-3 file sets or clears.
constexpr uint32_t kReportModeBit3 = 0x08;
constexpr uint32_t kReportModeBit1 = 0x02;

}  // namespace

CVelkFileChunk::CVelkFileChunk() : CChunk(kIdMMMD) {}

CVelkFileChunk::CVelkFileChunk(CMemStream& stream, uint32_t* report) : CChunk(stream) {
  CMemStream body(GetBody(), static_cast<int32_t>(GetBodySize()), false);
  m_contentsInfo.Read(body);
  if (body.RemainingBytes() >= 4 && PeekChunkId(body) == kIdOPDA) {
    m_optionalData.Read(body);
    m_hasOptionalData = true;
  }
  ReadChildren(body, report);
  if (report && m_contentsInfo.GetGeneration() == 3) ApplyContentsType(report);
}

void CVelkFileChunk::ReadChildren(CMemStream& body, uint32_t* report) {
  // The body ends with the CRC; chunks that do not end exactly there run into the end (-48).
  while (body.RemainingBytes() != kCrcBytes) {
    uint32_t id = PeekChunkId(body);
    auto n = static_cast<uint8_t>(id);
    if (HasChunkPrefix(id, 'M', 'T', 'R')) {
      ReadScoreTrack(body, n, report);
    } else if (HasChunkPrefix(id, 'A', 'T', 'R')) {
      ReadAudioTrack(body, n, report);
    } else if (id == kIdMSTR) {
      AddMasterTrack(std::make_unique<CMasterTrackChunk>(body));
    } else if (id == kIdMMMG) {
      ReadMmmg(body);
    } else {
      // "GTR" and every id we do not know.
      Skip(body, report, kReportSkippedChunk);
    }
  }
}

void CVelkFileChunk::ReadScoreTrack(CMemStream& body, uint8_t n, uint32_t* report) {
  // The report looks at the body's first byte as stored: track 6 keeps only format type 2 and
  // reads a stored 1 as 0xFF, which must still be reported.
  bool storedCompressed = false;
  if (body.RemainingBytes() > kChunkHeaderBytes) {
    const uint8_t* p = body.GetCurrent();
    uint32_t size = (uint32_t{p[4]} << 24) | (uint32_t{p[5]} << 16) | (uint32_t{p[6]} << 8) | p[7];
    storedCompressed = size > 0 && p[kChunkHeaderBytes] == 1;
  }
  auto track = std::make_unique<CScoreTrackChunk>(body, n, report);
  if (report && storedCompressed) *report |= kReportCompressedTrack;
  bool compact = track->GetFormatType() == CScoreTrackChunk::kFormatCompact;
  if (n == 1 && compact && track->GetSetupChunk()) KeepSetupVoiceRecords(*track->GetSetupChunk());
  AddScoreTrack(std::move(track));
}

void CVelkFileChunk::ReadAudioTrack(CMemStream& body, uint8_t n, uint32_t* report) {
  if (m_contentsInfo.GetGeneration() != 2 || n != 0) {
    Skip(body, report, kReportSkippedChunk);
    return;
  }
  auto track = std::make_unique<CAudioTrackChunk>(body, n);
  m_audioHeaderWord = track->GetHeaderWord();
  AddAudioTrack(std::move(track));
}

void CVelkFileChunk::ReadMmmg(CMemStream& body) {
  // Only the first is kept; a further one is dropped without a report bit.
  if (m_mmmg) {
    SkipChunk(body);
    return;
  }
  SetMmmgChunk(std::make_unique<CMmmgChunk>(body));
}

void CVelkFileChunk::Skip(CMemStream& body, uint32_t* report, uint32_t bit) {
  SkipChunk(body);
  if (report) *report |= bit;
}

void CVelkFileChunk::ApplyContentsType(uint32_t* report) {
  switch (m_contentsInfo.GetTypeIndex()) {
    case 2:
      m_sequenceMode = 2;
      *report &= ~kReportModeBit3;
      break;
    case 3:
      m_sequenceMode = 3;
      *report &= ~kReportModeBit3;
      *report |= kReportModeBit1;
      break;
    case 4:
      m_sequenceMode = 4;
      *report |= kReportModeBit3;
      break;
    default:
      break;
  }
}

void CVelkFileChunk::AddScoreTrack(std::unique_ptr<CScoreTrackChunk> track) {
  m_scoreTracks.AddOwned(std::move(track));
}

void CVelkFileChunk::AddAudioTrack(std::unique_ptr<CAudioTrackChunk> track) {
  m_audioTracks.AddOwned(std::move(track));
}

void CVelkFileChunk::AddMasterTrack(std::unique_ptr<CMasterTrackChunk> track) {
  m_masterTracks.AddOwned(std::move(track));
}

void CVelkFileChunk::SetMmmgChunk(std::unique_ptr<CMmmgChunk> chunk) { m_mmmg = std::move(chunk); }

void CVelkFileChunk::Write(CMemStream& stream) {
  int32_t start = stream.GetPosition();
  stream.WriteBE32(GetId());
  stream.WriteBE32(0);
  m_contentsInfo.Write(stream);
  if (m_contentsInfo.GetGeneration() == 3 && m_optionalData.HasDataChunk()) {
    m_optionalData.Write(stream);
    m_hasOptionalData = true;
  }
  CScoreTrackChunk* score = nullptr;
  for (CScoreTrackIter it(m_scoreTracks); it.Next(score);) score->Write(stream);
  CAudioTrackChunk* audio = nullptr;
  for (CAudioTrackIter it(m_audioTracks); it.Next(audio);) audio->Write(stream);
  CMasterTrackChunk* master = nullptr;
  for (CMasterTrackIter it(m_masterTracks); it.Next(master);) master->Write(stream);
  // The MMMG chunk is never written.

  uint32_t n = static_cast<uint32_t>(stream.GetPosition() - start - 8);
  stream.Seek(0, start + 4);
  stream.WriteBE32(n + kCrcBytes);
  // The CRC covers "MMMD" through the last body byte, not itself.
  uint16_t crc = Crc16(n + 8, stream.GetData() + start);
  stream.Seek(1, static_cast<int32_t>(n));
  stream.WriteBE16(crc);
}

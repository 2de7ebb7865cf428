// "MMMD": a VELK file as the converter holds it, parsed from an image or serialised to one.
#include "plugins/velkgate/VelkFileChunk.h"

#include "plugins/velkgate/VelkgateFlags.h"
#include "velk/Crc16.h"

namespace velkgate {

namespace {

constexpr uint32_t kCrcSize = 2;
constexpr uint8_t kSubModeType = 0x33;

template <class T>
void ReplaceById(COwnedList<T>& list, T* chunk) {
  uint32_t id = chunk->GetId();
  if (T* old = list.Find([id](T* c) { return c->GetId() == id; })) list.Delete(old);
  list.Add(chunk);
}

}  // namespace

CVelkFileChunk::CVelkFileChunk() : CChunk(kId) {}

CVelkFileChunk::CVelkFileChunk(CMemStream& stream, uint32_t& flags) : CChunk(kId) {
  // The whole body is copied first, so the chunks are parsed from exactly the declared bytes.
  CChunk raw(stream);
  SetId(raw.GetId());
  CMemStream body(raw.GetBody(), static_cast<int32_t>(raw.GetBodySize()), false);
  ParseBody(body, flags);
}

CVelkFileChunk::~CVelkFileChunk() = default;

void CVelkFileChunk::ParseBody(CMemStream& body, uint32_t& flags) {
  m_cnti.Read(body);
  if (body.RemainingBytes() >= 4 && PeekChunkId(body) == COptionalDataChunk::kId) {
    m_opda.Read(body);
    m_hasOpda = true;
  }
  // Everything up to the two CRC bytes is chunks; a broken size ends in -48 here.
  while (body.RemainingBytes() != kCrcSize) ReadNextChunk(body, flags);
  flags &= ~CNVF_SUBMODE_CLEARED;
  if (m_cnti.GetContentsType() == kSubModeType) flags |= CNVF_SUBMODE_TYPE33;
}

void CVelkFileChunk::ReadNextChunk(CMemStream& body, uint32_t& flags) {
  uint32_t id = PeekChunkId(body);
  if (CScoreTrackChunk::IsScoreTrackId(id)) {
    auto* track = new CScoreTrackChunk(body, flags);
    AddScoreTrack(track);
    if (track->GetFormatType() == CScoreTrackChunk::kCompressed) flags |= CNVF_COMPRESS;
    if (track->GetTrackNumber() == 1 && track->GetCompactSetup()) TakeChannelStatus(*track);
  } else if (id == CMasterTrackChunk::kId) {
    AddMasterTrack(new CMasterTrackChunk(body));
  } else if (id == CMmmgChunk::kId) {
    // Only the first is kept; a later one is stepped over without a warning.
    if (m_mmmg) SkipChunk(body);
    else m_mmmg = std::make_unique<CMmmgChunk>(body);
  } else {
    // Audio ("ATR"), graphics ("GTR") and unknown chunks are not for this chip generation.
    SkipChunk(body);
    flags |= CNVF_CHUNK_SKIPPED;
  }
}

void CVelkFileChunk::TakeChannelStatus(const CScoreTrackChunk& track) {
  for (int i = 0; i < kChannelCount; ++i) m_channelStatus[i] = track.GetChannelStatus(i);
  m_channelCount = static_cast<uint8_t>(track.GetStatusCount());
}

void CVelkFileChunk::Serialize(CMemStream& stream) {
  int32_t start = stream.GetPosition();
  stream.WriteBE32(GetId());
  stream.WriteBE32(0);
  m_cnti.Write(stream);
  if (m_opda.HasDataChunk()) m_opda.Write(stream);
  for (CScoreTrackChunk* track : m_scoreTracks.Items()) track->Write(stream);
  for (CChunk* track : m_audioTracks.Items()) track->Write(stream);
  for (CMasterTrackChunk* track : m_masterTracks.Items()) track->Write(stream);
  int32_t end = stream.GetPosition();
  // The size counts the CRC that follows the chunks.
  stream.Seek(0, start + 4);
  stream.WriteBE32(static_cast<uint32_t>(end - start - 8) + kCrcSize);
  stream.Seek(0, end);
  BuildCrc16Table();
  uint16_t crc = Crc16(static_cast<uint32_t>(end - start), stream.GetData() + start);
  stream.WriteBE16(crc);
}

void CVelkFileChunk::AddScoreTrack(CScoreTrackChunk* track) { ReplaceById(m_scoreTracks, track); }
void CVelkFileChunk::AddAudioTrack(CChunk* track) { ReplaceById(m_audioTracks, track); }
void CVelkFileChunk::AddMasterTrack(CMasterTrackChunk* track) { ReplaceById(m_masterTracks, track); }

uint8_t CVelkFileChunk::GetScoreTrackFormat(uint8_t n) const {
  uint32_t id = CScoreTrackChunk::IdOfTrack(n);
  CScoreTrackChunk* track = m_scoreTracks.Find([id](CScoreTrackChunk* t) { return t->GetId() == id; });
  return track ? track->GetFormatType() : 0;
}

void CVelkFileChunk::MasterTracksToEvents(CEventList& out) const {
  for (CMasterTrackChunk* track : m_masterTracks.Items())
    if (track->GetSequence()) track->GetSequence()->DecodeMasterSequence(out);
}

uint32_t CVelkFileChunk::TimeBaseMilliseconds(uint8_t code) {
  switch (code) {
    case 0x01: return 2;
    case 0x02: return 4;
    case 0x03: return 5;
    case 0x10: return 10;
    case 0x11: return 20;
    case 0x12: return 40;
    case 0x13: return 50;
    default: return 1;
  }
}

}  // namespace velkgate

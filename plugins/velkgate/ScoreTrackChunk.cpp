// "MTR" + n: a score track with its setup, seek, sequence and stream-PCM children.
#include "plugins/velkgate/ScoreTrackChunk.h"

#include <cstring>
#include <vector>

#include "plugins/velkgate/HuffmanCoder.h"
#include "plugins/velkgate/VelkgateFlags.h"

namespace velkgate {

namespace {

constexpr uint32_t kSetupId = CSetupDataChunk::kId;
constexpr uint32_t kSeekId = CSeekPhraseChunk::kId;
constexpr uint32_t kSequenceId = CScoreSequenceChunk::kId;
constexpr uint32_t kStreamPcmId = MakeChunkId('M', 't', 's', 'p');
/// A coded stream spends at least one bit a symbol once it has two byte values, so it cannot
/// expand more than this; a larger count is not a stream the coder wrote.
constexpr uint32_t kMaxExpansion = 8;
/// The flag word's low bits that ask for the sequence as stored, not expanded.
constexpr uint32_t kKeepStoredMask = 0x0F;
constexpr uint32_t kKeepStored = 2;

}  // namespace

CScoreTrackChunk::CScoreTrackChunk(uint8_t track, uint8_t formatType, uint8_t durationBase,
                                   uint8_t gateBase, const uint8_t (&status)[kChannelCount])
    : CChunk(IdOfTrack(track)),
      m_formatType(formatType),
      m_durationBase(durationBase),
      m_gateBase(gateBase),
      m_sequence(std::make_unique<CScoreSequenceChunk>(nullptr, 0)) {
  std::memcpy(m_status, status, sizeof m_status);
  m_sequence->SetId(kPlaceholderId);
}

CScoreTrackChunk::CScoreTrackChunk(CMemStream& stream, uint32_t& flags) : CChunk(uint32_t{0}) {
  // The body is parsed by number, so the id is looked at before Read hands the body over.
  SetId(PeekChunkId(stream));
  m_flags = &flags;
  Read(stream);
  m_flags = nullptr;
}

CScoreTrackChunk::~CScoreTrackChunk() = default;

void CScoreTrackChunk::WriteBody(CMemStream& stream) {
  stream.WriteByte(m_formatType).WriteByte(m_sequenceType);
  stream.WriteByte(m_durationBase).WriteByte(m_gateBase);
  if (GetTrackNumber() < kFirstFullTrack) {
    // Four 4-bit statuses, the first channel in the top nibble.
    uint16_t word = 0;
    for (int i = 0; i < 4; ++i) word = static_cast<uint16_t>((word << 4) | (m_status[i] & 0x0F));
    stream.WriteBE16(word);
  } else {
    stream.Write(m_status, kChannelCount);
  }
  if (m_setup) m_setup->Write(stream);
  if (m_seek) m_seek->Write(stream);
  if (m_sequence) m_sequence->Write(stream);
  if (m_streamPcm && GetTrackNumber() >= kFirstFullTrack) m_streamPcm->Write(stream);
}

void CScoreTrackChunk::ReadBody(CMemStream& stream) {
  uint8_t track = GetTrackNumber();
  stream.ReadByte(m_formatType).ReadByte(m_sequenceType);
  stream.ReadByte(m_durationBase).ReadByte(m_gateBase);
  if ((track == 5 && m_formatType != kCompressed && m_formatType != kPlain) ||
      (track == 6 && m_formatType != kPlain))
    m_formatType = kUnusable;
  if ((track == 5 || track == 6) && m_sequenceType != 0) throw kErrRejected;
  if (track < kFirstFullTrack) {
    uint16_t word = 0;
    stream.ReadBE16(word);
    for (int i = 0; i < 4; ++i) m_status[i] = static_cast<uint8_t>((word >> (12 - 4 * i)) & 0x0F);
  } else {
    stream.Read(m_status, kChannelCount);
  }
  while (!stream.AtEnd()) ReadChild(stream);
}

void CScoreTrackChunk::ReadChild(CMemStream& stream) {
  uint32_t id = PeekChunkId(stream);
  bool compact = m_formatType == kCompact;
  bool full = m_formatType == kCompressed || m_formatType == kPlain;
  // A later child of a kind replaces the earlier one.
  if ((compact || full) && id == kSeekId) {
    m_seek = std::make_unique<CSeekPhraseChunk>(stream);
  } else if (compact && id == kSetupId) {
    m_compactSetup = std::make_unique<CChunk>(stream);
  } else if (full && id == kSetupId) {
    m_setup = std::make_unique<CSetupDataChunk>(stream, GetTrackNumber());
  } else if (compact && id == kSequenceId) {
    m_sequence = std::make_unique<CScoreSequenceChunk>(stream);
  } else if (full && id == kSequenceId) {
    ReadSequence(stream);
  } else if (full && id == kStreamPcmId) {
    m_streamPcm = std::make_unique<CStreamPcmChunk>(stream, m_flags);
  } else {
    SkipChunk(stream);
  }
}

void CScoreTrackChunk::ReadSequence(CMemStream& stream) {
  auto stored = std::make_unique<CScoreSequenceChunk>(stream);
  bool keepStored = m_flags && (*m_flags & kKeepStoredMask) == kKeepStored;
  if (m_formatType != kCompressed || keepStored) {
    m_sequence = std::move(stored);
    return;
  }
  uint32_t count = CHuffmanCoder::PeekCount(stored->GetBody(), stored->GetBodySize());
  // The output is sized from the stream's own count, bounded before anything is allocated.
  if (count > uint64_t{kMaxExpansion} * stored->GetBodySize()) throw kErrEndOfData;
  std::vector<uint8_t> plain(count);
  CHuffmanCoder coder;
  uint32_t n = coder.Decode(stored->GetBody(), stored->GetBodySize(), plain.data(), count);
  m_sequence = std::make_unique<CScoreSequenceChunk>(plain.data(), n);
}

}  // namespace velkgate

// An audio track "ATR" + n.
#include "velk/AudioTrackChunk.h"

#include <algorithm>
#include <utility>

CAudioTrackChunk::CAudioTrackChunk(uint8_t n, uint8_t formatType, uint8_t byte1, uint8_t byte4,
                                   uint8_t byte5, uint16_t headerWord)
    : CChunk(MakeNumberedChunkId('A', 'T', 'R', n)),
      m_formatType(formatType),
      m_byte1(byte1),
      m_headerWord(headerWord),
      m_byte4(byte4),
      m_byte5(byte5),
      m_sequence(std::make_unique<CAudioSequenceChunk>()),
      m_trackNumber(n) {}

CAudioTrackChunk::CAudioTrackChunk(CMemStream& stream, uint8_t n) : CChunk(stream), m_trackNumber(n) {
  CMemStream body(GetBody(), static_cast<int32_t>(GetBodySize()), false);
  body.ReadByte(m_formatType).ReadByte(m_byte1).ReadBE16(m_headerWord);
  body.ReadByte(m_byte4).ReadByte(m_byte5);
  while (!body.AtEnd()) {
    uint32_t id = PeekChunkId(body);
    if (m_formatType != 0 || !ReadChild(body, id)) SkipChunk(body);
  }
}

bool CAudioTrackChunk::ReadChild(CMemStream& body, uint32_t id) {
  if (id == kIdAspI) {
    m_seekPhrase = std::make_unique<CAudioSeekPhraseChunk>(body);
  } else if (id == kIdAtsq) {
    m_sequence = std::make_unique<CAudioSequenceChunk>(body);
  } else if (HasChunkPrefix(id, 'A', 'w', 'a')) {
    m_waves.AddOwned(std::make_unique<CChunkInfo>(body));
  } else {
    return false;
  }
  return true;
}

void CAudioTrackChunk::WriteBody(CMemStream& stream) {
  if (m_trackNumber != 0) return;
  stream.WriteByte(m_formatType).WriteByte(m_byte1);
  stream.WriteBE16(m_headerWord);
  stream.WriteByte(m_byte4).WriteByte(m_byte5);
  if (m_seekPhrase) m_seekPhrase->Write(stream);
  if (m_sequence) m_sequence->Write(stream);
  CChunkInfo* wave = nullptr;
  for (CChunkInfoIter it(m_waves); it.Next(wave);) wave->Write(stream);
}

void CAudioTrackChunk::AddWaveChunks(const CChunkInfoList& records) {
  CChunkInfo* record = nullptr;
  for (CChunkInfoIter it(records); it.Next(record);) {
    const CMemStream& data = record->GetData();
    uint32_t size = std::min(record->GetSize(), static_cast<uint32_t>(data.GetSize()));
    m_waves.AddOwned(std::make_unique<CChunkInfo>(record->GetKind(), data.GetData(), size));
  }
}

void CAudioTrackChunk::GetWaveChunks(CChunkInfoList& list) const {
  CChunkInfo* wave = nullptr;
  for (CChunkInfoIter it(m_waves); it.Next(wave);) list.AddItem(wave);
}

// "Mtsq": the score sequence of a track, plain or Huffman-coded, and the encoder that builds it.
#include "plugins/velkgate/ScoreSequenceChunk.h"

#include <cstring>
#include <vector>

#include "plugins/velkgate/ByteHelpers.h"
#include "plugins/velkgate/HuffmanCoder.h"
#include "plugins/velkgate/ScoreEncoder.h"

namespace velkgate {

CScoreSequenceChunk::CScoreSequenceChunk(const CEventList& scoreList, CSeekRecord& seek,
                                         bool compress, bool classOne)
    : CChunk(kId) {
  std::memset(m_programs, kNoProgram, sizeof m_programs);
  CScoreEncoder encoder(seek, classOne);
  encoder.Encode(scoreList);
  const std::vector<uint8_t>& stream = encoder.GetStream();
  m_length = encoder.GetLatestEnd();
  if (encoder.HasMasterByte()) m_masterByte = encoder.GetMasterByte();
  if (!compress) {
    SetBodyCopy(stream.data(), static_cast<uint32_t>(stream.size()));
    return;
  }
  // Short streams code larger than twice their size, so the coder writes into a growing buffer.
  CMemStream coded;
  CHuffmanCoder coder;
  coder.Encode(stream.data(), static_cast<uint32_t>(stream.size()), coded);
  uint32_t n = static_cast<uint32_t>(coded.GetSize());
  SetBody(coded.Detach(), n);
}

CScoreSequenceChunk::CScoreSequenceChunk(CMemStream& stream) : CChunk(stream) {
  std::memset(m_programs, kNoProgram, sizeof m_programs);
}

CScoreSequenceChunk::CScoreSequenceChunk(const uint8_t* stream, uint32_t n) : CChunk(kId) {
  std::memset(m_programs, kNoProgram, sizeof m_programs);
  SetBodyCopy(stream, n);
}

void CScoreSequenceChunk::SetChannelStatus(const uint8_t (&status)[kChannelCount], uint8_t count) {
  std::memcpy(m_status, status, sizeof m_status);
  m_channelCount = count;
}

}  // namespace velkgate

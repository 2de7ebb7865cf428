// "MSTR": the master track, four header bytes, optional data and its "Mssq" sequence.
#include "plugins/velkgate/MasterTrackChunk.h"

#include "plugins/velkgate/ByteHelpers.h"

namespace velkgate {

CMasterTrackChunk::CMasterTrackChunk(uint8_t format, uint8_t byte1, uint8_t timeBase,
                                     uint8_t dataLength, const uint8_t* data)
    : CChunk(kId),
      m_format(format),
      m_byte1(byte1),
      m_timeBase(timeBase),
      m_sequence(std::make_unique<CMasterSequenceChunk>()) {
  if (dataLength > 0 && data) AppendBytes(m_data, data, dataLength);
}

CMasterTrackChunk::CMasterTrackChunk(CMemStream& stream) : CChunk(kId) { Read(stream); }

void CMasterTrackChunk::WriteBody(CMemStream& stream) {
  stream.WriteByte(m_format).WriteByte(m_byte1).WriteByte(m_timeBase);
  stream.WriteByte(static_cast<uint8_t>(m_data.size()));
  if (!m_data.empty()) stream.Write(m_data.data(), static_cast<uint32_t>(m_data.size()));
  if (m_sequence) m_sequence->Write(stream);
}

void CMasterTrackChunk::ReadBody(CMemStream& stream) {
  uint8_t length = 0;
  stream.ReadByte(m_format).ReadByte(m_byte1).ReadByte(m_timeBase).ReadByte(length);
  m_data.resize(length);
  if (length > 0) stream.Read(m_data.data(), length);
  while (!stream.AtEnd()) {
    if (m_format == 0 && PeekChunkId(stream) == CMasterSequenceChunk::kId)
      m_sequence = std::make_unique<CMasterSequenceChunk>(stream);
    else
      SkipChunk(stream);
  }
}

}  // namespace velkgate

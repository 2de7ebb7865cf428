// A score track "MTR" + n.
#include "velk/ScoreTrackChunk.h"

#include <cstdlib>
#include <utility>

#include "velk/HuffmanCoder.h"
#include "velk/SeekPhraseChunk2.h"
#include "velk/VoiceSetupChunk.h"

namespace {

constexpr int kErrRefused = -1;
// Every symbol takes at least one bit: no valid stream expands beyond 8 bytes per byte.
constexpr uint64_t kExpansion = 8;

}  // namespace

CScoreTrackChunk::CScoreTrackChunk(uint8_t n, uint8_t formatType, uint8_t byte1, uint8_t byte2,
                                   uint8_t byte3, uint16_t channelWord)
    : CChunk(MakeNumberedChunkId('M', 'T', 'R', n)),
      m_formatType(formatType),
      m_byte1(byte1),
      m_byte2(byte2),
      m_byte3(byte3),
      m_channelWord(channelWord),
      m_sequence(std::make_unique<CScoreSequenceChunk>()),
      m_trackNumber(n) {
  SplitChannelWord();
}

CScoreTrackChunk::CScoreTrackChunk(CMemStream& stream, uint8_t n, uint32_t* report)
    : CChunk(stream), m_trackNumber(n) {
  CMemStream body(GetBody(), static_cast<int32_t>(GetBodySize()), false);
  ReadTrackHeader(body);
  ReadChildren(body, report);
}

void CScoreTrackChunk::SplitChannelWord() {
  for (int i = 0; i < 4; ++i) m_channelNibbles[i] = static_cast<uint8_t>((m_channelWord >> (12 - 4 * i)) & 0x0F);
}

void CScoreTrackChunk::ReadTrackHeader(CMemStream& body) {
  body.ReadByte(m_formatType);
  if (m_trackNumber == 5 && m_formatType != kFormatCompressed && m_formatType != kFormatPlain) {
    m_formatType = kFormatNotAllowed;
  }
  if (m_trackNumber == 6 && m_formatType != kFormatPlain) m_formatType = kFormatNotAllowed;
  body.ReadByte(m_byte1);
  if ((m_trackNumber == 5 || m_trackNumber == 6) && m_byte1 != 0) throw kErrRefused;
  body.ReadByte(m_byte2).ReadByte(m_byte3);
  if (HasStatusBytes()) {
    body.Read(m_channelStatus, kStatusBytes);
  } else {
    body.ReadBE16(m_channelWord);
    SplitChannelWord();
  }
}

void CScoreTrackChunk::ReadChildren(CMemStream& body, uint32_t* report) {
  while (!body.AtEnd()) {
    uint32_t id = PeekChunkId(body);
    bool kept = false;
    if (m_formatType == kFormatCompact) {
      kept = ReadCompactChild(body, id);
    } else if (m_formatType == kFormatCompressed || m_formatType == kFormatPlain) {
      kept = ReadVoiceChild(body, id, report);
    }
    // Every other format type (0x80 included) skips its children, so the walk always moves on.
    if (!kept) SkipChunk(body);
  }
}

bool CScoreTrackChunk::ReadCompactChild(CMemStream& body, uint32_t id) {
  if (id == kIdMspI) {
    m_seekPhrase = std::make_unique<CSeekPhraseChunk>(body);
  } else if (id == kIdMtsu) {
    m_setup = std::make_unique<CSetupDataChunk>(body, m_trackNumber);
  } else if (id == kIdMtsq) {
    m_sequence = std::make_unique<CScoreSequenceChunk>(body);
  } else {
    return false;
  }
  return true;
}

bool CScoreTrackChunk::ReadVoiceChild(CMemStream& body, uint32_t id, uint32_t* report) {
  if (id == kIdMspI) {
    m_seekPhrase = std::make_unique<CSeekPhraseChunk2>(body);
  } else if (id == kIdMtsu) {
    m_setup = std::make_unique<CVoiceSetupChunk>(body, m_trackNumber);
  } else if (id == kIdMtsp) {
    m_streamPcm = std::make_unique<CStreamPcmChunk>(body, report);
  } else if (id == kIdMtsq) {
    ReadSequence(body, report);
  } else {
    return false;
  }
  return true;
}

void CScoreTrackChunk::ReadSequence(CMemStream& body, uint32_t* report) {
  bool keepAsIs = report && (*report & 0x0F) == kSequenceModeKeepCompressed;
  if (keepAsIs || m_formatType == kFormatPlain) {
    m_sequence = std::make_unique<CScoreSequenceChunk>(body);
  } else {
    ExpandSequence(body);
  }
}

void CScoreTrackChunk::ExpandSequence(CMemStream& body) {
  uint32_t id = 0;
  uint32_t size = CChunk::ReadHeader(body, id);
  const uint8_t* compressed = body.GetCurrent();
  body.Seek(1, static_cast<int32_t>(size));
  uint32_t count = CHuffmanCoder::PeekCount(compressed, size);
  // Refused before allocating: the count comes from the file.
  if (count > kExpansion * size) throw kErrEndOfData;
  BodyBuffer decoded;
  if (count > 0) {
    decoded.reset(static_cast<uint8_t*>(std::malloc(count)));
    if (!decoded) throw kErrOutOfMemory;
  }
  CHuffmanCoder coder(compressed, size, decoded.get(), count);
  uint32_t n = coder.Decode();
  auto sequence = std::make_unique<CScoreSequenceChunk>(kIdMtsq);
  sequence->SetBody(decoded.release(), n);
  m_sequence = std::move(sequence);
}

void CScoreTrackChunk::WriteBody(CMemStream& stream) {
  stream.WriteByte(m_formatType).WriteByte(m_byte1).WriteByte(m_byte2).WriteByte(m_byte3);
  if (HasStatusBytes()) {
    stream.Write(m_channelStatus, kStatusBytes);
  } else {
    stream.WriteBE16(m_channelWord);
  }
  if (m_setup) m_setup->Write(stream);
  if (m_seekPhrase) m_seekPhrase->Write(stream);
  if (m_sequence) m_sequence->Write(stream);
  if (HasStatusBytes() && m_streamPcm) m_streamPcm->Write(stream);
}

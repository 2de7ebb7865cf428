// "MspI": the start, stop and phrase points of a score sequence as byte offsets.
#include "plugins/velkgate/SeekPhraseChunk.h"

#include <vector>

#include "plugins/velkgate/ByteHelpers.h"

namespace velkgate {

namespace {

void AppendText(std::vector<uint8_t>& out, const char* text) {
  while (*text) AppendByte(out, static_cast<uint8_t>(*text++));
}

/// Steps past the next ',' (or to the end).
void SkipEntry(CMemStream& stream) {
  uint8_t b = 0;
  while (!stream.AtEnd()) {
    stream.ReadByte(b);
    if (b == ',') return;
  }
}

}  // namespace

CSeekPhraseChunk::CSeekPhraseChunk(const CSeekRecord& record) : CChunk(kId), m_points(record) {
  std::vector<uint8_t> body;
  if (record.HasStart()) {
    AppendText(body, "st:");
    AppendBE32(body, record.GetStart());
    AppendByte(body, ',');
  }
  if (record.HasStop()) {
    AppendText(body, "sp:");
    AppendBE32(body, record.GetStop());
    AppendByte(body, ',');
  }
  const auto& phrases = record.GetPhrases();
  for (size_t i = 0; i < phrases.size(); ++i) {
    uint32_t end = i + 1 < phrases.size() ? phrases[i + 1].start : record.GetEnd();
    AppendByte(body, 'P');
    AppendByte(body, phrases[i].letter);
    AppendByte(body, ':');
    AppendBE32(body, phrases[i].start);
    AppendBE32(body, end);
    AppendByte(body, ',');
  }
  SetBodyCopy(body.data(), static_cast<uint32_t>(body.size()));
}

CSeekPhraseChunk::CSeekPhraseChunk(CMemStream& stream) : CChunk(kId) { Read(stream); }

void CSeekPhraseChunk::ReadBody(CMemStream& stream) {
  uint32_t n = stream.RemainingBytes();
  SetBodyCopy(stream.GetCurrent(), n);
  m_points = CSeekRecord();
  while (stream.RemainingBytes() >= 2) {
    uint8_t first = 0;
    uint8_t second = 0;
    uint8_t colon = 0;
    stream.ReadByte(first).ReadByte(second);
    if (first == 's' && (second == 't' || second == 'p')) {
      uint32_t offset = 0;
      stream.ReadByte(colon).ReadBE32(offset);
      if (second == 't') m_points.SetStart(offset);
      else m_points.SetStop(offset);
    } else if (first == 'P') {
      uint32_t start = 0;
      uint32_t end = 0;
      stream.ReadByte(colon).ReadBE32(start).ReadBE32(end);
      m_points.AddPhrase(second, start, end);
    }
    SkipEntry(stream);
  }
}

CSeekRecord CSeekPhraseChunk::CopyToRecord() const {
  CSeekRecord record;
  if (m_points.HasStart()) record.SetStart(m_points.GetStart());
  if (m_points.HasStop()) record.SetStop(m_points.GetStop());
  for (const SeekPhrase& p : m_points.GetPhrases()) record.AddPhrase(p.letter, p.start, p.end);
  return record;
}

}  // namespace velkgate

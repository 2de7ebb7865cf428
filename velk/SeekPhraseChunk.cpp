// The seek-and-phrase body and the "MspI" chunk of a format-0 score track.
#include "velk/SeekPhraseChunk.h"

#include <new>

#include "velk/BodyScan.h"

namespace {

constexpr uint8_t kEntryEnd = ',';
constexpr uint8_t kEntryColon = ':';
constexpr uint8_t kPhraseTag = 'P';
constexpr uint32_t kNoEndValue = 0xFFFFFFFF;

}  // namespace

void CSeekPhraseData::Parse(uint8_t* body, uint32_t size) {
  CMemStream stream(body, static_cast<int32_t>(size), false);
  ParseToEndOfBody([&] {
    while (!stream.AtEnd()) {
      ReadEntry(stream);
      SkipPastByte(stream, kEntryEnd);
    }
  });
}

void CSeekPhraseData::Build(CTrackBuild& record, CChunk& chunk) {
  CMemStream out;
  WriteBody(record, out);
  auto size = static_cast<uint32_t>(out.GetSize());
  chunk.SetBody(out.Detach(), size);
  try {
    Parse(chunk.GetBody(), chunk.GetBodySize());
  } catch (const std::bad_alloc&) {
    throw kErrOutOfMemory;
  }
  m_firstField = record.GetFirstField();
}

void CSeekPhraseData::WriteBody(CTrackBuild& record, CMemStream& out) {
  if (const uint32_t* start = record.GetStartPoint()) {
    out.WriteText("st:");
    out.PutBE32(*start).WriteByte(kEntryEnd);
  }
  if (const uint32_t* stop = record.GetStopPoint()) {
    out.WriteText("sp:");
    out.PutBE32(*stop).WriteByte(kEntryEnd);
  }
  size_t count = record.GetMarkCount();
  for (size_t i = 0; i < count; ++i) {
    const CPhraseMark* next = record.GetMark(i + 1);
    record.GetMark(i)->end = next ? next->start : record.GetEndValue();
  }
  for (size_t i = 0; i < count; ++i) {
    const CPhraseMark* mark = record.GetMark(i);
    out.WriteByte(kPhraseTag).WriteByte(mark->kind).WriteByte(kEntryColon);
    out.PutBE32(mark->start).PutBE32(mark->end).WriteByte(kEntryEnd);
  }
}

void CSeekPhraseData::ReadEntry(CMemStream& body) {
  uint8_t tag[2];
  body.Read(tag, sizeof tag);
  uint8_t colon = 0;
  if (tag[0] == 's' && (tag[1] == 't' || tag[1] == 'p')) {
    uint32_t value = 0;
    body.ReadByte(colon).ReadBE32(value);
    (tag[1] == 't' ? m_start : m_stop) = std::make_unique<uint32_t>(value);
  } else if (tag[0] == 'P') {
    auto mark = std::make_unique<CPhraseMark>();
    mark->kind = tag[1];
    body.ReadByte(colon).ReadBE32(mark->start).ReadBE32(mark->end);
    m_marks.push_back(std::move(mark));
  }
}

void CSeekPhraseData::CopyPointsTo(CTrackBuild& record) const {
  record.SetFirstField(m_firstField);
  if (m_start) record.SetStartPoint(*m_start);
  if (m_stop) record.SetStopPoint(*m_stop);
  record.SetEndValue(kNoEndValue);
}

void CSeekPhraseData::CopyTo(CTrackBuild& record) const {
  CopyPointsTo(record);
  for (const auto& mark : m_marks) record.AddMark(std::make_unique<CPhraseMark>(*mark));
}

void CSeekPhraseData::HandOverTo(CTrackBuild& record) {
  CopyPointsTo(record);
  for (auto& mark : m_marks) record.AddMark(std::move(mark));
  m_marks.clear();
}

CSeekPhraseChunk::CSeekPhraseChunk(CMemStream& stream) : CSeekPhraseChunkBase(stream) {
  m_data.Parse(GetBody(), GetBodySize());
}

CSeekPhraseChunk::CSeekPhraseChunk(CTrackBuild& record) : CSeekPhraseChunkBase(kIdMspI) {
  m_data.Build(record, *this);
}

std::unique_ptr<CTrackBuild> CSeekPhraseChunk::ExportSeekPhrase() {
  auto record = std::make_unique<CTrackBuild>();
  m_data.CopyTo(*record);
  return record;
}

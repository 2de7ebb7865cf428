// Records, cues and note merging shared by the sequence decoders.
#include "velk/SequenceEmitter.h"

#include <algorithm>
#include <memory>
#include <new>

#include "song/MemStream.h"

CSequenceEmitter::CSequenceEmitter(CSeqEventList& list, const CTrackBuild* seek)
    : m_list(list), m_seek(seek), m_notes(kChannels * kNotes) {}

uint32_t CSequenceEmitter::PhraseCode(uint8_t kind) {
  // Codes 1 to 7 in this order.
  constexpr char kKinds[] = "IEABSKR";
  for (uint32_t i = 0; i < sizeof kKinds - 1; ++i) {
    if (kind == static_cast<uint8_t>(kKinds[i])) return i + 1;
  }
  return 0;
}

void CSequenceEmitter::EmitCues(uint32_t position, uint32_t tick) {
  if (!m_seek) return;
  const uint32_t* start = m_seek->GetStartPoint();
  if (start && *start == position) EmitCue(tick, kCueStart);
  const uint32_t* stop = m_seek->GetStopPoint();
  if (stop && *stop == position) {
    EmitCue(tick, kCueStop);
    m_stopEmitted = true;
  }
  const CPhraseMark* mark = m_seek->GetMark(m_nextMark);
  if (mark && mark->start == position) {
    EmitCue(tick, PhraseCode(mark->kind));
    ++m_nextMark;
  }
}

void CSequenceEmitter::EmitClosingStop(uint32_t position, uint32_t tick) {
  if (!m_seek || m_stopEmitted) return;
  const uint32_t* stop = m_seek->GetStopPoint();
  if (!stop || *stop < position) return;
  EmitCue(tick, kCueStop);
  m_stopEmitted = true;
}

void CSequenceEmitter::EmitCue(uint32_t tick, uint32_t code) {
  const uint8_t data = 0;
  CSeqEvent* cue = Emit(tick, &data, 1, 0);
  cue->SetExtra(code);
}

CSeqEvent* CSequenceEmitter::Emit(uint32_t tick, const uint8_t* bytes, uint32_t length,
                                  uint32_t endTick) {
  std::unique_ptr<CSeqEvent> event(new (std::nothrow) CSeqEvent(tick, length, bytes, endTick, 0));
  if (!event) throw kErrOutOfMemory;
  try {
    m_list.AddItem(event.get());
  } catch (const std::bad_alloc&) {
    throw kErrOutOfMemory;
  }
  return event.release();
}

bool CSequenceEmitter::EmitNote(int channel, int note, uint32_t tick, uint32_t gate,
                                const uint8_t* bytes, uint32_t length) {
  NoteEntry& entry = m_notes[static_cast<size_t>(channel * kNotes + note)];
  uint32_t end = tick + gate;
  if (entry.record && tick < entry.end) {
    entry.end = std::max(entry.end, end);
    entry.record->SetEndTick(entry.end);
    return true;
  }
  entry.record = Emit(tick, bytes, length, end);
  entry.start = tick;
  entry.end = end;
  return false;
}

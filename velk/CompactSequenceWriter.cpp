// The byte writer of generation-1/2 compact sequences.
#include "velk/CompactSequenceWriter.h"

#include <limits>

#include "song/SmfDialect.h"
#include "velk/SequenceNumbers.h"
#include "velk/TempoBytes.h"

namespace {

constexpr uint8_t kNoOperationEvent[] = {0xFF, 0x00};
constexpr uint8_t kExclusiveLead[] = {0xFF, 0xF0, 0x06, kDialectMakerId};
constexpr uint8_t kExclusiveEnd = 0xF7;
constexpr uint8_t kTrailer[] = {0x00, 0x00, 0x00, 0x00};
constexpr uint8_t kControlLead = 0x00;
// Each link of a re-strike chain starts one tick before the previous one ends.
constexpr uint32_t kRestrikeStep = kMaxTimeNumber - 1;
constexpr int kWindowLow = 37;
constexpr int kWindowHigh = 84;

uint8_t SignAndMagnitude(int octave) {
  return octave < 0 ? static_cast<uint8_t>(0x80 | -octave) : static_cast<uint8_t>(octave);
}

}  // namespace

CCompactSequenceWriter::CCompactSequenceWriter(NoteForm form) : m_form(form) {}

int CCompactSequenceWriter::NoteOctave(int note) {
  if (note == 0) return -4;
  if (note < kWindowLow) return -((kWindowLow - 1 - note) / 12 + 1);
  if (note <= kWindowHigh) return 0;
  return (note - kWindowHigh + 11) / 12;
}

bool CCompactSequenceWriter::IsInOctaveWindow(int note, int octave) {
  return note >= 12 * octave + kWindowLow && note <= 12 * octave + kWindowHigh;
}

uint8_t CCompactSequenceWriter::ScoreNoteByte(int channel, int note, int octave) {
  int block = (note - 12 * octave - kWindowLow) / 12;
  int k = note % 12 == 0 ? 12 : note % 12;
  return static_cast<uint8_t>((channel << 6) | (block << 4) | k);
}

void CCompactSequenceWriter::WriteDelta(uint32_t tick) {
  uint32_t delta = tick > m_lastTick ? tick - m_lastTick : 0;
  WriteTimeDelta(m_out, delta);
  if (tick > m_lastTick) m_lastTick = tick;
}

void CCompactSequenceWriter::WriteRestrikesBefore(uint64_t tick) {
  while (!m_restrikes.empty() && m_restrikes.begin()->tick < tick) {
    Restrike next = *m_restrikes.begin();
    m_restrikes.erase(m_restrikes.begin());
    WriteNoteEvent(next.tick, next.channel, next.note, next.gate);
  }
}

void CCompactSequenceWriter::WriteHeader(uint32_t tick, uint8_t m, uint16_t tempo) {
  WriteRestrikesBefore(tick);
  WriteDelta(tick);
  m_out.Write(kExclusiveLead, sizeof kExclusiveLead);
  const uint8_t body[] = {m, 0x80, 0x31, HeaderTempoByte(tempo), kExclusiveEnd};
  m_out.Write(body, sizeof body);
}

void CCompactSequenceWriter::WriteControl(uint32_t tick, int channel, uint8_t code, uint8_t value) {
  WriteRestrikesBefore(tick);
  WriteDelta(tick);
  const uint8_t bytes[] = {kControlLead, static_cast<uint8_t>((channel << 6) | code), value};
  m_out.Write(bytes, sizeof bytes);
}

void CCompactSequenceWriter::WriteNote(uint32_t tick, int channel, uint8_t note, uint32_t gate) {
  WriteRestrikesBefore(tick);
  WriteNoteEvent(tick, channel, note, gate);
}

void CCompactSequenceWriter::WriteNoteEvent(uint32_t tick, int channel, uint8_t note,
                                            uint32_t gate) {
  WriteDelta(tick);
  uint8_t noteByte = note;
  if (m_form == NoteForm::kScore) {
    int& octave = m_octave[channel];
    if (!IsInOctaveWindow(note, octave)) {
      // The shift takes the note's delta; the note follows it at delta 0.
      octave = NoteOctave(note);
      const uint8_t shift[] = {kControlLead, static_cast<uint8_t>((channel << 6) | kCodeOctave),
                               SignAndMagnitude(octave)};
      m_out.Write(shift, sizeof shift);
      WriteDelta(tick);
    }
    noteByte = ScoreNoteByte(channel, note, octave);
  }
  m_out.WriteByte(noteByte);
  if (gate <= kMaxTimeNumber) {
    WriteTimeNumber(m_out, gate);
    return;
  }
  WriteTimeNumber(m_out, kMaxTimeNumber);
  // The chain follows the tick the note was written at, which an earlier event leaves later.
  m_restrikes.insert(Restrike{m_lastTick + kRestrikeStep, channel, note, gate - kRestrikeStep});
}

uint32_t CCompactSequenceWriter::WriteNoOperation(uint32_t tick) {
  WriteRestrikesBefore(tick);
  WriteDelta(tick);
  m_out.Write(kNoOperationEvent, sizeof kNoOperationEvent);
  return Position();
}

void CCompactSequenceWriter::WriteExclusive(uint32_t tick, const uint8_t (&bytes)[4]) {
  WriteRestrikesBefore(tick);
  WriteDelta(tick);
  m_out.Write(kExclusiveLead, sizeof kExclusiveLead);
  m_out.Write(bytes, sizeof bytes);
  m_out.WriteByte(kExclusiveEnd);
}

uint32_t CCompactSequenceWriter::Close(uint32_t latestEnd) {
  WriteRestrikesBefore(std::numeric_limits<uint64_t>::max());
  uint32_t endValue = Position();
  WriteDelta(latestEnd);
  m_out.Write(kNoOperationEvent, sizeof kNoOperationEvent);
  m_out.Write(kTrailer, sizeof kTrailer);
  return endValue;
}

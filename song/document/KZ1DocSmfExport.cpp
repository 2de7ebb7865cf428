// The plain Standard MIDI File export: one format-0 track with the song's texts, the fixed
// meta events, the channel set-up and the play list with its note-offs.
#include <array>
#include <cstdio>
#include <string>

#include "song/MemStream.h"
#include "song/SeqEvent.h"
#include "song/document/KZ1Doc.h"
#include "velk/SequenceEmitter.h"
#include "velk/VarLen.h"

namespace {

constexpr uint32_t kDefaultTempo = 500000;

// Writes the delta from the running time and moves it on; an event out of order gets delta 0
// rather than a wrapped one.
void WriteDelta(CMemStream& out, uint32_t tick, uint32_t& running) {
  WriteVarLen(out, tick >= running ? tick - running : 0);
  if (tick > running) running = tick;
}

// Note-offs still due, kept in end-tick order; notes ending together leave in the order they
// were entered. Fixed in size, so a long song allocates nothing per note.
class PendingNoteOffs {
 public:
  static constexpr int kCapacity = 32;

  bool IsFull() const { return m_count == kCapacity; }
  void Add(uint8_t channel, uint8_t note, uint32_t end) {
    int at = m_count;
    while (at > 0 && m_entries[at - 1].end > end) {
      m_entries[at] = m_entries[at - 1];
      --at;
    }
    m_entries[at] = {channel, note, end};
    ++m_count;
  }
  /// Writes every note-off due at or before tick (all when tick is all ones).
  void Flush(CMemStream& out, uint32_t tick, uint32_t& running) {
    int done = 0;
    while (done < m_count && m_entries[done].end <= tick) {
      const Entry& e = m_entries[done];
      WriteDelta(out, e.end, running);
      const uint8_t bytes[] = {static_cast<uint8_t>(0x90 | e.channel), e.note, 0};
      out.Write(bytes, 3);
      ++done;
    }
    for (int i = done; i < m_count; ++i) m_entries[i - done] = m_entries[i];
    m_count -= done;
  }

 private:
  struct Entry {
    uint8_t channel = 0;
    uint8_t note = 0;
    uint32_t end = 0;
  };
  std::array<Entry, kCapacity> m_entries{};
  int m_count = 0;
};

void WriteMeta(CMemStream& out, uint8_t type, const std::string& text) {
  const uint8_t head[] = {0x00, 0xFF, type};
  out.Write(head, 3);
  WriteVarLen(out, static_cast<uint32_t>(text.size()));
  out.Write(text.data(), static_cast<uint32_t>(text.size()));
}

// "\\" becomes "\", then "\," becomes ",".
std::string Unescape(const std::string& line) {
  std::string once;
  for (size_t i = 0; i < line.size(); ++i) {
    once += line[i];
    if (line[i] == '\\' && i + 1 < line.size() && line[i + 1] == '\\') ++i;
  }
  std::string out;
  for (size_t i = 0; i < once.size(); ++i) {
    if (once[i] == '\\' && i + 1 < once.size() && once[i + 1] == ',') continue;
    out += once[i];
  }
  return out;
}

std::string QXLine(const CSongTextInfo& info) {
  std::string line = "QXln:";
  if (info.GetLangByte(0) != 0) {
    line += static_cast<char>(info.GetLangByte(0));
    line += static_cast<char>(info.GetLangByte(1));
  }
  for (int k = 1; k <= CSongTextInfo::kTextCount; ++k) {
    line += ':';
    line += info.GetText(k);
  }
  return Unescape(line);
}

// Quarter notes per minute as microseconds per quarter; tempo 0 would divide by zero.
uint32_t MicrosPerQuarter(int tempo) {
  if (tempo <= 0) return kDefaultTempo;
  const uint32_t value = 60000000u / static_cast<uint32_t>(tempo);
  return value > 0xFFFFFF ? 0xFFFFFF : value;
}

void WriteEvent(CMemStream& out, const CSeqEvent& e, uint32_t& running, PendingNoteOffs& notes) {
  const uint32_t kind = e.GetExtra();
  const uint8_t status = e.GetDataByte(0);
  const uint32_t tick = e.GetTick();
  if (kind == 0) {
    const uint8_t high = status & 0xF0;
    if (high == 0x90) {
      if (notes.IsFull()) return;
      notes.Add(status & 0x0F, e.GetDataByte(1) & 0x7F, e.GetEndTick());
      WriteDelta(out, tick, running);
      out.Write(e.GetData(), e.GetLength());
    } else if (high == 0xB0) {
      WriteDelta(out, tick, running);
      out.Write(e.GetData(), e.GetLength());
    } else if (high == 0xC0 && e.GetLength() >= 2) {
      WriteDelta(out, tick, running);
      out.Write(e.GetData(), 2);
    }
  } else if (kind <= 7) {
    const uint8_t code = static_cast<uint8_t>(kind == 1 ? 0 : kind == 2 ? 1 : kind);
    const uint8_t bytes[] = {0xFF, 0x7F, 0x04, 0x43, 0x7B, 0x02, code};
    WriteDelta(out, tick, running);
    out.Write(bytes, sizeof bytes);
  } else if (kind == 8) {
    WriteDelta(out, tick, running);
    out.Write("\xFF\x07\x05START", 8);
  } else if (kind == 9) {
    WriteDelta(out, tick, running);
    out.Write("\xFF\x07\x04STOP", 7);
  }
}

}  // namespace

int CKZ1Doc::WriteSmf(CMemStream& out, SongOutputRecord setup) {
  // The play list comes first, so that voice changes before the play range reach the set-up.
  TOwnedChunkList<CSeqEvent> list;
  const int result = makeMidiList(list, setup, 0);

  out.WriteText("MThd");
  out.WriteBE32(6);
  out.WriteBE16(0);
  out.WriteBE16(1);
  out.WriteBE16(static_cast<uint16_t>(m_resolution));
  out.WriteText("MTrk");
  const int32_t lengthAt = out.GetPosition();
  out.WriteBE32(0);

  const CSongTextInfo& texts = m_contentsInfo.GetSongTextInfo();
  if (texts.GetText(1)[0] != '\0') WriteMeta(out, 0x03, texts.GetText(1));
  if (!m_contentsInfo.GetOptionText(0).empty()) WriteMeta(out, 0x02, m_contentsInfo.GetOptionText(0));
  const std::string qx = QXLine(texts);
  if (qx.size() > 6) WriteMeta(out, 0x01, qx);

  const uint8_t smpte[] = {0x00, 0xFF, 0x54, 0x05, 0x60, 0x00, 0x00, 0x00, 0x00};
  out.Write(smpte, sizeof smpte);
  const uint8_t signature[] = {0x00, 0xFF, 0x58, 0x04,
                               static_cast<uint8_t>(m_beatsPerMeasure), 0x02, 0x18, 0x08};
  out.Write(signature, sizeof signature);
  const uint32_t tempo = MicrosPerQuarter(m_tempo);
  const uint8_t tempoBytes[] = {0x00, 0xFF, 0x51, 0x03, static_cast<uint8_t>(tempo >> 16),
                                static_cast<uint8_t>(tempo >> 8), static_cast<uint8_t>(tempo)};
  out.Write(tempoBytes, sizeof tempoBytes);

  for (int k = 0; k < m_channelCount && k < 16; ++k) {
    const uint8_t bank = setup.bytes[SongOutputRecord::kBankCodeOffset + k];
    const uint8_t program = setup.bytes[SongOutputRecord::kProgramCodeOffset + k];
    const uint8_t volume = setup.bytes[SongOutputRecord::kVolumeOffset + k];
    if (bank == 255 || program == 255 || volume == 255) continue;
    const uint8_t bytes[] = {0x00, static_cast<uint8_t>(0xC0 | k), program,
                             0x00, static_cast<uint8_t>(0xB0 | k), 0x07, volume};
    out.Write(bytes, sizeof bytes);
  }

  uint32_t running = 0;
  PendingNoteOffs notes;
  CSeqEventIter walk(list);
  for (CSeqEvent* e = nullptr; walk.Next(e);) {
    notes.Flush(out, e->GetTick(), running);
    WriteEvent(out, *e, running, notes);
  }
  notes.Flush(out, 0xFFFFFFFFu, running);

  WriteVarLen(out, static_cast<uint32_t>(m_resolution));
  const uint8_t end[] = {0xFF, 0x2F, 0x00};
  out.Write(end, 3);
  const int32_t endAt = out.GetPosition();
  out.Seek(0, lengthAt);
  out.WriteBE32(static_cast<uint32_t>(endAt - lengthAt - 4));
  out.Seek(0, endAt);
  return result;
}

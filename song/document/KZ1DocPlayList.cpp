// The play list builder: the song's events as sequence events relative to the play range,
// for saving, exporting and playing.
#include <memory>
#include <new>

#include "platform/host/HostServices.h"
#include "song/MemStream.h"
#include "song/SeqEvent.h"
#include "song/document/KZ1Doc.h"
#include "velk/SequenceEmitter.h"

namespace {

bool IsNoteOn(const CMidiMsg& m) { return m.GetLength() >= 1 && (m.GetByte(0) & 0xF0) == 0x90; }

// Appends a sequence event; a failed allocation is the song data's -108.
void Append(CSeqEventList& list, uint32_t tick, uint32_t length, const uint8_t* bytes,
            uint32_t endTick, uint32_t extra) {
  std::unique_ptr<CSeqEvent> event;
  try {
    event = std::make_unique<CSeqEvent>(tick, length, bytes, endTick, extra);
  } catch (const std::bad_alloc&) {
    throw kErrOutOfMemory;
  }
  list.AddOwned(std::move(event));
}

// A copy of the event with its ticks taken relative to base: a start before base becomes 0,
// an end before base 1; limit (when not all ones) cuts the end.
void AppendRelative(CSeqEventList& list, const CMidiMsg& m, uint32_t base, uint32_t limit,
                    uint32_t extra) {
  const uint32_t tick = m.GetTick() >= base ? m.GetTick() - base : 0;
  uint32_t end = m.GetEndTick() >= base ? m.GetEndTick() - base : 1;
  if (end > limit) end = limit;
  Append(list, tick, m.GetLength(), m.GetData(), end, extra);
}

// The voice change of an event that lies before the play range, taken into the output setup.
void TakeVoiceChange(const CMidiMsg& m, int channelCount, const int* mute,
                     SongOutputRecord& setup) {
  if (m.GetLength() >= 4 || m.GetLength() < 2) return;
  const uint8_t status = m.GetByte(0);
  const int k = status & 0x0F;
  if (k >= channelCount) return;
  if ((status & 0xF0) == 0xC0) {
    setup.bytes[SongOutputRecord::kProgramCodeOffset + k] = m.GetByte(1);
  } else if ((status & 0xF0) == 0xB0 && m.GetLength() == 3) {
    if (m.GetByte(1) == 0) setup.bytes[SongOutputRecord::kBankCodeOffset + k] = m.GetByte(2);
    if (m.GetByte(1) == 7 && mute[k]) setup.bytes[SongOutputRecord::kVolumeOffset + k] = 0;
  }
}

}  // namespace

int CKZ1Doc::makeMidiList(CSeqEventList& list, SongOutputRecord& setup, int mode) {
  const int chip = platform::settings().GetChipMode();
  // Any nonzero flag starts at the range; only flag 1 ends at it.
  const bool rangeStart = m_playRangeOn != 0;
  const bool rangeEnd = m_playRangeOn == 1;
  uint32_t base = 0;
  auto it = m_midlist.begin();
  if (rangeStart) {
    base = m_playRangeStart;
    while (it != m_midlist.end() && (*it)->GetTick() < base && (*it)->GetEndTick() <= base) {
      TakeVoiceChange(**it, m_channelCount, m_channelMute, setup);
      ++it;
    }
    if (it == m_midlist.end()) return 0;
  }
  const uint32_t end = m_playRangeEnd;
  const uint32_t limit = rangeEnd && end >= base ? end - base : 0xFFFFFFFFu;
  int result = 0;
  for (; it != m_midlist.end(); ++it) {
    const CMidiMsg& m = **it;
    const bool cueOrMeta = m.GetExtra() != 0 || (m.GetLength() >= 1 && m.GetByte(0) == 0xFF);
    if (cueOrMeta) {
      if (rangeEnd && (m.GetTick() > end || (m.GetTick() == end && m.GetExtra() == 0))) break;
      AppendRelative(list, m, base, limit, m.GetExtra());
      continue;
    }
    if (rangeEnd && m.GetTick() >= end) break;
    if (IsNoteOn(m)) {
      if (!result && chip == 2) AppendBoardVolume(list, m.GetTick() >= base ? m.GetTick() - base : 0);
      result = 1;
      if ((chip == 3 || chip == 5) && mode == 1 && m_channelMute[m.GetByte(0) & 0x0F]) continue;
    }
    AppendRelative(list, m, base, limit, 0);
  }
  if (chip == 2) FormatBoardVoiceChanges(list);
  return result;
}

void CKZ1Doc::AppendBoardVolume(CSeqEventList& list, uint32_t tick) const {
  const uint8_t volume = static_cast<uint8_t>(platform::settings().GetHpVolume());
  for (int i = 0; i < 4; ++i) {
    const uint8_t bytes[] = {static_cast<uint8_t>(0xF0 + 4 * i), 0xF0, volume};
    Append(list, tick, 3, bytes, tick, 0);
  }
}

int CKZ1Doc::makeMidiListPCM(CSeqEventList& list, CSeqEventList& pcmList,
                             SongOutputRecord& setup, int mode) {
  const int score = makeMidiList(list, setup, mode);
  if (mode == 1 && GetStreamPcmMute()) return score;
  const uint32_t base = m_playRangeOn ? m_playRangeStart : 0;
  int pcm = 0;
  for (const auto& event : m_midlist_PCM) {
    const CMidiMsg& m = *event;
    if (m.GetExtra() == 0) {
      const bool inRange = m_playRangeOn == 1 && m_playRangeStart <= m.GetTick() &&
                           m.GetEndTick() < m_playRangeEnd;
      if (m_playRangeOn != 0 && !inRange) continue;
      if (IsNoteOn(m)) pcm = 1;
    }
    AppendRelative(pcmList, m, base, 0xFFFFFFFFu, m.GetExtra());
  }
  return (score || pcm) ? 1 : 0;
}

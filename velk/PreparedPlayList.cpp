// Preparation of a play list for the sequence builders.
#include "velk/PreparedPlayList.h"

#include <algorithm>
#include <array>
#include <new>

#include "song/MemStream.h"

namespace {

// The play list's division is in ticks per quarter note; q is a 24th of it.
constexpr uint16_t kQuantaPerQuarter = 24;
constexpr int kNoteCount = 128;
constexpr uint8_t kModulationController = 1;
constexpr uint8_t kBoardRecordTag = 0xF0;
constexpr uint8_t kPairRecordTag = 0xF1;

}  // namespace

CPreparedPlayList::CPreparedPlayList(uint16_t division, uint8_t trackMode)
    : m_quantum(std::max<uint32_t>(1, division / kQuantaPerQuarter)), m_trackMode(trackMode) {}

uint32_t CPreparedPlayList::MarkCode(const CSeqEvent& event) {
  uint32_t code = event.GetExtra();
  return code >= 1 && code <= kMarkStop ? code : 0;
}

bool CPreparedPlayList::IsNoteOn(const CSeqEvent& event) {
  return event.GetExtra() == 0 && event.GetLength() >= 3 && (event.GetDataByte(0) & 0xF0) == 0x90 &&
         event.GetDataByte(1) < kNoteCount && event.GetDataByte(2) != 0;
}

bool CPreparedPlayList::IsBoardRecord(const CSeqEvent& event) {
  uint8_t first = event.GetDataByte(0);
  return event.GetLength() == 3 && (first & 0xF3) == 0xF0 &&
         event.GetDataByte(1) == kBoardRecordTag;
}

bool CPreparedPlayList::IsPairRecord(const CSeqEvent& event) {
  return event.GetLength() == 4 && (event.GetDataByte(0) & 0xF0) == 0xF0 &&
         event.GetDataByte(1) == kPairRecordTag;
}

uint32_t CPreparedPlayList::NoteLength(const CSeqEvent& event) {
  return event.GetEndTick() > event.GetTick() ? event.GetDuration() : 0;
}

int CPreparedPlayList::TrackChannelOf(const CSeqEvent& event) const {
  if (MarkCode(event) != 0) return kEveryChannel;
  if (event.GetLength() == 0) return kNotInTrack;
  uint8_t first = event.GetDataByte(0);
  bool placed = (first >= 0x80 && first < 0xF0) || IsBoardRecord(event) || IsPairRecord(event);
  if (!placed) return first == 0xFF ? kEveryChannel : kNotInTrack;
  int channel = first & 0x0F;
  if (m_trackMode > 0) channel -= 4 * (m_trackMode - 1);
  return channel >= 0 && channel < kTrackChannels ? channel : kNotInTrack;
}

std::unique_ptr<CSeqEvent> CPreparedPlayList::Copy(const CSeqEvent& event) {
  std::unique_ptr<CSeqEvent> copy(new (std::nothrow) CSeqEvent(event));
  if (!copy) throw kErrOutOfMemory;
  return copy;
}

void CPreparedPlayList::Prepare(const CSeqEventList& playList, CSeqEventList& scratch) {
  try {
    CopyTrackEvents(playList);
    SplitAtModulation();
    HandOver(scratch);
  } catch (const std::bad_alloc&) {
    throw kErrOutOfMemory;
  }
}

void CPreparedPlayList::CopyTrackEvents(const CSeqEventList& playList) {
  // The last copied note of each channel and note number, through which later notes merge.
  std::array<CSeqEvent*, kTrackChannels * kNoteCount> sounding{};
  CSeqEvent* event = nullptr;
  for (CSeqEventIter it(playList); it.Next(event);) {
    int channel = TrackChannelOf(*event);
    if (channel == kNotInTrack) continue;
    if (!IsNoteOn(*event)) {
      m_working.push_back(Copy(*event));
      continue;
    }
    if (NoteLength(*event) / m_quantum < 1) continue;
    CSeqEvent*& last = sounding[static_cast<size_t>(channel * kNoteCount + event->GetDataByte(1))];
    if (last && last->GetEndTick() > event->GetTick()) {
      last->SetEndTick(std::max(last->GetEndTick(), event->GetEndTick()));
      continue;
    }
    m_working.push_back(Copy(*event));
    last = m_working.back().get();
  }
}

void CPreparedPlayList::SplitAtModulation() {
  Owned split;
  split.reserve(m_working.size());
  std::array<CSeqEvent*, kTrackChannels> lastNote{};
  for (auto& owned : m_working) {
    CSeqEvent* event = owned.get();
    split.push_back(std::move(owned));
    int channel = TrackChannelOf(*event);
    if (channel < 0) continue;
    if (IsNoteOn(*event)) {
      lastNote[static_cast<size_t>(channel)] = event;
      continue;
    }
    bool modulation = (event->GetDataByte(0) & 0xF0) == 0xB0 && event->GetLength() >= 3 &&
                      event->GetDataByte(1) == kModulationController;
    CSeqEvent* note = lastNote[static_cast<size_t>(channel)];
    if (!modulation || !note) continue;
    uint64_t tick = event->GetTick();
    // A note that starts after the controller (an unordered list) is left whole: cutting it
    // would end it before its start.
    if (note->GetTick() > tick || uint64_t{note->GetEndTick()} < tick + m_quantum) continue;
    auto piece = Copy(*note);
    piece->SetTick(event->GetTick());
    note->SetEndTick(static_cast<uint32_t>(tick + m_quantum));
    lastNote[static_cast<size_t>(channel)] = piece.get();
    split.push_back(std::move(piece));
  }
  m_working = std::move(split);
}

void CPreparedPlayList::HandOver(CSeqEventList& scratch) {
  m_events.reserve(m_working.size());
  for (const auto& owned : m_working) {
    m_events.push_back(owned.get());
    m_latestEnd = std::max(m_latestEnd, owned->GetEndTick());
  }
  for (auto& owned : m_working) {
    scratch.AddItem(owned.get());
    (void)owned.release();
  }
  m_working.clear();
}

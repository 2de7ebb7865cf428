// The board form of voice changes in a chip-mode 2 play list: the board plays channels in
// pairs, so a bank select on one channel of a pair re-sends the voice of the other.
#include <algorithm>
#include <memory>
#include <new>
#include <vector>

#include "song/MemStream.h"
#include "song/SeqEvent.h"
#include "song/document/KZ1Doc.h"
#include "velk/SequenceEmitter.h"

namespace {

bool IsBankSelect(const CSeqEvent* e) {
  return e->GetLength() >= 3 && (e->GetDataByte(0) & 0xF0) == 0xB0 && e->GetDataByte(1) == 0;
}

bool IsProgramChange(const CSeqEvent* e) {
  return e->GetLength() >= 2 && (e->GetDataByte(0) & 0xF0) == 0xC0;
}

int ChannelOf(const CSeqEvent* e) { return e->GetDataByte(0) & 0x0F; }

// Two status bytes of one pair differ at most in bit 0 of the channel.
bool IsBankSelectOfPair(const CSeqEvent* e, int channel) {
  return IsBankSelect(e) && (ChannelOf(e) | 1) == (channel | 1);
}

CSeqEvent* NewEvent(const CSeqEvent& from, uint32_t length, const uint8_t* bytes) {
  try {
    return new CSeqEvent(from.GetTick(), length, bytes, from.GetEndTick(), 0);
  } catch (const std::bad_alloc&) {
    throw kErrOutOfMemory;
  }
}

}  // namespace

void CKZ1Doc::FormatBoardVoiceChanges(CSeqEventList& list) {
  std::vector<CSeqEvent*> events;
  try {
    events.reserve(static_cast<size_t>(list.GetCount()));
  } catch (const std::bad_alloc&) {
    throw kErrOutOfMemory;
  }
  CSeqEventIter walk(list);
  for (CSeqEvent* e = nullptr; walk.Next(e);) events.push_back(e);
  list.RemoveAll();
  // Whatever happens below, every event ends up back in the list, whose owner deletes it.
  struct Refill {
    CSeqEventList& list;
    std::vector<CSeqEvent*>& events;
    ~Refill() {
      for (CSeqEvent* e : events) list.AddItem(e);
    }
  } refill{list, events};

  std::vector<CSeqEvent*> kept;
  kept.reserve(events.size());
  for (size_t i = 0; i < events.size(); ++i) {
    CSeqEvent* e = events[i];
    const bool paired = i + 1 < events.size() && IsProgramChange(events[i + 1]) &&
                        ChannelOf(events[i + 1]) == ChannelOf(e);
    if (IsBankSelect(e) && !paired) {
      delete e;
      continue;
    }
    kept.push_back(e);
  }
  events.swap(kept);

  // A partner that has no bank or program yet gets 0.
  uint8_t lastBank[16] = {};
  uint8_t lastProgram[16] = {};
  // Inserted events are not visited again.
  std::vector<bool> inserted(events.size(), false);
  for (size_t i = 0; i < events.size(); ++i) {
    CSeqEvent* e = events[i];
    if (inserted[i]) continue;
    if (IsProgramChange(e)) lastProgram[ChannelOf(e)] = e->GetDataByte(1);
    if (!IsBankSelect(e)) continue;
    const int channel = ChannelOf(e);
    lastBank[channel] = e->GetDataByte(2);
    const int partner = channel ^ 1;
    size_t at = 0;
    if ((channel & 1) == 0) {
      if (i + 2 < events.size() && IsBankSelectOfPair(events[i + 2], channel)) continue;
      at = std::min(i + 2, events.size());
    } else if (i < 3) {
      at = i;
    } else {
      if (IsBankSelectOfPair(events[i - 2], channel)) continue;
      at = i - 2;
    }
    const uint8_t bank[] = {static_cast<uint8_t>(0xB0 | partner), 0x00, lastBank[partner]};
    const uint8_t program[] = {static_cast<uint8_t>(0xC0 | partner), lastProgram[partner]};
    // A program change is two bytes, whatever the length of the bank select it is made from.
    std::unique_ptr<CSeqEvent> bankCopy(NewEvent(*e, 3, bank));
    std::unique_ptr<CSeqEvent> programCopy(NewEvent(*e, 2, program));
    const auto where = static_cast<std::ptrdiff_t>(at);
    inserted.insert(inserted.begin() + where, 2, true);
    events.insert(events.begin() + where, programCopy.get());
    programCopy.release();
    events.insert(events.begin() + where, bankCopy.get());
    bankCopy.release();
    if (at <= i) i += 2;
  }
}

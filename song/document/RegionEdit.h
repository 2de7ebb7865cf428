// What the undoable edits share: the events a region edit takes, the cue check after it,
// putting events in at their tick and the recorded order of the song's events.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "song/GrowPtrArray.h"
#include "song/document/KZ1Doc.h"

/// Event i of an edit command's array.
inline CMidiMsg* EventAt(const CGrowPtrArray& array, uint32_t i) {
  return static_cast<CMidiMsg*>(array.GetAt(i));
}

/// A note, control change or program change of the channel (-1: any) with from <= tick <= to
/// that is not a cue event.
bool IsRegionEvent(const CMidiMsg& m, int channel, uint32_t from, uint32_t to);

/// Sets cue points 1 to 9 again where they are. When one is refused, asks 7067: OK removes
/// every refused point, Cancel asks the window to undo the edit.
void CheckCuePointsAfterEdit(CKZ1Doc& doc);

/// The end of a region edit's body: channel data from the events, the cue check, the change
/// flags and the song windows.
void FinishRegionEdit(CKZ1Doc& doc);

/// Puts the event in at its tick, after the events already there.
void InsertByTick(CKZ1Doc::EventList& list, std::unique_ptr<CMidiMsg> event);

/// Merges events (in tick order among themselves) into a list in tick order, each after the
/// list's events of its tick.
void MergeEventsByTick(CKZ1Doc::EventList& list, CKZ1Doc::EventList& events);

/// The order of a list's events, recorded before an edit so that its undo puts every event it
/// took or moved back at its old place.
class CEventOrder {
 public:
  void Record(const CKZ1Doc::EventList& list);
  void Clear() { m_order.clear(); }
  /// Another event takes the place recorded at index.
  void Substitute(size_t index, const CMidiMsg* event) {
    if (index < m_order.size()) m_order[index] = event;
  }
  bool IsEmpty() const { return m_order.empty(); }
  /// Puts the list's recorded events back in their recorded order; events not recorded go in
  /// by tick.
  void Restore(CKZ1Doc::EventList& list) const;
  const std::vector<const CMidiMsg*>& GetOrder() const { return m_order; }

 private:
  std::vector<const CMidiMsg*> m_order;
};

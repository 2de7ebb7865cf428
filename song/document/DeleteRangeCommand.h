// The undoable Erase of the events of a region, optionally closing the gap.
#pragma once

#include <cstdint>
#include <unordered_set>

#include "song/GrowPtrArray.h"
#include "song/document/EditCommand.h"
#include "song/document/RegionEdit.h"

class CKZ1Doc;
class CMidiMsg;

class CDeleteRangeCommand : public CEditCommand {
 public:
  /// channel -1 takes every channel; closeGap 1 moves what follows the region back over it.
  /// Applies nothing.
  CDeleteRangeCommand(CKZ1Doc& doc, int channel, uint32_t from, uint32_t to, int closeGap);
  ~CDeleteRangeCommand() override;

 protected:
  int DoBody() override;
  int UndoBody() override;

 private:
  void CloseGap();
  void OpenGap();
  void DeleteRemoved();

  // One flag per cue number: its point could not follow its event.
  uint32_t m_cueFlags[10] = {};
  CKZ1Doc& m_doc;
  int m_channel;
  uint32_t m_from;
  uint32_t m_to;
  int m_closeGap;
  CGrowPtrArray m_removed{100};
  // The events that closing the gap moved: exactly those move forward again.
  std::unordered_set<const CMidiMsg*> m_moved;
  CEventOrder m_order;
};

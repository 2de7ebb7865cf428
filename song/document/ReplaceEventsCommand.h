// The undoable Duplicate and Move of the events of a region to another tick and channel.
#pragma once

#include <cstdint>
#include <vector>

#include "song/GrowPtrArray.h"
#include "song/document/EditCommand.h"
#include "song/document/RegionEdit.h"

class CKZ1Doc;
class CMidiMsg;

class CReplaceEventsCommand : public CEditCommand {
 public:
  /// channel -1 takes every channel, destChannel -1 keeps each event's own; move 1 moves, 0
  /// duplicates. Applies nothing.
  CReplaceEventsCommand(CKZ1Doc& doc, int channel, uint32_t from, uint32_t to, int destChannel,
                        uint32_t target, int move);
  ~CReplaceEventsCommand() override;

 protected:
  int DoBody() override;
  int UndoBody() override;

 private:
  void InsertCopies();
  void RemoveInsertedCopies();
  static void DeleteAll(CGrowPtrArray& array);

  CKZ1Doc& m_doc;
  int m_channel;
  uint32_t m_from;
  uint32_t m_to;
  int m_destChannel;
  uint32_t m_target;
  int m_move;
  // Owned events: "before" the region's events (the moved ones themselves), "after" a record
  // of each copy put into the song, whose address is kept beside it.
  CGrowPtrArray m_before{100};
  CGrowPtrArray m_after{100};
  std::vector<const CMidiMsg*> m_inserted;
  CEventOrder m_order;
};

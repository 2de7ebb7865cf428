// The undoable deletion of one event of the song.
#pragma once

#include <memory>

#include "song/document/EditCommand.h"

class CKZ1Doc;
class CMidiMsg;

class CDeleteEventCommand : public CEditCommand {
 public:
  /// Marks the song modified (dropping the command the undo slot held); applies nothing.
  CDeleteEventCommand(CKZ1Doc& doc, CMidiMsg* event);
  ~CDeleteEventCommand() override;

 protected:
  /// Takes the event out of the song's event list (a cue event also loses its cue point);
  /// 0 when the list does not hold it, and the command then holds nothing.
  int DoBody() override;
  /// Puts the event back at its old place.
  int UndoBody() override;

 private:
  CKZ1Doc& m_doc;
  CMidiMsg* m_event;
  // Owned from DoBody until UndoBody hands it back to the list.
  std::unique_ptr<CMidiMsg> m_held;
  // The event before it in the list when it was taken out (null: the head).
  const CMidiMsg* m_before = nullptr;
};

// Base of the undoable edits.
#include "song/document/EditCommand.h"

void CEditCommand::Undo() {
  UndoBody();
  m_done = 0;
}

void CEditCommand::Redo() {
  DoBody();
  m_done = 1;
}

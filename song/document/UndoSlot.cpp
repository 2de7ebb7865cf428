// The song's one undoable edit.
#include "song/document/UndoSlot.h"

#include <utility>

void CUndoSlot::Execute(std::unique_ptr<CEditCommand> command) {
  // A body marking the song modified must not delete the command that is running it, and a
  // body starting another command must not replace it either.
  if (m_busy) return;
  m_command.reset();
  if (!command) return;
  m_command = std::move(command);
  m_busy = true;
  try {
    m_command->Redo();
    m_busy = false;
  } catch (...) {
    m_busy = false;
    m_command.reset();
  }
}

void CUndoSlot::UndoRedo() {
  if (m_busy || !m_command) return;
  m_busy = true;
  try {
    if (m_command->IsDone()) {
      m_command->Undo();
    } else {
      m_command->Redo();
    }
    m_busy = false;
  } catch (...) {
    m_busy = false;
    m_command.reset();
  }
}

// The song's one undoable edit: the last command executed, undone and redone as a toggle.
#pragma once

#include <memory>

#include "song/document/EditCommand.h"

class CUndoSlot {
 public:
  CUndoSlot() = default;
  CUndoSlot(const CUndoSlot&) = delete;
  CUndoSlot& operator=(const CUndoSlot&) = delete;
  virtual ~CUndoSlot() = default;

  /// Drops the held command and, given one, holds it and applies it. A plain modification
  /// passes none; while the held command's own body runs that call keeps the command. A
  /// command that throws while it applies is dropped and the exception swallowed.
  virtual void Execute(std::unique_ptr<CEditCommand> command);
  /// Reverts the held command when it is done, else applies it again; a throw drops it.
  virtual void UndoRedo();
  virtual int CanUndo() const { return m_command && m_command->IsDone() ? 1 : 0; }
  virtual int CanRedo() const { return m_command && !m_command->IsDone() ? 1 : 0; }

  const CEditCommand* GetCommand() const { return m_command.get(); }
  bool IsBusy() const { return m_busy; }

 private:
  std::unique_ptr<CEditCommand> m_command;
  bool m_busy = false;
};

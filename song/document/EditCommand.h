// Base of the undoable edits: a command that applies and reverts itself.
#pragma once

#include <cstdint>

class CEditCommand {
 public:
  CEditCommand() = default;
  CEditCommand(const CEditCommand&) = delete;
  CEditCommand& operator=(const CEditCommand&) = delete;
  virtual ~CEditCommand() = default;

  /// Reverts the edit; the command is then not done.
  virtual void Undo();
  /// Applies the edit; the command is then done.
  virtual void Redo();
  /// 1 after Redo, 0 after construction and after Undo.
  int IsDone() const { return m_done; }

 protected:
  virtual int UndoBody() = 0;
  virtual int DoBody() = 0;

 private:
  uint8_t m_done = 0;
};

// The undoable transposition of the notes of a region.
#pragma once

#include <cstdint>

#include "song/document/EditCommand.h"

class CKZ1Doc;

class CTransposeCommand : public CEditCommand {
 public:
  /// channel -1 takes every channel of the song. The caller has checked that no note leaves
  /// 0..127. Applies nothing.
  CTransposeCommand(CKZ1Doc& doc, int channel, int delta, uint32_t from, uint32_t to);

 protected:
  int DoBody() override { return Apply(m_delta); }
  int UndoBody() override { return Apply(-m_delta); }

 private:
  int Apply(int delta);

  CKZ1Doc& m_doc;
  int m_channel;
  int m_delta;
  uint32_t m_from;
  uint32_t m_to;
};

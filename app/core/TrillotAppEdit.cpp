// The application's region edit commands: Transpose, Duplicate/Move and Erase.
#include <memory>
#include <new>

#include "app/core/TrillotApp.h"
#include "song/document/DeleteRangeCommand.h"
#include "song/document/KZ1Doc.h"
#include "song/document/ReplaceEventsCommand.h"

namespace {

constexpr int kDuplicateMode = 1;
constexpr int kEraseMode = 3;

/// The command, or null when it cannot be made (the undo slot then only drops its old one).
template <typename Command, typename... Args>
std::unique_ptr<CEditCommand> MakeCommand(Args&&... args) {
  try {
    return std::make_unique<Command>(std::forward<Args>(args)...);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

}  // namespace

void CTrillotApp::OnEditTranspose() {
  if (m_transposeDialog) m_transposeDialog();
}

void CTrillotApp::OnEditDuplicateMove() {
  RegionEditAnswer a;
  if (!m_regionEditDialog || !m_regionEditDialog(kDuplicateMode, a)) return;
  CKZ1Doc* doc = GetDocument();
  if (!doc) return;
  doc->ExecuteEdit(
      MakeCommand<CReplaceEventsCommand>(*doc, a.sourceChannel, a.from, a.to, a.targetChannel, a.target, a.option));
}

void CTrillotApp::OnEditErase() {
  RegionEditAnswer a;
  if (!m_regionEditDialog || !m_regionEditDialog(kEraseMode, a)) return;
  CKZ1Doc* doc = GetDocument();
  if (!doc) return;
  doc->ExecuteEdit(MakeCommand<CDeleteRangeCommand>(*doc, a.sourceChannel, a.from, a.to, a.option));
}

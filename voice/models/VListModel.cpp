#include "voice/models/VListModel.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

#include "song/Voice2.h"
#include "song/VoiceLibrary.h"
#include "song/VoiceTable1.h"
#include "uikit/ScrollSteps.h"
#include "voice/models/VoiceWindowShell.h"

namespace vlist {

int StepPosition(int code, int pos, int thumb, int page, int last) {
  switch (code) {
    case scroll::kLineUp: pos -= 1; break;
    case scroll::kLineDown: pos += 1; break;
    case scroll::kPageUp: pos -= page; break;
    case scroll::kPageDown: pos += page; break;
    case scroll::kThumbPosition:
    case scroll::kThumbTrack: pos = thumb; break;
    case scroll::kTop: pos = 0; break;
    case scroll::kBottom: pos = last; break;
    default: break;
  }
  return std::clamp(pos, 0, std::max(0, last));
}

}  // namespace vlist

void CVListModel::SetMode(int mode) {
  if (mode != 1 && mode != 2) return;
  m_mode = mode;
  m_tab = std::min(m_tab, GetTabCount() - 1);
  ClearSelection();
}

const char* CVListModel::TabLabel(int tab) const {
  if (tab == 0) return "Normal";
  return tab == 1 && m_mode == 2 ? "Drum" : "";
}

void CVListModel::SetTab(int tab) {
  if (tab >= 0 && tab < GetTabCount()) m_tab = tab;
}

std::string CVListModel::ColumnHeader(int column) const {
  if (column < 0 || column > GetLastColumn()) return {};
  if (m_mode == 1) return column == 0 ? "Default" : "Extended";
  char text[32];
  std::snprintf(text, sizeof text, column < 2 ? "Bank %d (default)" : "Bank %d (user)", BankOf(column));
  return text;
}

int CVListModel::HitTest(int x, int y, int hPos, int vPos, int* row) const {
  if (row) *row = -1;
  const int dy = y - GetGridTop();
  if (x < kLabelWidth || dy < 0 || dy % kRowHeight == 0) return -1;
  const int r = dy / kRowHeight + vPos;
  const int c = (x - kLabelWidth) / kColumnWidth + hPos;
  if (r > kLastRow || c > GetLastColumn()) return -1;
  if (row) *row = r;
  return c;
}

std::string CVListModel::CellText(CVoiceLibrary& library, int column, int row) const {
  if (column < 0 || column > GetLastColumn() || row < 0 || row > kLastRow) return {};
  if (m_mode == 1) {
    const auto* name = reinterpret_cast<const char*>(library.GetGen1VoiceTable(column).GetEntry(row));
    return std::string(name, strnlen(name, 16));
  }
  const auto* name = reinterpret_cast<const char*>(library.GetVoice2(BankOf(column), row)->GetName());
  return std::string(name, strnlen(name, CVoice2::kNameSize));
}

void CVListModel::Click(int x, int y, int hPos, int vPos) {
  int row = -1;
  m_column = HitTest(x, y, hPos, vPos, &row);
  m_row = m_column >= 0 ? row : -1;
}

void CVListModel::ClearSelection() {
  m_column = -1;
  m_row = -1;
}

bool CVListModel::CanCopy(CVoiceLibrary& library, const IVoiceWindowShell& shell) const {
  if (!shell.IsDeviceIdle() || !HasSelection()) return false;
  return m_mode == 1 || !library.GetVoice2(BankOf(m_column), m_row)->IsDefault();
}

bool CVListModel::CanPaste(const IVoiceWindowShell& shell) const {
  if (!shell.IsDeviceIdle() || !HasSelection()) return false;
  if (m_mode == 1) return shell.HasClipEntry() && m_column == 1;
  return shell.GetClipboard() != nullptr && m_column >= 2;
}

bool CVListModel::Copy(CVoiceLibrary& library, IVoiceWindowShell& shell) const {
  if (!HasSelection()) return false;
  if (m_mode == 1) {
    std::memcpy(shell.GetClipEntry(), library.GetGen1VoiceTable(m_column).GetEntry(m_row), CVoiceTable1::kEntrySize);
    shell.SetClipEntryValid(true);
  } else {
    shell.SetClipboard(std::make_unique<CVoice2>(*library.GetVoice2(BankOf(m_column), m_row)));
  }
  return true;
}

bool CVListModel::Paste(CVoiceLibrary& library, IVoiceWindowShell& shell) const {
  if (!CanPaste(shell)) return false;
  if (m_mode == 1) {
    library.GetGen1VoiceTable(m_column).SetEntry(m_row, shell.GetClipEntry());
  } else {
    library.SetVoice2(BankOf(m_column), m_row, *shell.GetClipboard());
  }
  shell.UpdateVoiceWindows();
  return true;
}

VListMenu CVListModel::CellMenu(CVoiceLibrary& library, const IVoiceWindowShell& shell) const {
  return {{"&Undo\tCtrl+Z", kUndo, false},
          {"&Redo\tCtrl+Y", kRedo, false},
          {"", 0, true},
          {"Cu&t", kCut, false},
          {"&Copy\tCtrl+C", kCopy, CanCopy(library, shell)},
          {"&Paste\tCtrl+V", kPaste, CanPaste(shell)}};
}

int CVListModel::ScrollColumn(int code, int pos, int thumb, int columnsPerPage) const {
  return vlist::StepPosition(code, pos, thumb, std::max(1, columnsPerPage), GetLastColumn());
}

int CVListModel::ScrollRow(int code, int pos, int thumb) {
  return vlist::StepPosition(code, pos, thumb, kPageRows, kLastRow);
}

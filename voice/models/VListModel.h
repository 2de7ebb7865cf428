// The voice list of generations 1 and 2 without a window: layout by mode, headers, hit test,
// cell texts, the selection and the copy and paste rules over the library.
#pragma once

#include <string>

#include "voice/models/VListMenu.h"

class CVoiceLibrary;
class IVoiceWindowShell;

class CVListModel {
 public:
  static constexpr int kRowHeight = 20;
  static constexpr int kHeaderHeight = 20;
  static constexpr int kLabelWidth = 56;
  static constexpr int kColumnWidth = 128;
  static constexpr int kTabHeight = 25;
  static constexpr int kLastRow = 127;
  static constexpr int kPageRows = 4;
  /// Colours as 0x00BBGGRR.
  static constexpr unsigned kBand = 0xC0C0C0;
  static constexpr unsigned kGrid = 0xC0C0C0;
  static constexpr unsigned kSelectedBack = 0x800000;
  enum : int { kUndo = 57643, kRedo = 57644, kCut = 57635, kCopy = 57634, kPaste = 57637 };

  /// 1 or 2; any other mode is ignored.
  void SetMode(int mode);
  int GetMode() const { return m_mode; }
  int GetTabCount() const { return m_mode == 1 ? 1 : 2; }
  const char* TabLabel(int tab) const;
  int GetTab() const { return m_tab; }
  void SetTab(int tab);
  /// The tab bar's height: none in mode 1.
  int GetTabHeight() const { return m_mode == 1 ? 0 : kTabHeight; }
  int GetGridTop() const { return GetTabHeight() + kHeaderHeight; }
  int GetLastColumn() const { return m_mode == 1 ? 1 : 9; }
  /// Mode 1: the generation-1 table 0 or 1; mode 2: the generation-2 bank of the tab.
  int BankOf(int column) const { return m_mode == 1 ? column : m_tab * 128 + column; }
  /// Mode 2: the dialog may change every bank but 0, 1, 128 and 129.
  static bool IsEditableBank(int bank) { return bank != 0 && bank != 1 && bank != 128 && bank != 129; }

  std::string ColumnHeader(int column) const;
  static const char* CornerText() { return "No."; }
  static std::string RowLabel(int row) { return std::to_string(row); }
  /// The column under a client point (-1 outside the grid or on a horizontal grid line) and
  /// its row.
  int HitTest(int x, int y, int hPos, int vPos, int* row) const;
  /// The name shown in a cell.
  std::string CellText(CVoiceLibrary& library, int column, int row) const;

  /// A mouse press: the cell under the point, or no selection.
  void Click(int x, int y, int hPos, int vPos);
  void ClearSelection();
  int GetSelectedColumn() const { return m_column; }
  int GetSelectedRow() const { return m_row; }
  bool HasSelection() const { return m_column >= 0 && m_row >= 0; }

  bool CanCopy(CVoiceLibrary& library, const IVoiceWindowShell& shell) const;
  bool CanPaste(const IVoiceWindowShell& shell) const;
  /// The selected voice into the shell's clipboard of the mode; false without a selection.
  bool Copy(CVoiceLibrary& library, IVoiceWindowShell& shell) const;
  /// The clipboard over the selected voice, then the voice windows refresh; false when the
  /// rules refuse it.
  bool Paste(CVoiceLibrary& library, IVoiceWindowShell& shell) const;
  /// The main menu's Edit items that a cell offers: Undo, Redo, Cut greyed, Copy and Paste.
  VListMenu CellMenu(CVoiceLibrary& library, const IVoiceWindowShell& shell) const;

  /// Scroll positions: columns 0..last column, rows 0..127 with a page of four rows.
  int ScrollColumn(int code, int pos, int thumb, int columnsPerPage) const;
  static int ScrollRow(int code, int pos, int thumb);

 private:
  int m_mode = 1;
  int m_tab = 0;
  int m_column = -1;
  int m_row = -1;
};

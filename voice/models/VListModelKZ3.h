// The voice list of generations 3 and 5 without a window: the Normal and Drum layouts, the
// three header rows, hit test, cell texts and colours, the cell and bank selections, copy and
// paste, and how an edited voice is stored back into the library.
#pragma once

#include <cstdint>
#include <string>

#include "voice/models/VListMenu.h"

class CKZ1Doc;
class CVoiceItem;
class CVoiceLibrary;
class IVoiceWindowShell;

class CVListModelKZ3 {
 public:
  static constexpr int kRowHeight = 20;
  static constexpr int kTabHeight = 25;
  static constexpr int kHeaderHeight = 60;
  static constexpr int kLabelWidth = 56;
  static constexpr int kColumnWidth = 225;
  static constexpr int kNameWidth = 183;
  static constexpr int kTypeWidth = 38;
  static constexpr int kLastColumn = 9;
  static constexpr int kLastRow = 127;
  static constexpr int kNormalMsb = 124;
  static constexpr int kDrumMsb = 125;
  static constexpr int kFirstDrumNote = 13;
  static constexpr int kLastDrumNote = 91;
  /// Colours as 0x00BBGGRR.
  static constexpr unsigned kBand = 0xC0C0C0;
  static constexpr unsigned kGrid = 0xC0C0C0;
  static constexpr unsigned kSelectedBack = 0x800000;
  static constexpr unsigned kGreyText = 0x808080;
  static constexpr unsigned kGreyBack = 0xF0F0F0;
  enum : int { kCopy = 57634, kCopyAlt = 32786, kPaste = 57637, kPasteAlt = 32787, kImport = 32789, kExport = 32790 };
  enum Tab { kNormal = 0, kDrum = 1 };

  /// A voice's place: note -1 for a melody voice; all -1 for none.
  struct Address {
    int msb = -1;
    int lsb = -1;
    int program = -1;
    int note = -1;
    bool operator==(const Address&) const = default;
  };

  struct Cell {
    std::string name;
    std::string type;
    unsigned text = 0x000000;
    unsigned back = 0xFFFFFF;
  };

  /// Whatever the chip mode, the one layout of the Normal and Drum tabs.
  void SetMode(int /*chipMode*/) { m_mode = 3; }
  int GetMode() const { return m_mode; }
  static const char* TabLabel(int tab);
  int GetTab() const { return m_tab; }
  void SetTab(int tab);
  bool IsDrum() const { return m_tab == kDrum; }
  static int GetGridTop() { return kTabHeight + kHeaderHeight; }

  /// The voice a grid cell shows.
  Address CellAddress(int column, int row) const;
  /// The column under a client point (-1 outside the grid) and its row.
  int HitTest(int x, int y, int hPos, int vPos, int* row) const;
  /// The bank column under a point of the first header row, -1 elsewhere.
  int HeaderColumnAt(int x, int y, int hPos) const;

  /// Header row 0 or 1 over a column ("124", the column, ...); row 2 is "Instrument" and "Type".
  std::string HeaderText(int headerRow, int column, int originPch) const;
  /// The corner's label of a header row.
  const char* CornerText(int headerRow) const;
  std::string RowLabel(int row, int originPch) const;
  Cell CellOf(CVoiceLibrary& library, int column, int row, int chipMode, int outputProfile) const;
  static std::string TypeText(const CVoiceItem& voice);

  /// A mouse press: the cell under the point, or no selection.
  void Click(int x, int y, int hPos, int vPos);
  void ClearSelection() { m_selection = Address{}; }
  const Address& GetSelection() const { return m_selection; }
  bool IsSelected(int column, int row) const;
  /// Every part chosen; on the Drum tab a note of 13..91.
  bool IsSelectionComplete() const;

  /// A right-click on the first header row chooses the bank of the bank commands; false elsewhere.
  bool SelectBankAt(int x, int y, int hPos);
  /// The bank of the bank commands: MSB, LSB and program.
  const Address& GetBankSelection() const { return m_bank; }
  void SetBankSelection(int msb, int lsb, int program);
  bool IsBankDrum() const { return m_bank.msb == kDrumMsb; }
  bool IsBankEditable() const;
  VListMenu BankMenu() const;
  VListMenu CellMenu(CVoiceLibrary& library, const IVoiceWindowShell& shell) const;

  bool CanCopy(const IVoiceWindowShell& shell) const;
  bool CanPaste(CVoiceLibrary& library, const IVoiceWindowShell& shell) const;
  /// The selected voice as the shell's voice item of kind 1.
  bool Copy(CVoiceLibrary& library, IVoiceWindowShell& shell) const;
  /// The shell's voice item at the selected cell. 0 when pasted; a refusal's message id
  /// (7070, shown) or -1 when the rules refuse it.
  int Paste(CVoiceLibrary& library, CKZ1Doc* doc, IVoiceWindowShell& shell) const;

  /// The voice of an address as the editor starts with it (a cleared voice there when absent).
  static CVoiceItem VoiceAt(CVoiceLibrary& library, const Address& at);
  /// Stores an edited voice at its address: created when absent, the library marked when the
  /// voice or its header changed, identical waves shared. The stored voice, or null when the
  /// voice may not be edited by the user.
  static CVoiceItem* StoreEditedVoice(CVoiceLibrary& library, const Address& at, const CVoiceItem& edited);

  /// Vertical: a page is the rows that fit less three; horizontal: a page is one column.
  static int ScrollRow(int code, int pos, int thumb, int rowsThatFit);
  static int ScrollColumn(int code, int pos, int thumb, int columnsPerPage);

 private:
  static CVoiceItem* Find(CVoiceLibrary& library, const Address& at);

  int m_mode = 3;
  int m_tab = kNormal;
  Address m_selection;
  Address m_bank{0, 0, 0, -1};
};

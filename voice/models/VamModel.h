// The voice assignment map's grid without a window: layouts by chip mode and output profile,
// the hit test, the cell texts and colours, and the rules of its clicks, copy and paste.
#pragma once

#include <array>
#include <cstdint>
#include <string>

class CKZ1Doc;
class CVoiceLibrary;
class IVoiceWindowShell;

class CVamModel {
 public:
  static constexpr int kColumnCount = 30;
  static constexpr int kRowHeaderWidth = 20;
  static constexpr int kRowHeight = 20;
  static constexpr int kTabStripHeight = 25;
  enum Column {
    kColC, kColBankM, kColBankL, kColPch, kColNote, kColRegion, kColName, kColKind, kColType,
    kColCh1, kColCh16 = kColCh1 + 15, kColWS15, kColWS23, kColWS31, kColWaveId, kColTotalSize
  };
  static constexpr uint32_t kGrey = 0xC0C0C0;
  static constexpr uint32_t kFixedBank = 0x7F0000;
  static constexpr uint32_t kSelectedBack = 0x800000;

  /// What a cell shows: text, or a picture resource (0 for none) with the text as stand-in.
  struct Cell {
    std::string text;
    int picture = 0;
  };

  explicit CVamModel(int chipMode = 3);

  /// Modes 1, 2, 3 and 5 set the rows and the layout; other modes change nothing else.
  void SetMode(int chipMode, int slotCount, int outputProfile);
  int GetChipMode() const { return m_chipMode; }
  int GetFirstRow() const { return m_firstRow; }
  int GetLastRow() const { return m_lastRow; }
  int ColumnWidth(int column) const;
  static const char* ColumnTitle(int column);
  /// The tab strip's height: 25 in chip modes 3 and 5 outside output profile 4, else 0.
  int GetHeaderHeight() const { return m_tabHeight; }

  /// The column under the point (client coordinates) and its row, or -1.
  int HitTest(int x, int y, int clientWidth, int clientHeight, int hScroll, int vScroll, int* row) const;
  /// The horizontal page: 1 plus the columns after column 0 that fit beside it.
  int HorizontalPage(int clientWidth) const;
  /// The left edge of a column with the horizontal position; -1 when hidden or scrolled away.
  int ColumnLeft(int column, int hScroll) const;

  // --- Contents -----------------------------------------------------------------------------
  /// The first non-zero per-channel value of the song is 1: slot rows are drawn.
  static bool RowsShown(const CKZ1Doc& doc);
  static bool IsAssigned(const CKZ1Doc& doc, int slot);
  /// Used by the filtered channel (-1: by any channel).
  static bool IsUsed(const CKZ1Doc& doc, int slot, int channel);
  /// The row's text colour under the channel filter, as a COLORREF (0x00BBGGRR).
  uint32_t RowColour(const CKZ1Doc& doc, int slot, int channel) const;
  Cell CellOf(CKZ1Doc& doc, int slot, int column) const;
  std::string TypeText(CKZ1Doc& doc, int slot) const;
  /// The bytes the slot adds to the song ("TS[B]").
  int SlotSize(CKZ1Doc& doc, int slot) const;

  // --- Selection and clicks -----------------------------------------------------------------
  int GetSelected() const { return m_selected; }
  void SetSelected(int slot) { m_selected = slot; }
  int GetChannelFilter() const { return m_channel; }
  /// A tab: -1 "ALL", 0..15 "Ch1".."Ch16"; clears the selection.
  void SetChannelFilter(int channel);
  bool IsValidRow(const CKZ1Doc& doc, int row) const;
  /// A left click on "Name"; true when the pane repaints.
  bool ClickName(const CKZ1Doc& doc, int row);
  /// A right click on "Name" selects a valid row, else clears.
  void RightClickName(const CKZ1Doc& doc, int row);
  /// A left click on a channel cell: toggles the use, marks the song and sets its view flag;
  /// true when the use changed.
  bool ToggleChannel(CKZ1Doc& doc, int row, int channel) const;
  /// The row a chip-mode 1/2 right click at y aims at, with the vertical position.
  int RightClickRow(int y, int vScroll) const;

  // --- Popups -------------------------------------------------------------------------------
  /// Popup 2064 (chip modes 1 and 2) on the selected slot: "&New" and "&Delete" enabled.
  struct SlotPopup {
    bool newEnabled = false;
    bool deleteEnabled = false;
  };
  SlotPopup SlotPopupStates(const CKZ1Doc& doc) const;
  /// Popup 2144 (chip modes 3 and 5) shows for no selection or a voice not of a fixed bank.
  bool ShowsCopyPastePopup(CKZ1Doc& doc) const;
  /// "Import from Voice List..." and "Export to Voice List..." of popup 1013: the slot rows are
  /// drawn and some shown slot is assigned.
  bool VoiceListCommandsEnabled(const CKZ1Doc& doc) const;

  // --- Commands -----------------------------------------------------------------------------
  bool CanCopy(CKZ1Doc* doc, const IVoiceWindowShell& shell) const;
  bool CanPaste(CKZ1Doc* doc, const IVoiceWindowShell& shell) const;
  void Copy(CKZ1Doc& doc, IVoiceWindowShell& shell) const;
  /// Stores the clipboard voice into the selected slot; 1 when stored. A refusal shows its
  /// message and leaves the slot as it was.
  int Paste(CKZ1Doc& doc, CVoiceLibrary* library, IVoiceWindowShell& shell) const;

 private:
  int PasteGen3(CKZ1Doc& doc, CVoiceLibrary* library, IVoiceWindowShell& shell) const;

  int m_chipMode = 3;
  int m_slotCount = 0;
  int m_outputProfile = 2;
  int m_selected = -1;
  int m_channel = -1;
  int m_firstRow = 0;
  int m_lastRow = 15;
  int m_tabHeight = 0;
  std::array<int, kColumnCount> m_widths{};
};

// A combo box that shows several columns per row and translates between two key columns, with
// its edit part that shows the second key for a first-key value.
#pragma once

#include <QComboBox>
#include <QLineEdit>
#include <QPen>
#include <optional>
#include <vector>

class COwnerDrawCombo;

/// The edit part: setting a first-key text shows the matching second-key text; reading gives
/// the first-key text of the shown row.
class COwnerDrawComboEx : public QLineEdit {
 public:
  explicit COwnerDrawComboEx(COwnerDrawCombo* combo);

  /// WM_SETTEXT: shows the second-key text of the row whose first key is `text`, else nothing.
  void SetWindowText(const QString& text);
  /// WM_GETTEXT: the first-key text of the shown row, or the shown text when no row matches;
  /// `found` tells which.
  QString GetWindowText(bool* found = nullptr) const;
  /// WM_GETTEXTLENGTH: the larger of the shown and the first-key length, plus 1 when a row matches.
  int GetWindowTextLength() const;

 private:
  COwnerDrawCombo* m_combo;
};

class COwnerDrawCombo : public QComboBox {
 public:
  enum class Style { Simple, DropDown, DropDownList };
  // Text-drawing flags of the column formats.
  static constexpr unsigned kFormatCenter = 0x1;
  static constexpr unsigned kFormatRight = 0x2;

  explicit COwnerDrawCombo(QWidget* parent = nullptr, Style style = Style::DropDownList, bool sorted = false);

  /// Must come first: the column count and the two key columns.
  void SetColumns(unsigned count, unsigned firstKey, unsigned secondKey);
  /// The widths (0 hides a column); the total is the first width plus 7 plus each further
  /// visible width plus 1. Returns the total.
  int SetColumnWidths(const std::vector<int>& widths);
  void SetColumnFormats(const std::vector<unsigned>& formats);
  /// Adds a row; the first key column's text is the item string, which a sorted combo sorts by.
  int AddRow(const std::vector<QString>& texts);
  void ResetContent();
  std::optional<QString> GetSelectedText(unsigned column) const;
  std::optional<QString> GetText(int row, unsigned column) const;
  int MeasureItem() const { return m_itemHeight; }
  /// Paints a row (index -1: the background only), in the selection field or the list.
  void DrawItem(QPainter& painter, const QRect& rect, int index, bool highlighted, bool inSelectionField) const;

  /// 0x800C: the second-key text of the first row whose first key is `key`.
  std::optional<QString> OnSelectByKey1(const QString& key) const;
  /// 0x800D: the first-key text of the first row whose second key is `key`, cut to the buffer.
  std::optional<QString> OnSelectByKey2(const QString& key, int bufferSize = 256) const;

  COwnerDrawComboEx* EditPart() const { return m_edit; }
  Style ComboStyle() const { return m_style; }
  int DroppedWidth() const { return m_droppedWidth; }
  unsigned ColumnCount() const { return m_columnCount; }
  const std::vector<int>& ColumnWidths() const { return m_widths; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void SetDroppedWidth(int width);

  Style m_style;
  bool m_sorted;
  COwnerDrawComboEx* m_edit = nullptr;
  unsigned m_columnCount = 0;
  unsigned m_firstKey = 0;
  unsigned m_secondKey = 0;
  int m_itemHeight = 12;
  int m_droppedWidth = 0;
  std::vector<int> m_widths;
  std::vector<unsigned> m_formats;
  std::vector<std::vector<QString>> m_texts;
};

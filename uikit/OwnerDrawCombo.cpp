#include "uikit/OwnerDrawCombo.h"

#include <QAbstractItemDelegate>
#include <QAbstractItemView>
#include <QApplication>
#include <QPainter>
#include <QScrollBar>

#include "uikit/Drawing.h"

namespace {

/// Rows of the drop-down list, drawn and measured by the combo itself.
class ColumnDelegate final : public QAbstractItemDelegate {
 public:
  explicit ColumnDelegate(COwnerDrawCombo* combo) : QAbstractItemDelegate(combo), m_combo(combo) {}
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const bool highlighted = option.state & (QStyle::State_Selected | QStyle::State_MouseOver);
    m_combo->DrawItem(*painter, option.rect, index.row(), highlighted, false);
  }
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
    return {option.rect.width(), m_combo->MeasureItem()};
  }

 private:
  COwnerDrawCombo* m_combo;
};

int AlignmentOf(unsigned format) {
  const int a = Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextDontClip;
  if (format & COwnerDrawCombo::kFormatCenter) return a | Qt::AlignHCenter;
  if (format & COwnerDrawCombo::kFormatRight) return a | Qt::AlignRight;
  return a | Qt::AlignLeft;
}

}  // namespace

COwnerDrawComboEx::COwnerDrawComboEx(COwnerDrawCombo* combo) : QLineEdit(combo), m_combo(combo) {}

void COwnerDrawComboEx::SetWindowText(const QString& text) {
  setText(m_combo->OnSelectByKey1(text).value_or(QString()));
}

QString COwnerDrawComboEx::GetWindowText(bool* found) const {
  const auto key = m_combo->OnSelectByKey2(text());
  if (found) *found = key.has_value();
  return key.value_or(text());
}

int COwnerDrawComboEx::GetWindowTextLength() const {
  const QString shown = text().left(255);
  const auto key = m_combo->OnSelectByKey2(shown, 255);
  if (!key) return static_cast<int>(shown.size()) + 1;
  return static_cast<int>(std::max(shown.size() + 1, key->size())) + 1;
}

COwnerDrawCombo::COwnerDrawCombo(QWidget* parent, Style style, bool sorted)
    : QComboBox(parent), m_style(style), m_sorted(sorted) {
  setItemDelegate(new ColumnDelegate(this));
  if (style != Style::DropDownList) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    m_edit = new COwnerDrawComboEx(this);
    setLineEdit(m_edit);
    setCompleter(nullptr);
    // A chosen row shows through the edit part, as its second key.
    connect(this, &QComboBox::currentIndexChanged, this, [this](int index) {
      if (index >= 0) m_edit->SetWindowText(itemText(index));
    });
  }
}

void COwnerDrawCombo::SetDroppedWidth(int width) {
  m_droppedWidth = width;
  view()->setMinimumWidth(width);
}

void COwnerDrawCombo::SetColumns(unsigned count, unsigned firstKey, unsigned secondKey) {
  m_columnCount = count;
  m_firstKey = firstKey;
  m_secondKey = secondKey;
  m_widths.assign(count, 0);
  m_formats.assign(count, 0);
  m_texts.assign(count, {});
  if (m_style != Style::Simple) {
    const int dropped = m_droppedWidth > 0 ? m_droppedWidth : width();
    std::fill(m_widths.begin(), m_widths.end(), dropped - 4);
    SetDroppedWidth(6 + static_cast<int>(count) * (dropped - 3));
  }
  // One blank in the window's own font, not the combo's.
  m_itemHeight = QFontMetrics(QApplication::font()).height() - 1;
}

int COwnerDrawCombo::SetColumnWidths(const std::vector<int>& widths) {
  for (size_t i = 0; i < m_widths.size() && i < widths.size(); ++i) m_widths[i] = widths[i];
  int total = m_widths.empty() ? 7 : m_widths[0] + 7;
  for (size_t i = 1; i < m_widths.size(); ++i) {
    if (m_widths[i] != 0) total += m_widths[i] + 1;
  }
  if (m_style == Style::Simple) resize(total, height());
  else SetDroppedWidth(total);
  return total;
}

void COwnerDrawCombo::SetColumnFormats(const std::vector<unsigned>& formats) {
  for (size_t i = 0; i < m_formats.size() && i < formats.size(); ++i) m_formats[i] = formats[i];
}

int COwnerDrawCombo::AddRow(const std::vector<QString>& texts) {
  if (m_columnCount == 0) return -1;
  auto textAt = [&](unsigned c) { return c < texts.size() ? texts[c] : QString(); };
  const QString key = textAt(m_firstKey);
  int index = count();
  if (m_sorted) {
    index = 0;
    while (index < count() && QString::compare(itemText(index), key, Qt::CaseInsensitive) <= 0) ++index;
  }
  const int before = currentIndex();
  insertItem(index, key);
  // A combo shows no selection until one is made.
  if (before < 0 && currentIndex() >= 0) setCurrentIndex(-1);
  for (unsigned c = 0; c < m_columnCount; ++c) {
    auto& list = m_texts[c];
    list.insert(list.begin() + std::min<size_t>(static_cast<size_t>(index), list.size()), textAt(c));
  }
  return index;
}

void COwnerDrawCombo::ResetContent() {
  clear();
  for (auto& list : m_texts) list.clear();
}

std::optional<QString> COwnerDrawCombo::GetText(int row, unsigned column) const {
  if (column >= m_columnCount || row < 0 || static_cast<size_t>(row) >= m_texts[column].size()) return std::nullopt;
  return m_texts[column][static_cast<size_t>(row)];
}

std::optional<QString> COwnerDrawCombo::GetSelectedText(unsigned column) const {
  return GetText(currentIndex(), column);
}

std::optional<QString> COwnerDrawCombo::OnSelectByKey1(const QString& key) const {
  if (m_firstKey >= m_columnCount || m_secondKey >= m_columnCount) return std::nullopt;
  const auto& keys = m_texts[m_firstKey];
  for (size_t row = 0; row < keys.size(); ++row) {
    if (keys[row] == key) return m_texts[m_secondKey][row];
  }
  return std::nullopt;
}

std::optional<QString> COwnerDrawCombo::OnSelectByKey2(const QString& key, int bufferSize) const {
  if (m_firstKey >= m_columnCount || m_secondKey >= m_columnCount || bufferSize <= 0) return std::nullopt;
  const auto& keys = m_texts[m_secondKey];
  for (size_t row = 0; row < keys.size(); ++row) {
    if (keys[row] == key) return m_texts[m_firstKey][row].left(bufferSize - 1);
  }
  return std::nullopt;
}

void COwnerDrawCombo::DrawItem(QPainter& painter, const QRect& rect, int index, bool highlighted,
                               bool inSelectionField) const {
  const QPalette& pal = palette();
  const bool enabled = isEnabled();
  const QColor text = ui::SysColor(highlighted && enabled ? ui::kColorHighlightText : ui::kColorWindowText, pal);
  QColor back = ui::SysColor(highlighted ? ui::kColorHighlight : ui::kColorWindow, pal);
  if (!enabled) back = ui::SysColor(ui::kColorBtnFace, pal);
  painter.save();
  painter.fillRect(rect, back);
  if (highlighted) {
    // The dotted focus frame along the row's edge.
    painter.setPen(QPen(text, 1, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
  }
  if (index < 0 || m_columnCount == 0) {
    painter.restore();
    return;
  }
  painter.setPen(text);
  if (inSelectionField) {
    const unsigned column = m_widths[m_firstKey] != 0 ? m_firstKey : m_secondKey;
    painter.drawText(rect, (AlignmentOf(m_formats[column])), GetText(index, column).value_or(QString()));
    painter.restore();
    return;
  }
  const QPen separator(ui::SysColor(ui::kColor3DLight, pal), 1);
  if (!highlighted) {
    painter.setPen(separator);
    painter.drawLine(rect.left(), rect.bottom(), rect.right(), rect.bottom());
  }
  int lastVisible = -1;
  for (unsigned c = 0; c < m_columnCount; ++c) {
    if (m_widths[c] != 0) lastVisible = static_cast<int>(c);
  }
  const bool scrollBar = view()->verticalScrollBar() && view()->verticalScrollBar()->isVisible();
  int right = rect.left();
  bool first = true;
  for (unsigned c = 0; c < m_columnCount; ++c) {
    if (m_widths[c] == 0) continue;
    int left = right + 1;
    if (!first) {
      if (!highlighted) {
        painter.setPen(separator);
        painter.drawLine(right + 1, rect.top(), right + 1, rect.bottom());
      }
      ++left;
    }
    int width = m_widths[c];
    if (static_cast<int>(c) == lastVisible && scrollBar) width -= ui::SystemMetric(ui::kMetricCxVScroll);
    painter.setPen(text);
    painter.drawText(QRect(left, rect.top(), std::max(width, 0), rect.height()), (AlignmentOf(m_formats[c])),
                     m_texts[c][static_cast<size_t>(index)]);
    right = left + width;
    first = false;
  }
  painter.restore();
}

void COwnerDrawCombo::paintEvent(QPaintEvent* event) {
  if (isEditable()) {
    QComboBox::paintEvent(event);
    return;
  }
  // The frame and arrow of the style, then the selection field drawn as the combo draws it.
  QComboBox::paintEvent(event);
  QPainter painter(this);
  QStyleOptionComboBox option;
  initStyleOption(&option);
  const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
  DrawItem(painter, field, currentIndex(), hasFocus(), true);
}

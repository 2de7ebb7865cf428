#include "uikit/TextFitCheck.h"

#include <QAbstractScrollArea>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOption>

namespace ui {

namespace {

// A line edit draws its text this far inside its contents on each side (QLineEdit's own margin).
constexpr int kEditTextMargin = 2;

QString NameOf(const QWidget* w) {
  return w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName();
}

/// The rectangle `r` of `w` stays whole inside every ancestor up to the window; a scrolled
/// viewport ends the walk, since its contents are meant to move under it.
bool Unclipped(const QWidget* w, QRect r) {
  for (const QWidget* at = w; at && !at->isWindow(); at = at->parentWidget()) {
    const QWidget* parent = at->parentWidget();
    if (!parent) break;
    r.translate(at->pos());
    if (qobject_cast<const QAbstractScrollArea*>(parent->parentWidget()) &&
        parent == static_cast<const QAbstractScrollArea*>(parent->parentWidget())->viewport())
      return true;
    if (!parent->rect().contains(r)) return false;
  }
  return true;
}

class Collector {
 public:
  std::vector<TextFitProblem> problems;

  void Room(const QWidget* w, const char* kind, const QString& text, const QSize& need, const QRect& area) {
    if (need.width() > area.width() || !Unclipped(w, area.intersected(w->rect()))) {
      problems.push_back({NameOf(w), QString::fromLatin1(kind), text, need.width(), area.width(), false});
    } else if (need.height() > area.height()) {
      problems.push_back({NameOf(w), QString::fromLatin1(kind), text, need.height(), area.height(), true});
    }
  }

  void Label(const QLabel* label) {
    if (label->text().isEmpty() || label->textFormat() == Qt::RichText) return;
    if (!label->pixmap().isNull()) return;
    const QRect area = label->contentsRect().marginsRemoved(QMargins(label->margin(), label->margin(), label->margin(), label->margin()));
    const QFontMetrics fm(label->font());
    const int flags = Qt::TextShowMnemonic | (label->wordWrap() ? Qt::TextWordWrap : 0);
    const QRect text = fm.boundingRect(QRect(0, 0, label->wordWrap() ? area.width() : 100000, 100000), flags, label->text());
    Room(label, "label", label->text(), text.size(), area);
  }

  void Button(const QAbstractButton* button, const char* kind, QStyle::SubElement element) {
    if (button->text().isEmpty()) return;
    QStyleOptionButton opt;
    opt.initFrom(button);
    opt.text = button->text();
    opt.icon = button->icon();
    opt.iconSize = button->iconSize();
    if (auto* push = qobject_cast<const QPushButton*>(button)) {
      if (push->autoDefault()) opt.features |= QStyleOptionButton::AutoDefaultButton;
      if (push->isDefault()) opt.features |= QStyleOptionButton::DefaultButton;
    }
    const QRect area = button->style()->subElementRect(element, &opt, button);
    const QFontMetrics fm(button->font());
    QSize need = fm.size(Qt::TextShowMnemonic, button->text());
    if (!button->icon().isNull()) need.rwidth() += button->iconSize().width() + 4;
    Room(button, kind, button->text(), need, area);
  }

  void Group(const QGroupBox* box) {
    if (box->title().isEmpty()) return;
    QStyleOptionGroupBox opt;
    opt.initFrom(box);
    opt.text = box->title();
    opt.lineWidth = 1;
    opt.textAlignment = box->alignment();
    opt.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    if (box->isCheckable()) opt.subControls |= QStyle::SC_GroupBoxCheckBox;
    if (box->isFlat()) opt.features |= QStyleOptionFrame::Flat;
    const QRect label = box->style()->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxLabel, box);
    const QFontMetrics fm(box->font());
    const QSize need = fm.size(Qt::TextShowMnemonic, box->title());
    // The label sits where the style puts it; it must lie inside the box and have the text's room.
    const QRect area = label.intersected(box->rect());
    Room(box, "group", box->title(), need, area);
  }

  void Edit(const QLineEdit* edit) {
    const QString text = edit->displayText();
    if (text.isEmpty()) return;
    // The arrows of an up-down control show no text of their own.
    if (edit->palette().color(QPalette::Text).alpha() == 0) return;
    QStyleOptionFrame opt;
    opt.initFrom(edit);
    opt.lineWidth = edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, edit) : 0;
    opt.state |= QStyle::State_Sunken;
    QRect area = edit->style()->subElementRect(QStyle::SE_LineEditContents, &opt, edit);
    area = area.marginsRemoved(edit->textMargins()).adjusted(kEditTextMargin, 0, -kEditTextMargin, 0);
    const QFontMetrics fm(edit->font());
    // One more pixel for the caret after the last character.
    Room(edit, "edit", text, QSize(fm.horizontalAdvance(text) + 1, fm.height()), area);
  }

  void Visit(const QWidget* w) {
    if (auto* label = qobject_cast<const QLabel*>(w)) Label(label);
    else if (auto* push = qobject_cast<const QPushButton*>(w)) Button(push, "button", QStyle::SE_PushButtonContents);
    else if (auto* check = qobject_cast<const QCheckBox*>(w)) Button(check, "check", QStyle::SE_CheckBoxContents);
    else if (auto* radio = qobject_cast<const QRadioButton*>(w)) Button(radio, "radio", QStyle::SE_RadioButtonContents);
    else if (auto* group = qobject_cast<const QGroupBox*>(w)) Group(group);
    else if (auto* edit = qobject_cast<const QLineEdit*>(w)) Edit(edit);
  }
};

}  // namespace

QString TextFitProblem::Describe() const {
  return QStringLiteral("%1 %2 \"%3\": needs %4 px %5, has %6").arg(widget, kind, text).arg(need).arg(height ? "high" : "wide").arg(have);
}

std::vector<TextFitProblem> TextFitCheck::Window(const QWidget* window) {
  Collector c;
  if (!window) return c.problems;
  std::vector<const QWidget*> all{window};
  for (const QWidget* w : window->findChildren<QWidget*>()) all.push_back(w);
  for (const QWidget* w : all) {
    // Only what the user can see: the widget and every parent up to the window shown.
    if (w != window && !w->isVisibleTo(window)) continue;
    if (w->window() != window) continue;
    c.Visit(w);
  }
  return c.problems;
}

QSize TextFitCheck::FrameSize(const QWidget* window) {
  const QSize frame = window->frameGeometry().size();
  return frame.isValid() && !frame.isEmpty() ? frame.expandedTo(window->size()) : window->size();
}

int TextFitCheck::EditWidthFor(const QLineEdit* edit, const QString& widest) {
  QStyleOptionFrame opt;
  opt.initFrom(edit);
  opt.lineWidth = edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, edit) : 0;
  opt.state |= QStyle::State_Sunken;
  opt.rect = QRect(0, 0, 1000, 30);
  const QRect contents = edit->style()->subElementRect(QStyle::SE_LineEditContents, &opt, edit);
  const QMargins margins = edit->textMargins();
  const int frame = opt.rect.width() - contents.width() + margins.left() + margins.right();
  return QFontMetrics(edit->font()).horizontalAdvance(widest) + 1 + 2 * kEditTextMargin + frame;
}

int TextFitCheck::ButtonWidthFor(const QPushButton* button, int padding) {
  QStyleOptionButton opt;
  opt.initFrom(button);
  opt.text = button->text();
  opt.rect = QRect(0, 0, 1000, 30);
  if (button->autoDefault()) opt.features |= QStyleOptionButton::AutoDefaultButton;
  const QRect contents = button->style()->subElementRect(QStyle::SE_PushButtonContents, &opt, button);
  int need = QFontMetrics(button->font()).size(Qt::TextShowMnemonic, button->text()).width();
  if (!button->icon().isNull()) need += button->iconSize().width() + 4;
  return need + 2 * padding + opt.rect.width() - contents.width();
}

bool TextFitCheck::Fits(const QWidget* window, QSize limit) {
  const QSize size = FrameSize(window);
  return size.width() <= limit.width() && size.height() <= limit.height();
}

}  // namespace ui

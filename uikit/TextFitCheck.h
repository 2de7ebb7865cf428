// Checks that what a window shows as text has room for it: the text of every visible label,
// push button, check box, radio button, group box title and edit must fit inside the part of its
// widget where the style draws it, and that part must not be cut off by a parent.
#pragma once

#include <QSize>
#include <QString>
#include <vector>

class QLineEdit;
class QPushButton;
class QWidget;

namespace ui {

struct TextFitProblem {
  QString widget;  // object name, else class name
  QString kind;    // "label", "button", "check", "radio", "group", "edit"
  QString text;
  int need = 0;    // pixels the text needs (width, or height for "…height" problems)
  int have = 0;    // pixels the widget gives it
  bool height = false;

  /// One line: widget, kind, text and the two figures.
  QString Describe() const;
};

class TextFitCheck {
 public:
  /// Every text of the shown descendants of `window` (and of itself) that does not fit.
  static std::vector<TextFitProblem> Window(const QWidget* window);
  /// Whether the window with its frame fits within `limit`.
  static bool Fits(const QWidget* window, QSize limit);
  /// The size of the window with its frame (the widget's own size when it has none yet).
  static QSize FrameSize(const QWidget* window);

  /// The width an edit needs to show `widest` whole at its font.
  static int EditWidthFor(const QLineEdit* edit, const QString& widest);
  /// The width a push button needs to show its text (and icon) whole, with `padding` pixels of
  /// air on each side.
  static int ButtonWidthFor(const QPushButton* button, int padding);
};

}  // namespace ui

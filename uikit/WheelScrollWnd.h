// A pane that scrolls itself vertically, by its scroll bar and by the mouse wheel.
#pragma once

#include <QWidget>

class QScrollBar;

class CWheelScrollWnd : public QWidget {
 public:
  explicit CWheelScrollWnd(QWidget* parent = nullptr) : QWidget(parent) {}

  /// The pane scrolls itself: a scroll code, the thumb position and the bar control (null for
  /// the window's own bar).
  virtual void ScrollVert(int code, int position, QScrollBar* bar) = 0;

  /// The vertical bar whose actions pass to ScrollVert and whose value is the position.
  /// `own`: the window's own bar, handed on as null like a window's built-in bar.
  void SetVerticalBar(QScrollBar* bar, bool own = true);
  QScrollBar* VerticalBar() const { return m_bar; }

 protected:
  /// One turn moves by the system's wheel-lines setting, whatever the size of the delta:
  /// toward the user down, away up.
  void wheelEvent(QWheelEvent* event) override;

 private:
  QScrollBar* BarArgument() const { return m_ownBar ? nullptr : m_bar; }

  QScrollBar* m_bar = nullptr;
  bool m_ownBar = true;
};

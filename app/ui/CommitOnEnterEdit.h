// What the time-base and play-position edits share: a typed value applies on Enter only, the
// text shows without blanks while edited, and there is no paste and no context menu.
#pragma once

#include <QLineEdit>
#include <string>

class CommitOnEnterEdit : public QLineEdit {
 public:
  /// The control, in the parent, that takes the focus after a commit (0 none).
  int SetKind(int nextFocusId) {
    m_nextFocusId = nextFocusId;
    return 1;
  }

 protected:
  explicit CommitOnEnterEdit(QWidget* parent) : QLineEdit(parent) {}

  /// Whether the text that a typed character would leave may stand.
  virtual bool AcceptsText(const std::string& text) const = 0;
  /// Enter was pressed.
  virtual void OnEnter(QKeyEvent* event) = 0;

  /// The next-focus control, or null for no id or an id that names no control.
  QWidget* NextFocusControl() const;

  void keyPressEvent(QKeyEvent* event) override;
  /// Saves the shown text, shows it without blanks and selects it.
  void focusInEvent(QFocusEvent* event) override;
  /// The right button only takes the focus.
  void mouseReleaseEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

  int m_nextFocusId = 0;
  QString m_saved;
};

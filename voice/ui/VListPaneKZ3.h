// The voice list pane of generations 3 and 5: the Normal and Drum grids over the voice bank,
// with the voice editor on a double-click, copy and paste, and the bank import and export.
#pragma once

#include <QPixmap>

#include "uikit/CommandRouter.h"
#include "uikit/WheelScrollWnd.h"
#include "voice/models/VListModelKZ3.h"

class CVoiceLibrary;
class QScrollBar;
class QTabBar;

class CVListPaneKZ3 : public CWheelScrollWnd, public ui::ICommandTarget {
 public:
  static constexpr int kTabControlId = 2126;
  static constexpr int kMsgSaveFirst = 7073;
  static constexpr int kMsgNameTooLong = 7026;

  explicit CVListPaneKZ3(QWidget* parent = nullptr);

  /// Any chip mode: the one layout with the Normal and Drum tabs.
  void SetMode(int chipMode);
  /// From the pane itself: every voice window refreshes; otherwise the grid repaints.
  void Refresh(const QWidget* sender);
  void ScrollVert(int code, int position, QScrollBar* bar) override;
  void ScrollHorz(int code, int position);

  bool OnCommand(int id) override;
  bool OnUpdate(int id, ui::CmdUI& cmdUi) override;
  bool HandlesCommand(int id) const override;

  CVListModelKZ3& Model() { return m_model; }
  QTabBar* TabStrip() const { return m_tabs; }
  int HorizontalPosition() const { return m_hPos; }
  int VerticalPosition() const { return m_vPos; }
  QSize ClientSize() const;
  /// The client area as painted now (the tab bar's strip left blank).
  QPixmap Render() const;
  /// A visible cell (name and type) in client coordinates; empty when not shown.
  QRect CellRect(int column, int row) const;
  /// The context menu a right button release at the point shows (choosing the bank of the
  /// bank commands on the first header row); empty for none.
  VListMenu MenuAt(const QPoint& p);

  // The mouse rules and the bank commands, callable without events (tests).
  void LeftDown(const QPoint& p);
  void LeftDoubleClick(const QPoint& p);
  void RightUp(const QPoint& p, const QPoint& global);
  void ImportBank();
  void ExportBank();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  CVoiceLibrary* Library() const;
  void UpdateBars();
  void PaintHeader(QPainter& p, const QSize& client) const;
  void EditVoice(const CVListModelKZ3::Address& at);

  CVListModelKZ3 m_model;
  QTabBar* m_tabs = nullptr;
  QScrollBar* m_hBar = nullptr;
  QScrollBar* m_vBar = nullptr;
  int m_hPos = 0;
  int m_vPos = 0;
  int m_rowsThatFit = 1;
  int m_columnsPerPage = 1;
};

// The voice list pane of generations 1 and 2: a grid of banks and programs over the voice
// library, with the Normal and Drum tabs of generation 2.
#pragma once

#include <QPixmap>
#include <QWidget>

#include "uikit/CommandRouter.h"
#include "voice/models/VListModel.h"

class CVoiceLibrary;
class QScrollBar;
class QTabBar;

class CVListPane : public QWidget, public ui::ICommandTarget {
 public:
  static constexpr int kTabControlId = 2126;

  explicit CVListPane(QWidget* parent = nullptr);

  /// 1 or 2: the layout, tabs and scroll ranges of the mode.
  void SetMode(int mode);
  /// From the pane itself: every voice window refreshes; otherwise the grid repaints.
  void Refresh(const QWidget* sender);

  bool OnCommand(int id) override;
  bool OnUpdate(int id, ui::CmdUI& cmdUi) override;
  bool HandlesCommand(int id) const override;

  CVListModel& Model() { return m_model; }
  QTabBar* TabStrip() const { return m_tabs; }
  int HorizontalPosition() const { return m_hPos; }
  int VerticalPosition() const { return m_vPos; }
  void ScrollHorz(int code, int position);
  void ScrollVert(int code, int position);
  /// The client area without the scroll bars.
  QSize ClientSize() const;
  /// The client area as painted now (the tab bar's strip left blank).
  QPixmap Render() const;
  /// A visible cell in client coordinates; empty when not shown.
  QRect CellRect(int column, int row) const;
  /// The context menu a right button release at the point shows; empty for none.
  VListMenu MenuAt(const QPoint& p);

  // The mouse rules, callable without events (tests).
  void LeftDown(const QPoint& p);
  void LeftDoubleClick(const QPoint& p);
  void RightUp(const QPoint& p, const QPoint& global);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  CVoiceLibrary* Library() const;
  void RebuildTabs();
  void UpdateBars();
  void PaintHeader(QPainter& p, const QSize& client) const;

  CVListModel m_model;
  QTabBar* m_tabs = nullptr;
  QScrollBar* m_hBar = nullptr;
  QScrollBar* m_vBar = nullptr;
  int m_hPos = 0;
  int m_vPos = 0;
  int m_columnsPerPage = 1;
};

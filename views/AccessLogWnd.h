// The file access-log window: the application's log lines, scrolled by lines and characters.
#pragma once

#include <QImage>
#include <string>

#include "uikit/MdiFrame.h"
#include "uikit/WheelScrollWnd.h"

class AccessLog;
class QScrollBar;

class CAccessLogWnd : public CWheelScrollWnd {
 public:
  static constexpr int kPaneId = 0xE900;
  static constexpr int kColumns = 256;
  static constexpr int kRows = 500;
  static constexpr int kColumnStep = 10;
  static constexpr int kRowStep = 2;

  explicit CAccessLogWnd(const AccessLog& log, QWidget* parent = nullptr);

  /// Line steps of 2, page steps of the visible rows, thumb moves to `position`; kept within
  /// the range, then redrawn.
  void ScrollVert(int code, int position, QScrollBar* bar) override;
  /// Line steps of 10 characters, page steps of the visible columns.
  void ScrollHorz(int code, int position);
  /// A line was appended: when the lines from the top on no longer fit, the top line becomes
  /// (line count - visible rows + 1) rounded down to even. Always 1.
  int ScrollToEnd();
  /// Another sender redraws; the window itself as sender asks for the voice windows' refresh.
  void UpdateView(const QWidget* sender);

  int TopLine() const;
  int FirstColumn() const;
  int VisibleRows() const;
  int VisibleColumns() const;
  int LineHeight() const { return m_lineHeight; }
  int CharWidth() const { return m_charWidth; }
  QScrollBar* HorizontalBar() const { return m_hbar; }
  /// The client area as the window paints it.
  QImage Render() const;
  /// What a line shows from character `firstColumn` on (UTF-8 characters, at most 256 bytes).
  static QString VisibleText(const std::string& line, int firstColumn);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QSize ClientSize() const;
  static int Step(int code, int current, int line, int page, int position, int maxPosition);

  const AccessLog& m_log;
  QScrollBar* m_vbar = nullptr;
  QScrollBar* m_hbar = nullptr;
  int m_lineHeight = 16;
  int m_charWidth = 8;
};

/// The MDI child frame on resource 2551 with the log pane.
class CKZxAccessLogFrm : public ui::MdiFrame {
 public:
  static constexpr const char* kClassName = "CKZxAccessLogFrm";
  static constexpr int kResourceId = 2551;

  CKZxAccessLogFrm(const AccessLog& log, ui::IFrameSlots* frameSlots, QWidget* parent = nullptr);
  ~CKZxAccessLogFrm() override;

  CAccessLogWnd* Pane() const { return m_pane; }

  void Refresh() override { if (m_pane) m_pane->UpdateView(nullptr); }
  void ScrollToEnd() override { if (m_pane) m_pane->ScrollToEnd(); }

 private:
  CAccessLogWnd* m_pane = nullptr;
};

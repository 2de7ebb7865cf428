// The voice assignment map: the frame CVAMFrm and its scrolled grid CVAMPane over the song's
// voice slots, with the tab strip of channel filters.
#pragma once

#include <QPixmap>

#include "uikit/CommandRouter.h"
#include "uikit/MdiFrame.h"
#include "uikit/WheelScrollWnd.h"
#include "voice/models/VamModel.h"

class CKZ1Doc;
class QScrollBar;
class QTabBar;

class CVAMPane : public CWheelScrollWnd, public ui::ICommandTarget {
 public:
  static constexpr int kTabStripId = 2125;
  enum : int {
    kCopy = 57634, kCopyAlt = 32786, kPaste = 57637, kPasteAlt = 32787, kNew = 32794, kDelete = 32793,
    kSendAssigned = 32824, kImportFromList = 40981, kExportToList = 40982
  };

  explicit CVAMPane(QWidget* parent = nullptr);

  void SetMode(int chipMode);
  /// The layout of a chip mode under another output profile than the application's.
  void SetModeForProfile(int chipMode, int outputProfile);
  /// From another window (or none): repaints. From the pane itself: every voice window refreshes.
  void Refresh(const QWidget* sender);
  /// Repaints the grid below the tab strip.
  void Redraw();
  int GetHeaderHeight() const { return m_model.GetHeaderHeight(); }
  int HitTest(const QPoint& p, int* row) const;
  void ScrollVert(int code, int position, QScrollBar* bar) override;
  void ScrollHorz(int code, int position);

  bool OnCommand(int id) override;
  bool OnUpdate(int id, ui::CmdUI& cmdUi) override;
  bool HandlesCommand(int id) const override;

  CVamModel& Model() { return m_model; }
  QTabBar* TabStrip() const { return m_tabs; }
  int HorizontalPosition() const { return m_hPos; }
  int VerticalPosition() const { return m_vPos; }
  /// The grid's client size, without the scroll bars.
  QSize ClientSize() const;
  /// The grid as painted now.
  QPixmap Render() const;
  /// The rectangle of a visible cell in client coordinates; empty when not shown.
  QRect CellRect(int row, int column) const;

  // The mouse rules, callable without events (tests).
  void LeftDown(const QPoint& p);
  void LeftDoubleClick(const QPoint& p);
  void RightDown(const QPoint& p);
  void RightUp(const QPoint& p, const QPoint& global);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  CKZ1Doc* Doc() const;
  void PaintGrid(QPainter& painter) const;
  void PaintRow(QPainter& painter, CKZ1Doc& doc, int slot, int top) const;
  void UpdateBars();
  void OpenSlotEditor(int row);
  void NewSlot();
  void DeleteSlot();
  bool RunVoiceChange(int slot);

  CVamModel m_model;
  QTabBar* m_tabs = nullptr;
  QScrollBar* m_hBar = nullptr;
  QScrollBar* m_vBar = nullptr;
  int m_hPos = 0;
  int m_vPos = 0;
  int m_hPage = 1;
  int m_vPage = 1;
};

class CVAMFrm : public ui::MdiFrame, public ui::ICommandTarget {
 public:
  static constexpr const char* kClassName = "CVAMFrm";
  static constexpr int kMenuResource = 1013;

  explicit CVAMFrm(ui::IFrameSlots* frameSlots, QWidget* parent = nullptr);
  ~CVAMFrm() override;

  CVAMPane* Pane() const { return m_pane; }
  void Refresh() override { m_pane->Refresh(nullptr); }
  void SetChipMode(int chipMode) override { m_pane->SetMode(chipMode); }
  bool OnCommand(int id) override { return m_pane->OnCommand(id); }
  bool OnUpdate(int id, ui::CmdUI& cmdUi) override { return m_pane->OnUpdate(id, cmdUi); }
  bool HandlesCommand(int id) const override { return m_pane->HandlesCommand(id); }

 private:
  CVAMPane* m_pane = nullptr;
};

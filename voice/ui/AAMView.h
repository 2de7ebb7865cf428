// The stream-PCM assignment map: the frame CAAMFrm and its table CAAMView of the song's
// stream-PCM waves by id.
#pragma once

#include <QPixmap>

#include "uikit/CommandRouter.h"
#include "uikit/MdiFrame.h"
#include "uikit/WheelScrollWnd.h"
#include "voice/models/AamModel.h"
#include "voice/models/AamCommands.h"

class CKZ1Doc;
class QScrollBar;

class CAAMView : public CWheelScrollWnd, public ui::ICommandTarget {
 public:
  enum : int {
    kCopy = 57634, kPaste = 57637, kNew = 32794, kDelete = 32793, kImport = 32826, kImportOlder = 32828,
    kExport = 32827
  };

  explicit CAAMView(QWidget* parent = nullptr);

  void SetMode(int chipMode);
  /// From another window (or none): repaints. From the view itself: every voice window refreshes.
  void Refresh(const QWidget* sender);
  void Redraw() { update(); }
  int HitTest(const QPoint& p, int* row) const;
  void ScrollVert(int code, int position, QScrollBar* bar) override;
  void ScrollHorz(int code, int position);
  QPixmap Render() const;
  CAamModel& Model() { return m_model; }
  QSize ClientSize() const;
  /// The Pan cell's double-click: the panpot dialog on the wave's pan; 1 when stored.
  int EditPan(int id);

  /// The right-click rules without an event: the popup it opens (none while the output plays).
  CAamModel::Popup RightClickPopup(const QPoint& p);
  /// What the commands reach: the song, the main frame's engine, the application's chooser and
  /// map-changed value.
  AamCommandContext CommandContext();

  // Copy and Paste do nothing in this window; Send Stream PCM Wave Message is the main frame's.
  bool OnCommand(int id) override;
  /// The menu's commands need a song and an idle output; Export needs a wave.
  bool OnUpdate(int id, ui::CmdUI& cmdUi) override;
  bool HandlesCommand(int id) const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  CKZ1Doc* Doc() const;
  void UpdateBars();

  CAamModel m_model;
  QScrollBar* m_hBar = nullptr;
  QScrollBar* m_vBar = nullptr;
  int m_hPos = 2;
  int m_vPos = 0;
  int m_vPage = 1;
};

class CAAMFrm : public ui::MdiFrame, public ui::ICommandTarget {
 public:
  static constexpr const char* kClassName = "CAAMFrm";
  static constexpr int kMenuResource = 1014;

  explicit CAAMFrm(ui::IFrameSlots* frameSlots, QWidget* parent = nullptr);
  ~CAAMFrm() override;

  CAAMView* View() const { return m_view; }
  void Refresh() override { m_view->Refresh(nullptr); }
  void SetChipMode(int chipMode) override { m_view->SetMode(chipMode); }
  bool OnCommand(int id) override { return m_view->OnCommand(id); }
  bool OnUpdate(int id, ui::CmdUI& cmdUi) override { return m_view->OnUpdate(id, cmdUi); }
  bool HandlesCommand(int id) const override { return m_view->HandlesCommand(id); }

 private:
  CAAMView* m_view = nullptr;
};

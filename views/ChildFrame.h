// The song window's MDI child frame: its height cap, its close that closes the song and its
// first activation that reopens the tool windows of the last run.
#pragma once

#include <algorithm>

#include "uikit/MdiFrame.h"
#include "views/ChannelView.h"

class ISongWindowHost;

/// The song window's MDI child frame on resource 1002.
class CChildFrame : public ui::MdiFrame {
 public:
  static constexpr const char* kClassName = "CChildFrame";
  static constexpr int kResourceId = 1002;

  explicit CChildFrame(ISongWindowHost& host, QWidget* parent = nullptr);
  ~CChildFrame() override;

  CChannelView* Pane() const { return m_pane; }
  /// The frame's maximum size for the chip mode from the style's metrics.
  QRect CalcFrameRect() const;
  /// A requested height cut to the cap; the width is free.
  int OnWindowPosChanging(int height) const { return std::min(height, CalcFrameRect().height()); }
  /// Reopens the tool windows "WindowState" names, the first time the frame is shown.
  void ActivateFrame();
  /// Closing the window closes the song, once even when re-entered.
  void OnClose();
  /// The process-wide closing counter.
  static int ClosingCounter();

  void Refresh() override;
  void SetChipMode(int chipMode) override;
  void ScrollToStart() override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  ISongWindowHost& m_host;
  CChannelView* m_pane = nullptr;
  bool m_activated = false;
};

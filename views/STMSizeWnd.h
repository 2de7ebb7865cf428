// The stream-size window: the byte rate of the stream data the song needs on the board over
// its time, against the limit of the output profile.
#pragma once

#include "uikit/MdiFrame.h"
#include "views/GraphPane.h"

class CSTMSizeWnd : public CGraphPane {
 public:
  static constexpr uint32_t kGridStep = 1000;

  /// Builds the graph at once, as the create handler does.
  explicit CSTMSizeWnd(ISongViewHost& host, QWidget* parent = nullptr);

  /// Runs the document's board conversion into the samples ({0, 0} in front when the first
  /// does not start at 0); after a success the graph length and both bars are reset. The
  /// conversion's result. A request while one runs is ignored: the running one draws the
  /// list the document has by then.
  int BuildGraph();
  /// Stores the limit (0: none).
  void SetOption(uint32_t limit);
  /// 1000 + the larger of the limit and the song's stream rate.
  uint64_t FullScale() const;

 protected:
  Style GraphStyle() const override;

 private:
  bool m_building = false;
};

/// The MDI child frame on resource 1017 with the stream-size pane.
class CKZ3STMSizeFrm : public ui::MdiFrame {
 public:
  static constexpr const char* kClassName = "CKZ3STMSizeFrm";
  static constexpr int kResourceId = 1017;

  CKZ3STMSizeFrm(ISongViewHost& host, ui::IFrameSlots* frameSlots, QWidget* parent = nullptr);
  ~CKZ3STMSizeFrm() override;

  CSTMSizeWnd* Pane() const { return m_pane; }

  // Each reaches the pane only once it exists: building it converts the song, and the
  // document's rebuild request arrives here while the pane is still being made.

  /// The main frame's refresh: no rebuild, a redraw.
  void Refresh() override { if (m_pane) m_pane->UpdateView(nullptr); }
  void RebuildGraph() override { if (m_pane) m_pane->BuildGraph(); }
  void SetOpenSetting(int setting) override { if (m_pane) m_pane->SetOption(static_cast<uint32_t>(setting)); }

 private:
  CSTMSizeWnd* m_pane = nullptr;
};

// The event-density window: the bytes per second the song's event data needs over its time,
// against the limit of the output profile.
#pragma once

#include "uikit/MdiFrame.h"
#include "views/GraphPane.h"

class CEventDensWnd : public CGraphPane {
 public:
  static constexpr uint64_t kFullScale = 1600;
  static constexpr uint32_t kGridStep = 100;

  /// Builds the samples at once, as the create handler does for an empty list.
  explicit CEventDensWnd(ISongViewHost& host, QWidget* parent = nullptr);

  /// The document's density samples; with any, the graph length and both bars are reset.
  void BuildSamples();
  /// Nothing depends on the chip mode; always 1.
  int SetChipMode(int mode);
  /// The limit drawn as the band's edge (0: none); the Event Density command gives 1000.
  void SetLimit(uint32_t limit);
  /// The main frame's refresh: rebuilds the samples, or only redraws while it refreshes for
  /// the play position.
  void Refresh();
  /// The word the constructor sets to 1.
  int Flag() const { return m_flag; }

 protected:
  Style GraphStyle() const override;

 private:
  int m_flag = 1;
};

/// The MDI child frame on resource 1016 with the density pane.
class CKZ3EventDensFrm : public ui::MdiFrame {
 public:
  static constexpr const char* kClassName = "CKZ3EventDensFrm";
  static constexpr int kResourceId = 1016;

  CKZ3EventDensFrm(ISongViewHost& host, ui::IFrameSlots* frameSlots, QWidget* parent = nullptr);
  ~CKZ3EventDensFrm() override;

  CEventDensWnd* Pane() const { return m_pane; }

  void Refresh() override { if (m_pane) m_pane->Refresh(); }
  void SetChipMode(int chipMode) override { if (m_pane) m_pane->SetChipMode(chipMode); }
  void SetOpenSetting(int setting) override { if (m_pane) m_pane->SetLimit(static_cast<uint32_t>(setting)); }

 private:
  CEventDensWnd* m_pane = nullptr;
};

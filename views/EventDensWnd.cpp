#include "views/EventDensWnd.h"

#include "song/document/KZ1Doc.h"
#include "uikit/UiText.h"
#include "views/GraphFrame.h"
#include "views/SongViewHost.h"

CEventDensWnd::CEventDensWnd(ISongViewHost& host, QWidget* parent) : CGraphPane(host, parent) { BuildSamples(); }

void CEventDensWnd::BuildSamples() {
  const CKZ1Doc* doc = m_host.Document();
  std::vector<GraphSample> samples;
  if (doc) {
    std::vector<CMsgKey> keys;
    doc->MakeMsgKeys(keys);
    samples.reserve(keys.size());
    for (const CMsgKey& k : keys) samples.push_back({k.GetFirst(), k.GetSecond()});
  }
  SetSamples(std::move(samples));
  // Without samples the bars keep what they had.
  if (doc && !Samples().empty()) {
    m_graphLength = doc->GetGraphLength();
    ResetScrollBars(m_graphLength);
  }
  CollectMeters();
  update();
}

int CEventDensWnd::SetChipMode(int) { return 1; }

void CEventDensWnd::SetLimit(uint32_t limit) {
  m_limit = limit;
  update();
}

void CEventDensWnd::Refresh() {
  if (m_host.PlayPositionRefresh()) {
    update();
    return;
  }
  BuildSamples();
}

CGraphPane::Style CEventDensWnd::GraphStyle() const { return {"EventDens.(byte/s)", kFullScale, kGridStep, false}; }

CKZ3EventDensFrm::CKZ3EventDensFrm(ISongViewHost& host, ui::IFrameSlots* frameSlots, QWidget* parent)
    : ui::MdiFrame(kClassName, 0, frameSlots, parent) {
  m_pane = new CEventDensWnd(host, this);
  SetUpGraphFrame(*this, m_pane, ui::T("T1016.caption"), true);
}

CKZ3EventDensFrm::~CKZ3EventDensFrm() { SavePlacement(); }

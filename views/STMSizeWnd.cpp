#include "views/STMSizeWnd.h"

#include "song/ValuePoint.h"
#include "song/document/KZ1Doc.h"
#include "uikit/UiText.h"
#include "views/GraphFrame.h"
#include "views/SongViewHost.h"

namespace {

/// Clears the running flag however the conversion ends.
class BuildingScope {
 public:
  explicit BuildingScope(bool& flag) : m_flag(flag) { m_flag = true; }
  ~BuildingScope() { m_flag = false; }
  BuildingScope(const BuildingScope&) = delete;
  BuildingScope& operator=(const BuildingScope&) = delete;

 private:
  bool& m_flag;
};

}  // namespace

CSTMSizeWnd::CSTMSizeWnd(ISongViewHost& host, QWidget* parent) : CGraphPane(host, parent) { BuildGraph(); }

int CSTMSizeWnd::BuildGraph() {
  // The conversion hands its list to the document, which asks this window to rebuild: that
  // request must not run the conversion again.
  if (m_building) return 1;
  BuildingScope scope(m_building);
  CKZ1Doc* doc = m_host.Document();
  std::vector<CValuePoint> points;
  int result = 0;
  if (doc) {
    try {
      result = doc->BuildStreamSizeList(points);
    } catch (int) {
      // The conversion has shown what stopped it; the graph stays empty.
      points.clear();
      result = 0;
    }
  }
  std::vector<GraphSample> samples;
  samples.reserve(points.size() + 1);
  if (!points.empty() && points.front().GetFirst() != 0) samples.push_back({0, 0});
  for (const CValuePoint& v : points) samples.push_back({v.GetFirst(), v.GetSecond()});
  SetSamples(std::move(samples));
  if (result && doc) {
    m_graphLength = doc->GetGraphLength();
    ResetScrollBars(uint64_t{m_graphLength} + 100);
    CollectMeters();
  }
  update();
  return result;
}

void CSTMSizeWnd::SetOption(uint32_t limit) {
  m_limit = limit;
  update();
}

uint64_t CSTMSizeWnd::FullScale() const {
  const CKZ1Doc* doc = m_host.Document();
  return graph::StreamFullScale(m_limit, doc ? doc->GetStreamRate() : 0xFFFFFFFFu);
}

CGraphPane::Style CSTMSizeWnd::GraphStyle() const { return {"STMSize(byte/s)", FullScale(), kGridStep, true}; }

CKZ3STMSizeFrm::CKZ3STMSizeFrm(ISongViewHost& host, ui::IFrameSlots* frameSlots, QWidget* parent)
    : ui::MdiFrame(kClassName, 0, frameSlots, parent) {
  m_pane = new CSTMSizeWnd(host, this);
  SetUpGraphFrame(*this, m_pane, ui::T("T1017.caption"), true);
}

CKZ3STMSizeFrm::~CKZ3STMSizeFrm() { SavePlacement(); }

// Tests of the stream-size window: full scale and limit line, the start point, the line
// between samples, and one conversion per opening however the document answers.
#include "views/STMSizeWnd.h"

#include <gtest/gtest.h>

#include <QScrollBar>

#include "SongViewHostFake.h"
#include "platform/host/testing/FakeHost.h"
#include "song/StreamPCMSlot.h"

namespace {

using viewtest::AddEvent;

const QColor kPink(255, 225, 225);
const QColor kBlue(0, 0, 255);

/// The window hooks of the main frame: a rebuild request goes to the open stream-size frame.
class ForwardingHooks : public platform::FakeUiHooks {
 public:
  explicit ForwardingHooks(SongViewHostFake& host) : m_host(host) {}
  void RebuildStreamSizeGraph() override {
    ++streamSizeGraphBuilds;
    if (ui::MdiFrame* frame = m_host.frameSlots["CKZ3STMSizeFrm"]) frame->RebuildGraph();
  }

 private:
  SongViewHostFake& m_host;
};

class STMSizeWndTest : public ::testing::Test {
 protected:
  STMSizeWndTest() {
    fake.settings.chipMode = 3;
    doc = std::make_unique<CKZ1Doc>();
    doc->SetRefreshSuppress(0);
    host.doc = doc.get();
  }
  std::unique_ptr<CSTMSizeWnd> Pane() {
    auto pane = std::make_unique<CSTMSizeWnd>(host);
    pane->resize(440 + pane->ZoomBar()->sizeHint().width(), 300 + pane->TimeBar()->sizeHint().height());
    pane->show();
    return pane;
  }
  static QColor At(const QImage& image, int x, int y) { return image.pixelColor(x, y); }

  platform::FakeHost fake;
  SongViewHostFake host;
  std::unique_ptr<CKZ1Doc> doc;
};

TEST_F(STMSizeWndTest, FullScaleTakesTheStreamRateAndTheLimitLineLiesBelowIt) {
  doc->SetStreamSizeList(0, 0, {CValuePoint(0, 4000, 0), CValuePoint(4000, 6000, 0)});
  doc->SetStreamRate(12000);
  auto pane = Pane();
  pane->SetOption(8000);
  EXPECT_EQ(pane->FullScale(), 13000u);
  const GraphLayout l = pane->CalcLayout();
  const int limitY = l.bottom - 270 * 8000 / 13000;
  const QImage image = pane->Render();
  EXPECT_EQ(At(image, l.left + 10, limitY), QColor(Qt::black));
  EXPECT_EQ(At(image, l.left + 10, limitY - 2), kPink);
  EXPECT_EQ(At(image, l.left + 10, limitY + 2), QColor(Qt::white));
  EXPECT_EQ(At(image, l.left, l.bottom - 270 * 4000 / 13000), kBlue);
}

TEST_F(STMSizeWndTest, NoLimitMeansNoBand) {
  doc->SetStreamSizeList(0, 0, {CValuePoint(0, 4000, 0)});
  auto pane = Pane();
  EXPECT_EQ(pane->FullScale(), 1000u) << "no limit and no stream rate";
  pane->SetOption(0);
  pane->SetOption(0);
  const GraphLayout l = pane->CalcLayout();
  EXPECT_EQ(At(pane->Render(), l.left + 10, l.top + 2), QColor(Qt::white));
}

TEST_F(STMSizeWndTest, FirstSampleAfterZeroGetsAStartPointAndALine) {
  doc->SetStreamSizeList(0, 0, {CValuePoint(500, 3000, 0)});
  doc->SetStreamRate(8000);
  auto pane = Pane();
  pane->SetOption(8000);
  EXPECT_EQ(pane->Samples(), (std::vector<GraphSample>{{0, 0}, {500, 3000}}));
  EXPECT_EQ(pane->TimeBar()->maximum(), 0) << "range 0..length + 100 inside one page";
  // The line from {0, 0} climbs from the bottom-left corner to the sample.
  const GraphLayout l = pane->CalcLayout();
  const QImage image = pane->Render();
  const int x = l.left + 500 / 40;
  const int y = l.bottom - 270 * 3000 / 9000;
  EXPECT_EQ(At(image, x, y), kBlue);
  int bluePixelsOnTheWay = 0;
  for (int px = l.left + 3; px < x - 3; ++px)
    for (int py = y; py < l.bottom; ++py) bluePixelsOnTheWay += At(image, px, py) == kBlue;
  EXPECT_GT(bluePixelsOnTheWay, 0);
}

TEST_F(STMSizeWndTest, OpeningOverAStreamSongConvertsOnceThoughTheDocumentAsksAgain) {
  CStreamPCMSlot slot;
  const std::vector<uint8_t> wave(200, 0x40);
  slot.SetWaveData(wave.data(), static_cast<uint32_t>(wave.size()));
  slot.SetRate(8000);
  slot.SetFormat(2);
  ASSERT_EQ(doc->SetStreamPcmSlot(1, slot), 1);
  AddEvent(*doc->GetMidiList(), 0, 480, {0x90, 60, 100});
  AddEvent(*doc->GetMidiListPCM(), 0, 480, {0x99, 0, 100});
  doc->SetStreamRate(8000);

  ForwardingHooks hooks(host);
  platform::HostServices services = platform::host();
  services.ui = &hooks;
  platform::ScopedHost scope(services);
  {
    CKZ3STMSizeFrm frame(host, &host);
    EXPECT_EQ(hooks.streamSizeGraphBuilds, 1);
    ASSERT_FALSE(doc->GetWaveList().empty());
    EXPECT_EQ(frame.Pane()->Samples().back().time, doc->GetWaveList().back().GetFirst());
    // A request while the pane converts is dropped; one from outside converts again, once.
    EXPECT_EQ(frame.Pane()->BuildGraph(), 1);
    EXPECT_EQ(hooks.streamSizeGraphBuilds, 2);
    frame.Refresh();
    EXPECT_EQ(hooks.streamSizeGraphBuilds, 2) << "a refresh only redraws";
    EXPECT_EQ(frame.windowTitle(), "STM Size Window");
  }
  EXPECT_EQ(host.frameSlots["CKZ3STMSizeFrm"], nullptr);
}

TEST_F(STMSizeWndTest, WithoutASongTheGraphIsEmptyAndTheBarsStay) {
  host.doc = nullptr;
  const QScrollBar fresh;
  auto pane = Pane();
  EXPECT_EQ(pane->BuildGraph(), 0);
  EXPECT_TRUE(pane->Samples().empty());
  EXPECT_EQ(pane->ZoomBar()->maximum(), fresh.maximum());
  EXPECT_EQ(At(pane->Render(), 100, 100), QColor(Qt::white));
}

}  // namespace

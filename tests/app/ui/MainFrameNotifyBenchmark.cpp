// Time per position report of the main window on a 100,000-event song with a recording window
// in every tool-window slot.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFont>
#include <memory>

#include "app/core/TrillotApp.h"
#include "app/ui/MainFrame.h"
#include "platform/host/testing/FakeHost.h"
#include "song/document/KZ1Doc.h"
#include "tests/app/ui/MainFrameFakes.h"

namespace {

void FillSong(CKZ1Doc& doc, int events) {
  auto& list = *doc.GetMidiList();
  for (int i = 0; i < events; ++i) {
    const uint8_t ch = static_cast<uint8_t>(i % 16);
    const uint8_t bytes[3] = {static_cast<uint8_t>(0x90 | ch), static_cast<uint8_t>(36 + i % 48), 90};
    const uint32_t tick = static_cast<uint32_t>(i * 10);
    list.push_back(std::make_unique<CMidiMsg>(tick, tick + 40, 3, bytes, 0));
  }
}

void BM_PositionReport(benchmark::State& state) {
  platform::FakeHost host;
  host.profile.WriteProfileInt("Setting", "OutputType", 1);
  CTrillotApp app;
  app.SetChipMode(3);
  std::vector<std::string> log;
  for (const char* name : CMainFrame::SlotClassNames()) {
    ui::ToolWindowRegistry::Instance().Register(name, [&log, name = std::string(name)](const ui::ToolWindowContext& context) {
      return new mainframetest::RecordingWindow(name, log, context.mainWindow);
    });
  }
  auto owned = std::make_unique<mainframetest::RecordingEngine>();
  mainframetest::RecordingEngine* engine = owned.get();
  engine->boardAnswer = 1000;
  {
    CMainFrame frame(app, nullptr, [&owned] { return std::move(owned); });
    frame.OnCreate();
    app.SetDocument(std::make_unique<CKZ1Doc>());
    FillSong(*app.GetDocument(), static_cast<int>(state.range(0)));
    for (int slot = 0; slot < CMainFrame::kSlotCount; ++slot) frame.OpenToolWindow(slot, 1);
    for (auto _ : state) {
      frame.OnPlayerNotify(8, 0);
      log.clear();
    }
    app.SetDocument(nullptr);
  }
  for (const char* name : CMainFrame::SlotClassNames()) ui::ToolWindowRegistry::Instance().Unregister(name);
}
BENCHMARK(BM_PositionReport)->Arg(100000)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication qapp(argc, argv);
  QApplication::setFont(QFont("DejaVu Sans", 9));
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

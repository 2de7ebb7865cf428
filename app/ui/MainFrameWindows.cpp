// The tool windows the main frame makes by class name: each maps the frame's calls onto its
// own view.
#include "app/ui/MainFrameWindows.h"

#include "views/EListView.h"
#include "views/PRollPane.h"
#include "views/SongViewHost.h"
#include "views/TextScorePane.h"

namespace {

class EventListWindow final : public CEListFrm {
 public:
  using CEListFrm::CEListFrm;
  void Refresh() override { Pane()->UpdateView(nullptr); }
  void SetChipMode(int chipMode) override { Pane()->SetChannelCount(chipMode); }
};

class PianoRollWindow final : public CPRollFrm {
 public:
  using CPRollFrm::CPRollFrm;
  void Refresh() override { Pane()->UpdateView(nullptr); }
  void SetChipMode(int chipMode) override { Pane()->SetChannelCount(chipMode); }
  void ScrollToStart() override { Pane()->ScrollToStart(); }
};

class TextScoreWindow final : public CKZ1TextScoreFrm {
 public:
  using CKZ1TextScoreFrm::CKZ1TextScoreFrm;
  void EnableControls(bool enable) override { Pane()->EnableControls(enable ? 1 : 0); }
};

template <typename Window>
void RegisterView(const char* className) {
  ui::ToolWindowRegistry::Instance().Register(className, [](const ui::ToolWindowContext&) -> ui::IToolWindow* {
    // The views reach the frame (slots, idle test, play position, font) through the host.
    return new Window(AppSongViewHost::Instance());
  });
}

}  // namespace

void RegisterToolWindowClasses() {
  RegisterView<EventListWindow>(CEListFrm::kClassName);
  RegisterView<PianoRollWindow>(CPRollFrm::kClassName);
  RegisterView<TextScoreWindow>(CKZ1TextScoreFrm::kClassName);
}

#include "views/GraphFrame.h"

#include "uikit/MdiFrame.h"

namespace {

constexpr int kDefaultWidth = 400;
constexpr int kDefaultHeight = 300;
constexpr int kMinimumHeight = 280;

}  // namespace

void SetUpGraphFrame(ui::MdiFrame& frame, QWidget* pane, const QString& title, bool minimumHeight) {
  frame.setWindowTitle(title);
  frame.setWidget(pane);
  if (minimumHeight) frame.setMinimumHeight(kMinimumHeight);
  frame.resize(kDefaultWidth, kDefaultHeight);
  frame.RestorePlacement(0, 0, kDefaultWidth, kDefaultHeight);
  pane->setVisible(true);
}

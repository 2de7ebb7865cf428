#include "voice/ui/VListFrm.h"

namespace {

constexpr int kDefaultWidth = 320;
constexpr int kDefaultHeight = 400;

}  // namespace

CVListFrm::CVListFrm(ui::IFrameSlots* frameSlots, QWidget* parent) : CVListFrm(kClassName, 1, frameSlots, parent) {}

CVListFrm::CVListFrm(const char* className, int mode, ui::IFrameSlots* frameSlots, QWidget* parent)
    : ui::MdiFrame(className, kMenuResource, frameSlots, parent) {
  setWindowTitle(QStringLiteral("Voice List"));
  m_pane = new CVListPane(this);
  setWidget(m_pane);
  m_pane->SetMode(mode);
  RestorePlacement(0, 0, kDefaultWidth, kDefaultHeight);
}

CVListFrm::~CVListFrm() { SavePlacement(); }

void CVListFrm::SetChipMode(int chipMode) {
  if (chipMode == 1 || chipMode == 2) m_pane->SetMode(chipMode);
}

CVListFrmKZ2::CVListFrmKZ2(ui::IFrameSlots* frameSlots, QWidget* parent)
    : CVListFrm(kClassName, 2, frameSlots, parent) {}

CVListFrmKZ3::CVListFrmKZ3(ui::IFrameSlots* frameSlots, QWidget* parent)
    : ui::MdiFrame(kClassName, kMenuResource, frameSlots, parent) {
  setWindowTitle(QStringLiteral("Voice List"));
  m_pane = new CVListPaneKZ3(this);
  setWidget(m_pane);
  m_pane->SetMode(3);
  RestorePlacement(0, 0, kDefaultWidth, kDefaultHeight);
}

CVListFrmKZ3::~CVListFrmKZ3() { SavePlacement(); }

// The voice list windows: one MDI frame per chip generation family, each holding its pane and
// taking its own slot of the main frame.
#pragma once

#include "uikit/CommandRouter.h"
#include "uikit/MdiFrame.h"
#include "voice/ui/VListPane.h"
#include "voice/ui/VListPaneKZ3.h"

/// Generation 1 (and the base of generation 2): the pane in mode 1.
class CVListFrm : public ui::MdiFrame, public ui::ICommandTarget {
 public:
  static constexpr const char* kClassName = "CVListFrm";
  static constexpr int kMenuResource = 1008;

  explicit CVListFrm(ui::IFrameSlots* frameSlots, QWidget* parent = nullptr);
  ~CVListFrm() override;

  CVListPane* Pane() const { return m_pane; }
  void Refresh() override { m_pane->Refresh(nullptr); }
  /// Chip modes 1 and 2 pass on to the pane; the others have a list of their own.
  void SetChipMode(int chipMode) override;
  bool OnCommand(int id) override { return m_pane->OnCommand(id); }
  bool OnUpdate(int id, ui::CmdUI& cmdUi) override { return m_pane->OnUpdate(id, cmdUi); }
  bool HandlesCommand(int id) const override { return m_pane->HandlesCommand(id); }

 protected:
  CVListFrm(const char* className, int mode, ui::IFrameSlots* frameSlots, QWidget* parent);

 private:
  CVListPane* m_pane = nullptr;
};

/// Generation 2: the pane in mode 2.
class CVListFrmKZ2 : public CVListFrm {
 public:
  static constexpr const char* kClassName = "CVListFrmKZ2";
  explicit CVListFrmKZ2(ui::IFrameSlots* frameSlots, QWidget* parent = nullptr);
};

/// Generations 3 and 5.
class CVListFrmKZ3 : public ui::MdiFrame, public ui::ICommandTarget {
 public:
  static constexpr const char* kClassName = "CVListFrmKZ3";
  static constexpr int kMenuResource = 1008;

  explicit CVListFrmKZ3(ui::IFrameSlots* frameSlots, QWidget* parent = nullptr);
  ~CVListFrmKZ3() override;

  CVListPaneKZ3* Pane() const { return m_pane; }
  void Refresh() override { m_pane->Refresh(nullptr); }
  void SetChipMode(int chipMode) override { m_pane->SetMode(chipMode); }
  bool OnCommand(int id) override { return m_pane->OnCommand(id); }
  bool OnUpdate(int id, ui::CmdUI& cmdUi) override { return m_pane->OnUpdate(id, cmdUi); }
  bool HandlesCommand(int id) const override { return m_pane->HandlesCommand(id); }

 private:
  CVListPaneKZ3* m_pane = nullptr;
};

// The open dialog of "Import Voice List": a ".vkz" file and, on panel 2276, which of its ten
// normal banks and ten drum programs to take.
#pragma once

#include "uikit/FileDialogWithPanel.h"
#include "voice/models/BankChoice.h"

class QCheckBox;

class CKZ3ImportVKZFileDlg : public ui::FileDialogWithPanel {
 public:
  static constexpr int kTemplateId = 2276;
  static constexpr int kFirstNormalBox = 2277;  // 2277..2286: banks 0..9
  static constexpr int kFirstDrumBox = 2287;    // 2287..2296: drum programs 1..10
  static constexpr int kFlags = 0x201004;

  /// `explorer` false runs the dialog without the panel, as the framework does.
  CKZ3ImportVKZFileDlg(const QString& folder, int outputProfile, QWidget* parent = nullptr, bool explorer = true);
  /// Adds the panel (recording the states it opens with), then runs the dialog: 1 OK, 2 Cancel.
  int DoModal();
  /// 1 when box i (0..19) was checked at the end; 0 otherwise and for any other index.
  int GetBankChoice(int index) const { return m_choice.GetBankChoice(index); }
  QString GetPathName() const;
  QCheckBox* Box(int index) const;
  /// Builds the panel now (DoModal does it when not yet done).
  void AddPanel();

 private:
  void ShowChoice();

  CBankChoice m_choice;
  int m_outputProfile;
  bool m_explorer;
  bool m_panelAdded = false;
};

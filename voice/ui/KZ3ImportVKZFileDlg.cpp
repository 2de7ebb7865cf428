#include "voice/ui/KZ3ImportVKZFileDlg.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>

#include "uikit/DialogTemplate.h"
#include "uikit/DialogUnits.h"
#include "uikit/UiText.h"

CKZ3ImportVKZFileDlg::CKZ3ImportVKZFileDlg(const QString& folder, int outputProfile, QWidget* parent, bool explorer)
    : ui::FileDialogWithPanel(parent, true, ui::T(2075), QString(), kFlags, ui::T(2089)),
      m_outputProfile(outputProfile),
      m_explorer(explorer) {
  if (!folder.isEmpty()) setDirectory(folder);
}

void CKZ3ImportVKZFileDlg::AddPanel() {
  if (m_panelAdded || !m_explorer) return;
  m_panelAdded = true;
  auto* panel = new QWidget();
  panel->setObjectName(QStringLiteral("panel%1").arg(kTemplateId));
  auto* outer = new QVBoxLayout(panel);
  outer->setContentsMargins(0, 0, 0, 0);
  auto* group = new QGroupBox(ui::T("T2276.group"), panel);
  outer->addWidget(group);
  auto* grid = new QGridLayout(group);
  const QString rowLabels[2] = {ui::T("T2276.normal"), ui::T("T2276.drum")};
  const QString rowNotes[2] = {ui::T("T2276.bank"), ui::T("T2276.pch")};
  for (int row = 0; row < 2; ++row) {
    grid->addWidget(new QLabel(rowLabels[row], group), row * 2 + 1, 0);
    for (int i = 0; i < CBankChoice::kRowSize; ++i) {
      auto* label = new QLabel(QString::number(row == 0 ? i : i + 1), group);
      label->setAlignment(Qt::AlignCenter);
      grid->addWidget(label, row * 2, i + 1);
      const int index = row * CBankChoice::kRowSize + i;
      auto* box = new QCheckBox(group);
      box->setObjectName(ui::ControlName(kFirstNormalBox + index));
      grid->addWidget(box, row * 2 + 1, i + 1, Qt::AlignCenter);
      connect(box, &QCheckBox::clicked, this, [this, index](bool checked) {
        m_choice.Click(index, checked);
        ShowChoice();
      });
    }
    grid->addWidget(new QLabel(rowNotes[row], group), row * 2 + 1, CBankChoice::kRowSize + 1);
  }
  // The option group is 250 x 60 dialog units of its font, or more when its texts need it.
  group->setMinimumSize(ui::DialogUnits(group).Size(250, 60).expandedTo(group->minimumSizeHint()));
  SetPanel(panel);
  m_choice.Open(m_outputProfile);
  ShowChoice();
}

QCheckBox* CKZ3ImportVKZFileDlg::Box(int index) const {
  return ui::item<QCheckBox>(Panel(), kFirstNormalBox + index);
}

void CKZ3ImportVKZFileDlg::ShowChoice() {
  for (int i = 0; i < CBankChoice::kCount; ++i) {
    if (QCheckBox* box = Box(i)) {
      box->setChecked(m_choice.IsChecked(i));
      box->setEnabled(m_choice.IsEnabled(i));
    }
  }
}

int CKZ3ImportVKZFileDlg::DoModal() {
  AddPanel();
  return exec() == QDialog::Accepted ? 1 : 2;
}

QString CKZ3ImportVKZFileDlg::GetPathName() const {
  const QStringList files = selectedFiles();
  return files.isEmpty() ? QString() : files.front();
}

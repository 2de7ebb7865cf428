#include "uikit/FileDialogWithPanel.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "app/core/FileChooser.h"
#include "app/core/FileDialogRules.h"
#include "uikit/UiText.h"

namespace ui {

QStringList FileDialogWithPanel::QtFilters(const QString& filterText) {
  QStringList filters;
  for (const FileFilter& f : ParseFileFilter(S(filterText))) filters << Q(f.QtText());
  return filters;
}

FileDialogWithPanel::FileDialogWithPanel(QWidget* parent, bool open, const QString& defaultExtension,
                                         const QString& fileName, unsigned flags, const QString& filterText)
    : QFileDialog(parent), m_flags(flags) {
  setOption(QFileDialog::DontUseNativeDialog, true);
  setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
  setFileMode(open && (flags & fileflags::kFileMustExist) ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  // The overwrite question is the dialog's own; the "file must exist" check is its file mode.
  setOption(QFileDialog::DontConfirmOverwrite, open || !(flags & fileflags::kOverwritePrompt));
  // "wav;aif" names two extensions: the first is the one added to a bare name.
  const QString extension = defaultExtension.section(';', 0, 0);
  if (!extension.isEmpty()) setDefaultSuffix(extension);
  const QStringList filters = QtFilters(filterText);
  if (!filters.isEmpty()) setNameFilters(filters);
  if (!fileName.isEmpty()) selectFile(fileName);
  // The dialog enables its button itself as the selection changes: the gate follows it.
  auto follow = [this] { QTimer::singleShot(0, this, [this] { UpdateAcceptButton(); }); };
  connect(this, &QFileDialog::currentChanged, this, follow);
  connect(this, &QFileDialog::filterSelected, this, follow);
  if (auto* edit = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
    connect(edit, &QLineEdit::textChanged, this, follow);
  }
}

void FileDialogWithPanel::SetPanel(QWidget* panel) {
  m_panel = panel;
  auto* grid = qobject_cast<QGridLayout*>(layout());
  if (grid) {
    grid->addWidget(panel, grid->rowCount(), 0, 1, grid->columnCount());
  } else if (layout()) {
    layout()->addWidget(panel);
  }
}

QPushButton* FileDialogWithPanel::AcceptButton() const {
  auto* box = findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
  if (!box) return nullptr;
  for (QAbstractButton* b : box->buttons()) {
    if (box->buttonRole(b) == QDialogButtonBox::AcceptRole) return qobject_cast<QPushButton*>(b);
  }
  return nullptr;
}

void FileDialogWithPanel::SetAcceptGate(std::function<bool()> gate) {
  m_gate = std::move(gate);
  UpdateAcceptButton();
}

void FileDialogWithPanel::UpdateAcceptButton() {
  QPushButton* button = AcceptButton();
  if (!m_gate || !button) return;
  if (!m_gate()) {
    button->setEnabled(false);
    return;
  }
  // Open again: as the dialog itself would, when a name is given.
  const auto* edit = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
  button->setEnabled(!edit || !edit->text().isEmpty());
}

void FileDialogWithPanel::accept() {
  if (m_gate && !m_gate()) return;
  const QStringList files = selectedFiles();
  // "Path must exist": the folder of the chosen name is an existing one.
  if ((m_flags & fileflags::kPathMustExist) && !files.isEmpty()) {
    const QFileInfo info(files.front());
    if (!info.isDir() && !info.absoluteDir().exists()) return;
  }
  QFileDialog::accept();
}

}  // namespace ui

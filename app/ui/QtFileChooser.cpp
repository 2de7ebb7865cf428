#include "app/ui/QtFileChooser.h"

#include <QDir>
#include <QFileDialog>

#include "app/ui/FileDialogs.h"
#include "platform/host/HostServices.h"
#include "uikit/UiText.h"
#include "voice/ui/KZ3ImportVKZFileDlg.h"

namespace {

QWidget* OwnerOf(const FileRequest& r, QWidget* fallback) {
  return r.owner ? static_cast<QWidget*>(const_cast<void*>(r.owner)) : fallback;
}

/// The bank-import dialog answers its path and the 20 bank choices of its panel.
FileAnswer ChooseBankImport(const FileRequest& r) {
  CKZ3ImportVKZFileDlg dialog(ui::Q(r.folder), platform::settings().GetOutputProfile(), OwnerOf(r, nullptr));
  FileAnswer a;
  if (dialog.DoModal() != 1) return a;
  a.path = ui::S(dialog.GetPathName());
  a.ok = !a.path.empty();
  for (int i = 0; i < static_cast<int>(a.bankChoices.size()); ++i) a.bankChoices[i] = dialog.GetBankChoice(i);
  return a;
}

}  // namespace

std::unique_ptr<CFileDialogBase> QtFileChooser::MakeDialog(const FileRequest& r, QWidget* fallback) {
  QWidget* owner = OwnerOf(r, fallback);
  switch (r.kind) {
    case FileDialogKind::Plain: return std::make_unique<CFileDialogBase>(r, owner, 0);
    case FileDialogKind::SmfLoad: return std::make_unique<CSMFLoadDlg>(r, owner);
    case FileDialogKind::Comment: return std::make_unique<CFileDialogPlusComment>(r, owner);
    case FileDialogKind::Kz1Load: return std::make_unique<CKZ1LoadDlg>(r, owner);
    case FileDialogKind::VelkLoad: return std::make_unique<CVELKLoadDlg>(r, owner);
    case FileDialogKind::SaveVelk: return std::make_unique<CKZxSaveKZ3VELKFileDlg>(r, owner);
    case FileDialogKind::SoundFile: return std::make_unique<CKZxSounfFileDlg>(r, owner);
    case FileDialogKind::Folder:
    case FileDialogKind::BankImport: return nullptr;
  }
  return nullptr;
}

FileAnswer QtFileChooser::AnswerOf(const CFileDialogBase& d, const FileRequest& r) {
  FileAnswer a;
  a.path = ui::S(d.GetPathName());
  a.ok = d.result() == QDialog::Accepted && !a.path.empty();
  switch (r.kind) {
    case FileDialogKind::SmfLoad: {
      const auto& smf = static_cast<const CSMFLoadDlg&>(d);
      a.channelMask = smf.GetChannelMask();
      a.timeBase = smf.GetTimeBase();
      break;
    }
    case FileDialogKind::Comment: a.option = static_cast<const CFileDialogPlusComment&>(d).GetOption(); break;
    case FileDialogKind::Kz1Load: a.tempoFactor = static_cast<const CKZ1LoadDlg&>(d).GetTempoFactor(); break;
    case FileDialogKind::VelkLoad: {
      const auto& velk = static_cast<const CVELKLoadDlg&>(d);
      a.tempo = velk.GetTempo();
      a.compress = velk.GetCompress();
      break;
    }
    case FileDialogKind::SaveVelk: {
      const auto& save = static_cast<const CKZxSaveKZ3VELKFileDlg&>(d);
      a.timeBaseMs = save.GetTimebase();
      a.compress = save.GetCompress();
      a.dvx = save.GetDvx();
      break;
    }
    case FileDialogKind::SoundFile:
      a.bitsPerSample = static_cast<const CKZxSounfFileDlg&>(d).GetBitsPerSample();
      break;
    case FileDialogKind::Plain:
    case FileDialogKind::Folder:
    case FileDialogKind::BankImport: break;
  }
  return a;
}

FileAnswer QtFileChooser::ChooseFolder(const FileRequest& r) {
  QFileDialog dialog(OwnerOf(r, nullptr), ui::Q(r.title));
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  dialog.setOption(QFileDialog::ShowDirsOnly, true);
  dialog.setFileMode(QFileDialog::Directory);
  if (!r.folder.empty()) dialog.setDirectory(ui::Q(r.folder));
  FileAnswer a;
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return a;
  // The whole path: a path cut short would name a folder that does not exist.
  a.path = ui::S(dialog.selectedFiles().front());
  a.ok = !a.path.empty();
  return a;
}

FileAnswer QtFileChooser::Choose(const FileRequest& r) {
  if (r.kind == FileDialogKind::Folder) return ChooseFolder(r);
  if (r.kind == FileDialogKind::BankImport) return ChooseBankImport(r);
  std::unique_ptr<CFileDialogBase> dialog = MakeDialog(r);
  if (!dialog) return {};
  dialog->exec();
  return AnswerOf(*dialog, r);
}

void QtFileChooser::RunSample(FileDialogKind kind) {
  FileRequest r;
  r.kind = kind;
  r.folder = ui::S(QDir::tempPath());
  r.flags = fileflags::kLongNames | fileflags::kHideReadOnly | fileflags::kPathMustExist;
  switch (kind) {
    case FileDialogKind::SmfLoad:
      r.defaultExtension = "mid";
      r.filter = "Standard MIDI File (*.mid)|*.mid||";
      r.chipMode = 1;
      break;
    case FileDialogKind::Comment:
      r.open = false;
      r.defaultExtension = "kz1";
      r.filter = "KZ-1 file (*.kz1)|*.kz1|All files (*.*)|*.*||";
      r.option = 1;
      r.comment = "Step Size: 120 [step]";
      break;
    case FileDialogKind::Kz1Load:
      r.defaultExtension = "kz1";
      r.filter = "KZ-1 file (*.kz1)|*.kz1|All files (*.*)|*.*||";
      break;
    case FileDialogKind::VelkLoad:
    case FileDialogKind::SaveVelk:
      r.open = kind == FileDialogKind::VelkLoad;
      r.defaultExtension = "mmf";
      r.filter = "Score file (*.mmf)|*.mmf||";
      r.dvxShow = 8;
      break;
    case FileDialogKind::SoundFile:
      r.defaultExtension = "wav;aif";
      r.filter = "Sound File (*.wav *.aif)|*.wav;*.aif||";
      break;
    case FileDialogKind::BankImport: {
      CKZ3ImportVKZFileDlg dialog(ui::Q(r.folder), platform::settings().GetOutputProfile());
      dialog.DoModal();
      return;
    }
    case FileDialogKind::Plain:
    case FileDialogKind::Folder: break;
  }
  if (std::unique_ptr<CFileDialogBase> dialog = MakeDialog(r)) dialog->exec();
}

#include "app/ui/ScreenshotTable.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPixmap>
#include <QTimer>
#include <memory>

#include "app/core/MessageStyle.h"
#include "app/core/TrillotApp.h"
#include "app/ui/AboutDlg.h"
#include "app/ui/AnalysisTools.h"
#include "app/ui/BusyBitmapDlg.h"
#include "app/ui/InformationDlg.h"
#include "app/ui/PolyscanDlg.h"
#include "app/ui/PreferenceDlg.h"
#include "app/ui/PreferenceDlgKZ3.h"
#include "app/ui/QtFileChooser.h"
#include "app/ui/SongWindowSetup.h"
#include "app/ui/SplashWnd.h"
#include "platform/host/HostServices.h"
#include "platform/strings/StringTable.h"
#include "uikit/DialogTemplate.h"
#include "uikit/QtMessagePresenter.h"
#include "uikit/TextFitCheck.h"
#include "views/ViewScreenshots.h"
#include "voice/ui/KZxVoiceEditDlg.h"
#include "voice/ui/VoiceScreenshots.h"

namespace {

/// The smallest screen the windows are made for.
constexpr QSize kScreenLimit(1280, 720);

/// Runs a file dialog with its option panel as its command sets it up.
QWidget* FileDialog(FileDialogKind kind) {
  QtFileChooser::RunSample(kind);
  return nullptr;
}

QWidget* AboutBox() {
  CAboutDlg about;
  about.exec();
  return nullptr;
}

/// Shows a message box of the program through the window presenter.
QWidget* ShowMessageBox(int id) {
  const auto text = platform::strings().Find(id);
  ui::QtMessagePresenter presenter;
  presenter.Present(text ? std::string(*text) : std::string(), GetMessageStyle(id), 0);
  return nullptr;
}

/// Runs the voice editor on a voice of the library's bank 124/1 (PCM: the PCM page comes first).
QWidget* ShowVoiceEditor(bool pcm) {
  CVoiceItem voice;
  voice.SetBankMsb(124);
  voice.SetBankLsb(1);
  voice.SetProgram(pcm ? 1 : 0);
  voice.SetAlgorithm(pcm ? 0 : 4);
  voice.SetName(pcm ? "PCM Voice" : "FM Voice");
  voice.SetPcmFlag(pcm ? 1 : 0);
  CKZxVoiceEditDlg sheet(QStringLiteral("Voice Edit"), nullptr, 0, VoiceEditShell{});
  sheet.Init(voice, 1);
  sheet.DoModal();
  return nullptr;
}

/// The check dialog after a check of the open song in Mode 1.
QWidget* PolyscanAfterCheck() {
  CPolyscanDlg check;
  ui::item<QComboBox>(&check, CPolyscanDlg::kMode)->setCurrentIndex(1);
  check.OnCheck();
  check.exec();
  return nullptr;
}

QWidget* PreferenceKZ3() {
  auto* app = dynamic_cast<CTrillotApp*>(&platform::settings());
  if (!app) return nullptr;
  CPreferenceDlgKZ3 preference(*app, nullptr);
  preference.exec();
  return nullptr;
}

QWidget* PreferenceKZ12() {
  auto* app = dynamic_cast<CTrillotApp*>(&platform::settings());
  if (!app) return nullptr;
  CPreferenceDlg preference(*app);
  preference.exec();
  return nullptr;
}

QWidget* InformationBox() {
  CInformationDlg info;
  info.DoModal();
  return nullptr;
}

QWidget* MfiInformationBox() {
  CMFiInfoDlg info;
  info.DoModal();
  return nullptr;
}

/// Where the run writes what does not fit: texts cut off by their widgets, windows too big.
QFile* g_fitReport = nullptr;

/// Writes the lines of what in `w` does not fit to the fit report.
void CheckFit(QWidget* w, const QString& path) {
  if (!g_fitReport) return;
  const QString file = QFileInfo(path).fileName();
  QString lines;
  for (const ui::TextFitProblem& p : ui::TextFitCheck::Window(w)) lines += file + ": " + p.Describe() + "\n";
  // A window with a title bar says what it is.
  if (!(w->windowFlags() & Qt::FramelessWindowHint) && w->windowTitle().isEmpty())
    lines += file + ": window has no caption\n";
  if (!ui::TextFitCheck::Fits(w, kScreenLimit)) {
    const QSize size = ui::TextFitCheck::FrameSize(w);
    lines += QStringLiteral("%1: window %2 x %3 exceeds %4 x %5\n")
                 .arg(file)
                 .arg(size.width())
                 .arg(size.height())
                 .arg(kScreenLimit.width())
                 .arg(kScreenLimit.height());
  }
  g_fitReport->write(lines.toUtf8());
}

bool Save(QWidget* w, const QString& path) {
  CheckFit(w, path);
  return w->grab().save(path, "PNG");
}

/// The program's main window, shown at its own size.
QWidget* MainWindow() {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w->objectName() == QStringLiteral("CMainFrame")) {
      w->show();
      return w;
    }
  }
  return nullptr;
}

void Close(QWidget* w) {
  if (auto* dialog = qobject_cast<QDialog*>(w)) dialog->reject();
  else w->close();
}

/// Grabs the modal widget once it is up (it may take a few turns of its loop), then closes it.
void GrabModalWhenUp(const QString& path, bool& saved, int triesLeft) {
  QTimer::singleShot(triesLeft == 50 ? 0 : 20, [path, &saved, triesLeft] {
    QWidget* w = QApplication::activeModalWidget();
    if (!w) {
      if (triesLeft > 0) GrabModalWhenUp(path, saved, triesLeft - 1);
      return;
    }
    saved = Save(w, path);
    Close(w);
  });
}

}  // namespace

const std::vector<ScreenshotRow>& ScreenshotRows() {
  static const std::vector<ScreenshotRow> rows = {
      {"file-dialog-2024.png", "CSMFLoadDlg", true, [] { return FileDialog(FileDialogKind::SmfLoad); }},
      {"file-dialog-2010.png", "CFileDialogPlusComment", true, [] { return FileDialog(FileDialogKind::Comment); }},
      {"file-dialog-2012.png", "CKZ1LoadDlg", true, [] { return FileDialog(FileDialogKind::Kz1Load); }},
      {"file-dialog-2023.png", "CVELKLoadDlg", true, [] { return FileDialog(FileDialogKind::VelkLoad); }},
      {"file-dialog-2011.png", "CKZxSaveKZ3VELKFileDlg", true, [] { return FileDialog(FileDialogKind::SaveVelk); }},
      {"file-dialog-2025.png", "CKZxSounfFileDlg", true, [] { return FileDialog(FileDialogKind::SoundFile); }},
      {"about-box.png", "CTrillotApp::OnAppAbout", true, [] { return AboutBox(); }},
      {"startup-2543.png", "CSplashWnd::Show", false, [] { return CSplashWnd::ShowPicture(5); }},
      {"startup-2544.png", "CSplashWnd::Show", false, [] { return CSplashWnd::ShowPicture(6); }},
      {"busy-picture-0.png", "CBusyBitmapDlg(0)", false, [] { return new CBusyBitmapDlg(0); }},
      {"message-7091.png", "ShowMessage(7091)", true, [] { return ShowMessageBox(7091); }},
      {"event-list.png", "CEListFrm (All)", false, [] { return OpenEventListForScreenshot(); }},
      {"piano-roll.png", "CPRollFrm", false, [] { return OpenPianoRollForScreenshot(); }},
      {"text-score.png", "CKZ1TextScoreFrm after R", false, [] { return OpenTextScoreForScreenshot(); }},
      {"voice-change.png", "CVoiceChangeDlg", true, [] { return RunVoiceChangeForScreenshot(); }},
      {"voice-index.png", "CVoiceIndexDlg", true, [] { return RunVoiceIndexForScreenshot(); }},
      {"main-window.png", "CMainFrame", false, [] { return MainWindow(); }, true},
      {"voice-edit-fm.png", "CKZxVoiceEditDlg::DoModal (FM voice)", true, [] { return ShowVoiceEditor(false); }},
      {"voice-edit-pcm.png", "CKZxVoiceEditDlg::DoModal (PCM voice)", true, [] { return ShowVoiceEditor(true); }},
      {"voice-assign-map.png", "CVAMFrm (output profile 2)", false, [] { return OpenVoiceAssignMapForScreenshot(2); }},
      {"voice-assign-map-phrase.png", "CVAMFrm (output profile 4)", false,
       [] { return OpenVoiceAssignMapForScreenshot(4); }},
      {"direct-play.png", "CKZxDirectPlayFrm", false, [] { return OpenDirectPlayForScreenshot(); }},
      {"voice-edit-2op.png", "CVoiceEditDlg (Extended bank)", true,
       [] { return RunVoiceEdit2OpForScreenshot(); }},
      {"stream-pcm-map.png", "CAAMFrm", false, [] { return OpenStreamPcmMapForScreenshot(); }},
      {"voice-list-1.png", "CVListFrm", false, [] { return OpenVoiceListForScreenshot(1); }},
      {"voice-list-2.png", "CVListFrmKZ2", false, [] { return OpenVoiceListForScreenshot(2); }},
      {"voice-list-3.png", "CVListFrmKZ3", false, [] { return OpenVoiceListForScreenshot(3); }},
      {"voice-edit-kz2.png", "CVoiceEditDlgKZ2::DoModal (4-operator library voice)", true,
       [] { return RunGen2VoiceEditForScreenshot(); }},
      {"file-dialog-2276.png", "CKZ3ImportVKZFileDlg", true, [] { return FileDialog(FileDialogKind::BankImport); }},
      {"polyscan.png", "CPolyscanDlg after Check (Mode 1)", true, [] { return PolyscanAfterCheck(); }},
      {"preference-2022.png", "CPreferenceDlgKZ3 (Preference, chip mode 3)", true, [] { return PreferenceKZ3(); }},
      {"preference-2021.png", "CPreferenceDlg (Preference, chip modes 1 and 2)", true, [] { return PreferenceKZ12(); }},
      {"information-2037.png", "CInformationDlg::DoModal", true, [] { return InformationBox(); }},
      {"information-2166.png", "CMFiInfoDlg::DoModal", true, [] { return MfiInformationBox(); }},
      {"event-density.png", "CKZ3EventDensFrm (limit 1000)", false,
       [] { return OpenToolWindowForScreenshot("CKZ3EventDensFrm", 1016, 1000); }},
      {"stm-size.png", "CKZ3STMSizeFrm (limit 8000)", false,
       [] { return OpenToolWindowForScreenshot("CKZ3STMSizeFrm", 1017, 8000); }},
      {"access-log.png", "CKZxAccessLogFrm", false,
       [] { return OpenToolWindowForScreenshot("CKZxAccessLogFrm", 2551, 0); }},
      {"velocity-change.png", "CVelocityChangeDlg", false,
       [] { return OpenToolWindowForScreenshot("CVelocityChangeDlg", 2493, 0); }},
      {"wave-panpot.png", "CWavePanDlg", true, [] { return RunWavePanForScreenshot(); }},
      {"song-window.png", "CChildFrame (region on)", false, [] { return OpenSongWindowForScreenshot(); }},
      {"mixer-4.png", "CMixerDlg", false, [] { return OpenMixerForScreenshot(false); }},
      {"mixer-16.png", "CMixer16Dlg", false, [] { return OpenMixerForScreenshot(true); }},
      {"region-edit.png", "CRegionEditDlg (Duplicate)", true, [] { return RunRegionEditForScreenshot(); }},
      {"transpose.png", "CTransposeDlg", true, [] { return RunTransposeForScreenshot(); }},
      {"channel-status.png", "CChannelStatusDlg", true, [] { return RunChannelStatusForScreenshot(); }},
  };
  return rows;
}

int RenderScreenshots(const QString& folder, std::FILE* err) {
  QDir().mkpath(folder);
  QFile index(folder + "/index.txt");
  if (!index.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
    std::fprintf(err, "Trillot: cannot write %s\n", qPrintable(index.fileName()));
    return 1;
  }
  QFile fit(folder + "/" + kFitReportFile);
  if (!fit.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
    std::fprintf(err, "Trillot: cannot write %s\n", qPrintable(fit.fileName()));
    return 1;
  }
  g_fitReport = &fit;
  int status = 0;
  for (const ScreenshotRow& row : ScreenshotRows()) {
    const QString path = folder + "/" + row.file;
    index.write(QByteArray(row.file) + "\n");
    bool saved = false;
    if (row.modal) {
      GrabModalWhenUp(path, saved, 50);
      row.open();
    } else if (row.borrowed) {
      if (QWidget* w = row.open()) {
        QApplication::processEvents();
        saved = Save(w, path);
      }
    } else {
      std::unique_ptr<QWidget> w(row.open());
      if (w) {
        w->show();
        QApplication::processEvents();
        saved = Save(w.get(), path);
      }
    }
    if (!saved) {
      std::fprintf(err, "Trillot: no picture of %s (%s)\n", row.file, row.opens);
      status = 1;
    }
  }
  g_fitReport = nullptr;
  return status;
}

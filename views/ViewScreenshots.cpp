#include "views/ViewScreenshots.h"

#include <QTabBar>

#include "views/EListView.h"
#include "views/PRollPane.h"
#include "views/SongViewHost.h"
#include "views/TextScorePane.h"
#include "views/VoiceDialogs.h"

QWidget* OpenEventListForScreenshot() {
  auto* frame = new CEListFrm(AppSongViewHost::Instance());
  QTabBar* tabs = frame->Pane()->TabStrip();
  tabs->setCurrentIndex(tabs->count() - 1);
  return frame;
}

QWidget* OpenPianoRollForScreenshot() {
  auto* frame = new CPRollFrm(AppSongViewHost::Instance());
  QTabBar* tabs = frame->Pane()->TabStrip();
  tabs->setCurrentIndex(tabs->count() - 1);
  return frame;
}

QWidget* OpenTextScoreForScreenshot() {
  auto* frame = new CKZ1TextScoreFrm(AppSongViewHost::Instance());
  frame->Pane()->OnCommand(CTextScorePane::kReadId);
  return frame;
}

QWidget* RunVoiceChangeForScreenshot() {
  CVoiceChangeDlg dialog(AppSongViewHost::Instance());
  dialog.SetVoiceSlot(0);
  dialog.exec();
  return nullptr;
}

QWidget* RunVoiceIndexForScreenshot() {
  CVoiceIndexDlg dialog(AppSongViewHost::Instance());
  dialog.SetChannel(0);
  dialog.exec();
  return nullptr;
}

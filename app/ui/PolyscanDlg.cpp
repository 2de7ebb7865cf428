#include "app/ui/PolyscanDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

#include "app/core/PolyscanRules.h"
#include "app/core/SettingKeys.h"
#include "platform/host/HostServices.h"
#include "uikit/PictureStore.h"
#include "uikit/TemplateBuilder.h"
#include "uikit/UiText.h"

namespace {

using ui::ControlKind;

const ui::DialogTemplate& Template2176() {
  static const ui::DialogTemplate t{
      CPolyscanDlg::kTemplateId,
      "T2176.caption",
      {{CPolyscanDlg::kPicture, ControlKind::Picture, nullptr, 0, 0, false, 3, 1},
       {0, ControlKind::Label, "T2176.mode", 0, 1},
       {CPolyscanDlg::kMode, ControlKind::Combo, nullptr, 0, 2, false, 1, 3},
       {CPolyscanDlg::kOutputFile, ControlKind::Check, "T2176.outputFile", 1, 1, false, 1, 2},
       {CPolyscanDlg::kCheck, ControlKind::Button, "T2176.check", 1, 3},
       {CPolyscanDlg::kClose, ControlKind::Button, "T2176.close", 1, 4},
       {0, ControlKind::Label, "T2176.result", 2, 1},
       {CPolyscanDlg::kResult, ControlKind::Edit, nullptr, 2, 2},
       {0, ControlKind::Label, "T2176.time", 3, 1},
       {CPolyscanDlg::kTime, ControlKind::Edit, nullptr, 3, 2},
       {0, ControlKind::Label, "T2176.ms", 3, 3},
       {0, ControlKind::Label, "T2176.fm", 4, 1},
       {CPolyscanDlg::kFm, ControlKind::Edit, nullptr, 4, 2},
       {0, ControlKind::Label, "T2176.voice", 4, 3},
       {0, ControlKind::Label, "T2176.pcm", 5, 1},
       {CPolyscanDlg::kPcm, ControlKind::Edit, nullptr, 5, 2},
       {0, ControlKind::Label, "T2176.voice", 5, 3}}};
  return t;
}

/// Our picture of the check: voice bars over a limit line.
void PaintCheckPicture(QPainter& p, const QSize& size) {
  p.fillRect(QRect(QPoint(0, 0), size), QColor(16, 32, 64));
  const int bars = 8;
  const int w = size.width() / (bars + 1);
  const int heights[bars] = {30, 45, 60, 80, 95, 70, 50, 35};
  for (int i = 0; i < bars; ++i) {
    const int h = heights[i] * (size.height() - 8) / 100;
    p.fillRect(QRect(w / 2 + i * w + 2, size.height() - 4 - h, w - 4, h),
               heights[i] > 75 ? QColor(230, 80, 60) : QColor(90, 200, 120));
  }
  p.setPen(QPen(QColor(250, 220, 90), 2));
  const int limit = size.height() - 4 - 75 * (size.height() - 8) / 100;
  p.drawLine(2, limit, size.width() - 2, limit);
}

}  // namespace

CPolyscanDlg::CPolyscanDlg(QWidget* parent, platform::IConverterBinder* binder) : QDialog(parent), m_binder(binder) {
  ui::PictureStore& store = ui::PictureStore::Instance();
  if (!store.Has(kPictureBitmap)) store.Register(kPictureBitmap, QSize(96, 72), PaintCheckPicture);
  ui::TemplateBuilder::Build(this, Template2176());
  for (int id : {kResult, kTime, kFm, kPcm}) {
    auto* edit = ui::item<QLineEdit>(this, id);
    edit->setReadOnly(true);
    edit->setAlignment(id == kResult ? Qt::AlignCenter : Qt::AlignRight);
  }
  auto* check = ui::item<QPushButton>(this, kCheck);
  check->setDefault(true);
  connect(check, &QPushButton::clicked, this, [this] { OnCheck(); });
  connect(ui::item<QPushButton>(this, kClose), &QPushButton::clicked, this, &QDialog::reject);
  OnInitDialog();
}

platform::IConverterBinder& CPolyscanDlg::Binder() const { return m_binder ? *m_binder : platform::binder(); }

void CPolyscanDlg::OnInitDialog() {
  ui::item<QLabel>(this, kPicture)->setPixmap(ui::PictureStore::Instance().Pixmap(kPictureBitmap));
  auto* mode = ui::item<QComboBox>(this, kMode);
  mode->clear();
  mode->addItems({ui::T("T2176.mode0"), ui::T("T2176.mode1")});
  mode->setCurrentIndex(0);
  ui::item<QPushButton>(this, kCheck)->setEnabled(Binder().IsAvailable(kPolyscanKind, kPolyscanDirection) != 0);
}

void CPolyscanDlg::OnCheck() {
  m_result.clear();
  m_time.clear();
  m_fm.clear();
  m_pcm.clear();
  ShowTexts();
  m_outputFile = ui::item<QCheckBox>(this, kOutputFile)->isChecked() ? 1 : 0;
  const int mode = ui::item<QComboBox>(this, kMode)->currentIndex();
  const PolyscanResult shown = RunPolyscanCheck(platform::registry().document, ReadProfileSetting(profile_keys::kModeSetting),
                                                mode, m_outputFile != 0, Binder());
  m_result = ui::Q(shown.result);
  m_time = ui::Q(shown.time);
  m_fm = ui::Q(shown.fm);
  m_pcm = ui::Q(shown.pcm);
  ShowTexts();
}

void CPolyscanDlg::ShowTexts() {
  ui::item<QLineEdit>(this, kResult)->setText(m_result);
  ui::item<QLineEdit>(this, kTime)->setText(m_time);
  ui::item<QLineEdit>(this, kFm)->setText(m_fm);
  ui::item<QLineEdit>(this, kPcm)->setText(m_pcm);
}

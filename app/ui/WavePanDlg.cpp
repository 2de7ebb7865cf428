#include "app/ui/WavePanDlg.h"

#include <QApplication>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>

#include "app/core/WavePanOpener.h"
#include "app/ui/ValueEdit.h"
#include "uikit/DataExchange.h"
#include "uikit/TemplateBuilder.h"
#include "uikit/UpDownControl.h"

namespace {

using ui::ControlKind;

constexpr int kPanMax = 127;

const ui::DialogTemplate& WavePanTemplate() {
  static const ui::DialogTemplate t{CWavePanDlg::kTemplateId,
                                    "T2132.caption",
                                    {
                                        {CWavePanDlg::kPanpot, ControlKind::Radio, "T2132.2240", 0, 0},
                                        {CWavePanDlg::kPanEdit, ControlKind::Custom, nullptr, 0, 1},
                                        {CWavePanDlg::kPanSpin, ControlKind::UpDown, nullptr, 0, 2},
                                        {CWavePanDlg::kClear, ControlKind::Radio, "T2132.2241", 1, 0},
                                        {CWavePanDlg::kPanOff, ControlKind::Radio, "T2132.2242", 2, 0},
                                        {1, ControlKind::Button, "T.ok", 3, 1},
                                        {2, ControlKind::Button, "T.cancel", 3, 2},
                                    }};
  return t;
}

constexpr int kRadios[] = {CWavePanDlg::kPanpot, CWavePanDlg::kClear, CWavePanDlg::kPanOff};

}  // namespace

CWavePanDlg::CWavePanDlg(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("CWavePanDlg"));
  ui::TemplateBuilder::Build(this, WavePanTemplate(), [](const ui::ControlSpec& spec, QWidget* p) -> QWidget* {
    return spec.id == kPanEdit ? new CValueEdit(p) : nullptr;
  });
  m_edit = ui::item<CValueEdit>(this, kPanEdit);
  m_edit->SetRange(0, kPanMax);
  m_ok = ui::item<QPushButton>(this, 1);
  m_ok->setDefault(true);
  connect(m_ok, &QPushButton::clicked, this, [this] { OnOK(); });
  connect(ui::item<QPushButton>(this, 2), &QPushButton::clicked, this, [this] { reject(); });
  for (int id : kRadios)
    connect(ui::item<QRadioButton>(this, id), &QRadioButton::clicked, this, [this, id] { OnRadioClicked(id); });
  connect(m_edit, &QLineEdit::textChanged, this, [this] { OnChangePan(); });
  // The spin is the edit's buddy: its steps write the edit, the edit's number moves it.
  auto* spin = ui::item<ui::UpDownControl>(this, kPanSpin);
  connect(spin, &QSpinBox::valueChanged, m_edit, [this](int v) { m_edit->SetValue(v); });
  connect(m_edit, &QLineEdit::textChanged, spin, [spin](const QString& text) {
    bool ok = false;
    const int v = text.toInt(&ok);
    const QSignalBlocker block(spin);
    if (ok) spin->setValue(v);
  });
}

bool CWavePanDlg::PanTextAllowsOk(std::string_view text) {
  if (text.empty() || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return false;
  int v = 0;
  for (char c : text) {
    v = v * 10 + (c - '0');
    if (v > kPanMax) return false;
  }
  return true;
}

void CWavePanDlg::SetValues(int mode, int pan) {
  if (mode >= 0 && mode < 3) m_mode = static_cast<uint8_t>(mode);
  if (pan >= 0 && pan <= kPanMax) m_pan = static_cast<uint8_t>(pan);
}

void CWavePanDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!m_initDone) OnInitDialog();
}

void CWavePanDlg::OnInitDialog() {
  ui::item<ui::UpDownControl>(this, kPanSpin)->setRange(0, kPanMax);
  m_edit->SetValue(m_pan);
  auto* radio = ui::item<QRadioButton>(this, kRadios[m_mode]);
  radio->setChecked(true);
  radio->setFocus();
  EnablePan(m_mode == kModePanpot);
  m_initDone = true;
}

void CWavePanDlg::EnablePan(bool enable) {
  m_edit->setEnabled(enable);
  ui::item<QWidget>(this, kPanSpin)->setEnabled(enable);
}

void CWavePanDlg::OnRadioClicked(int id) { EnablePan(id == kPanpot); }

void CWavePanDlg::OnChangePan() { m_ok->setEnabled(PanTextAllowsOk(m_edit->text().toStdString())); }

void CWavePanDlg::OnOK() {
  for (uint8_t mode = 0; mode < 3; ++mode)
    if (ui::item<QRadioButton>(this, kRadios[mode])->isChecked()) m_mode = mode;
  ui::DataExchange dx(this, ui::DataExchange::Direction::FromControls, m_presenter);
  int pan = m_pan;
  dx.IntValue(kPanEdit, pan);
  dx.MinMaxInt(kPanEdit, pan, 0, kPanMax);
  if (!dx.Ok()) return;
  m_pan = static_cast<uint8_t>(pan);
  QDialog::accept();
}

void InstallWavePanOpener() {
  SetWavePanOpener([](WavePanChoice& choice) {
    CWavePanDlg dialog(QApplication::activeWindow());
    dialog.SetValues(choice.mode, choice.pan);
    if (dialog.exec() != QDialog::Accepted) return false;
    choice.mode = dialog.GetMode();
    choice.pan = dialog.GetPan();
    return true;
  });
}

#include "views/VoiceDialogs.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "platform/host/HostServices.h"
#include "song/VoiceLibrary.h"
#include "song/document/KZ1Doc.h"
#include "uikit/DataExchange.h"
#include "uikit/TemplateBuilder.h"
#include "uikit/UiText.h"
#include "uikit/UpDownControl.h"
#include "views/SongViewHost.h"

namespace {

using ui::ControlKind;

const ui::DialogTemplate& VoiceChangeTemplate() {
  static const ui::DialogTemplate t{2027,
                                    "T2027.caption",
                                    {
                                        {-1, ControlKind::Label, "T2027.1935", 0, 0},
                                        {1935, ControlKind::Edit, nullptr, 0, 1},
                                        {1937, ControlKind::UpDown, nullptr, 0, 2},
                                        {-1, ControlKind::Label, "T2027.1934", 1, 0},
                                        {1934, ControlKind::Edit, nullptr, 1, 1},
                                        {1938, ControlKind::UpDown, nullptr, 1, 2},
                                        {-1, ControlKind::Label, "T2027.1941", 2, 0},
                                        {1941, ControlKind::Edit, nullptr, 2, 1},
                                        {1942, ControlKind::UpDown, nullptr, 2, 2},
                                        {-1, ControlKind::Label, "T2027.1939", 3, 0},
                                        {1939, ControlKind::Edit, nullptr, 3, 1},
                                        {1940, ControlKind::UpDown, nullptr, 3, 2},
                                        {1, ControlKind::Button, "T.ok", 4, 1},
                                        {2, ControlKind::Button, "T.cancel", 4, 2},
                                    }};
  return t;
}

const ui::DialogTemplate& VoiceIndexTemplate() {
  static const ui::DialogTemplate t{2026,
                                    "T2026.caption",
                                    {
                                        {-1, ControlKind::Label, "T2026.1932", 0, 0},
                                        {1932, ControlKind::Edit, nullptr, 0, 1},
                                        {1933, ControlKind::UpDown, nullptr, 0, 2},
                                        {1, ControlKind::Button, "T.ok", 1, 1},
                                        {2, ControlKind::Button, "T.cancel", 1, 2},
                                    }};
  return t;
}

/// Builds the template into the dialog: labels point at the edit beside them, OK and Cancel
/// end the dialog the framework's way.
void Build(QDialog& dialog, const ui::DialogTemplate& t) {
  const auto controls = ui::TemplateBuilder::Build(&dialog, t);
  QLabel* label = nullptr;
  for (const ui::ControlSpec& spec : t.controls) {
    if (spec.kind == ControlKind::Label) {
      for (QLabel* l : dialog.findChildren<QLabel*>()) {
        if (l->text() == ui::T(spec.labelKey)) label = l;
      }
    } else if (spec.kind == ControlKind::Edit && label) {
      label->setBuddy(controls.at(spec.id));
      label = nullptr;
    }
  }
  auto* ok = ui::item<QPushButton>(&dialog, 1);
  auto* cancel = ui::item<QPushButton>(&dialog, 2);
  ok->setDefault(true);
  QObject::connect(ok, &QPushButton::clicked, &dialog, [&dialog] { dialog.accept(); });
  QObject::connect(cancel, &QPushButton::clicked, &dialog, [&dialog] { dialog.reject(); });
}

/// The spin as its edit's buddy: its steps write the number into the edit, the edit's number
/// moves the spin.
void Pair(QDialog& dialog, int editId, int spinId, int min, int max) {
  auto* edit = ui::item<QLineEdit>(&dialog, editId);
  auto* spin = ui::item<ui::UpDownControl>(&dialog, spinId);
  spin->setRange(min, max);
  QObject::connect(spin, &QSpinBox::valueChanged, edit, [edit](int v) { edit->setText(QString::number(v)); });
  QObject::connect(edit, &QLineEdit::textChanged, spin, [spin](const QString& text) {
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    const QSignalBlocker block(spin);
    if (ok) spin->setValue(v);
  });
}

void SetEnabled(QDialog& dialog, int id, bool enable) {
  if (QWidget* w = ui::item<QWidget>(&dialog, id)) w->setEnabled(enable);
}

}  // namespace

VoiceChangeState VoiceChangeCheck(int chipMode, int bankMsb, int bankLsb) {
  VoiceChangeState s;
  if (chipMode != 3 && chipMode != 5) return s;
  switch (bankMsb) {
    case 0: s.ok = bankLsb == 0; break;
    case 124:
      s.noteEnabled = false;
      s.ok = true;
      break;
    case 125:
      s.noteEnabled = true;
      s.ok = bankLsb == 0;
      break;
    default: s.ok = false; break;
  }
  return s;
}

VoiceIndexRange VoiceIndexRangeFor(int chipMode) {
  if (chipMode == 1) return {1, 8};
  if (chipMode == 2) return {1, 16};
  return {1, 128};
}

int HostMessagePresenter::Present(const std::string& text, unsigned style, int helpId) {
  return platform::messages().DoMessageBoxUnlessBatch(1, text, style, helpId);
}

CVoiceChangeDlg::CVoiceChangeDlg(ISongViewHost& host, QWidget* parent) : QDialog(parent), m_host(host) {
  Build(*this, VoiceChangeTemplate());
  for (int id : {kBankMsb, kBankLsb, kProgram, kNote}) {
    connect(ui::item<QLineEdit>(this, id), &QLineEdit::textChanged, this, [this] { OnChangeValue(); });
  }
}

void CVoiceChangeDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!m_initDone) OnInitDialog();
}

void CVoiceChangeDlg::EnableNote(bool enable) {
  SetEnabled(*this, kNote, enable);
  SetEnabled(*this, kNoteSpin, enable);
}

void CVoiceChangeDlg::OnInitDialog() {
  Pair(*this, kBankMsb, kBankMsbSpin, 0, 255);
  Pair(*this, kBankLsb, kBankLsbSpin, 0, 255);
  Pair(*this, kProgram, kProgramSpin, 0, 127);
  Pair(*this, kNote, kNoteSpin, 0, 127);
  const CKZ1Doc* doc = m_host.Document();
  if (doc && m_slot >= 0) {
    m_bankMsb = static_cast<unsigned>(doc->GetVoiceBankMsb(m_slot)) & 0xFF;
    m_bankLsb = static_cast<unsigned>(doc->GetVoiceBankLsb(m_slot)) & 0xFF;
    m_program = static_cast<unsigned>(doc->GetVoiceProgram(m_slot)) & 0xFF;
    m_note = static_cast<unsigned>(doc->GetVoiceNote(m_slot)) & 0xFF;
  }
  ui::item<QLineEdit>(this, kBankMsb)->setText(QString::number(m_bankMsb));
  ui::item<QLineEdit>(this, kBankLsb)->setText(QString::number(m_bankLsb));
  ui::item<QLineEdit>(this, kProgram)->setText(QString::number(m_program));
  ui::item<QLineEdit>(this, kNote)->setText(QString::number(m_note));
  const int chip = platform::settings().GetChipMode();
  if (chip == 1) {
    SetEnabled(*this, kBankMsb, false);
    SetEnabled(*this, kBankLsb, false);
    EnableNote(false);
  } else if (chip == 2) {
    SetEnabled(*this, kBankLsb, false);
    EnableNote(false);
  } else if (chip == 3 || chip == 5) {
    if (m_bankMsb == 124) EnableNote(false);
    if (m_bankMsb == 125) EnableNote(true);
  }
  CheckValues();
  m_initDone = true;
}

bool CVoiceChangeDlg::ReadBack() {
  ui::DataExchange dx(this, ui::DataExchange::Direction::FromControls, m_presenter);
  int msb = 0, lsb = 0, program = 0, note = 0;
  dx.IntValue(kBankMsb, msb);
  dx.MinMaxInt(kBankMsb, msb, 0, 255);
  dx.IntValue(kBankLsb, lsb);
  dx.MinMaxInt(kBankLsb, lsb, 0, 255);
  dx.IntValue(kProgram, program);
  dx.MinMaxInt(kProgram, program, 0, 127);
  dx.IntValue(kNote, note);
  dx.MinMaxInt(kNote, note, 0, 127);
  if (!dx.Ok()) return false;
  m_bankMsb = static_cast<unsigned>(msb);
  m_bankLsb = static_cast<unsigned>(lsb);
  m_program = static_cast<unsigned>(program);
  m_note = static_cast<unsigned>(note);
  return true;
}

void CVoiceChangeDlg::OnChangeValue() {
  // Programmatic texts of the set-up fire too: only a shown, set-up dialog checks.
  if (!m_initDone || !isVisible()) return;
  CheckValues();
}

void CVoiceChangeDlg::CheckValues() {
  const int chip = platform::settings().GetChipMode();
  auto* ok = ui::item<QPushButton>(this, 1);
  const bool read = ReadBack();
  if (chip == 2) {
    if (!read) {
      ok->setEnabled(m_host.IsDeviceIdle() != 0);
      return;
    }
    const CKZ1Doc* doc = m_host.Document();
    CVoiceLibrary* library = platform::registry().voiceLibrary;
    const CVoice2* voice = library ? library->GetVoice2(static_cast<int>(m_bankMsb), static_cast<int>(m_program)) : nullptr;
    ok->setEnabled(doc && voice && doc->CheckChannelForVoice(m_slot, *voice) != 0);
    return;
  }
  if (!read) return;
  const VoiceChangeState s = VoiceChangeCheck(chip, static_cast<int>(m_bankMsb), static_cast<int>(m_bankLsb));
  if (s.noteEnabled) EnableNote(*s.noteEnabled);
  if (s.ok) ok->setEnabled(*s.ok);
}

void CVoiceChangeDlg::OnOK() {
  if (!ReadBack()) return;
  CKZ1Doc* doc = m_host.Document();
  if (!doc) return;
  if (m_slot >= 0) {
    doc->AssignVoice(m_slot, static_cast<int>(m_bankMsb), static_cast<int>(m_bankLsb), static_cast<int>(m_program),
                     static_cast<int>(m_note));
  }
  doc->SetModifiedFlags(0);
  QDialog::accept();
}

CVoiceIndexDlg::CVoiceIndexDlg(ISongViewHost& host, QWidget* parent)
    : QDialog(parent), m_host(host), m_range(VoiceIndexRangeFor(platform::settings().GetChipMode())) {
  Build(*this, VoiceIndexTemplate());
}

void CVoiceIndexDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!m_initDone) OnInitDialog();
}

void CVoiceIndexDlg::OnInitDialog() {
  Pair(*this, kIndexEdit, kIndexSpin, m_range.min, m_range.max);
  if (const CKZ1Doc* doc = m_host.Document()) m_index = (doc->GetChannelVoiceSlot(m_channel) & 0xFF) + 1;
  ui::item<QLineEdit>(this, kIndexEdit)->setText(QString::number(m_index));
  ui::item<QPushButton>(this, 1)->setEnabled(m_host.IsDeviceIdle() != 0);
  m_initDone = true;
}

void CVoiceIndexDlg::OnOK() {
  ui::DataExchange dx(this, ui::DataExchange::Direction::FromControls, m_presenter);
  int index = 0;
  dx.IntValue(kIndexEdit, index);
  dx.MinMaxInt(kIndexEdit, index, m_range.min, m_range.max);
  if (!dx.Ok()) return;
  m_index = index;
  if (CKZ1Doc* doc = m_host.Document()) {
    const int slot = index - 1;
    if (doc->GetVoiceProgram(slot) == 255) {
      doc->AssignVoice(slot, doc->GetChannelBankMsb(m_channel), doc->GetChannelBankLsb(m_channel),
                       doc->GetChannelProgram(m_channel), 0);
    }
    doc->SetChannelVoiceSlot(m_channel, slot);
    doc->SetModifiedFlags(0);
  }
  QDialog::accept();
}

#include "app/ui/PreferenceDlg.h"

#include <QComboBox>
#include <QPushButton>

#include "app/core/PreferenceCommit.h"
#include "app/core/SettingKeys.h"
#include "app/core/TrillotApp.h"
#include "app/ui/MainFrame.h"
#include "device/MidiOutCtrl.h"
#include "uikit/TemplateBuilder.h"
#include "uikit/UiText.h"

namespace {

using ui::ControlKind;
using D = CPreferenceDlg;

const ui::DialogTemplate& Template2021() {
  static const ui::DialogTemplate t{
      D::kTemplateId,
      "T2021.caption",
      {{0, ControlKind::Group, "T2021.thru", 0, 0, false, 2, 4},
       {0, ControlKind::Label, "T2021.input", 1, 0},
       {D::kThruIn, ControlKind::Combo, nullptr, 1, 1},
       {0, ControlKind::Label, "T2021.output", 1, 2},
       {D::kThruOut, ControlKind::Combo, nullptr, 1, 3},
       {0, ControlKind::Group, "T2021.outputSetting", 2, 0, false, 5, 4},
       {0, ControlKind::Label, "T2021.form", 3, 0},
       {D::kForm, ControlKind::Combo, nullptr, 3, 1},
       {0, ControlKind::Label, "T2021.port", 3, 2},
       {D::kPort, ControlKind::Combo, nullptr, 3, 3},
       {0, ControlKind::Label, "T2021.device", 4, 0},
       {D::kDevice, ControlKind::Combo, nullptr, 4, 1, false, 1, 3},
       {0, ControlKind::Label, "T2021.kzMode", 5, 0},
       {D::kChipMode, ControlKind::Combo, nullptr, 5, 1},
       {0, ControlKind::Label, "T2021.modeSetting", 5, 2},
       {D::kModeSetting, ControlKind::Combo, nullptr, 5, 3},
       {0, ControlKind::Label, "T2021.outputFormat", 6, 0},
       {D::kOutputFormat, ControlKind::Combo, nullptr, 6, 1, false, 1, 3},
       {D::kPseudoRev, ControlKind::Check, "T2021.pseudoRev", 7, 0, true},
       {1, ControlKind::Button, "T2021.ok", 8, 2},
       {2, ControlKind::Button, "T2021.cancel", 8, 3}}};
  return t;
}

QComboBox* Combo(const QWidget* d, int id) { return ui::item<QComboBox>(d, id); }

void Fill(QComboBox* combo, const QStringList& entries, int selection) {
  const QSignalBlocker block(combo);
  combo->clear();
  combo->addItems(entries);
  combo->setCurrentIndex(selection >= 0 && selection < combo->count() ? selection : -1);
}

QStringList Names(const std::vector<std::string>& names, bool withNone) {
  QStringList out;
  if (withNone) out << QStringLiteral("(none)");
  for (const std::string& n : names) out << ui::Q(n);
  return out;
}

CMainFrame* Frame(CTrillotApp& app) { return dynamic_cast<CMainFrame*>(app.GetMainFrame()); }

}  // namespace

CPreferenceDlg::CPreferenceDlg(CTrillotApp& app, QWidget* parent, EngineFactory engines)
    : QDialog(parent), m_app(app), m_engines(std::move(engines)) {
  if (!m_engines) m_engines = [] { return std::unique_ptr<IOutputEngine>(std::make_unique<TMidiOutCtrl>()); };
  ui::TemplateBuilder::Build(this, Template2021());
  auto* ok = ui::item<QPushButton>(this, 1);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, [this] { OnOK(); });
  connect(ui::item<QPushButton>(this, 2), &QPushButton::clicked, this, &QDialog::reject);
  connect(Combo(this, kForm), &QComboBox::currentIndexChanged, this, [this] { OnSelchangeForm(); });
  OnInitDialog();
}

void CPreferenceDlg::OnInitDialog() {
  const int chipMode = m_app.GetChipMode();
  auto* mode = Combo(this, kModeSetting);
  if (chipMode == 1) {
    CMainFrame* frame = Frame(m_app);
    Fill(mode, {"Normal", "FMM"}, frame && frame->GetFMMMode() ? 1 : 0);
    mode->setEnabled(true);
  } else {
    Fill(mode, {}, -1);
    mode->setEnabled(false);
  }
  Fill(Combo(this, kChipMode), {"KZ1-VELK", "KZ2-VELK", "KZ3-VELK"}, chipMode - 1);
  Combo(this, kChipMode)->setEnabled(false);
  Fill(Combo(this, kForm), {"RS232C", "MIDI"}, ReadProfileSetting(profile_keys::kOutputType));
  Fill(Combo(this, kOutputFormat), {"Hardware Format", "KZ3 Native Format", "SMF(Format 0)"},
       ReadProfileSetting(profile_keys::kOutputFormatKZ12));
  if (chipMode == 1 || chipMode == 2) {
    Combo(this, kForm)->setEnabled(true);
    Combo(this, kOutputFormat)->setEnabled(false);
  }
  Fill(Combo(this, kPort), {"COM 1", "COM 2", "COM 3", "COM 4"}, ReadProfileSetting(profile_keys::kCOMPortInDialogs));
  {
    // A temporary engine names the devices; it goes at the end of the set-up.
    const std::unique_ptr<IOutputEngine> engine = m_engines();
    const std::vector<std::string> outs = engine ? MidiOutNames(*engine) : std::vector<std::string>{};
    const std::vector<std::string> ins = engine ? MidiInNames(*engine) : std::vector<std::string>{};
    Fill(Combo(this, kDevice), Names(outs, false), ReadProfileSetting(profile_keys::kMIDIDeviceOut));
    Fill(Combo(this, kThruIn), Names(ins, true), ReadProfileSetting(profile_keys::kMIDIDeviceThruIn));
    Fill(Combo(this, kThruOut), Names(outs, true), ReadProfileSetting(profile_keys::kMIDIDeviceThruOut));
  }
  OnSelchangeForm();
}

void CPreferenceDlg::OnSelchangeForm() {
  const bool serial = Combo(this, kForm)->currentText() == QStringLiteral("RS232C");
  Combo(this, kPort)->setEnabled(serial);
  Combo(this, kDevice)->setEnabled(!serial);
}

void CPreferenceDlg::OnOK() {
  PreferenceValuesKZ12 v;
  v.modeSetting = Combo(this, kModeSetting)->currentText() == QStringLiteral("FMM") ? 1 : 0;
  v.chipModeIndex = std::max(0, Combo(this, kChipMode)->currentIndex());
  v.outputType = Combo(this, kForm)->currentText() == QStringLiteral("RS232C") ? 0 : 1;
  v.outputFormat = std::max(0, Combo(this, kOutputFormat)->currentIndex());
  v.comPort = std::max(0, Combo(this, kPort)->currentIndex());
  v.midiOut = std::max(0, Combo(this, kDevice)->currentIndex());
  v.thruIn = std::max(0, Combo(this, kThruIn)->currentIndex());
  v.thruOut = std::max(0, Combo(this, kThruOut)->currentIndex());
  CMainFrame* frame = Frame(m_app);
  PreferenceFrameKZ12 hooks;
  if (frame) {
    hooks.setFmmMode = [frame](int on) { frame->SetFMMMode(on); };
    hooks.setMidiOutDevice = [frame](int index) { frame->SetMidiOutDevice(index); };
  }
  if (CommitPreferenceKZ12(m_app, v, hooks)) accept();
}

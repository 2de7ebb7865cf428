#include "app/ui/PreferenceDlgKZ3.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <utility>

#include "app/core/FileChooser.h"
#include "app/core/TrillotApp.h"
#include "app/ui/MainFrame.h"
#include "platform/host/HostServices.h"
#include "uikit/TemplateBuilder.h"
#include "uikit/UiText.h"

namespace {

using ui::ControlKind;
using D = CPreferenceDlgKZ3;

const char* const kBrowseTitles[4] = {"Default Input Directory.", "Default Output Directory.",
                                      "Default Sound Directory.", "Default Voice Directory."};

const ui::DialogTemplate& Template2022() {
  static const ui::DialogTemplate t{
      D::kTemplateId,
      "T2022.caption",
      {{0, ControlKind::Label, "T2022.modeSetting", 0, 0},
       {D::kModeSetting, ControlKind::Combo, nullptr, 0, 1},
       {0, ControlKind::Label, "T2022.outputFormat", 0, 2},
       {D::kOutputFormat, ControlKind::Combo, nullptr, 0, 3, false, 1, 2},
       {D::kReserveLabel, ControlKind::Label, "T2022.reserve", 1, 0},
       {D::kReserve, ControlKind::Combo, nullptr, 1, 1},
       {D::kCompress, ControlKind::Check, "T2022.compress", 1, 2, true},
       {1880, ControlKind::Check, "T2022.pseudoRev", 1, 3, true},
       {D::kContentsGroup, ControlKind::Group, "T2022.contents", 2, 0, false, 3, 5},
       {2212, ControlKind::Label, "T2022.copyStatus", 3, 0},
       {D::kCopyEdit, ControlKind::Check, "T2022.edit", 3, 1},
       {D::kCopySave, ControlKind::Check, "T2022.save", 3, 2},
       {D::kCopyCopy, ControlKind::Check, "T2022.copy", 3, 3},
       {2213, ControlKind::Label, "T2022.editStatus", 4, 0},
       {D::kEditEdit, ControlKind::Check, "T2022.edit", 4, 1},
       {D::kEditSave, ControlKind::Check, "T2022.save", 4, 2},
       {D::kEditCopy, ControlKind::Check, "T2022.copy", 4, 3},
       {0, ControlKind::Group, "T2022.eventDens", 5, 0, false, 4, 5},
       {0, ControlKind::Label, "T2022.width", 6, 0},
       {D::kWidth, ControlKind::Combo, nullptr, 6, 1},
       {0, ControlKind::Label, "T2022.pchOrigin", 7, 0},
       {D::kPch0, ControlKind::Radio, "T2022.pch0", 7, 1},
       {D::kPch1, ControlKind::Radio, "T2022.pch1", 7, 2},
       {0, ControlKind::Label, "T2022.noteOrigin", 8, 0},
       {D::kNoteA3, ControlKind::Radio, "T2022.a3", 8, 1},
       {D::kNoteA4, ControlKind::Radio, "T2022.a4", 8, 2},
       {0, ControlKind::Label, "T2022.hz440", 8, 3},
       {0, ControlKind::Group, "T2022.defaultDirectory", 9, 0, false, 5, 5},
       {0, ControlKind::Label, "T2022.input", 10, 0},
       {2158, ControlKind::Edit, nullptr, 10, 1, false, 1, 3},
       {2162, ControlKind::Button, "T2022.browse", 10, 4},
       {0, ControlKind::Label, "T2022.output", 11, 0},
       {2159, ControlKind::Edit, nullptr, 11, 1, false, 1, 3},
       {2163, ControlKind::Button, "T2022.browse", 11, 4},
       {0, ControlKind::Label, "T2022.soundFiles", 12, 0},
       {2160, ControlKind::Edit, nullptr, 12, 1, false, 1, 3},
       {2164, ControlKind::Button, "T2022.browse", 12, 4},
       {0, ControlKind::Label, "T2022.voiceFiles", 13, 0},
       {2161, ControlKind::Edit, nullptr, 13, 1, false, 1, 3},
       {2165, ControlKind::Button, "T2022.browse", 13, 4},
       {D::kForm, ControlKind::Combo, nullptr, 14, 0, true},
       {D::kPort, ControlKind::Combo, nullptr, 14, 1, true},
       {D::kBlinkLed, ControlKind::Combo, nullptr, 14, 2, true},
       {D::kBlinkMtr, ControlKind::Combo, nullptr, 14, 3, true},
       {D::kChipMode, ControlKind::Combo, nullptr, 14, 4, true},
       {1882, ControlKind::Combo, nullptr, 14, 0, true},
       {1883, ControlKind::Combo, nullptr, 14, 1, true},
       {1887, ControlKind::Combo, nullptr, 14, 2, true},
       {1, ControlKind::Button, "T2022.ok", 15, 3},
       {2, ControlKind::Button, "T2022.cancel", 15, 4}}};
  return t;
}

QComboBox* Combo(QWidget* d, int id) { return ui::item<QComboBox>(d, id); }

void Fill(QComboBox* combo, const QStringList& entries, int selection) {
  const QSignalBlocker block(combo);
  combo->clear();
  combo->addItems(entries);
  combo->setCurrentIndex(selection >= 0 && selection < combo->count() ? selection : -1);
}

QStringList Entries(const std::vector<std::string>& entries) {
  QStringList out;
  for (const std::string& e : entries) out << ui::Q(e);
  return out;
}

void Pair(QWidget* d, int first, int second) {
  auto* group = new QButtonGroup(d);
  group->addButton(ui::item<QRadioButton>(d, first));
  group->addButton(ui::item<QRadioButton>(d, second));
}

CMainFrame* Frame(CTrillotApp& app) { return dynamic_cast<CMainFrame*>(app.GetMainFrame()); }

}  // namespace

CPreferenceDlgKZ3::CPreferenceDlgKZ3(CTrillotApp& app, IFileChooser* chooser, QWidget* parent)
    : QDialog(parent), m_app(app), m_chooser(chooser) {
  ui::TemplateBuilder::Build(this, Template2022());
  Pair(this, kPch0, kPch1);
  Pair(this, kNoteA3, kNoteA4);
  auto* ok = ui::item<QPushButton>(this, 1);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, [this] { OnOK(); });
  connect(ui::item<QPushButton>(this, 2), &QPushButton::clicked, this, &QDialog::reject);
  connect(Combo(this, kForm), &QComboBox::currentIndexChanged, this, [this] { OnSelchangeForm(); });
  connect(Combo(this, kOutputFormat), &QComboBox::currentIndexChanged, this, [this] { OnSelchangeOutputFormat(); });
  connect(Combo(this, kModeSetting), &QComboBox::currentIndexChanged, this, [this] { OnSelchangeModeSetting(); });
  for (int i = 0; i < 4; ++i) {
    connect(ui::item<QPushButton>(this, kFolderButtons[i]), &QPushButton::clicked, this, [this, i] { OnBrowse(i); });
    connect(ui::item<QLineEdit>(this, kFolderEdits[i]), &QLineEdit::editingFinished, this,
            [this, i] { OnKillFocusFolder(i); });
  }
  OnInitDialog();
}

void CPreferenceDlgKZ3::OnInitDialog() {
  const int chipMode = m_app.GetChipMode();
  const int profile = m_app.GetOutputProfile();
  const PreferenceValues v = ReadPreferenceValues(m_app);
  Fill(Combo(this, kModeSetting), Entries(ModeSettingEntries(chipMode, profile)), v.modeSetting);
  Fill(Combo(this, kOutputFormat), {ui::Q(OutputFormatEntry(profile))}, 0);
  Fill(Combo(this, kReserve), {ui::T("T2022.reserve0"), ui::T("T2022.reserve1"), ui::T("T2022.reserve2")}, v.reserve);
  Fill(Combo(this, kWidth), {"0.1s", "0.2s", "0.5s", "1.0s", "1.5s", "2.0s"}, v.densIndex);
  Fill(Combo(this, kForm), {"RS232C", "MIDI"}, v.outputType);
  Fill(Combo(this, kPort), {"COM 1", "COM 2", "COM 3", "COM 4"}, v.comPort);
  Fill(Combo(this, kBlinkLed), {"Default(No Blink)", "18 Hz", "16 Hz", "12 Hz", "8 Hz", "4 Hz"}, v.blinkLed);
  Fill(Combo(this, kBlinkMtr), {"Default(No Blink)", "2.25 Hz", "2.0 Hz", "1.5 Hz", "1.0 Hz", "0.5 Hz"}, v.blinkMtr);
  Fill(Combo(this, kChipMode), {"KZ1-VELK", "KZ2-VELK", "KZ3-VELK"}, chipMode - 1);
  Combo(this, kChipMode)->setEnabled(false);
  const int copyIds[3] = {kCopyCopy, kCopySave, kCopyEdit};
  const int editIds[3] = {kEditCopy, kEditSave, kEditEdit};
  for (size_t bit = 0; bit < 3; ++bit) {
    ui::item<QCheckBox>(this, copyIds[bit])->setChecked(v.copyTicks[bit]);
    ui::item<QCheckBox>(this, editIds[bit])->setChecked(v.editTicks[bit]);
  }
  ui::item<QRadioButton>(this, v.originPch ? kPch1 : kPch0)->setChecked(true);
  ui::item<QRadioButton>(this, v.originNote ? kNoteA4 : kNoteA3)->setChecked(true);
  m_folders = v.folders;
  for (int i = 0; i < 4; ++i) ui::item<QLineEdit>(this, kFolderEdits[i])->setText(ui::Q(m_folders[static_cast<size_t>(i)]));

  if (chipMode == 3 || chipMode == 5) {
    Combo(this, kForm)->setEnabled(false);
    auto* format = Combo(this, kOutputFormat);
    format->setEnabled(profile == 5);
    if (profile == 2 || profile == 3 || profile == 8) ui::item<QWidget>(this, kCompress)->setVisible(false);
    if (profile == 4 || profile == 6) {
      ui::item<QWidget>(this, kReserveLabel)->setVisible(false);
      ui::item<QWidget>(this, kReserve)->setVisible(false);
      for (int id : {kCompress, kOutputFormat, kReserve, kBlinkMtr, kBlinkLed}) ui::item<QWidget>(this, id)->setEnabled(false);
    }
    if (profile == 1 || profile == 6 || profile == 7) {
      for (int id : {kContentsGroup, 2212, 2213, kCopyEdit, kCopySave, kCopyCopy, kEditEdit, kEditSave, kEditCopy})
        ui::item<QWidget>(this, id)->setVisible(false);
    }
    Combo(this, kModeSetting)->setEnabled(m_app.GetDocument() == nullptr);
  }
  OnSelchangeModeSetting();
}

void CPreferenceDlgKZ3::OnSelchangeForm() {
  const bool serial = Combo(this, kForm)->currentIndex() == 0;
  Combo(this, kPort)->setEnabled(serial);
  Combo(this, 1887)->setEnabled(!serial);
}

void CPreferenceDlgKZ3::OnSelchangeOutputFormat() { ui::item<QWidget>(this, kCompress)->setEnabled(true); }

void CPreferenceDlgKZ3::OnSelchangeModeSetting() {
  if (CMainFrame* frame = Frame(m_app)) frame->SetClipVoiceItem(nullptr, 0);
  m_app.GetVoiceLibrary().SetModified(0);
}

void CPreferenceDlgKZ3::OnBrowse(int i) {
  if (!m_chooser) return;
  FileRequest request;
  request.kind = FileDialogKind::Folder;
  request.title = kBrowseTitles[i];
  request.folder = ui::S(ui::item<QLineEdit>(this, kFolderEdits[i])->text());
  request.owner = this;
  const FileAnswer answer = m_chooser->Choose(request);
  if (!answer.ok) return;
  // The whole path: a cut one would name a folder that does not exist.
  m_folders[static_cast<size_t>(i)] = answer.path;
  ui::item<QLineEdit>(this, kFolderEdits[i])->setText(ui::Q(answer.path));
}

void CPreferenceDlgKZ3::OnKillFocusFolder(int i) {
  m_folders[static_cast<size_t>(i)] = ui::S(ui::item<QLineEdit>(this, kFolderEdits[i])->text());
}

PreferenceValues CPreferenceDlgKZ3::ReadControls() {
  PreferenceValues v;
  v.modeSetting = Combo(this, kModeSetting)->currentIndex();
  v.outputFormat = Combo(this, kOutputFormat)->currentIndex();
  v.reserve = std::max(0, Combo(this, kReserve)->currentIndex());
  const int copyIds[3] = {kCopyCopy, kCopySave, kCopyEdit};
  const int editIds[3] = {kEditCopy, kEditSave, kEditEdit};
  for (size_t bit = 0; bit < 3; ++bit) {
    v.copyTicks[bit] = ui::item<QCheckBox>(this, copyIds[bit])->isChecked();
    v.editTicks[bit] = ui::item<QCheckBox>(this, editIds[bit])->isChecked();
    m_checks[bit] = v.copyTicks[bit] ? 1 : 0;
    m_checks[bit + 3] = v.editTicks[bit] ? 1 : 0;
  }
  v.densIndex = Combo(this, kWidth)->currentIndex();
  v.originPch = ui::item<QRadioButton>(this, kPch1)->isChecked() ? 1 : 0;
  v.originNote = ui::item<QRadioButton>(this, kNoteA4)->isChecked() ? 1 : 0;
  v.folders = m_folders;
  v.outputType = std::max(0, Combo(this, kForm)->currentIndex());
  v.comPort = std::max(0, Combo(this, kPort)->currentIndex());
  v.blinkLed = std::max(0, Combo(this, kBlinkLed)->currentIndex());
  v.blinkMtr = std::max(0, Combo(this, kBlinkMtr)->currentIndex());
  return v;
}

void CPreferenceDlgKZ3::OnOK() {
  const PreferenceValues v = ReadControls();
  CMainFrame* frame = Frame(m_app);
  bool done = false;
  try {
    done = CommitPreference(m_app, v, [frame](int led, int mtr) {
      if (!frame) return;
      frame->SetOptionByte1(static_cast<uint8_t>(led));
      frame->SetOptionByte2(static_cast<uint8_t>(mtr));
    });
  } catch (...) {
    m_failure = std::current_exception();
    reject();
    return;
  }
  if (done) accept();
}

int CPreferenceDlgKZ3::DoModal() {
  const int result = exec();
  if (m_failure) std::rethrow_exception(std::exchange(m_failure, nullptr));
  return result == QDialog::Accepted ? 1 : 0;
}

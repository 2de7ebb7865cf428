#include "voice/ui/KZxVoiceEditPropertyPagePCM.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSlider>

#include "app/core/SettingKeys.h"
#include "platform/host/HostServices.h"
#include "song/VoiceBank.h"
#include "song/VoiceItem.h"
#include "song/VoiceLibrary.h"
#include "song/document/KZ1Doc.h"
#include "song/document/PcmVoiceCheck.h"
#include "uikit/Drawing.h"
#include "uikit/OwnerDrawCombo.h"
#include "uikit/UiText.h"
#include "uikit/UpDownControl.h"
#include "voice/PcmWaveRules.h"
#include "voice/RomWaveSource.h"
#include "voice/VoiceEditRules.h"
#include "voice/WaveData.h"
#include "voice/WavePicture.h"
#include "voice/ui/KZxVoiceEditDlg.h"
#include "voice/ui/PianoImageCtrl.h"

using namespace voiceedit;
using Page = CKZxVoiceEdit_PropertyPagePCM;

const Page::SliderRow Page::kLFO{1648, 1647, 1645, 1646, 0, 3};
const Page::SliderRow Page::kPANPOT{1657, 1654, 1652, 1653, 0, 31};
const Page::SliderRow Page::kAR{1619, 1618, 1616, 1617, 0, 15};
const Page::SliderRow Page::kDR{1627, 1626, 1624, 1625, 0, 15};
const Page::SliderRow Page::kSR{1671, 1670, 1668, 1669, 0, 15};
const Page::SliderRow Page::kRR{1663, 1662, 1660, 1661, 0, 15};
const Page::SliderRow Page::kSL{1667, 1666, 1664, 1665, 0, 15};
const Page::SliderRow Page::kTL{1680, 1679, 1677, 1678, 0, 63};
const Page::SliderRow Page::kKSL{1643, 1642, 1640, 1641, 0, 3};
const Page::SliderRow Page::kDAM{1623, 1622, 1620, 1621, 0, 3};
const Page::SliderRow Page::kDVB{1631, 1630, 1628, 1629, 0, 3};
const Page::SliderRow Page::kMV{2231, 2230, 2228, 2229, 0, 127};
const Page::SliderRow Page::kVelocity{2237, 2236, 2234, 2235, 0, 127};
const Page::SliderRow Page::kGT{2540, 2538, 2539, 2541, 0, 100};

namespace {

using ui::ControlKind;
using ui::ControlSpec;

constexpr uint32_t kWavePen = 0xFFFF00;
constexpr uint32_t kLoopPen = 0x00FFFF;
constexpr uint32_t kEndPen = 0x80FF80;
const char* const kLoadText = "Load Wave File...";
const char* const kDetachText = "Detach Wave File...";

/// Template 2015 "PCM Voice Edit".
ui::DialogTemplate PcmTemplate() {
  std::vector<ControlSpec> c = Page::HeadControls(Page::kSongVoiceNo);
  int row = 3;
  Page::AppendRow(c, "LFO", 0, Page::kLFO, row++, 0);
  Page::AppendRow(c, "PANPOT", 0, Page::kPANPOT, row++, 0);
  c.push_back({Page::kPanLeft, ControlKind::Edit, nullptr, row, 2});
  c.push_back({Page::kPanRight, ControlKind::Edit, nullptr, row++, 4});
  for (auto [label, spec] : {std::pair{"AR", Page::kAR}, {"DR", Page::kDR}, {"SR", Page::kSR}, {"RR", Page::kRR},
                             {"SL", Page::kSL}, {"TL", Page::kTL}, {"KSL", Page::kKSL}, {"DAM", Page::kDAM}}) {
    Page::AppendRow(c, label, 0, spec, row++, 0);
  }
  Page::AppendRow(c, "DVB", Page::kDvbLabel, Page::kDVB, row++, 0);
  const std::pair<int, const char*> checks[] = {{Page::kXOF, "XOF"}, {Page::kERB, "ERB"}, {Page::kSUS, "SUS"},
                                                {Page::kKSR, "KSR"}, {Page::kEAM, "EAM"}, {Page::kEVB, "EVB"},
                                                {Page::kPE, "PE"},   {Page::kRM, "RM"}};
  for (int k = 0; k < 8; ++k) c.push_back({checks[k].first, ControlKind::Check, checks[k].second, row + k / 4, k % 4});
  int r = 3;
  c.push_back({0, ControlKind::Label, "Wave ID", r, 5});
  c.push_back({Page::kWaveList, ControlKind::Combo, nullptr, r, 6, false, 1, 3});
  c.push_back({Page::kFormatEdit, ControlKind::Edit, nullptr, r++, 9});
  c.push_back({0, ControlKind::Label, "Wave Name", r, 5});
  c.push_back({Page::kWaveName, ControlKind::Edit, nullptr, r++, 6, false, 1, 3});
  const std::tuple<const char*, int, int> points[] = {{"Fs", Page::kFsEdit, Page::kFsSpin},
                                                      {"Start Offset", Page::kStartEdit, Page::kStartSpin},
                                                      {"LP", Page::kLpEdit, Page::kLpSpin},
                                                      {"EP", Page::kEpEdit, Page::kEpSpin}};
  for (const auto& [label, edit, spin] : points) {
    c.push_back({0, ControlKind::Label, label, r, 5});
    c.push_back({edit, ControlKind::Edit, nullptr, r, 6});
    c.push_back({spin, ControlKind::UpDown, nullptr, r++, 7});
  }
  c.push_back({Page::kLoopLabel, ControlKind::Label, "LP", r, 5});
  c.push_back({Page::kLoopValue, ControlKind::Edit, nullptr, r, 6});
  c.push_back({Page::kEndLabel, ControlKind::Label, "EP", r, 7});
  c.push_back({Page::kEndValue, ControlKind::Edit, nullptr, r++, 8});
  c.push_back({Page::kPicture, ControlKind::Picture, nullptr, r, 5, false, 2, 5});
  r += 2;
  c.push_back({Page::kWaveButton, ControlKind::Button, kLoadText, r++, 5, false, 1, 3});
  // The audition rows under the wave keep the page as low as the FM page.
  Page::AppendRow(c, "MV", Page::kMvLabel, Page::kMV, r++, 5);
  Page::AppendRow(c, "Velocity", Page::kVelocityLabel, Page::kVelocity, r++, 5);
  Page::AppendRow(c, "GT[sec]", 0, Page::kGT, r++, 5);
  c.push_back({Page::kDrumKeyAssign, ControlKind::Check, "DrumKey Assign", r, 5, false, 1, 3});
  return {2015, nullptr, c};
}

}  // namespace

Page::CKZxVoiceEdit_PropertyPagePCM(CKZxVoiceEditDlg* sheet) : CVoiceEditPageBase(sheet) {
  BuildTemplate(PcmTemplate(), {kLFO, kPANPOT, kAR, kDR, kSR, kRR, kSL, kTL, kKSL, kDAM, kDVB, kMV, kVelocity, kGT});
  for (int id : {kXOF, kERB, kSUS, kKSR, kEAM, kEVB, kPE}) connect(Check(id), &QCheckBox::clicked, this, [this] { Store(); });
  connect(Check(kRM), &QCheckBox::clicked, this, [this] { OnRmChange(); });
  connect(Item<QPushButton>(kWaveButton), &QPushButton::clicked, this, [this] { OnWaveButton(); });
  COwnerDrawCombo* waves = List(kWaveList);
  waves->SetColumns(2, 0, 1);
  waves->SetColumnWidths({25, 180});
  connect(waves, &QComboBox::activated, this, [this] { OnWaveChoice(); });
  for (int id : {kFsEdit, kLpEdit, kEpEdit, kStartEdit}) {
    connect(Edit(id), &QLineEdit::textEdited, this, [this, id](const QString& text) { OnPointText(id, text.toStdString()); });
  }
  connect(Edit(kFsEdit), &QLineEdit::editingFinished, this, [this] { OnFsLeave(); });
  QLineEdit* waveName = Edit(kWaveName);
  waveName->setMaxLength(16);
  connect(waveName, &QLineEdit::editingFinished, this, [this, waveName] {
    const char* current = m_working ? m_working->GetWaveHeader() : nullptr;
    if (HasWave() && current && waveName->text().toStdString() != current) Store();
  });
  QLineEdit* name = Edit(kNameEdit);
  connect(name, &QLineEdit::editingFinished, this, [this, name] {
    if (m_working && name->text().toStdString() != m_working->GetName()) Store();
  });
  for (int spin : {kFsSpin, kStartSpin, kLpSpin, kEpSpin}) {
    auto* control = Item<ui::UpDownControl>(spin);
    control->setRange(-1, 1);
    control->SetDeltaPos([this, spin](int, int delta, bool& refuse) {
      refuse = true;
      OnSpin(spin, delta > 0);
    });
  }
  for (int id : {kPanLeft, kPanRight, kSongVoiceNo, kFormatEdit, kLoopValue, kEndValue}) Edit(id)->setReadOnly(true);
  Item<QLabel>(kPicture)->setMinimumSize(200, 60);
}

bool Page::HasWave() const { return m_working && m_working->GetWaveSampleSize() > 0; }

// --- Open, activation ---------------------------------------------------------------------

void Page::Open() {
  SetSliderRanges();
  OpenAuditionValues(kMV, kVelocity, kGT);
  m_keyboard->SetOriginNote(platform::settings().GetOriginNote());
  const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  for (int id : {1647, 1654, 1655, 1656, 1618, 1626, 1670, 1662, 1666, 1679, 1642, 1622, 1630}) Edit(id)->setFont(fixed);
  m_sheet->SendBankVoices(*m_working);
  if (AdjustLoopEnd(*m_working, platform::settings().GetChipMode()) != 0) platform::messages().ShowMessage(7165, {});
  Load();
  m_waveListFilled = true;
  FillLists();
}

void Page::Activate() {
  if (m_editable && !m_working->IsPcm()) m_working->SetPcmFlag(1);
  m_sheet->SendVoice(*m_working);
  m_editable = m_reference->IsUserEditable() ? 1 : 0;
  Load();
  m_waveListFilled = true;
  FillLists();
}

bool Page::Deactivate() {
  if (m_voiceSwitch) return true;
  m_inDeactivation = true;
  Store();
  m_inDeactivation = false;
  return true;
}

// --- Load, Store, Refresh, Enable -----------------------------------------------------------

void Page::Load() {
  const CVoiceItem& w = *m_working;
  SetText(kNameEdit, QString::fromLocal8Bit(w.GetName()));
  SetSlider(kLFO.slider, w.GetPcmLFO());
  SetSlider(kPANPOT.slider, w.GetPcmPanpot());
  SetChecked(kPE, w.GetPcmPE());
  SetSlider(kSR.slider, w.GetPcmByte4High());
  SetSlider(kRR.slider, w.GetPcmByte5High());
  SetSlider(kDR.slider, w.GetPcmByte5Low());
  SetSlider(kAR.slider, w.GetPcmAR());
  SetSlider(kSL.slider, w.GetPcmByte6Low());
  SetSlider(kTL.slider, w.GetPcmTL());
  SetSlider(kKSL.slider, w.GetPcmKSL());
  SetSlider(kDAM.slider, w.GetPcmDAM());
  SetSlider(kDVB.slider, w.GetPcmDVB());
  SetChecked(kXOF, w.GetPcmByte4Bit3());
  SetChecked(kERB, w.GetPcmERB());
  SetChecked(kSUS, w.GetPcmSUS());
  SetChecked(kKSR, w.GetPcmKSR());
  SetChecked(kEAM, w.GetPcmEAM());
  SetChecked(kEVB, w.GetPcmEVB());
  SetChecked(kRM, w.GetRM());
  SetText(kStartEdit, QString::number(w.GetPcmStartOffset()));
  SetText(kLpEdit, QString::number(w.GetPcmLoopPoint()));
  SetText(kEpEdit, QString::number(w.GetPcmEndPoint()));
  SetText(kFsEdit, QString::number(w.GetPcmFs()));
  const char* waveName = w.GetWaveHeader();
  SetText(kWaveName, waveName ? QString::fromLocal8Bit(waveName) : QString());
  if (m_mv) m_mvValue = *m_mv;
  if (m_velocity) m_velocityValue = *m_velocity;
  if (m_gt) m_gtValue = *m_gt;
  SetSlider(kMV.slider, m_mvValue);
  SetSlider(kVelocity.slider, m_velocityValue);
  SetSlider(kGT.slider, m_gtValue);
  Refresh();
  Enable();
}

void Page::Store() {
  CopyAuditionValues(kMV, kVelocity, kGT);
  if (Editable()) {
    CVoiceItem& w = *m_working;
    if (!w.IsPcm()) w.SetPcmFlag(1);
    const std::string name = Edit(kNameEdit)->text().toLocal8Bit().toStdString();
    if (name != w.GetName()) w.SetName(name.c_str());
    w.SetPcmLFO(static_cast<uint8_t>(SliderValue(kLFO.slider)));
    w.SetPcmPanpot(static_cast<uint8_t>(SliderValue(kPANPOT.slider)));
    w.SetPcmPE(IsChecked(kPE));
    w.SetPcmSR(static_cast<uint8_t>(SliderValue(kSR.slider)));
    w.SetPcmRR(static_cast<uint8_t>(SliderValue(kRR.slider)));
    w.SetPcmDR(static_cast<uint8_t>(SliderValue(kDR.slider)));
    w.SetPcmAR(static_cast<uint8_t>(SliderValue(kAR.slider)));
    w.SetPcmSL(static_cast<uint8_t>(SliderValue(kSL.slider)));
    w.SetPcmTL(static_cast<uint8_t>(SliderValue(kTL.slider)));
    w.SetPcmKSL(static_cast<uint8_t>(SliderValue(kKSL.slider)));
    w.SetPcmDAM(static_cast<uint8_t>(SliderValue(kDAM.slider)));
    w.SetPcmDVB(static_cast<uint8_t>(SliderValue(kDVB.slider)));
    w.SetPcmXOF(IsChecked(kXOF));
    w.SetPcmERB(IsChecked(kERB));
    w.SetPcmSUS(IsChecked(kSUS));
    w.SetPcmKSR(IsChecked(kKSR));
    w.SetPcmEAM(IsChecked(kEAM));
    w.SetPcmEVB(IsChecked(kEVB));
    w.SetRM(IsChecked(kRM));
    w.SetPcmStartOffset(ParseTypedValue(Edit(kStartEdit)->text().toStdString()));
    w.SetPcmLoopPoint(ParseTypedValue(Edit(kLpEdit)->text().toStdString()));
    w.SetPcmEndPoint(ParseTypedValue(Edit(kEpEdit)->text().toStdString()));
    w.SetPcmFs(ParseTypedValue(Edit(kFsEdit)->text().toStdString()));
    if (HasWave()) w.SetWaveName(Edit(kWaveName)->text().toLocal8Bit().constData());
    if (!m_inDeactivation) Send(w);
  }
  StoreEditorValues();
  Refresh();
  Enable();
}

void Page::Send(const CVoiceItem& voice) {
  if (m_inCancel || voice.GetRM() || voice.GetWaveSampleSize() > 0) m_sheet->SendVoice(voice);
}

QImage Page::RenderWavePicture(QSize size) const {
  QImage image(size, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter p(&image);
  const int w = size.width();
  const int h = size.height();
  p.setPen(ui::FromColorRef(kWavePen));
  p.drawLine(0, h / 2, w - 1, h / 2);
  std::vector<int16_t> s;
  if (!m_working || !ExpandVoiceWave(*m_working, s)) return image;
  const uint32_t n = static_cast<uint32_t>(s.size());
  for (const WaveColumn& col : WaveColumns(s.data(), n, w, h)) p.drawLine(col.x, col.top, col.x, col.bottom);
  const int lpColumn = ColumnOfSample(m_working->GetPcmLoopPoint(), n, w);
  const int epColumn = ColumnOfSample(m_working->GetPcmEndPoint(), n, w);
  if (lpColumn >= 0) {
    p.setPen(ui::FromColorRef(kLoopPen));
    p.drawLine(lpColumn, 0, lpColumn, h - 1);
  }
  if (epColumn >= 0) {
    p.setPen(ui::FromColorRef(kEndPen));
    p.drawLine(epColumn, 0, epColumn, h - 1);
  }
  return image;
}

void Page::Refresh() {
  if (m_editSource == 2) SetText(kSongVoiceNo, QString::number(m_working->GetHeaderWord() + 1));
  for (const SliderRow* r : {&kLFO, &kPANPOT, &kAR, &kDR, &kSR, &kRR, &kSL, &kTL, &kKSL, &kDAM, &kDVB}) {
    SetText(r->edit, QString::number(SliderValue(r->slider)));
  }
  const int pan = SliderValue(kPANPOT.slider);
  SetText(kPanLeft, PanpotLevelText(pan, true));
  SetText(kPanRight, PanpotLevelText(pan, false));
  SetText(kFormatEdit, WaveFormatText(m_working->GetPcmWaveFormat(), HasWave()));
  ShowAuditionTexts(kMV, kVelocity, kGT);
  if (AdjustLoopEnd(*m_working, platform::settings().GetChipMode()) != 0) {
    SetText(kLpEdit, QString::number(m_working->GetPcmLoopPoint()));
    SetText(kEpEdit, QString::number(m_working->GetPcmEndPoint()));
  }
  auto* picture = Item<QLabel>(kPicture);
  picture->setPixmap(QPixmap::fromImage(RenderWavePicture(picture->size().expandedTo(QSize(200, 60)))));
  std::vector<int16_t> s;
  const bool expanded = ExpandVoiceWave(*m_working, s);
  const int format = m_working->GetRM() ? 0 : m_working->GetPcmWaveFormat();
  const PointLabels labels = MakePointLabels(format, expanded, m_working->GetPcmLoopPoint(), m_working->GetPcmEndPoint(), s);
  Item<QLabel>(kLoopLabel)->setText(QString::fromStdString(labels.loopLabel));
  Item<QLabel>(kEndLabel)->setText(QString::fromStdString(labels.endLabel));
  SetText(kLoopValue, labels.loopValue);
  SetText(kEndValue, labels.endValue);
}

void Page::Enable() {
  const int profile = platform::settings().GetOutputProfile();
  const bool e = Editable();
  for (const SliderRow& r : Rows()) {
    if (r.slider == kMV.slider || r.slider == kVelocity.slider || r.slider == kGT.slider) continue;
    EnableRow(r, e);
  }
  for (int id : {kXOF, kERB, kSUS, kKSR, kEAM, kEVB, kPE, kRM}) EnableControl(id, e);
  ShowRow(kDVB, kDvbLabel, true);
  EnableControl(kEVB, e);
  EnableControl(kWaveName, HasWave());
  const bool fs = e && (HasWave() || IsChecked(kRM));
  EnableControl(kFsEdit, fs);
  EnableControl(kFsSpin, fs);
  EnableControl(kLpEdit, e);
  EnableControl(kLpSpin, e);
  EnableControl(kEpEdit, e);
  EnableControl(kEpSpin, e);
  auto* button = Item<QPushButton>(kWaveButton);
  button->setText(HasWave() ? kDetachText : kLoadText);
  button->setEnabled(e && !IsChecked(kRM));
  EnableControl(kStartEdit, false);
  EnableControl(kStartSpin, false);
  EnableNameEdit();
  if (profile == 4 || profile == 6) {
    ShowRow(kMV, kMvLabel, false);
    if (profile == 4) ShowRow(kVelocity, kVelocityLabel, false);
  }
  EnableVoiceLists();
  EnableControl(kWaveList, e);
  m_keyboard->SetDisabled(!IsChecked(kRM) && e && !HasWave() ? 1 : 0);
}

void Page::FillLists() {
  FillVoiceLists(*m_working);
  FillWaveList();
}

// --- Messages -------------------------------------------------------------------------------

void Page::OnHScroll(int sliderId) {
  if (HandleAuditionSlider(sliderId, kMV, kVelocity, kGT)) return;
  Store();
}

void Page::OnKeyDown(int note) {
  m_sheet->Audition(0, note, m_mvValue, m_velocityValue, static_cast<uint32_t>(GateMs()), *m_working);
}

void Page::OnPointText(int editId, const std::string& text) {
  CVoiceItem& w = *m_working;
  const int format = w.GetRM() ? 0 : w.GetPcmWaveFormat();
  const uint32_t n = WaveByteLength(w);
  if (editId == kFsEdit) {
    w.SetPcmFs(ParseTypedValue(text));
  } else if (editId == kStartEdit) {
    w.SetPcmStartOffset(ParseTypedValue(text));
  } else {
    int64_t value = 0;
    for (char ch : text) {
      if (ch < '0' || ch > '9') break;
      value = std::min<int64_t>(value * 10 + (ch - '0'), 1 << 20);
    }
    const uint16_t point = ClampTypedPoint(value, format, n);
    if (editId == kLpEdit) w.SetPcmLoopPoint(point);
    else w.SetPcmEndPoint(point);
  }
  Load();
  Store();
}

void Page::OnSpin(int spinId, bool up) {
  CVoiceItem& w = *m_working;
  const int delta = up ? -1 : 1;  // the up arrow's delta is below 1
  const int format = w.GetRM() ? 0 : w.GetPcmWaveFormat();
  const uint32_t n = WaveByteLength(w);
  if (spinId == kFsSpin) w.SetPcmFs(StepFs(w.GetPcmFs(), delta));
  if (spinId == kStartSpin) w.SetPcmStartOffset(StepStartOffset(w.GetPcmStartOffset(), delta));
  if (spinId == kLpSpin) w.SetPcmLoopPoint(StepPoint(w.GetPcmLoopPoint(), delta, format, n));
  if (spinId == kEpSpin) w.SetPcmEndPoint(StepPoint(w.GetPcmEndPoint(), delta, format, n));
  Load();
  Store();
}

void Page::OnFsLeave() {
  bool corrected = false;
  const uint16_t fs = FixFsOnLeave(Edit(kFsEdit)->text().toStdString(), corrected);
  if (!corrected) return;
  m_working->SetPcmFs(fs);
  SetText(kFsEdit, QString::number(fs));
  platform::messages().ShowMessage(7122, {});
  Store();
}

int Page::CountOtherUsers(const CVoiceItem& voice) const {
  if (m_editSource == 1) {
    const CVoiceLibrary* library = platform::registry().voiceLibrary;
    return library ? const_cast<CVoiceLibrary*>(library)->GetVoiceBank().CountWaveIdUsers(voice) : 0;
  }
  const CKZ1Doc* doc = platform::registry().document;
  return doc ? doc->CountWaveIdUsers(voice) : 0;
}

void Page::ReleaseWave(CVoiceItem& voice) {
  if (voice.GetWaveSampleSize() == 0) return;
  if (CountOtherUsers(voice) == 0) m_sheet->SendWaveId(voice.GetWaveHeaderId());
  voice.SetWaveData(nullptr, 0);
  voice.SetWaveId(0);
  voice.SetPcmWaveFormat(0);
}

void Page::ClearPoints() {
  m_working->SetPcmFs(0);
  m_working->SetPcmStartOffset(0);
  m_working->SetPcmLoopPoint(0);
  m_working->SetPcmEndPoint(0);
}

void Page::OnWaveButton() {
  if (HasWave()) Detach();
  else LoadWaveFile();
}

void Page::FsCheckForChip() {
  const int profile = platform::settings().GetOutputProfile();
  const CVoiceItem& w = *m_working;
  if (platform::settings().GetChipMode() != 3) return;
  if (profile != 2 && profile != 3 && profile != 5 && profile != 8) return;
  if (w.GetRM() || w.GetBankMsb() != 124 || w.GetBankLsb() < 1 || w.GetBankLsb() > 9) return;
  if (!IsValidStreamPcmRate(w.GetPcmFs())) platform::messages().ShowMessage(7052, {});
}

void Page::LoadWaveFile() {
  SoundFileChoice choice;
  if (m_chooser) {
    choice = m_chooser();
  } else {
    const QString filter = ui::T(2091).section('|', 0, 0);
    choice.path = QFileDialog::getOpenFileName(this, QString(), QString::fromStdString(GetDefaultDir(2)), filter, nullptr,
                                               QFileDialog::DontUseNativeDialog)
                      .toStdString();
  }
  if (choice.path.empty()) return;
  CWaveData holder;
  uint32_t result = 0;
  if (!holder.Load(choice.path, choice.bits, &result)) {
    platform::messages().ShowMessage(result == CWaveData::kTwoChannels ? 7023 : 7022, {});
    return;
  }
  if (holder.GetChannels() == 2) {
    platform::messages().ShowMessage(7023, {});
    return;
  }
  const uint8_t kind = holder.GetKind();
  if ((kind == 0 || kind == 2 || kind == 3) && holder.GetRate() > 48000) {
    platform::messages().ShowMessage(7021, {});
    return;
  }
  if (holder.GetRate() > 65535) return;
  CVoiceItem& w = *m_working;
  int id = 255;
  if (HasWave()) {
    id = w.GetWaveHeaderId();
  } else if (m_editSource == 1) {
    if (CVoiceLibrary* library = platform::registry().voiceLibrary) id = library->GetVoiceBank().FindFreeWaveId();
  } else if (CKZ1Doc* doc = platform::registry().document) {
    const int free = doc->FindFreeWaveId();
    id = free < 0 ? 255 : free;
  }
  if (id == 255) {
    const int profile = platform::settings().GetOutputProfile();
    platform::messages().ShowMessage(m_editSource == 1 ? 7070 : (profile == 1 || profile == 7 ? 7057 : 7068), {});
    return;
  }
  w.SetWaveId(static_cast<uint8_t>(id));
  w.SetWaveHeaderId(static_cast<uint8_t>(id));
  w.SetWaveSamples(holder.GetSamples(0), holder.GetSampleBytes(0));
  w.SetWaveHeaderFlags(kind);
  w.SetPcmFs(static_cast<uint16_t>(holder.GetRate()));
  w.SetPcmWaveFormat(kind);
  w.SetPcmStartOffset(0);
  w.SetPcmLoopPoint(static_cast<uint16_t>(std::min<uint32_t>(holder.GetLoopStart(), 65535)));
  w.SetPcmEndPoint(static_cast<uint16_t>(std::min<uint32_t>(holder.GetLoopEnd(), 65535)));
  Send(w);
  m_sheet->SendBankVoices(w);
  AdjustLoopEnd(w, platform::settings().GetChipMode());
  FillWaveList();
  if (w.GetPcmFs() < kFsMin || w.GetPcmFs() > kFsMax) {
    w.SetPcmFs(w.GetPcmFs() < kFsMin ? kFsMin : kFsMax);
    platform::messages().ShowMessage(7122, {});
  }
  FsCheckForChip();
  platform::messages().AddAccessLog(7524, choice.path, {});
  Load();
}

void Page::Detach() {
  ReleaseWave(*m_working);
  m_sheet->SendVoiceParams(*m_working);
  ClearPoints();
  Load();
  Store();
  FillWaveList();
}

void Page::OnRmChange() {
  CVoiceItem& w = *m_working;
  if (HasWave()) {
    if (platform::messages().ShowMessage(7144, {}) != 6) {
      SetChecked(kRM, false);
      return;
    }
  }
  m_inCancel = true;
  if (HasWave()) {
    ReleaseWave(w);
    m_sheet->SendVoiceParams(w);
  } else {
    w.SetWaveData(nullptr, 0);
    w.SetWaveId(0);
  }
  Store();
  m_inCancel = false;
  if (IsChecked(kRM)) {
    m_waveListFilled = false;
  } else {
    ClearPoints();
    Load();
  }
  m_keyboard->SetDisabled(IsChecked(kRM) ? 0 : 1);
  FillWaveList();
  Enable();
}

void Page::FillWaveList() {
  COwnerDrawCombo* list = List(kWaveList);
  const CVoiceItem& w = *m_working;
  {
    const QSignalBlocker block(list);
    list->ResetContent();
    int selection = 0;
    if (!w.GetRM()) {
      list->AddRow({QStringLiteral("-"), {}});
      CVoiceLibrary* library = platform::registry().voiceLibrary;
      CKZ1Doc* doc = platform::registry().document;
      bool ownListed = false;
      for (int id = 0; id < 128; ++id) {
        const CVoiceItem* holder = nullptr;
        if (m_editSource == 1 && library) holder = library->GetVoiceBank().FindVoiceByWaveId(id);
        if (m_editSource == 2 && doc) holder = doc->FindVoiceByWaveId(id);
        const bool own = HasWave() && w.GetWaveHeaderId() == id;
        if (!holder && !own) continue;
        const char* name = holder && holder->GetWaveHeader() ? holder->GetWaveHeader() : w.GetWaveHeader();
        list->AddRow({QString::number(id), QString::fromLocal8Bit(name ? name : "")});
        if (own) {
          selection = list->count() - 1;
          ownListed = true;
        }
      }
      if (!ownListed) selection = 0;
    } else {
      for (int id = 0; id < RomWaveSource::kCount; ++id) {
        list->AddRow({QStringLiteral("RM %1").arg(id), RomWaveSource::Info(id)->name});
      }
      selection = std::min<int>(w.GetWaveId(), RomWaveSource::kCount - 1);
    }
    list->setCurrentIndex(selection);
  }
  OnWaveChoice();
}

void Page::OnWaveChoice() {
  CVoiceItem& w = *m_working;
  COwnerDrawCombo* list = List(kWaveList);
  const int row = list->currentIndex();
  if (!w.GetRM()) {
    if (row <= 0) {
      if (!HasWave()) {
        w.SetWaveData(nullptr, 0);
        w.SetWaveId(0);
      } else {
        ReleaseWave(w);
        m_sheet->SendVoiceParams(w);
        ClearPoints();
      }
    } else {
      const int id = list->GetText(row, 0).value_or(QString()).toInt();
      const CVoiceItem* found = nullptr;
      if (m_editSource == 1 && platform::registry().voiceLibrary) {
        found = platform::registry().voiceLibrary->GetVoiceBank().FindVoiceByWaveId(id);
      }
      if (m_editSource == 2 && platform::registry().document) found = platform::registry().document->FindVoiceByWaveId(id);
      const bool same = found && HasWave() && w.GetWaveHeaderId() == id && w.GetWaveSampleSize() == found->GetWaveSampleSize();
      if (found && !same && found != &w) {
        const CVoiceItem source = *found;
        ReleaseWave(w);
        m_sheet->SendVoiceParams(w);
        w.SetWaveId(static_cast<uint8_t>(id));
        w.SetWaveData(source.GetWaveData(), source.GetWaveDataSize());
        w.SetWaveHeaderId(static_cast<uint8_t>(id));
        w.SetPcmFs(source.GetPcmFs());
        w.SetPcmWaveFormat(source.GetPcmWaveFormat());
        m_sheet->SendBankVoices(w);
        Send(w);
      }
    }
  } else if (m_waveListFilled) {
    m_waveListFilled = false;
  } else if (const RomWaveInfo* info = RomWaveSource::Info(row)) {
    w.SetWaveId(static_cast<uint8_t>(row));
    w.SetPcmFs(info->fs);
    w.SetPcmStartOffset(0);
    w.SetPcmLoopPoint(info->loopPoint);
    w.SetPcmEndPoint(info->endPoint);
  }
  Load();
  Store();
}

bool Page::OnApply() {
  if (!m_opened || !m_working->IsPcm()) return true;
  const int message = CheckPcmApply(*m_working, Editable(), platform::settings().GetChipMode());
  if (message == 0) return true;
  platform::messages().ShowMessage(message, {});
  return false;
}

void Page::OnOk() {
  if (m_opened && m_working->IsPcm() && (HasWave() || m_working->GetRM())) FsCheckForChip();
}

void Page::OnCancel() {
  if (!m_opened) return;
  m_inCancel = true;
  const CVoiceItem& ref = *m_reference;
  CVoiceItem& w = *m_working;
  Send(ref);
  if (ref.IsPcm() && !ref.GetRM() && ref.GetWaveSampleSize() > 0) {
    const bool same = w.GetWaveDataSize() == ref.GetWaveDataSize() && w.GetWaveHeaderId() == ref.GetWaveHeaderId() &&
                      std::equal(ref.GetWaveData(), ref.GetWaveData() + ref.GetWaveDataSize(), w.GetWaveData());
    if (!same) {
      ReleaseWave(w);
      m_sheet->SendVoiceParams(w);
      if (CountOtherUsers(ref) == 0) m_sheet->SendBankVoices(ref);
    }
  } else if (!w.GetRM() && w.GetWaveSampleSize() > 0) {
    ReleaseWave(w);
    m_sheet->SendVoiceParams(w);
  }
  m_inCancel = false;
}

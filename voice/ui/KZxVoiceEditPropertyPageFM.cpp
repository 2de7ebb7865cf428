#include "voice/ui/KZxVoiceEditPropertyPageFM.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QSlider>
#include <QTabBar>

#include "app/core/MainFrame.h"
#include "app/core/SettingKeys.h"
#include "platform/host/HostServices.h"
#include "song/NamedBlock.h"
#include "song/VoiceLibrary.h"
#include "song/document/KZ1Doc.h"
#include "uikit/Drawing.h"
#include "uikit/OwnerDrawCombo.h"
#include "uikit/PictureStore.h"
#include "uikit/UiText.h"
#include "voice/VoiceEditRules.h"
#include "voice/WaveData.h"
#include "voice/WavePicture.h"
#include "voice/ui/KZxVoiceEditDlg.h"
#include "voice/ui/PianoImageCtrl.h"
#include "voice/ui/RepeatButton.h"
#include "voice/ui/VoiceEditPictures.h"

using namespace voiceedit;
using Page = CKZxVoiceEdit_PropertyPageFM;

const Page::SliderRow Page::kLFO{1540, 1539, 1537, 1538, 0, 3};
const Page::SliderRow Page::kPANPOT{1606, 1603, 1601, 1602, 0, 31};
const Page::SliderRow Page::kDrumKey{1536, 1535, 1533, 1534, 0, 127};
const Page::SliderRow Page::kALG{1528, 1524, 1522, 1523, 0, 7};
const Page::SliderRow Page::kMULTI{1577, 1576, 1574, 1575, 0, 15};
const Page::SliderRow Page::kDT{1556, 1555, 1553, 1554, 0, 7};
const Page::SliderRow Page::kAR{1544, 1543, 1541, 1542, 0, 15};
const Page::SliderRow Page::kDR{1552, 1551, 1549, 1550, 0, 15};
const Page::SliderRow Page::kSR{1589, 1588, 1586, 1587, 0, 15};
const Page::SliderRow Page::kRR{1581, 1580, 1578, 1579, 0, 15};
const Page::SliderRow Page::kSL{1585, 1584, 1582, 1583, 0, 15};
const Page::SliderRow Page::kTL{1595, 1594, 1592, 1593, 0, 63};
const Page::SliderRow Page::kKSL{1571, 1570, 1568, 1569, 0, 3};
const Page::SliderRow Page::kDAM{1548, 1547, 1545, 1546, 0, 3};
const Page::SliderRow Page::kDVB{1560, 1559, 1557, 1558, 0, 3};
const Page::SliderRow Page::kFB{1567, 1566, 1564, 1565, 0, 7};
const Page::SliderRow Page::kWS{1599, 1598, 1596, 1597, 0, 31};
const Page::SliderRow Page::kMV{2221, 2220, 2218, 2219, 0, 127};
const Page::SliderRow Page::kVelocity{2227, 2226, 2224, 2225, 0, 127};
const Page::SliderRow Page::kGT{2536, 2534, 2535, 2537, 0, 100};

namespace {

using ui::ControlKind;
using ui::ControlSpec;

constexpr int kShapes[3] = {15, 23, 31};

/// Template 2014 "FM Voice Edit".
ui::DialogTemplate FmTemplate() {
  std::vector<ControlSpec> c = Page::HeadControls(Page::kSongVoiceNo);
  int row = 3;
  Page::AppendRow(c, "LFO", 0, Page::kLFO, row++, 0);
  Page::AppendRow(c, "PANPOT", 0, Page::kPANPOT, row++, 0);
  c.push_back({Page::kPanLeft, ControlKind::Edit, nullptr, row, 2});
  c.push_back({Page::kPanRight, ControlKind::Edit, nullptr, row++, 4});
  Page::AppendRow(c, "DrumKey", 0, Page::kDrumKey, row++, 0);
  Page::AppendRow(c, "ALG", 0, Page::kALG, row++, 0);
  c.push_back({Page::kPE, ControlKind::Check, "PE", row, 0});
  c.push_back({Page::kAlgPicture, ControlKind::Picture, nullptr, row++, 2, false, 3, 3});
  for (int k = 0; k < 4; ++k) {
    static const char* const kRanges[4] = {"C#1-C4", "C#2-C5", "C#3-C6", "C#4-C7"};
    c.push_back({Page::kRange1 + k, ControlKind::Radio, kRanges[k], row + 1 + (k / 2), k % 2});
  }
  row += 3;
  Page::AppendRow(c, "MV", Page::kMvLabel, Page::kMV, row++, 0);
  Page::AppendRow(c, "Velocity", Page::kVelocityLabel, Page::kVelocity, row++, 0);
  Page::AppendRow(c, "GT[sec]", 0, Page::kGT, row++, 0);
  int r = 3;
  c.push_back({Page::kTabs, ControlKind::Custom, nullptr, r++, 5, false, 1, 5});
  for (auto [label, spec] : {std::pair{"MULTI", Page::kMULTI}, {"DT", Page::kDT}, {"AR", Page::kAR}, {"DR", Page::kDR},
                             {"SR", Page::kSR}, {"RR", Page::kRR}, {"SL", Page::kSL}, {"TL", Page::kTL},
                             {"KSL", Page::kKSL}, {"DAM", Page::kDAM}, {"DVB", Page::kDVB}, {"FB", Page::kFB},
                             {"WS", Page::kWS}}) {
    Page::AppendRow(c, label, 0, spec, r++, 5);
  }
  // A third column beside the operators keeps the page low enough for a small screen.
  constexpr int kThird = 10;
  r = 3;
  const std::pair<int, const char*> checks[] = {{Page::kXOF, "XOF"}, {Page::kSUS, "SUS"}, {Page::kKSR, "KSR"},
                                                {Page::kEAM, "EAM"}, {Page::kEVB, "EVB"}, {Page::kERB, "ERB"}};
  for (int k = 0; k < 6; ++k) c.push_back({checks[k].first, ControlKind::Check, checks[k].second, r + k / 3, kThird + k % 3});
  r += 2;
  c.push_back({Page::kWavePicture, ControlKind::Picture, nullptr, r, kThird, false, 2, 3});
  r += 2;
  const int waveButtons[3][2] = {{Page::kLoad15, Page::kClear15}, {Page::kLoad23, Page::kClear23}, {Page::kLoad31, Page::kClear31}};
  static const char* const kShapeLabels[3] = {"WS15", "WS23", "WS31"};
  for (int k = 0; k < 3; ++k) {
    c.push_back({0, ControlKind::Label, kShapeLabels[k], r, kThird + k});
    c.push_back({waveButtons[k][0], ControlKind::Button, "Load...", r + 1, kThird + k});
    c.push_back({waveButtons[k][1], ControlKind::Button, "Clear", r + 2, kThird + k});
  }
  r += 3;
  for (int k = 0; k < 4; ++k) c.push_back({Page::kOpOff1 + k, ControlKind::Check, "Op. OFF", r + k / 2, kThird + k % 2});
  r += 2;
  c.push_back({Page::kBeforeChange, ControlKind::Check, "before the change", r++, kThird, false, 1, 3});
  c.push_back({Page::kDrumKeyAssign, ControlKind::Check, "DrumKey Assign", r, kThird, false, 1, 3});
  return {2014, nullptr, c};
}

}  // namespace

Page::CKZxVoiceEdit_PropertyPageFM(CKZxVoiceEditDlg* sheet) : CVoiceEditPageBase(sheet) {
  BuildTemplate(FmTemplate(), {kLFO, kPANPOT, kDrumKey, kALG, kMULTI, kDT, kAR, kDR, kSR, kRR, kSL, kTL, kKSL, kDAM,
                               kDVB, kFB, kWS, kMV, kVelocity, kGT});
  QTabBar* tabs = Tabs();
  // Room for all four operator tabs, which a 4-operator voice shows once the sheet is open.
  for (int k = 1; k <= 4; ++k) tabs->addTab(QStringLiteral("Operator%1").arg(k));
  tabs->setMinimumWidth(tabs->sizeHint().width());
  tabs->removeTab(3);
  tabs->removeTab(2);
  tabs->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(tabs, &QTabBar::currentChanged, this, [this](int i) { OnTabChanged(i); });
  connect(tabs, &QTabBar::customContextMenuRequested, this, [this](const QPoint& at) { ShowTabMenu(at); });
  for (int id : {kXOF, kSUS, kKSR, kEAM, kEVB, kERB, kPE}) {
    connect(Check(id), &QCheckBox::clicked, this, [this] { Store(); });
  }
  for (int k = 0; k < 4; ++k) connect(Check(kOpOff1 + k), &QCheckBox::clicked, this, [this, k] { OnOpOff(k + 1); });
  for (int k = 0; k < 4; ++k) {
    connect(Item<QAbstractButton>(kRange1 + k), &QAbstractButton::clicked, this, [this] { Store(); });
  }
  connect(Check(kBeforeChange), &QCheckBox::clicked, this, [this] { OnBeforeChange(); });
  connect(Check(kDrumKeyAssign), &QCheckBox::clicked, this, [this] { OnDrumKeyAssign(); });
  const int buttons[3][2] = {{kLoad15, kClear15}, {kLoad23, kClear23}, {kLoad31, kClear31}};
  for (int k = 0; k < 3; ++k) {
    connect(Item<QAbstractButton>(buttons[k][0]), &QAbstractButton::clicked, this, [this, k] { LoadUserWave(kShapes[k]); });
    connect(Item<QAbstractButton>(buttons[k][1]), &QAbstractButton::clicked, this, [this, k] { ClearUserWave(kShapes[k]); });
  }
  QLineEdit* name = Edit(kNameEdit);
  connect(name, &QLineEdit::editingFinished, this, [this, name] {
    if (m_working && name->text().toStdString() != m_working->GetName()) Store();
  });
  for (int id : {kPanLeft, kPanRight, kSongVoiceNo}) Edit(id)->setReadOnly(true);
  // The level texts run to "-25.624": the slider column alone is too narrow for them.
  for (int id : {kPanLeft, kPanRight})
    Edit(id)->setMinimumWidth(Edit(id)->fontMetrics().horizontalAdvance(QStringLiteral("-25.624")) + 12);
  for (int id : {kAlgPicture, kWavePicture}) Item<QLabel>(id)->setMinimumSize(100, 48);
  RegisterVoiceEditPictures();
}

QTabBar* Page::Tabs() const { return Item<QTabBar>(kTabs); }

int Page::SelectedOperator() const { return m_currentTab + 1; }

const CVoiceItem& Page::AuditionVoice() const { return IsChecked(kBeforeChange) ? *m_reference : m_audition; }

bool Page::UserWaveExists(int shape) const {
  if (m_editSource == 1) {
    const CVoiceLibrary* library = platform::registry().voiceLibrary;
    return library && library->GetWaveBlock(shape);
  }
  const CKZ1Doc* doc = platform::registry().document;
  return doc && doc->GetWaveBlock(shape);
}

// --- Open, activation ---------------------------------------------------------------------

void Page::Open() {
  const int profile = platform::settings().GetOutputProfile();
  const bool userWaves = UserWavesAllowed(profile);
  SetSliderRanges();
  const int modeSetting = platform::profile().GetProfileInt("Setting", "KZ-3_ModeSetting", 0);
  if (auto range = AlgRange(profile, m_editSource, modeSetting)) Slider(kALG.slider)->setRange(range->first, range->second);
  Slider(kWS.slider)->setRange(0, WsSliderMax(userWaves));
  OpenAuditionValues(kMV, kVelocity, kGT);
  QTabBar* tabs = Tabs();
  {
    const QSignalBlocker block(tabs);
    while (tabs->count() > 2) tabs->removeTab(tabs->count() - 1);
    if (m_working->GetOperatorCount() == 4) {
      tabs->addTab(QStringLiteral("Operator3"));
      tabs->addTab(QStringLiteral("Operator4"));
    }
    tabs->setCurrentIndex(0);
  }
  m_currentTab = 0;
  const bool four = m_working->GetOperatorCount() == 4;
  m_opExists[2] = m_opExists[3] = four;
  m_audition = *m_working;
  m_keyboard->SetOriginNote(platform::settings().GetOriginNote());
  const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  for (int id : {1539, 1603, 1604, 1605, 1535, 1524, 1576, 1555, 1543, 1551, 1588, 1580, 1584, 1594, 1570, 1547, 1559,
                 1566, 1598}) {
    Edit(id)->setFont(fixed);
  }
  Load();
  FillLists();
}

void Page::Activate() {
  m_editable = m_reference->IsUserEditable() ? 1 : 0;
  if (m_editable) {
    if (m_working->IsPcm()) m_working->SetPcmFlag(0);
    if (m_audition.IsSameHeader(*m_working)) {
      if (m_audition.IsPcm()) m_audition.SetPcmFlag(0);
      m_audition.SetExtFlag(m_working->GetExtFlag());
      m_audition.SetExtBlock(m_working->GetExtBlock());
    } else {
      m_audition = *m_working;
      ResetOperatorOff();
    }
  } else if (!m_audition.IsSameHeader(*m_working)) {
    m_audition = *m_working;
  }
  m_sheet->SendVoice(AuditionVoice());
  for (int n = 0; n < 32; ++n) {
    const CNamedBlock* block = nullptr;
    if (m_editSource == 1 && platform::registry().voiceLibrary) block = platform::registry().voiceLibrary->GetWaveBlock(n);
    if (m_editSource == 2 && platform::registry().document) block = platform::registry().document->GetWaveBlock(n);
    if (!block) continue;
    m_sheet->DeleteUserWave(n);
    m_sheet->SetUserWave(n, block->GetData(), block->GetSize());
  }
  Load();
  FillLists();
}

bool Page::Deactivate() {
  if (m_voiceSwitch) return true;
  ResetOperatorOff();
  SetChecked(kBeforeChange, false);
  m_inChange = true;
  Store();
  m_inChange = false;
  return true;
}

void Page::ResetForPickedVoice() {
  ResetOperatorOff();
  SetChecked(kBeforeChange, false);
  m_audition = *m_working;
}

void Page::ResetOperatorOff() {
  for (int k = 0; k < 4; ++k) {
    m_opOff[k] = false;
    SetChecked(kOpOff1 + k, false);
    m_audition.SetOpAR(k + 1, m_working->GetOpAR(k + 1));
  }
}

// --- Load, Store, Refresh, Enable -----------------------------------------------------------

void Page::LoadOperator() {
  const CVoiceItem& w = *m_working;
  const int op = SelectedOperator();
  const bool userWaves = UserWavesAllowed(platform::settings().GetOutputProfile());
  SetSlider(kMULTI.slider, w.GetOpMULTI(op));
  SetSlider(kDT.slider, w.GetOpDT(op));
  SetSlider(kSR.slider, w.GetOpSR(op));
  SetSlider(kRR.slider, w.GetOpRR(op));
  SetSlider(kDR.slider, w.GetOpDR(op));
  SetSlider(kAR.slider, w.GetOpAR(op));
  SetSlider(kSL.slider, w.GetOpSL(op));
  SetSlider(kTL.slider, w.GetOpTL(op));
  SetSlider(kKSL.slider, w.GetOpKSL(op));
  SetSlider(kDAM.slider, w.GetOpDAM(op));
  SetSlider(kDVB.slider, w.GetOpDVB(op));
  SetSlider(kWS.slider, SliderPositionFromWs(w.GetOpWS(op), userWaves));
  SetSlider(kFB.slider, w.GetOpFB(op));
  SetChecked(kXOF, w.GetOpXOF(op));
  SetChecked(kSUS, w.GetOpSUS(op));
  SetChecked(kEAM, w.GetOpEAM(op));
  SetChecked(kERB, w.GetOpERB(op));
  SetChecked(kKSR, w.GetOpKSR(op));
  SetChecked(kEVB, w.GetOpEVB(op));
}

void Page::Load() {
  const CVoiceItem& w = *m_working;
  SetText(kNameEdit, QString::fromLocal8Bit(w.GetName()));
  SetSlider(kALG.slider, w.GetAlgorithm());
  SetSlider(kLFO.slider, w.GetLFO());
  SetSlider(kDrumKey.slider, w.GetDrumKey());
  SetSlider(kPANPOT.slider, w.GetPanpot());
  SetChecked(kPE, w.GetPE());
  for (int k = 0; k < 4; ++k) SetChecked(kRange1 + k, w.GetBO() == k);
  LoadOperator();
  m_mvValue = m_mv ? *m_mv : m_mvValue;
  m_velocityValue = m_velocity ? *m_velocity : m_velocityValue;
  if (m_gt) m_gtValue = *m_gt;
  SetSlider(kMV.slider, m_mvValue);
  SetSlider(kVelocity.slider, m_velocityValue);
  SetSlider(kGT.slider, m_gtValue);
  Refresh();
  Enable();
}

void Page::Store() {
  CopyAuditionValues(kMV, kVelocity, kGT);
  Refresh();
  if (Editable()) {
    CVoiceItem& w = *m_working;
    const int op = SelectedOperator();
    const bool userWaves = UserWavesAllowed(platform::settings().GetOutputProfile());
    if (w.IsPcm()) w.SetPcmFlag(0);
    const std::string name = Edit(kNameEdit)->text().toLocal8Bit().toStdString();
    if (name != w.GetName()) w.SetName(name.c_str());
    w.SetAlgorithm(static_cast<uint8_t>(SliderValue(kALG.slider)));
    w.SetLFO(static_cast<uint8_t>(SliderValue(kLFO.slider)));
    w.SetDrumKey(static_cast<uint8_t>(SliderValue(kDrumKey.slider)));
    w.SetPanpot(static_cast<uint8_t>(SliderValue(kPANPOT.slider)));
    w.SetPE(IsChecked(kPE));
    for (int k = 0; k < 4; ++k) {
      if (IsChecked(kRange1 + k)) w.SetBO(static_cast<uint8_t>(k));
    }
    w.SetOpMULTI(op, static_cast<uint8_t>(SliderValue(kMULTI.slider)));
    w.SetOpDT(op, static_cast<uint8_t>(SliderValue(kDT.slider)));
    w.SetOpSR(op, static_cast<uint8_t>(SliderValue(kSR.slider)));
    w.SetOpRR(op, static_cast<uint8_t>(SliderValue(kRR.slider)));
    w.SetOpDR(op, static_cast<uint8_t>(SliderValue(kDR.slider)));
    w.SetOpAR(op, static_cast<uint8_t>(SliderValue(kAR.slider)));
    w.SetOpSL(op, static_cast<uint8_t>(SliderValue(kSL.slider)));
    w.SetOpTL(op, static_cast<uint8_t>(SliderValue(kTL.slider)));
    w.SetOpKSL(op, static_cast<uint8_t>(SliderValue(kKSL.slider)));
    w.SetOpDAM(op, static_cast<uint8_t>(SliderValue(kDAM.slider)));
    // DVB is shown and edited like every other operator field, so it is stored like them.
    w.SetOpDVB(op, static_cast<uint8_t>(SliderValue(kDVB.slider)));
    w.SetOpWS(op, static_cast<uint8_t>(WsFromSliderPosition(SliderValue(kWS.slider), userWaves)));
    w.SetOpFB(op, static_cast<uint8_t>(SliderValue(kFB.slider)));
    w.SetOpXOF(op, IsChecked(kXOF));
    w.SetOpSUS(op, IsChecked(kSUS));
    w.SetOpEAM(op, IsChecked(kEAM));
    w.SetOpERB(op, IsChecked(kERB));
    w.SetOpKSR(op, IsChecked(kKSR));
    w.SetOpEVB(op, IsChecked(kEVB));
    m_audition = w;
    for (int k = 0; k < 4; ++k) {
      if (m_opOff[k]) m_audition.SetOpAR(k + 1, 0);
    }
    if (!m_inChange) m_sheet->SendVoice(AuditionVoice());
  }
  StoreEditorValues();
  Enable();
}

void Page::Refresh() {
  const bool userWaves = UserWavesAllowed(platform::settings().GetOutputProfile());
  if (m_editSource == 2) SetText(kSongVoiceNo, QString::number(m_working->GetHeaderWord() + 1));
  for (const SliderRow* r : {&kLFO, &kDrumKey, &kPANPOT, &kMULTI, &kDT, &kSR, &kRR, &kDR, &kAR, &kSL, &kTL, &kKSL,
                             &kDAM, &kDVB, &kFB, &kALG}) {
    SetText(r->edit, QString::number(SliderValue(r->slider)));
  }
  SetText(kWS.edit, QString::number(WsFromSliderPosition(SliderValue(kWS.slider), userWaves)));
  const int pan = SliderValue(kPANPOT.slider);
  SetText(kPanLeft, PanpotLevelText(pan, true));
  SetText(kPanRight, PanpotLevelText(pan, false));
  FollowAlgorithm();
  RefreshPictures();
  ShowAuditionTexts(kMV, kVelocity, kGT);
}

void Page::FollowAlgorithm() {
  if (m_algGuard) return;
  m_algGuard = true;
  const int alg = SliderValue(kALG.slider);
  QTabBar* tabs = Tabs();
  if (alg <= 1 && tabs->count() == 4) {
    if (tabs->currentIndex() >= 2) {
      // Operator1 comes first without storing the operator being left; the ALG stays.
      m_tabRebuild = true;
      tabs->setCurrentIndex(0);
      m_tabRebuild = false;
      SetSlider(kALG.slider, alg);
    }
    const QSignalBlocker block(tabs);
    tabs->removeTab(3);
    tabs->removeTab(2);
    m_opExists[2] = m_opExists[3] = false;
  } else if (alg >= 2 && tabs->count() == 2) {
    const QSignalBlocker block(tabs);
    tabs->addTab(QStringLiteral("Operator3"));
    tabs->addTab(QStringLiteral("Operator4"));
    m_opExists[2] = m_opExists[3] = true;
  }
  m_algGuard = false;
}

void Page::RefreshPictures() {
  const int alg = SliderValue(kALG.slider);
  auto* algPicture = Item<QLabel>(kAlgPicture);
  const int algId = AlgPictureId(alg, m_currentTab);
  algPicture->setPixmap(ui::PictureStore::Instance().Pixmap(algId));
  auto* wave = Item<QLabel>(kWavePicture);
  const int ws = WsFromSliderPosition(SliderValue(kWS.slider), UserWavesAllowed(platform::settings().GetOutputProfile()));
  const CNamedBlock* block = nullptr;
  if (ws == 15 || ws == 23 || ws == 31) {
    if (m_editSource == 1 && platform::registry().voiceLibrary) block = platform::registry().voiceLibrary->GetWaveBlock(ws);
    if (m_editSource == 2 && platform::registry().document) block = platform::registry().document->GetWaveBlock(ws);
  }
  if (!block) {
    const int id = WaveShapePictureId(ws);
    wave->setPixmap(ui::PictureStore::Instance().Pixmap(id));
    return;
  }
  const QSize size = wave->size().expandedTo(QSize(kAlgPictureWidth, kAlgPictureHeight));
  QImage image(size, QImage::Format_RGB32);
  image.fill(Qt::black);
  QPainter p(&image);
  p.setPen(ui::FromColorRef(0xFFFF00));
  p.drawLine(0, size.height() / 2, size.width() - 1, size.height() / 2);
  CWaveData holder;
  if (holder.SetData(block->GetData(), block->GetSize(), CWaveData::kPcm16)) {
    const std::vector<int16_t> s = SamplesFromBigEndian(holder.GetSamples(0), holder.GetSampleBytes(0));
    for (const WaveColumn& col : WaveColumns(s.data(), static_cast<uint32_t>(s.size()), size.width(), size.height())) {
      p.drawLine(col.x, col.top, col.x, col.bottom);
    }
  }
  p.end();
  wave->setPixmap(QPixmap::fromImage(image));
}

void Page::Enable() {
  const int profile = platform::settings().GetOutputProfile();
  const bool before = IsChecked(kBeforeChange);
  const bool e = Editable() && !before;
  const bool allowed = UserWavesAllowed(profile) && !before;
  const int buttons[3][2] = {{kLoad15, kClear15}, {kLoad23, kClear23}, {kLoad31, kClear31}};
  for (int k = 0; k < 3; ++k) {
    const bool exists = UserWaveExists(kShapes[k]);
    EnableControl(buttons[k][0], allowed && !exists);
    EnableControl(buttons[k][1], allowed && exists);
  }
  EnableNameEdit();
  EnableRow(kLFO, e);
  EnableRow(kPANPOT, e);
  EnableControl(kPE, e);
  for (int k = 0; k < 4; ++k) EnableControl(kRange1 + k, e);
  for (const SliderRow* r : {&kALG, &kMULTI, &kDT, &kAR, &kDR, &kSR, &kRR, &kSL, &kTL, &kKSL, &kDAM, &kDVB, &kFB}) {
    EnableRow(*r, e);
  }
  for (int id : {kXOF, kSUS, kKSR, kEAM, kEVB, kERB}) EnableControl(id, e);
  if (profile == 4 || profile == 6) {
    ShowRow(kMV, kMvLabel, false);
    if (profile == 4) ShowRow(kVelocity, kVelocityLabel, false);
    EnableControl(kXOF, false);
    EnableControl(kSUS, false);
  }
  EnableRow(kFB, e && OperatorCarriesFeedback(SliderValue(kALG.slider), SelectedOperator()));
  EnableRow(kDrumKey, e && m_working->GetBankMsb() == 125);
  EnableVoiceLists();
  EnableControl(kBeforeChange, m_reference->IsUserEditable());
  for (int k = 0; k < 4; ++k) EnableControl(kOpOff1 + k, e && m_opExists[k]);
}

void Page::FillLists() { FillVoiceLists(AuditionVoice()); }

// --- Messages -------------------------------------------------------------------------------

void Page::OnHScroll(int sliderId) {
  if (HandleAuditionSlider(sliderId, kMV, kVelocity, kGT)) return;
  Store();
}

void Page::OnTabChanged(int index) {
  if (!m_opened) {
    m_currentTab = index;
    return;
  }
  if (!m_tabRebuild) {
    // The operator being left keeps its controls' values.
    m_inChange = true;
    Store();
    m_inChange = false;
  }
  m_currentTab = index;
  const int alg = SliderValue(kALG.slider);
  Load();
  if (m_tabRebuild) SetSlider(kALG.slider, alg);
}

void Page::OnCheck(int) { Store(); }

void Page::OnBeforeChange() {
  if (IsChecked(kBeforeChange)) {
    m_sheet->SendVoice(*m_reference);
    m_inChange = true;
    Store();
    m_inChange = false;
  } else {
    Store();
  }
}

void Page::OnOpOff(int op) {
  m_opOff[op - 1] = IsChecked(kOpOff1 + op - 1);
  m_audition.SetOpAR(op, m_opOff[op - 1] ? 0 : m_working->GetOpAR(op));
  Store();
}

void Page::OnDrumKeyAssign() {
  if (!IsChecked(kDrumKeyAssign) && AuditionVoice().IsDrum()) m_sheet->SendVoice(AuditionVoice());
  UpdateMarkedKey();
}

void Page::OnKeyDown(int note) {
  const CVoiceItem& voice = AuditionVoice();
  if (IsChecked(kDrumKeyAssign) && voice.IsDrum()) {
    CVoiceItem copy = voice;
    copy.SetDrumKey(static_cast<uint8_t>(note));
    m_sheet->Audition(0, voice.GetNote(), m_mvValue, m_velocityValue, static_cast<uint32_t>(GateMs()), copy);
    return;
  }
  m_sheet->Audition(0, note, m_mvValue, m_velocityValue, static_cast<uint32_t>(GateMs()), voice);
}

void Page::LoadUserWave(int shape) {
  std::string path;
  if (m_chooser) {
    path = m_chooser();
  } else {
    const QString filter = ui::T(2091).section('|', 0, 0);
    path = QFileDialog::getOpenFileName(this, QString(), QString::fromStdString(GetDefaultDir(2)), filter,
                                        nullptr, QFileDialog::DontUseNativeDialog)
               .toStdString();
  }
  if (path.empty()) return;
  CWaveData holder;
  uint32_t result = 0;
  if (!holder.LoadFor16Bit(path, &result)) {
    platform::messages().ShowMessage(result == CWaveData::kTwoChannels ? 7023 : 7022, {});
    return;
  }
  CNamedBlock block;
  block.SetData(holder.GetSamples(0), holder.GetSampleBytes(0));
  block.SetName(UserWaveName(FileTitle(path)).c_str());
  bool taken = false;
  if (m_editSource == 1) {
    if (CVoiceLibrary* library = platform::registry().voiceLibrary) taken = library->SetWaveBlock(shape, block);
  } else if (CKZ1Doc* doc = platform::registry().document) {
    taken = doc->SetWaveBlock(shape, &block) != 0;
  }
  if (taken) m_sheet->SetUserWave(shape, block.GetData(), block.GetSize());
  Enable();
  platform::messages().AddAccessLog(7527, path, platform::MakeFormatArgs(shape));
  Refresh();
}

void Page::ClearUserWave(int shape) {
  if (m_editSource == 1) {
    if (CVoiceLibrary* library = platform::registry().voiceLibrary) library->DeleteWaveBlock(shape);
  } else if (CKZ1Doc* doc = platform::registry().document) {
    doc->SetWaveBlock(shape, nullptr);
  }
  m_sheet->DeleteUserWave(shape);
  Enable();
  Refresh();
}

bool Page::CanPasteOperator() const {
  const IMainFrame* frame = m_sheet->Shell().mainFrame;
  return frame && frame->HasVoiceClip() && Editable() && !IsChecked(kBeforeChange);
}

void Page::CopyOperator() {
  if (IMainFrame* frame = m_sheet->Shell().mainFrame) frame->PutVoiceClip(m_working->GetOperatorBytes(SelectedOperator()));
}

void Page::PasteOperator() {
  IMainFrame* frame = m_sheet->Shell().mainFrame;
  uint8_t record[7] = {};
  if (!CanPasteOperator() || !frame->GetVoiceClip(record)) return;
  const int op = SelectedOperator();
  m_working->SetOperatorBytes(op, record);
  m_audition.SetOperatorBytes(op, record);
  m_opOff[op - 1] = false;
  SetChecked(kOpOff1 + op - 1, false);
  Load();
  Store();
}

void Page::ShowTabMenu(const QPoint& at) {
  QTabBar* tabs = Tabs();
  if (tabs->tabAt(at) != tabs->currentIndex()) return;
  QMenu menu(this);
  QAction* copy = menu.addAction(QStringLiteral("&Copy\tCtrl+C"));
  QAction* paste = menu.addAction(QStringLiteral("&Paste\tCtrl+V"));
  paste->setEnabled(CanPasteOperator());
  QAction* chosen = menu.exec(tabs->mapToGlobal(at));
  if (chosen == copy) CopyOperator();
  if (chosen == paste) PasteOperator();
}

void Page::keyPressEvent(QKeyEvent* event) {
  // Ctrl+C and Ctrl+V belong to the operator only while one of its controls has the focus.
  const QWidget* focus = focusWidget();
  const int id = focus ? focus->objectName().mid(1).toInt() : 0;
  if ((event->modifiers() & Qt::ControlModifier) && id >= 1541 && id <= 1600) {
    if (event->key() == Qt::Key_C) {
      CopyOperator();
      return;
    }
    if (event->key() == Qt::Key_V) {
      PasteOperator();
      return;
    }
  }
  CVoiceEditPageBase::keyPressEvent(event);
}

bool Page::OnApply() {
  if (!m_opened || m_working->IsPcm()) return true;
  for (int op = 1; op <= m_working->GetOperatorCount(); ++op) {
    const int ws = m_working->GetOpWS(op);
    if ((ws == 15 || ws == 23 || ws == 31) && !UserWaveExists(ws)) {
      platform::messages().ShowMessage(7142, {});
      return false;
    }
  }
  return true;
}

void Page::OnCancel() {
  if (m_opened) m_sheet->SendVoice(*m_reference);
}

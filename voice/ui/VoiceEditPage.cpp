#include "voice/ui/VoiceEditPage.h"

#include <algorithm>

#include <QAbstractButton>
#include <QCheckBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QTabBar>
#include <QVBoxLayout>

#include "platform/host/HostServices.h"
#include "song/VoiceBank.h"
#include "song/VoiceItem.h"
#include "song/VoiceLibrary.h"
#include "song/document/KZ1Doc.h"
#include "uikit/DialogUnits.h"
#include "uikit/OwnerDrawCombo.h"
#include "uikit/TemplateBuilder.h"
#include "voice/VoiceEditRules.h"
#include "voice/ui/KZxVoiceEditDlg.h"
#include "voice/ui/PianoImageCtrl.h"
#include "voice/ui/RepeatButton.h"

namespace {

bool IsListId(int id) {
  return id == CVoiceEditPageBase::kBankMsbList || id == CVoiceEditPageBase::kBankLsbList ||
         id == CVoiceEditPageBase::kPchList || id == CVoiceEditPageBase::kVoiceNoList ||
         id == CVoiceEditPageBase::kNoteList || id == 1690;
}

QString KindText(const CVoiceItem& v) {
  return v.IsPcm() ? QStringLiteral("P") : QStringLiteral("F%1").arg(v.GetOperatorCount());
}

bool EditableAddress(int msb, int lsb, int program) {
  CVoiceItem probe;
  probe.SetBankMsb(static_cast<uint8_t>(msb));
  probe.SetBankLsb(static_cast<uint8_t>(lsb));
  probe.SetProgram(static_cast<uint8_t>(program));
  return probe.IsUserEditable();
}

void SetList(COwnerDrawCombo* list, const std::vector<std::vector<QString>>& rows, int selection) {
  if (!list) return;
  const QSignalBlocker block(list);
  list->ResetContent();
  for (const auto& row : rows) list->AddRow(row);
  list->setCurrentIndex(selection >= 0 && selection < list->count() ? selection : -1);
}

}  // namespace

CVoiceEditPageBase::CVoiceEditPageBase(CKZxVoiceEditDlg* sheet) : ui::PropertyPage(sheet), m_sheet(sheet) {}

CVoiceEditPageBase::~CVoiceEditPageBase() = default;

void CVoiceEditPageBase::Init(CVoiceItem* reference, CVoiceItem* working, int editSource, int editable, uint8_t* mv,
                              uint8_t* velocity, uint8_t* gt) {
  m_reference = reference;
  m_working = working;
  m_editSource = editSource;
  m_editable = editable;
  m_mv = mv;
  m_velocity = velocity;
  m_gt = gt;
}

void CVoiceEditPageBase::OnSetActive() {
  // The sheet activates its first page as it is built; the page opens with the sheet's run.
  if (!m_sheet->IsRunning() || !m_working) return;
  if (!m_opened) {
    m_opened = true;
    Open();
  }
  Activate();
}

bool CVoiceEditPageBase::OnKillActive() { return !m_opened || Deactivate(); }

std::vector<ui::ControlSpec> CVoiceEditPageBase::HeadControls(int songVoiceNo) {
  using ui::ControlKind;
  return {
      {0, ControlKind::Label, "Bank MSB", 0, 0},   {kBankMsbList, ControlKind::Combo, nullptr, 0, 1, false, 1, 3},
      {kBankMsbEdit, ControlKind::Edit, nullptr, 0, 4},
      {0, ControlKind::Label, "Bank LSB", 0, 5},   {kBankLsbList, ControlKind::Combo, nullptr, 0, 6, false, 1, 3},
      {kBankLsbEdit, ControlKind::Edit, nullptr, 0, 9},
      {0, ControlKind::Label, "Pch", 1, 0},        {kPchList, ControlKind::Combo, nullptr, 1, 1, false, 1, 3},
      {kPchEdit, ControlKind::Edit, nullptr, 1, 4},
      {0, ControlKind::Label, "Voice No", 1, 5},   {kVoiceNoList, ControlKind::Combo, nullptr, 1, 6, false, 1, 3},
      {kVoiceNoEdit, ControlKind::Edit, nullptr, 1, 9},
      {0, ControlKind::Label, "Note", 2, 0},       {kNoteList, ControlKind::Combo, nullptr, 2, 1, false, 1, 3},
      {kNoteEdit, ControlKind::Edit, nullptr, 2, 4},
      {0, ControlKind::Label, "Voice Name", 2, 5}, {kNameEdit, ControlKind::Edit, nullptr, 2, 6, false, 1, 3},
      {songVoiceNo, ControlKind::Edit, nullptr, 2, 9},
  };
}

void CVoiceEditPageBase::AppendRow(std::vector<ui::ControlSpec>& c, const char* label, int labelId, const SliderRow& r,
                                   int row, int column) {
  c.push_back({labelId, ui::ControlKind::Label, label, row, column});
  c.push_back({r.down, ui::ControlKind::Custom, "<", row, column + 1});
  c.push_back({r.slider, ui::ControlKind::Slider, nullptr, row, column + 2});
  c.push_back({r.up, ui::ControlKind::Custom, ">", row, column + 3});
  c.push_back({r.edit, ui::ControlKind::Edit, nullptr, row, column + 4});
}

void CVoiceEditPageBase::BuildTemplate(const ui::DialogTemplate& tmpl, const std::vector<SliderRow>& rows) {
  m_rows = rows;
  auto* outer = new QVBoxLayout(this);
  auto* body = new QWidget(this);
  outer->addWidget(body);
  auto factory = [this](const ui::ControlSpec& spec, QWidget* parent) -> QWidget* {
    if (IsListId(spec.id)) return new COwnerDrawCombo(parent);
    if (spec.id == 1591) {
      // Every operator tab shows its name whole.
      auto* tabs = new QTabBar(parent);
      tabs->setUsesScrollButtons(false);
      tabs->setElideMode(Qt::ElideNone);
      return tabs;
    }
    if (spec.kind != ui::ControlKind::Custom) return nullptr;
    auto* button = new CRepeatButton(spec.id, QString::fromUtf8(spec.labelKey ? spec.labelKey : ""), parent);
    button->setFixedWidth(20);
    button->SetStepHandler([this](int id) { OnRepeatStep(id); });
    return button;
  };
  ui::TemplateBuilder::Build(body, tmpl, factory);
  m_grid = qobject_cast<QGridLayout*>(body->layout());
  // Rows close together: the sheet must fit a small screen.
  if (m_grid) m_grid->setVerticalSpacing(2);
  m_keyboard = new CPianoImageCtrl(this);
  m_keyboard->setFixedHeight(61);
  m_keyboard->SetKeyDownHandler([this](int note) { OnKeyDown(note); });
  outer->addWidget(m_keyboard);
  for (const SliderRow& r : m_rows) {
    if (QLineEdit* e = Edit(r.edit)) e->setReadOnly(true);
    if (QSlider* s = Slider(r.slider)) {
      s->setMinimumWidth(ui::DialogUnits(s).X(40));
      connect(s, &QSlider::valueChanged, this, [this, id = r.slider] { OnHScroll(id); });
    }
  }
  for (int id : {kBankMsbEdit, kBankLsbEdit, kPchEdit, kVoiceNoEdit, kNoteEdit}) {
    if (QLineEdit* e = Edit(id)) e->setReadOnly(true);
  }
  for (int id : {kBankMsbList, kBankLsbList, kPchList, kVoiceNoList, kNoteList}) {
    if (COwnerDrawCombo* list = List(id)) {
      list->SetColumns(id == kBankMsbList || id == kBankLsbList ? 2 : 3, 0, 1);
      connect(list, &QComboBox::activated, this, [this, id] {
        CVoiceItem taken;
        if (PickVoice(id, taken)) {
          // Both copies become the picked voice; changes to the previous one are dropped.
          *m_working = taken;
          *m_reference = taken;
          m_editable = taken.IsUserEditable() ? 1 : 0;
          ResetForPickedVoice();
          m_voiceSwitch = true;
          if (m_sheet->SelectPageForVoice() == 0) {
            Load();
            FillLists();
          }
          m_voiceSwitch = false;
        }
      });
    }
  }
  if (COwnerDrawCombo* l = List(kBankMsbList)) l->SetColumnWidths({25, 50});
  if (COwnerDrawCombo* l = List(kBankLsbList)) l->SetColumnWidths({25, 100});
  for (int id : {kPchList, kVoiceNoList, kNoteList}) {
    if (COwnerDrawCombo* l = List(id)) l->SetColumnWidths({25, 180, 35});
  }
  if (QLineEdit* name = Edit(kNameEdit)) name->setMaxLength(16);
}

QSlider* CVoiceEditPageBase::Slider(int id) const { return Item<QSlider>(id); }
QLineEdit* CVoiceEditPageBase::Edit(int id) const { return Item<QLineEdit>(id); }
QCheckBox* CVoiceEditPageBase::Check(int id) const { return Item<QCheckBox>(id); }
COwnerDrawCombo* CVoiceEditPageBase::List(int id) const { return Item<COwnerDrawCombo>(id); }
CRepeatButton* CVoiceEditPageBase::Button(int id) const { return Item<CRepeatButton>(id); }

const CVoiceEditPageBase::SliderRow* CVoiceEditPageBase::RowOfSlider(int slider) const {
  for (const SliderRow& r : m_rows)
    if (r.slider == slider) return &r;
  return nullptr;
}

void CVoiceEditPageBase::SetSliderRanges() {
  for (const SliderRow& r : m_rows) {
    if (QSlider* s = Slider(r.slider)) {
      const QSignalBlocker block(s);
      s->setRange(r.min, r.max);
    }
  }
}

void CVoiceEditPageBase::SetSlider(int id, int value) {
  if (QSlider* s = Slider(id)) {
    const QSignalBlocker block(s);
    s->setValue(value);
  }
}

int CVoiceEditPageBase::SliderValue(int id) const {
  const QSlider* s = Slider(id);
  return s ? s->value() : 0;
}

void CVoiceEditPageBase::SetText(int id, const QString& text) {
  if (QLineEdit* e = Edit(id)) {
    const QSignalBlocker block(e);
    e->setText(text);
  }
}

void CVoiceEditPageBase::SetChecked(int id, bool checked) {
  if (auto* b = Item<QAbstractButton>(id)) {
    const QSignalBlocker block(b);
    b->setChecked(checked);
  }
}

bool CVoiceEditPageBase::IsChecked(int id) const {
  const auto* b = Item<QAbstractButton>(id);
  return b && b->isChecked();
}

void CVoiceEditPageBase::EnableControl(int id, bool enable) {
  if (auto* w = Item<QWidget>(id)) w->setEnabled(enable);
}

void CVoiceEditPageBase::EnableRow(const SliderRow& r, bool enable) {
  for (int id : {r.slider, r.down, r.up}) EnableControl(id, enable);
}

void CVoiceEditPageBase::ShowRow(const SliderRow& r, int labelId, bool show) {
  for (int id : {r.slider, r.edit, r.down, r.up, labelId}) {
    if (auto* w = Item<QWidget>(id)) w->setVisible(show);
  }
}

void CVoiceEditPageBase::OnRepeatStep(int buttonId) {
  for (const SliderRow& r : m_rows) {
    if (r.down != buttonId && r.up != buttonId) continue;
    QSlider* s = Slider(r.slider);
    if (!s || !s->isEnabled()) return;
    const int value = s->value() + (buttonId == r.up ? 1 : -1);
    if (value < s->minimum() || value > s->maximum()) return;
    SetSlider(r.slider, value);
    OnHScroll(r.slider);
    update();
    return;
  }
}

void CVoiceEditPageBase::OpenAuditionValues(const SliderRow& mv, const SliderRow& vel, const SliderRow& gt) {
  m_mvValue = m_mv ? *m_mv : 0;
  m_sheet->SendMasterVolume(m_mvValue);
  m_velocityValue = m_velocity ? *m_velocity : 0;
  m_gtValue = m_gt ? *m_gt : 0;
  SetSlider(mv.slider, m_mvValue);
  SetSlider(vel.slider, m_velocityValue);
  SetSlider(gt.slider, m_gtValue);
  ShowAuditionTexts(mv, vel, gt);
}

void CVoiceEditPageBase::ShowAuditionTexts(const SliderRow& mv, const SliderRow& vel, const SliderRow& gt) {
  SetText(mv.edit, QString::number(m_mvValue));
  SetText(vel.edit, QString::number(m_velocityValue));
  SetText(gt.edit, voiceedit::GateTimeText(m_gtValue));
}

void CVoiceEditPageBase::CopyAuditionValues(const SliderRow& mv, const SliderRow& vel, const SliderRow& gt) {
  m_mvValue = SliderValue(mv.slider);
  m_velocityValue = SliderValue(vel.slider);
  m_gtValue = SliderValue(gt.slider);
  if (m_mv) *m_mv = static_cast<uint8_t>(m_mvValue);
  if (m_velocity) *m_velocity = static_cast<uint8_t>(m_velocityValue);
  if (m_gt) *m_gt = static_cast<uint8_t>(m_gtValue);
}

bool CVoiceEditPageBase::HandleAuditionSlider(int id, const SliderRow& mv, const SliderRow& vel, const SliderRow& gt) {
  if (id == mv.slider || id == vel.slider) {
    m_mvValue = SliderValue(mv.slider);
    m_velocityValue = SliderValue(vel.slider);
    if (m_mv) *m_mv = static_cast<uint8_t>(m_mvValue);
    if (m_velocity) *m_velocity = static_cast<uint8_t>(m_velocityValue);
    ShowAuditionTexts(mv, vel, gt);
    if (id == mv.slider) m_sheet->SendMasterVolume(m_mvValue);
    return true;
  }
  if (id == gt.slider) {
    m_gtValue = SliderValue(gt.slider);
    if (m_gt) *m_gt = static_cast<uint8_t>(m_gtValue);
    SetText(gt.edit, voiceedit::GateTimeText(m_gtValue));
    return true;
  }
  return false;
}

void CVoiceEditPageBase::StoreEditorValues() { m_sheet->StoreEditorValues(m_mvValue, m_velocityValue, m_gtValue); }

void CVoiceEditPageBase::UpdateMarkedKey() {
  if (!m_keyboard || !m_working) return;
  if (m_working->GetBankMsb() == 125) {
    m_keyboard->SetMarkedKey(m_working->GetNote(), IsChecked(kDrumKeyAssign) ? 0 : 1);
  } else {
    m_keyboard->SetMarkedKey(CPianoImageCtrl::kNone, 0);
  }
}

void CVoiceEditPageBase::FillVoiceLists(const CVoiceItem& auditionVoice) {
  const CVoiceItem& v = *m_working;
  const int msb = v.GetBankMsb();
  const int lsb = v.GetBankLsb();
  const bool drum = v.IsDrum();
  CVoiceLibrary* library = platform::registry().voiceLibrary;
  auto libraryVoice = [library](int m, int l, int p, int note) -> const CVoiceItem* {
    if (!library) return nullptr;
    return note >= 0 ? library->GetVoiceBank().FindVoice(m, l, p, note) : library->GetVoiceBank().FindByProgram(m, l, p);
  };
  SetList(List(kBankMsbList), {{"124", "Normal"}, {"125", "Drum"}}, msb - 124);
  std::vector<std::vector<QString>> rows;
  if (drum) {
    rows.push_back({"0", "default"});
  } else {
    for (int l = 0; l < 10; ++l) rows.push_back({QString::number(l), EditableAddress(msb, l, 0) ? "user" : "preset"});
  }
  SetList(List(kBankLsbList), rows, lsb);
  rows.clear();
  const int origin = platform::settings().GetOriginPch();
  if (drum) {
    for (int p = 0; p < 10; ++p) rows.push_back({QString::number(p + origin), EditableAddress(msb, lsb, p) ? "user" : "preset", {}});
  } else {
    for (int p = 0; p < 128; ++p) {
      const CVoiceItem* lv = libraryVoice(msb, lsb, p, -1);
      rows.push_back({QString::number(p + origin), lv ? KindText(*lv) : QString(), lv ? QString::fromLocal8Bit(lv->GetName()) : QString()});
    }
  }
  SetList(List(kPchList), rows, v.GetProgram());
  rows.clear();
  CKZ1Doc* doc = platform::registry().document;
  if (doc && m_editSource == 2) {
    for (int i = 0; i < doc->GetVoiceItemCount(); ++i) {
      if (doc->GetVoiceBankMsb(i) == 255) break;
      const CVoiceItem& item = *doc->GetVoiceItem(i);
      if (item.IsFixedBank()) rows.push_back({QString::number(i + 1), "[ ROM ]", {}});
      else rows.push_back({QString::number(i + 1), KindText(item), QString::fromLocal8Bit(item.GetName())});
    }
  } else {
    rows.push_back(std::vector<QString>(3));
  }
  SetList(List(kVoiceNoList), rows, v.GetHeaderWord());
  rows.clear();
  if (drum) {
    for (int note = 13; note <= 91; ++note) {
      const CVoiceItem* lv = libraryVoice(msb, lsb, v.GetProgram(), note);
      rows.push_back({QString::number(note), lv ? KindText(*lv) : QString(), lv ? QString::fromLocal8Bit(lv->GetName()) : QString()});
    }
    SetList(List(kNoteList), rows, v.GetNote() - 13);
  } else {
    SetList(List(kNoteList), std::vector<std::vector<QString>>(1, std::vector<QString>(3)), 0);
  }
  SetText(kBankMsbEdit, QString::number(msb));
  SetText(kBankLsbEdit, QString::number(lsb));
  SetText(kPchEdit, QString::number(v.GetProgram() + origin));
  SetText(kVoiceNoEdit, QString::number(v.GetHeaderWord() + 1));
  SetText(kNoteEdit, drum ? QString::number(v.GetNote()) : QString());
  UpdateMarkedKey();
  m_sheet->SendBankSelect(0, msb, lsb);
  m_sheet->SendProgramChange(0, v.GetProgram());
  m_sheet->SendVoice(auditionVoice);
}

void CVoiceEditPageBase::EnableVoiceLists() {
  const bool drum = m_working->IsDrum();
  auto only = [this](std::initializer_list<int> enabled) {
    for (int id : {kBankMsbList, kBankLsbList, kPchList, kVoiceNoList, kNoteList}) {
      EnableControl(id, std::find(enabled.begin(), enabled.end(), id) != enabled.end());
    }
  };
  bool assign = drum;
  if (m_editSource == 1) {
    if (drum) only({kPchList, kNoteList});
    else only({kBankLsbList, kPchList});
  } else {
    only({kVoiceNoList});
  }
  if (!assign && IsChecked(kDrumKeyAssign)) {
    SetChecked(kDrumKeyAssign, false);
    UpdateMarkedKey();
  }
  EnableControl(kDrumKeyAssign, assign);
}

bool CVoiceEditPageBase::PickVoice(int listId, CVoiceItem& taken) {
  if (m_editSource == 2) {
    CKZ1Doc* doc = platform::registry().document;
    const COwnerDrawCombo* list = List(kVoiceNoList);
    if (!doc || !list || listId != kVoiceNoList) return false;
    const int i = list->currentIndex();
    if (i < 0 || i >= doc->GetVoiceItemCount() || doc->GetVoiceBankMsb(i) == 255) return false;
    taken = *doc->GetVoiceItem(i);
    return true;
  }
  CVoiceLibrary* library = platform::registry().voiceLibrary;
  if (!library) return false;
  auto selection = [this](int id) {
    const COwnerDrawCombo* l = List(id);
    return l ? std::max(0, l->currentIndex()) : 0;
  };
  const int msb = selection(kBankMsbList) + 124;
  const int lsb = selection(kBankLsbList);
  const int program = selection(kPchList);
  const CVoiceItem* found = msb == 125 ? library->GetVoiceBank().FindVoice(msb, lsb, program, selection(kNoteList) + 13)
                                       : library->GetVoiceBank().FindByProgram(msb, lsb, program);
  if (!found || found->IsFixedBank()) return false;
  taken = *found;
  return true;
}

void CVoiceEditPageBase::EnableNameEdit() {
  if (QLineEdit* e = Edit(kNameEdit)) e->setReadOnly(!m_editable);
}

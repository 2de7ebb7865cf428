#include "voice/ui/VoiceEditDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QIcon>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <cstring>

#include "app/core/MainFrame.h"
#include "app/core/TrillotApp.h"
#include "platform/host/HostServices.h"
#include "song/VoiceLibrary.h"
#include "song/document/KZ1Doc.h"
#include "uikit/DataExchange.h"
#include "uikit/OwnerDrawCombo.h"
#include "uikit/UiText.h"
#include "uikit/PictureStore.h"
#include "uikit/UpDownControl.h"
#include "views/VoiceDialogs.h"
#include "voice/ui/VoiceEditPictures.h"

namespace {

constexpr int kStopCommand = 1391;
constexpr const char* kKeyNames[12] = {"C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B", "C"};
constexpr const char* kRangeNames[4] = {"C#2-C5", "C#3-C6", "C#4-C7", "C#5-C8"};

/// The program-wide guard of ShowVoice.
bool g_showing = false;

template <typename T>
T* Named(T* w, int id) {
  w->setObjectName(ui::ControlName(id));
  return w;
}

}  // namespace

CVoiceEditDlg::CVoiceEditDlg(CTrillotApp* app, QWidget* parent) : QDialog(parent), m_app(app) {
  setObjectName(QStringLiteral("CVoiceEditDlg"));
  setWindowTitle(QStringLiteral("Voice Edit"));
  Build();
}

CVoiceLibrary* CVoiceEditDlg::Library() const {
  return m_app ? &m_app->GetVoiceLibrary() : platform::registry().voiceLibrary;
}

QSlider* CVoiceEditDlg::AddSlider(QGridLayout* grid, int row, int column, int id, int textId, const QString& label,
                                  int lo, int hi) {
  grid->addWidget(new QLabel(label, this), row, column);
  auto* slider = Named(new QSlider(Qt::Horizontal, this), id);
  slider->setRange(lo, hi);
  grid->addWidget(slider, row, column + 1);
  auto* text = Named(new QLabel(this), textId);
  text->setMinimumWidth(60);
  grid->addWidget(text, row, column + 2);
  connect(slider, &QSlider::valueChanged, this, [this] { UpdateTexts(); });
  return slider;
}

void CVoiceEditDlg::Build() {
  auto* top = new QGridLayout(this);
  // Voice choice.
  top->addWidget(new QLabel(QStringLiteral("Voice No."), this), 0, 0);
  auto* numberBox = new QHBoxLayout();
  auto* number = Named(new QLineEdit(this), kVoiceNo);
  number->setMaximumWidth(48);
  auto* spin = Named(new ui::UpDownControl(this), kVoiceSpin);
  spin->setRange(0, 127);
  // The arrows sit on the edit's edge.
  numberBox->setSpacing(0);
  numberBox->addWidget(number);
  numberBox->addWidget(spin);
  top->addLayout(numberBox, 0, 1);
  auto* bank = Named(new QComboBox(this), kBank);
  bank->addItems({QStringLiteral("Default"), QStringLiteral("Extended")});
  top->addWidget(bank, 0, 2);
  auto* list = Named(new COwnerDrawCombo(this), kProgramList);
  list->SetColumns(2, 0, 1);
  list->SetColumnWidths({25, 125});
  list->SetColumnFormats({COwnerDrawCombo::kFormatRight, 0});
  top->addWidget(list, 0, 3);
  auto* slotNo = Named(new QLineEdit(this), kSlotNo);
  slotNo->setReadOnly(true);
  slotNo->setVisible(false);
  top->addWidget(slotNo, 0, 4);
  top->addWidget(new QLabel(QStringLiteral("Voice Name"), this), 1, 0);
  top->addWidget(Named(new QLineEdit(this), kName), 1, 1, 1, 3);

  // The two operators.
  const char* checkLabels[4] = {"Vibrato", "EG Type", "Sustain", "Wave"};
  const char* sliderLabels[6] = {"AR", "DR", "RR", "SL", "TL", "FL"};
  const int textsMod[6] = {2047, 2048, 2054, 2055, 2056, 2049};
  const int textsCar[5] = {2038, 2039, 2044, 2045, 2046};
  const int ranges[6][2] = {{1, 15}, {0, 15}, {0, 15}, {0, 15}, {0, 63}, {0, 7}};
  for (int which = 0; which < 2; ++which) {
    auto* group = new QGroupBox(which == 0 ? QStringLiteral("Modulator") : QStringLiteral("Carrier"), this);
    auto* grid = new QGridLayout(group);
    for (int i = 0; i < 4; ++i) {
      auto* box = Named(new QCheckBox(QString::fromLatin1(checkLabels[i]), group), (which ? kCarChecks : kModChecks)[i]);
      grid->addWidget(box, 0 + i / 2, (i % 2) * 3, 1, 3);
    }
    const int count = which == 0 ? 6 : 5;
    for (int i = 0; i < count; ++i) {
      auto* slider = AddSlider(grid, 2 + i, 0, (which ? kCarSliders : kModSliders)[i], (which ? textsCar : textsMod)[i],
                               QString::fromLatin1(sliderLabels[i]), ranges[i][0], ranges[i][1]);
      slider->setParent(group);
    }
    top->addWidget(group, 2, which * 2, 1, 2);
  }

  // Key ranges with their multiples and the Basic range.
  auto* rangeGroup = new QGroupBox(QStringLiteral("Range"), this);
  auto* rangeGrid = new QGridLayout(rangeGroup);
  for (int r = 0; r < 4; ++r) {
    auto* on = Named(new QCheckBox(QString::fromLatin1(kRangeNames[r]), rangeGroup), kFirstRangeBox + r);
    rangeGrid->addWidget(on, r, 0);
    connect(on, &QCheckBox::clicked, this, [this] { UpdateKeys(); });
    AddSlider(rangeGrid, r, 1, kFirstMSlider + r, 2050 + r, QStringLiteral("M"), 0, 7);
    AddSlider(rangeGrid, r, 4, kFirstCSlider + r, 2040 + r, QStringLiteral("C"), 0, 7);
    rangeGrid->addWidget(Named(new QRadioButton(QString::fromLatin1(kRangeNames[r]), rangeGroup), kFirstBasicRadio + r),
                         r, 7);
  }
  top->addWidget(rangeGroup, 3, 0, 1, 4);

  // Test keys, note length and the computer keyboard.
  auto* keyGroup = new QGroupBox(QStringLiteral("Test"), this);
  auto* keyGrid = new QGridLayout(keyGroup);
  for (int k = 0; k < 36; ++k) {
    auto* key = Named(new QPushButton(QString::fromLatin1(kKeyNames[k % 12]), keyGroup), gen1keys::ButtonOfKey(k));
    key->setFocusPolicy(Qt::NoFocus);
    key->setMaximumWidth(28);
    keyGrid->addWidget(key, k / 12, k % 12);
    connect(key, &QPushButton::clicked, this, [this, k] { PlayKey(k); });
  }
  // The Length radios show their note pictures (1913..1916), the group its own (1917).
  voiceedit::RegisterNoteLengthPictures();
  const ui::PictureStore& pictures = ui::PictureStore::Instance();
  auto* lengthPicture = Named(new QLabel(keyGroup), kLengthGroupPictureControl);
  lengthPicture->setPixmap(pictures.Pixmap(voiceedit::kLengthGroupPicture));
  keyGrid->addWidget(lengthPicture, 3, 0);
  for (int n = 0; n < 4; ++n) {
    auto* radio = Named(new QRadioButton(keyGroup), kFirstLengthRadio + n);
    radio->setIcon(QIcon(pictures.Pixmap(voiceedit::kNoteLengthPictures[n])));
    radio->setIconSize(QSize(voiceedit::kNoteLengthPictureWidth, voiceedit::kNoteLengthPictureHeight));
    radio->setToolTip(QStringLiteral("Length %1").arg(n));
    keyGrid->addWidget(radio, 3, 1 + n * 2, 1, 2);
  }
  auto* kb = Named(new QPushButton(QStringLiteral("KB"), keyGroup), kKeyboard);
  kb->setCheckable(true);
  kb->setFocusPolicy(Qt::NoFocus);
  keyGrid->addWidget(kb, 3, 10, 1, 2);
  top->addWidget(keyGroup, 4, 0, 1, 4);

  auto* buttons = new QDialogButtonBox(this);
  Named(buttons->addButton(QStringLiteral("&OK"), QDialogButtonBox::AcceptRole), 1);
  Named(buttons->addButton(QStringLiteral("&Cancel"), QDialogButtonBox::RejectRole), 2);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  top->addWidget(buttons, 5, 0, 1, 4);

  // Switching voices stores the current one first. The spin writes its number into the edit.
  connect(spin, &QSpinBox::valueChanged, number, [number](int v) { number->setText(QString::number(v)); });
  connect(number, &QLineEdit::textChanged, this, [this, spin](const QString& text) {
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    if (!ok || v < 0 || v > 127) return;
    {
      const QSignalBlocker block(spin);
      spin->setValue(v);
    }
    if (g_showing || m_slot >= 0 || v == m_program) return;
    SwitchVoice(v, m_bank);
  });
  connect(bank, &QComboBox::currentIndexChanged, this, [this](int b) {
    if (g_showing || m_slot >= 0 || b < 0) return;
    SwitchVoice(m_program, b);
    FillProgramList();
  });
  connect(list, &QComboBox::activated, this, [this, list](int row) {
    if (g_showing || m_slot >= 0) return;
    bool ok = false;
    const int v = list->GetText(row, 0).value_or(QString()).toInt(&ok);
    if (ok) SwitchVoice(v, m_bank);
  });
}

void CVoiceEditDlg::SwitchVoice(int program, int bank) {
  StoreVoice();
  ShowVoice(program, bank);
}

void CVoiceEditDlg::FillProgramList() {
  auto* list = Control<COwnerDrawCombo>(kProgramList);
  const QSignalBlocker block(list);
  list->ResetContent();
  CVoiceTable1& table = GetVoiceTable(m_bank & 1);
  for (int p = 0; p < 128; ++p) {
    // A 16-character name has no terminating zero.
    const auto* name = reinterpret_cast<const char*>(table.GetEntry(m_slot >= 0 ? Entry() : p));
    list->AddRow({QString::number(p), QString::fromLatin1(name, static_cast<int>(strnlen(name, 16)))});
  }
  list->setCurrentIndex(m_program & 0x7F);
}

CVoiceTable1& CVoiceEditDlg::GetVoiceTable(int bank) {
  if (m_slot >= 0) return m_work;
  return Library()->GetGen1VoiceTable(bank);
}

int CVoiceEditDlg::Entry() const {
  const CVoiceLibrary* library = Library();
  return (library ? library->GetBankBaseIndex(m_bank) : 0) + m_program;
}

int CVoiceEditDlg::OnInitDialog() {
  m_built = true;
  Control<QRadioButton>(kFirstLengthRadio)->setChecked(true);
  m_octave = 1;
  if (!m_app || !m_app->HasBoardLink()) {
    for (int k = 0; k < 36; ++k) Control<QPushButton>(gen1keys::ButtonOfKey(k))->setEnabled(false);
  }
  CKZ1Doc* doc = platform::registry().document;
  if (m_slot >= 0 && doc) {
    m_bank = doc->GetVoiceBankMsb(m_slot);
    m_program = doc->GetVoiceProgram(m_slot);
    for (int id : {static_cast<int>(kVoiceNo), static_cast<int>(kVoiceSpin), static_cast<int>(kBank),
                   static_cast<int>(kProgramList)}) {
      Control<QWidget>(id)->setEnabled(false);
    }
    Control<QWidget>(kProgramList)->setVisible(false);
    Control<QWidget>(kBank)->setVisible(false);
    auto* slotNo = Control<QLineEdit>(kSlotNo);
    slotNo->setText(QString::number(m_slot + 1));
    slotNo->setVisible(true);
  }
  ShowVoice(m_program & 0x7F, m_bank);
  FillProgramList();
  if (m_app && m_app->GetMainFrame()) m_app->GetMainFrame()->SendCommand(kStopCommand);
  UpdateKeys();
  return 1;
}

void CVoiceEditDlg::ShowVoice(int program, int bank) {
  if (g_showing) return;
  g_showing = true;
  m_program = program & 0x7F;
  m_bank = bank;
  Control<QLineEdit>(kVoiceNo)->setText(QString::number(m_program));
  Control<QComboBox>(kBank)->setCurrentIndex(m_bank & 1);
  auto* list = Control<QComboBox>(kProgramList);
  if (list->count() > m_program) list->setCurrentIndex(m_program);
  CKZ1Doc* doc = platform::registry().document;
  if (m_slot >= 0 && doc) {
    uint8_t voice[33];
    doc->GetKZ1Voice(m_slot, voice);
    m_work.SetEntry(Entry(), voice);
  }
  ShowFields(Gen1VoiceFields::Read(GetVoiceTable(m_bank & 1), Entry()));
  EnableEditing(m_slot >= 0 || (m_bank & 1) != 0);
  g_showing = false;
}

void CVoiceEditDlg::ShowFields(const Gen1VoiceFields& f) {
  Control<QLineEdit>(kName)->setText(QString::fromLatin1(f.name.c_str()));
  for (int which = 0; which < 2; ++which) {
    const Gen1Operator& op = f.op[which];
    const int* checks = which ? kCarChecks : kModChecks;
    const int flags[4] = {op.vib, op.egt, op.sus, op.wave};
    for (int i = 0; i < 4; ++i) Control<QCheckBox>(checks[i])->setChecked(flags[i] != 0);
    const int values[6] = {op.ar, op.dr, op.rr, op.sl, op.tl, op.fl};
    const int* sliders = which ? kCarSliders : kModSliders;
    for (int i = 0; i < (which ? 5 : 6); ++i) Control<QSlider>(sliders[i])->setValue(values[i]);
  }
  for (int r = 0; r < 4; ++r) {
    Control<QCheckBox>(kFirstRangeBox + r)->setChecked(f.rangeOn[r] != 0);
    Control<QSlider>(kFirstMSlider + r)->setValue(f.m[r]);
    Control<QSlider>(kFirstCSlider + r)->setValue(f.c[r]);
  }
  if (f.basic >= 0) Control<QRadioButton>(kFirstBasicRadio + f.basic)->setChecked(true);
  UpdateTexts();
}

Gen1VoiceFields CVoiceEditDlg::FieldsFromControls() const {
  Gen1VoiceFields f;
  f.name = Control<QLineEdit>(kName)->text().toLatin1().toStdString();
  for (int which = 0; which < 2; ++which) {
    Gen1Operator& op = f.op[which];
    const int* checks = which ? kCarChecks : kModChecks;
    op.vib = Control<QCheckBox>(checks[0])->isChecked();
    op.egt = Control<QCheckBox>(checks[1])->isChecked();
    op.sus = Control<QCheckBox>(checks[2])->isChecked();
    op.wave = Control<QCheckBox>(checks[3])->isChecked();
    const int* sliders = which ? kCarSliders : kModSliders;
    op.ar = Control<QSlider>(sliders[0])->value();
    op.dr = Control<QSlider>(sliders[1])->value();
    op.rr = Control<QSlider>(sliders[2])->value();
    op.sl = Control<QSlider>(sliders[3])->value();
    op.tl = Control<QSlider>(sliders[4])->value();
    // The carrier keeps the FL it has.
    op.fl = which == 0 ? Control<QSlider>(sliders[5])->value() : -1;
  }
  for (int r = 0; r < 4; ++r) {
    f.rangeOn[r] = Control<QCheckBox>(kFirstRangeBox + r)->isChecked();
    f.m[r] = Control<QSlider>(kFirstMSlider + r)->value();
    f.c[r] = Control<QSlider>(kFirstCSlider + r)->value();
    if (Control<QRadioButton>(kFirstBasicRadio + r)->isChecked()) f.basic = r;
  }
  return f;
}

void CVoiceEditDlg::StoreVoice() {
  if (m_slot < 0 && (m_bank & 1) != 1) return;
  if (m_slot >= 0 && m_bank == 0) m_bank = 1;
  CVoiceTable1& table = GetVoiceTable(m_bank & 1);
  const int entry = Entry();
  Gen1VoiceFields f = FieldsFromControls();
  if (f.op[1].fl < 0) f.op[1].fl = table.GetFL(entry, 1);
  f.Write(table, entry);
  CKZ1Doc* doc = platform::registry().document;
  if (m_slot >= 0 && doc) doc->SetKZ1Voice(m_slot, table.GetEntry(entry));
}

void CVoiceEditDlg::UpdateTexts() {
  for (int which = 0; which < 2; ++which) {
    const int* sliders = which ? kCarSliders : kModSliders;
    const int texts[2][6] = {{2047, 2048, 2054, 2055, 2056, 2049}, {2038, 2039, 2044, 2045, 2046, 0}};
    for (int i = 0; i < (which ? 5 : 6); ++i) {
      const int v = Control<QSlider>(sliders[i])->value();
      const std::string text = i == 0   ? gen1text::AttackRate(v)
                               : i < 3  ? gen1text::DecayRate(v)
                               : i == 3 ? gen1text::SustainLevel(v)
                               : i == 4 ? gen1text::TotalLevel(v)
                                        : gen1text::FeedbackLevel(v);
      Control<QLabel>(texts[which][i])->setText(QString::fromStdString(text));
    }
  }
  for (int r = 0; r < 4; ++r) {
    Control<QLabel>(2050 + r)->setText(QString::fromStdString(gen1text::Multiple(Control<QSlider>(kFirstMSlider + r)->value())));
    Control<QLabel>(2040 + r)->setText(QString::fromStdString(gen1text::Multiple(Control<QSlider>(kFirstCSlider + r)->value())));
  }
}

void CVoiceEditDlg::EnableEditing(bool enable) {
  Control<QWidget>(1)->setEnabled(enable);
  Control<QWidget>(kName)->setEnabled(enable);
  for (int id : kModChecks) Control<QWidget>(id)->setEnabled(enable);
  for (int id : kCarChecks) Control<QWidget>(id)->setEnabled(enable);
  for (int id : kModSliders) Control<QWidget>(id)->setEnabled(enable);
  for (int id : kCarSliders) Control<QWidget>(id)->setEnabled(enable);
  for (int r = 0; r < 4; ++r) {
    for (int id : {kFirstRangeBox + r, kFirstMSlider + r, kFirstCSlider + r, kFirstBasicRadio + r}) {
      Control<QWidget>(id)->setEnabled(enable);
    }
  }
}

void CVoiceEditDlg::UpdateKeys() {
  if (!m_app || !m_app->HasBoardLink()) return;
  bool any = false;
  for (int r = 0; r < 4; ++r) any = any || Control<QCheckBox>(kFirstRangeBox + r)->isChecked();
  Control<QWidget>(1)->setEnabled(any);
  for (int k = 0; k < 36; ++k) Control<QWidget>(gen1keys::ButtonOfKey(k))->setEnabled(any);
}

void CVoiceEditDlg::PlayKey(int key) {
  StoreVoice();
  if (key < 0 || key > 35) return;
  const Gen1TestKey sound = gen1keys::Sound(key);
  int length = 4;
  for (int n = 0; n < 4; ++n) {
    if (Control<QRadioButton>(kFirstLengthRadio + n)->isChecked()) length = n;
  }
  uint8_t words[8];
  std::memcpy(words, GetVoiceTable(m_bank & 1).GetEntry(Entry()) + 20, sizeof words);
  if (!m_app) return;
  m_app->ResetBoardLink();
  m_app->SendBoardSetup(sound.group, words, sound.keyCode, length);
}

void CVoiceEditDlg::keyPressEvent(QKeyEvent* event) {
  const QString text = event->text();
  if (Control<QPushButton>(kKeyboard)->isChecked() && text.size() == 1 && text[0].isLetter()) {
    const int key = gen1keys::KeyOfLetter(text[0].toLatin1(), m_octave);
    if (key == gen1keys::kOctaveMoved) return;
    if (key != gen1keys::kPassOn) {
      if (key >= 0 && key <= 35 && Control<QWidget>(gen1keys::ButtonOfKey(key))->isEnabled()) PlayKey(key);
      return;
    }
  }
  QDialog::keyPressEvent(event);
}

void CVoiceEditDlg::accept() {
  HostMessagePresenter presenter;
  ui::DataExchange dx(this, ui::DataExchange::Direction::FromControls, presenter);
  int number = 0;
  dx.IntValue(kVoiceNo, number);
  dx.MinMaxInt(kVoiceNo, number, 0, 127);
  if (!dx.Ok()) return;
  StoreVoice();
  QDialog::accept();
  platform::ui().UpdateVoiceWindows();
}

int CVoiceEditDlg::DoModal() {
  if (!m_built) OnInitDialog();
  return exec() == QDialog::Accepted ? 1 : 2;
}

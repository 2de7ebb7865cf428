#include "voice/ui/VoiceEditDlgKZ2.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QTabBar>
#include <utility>

#include "platform/host/HostServices.h"
#include "song/VoiceLibrary.h"
#include "song/document/KZ1Doc.h"
#include "uikit/DataExchange.h"
#include "uikit/DialogUnits.h"
#include "uikit/PictureStore.h"
#include "uikit/UpDownControl.h"
#include "voice/ui/VoiceEditPictures.h"

namespace {

constexpr const char* kBoNames[4] = {"C#1-C4", "C#2-C5", "C#3-C6", "C#4-C7"};
constexpr int kPictureWidth = 96;
constexpr int kPictureHeight = 44;

template <typename T>
T* Named(T* w, int id) {
  w->setObjectName(ui::ControlName(id));
  return w;
}

/// Which operators feed which under each picture: for each operator the one it modulates
/// (0 = it sounds).
struct AlgorithmShape {
  int count;
  int feeds[4];
};
constexpr AlgorithmShape kShapes[6] = {
    {2, {2, 0}},        // 2-Op ALG 0: 1 modulates 2
    {2, {0, 0}},        // 2-Op ALG 1: both sound
    {4, {2, 3, 4, 0}},  // 4-Op ALG 0: a chain
    {4, {2, 0, 4, 0}},  // 4-Op ALG 1: two pairs
    {4, {0, 3, 4, 0}},  // 4-Op ALG 2: one alone, a chain of three
    {4, {0, 3, 0, 0}},  // 4-Op ALG 3: one pair, two alone
};

void PaintAlgorithm(QPainter& p, const QSize& size, const AlgorithmShape& shape) {
  p.fillRect(QRect(QPoint(0, 0), size), QColor(240, 240, 240));
  const int box = 16;
  const int gap = (size.width() - shape.count * box) / (shape.count + 1);
  const int top = size.height() - box - 8;
  auto rectOf = [&](int k) { return QRect(gap + k * (box + gap), top, box, box); };
  p.setPen(Qt::black);
  // Operator 1 feeds itself back.
  const QRect first = rectOf(0);
  p.drawLine(first.center().x(), first.top(), first.center().x(), first.top() - 5);
  p.drawLine(first.center().x(), first.top() - 5, first.right() + 4, first.top() - 5);
  p.drawLine(first.right() + 4, first.top() - 5, first.right() + 4, first.center().y());
  for (int k = 0; k < shape.count; ++k) {
    const QRect r = rectOf(k);
    if (shape.feeds[k] > 0) {
      const QRect to = rectOf(shape.feeds[k] - 1);
      p.drawLine(r.right() + 1, r.center().y(), to.left() - 1, to.center().y());
    } else {
      p.drawLine(r.center().x(), r.bottom() + 1, r.center().x(), size.height() - 3);
    }
  }
  p.drawLine(rectOf(0).center().x(), size.height() - 3, rectOf(shape.count - 1).center().x(), size.height() - 3);
  for (int k = 0; k < shape.count; ++k) {
    const QRect r = rectOf(k);
    p.setBrush(Qt::white);
    p.drawRect(r);
    p.drawText(r, Qt::AlignCenter, QString::number(k + 1));
  }
}

void RegisterPictures() {
  voiceedit::RegisterVoiceEditPictures();  // the wave shapes 1266..
  ui::PictureStore& store = ui::PictureStore::Instance();
  for (int i = 0; i < 6; ++i) {
    const int id = 1260 + i;
    if (store.Has(id)) continue;
    const AlgorithmShape shape = kShapes[i];
    store.Register(id, QSize(kPictureWidth, kPictureHeight),
                   [shape](QPainter& p, const QSize& s) { PaintAlgorithm(p, s, shape); });
  }
}

/// The operator sliders with their value texts, in the order of Gen2Operator.
struct OperatorSlider {
  int slider;
  int text;
  const char* label;
  int max;
  int Gen2Operator::*field;
  std::string (*show)(int);
};
const OperatorSlider kOperatorSliders[10] = {
    {CVoiceEditDlgKZ2::kMulti, CVoiceEditDlgKZ2::kMultiText, "MULTI", 15, &Gen2Operator::multi, gen2text::Multiple},
    {CVoiceEditDlgKZ2::kRr, CVoiceEditDlgKZ2::kRrText, "RR", 15, &Gen2Operator::rr, gen2text::DecayRate},
    {CVoiceEditDlgKZ2::kDr, CVoiceEditDlgKZ2::kDrText, "DR", 15, &Gen2Operator::dr, gen2text::DecayRate},
    {CVoiceEditDlgKZ2::kAr, CVoiceEditDlgKZ2::kArText, "AR", 15, &Gen2Operator::ar, gen2text::AttackRate},
    {CVoiceEditDlgKZ2::kSl, CVoiceEditDlgKZ2::kSlText, "SL", 15, &Gen2Operator::sl, gen2text::SustainLevel},
    {CVoiceEditDlgKZ2::kTl, CVoiceEditDlgKZ2::kTlText, "TL", 63, &Gen2Operator::tl, gen2text::TotalLevel},
    {CVoiceEditDlgKZ2::kKsl, CVoiceEditDlgKZ2::kKslText, "KSL", 3, &Gen2Operator::ksl, gen2text::KeyScaleLevel},
    {CVoiceEditDlgKZ2::kDvb, CVoiceEditDlgKZ2::kDvbText, "DVB", 3, &Gen2Operator::dvb, gen2text::VibratoDepth},
    {CVoiceEditDlgKZ2::kDam, CVoiceEditDlgKZ2::kDamText, "DAM", 3, &Gen2Operator::dam, gen2text::AmDepth},
    {CVoiceEditDlgKZ2::kWs, CVoiceEditDlgKZ2::kWsText, "WS", 7, &Gen2Operator::ws, gen2text::WaveShape},
};

struct OperatorCheck {
  int id;
  const char* label;
  int Gen2Operator::*field;
};
const OperatorCheck kOperatorChecks[5] = {
    {CVoiceEditDlgKZ2::kVib, "VIB", &Gen2Operator::vib}, {CVoiceEditDlgKZ2::kEgt, "EGT", &Gen2Operator::egt},
    {CVoiceEditDlgKZ2::kSus, "SUS", &Gen2Operator::sus}, {CVoiceEditDlgKZ2::kKsr, "KSR", &Gen2Operator::ksr},
    {CVoiceEditDlgKZ2::kAm, "AM", &Gen2Operator::am},
};

/// Every control of the template, which a voice that may not be edited greys.
constexpr int kAllControls[] = {
    CVoiceEditDlgKZ2::kBank,    CVoiceEditDlgKZ2::kProgram,  CVoiceEditDlgKZ2::kVoiceNo,
    CVoiceEditDlgKZ2::kVoiceNoSpin, CVoiceEditDlgKZ2::kName, CVoiceEditDlgKZ2::kLfoText,
    CVoiceEditDlgKZ2::kLfo,     CVoiceEditDlgKZ2::kFbText,   CVoiceEditDlgKZ2::kFb,
    1475, 1476, 1477, 1478,
    CVoiceEditDlgKZ2::kTwoOp,   CVoiceEditDlgKZ2::kFourOp,   CVoiceEditDlgKZ2::kAlg,
    CVoiceEditDlgKZ2::kAlgPicture, CVoiceEditDlgKZ2::kTabs,  CVoiceEditDlgKZ2::kMultiText,
    CVoiceEditDlgKZ2::kMulti,   CVoiceEditDlgKZ2::kRrText,   CVoiceEditDlgKZ2::kRr,
    CVoiceEditDlgKZ2::kDrText,  CVoiceEditDlgKZ2::kDr,       CVoiceEditDlgKZ2::kArText,
    CVoiceEditDlgKZ2::kAr,      CVoiceEditDlgKZ2::kSlText,   CVoiceEditDlgKZ2::kSl,
    CVoiceEditDlgKZ2::kTlText,  CVoiceEditDlgKZ2::kTl,       CVoiceEditDlgKZ2::kKslText,
    CVoiceEditDlgKZ2::kKsl,     CVoiceEditDlgKZ2::kDvbText,  CVoiceEditDlgKZ2::kDvb,
    CVoiceEditDlgKZ2::kDamText, CVoiceEditDlgKZ2::kDam,      CVoiceEditDlgKZ2::kWsText,
    CVoiceEditDlgKZ2::kWs,      CVoiceEditDlgKZ2::kWsPicture, CVoiceEditDlgKZ2::kVib,
    CVoiceEditDlgKZ2::kEgt,     CVoiceEditDlgKZ2::kSus,      CVoiceEditDlgKZ2::kKsr,
    CVoiceEditDlgKZ2::kAm,      1,
};

QString OperatorTabText(int index) { return QStringLiteral("Operator%1").arg(index + 1); }

}  // namespace

CVoiceEditDlgKZ2::CVoiceEditDlgKZ2(QWidget* parent, CVoiceLibrary* library) : QDialog(parent), m_library(library) {
  setObjectName(QStringLiteral("CVoiceEditDlgKZ2"));
  setWindowTitle(QStringLiteral("Voice Edit"));
  RegisterPictures();
  Build();
  // The template is 335 x 231 dialog units of the dialog's font, or more when its texts need it.
  setMinimumSize(ui::DialogUnits(this).Size(335, 231).expandedTo(minimumSizeHint()));
  m_model.InitLibrary(-1, -1, true, nullptr);
}

CVoiceLibrary* CVoiceEditDlgKZ2::Library() const { return m_library ? m_library : platform::registry().voiceLibrary; }

CKZ1Doc* CVoiceEditDlgKZ2::Document() { return platform::registry().document; }

QSlider* CVoiceEditDlgKZ2::AddSlider(QGridLayout* grid, int row, int column, int id, int textId, const char* label,
                                     int hi) {
  grid->addWidget(new QLabel(QString::fromLatin1(label), grid->parentWidget()), row, column);
  auto* slider = Named(new QSlider(Qt::Horizontal, grid->parentWidget()), id);
  slider->setRange(0, hi);
  slider->setMinimumWidth(90);
  grid->addWidget(slider, row, column + 1);
  auto* text = Named(new QLineEdit(grid->parentWidget()), textId);
  text->setReadOnly(true);
  text->setFocusPolicy(Qt::NoFocus);
  text->setFixedWidth(70);
  grid->addWidget(text, row, column + 2);
  connect(slider, &QSlider::valueChanged, this, [this] { OnSliderMoved(); });
  return slider;
}

void CVoiceEditDlgKZ2::Build() {
  auto* top = new QGridLayout(this);

  // The voice's address, number and name.
  auto* head = new QGridLayout();
  head->addWidget(new QLabel(QStringLiteral("Bank Select No."), this), 0, 0);
  head->addWidget(Named(new QLineEdit(this), kBank), 0, 1);
  head->addWidget(new QLabel(QStringLiteral("Program Change No."), this), 0, 2);
  head->addWidget(Named(new QLineEdit(this), kProgram), 0, 3);
  head->addWidget(new QLabel(QStringLiteral("Voice No."), this), 0, 4);
  auto* number = Named(new QLineEdit(this), kVoiceNo);
  head->addWidget(number, 0, 5);
  auto* spin = Named(new ui::UpDownControl(this), kVoiceNoSpin);
  // The range OK accepts: voice numbers are shown from 1.
  spin->setRange(1, 16);
  spin->setFixedWidth(spin->sizeHint().height());
  head->addWidget(spin, 0, 6);
  connect(spin, &QSpinBox::valueChanged, number, [number](int v) { number->setText(QString::number(v)); });
  connect(number, &QLineEdit::textChanged, spin, [spin](const QString& text) {
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    const QSignalBlocker block(spin);
    if (ok) spin->setValue(v);
  });
  head->addWidget(new QLabel(QStringLiteral("Voice Name"), this), 1, 0);
  auto* name = Named(new QLineEdit(this), kName);
  name->setMaxLength(CVoice2::kNameSize);
  head->addWidget(name, 1, 1, 1, 6);
  top->addLayout(head, 0, 0, 1, 3);

  // Voice-wide values.
  auto* common = new QGroupBox(this);
  auto* commonGrid = new QGridLayout(common);
  AddSlider(commonGrid, 0, 0, kLfo, kLfoText, "LFO", 3);
  AddSlider(commonGrid, 1, 0, kFb, kFbText, "FB", 7);
  top->addWidget(common, 1, 0);

  auto* bo = new QGroupBox(QStringLiteral("BO"), this);
  auto* boGrid = new QGridLayout(bo);
  auto* boGroup = new QButtonGroup(this);
  for (int i = 0; i < 4; ++i) {
    auto* radio = Named(new QRadioButton(QString::fromLatin1(kBoNames[i]), bo), kFirstBo + i);
    boGroup->addButton(radio, i);
    boGrid->addWidget(radio, i / 2, i % 2);
  }
  top->addWidget(bo, 1, 1);

  auto* alg = new QGroupBox(QStringLiteral("ALG"), this);
  auto* algGrid = new QGridLayout(alg);
  auto* countGroup = new QButtonGroup(this);
  auto* two = Named(new QRadioButton(QStringLiteral("2-Op"), alg), kTwoOp);
  auto* four = Named(new QRadioButton(QStringLiteral("4-Op"), alg), kFourOp);
  countGroup->addButton(two, 2);
  countGroup->addButton(four, 4);
  algGrid->addWidget(two, 0, 0);
  algGrid->addWidget(four, 1, 0);
  auto* algSlider = Named(new QSlider(Qt::Horizontal, alg), kAlg);
  algSlider->setRange(0, 1);
  algGrid->addWidget(algSlider, 2, 0);
  connect(algSlider, &QSlider::valueChanged, this, [this] { OnSliderMoved(); });
  auto* algPicture = Named(new QLabel(alg), kAlgPicture);
  algPicture->setFixedSize(kPictureWidth, kPictureHeight);
  algGrid->addWidget(algPicture, 0, 1, 3, 1);
  connect(two, &QRadioButton::clicked, this, [this] { OnOperatorCount(2); });
  connect(four, &QRadioButton::clicked, this, [this] { OnOperatorCount(4); });
  top->addWidget(alg, 1, 2);

  // One operator at a time, chosen by the tab strip.
  m_tabs = Named(new QTabBar(this), kTabs);
  m_tabs->setExpanding(false);
  connect(m_tabs, &QTabBar::currentChanged, this, [this](int index) { OnTabChanged(index); });
  top->addWidget(m_tabs, 2, 0, 1, 3);
  top->addWidget(BuildOperator(), 3, 0, 1, 3);

  auto* buttons = new QDialogButtonBox(this);
  auto* ok = Named(buttons->addButton(QStringLiteral("&OK"), QDialogButtonBox::AcceptRole), 1);
  ok->setDefault(true);
  Named(buttons->addButton(QStringLiteral("&Cancel"), QDialogButtonBox::RejectRole), 2);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  top->addWidget(buttons, 4, 0, 1, 3);
}

QWidget* CVoiceEditDlgKZ2::BuildOperator() {
  auto* box = new QGroupBox(this);
  auto* grid = new QGridLayout(box);
  for (int i = 0; i < 10; ++i) {
    const OperatorSlider& s = kOperatorSliders[i];
    AddSlider(grid, i % 5, (i / 5) * 3, s.slider, s.text, s.label, s.max);
  }
  auto* wave = Named(new QLabel(box), kWsPicture);
  wave->setFixedSize(kPictureWidth, kPictureHeight);
  grid->addWidget(wave, 0, 6, 2, 1);
  for (int i = 0; i < 5; ++i) {
    grid->addWidget(Named(new QCheckBox(QString::fromLatin1(kOperatorChecks[i].label), box), kOperatorChecks[i].id),
                    2 + i % 3, 6 + i / 3);
  }
  return box;
}

void CVoiceEditDlgKZ2::Init(int slot) { m_model.InitSlot(slot, Document()); }

void CVoiceEditDlgKZ2::InitFromLibrary(int bank, int program, int editable) {
  m_model.InitLibrary(bank, program, editable != 0, Library());
}

int CVoiceEditDlgKZ2::CurrentOperator() const { return m_shownTab + 1; }

int CVoiceEditDlgKZ2::OnInitDialog() {
  m_built = true;
  Control<QSlider>(kLfo)->setRange(0, 3);
  Control<QSlider>(kFb)->setRange(0, 7);
  Control<QSpinBox>(kVoiceNoSpin)->setRange(1, 16);
  SetTabCount(m_model.Work().GetOperatorCount());
  {
    const QSignalBlocker block(m_tabs);
    m_tabs->setCurrentIndex(0);
  }
  m_shownTab = 0;
  if (m_model.GetSource() == CGen2VoiceEdit::kSlot) {
    Control<QWidget>(kVoiceNo)->setEnabled(false);
    Control<QWidget>(kVoiceNoSpin)->setEnabled(false);
  }
  if (!m_model.IsEditable()) GreyAll();
  ExchangeOperator(0);
  connect(Control<QLineEdit>(kBank), &QLineEdit::textChanged, this, [this] { OnBankTyped(); });
  OnBankTyped();
  return 1;
}

void CVoiceEditDlgKZ2::OnBankTyped() {
  if (m_model.GetSource() != CGen2VoiceEdit::kLibrary || !m_model.IsEditable()) return;
  bool ok = false;
  const int bank = Control<QLineEdit>(kBank)->text().trimmed().toInt(&ok);
  Control<QWidget>(1)->setEnabled(!(ok && gen2::IsFixedBank(bank)));
}

void CVoiceEditDlgKZ2::GreyAll() {
  for (int id : kAllControls) {
    if (QWidget* w = Control<QWidget>(id)) w->setEnabled(false);
  }
}

void CVoiceEditDlgKZ2::SetTabCount(int count) {
  const QSignalBlocker block(m_tabs);
  while (m_tabs->count() > count) m_tabs->removeTab(m_tabs->count() - 1);
  while (m_tabs->count() < count) m_tabs->addTab(OperatorTabText(m_tabs->count()));
}

void CVoiceEditDlgKZ2::ShowFields(const Gen2VoiceFields& f) {
  m_showing = true;
  Control<QLineEdit>(kBank)->setText(QString::number(f.bank));
  Control<QLineEdit>(kProgram)->setText(QString::number(f.program));
  Control<QLineEdit>(kVoiceNo)->setText(QString::number(f.voiceNo));
  Control<QLineEdit>(kName)->setText(QString::fromLatin1(f.name.c_str()));
  Control<QSlider>(kLfo)->setValue(f.lfo);
  Control<QSlider>(kFb)->setValue(f.fb);
  Control<QRadioButton>(kFirstBo + (f.bo & 3))->setChecked(true);
  Control<QRadioButton>(f.operatorCount == 4 ? kFourOp : kTwoOp)->setChecked(true);
  auto* alg = Control<QSlider>(kAlg);
  alg->setRange(0, gen2::AlgMax(f.operatorCount));
  alg->setValue(f.alg);
  for (const OperatorSlider& s : kOperatorSliders) Control<QSlider>(s.slider)->setValue(f.op.*s.field);
  for (const OperatorCheck& c : kOperatorChecks) Control<QCheckBox>(c.id)->setChecked(f.op.*c.field != 0);
  m_showing = false;
}

Gen2VoiceFields CVoiceEditDlgKZ2::FieldsFromControls(ui::DataExchange& dx) const {
  Gen2VoiceFields f;
  dx.IntValue(kBank, f.bank);
  dx.MinMaxInt(kBank, f.bank, 0, 255);
  dx.IntValue(kProgram, f.program);
  dx.MinMaxInt(kProgram, f.program, 0, 127);
  dx.IntValue(kVoiceNo, f.voiceNo);
  dx.MinMaxInt(kVoiceNo, f.voiceNo, 1, 16);
  f.name = Control<QLineEdit>(kName)->text().left(CVoice2::kNameSize).toLatin1().toStdString();
  f.lfo = Control<QSlider>(kLfo)->value();
  f.fb = Control<QSlider>(kFb)->value();
  f.bo = 0;
  for (int i = 0; i < 4; ++i) {
    if (Control<QRadioButton>(kFirstBo + i)->isChecked()) f.bo = i;
  }
  f.operatorCount = Control<QRadioButton>(kFourOp)->isChecked() ? 4 : 2;
  f.alg = Control<QSlider>(kAlg)->value();
  for (const OperatorSlider& s : kOperatorSliders) f.op.*s.field = Control<QSlider>(s.slider)->value();
  for (const OperatorCheck& c : kOperatorChecks) f.op.*c.field = Control<QCheckBox>(c.id)->isChecked() ? 1 : 0;
  return f;
}

int CVoiceEditDlgKZ2::ExchangeOperator(int save) {
  if (!save) {
    ShowFields(m_model.Show(CurrentOperator()));
    UpdateTexts();
    return 1;
  }
  ui::DataExchange dx(this, ui::DataExchange::Direction::FromControls, m_presenter);
  const Gen2VoiceFields f = FieldsFromControls(dx);
  UpdateTexts();
  if (!dx.Ok()) return 0;
  m_model.Store(f, CurrentOperator());
  return 1;
}

void CVoiceEditDlgKZ2::UpdateTexts() {
  auto text = [this](int id, const std::string& value) { Control<QLineEdit>(id)->setText(QString::fromStdString(value)); };
  text(kLfoText, gen2text::Lfo(Control<QSlider>(kLfo)->value()));
  text(kFbText, gen2text::Feedback(Control<QSlider>(kFb)->value()));
  for (const OperatorSlider& s : kOperatorSliders) text(s.text, s.show(Control<QSlider>(s.slider)->value()));
  const int count = Control<QRadioButton>(kFourOp)->isChecked() ? 4 : 2;
  const ui::PictureStore& store = ui::PictureStore::Instance();
  Control<QLabel>(kAlgPicture)->setPixmap(store.Pixmap(gen2::AlgorithmPictureId(count, Control<QSlider>(kAlg)->value())));
  Control<QLabel>(kWsPicture)->setPixmap(store.Pixmap(gen2::WaveShapePictureId(Control<QSlider>(kWs)->value())));
}

bool CVoiceEditDlgKZ2::NumbersValid() const {
  const std::pair<int, int> ranges[3] = {{0, 255}, {0, 127}, {1, 16}};
  const int ids[3] = {kBank, kProgram, kVoiceNo};
  for (int i = 0; i < 3; ++i) {
    bool ok = false;
    const int v = Control<QLineEdit>(ids[i])->text().trimmed().toInt(&ok);
    if (!ok || v < ranges[i].first || v > ranges[i].second) return false;
  }
  return true;
}

void CVoiceEditDlgKZ2::OnSliderMoved() {
  if (m_showing) return;
  // A drag sends many moves: a refused number is told once, on OK or a tab change.
  if (!NumbersValid()) {
    UpdateTexts();
    return;
  }
  ExchangeOperator(1);
}

void CVoiceEditDlgKZ2::OnTabChanged(int index) {
  if (index < 0 || index == m_shownTab) return;
  // The operator being left is stored first; a refused value keeps its tab.
  if (!ExchangeOperator(1)) {
    const QSignalBlocker block(m_tabs);
    m_tabs->setCurrentIndex(m_shownTab);
    return;
  }
  m_shownTab = index;
  ExchangeOperator(0);
}

void CVoiceEditDlgKZ2::OnOperatorCount(int count) {
  auto* alg = Control<QSlider>(kAlg);
  m_showing = true;
  alg->setRange(0, gen2::AlgMax(count));
  m_showing = false;
  if (!ExchangeOperator(1)) {
    // A refused number keeps the operator count, its tabs and ALG as they were.
    const CVoice2& work = m_model.Work();
    m_showing = true;
    Control<QRadioButton>(work.GetOperatorCount() == 4 ? kFourOp : kTwoOp)->setChecked(true);
    alg->setRange(0, gen2::AlgMax(work.GetOperatorCount()));
    alg->setValue(work.GetAlgorithm() & 3);
    m_showing = false;
    UpdateTexts();
    return;
  }
  if (m_model.GetSource() == CGen2VoiceEdit::kSlot) Control<QWidget>(1)->setEnabled(m_model.SongAccepts(Document()));
  const int tab = gen2::TabForOperatorCount(m_tabs->currentIndex(), count);
  if (tab != m_tabs->currentIndex()) m_tabs->setCurrentIndex(tab);
  SetTabCount(count);
  UpdateTexts();
  m_tabs->update();
}

void CVoiceEditDlgKZ2::accept() {
  if (!Control<QWidget>(1)->isEnabled()) return;
  if (!ExchangeOperator(1)) return;
  m_model.Commit(Document(), Library());
  QDialog::accept();
}

int CVoiceEditDlgKZ2::DoModal() {
  if (!m_built) OnInitDialog();
  return exec() == QDialog::Accepted ? 1 : 2;
}

int OpenGen2LibraryVoiceDialog(QWidget* parent, CVoiceLibrary& library, int bank, int program) {
  CVoiceEditDlgKZ2 dialog(parent, &library);
  dialog.InitFromLibrary(bank, program, gen2::IsFixedBank(bank) ? 0 : 1);
  return dialog.DoModal() == 1 ? 1 : 0;
}

int OpenGen2SlotVoiceDialog(QWidget* parent, int slot) {
  CVoiceEditDlgKZ2 dialog(parent);
  dialog.Init(slot);
  return dialog.DoModal() == 1 ? 1 : 0;
}

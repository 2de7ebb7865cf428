#include "app/ui/FileDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <map>

#include "platform/host/HostServices.h"
#include "uikit/TemplateBuilder.h"
#include "uikit/UiText.h"
#include "uikit/UpDownControl.h"

namespace {

using ui::ControlKind;
using ui::ControlSpec;
using ui::DialogTemplate;

DialogTemplate Smf2024() {
  DialogTemplate t{CSMFLoadDlg::kTemplateId, nullptr, {}};
  t.controls.push_back({0, ControlKind::Group, "T2024.group", 0, 0, false, 3, 18});
  t.controls.push_back({0, ControlKind::Label, "T2024.ch", 2, 0});
  // The channel labels stand above their boxes.
  static const char* const kLabels[16] = {"T2024.c1",  "T2024.c2",  "T2024.c3",  "T2024.c4",
                                          "T2024.c5",  "T2024.c6",  "T2024.c7",  "T2024.c8",
                                          "T2024.c9",  "T2024.c10", "T2024.c11", "T2024.c12",
                                          "T2024.c13", "T2024.c14", "T2024.c15", "T2024.c16"};
  for (int n = 0; n < 16; ++n) {
    t.controls.push_back({0, ControlKind::Label, kLabels[n], 1, n + 1});
    t.controls.push_back({CSMFLoadDlg::kFirstChannelBox + n, ControlKind::Check, nullptr, 2, n + 1});
  }
  t.controls.push_back({CSMFLoadDlg::kTimeBaseLabel, ControlKind::Label, "T2024.c1904", 3, 0, false, 1, 4});
  t.controls.push_back({CSMFLoadDlg::kTimeBaseCombo, ControlKind::Combo, nullptr, 3, 4, false, 1, 4});
  return t;
}

const std::map<int, DialogTemplate>& Templates() {
  static const std::map<int, DialogTemplate> templates = {
      {2024, Smf2024()},
      {2010, {2010, nullptr,
              {{CFileDialogPlusComment::kCommentEdit, ControlKind::Edit, nullptr, 0, 0, false, 1, 3},
               {CFileDialogPlusComment::kOptionBox, ControlKind::Check, "T2010.c1457", 1, 0, true}}}},
      {2012, {2012, nullptr,
              {{0, ControlKind::Group, "T2012.group", 0, 0, false, 2, 3},
               {0, ControlKind::Label, "T2012.tempo", 1, 0},
               {CKZ1LoadDlg::kTempoCombo, ControlKind::Combo, nullptr, 1, 1}}}},
      {2023, {2023, nullptr,
              {{0, ControlKind::Group, "T2023.group", 0, 0, false, 3, 4},
               {CVELKLoadDlg::kCompressBox, ControlKind::Check, "T2023.c1458", 1, 0, false, 1, 2},
               {0, ControlKind::Label, "T2023.tempo", 2, 0},
               {CVELKLoadDlg::kTempoEdit, ControlKind::Edit, nullptr, 2, 1},
               {CVELKLoadDlg::kTempoUpDown, ControlKind::UpDown, nullptr, 2, 2}}}},
      {2011, {2011, nullptr,
              {{0, ControlKind::Group, "T2011.group", 0, 0, false, 3, 4},
               {0, ControlKind::Label, "T2011.timebase", 1, 0},
               {CKZxSaveKZ3VELKFileDlg::kTimeBaseCombo, ControlKind::Combo, nullptr, 1, 1},
               {CKZxSaveKZ3VELKFileDlg::kCompressBox, ControlKind::Check, "T2011.c1458", 2, 0},
               {CKZxSaveKZ3VELKFileDlg::kDvxBox, ControlKind::Check, "T2011.c2437", 2, 1}}}},
      {2025, {2025, nullptr,
              {{0, ControlKind::Group, "T2025.group", 0, 0, false, 2, 3},
               {CKZxSounfFileDlg::kAdpcmRadio, ControlKind::Radio, "T2025.c1905", 1, 0},
               {CKZxSounfFileDlg::kPcmRadio, ControlKind::Radio, "T2025.c1906", 1, 1}}}},
  };
  return templates;
}

QWidget* MakePanel(int templateId) {
  auto* panel = new QWidget();
  panel->setObjectName(QStringLiteral("panel%1").arg(templateId));
  const ui::DialogTemplate& tmpl = FilePanelTemplate(templateId);
  ui::TemplateBuilder::Build(panel, tmpl);
  // A group's title takes the first row of its panel alone.
  const bool grouped = !tmpl.controls.empty() && tmpl.controls.front().kind == ControlKind::Group;
  if (auto* grid = qobject_cast<QGridLayout*>(panel->layout()); grid && grouped) {
    grid->setRowMinimumHeight(0, panel->fontMetrics().height() + 4);
  }
  return panel;
}

}  // namespace

const ui::DialogTemplate& FilePanelTemplate(int id) {
  static const DialogTemplate none{};
  const auto& all = Templates();
  const auto it = all.find(id);
  return it == all.end() ? none : it->second;
}

CFileDialogBase::CFileDialogBase(const FileRequest& r, QWidget* parent, int panelTemplate)
    : ui::FileDialogWithPanel(parent, r.open, ui::Q(r.defaultExtension), ui::Q(r.fileName), r.flags,
                              ui::Q(r.filter)) {
  if (!r.folder.empty()) setDirectory(ui::Q(r.folder));
  if (!r.title.empty()) setWindowTitle(ui::Q(r.title));
  if (panelTemplate) SetPanel(MakePanel(panelTemplate));
}

QString CFileDialogBase::GetPathName() const {
  if (result() != QDialog::Accepted) return QString();
  const QStringList files = selectedFiles();
  return files.isEmpty() ? QString() : files.front();
}

// --- SMF import ---

CSMFLoadDlg::CSMFLoadDlg(const FileRequest& r, QWidget* parent)
    : CFileDialogBase(r, parent, kTemplateId), m_choice(r.chipMode) {
  for (int n = 0; n < SmfChannelChoice::kChannels; ++n) {
    QCheckBox* box = Control<QCheckBox>(kFirstChannelBox + n);
    connect(box, &QCheckBox::clicked, this, [this, n](bool ticked) { OnChannelClick(n, ticked); });
  }
  auto* combo = Control<QComboBox>(kTimeBaseCombo);
  for (int tb : SmfChannelChoice::kTimeBases) combo->addItem(QString::asprintf("%2d", tb));
  combo->setCurrentIndex(2);
  connect(combo, &QComboBox::currentIndexChanged, this,
          [this](int index) { m_timeBase = SmfChannelChoice::TimeBaseOfIndex(index); });
  // The time base is never offered: the caller always gets 24.
  combo->setVisible(false);
  Control<QLabel>(kTimeBaseLabel)->setVisible(false);
  ShowChoice();
  SetAcceptGate([this] { return m_choice.CanAccept(); });
}

void CSMFLoadDlg::OnChannelClick(int n, bool ticked) {
  m_choice.Click(n, ticked);
  ShowChoice();
  UpdateAcceptButton();
}

void CSMFLoadDlg::ShowChoice() {
  for (int n = 0; n < SmfChannelChoice::kChannels; ++n) {
    QCheckBox* box = Control<QCheckBox>(kFirstChannelBox + n);
    box->setChecked(m_choice.IsTicked(n));
    box->setEnabled(m_choice.IsEnabled(n));
  }
}

// --- Comment ---

CFileDialogPlusComment::CFileDialogPlusComment(const FileRequest& r, QWidget* parent)
    : CFileDialogBase(r, parent, kTemplateId),
      m_comment(ui::Q(r.comment)),
      m_alternative(ui::Q(r.alternativeComment.empty() ? r.comment : r.alternativeComment)),
      m_option(r.option) {
  auto* edit = Control<QLineEdit>(kCommentEdit);
  edit->setReadOnly(true);
  edit->setText(m_comment);
  auto* box = Control<QCheckBox>(kOptionBox);
  if (m_option) box->setVisible(true);
  connect(box, &QCheckBox::clicked, this, [this, edit](bool ticked) {
    m_option = ticked ? 1 : 0;
    edit->setText(ui::Q(CommentLine(ticked, ui::S(m_comment), ui::S(m_alternative))));
  });
}

// --- KZ-1 import ---

CKZ1LoadDlg::CKZ1LoadDlg(const FileRequest& r, QWidget* parent) : CFileDialogBase(r, parent, kTemplateId) {
  auto* combo = Control<QComboBox>(kTempoCombo);
  combo->addItems({QStringLiteral("x1"), QStringLiteral("x2")});
  combo->setCurrentIndex(1);
  m_tempoFactor = Kz1TempoFactorOfIndex(combo->currentIndex());
  connect(combo, &QComboBox::currentIndexChanged, this,
          [this](int index) { m_tempoFactor = Kz1TempoFactorOfIndex(index); });
}

// --- VELK open ---

CVELKLoadDlg::CVELKLoadDlg(const FileRequest& r, QWidget* parent)
    : CFileDialogBase(r, parent, kTemplateId), m_chipMode(r.chipMode) {
  auto* edit = Control<QLineEdit>(kTempoEdit);
  edit->setAlignment(Qt::AlignRight);
  auto* upDown = Control<QSpinBox>(kTempoUpDown);
  upDown->setRange(0, 500);
  upDown->setGroupSeparatorShown(false);
  upDown->setValue(m_tempo);
  upDown->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
  upDown->setMaximumWidth(upDown->sizeHint().height());
  edit->setText(QString::number(m_tempo));
  // Text that is no number reads as tempo 0; the up-down sets the edit's number.
  connect(edit, &QLineEdit::textChanged, this, [this, upDown](const QString& text) {
    m_tempo = VelkTempoOfText(ui::S(text));
    const QSignalBlocker block(upDown);
    upDown->setValue(m_tempo);
  });
  connect(upDown, &QSpinBox::valueChanged, this, [edit](int value) { edit->setText(QString::number(value)); });
  auto* compress = Control<QCheckBox>(kCompressBox);
  compress->setVisible(m_chipMode == 3 || m_chipMode == 5);
  connect(compress, &QCheckBox::clicked, this, [this](bool ticked) { m_compress = ticked ? 1 : 0; });
}

// --- Save as VELK ---

CKZxSaveKZ3VELKFileDlg::CKZxSaveKZ3VELKFileDlg(const FileRequest& r, QWidget* parent)
    : CFileDialogBase(r, parent, kTemplateId) {
  auto* combo = Control<QComboBox>(kTimeBaseCombo);
  combo->addItems({QStringLiteral("4 ms"), QStringLiteral("5 ms"), QStringLiteral("10 ms"), QStringLiteral("20 ms")});
  combo->setCurrentIndex(0);
  connect(combo, &QComboBox::currentIndexChanged, this, [this](int index) { m_code = SaveVelkCodeOfIndex(index); });
  auto* compress = Control<QCheckBox>(kCompressBox);
  compress->setChecked(false);
  compress->setEnabled(m_compressEnable != 0);
  connect(compress, &QCheckBox::clicked, this, [this](bool ticked) { m_compress = ticked ? 1 : 0; });
  auto* dvx = Control<QCheckBox>(kDvxBox);
  connect(dvx, &QCheckBox::clicked, this, [this](bool ticked) { m_dvx = ticked ? 1 : 0; });
  SetCompressShow(r.compressShow);
  SetDvxShow(r.dvxShow);
  SetDvx(r.dvx);
}

void CKZxSaveKZ3VELKFileDlg::SetCompressShow(int show) {
  m_compressShow = show;
  Control<QCheckBox>(kCompressBox)->setVisible(show != 0);
}

void CKZxSaveKZ3VELKFileDlg::SetDvxShow(int show) {
  m_dvxShow = show;
  Control<QCheckBox>(kDvxBox)->setVisible(show != 0);
}

void CKZxSaveKZ3VELKFileDlg::SetDvx(int dvx) {
  m_dvx = dvx;
  Control<QCheckBox>(kDvxBox)->setChecked(dvx != 0);
}

// --- Sound file ---

CKZxSounfFileDlg::CKZxSounfFileDlg(const FileRequest& r, QWidget* parent) : CFileDialogBase(r, parent, kTemplateId) {
  auto* adpcm = Control<QRadioButton>(kAdpcmRadio);
  auto* pcm = Control<QRadioButton>(kPcmRadio);
  adpcm->setChecked(true);
  auto update = [this, adpcm, pcm] { m_bits = SoundBitsPerSample(adpcm->isChecked(), pcm->isChecked()); };
  connect(adpcm, &QRadioButton::clicked, this, update);
  connect(pcm, &QRadioButton::clicked, this, update);
}

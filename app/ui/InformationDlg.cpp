#include "app/ui/InformationDlg.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/core/TrillotApp.h"
#include "app/ui/MainFrame.h"
#include "platform/host/HostServices.h"
#include "platform/text/CodePage.h"
#include "song/document/KZ1Doc.h"
#include "uikit/TemplateBuilder.h"
#include "uikit/UiText.h"
#include "velk/ContentsInfo.h"

namespace {

using ui::ControlKind;

// Record texts are narrow text of the program's code page.
QString FromRecord(const std::string& text) {
  std::u16string wide;
  if (!platform::CodePage::Ansi()->ToUtf16(text, wide)) return ui::Q(text);
  return QString::fromUtf16(wide.data(), static_cast<qsizetype>(wide.size()));
}

std::string ToRecord(const QString& text) {
  std::string narrow;
  const std::u16string wide(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<size_t>(text.size()));
  if (!platform::CodePage::Ansi()->FromUtf16(wide, narrow)) return text.toStdString();
  return narrow;
}

CTrillotApp* InstalledApp() { return dynamic_cast<CTrillotApp*>(&platform::settings()); }

void FillCombo(QComboBox* combo, const std::vector<std::string>& entries) {
  combo->clear();
  for (const std::string& e : entries) combo->addItem(ui::Q(e));
}

void Select(QComboBox* combo, int index) { combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1); }

struct TextRow {
  int id;
  std::string InformationTexts::*field;
};

constexpr TextRow kInformationTexts[] = {
    {1445, &InformationTexts::vendor},    {1434, &InformationTexts::carrier},
    {1435, &InformationTexts::category},  {1444, &InformationTexts::title},
    {1433, &InformationTexts::artist},    {1441, &InformationTexts::lyricist},
    {1436, &InformationTexts::composer},  {1432, &InformationTexts::arranger},
    {1437, &InformationTexts::copyright}, {1438, &InformationTexts::copyrightManager},
    {2129, &InformationTexts::management}, {1439, &InformationTexts::dateCreated},
    {1440, &InformationTexts::dateRevised}, {1446, &InformationTexts::phrase}};

const ui::DialogTemplate& Template2037() {
  static const ui::DialogTemplate t{
      CInformationDlg::kTemplateId,
      "T2037.caption",
      {{0, ControlKind::Label, "T2037.class", 0, 0},
       {CInformationDlg::kContentsClass, ControlKind::Combo, nullptr, 0, 1},
       {0, ControlKind::Label, "T2037.type", 0, 2},
       {CInformationDlg::kContentsType, ControlKind::Combo, nullptr, 0, 3},
       {0, ControlKind::Label, "T2037.code", 1, 0},
       {CInformationDlg::kCodeType, ControlKind::Combo, nullptr, 1, 1},
       {0, ControlKind::Label, "T2037.channel", 1, 2, true},
       {CInformationDlg::kChannelCondition, ControlKind::Combo, nullptr, 1, 3, true},
       {0, ControlKind::Label, "T2037.vendor", 2, 0},
       {1445, ControlKind::Custom, nullptr, 2, 1},
       {0, ControlKind::Label, "T2037.carrier", 2, 2},
       {1434, ControlKind::Custom, nullptr, 2, 3},
       {0, ControlKind::Label, "T2037.category", 3, 0},
       {1435, ControlKind::Custom, nullptr, 3, 1},
       {0, ControlKind::Label, "T2037.title", 3, 2},
       {1444, ControlKind::Custom, nullptr, 3, 3},
       {0, ControlKind::Label, "T2037.artist", 4, 0},
       {1433, ControlKind::Custom, nullptr, 4, 1},
       {0, ControlKind::Label, "T2037.words", 4, 2},
       {1441, ControlKind::Custom, nullptr, 4, 3},
       {0, ControlKind::Label, "T2037.composed", 5, 0},
       {1436, ControlKind::Custom, nullptr, 5, 1},
       {0, ControlKind::Label, "T2037.arranged", 5, 2},
       {1432, ControlKind::Custom, nullptr, 5, 3},
       {0, ControlKind::Label, "T2037.copyright", 6, 0},
       {1437, ControlKind::Custom, nullptr, 6, 1},
       {0, ControlKind::Label, "T2037.managedBy", 6, 2},
       {1438, ControlKind::Custom, nullptr, 6, 3},
       {0, ControlKind::Label, "T2037.management", 7, 0},
       {2129, ControlKind::Custom, nullptr, 7, 1},
       {0, ControlKind::Label, "T2037.dateCreated", 7, 2},
       {1439, ControlKind::Custom, nullptr, 7, 3},
       {0, ControlKind::Label, "T2037.dateRevised", 8, 0},
       {1440, ControlKind::Custom, nullptr, 8, 1},
       {2517, ControlKind::Label, "T2037.phrase", 8, 2},
       {CInformationDlg::kPhrase, ControlKind::Custom, nullptr, 8, 3},
       {2518, ControlKind::Label, "T2037.phraseInfo", 9, 2},
       {1442, ControlKind::Edit, nullptr, 10, 0, true},
       {1443, ControlKind::Edit, nullptr, 10, 1, true},
       {2199, ControlKind::Check, "T2037.edit", 10, 2, true},
       {2200, ControlKind::Check, "T2037.save", 10, 2, true},
       {2201, ControlKind::Check, "T2037.copy", 10, 2, true},
       {2202, ControlKind::Check, "T2037.edit", 10, 3, true},
       {2203, ControlKind::Check, "T2037.save", 10, 3, true},
       {2204, ControlKind::Check, "T2037.copy", 10, 3, true},
       {1, ControlKind::Button, "T2037.ok", 11, 2},
       {2, ControlKind::Button, "T2037.cancel", 11, 3}}};
  return t;
}

QWidget* MultiLineEdit(const ui::ControlSpec& spec, QWidget* owner) {
  if (spec.kind != ControlKind::Custom) return nullptr;
  auto* edit = new QPlainTextEdit(owner);
  edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  edit->setTabChangesFocus(true);
  edit->setFixedHeight(edit->fontMetrics().lineSpacing() * 2 + 10);
  edit->setMinimumWidth(180);
  return edit;
}

const ui::DialogTemplate& Template2166() {
  static const ui::DialogTemplate t{
      CMFiInfoDlg::kTemplateId,
      "T2166.caption",
      {{0, ControlKind::Label, "T2166.distribution", 0, 0},
       {CMFiInfoDlg::kDistribution, ControlKind::Combo, nullptr, 0, 1},
       {0, ControlKind::Label, "T2166.version", 0, 2},
       {CMFiInfoDlg::kMfiVersion, ControlKind::Combo, nullptr, 0, 3},
       {CMFiInfoDlg::kCodeTypeLabel, ControlKind::Label, "T2166.code", 1, 0},
       {CMFiInfoDlg::kCodeType, ControlKind::Combo, nullptr, 1, 1},
       {0, ControlKind::Label, "T2166.title", 2, 0},
       {CMFiInfoDlg::kTitle, ControlKind::Edit, nullptr, 2, 1, false, 1, 3},
       {0, ControlKind::Label, "T2166.dateCreated", 3, 0},
       {CMFiInfoDlg::kDateCreated, ControlKind::Edit, nullptr, 3, 1},
       {0, ControlKind::Label, "T2166.copyright", 4, 0},
       {CMFiInfoDlg::kCopyright, ControlKind::Edit, nullptr, 4, 1, false, 1, 3},
       {0, ControlKind::Label, "T2166.copyrightManagement", 5, 0},
       {CMFiInfoDlg::kCopyrightManager, ControlKind::Edit, nullptr, 5, 1, false, 1, 3},
       {0, ControlKind::Label, "T2166.dataManagement", 6, 0},
       {CMFiInfoDlg::kManagement, ControlKind::Edit, nullptr, 6, 1, false, 1, 3},
       {1, ControlKind::Button, "T2166.ok", 7, 2},
       {2, ControlKind::Button, "T2166.cancel", 7, 3}}};
  return t;
}

CContentsInfo* DocumentRecord() {
  CKZ1Doc* doc = platform::registry().document;
  return doc ? &doc->GetContentsInfo() : nullptr;
}

void ConnectButtons(QDialog* dialog, const std::function<void()>& onOk) {
  auto* ok = ui::item<QPushButton>(dialog, 1);
  ok->setDefault(true);
  QObject::connect(ok, &QPushButton::clicked, dialog, onOk);
  QObject::connect(ui::item<QPushButton>(dialog, 2), &QPushButton::clicked, dialog, &QDialog::reject);
}

}  // namespace

InformationHost InformationHost::Installed() {
  InformationHost host;
  host.rememberCodeType = [](int value) {
    CTrillotApp* app = InstalledApp();
    if (!app) return;
    const int profile = app->GetOutputProfile();
    if (profile == 1 || profile == 7) {
      if (app->GetMakerID() == 2) app->SetInfoCodeTypeDoCoMo(value);
    } else {
      app->SetInfoCodeType(value);
    }
  };
  host.deviceIdle = [] {
    CTrillotApp* app = InstalledApp();
    auto* frame = app ? dynamic_cast<CMainFrame*>(app->GetMainFrame()) : nullptr;
    return !frame || frame->IsDeviceIdle() != 0;
  };
  host.setModified = [] {
    if (CKZ1Doc* doc = platform::registry().document) doc->AddModifiedFlags(0);
  };
  return host;
}

// --- CInformationDlg ------------------------------------------------------------------------------

CInformationDlg::CInformationDlg(QWidget* parent, CContentsInfo* info, InformationHost host)
    : QDialog(parent),
      m_info(info ? info : DocumentRecord()),
      m_host(std::move(host)),
      m_profile(platform::settings().GetOutputProfile()),
      m_remembered(platform::settings().GetInfoCodeType()) {
  ui::TemplateBuilder::Build(this, Template2037(), MultiLineEdit);
  ConnectButtons(this, [this] { OnOK(); });
  connect(ui::item<QComboBox>(this, kContentsClass), &QComboBox::currentIndexChanged, this,
          [this] { OnSelchangeContentsClass(); });
  if (m_info) m_texts = TextsOf(*m_info);
  m_opened = m_texts;
  OnInitDialog();
}

int CInformationDlg::DoModal() {
  const int result = exec();
  if (result == QDialog::Accepted && m_info) StoreTexts(*m_info, m_texts);
  return result;
}

void CInformationDlg::ExchangeTexts(bool toControls) {
  for (const TextRow& row : kInformationTexts) {
    auto* edit = ui::item<QPlainTextEdit>(this, row.id);
    if (toControls) {
      edit->setPlainText(FromRecord(m_texts.*row.field));
      m_shown[row.id] = edit->toPlainText();
    } else if (edit->toPlainText() == m_shown[row.id]) {
      // Untouched text keeps its bytes, line breaks and all.
      m_texts.*row.field = m_opened.*row.field;
    } else {
      // A multi-line edit ends its lines with LF: typed breaks take the record's form.
      m_texts.*row.field = WithRecordLineBreaks(ToRecord(edit->toPlainText()), m_opened.*row.field, m_opened);
    }
  }
}

void CInformationDlg::FillCodeTypes() {
  auto* code = ui::item<QComboBox>(this, kCodeType);
  const int keep = code->currentIndex();
  const QSignalBlocker block(code);
  FillCombo(code, InformationListsFor(m_profile).codeTypes);
  Select(code, keep);
}

void CInformationDlg::OnInitDialog() {
  ExchangeTexts(true);
  const InformationLists lists = InformationListsFor(m_profile);
  auto* cls = ui::item<QComboBox>(this, kContentsClass);
  auto* type = ui::item<QComboBox>(this, kContentsType);
  auto* code = ui::item<QComboBox>(this, kCodeType);
  auto* channel = ui::item<QComboBox>(this, kChannelCondition);
  {
    const QSignalBlocker block(cls);
    FillCombo(cls, lists.classes);
  }
  FillCombo(type, lists.types);
  FillCombo(code, lists.codeTypes);
  FillCombo(channel, {"Type 0", "Type 1", "Type 2", "Type 3", "Type 4"});
  const CContentsInfo empty;
  const InformationOpening open = OpenInformation(m_info ? *m_info : empty, m_profile, m_remembered);
  {
    const QSignalBlocker block(cls);
    Select(cls, open.classIndex);
  }
  Select(type, open.typeIndex);
  Select(code, open.codeIndex);
  Select(channel, open.channelIndex);
  if (open.remember && m_info) {
    m_remembered = m_info->GetTextCodeType();
    if (m_host.rememberCodeType) m_host.rememberCodeType(m_remembered);
  }
  for (int id : {kPhrase, 2517, 2518}) ui::item<QWidget>(this, id)->setVisible(open.phraseShown);
  cls->setEnabled(open.classEnabled);
  type->setEnabled(open.typeEnabled);
  code->setEnabled(open.codeEnabled);
  ui::item<QPushButton>(this, 1)->setEnabled(!m_host.deviceIdle || m_host.deviceIdle());
}

void CInformationDlg::OnSelchangeContentsClass() { FillCodeTypes(); }

void CInformationDlg::OnOK() {
  ExchangeTexts(false);
  if (m_info) {
    const int remember = CommitInformation(*m_info, m_profile, ui::item<QComboBox>(this, kContentsClass)->currentIndex(),
                                           ui::item<QComboBox>(this, kContentsType)->currentIndex(),
                                           ui::item<QComboBox>(this, kCodeType)->currentIndex(),
                                           ui::item<QComboBox>(this, kChannelCondition)->currentIndex(), m_remembered);
    if (remember >= 0 && m_host.rememberCodeType) m_host.rememberCodeType(remember);
  }
  if (m_host.setModified) m_host.setModified();
  accept();
}

// --- CMFiInfoDlg ----------------------------------------------------------------------------------

CMFiInfoDlg::CMFiInfoDlg(QWidget* parent, CContentsInfo* info, InformationHost host)
    : QDialog(parent),
      m_info(info ? info : DocumentRecord()),
      m_host(std::move(host)),
      m_profile(platform::settings().GetOutputProfile()),
      m_makerId(platform::settings().GetMakerID()),
      m_remembered(platform::settings().GetInfoCodeTypeDoCoMo()) {
  ui::TemplateBuilder::Build(this, Template2166());
  ConnectButtons(this, [this] { OnOK(); });
  ui::item<QLineEdit>(this, kTitle)->setMaxLength(static_cast<int>(kMfiTitleLimit));
  ui::item<QLineEdit>(this, kDateCreated)->setMaxLength(static_cast<int>(kMfiDateLimit));
  const CContentsInfo empty;
  m_fields = OpenMfi(m_info ? *m_info : empty, m_profile, m_makerId, m_remembered);
  OnInitDialog();
}

int CMFiInfoDlg::DoModal() { return exec(); }

void CMFiInfoDlg::OnInitDialog() {
  auto* distribution = ui::item<QComboBox>(this, kDistribution);
  FillCombo(distribution, {"allow", "prohibit"});
  distribution->setCurrentIndex(m_fields.distribution);
  auto* version = ui::item<QComboBox>(this, kMfiVersion);
  FillCombo(version, {MfiVersionText(m_profile, m_makerId)});
  version->setCurrentIndex(0);
  version->setEnabled(false);
  auto* code = ui::item<QComboBox>(this, kCodeType);
  FillCombo(code, {"Shift-JIS", "UCS-2", "UTF-8"});
  if (MfiHasCodeType(m_profile, m_makerId)) {
    Select(code, m_fields.codeIndex);
    if (m_info) {
      m_remembered = m_fields.remember;
      if (m_host.rememberCodeType) m_host.rememberCodeType(m_remembered);
    }
  } else {
    code->setVisible(false);
    ui::item<QWidget>(this, kCodeTypeLabel)->setVisible(false);
  }
  const std::pair<int, std::string*> texts[] = {{kTitle, &m_fields.title},
                                                {kDateCreated, &m_fields.dateCreated},
                                                {kCopyright, &m_fields.copyright},
                                                {kCopyrightManager, &m_fields.copyrightManager},
                                                {kManagement, &m_fields.management}};
  for (auto [id, text] : texts) ui::item<QLineEdit>(this, id)->setText(FromRecord(*text));
  ui::item<QPushButton>(this, 1)->setEnabled(!m_host.deviceIdle || m_host.deviceIdle());
}

void CMFiInfoDlg::OnOK() {
  m_fields.distribution = ui::item<QComboBox>(this, kDistribution)->currentIndex() == 1 ? 1 : 0;
  m_fields.codeIndex = ui::item<QComboBox>(this, kCodeType)->currentIndex();
  const std::pair<int, std::string*> texts[] = {{kTitle, &m_fields.title},
                                                {kDateCreated, &m_fields.dateCreated},
                                                {kCopyright, &m_fields.copyright},
                                                {kCopyrightManager, &m_fields.copyrightManager},
                                                {kManagement, &m_fields.management}};
  for (auto [id, text] : texts) *text = ToRecord(ui::item<QLineEdit>(this, id)->text());
  if (m_info) {
    const int remember = CommitMfi(*m_info, m_fields, m_profile, m_makerId, m_remembered);
    if (remember >= 0 && m_host.rememberCodeType) m_host.rememberCodeType(remember);
  }
  if (m_host.setModified) m_host.setModified();
  accept();
}

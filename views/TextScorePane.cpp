#include "views/TextScorePane.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionTab>
#include <QTabBar>

#include "platform/text/CodePage.h"
#include "song/document/KZ1Doc.h"
#include "uikit/DialogTemplate.h"
#include "uikit/PictureStore.h"
#include "views/SongViewHost.h"
#include "views/TextScoreCommands.h"
#include "views/ViewPictures.h"

namespace {

/// The parser reads narrow text: what the code page cannot hold becomes '?', and its lead
/// bytes make the parser refuse multi-byte text.
std::string ToNarrow(const QString& text) {
  std::string out;
  platform::CodePage::Ansi()->FromUtf16(text.toStdU16String(), out);
  return out;
}

QString FromNarrow(const std::string& text) {
  std::u16string out;
  platform::CodePage::Ansi()->ToUtf16(text, out);
  return QString::fromStdU16String(out);
}

}  // namespace

CTextScorePane::CTextScorePane(ISongViewHost& host, QWidget* parent) : QWidget(parent), m_host(host) {
  RegisterViewPictures();
  m_tabs = new QTabBar(this);
  m_tabs->setObjectName(ui::ControlName(kTabStripId));
  m_tabs->setFont(m_host.InterfaceFont());
  m_tabs->setExpanding(false);
  for (int i = 1; i <= 4; ++i) m_tabs->addTab(QStringLiteral("Ch%1").arg(i));
  connect(m_tabs, &QTabBar::currentChanged, this, [this](int tab) { OnSelchangeTab(tab); });

  const auto makeButton = [this](int id, int picture, const char* caption) {
    auto* b = new QPushButton(this);
    b->setObjectName(ui::ControlName(id));
    b->setWindowTitle(QString::fromLatin1(caption));
    b->setToolTip(QString::fromLatin1(caption));
    b->setDefault(true);
    const QPixmap pixmap = ui::PictureStore::Instance().Pixmap(picture);
    b->setIcon(pixmap);
    b->setIconSize(pixmap.size());
    b->setFocusPolicy(Qt::NoFocus);
    connect(b, &QPushButton::clicked, this, [this, id] { OnCommand(id); });
    return b;
  };
  m_fill = makeButton(kFillId, 1230, "F");
  m_read = makeButton(kReadId, 1231, "R");

  m_edit = new QPlainTextEdit(this);
  m_edit->setObjectName(ui::ControlName(kEditId));
  m_edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  m_edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  // A fixed-pitch face at 10 points: columns of notation line up and stay readable.
  QFont font(QStringLiteral("Courier"));
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  font.setPointSize(10);
  m_edit->setFont(font);
  setFocusProxy(m_edit);
}

QPushButton* CTextScorePane::Button(int id) const {
  if (id == kFillId) return m_fill;
  if (id == kReadId) return m_read;
  return nullptr;
}

void CTextScorePane::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  m_tabs->setGeometry(0, 0, width(), height());
  m_tabs->show();
  m_tabs->raise();
  const int right = width() - 2;
  m_fill->setGeometry(right - 40, 1, 24, 18);
  m_read->setGeometry(right - 68, 1, 24, 18);
  m_edit->setGeometry(2, 24, std::max(0, width() - 4), std::max(0, height() - 26));
  for (QWidget* w : {static_cast<QWidget*>(m_edit), static_cast<QWidget*>(m_fill), static_cast<QWidget*>(m_read)}) {
    w->show();
    w->raise();
  }
}

void CTextScorePane::OnSelchangeTab(int tab) {
  // The text of the tab being left is kept before the new tab's is shown.
  m_texts[static_cast<size_t>(m_currentTab)] = m_edit->toPlainText();
  m_currentTab = tab;
  m_edit->setPlainText(m_texts[static_cast<size_t>(tab)]);
}

bool CTextScorePane::HandlesCommand(int id) const {
  return id == kReadId || id == kFillId || id == kCopyId || id == kPasteId;
}

bool CTextScorePane::OnCommand(int id) {
  switch (id) {
    case kReadId: OnRead(); return true;
    case kFillId: OnFill(); return true;
    case kCopyId: OnEditCopy(); return true;
    case kPasteId: OnEditPaste(); return true;
    default: return false;
  }
}

void CTextScorePane::OnEditCopy() { m_edit->copy(); }

void CTextScorePane::OnEditPaste() { m_edit->paste(); }

void CTextScorePane::EnableControls(int enable) {
  m_read->setEnabled(enable != 0);
  m_fill->setEnabled(enable != 0);
}

void CTextScorePane::OnRead() {
  CKZ1Doc* doc = m_host.Document();
  if (!doc) return;
  // What was typed in the shown tab stays for a channel that cannot be read.
  m_texts[static_cast<size_t>(m_currentTab)] = m_edit->toPlainText();
  TextScoreTexts before;
  for (size_t i = 0; i < before.size(); ++i) before[i] = ToNarrow(m_texts[i]);
  TextScoreTexts texts = before;
  ReadTextScores(*doc, texts);
  for (size_t i = 0; i < texts.size(); ++i)
    if (texts[i] != before[i]) m_texts[i] = FromNarrow(texts[i]);
  m_edit->setPlainText(m_texts[static_cast<size_t>(m_currentTab)]);
}

void CTextScorePane::OnFill() {
  m_texts[static_cast<size_t>(m_currentTab)] = m_edit->toPlainText();
  CKZ1Doc* doc = m_host.Document();
  if (!doc) return;
  TextScoreTexts texts;
  for (size_t i = 0; i < texts.size(); ++i) texts[i] = ToNarrow(m_texts[i]);
  if (FillTextScores(*doc, texts) == TextScoreFill::Applied) m_host.UpdateSongWindows();
}

CKZ1TextScoreFrm::CKZ1TextScoreFrm(ISongViewHost& host, QWidget* parent)
    : ui::MdiFrame(kClassName, 0, host.FrameSlots(), parent) {
  setWindowTitle(QStringLiteral("Text Score"));
  m_pane = new CTextScorePane(host, this);
  setWidget(m_pane);
  RestorePlacement(0, 0, 400, 300);
}

CKZ1TextScoreFrm::~CKZ1TextScoreFrm() { SavePlacement(); }

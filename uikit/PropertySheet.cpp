#include "uikit/PropertySheet.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>

namespace ui {

PropertySheet::PropertySheet(const QString& caption, QWidget* parent)
    : QDialog(parent),
      m_tabs(new QTabBar(this)),
      m_stack(new QStackedWidget(this)),
      m_ok(new QPushButton(tr("OK"), this)),
      m_cancel(new QPushButton(tr("Cancel"), this)),
      m_apply(new QPushButton(tr("&Apply"), this)) {
  setWindowTitle(caption);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_tabs);
  layout->addWidget(m_stack);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  for (QPushButton* b : {m_ok, m_cancel, m_apply}) {
    b->setAutoDefault(false);
    buttons->addWidget(b);
  }
  layout->addLayout(buttons);
  connect(m_tabs, &QTabBar::currentChanged, this, [this](int i) { OnTabChanged(i); });
  connect(m_ok, &QPushButton::clicked, this, [this] { Ok(); });
  connect(m_cancel, &QPushButton::clicked, this, [this] { Cancel(); });
  connect(m_apply, &QPushButton::clicked, this, [this] { Apply(); });
  // Return and Enter neither press a button nor close the sheet, on the sheet or any page.
  qApp->installEventFilter(this);
}

PropertySheet::~PropertySheet() { qApp->removeEventFilter(this); }

void PropertySheet::AddPage(PropertyPage* page, const QString& title) {
  m_pages.push_back(page);
  m_shown.push_back(false);
  m_stack->addWidget(page);
  m_tabs->addTab(title);  // the first tab fires currentChanged, which activates it
}

int PropertySheet::ActiveIndex() const { return m_current; }

void PropertySheet::Activate(int index) {
  m_current = index;
  m_stack->setCurrentIndex(index);
  m_shown[static_cast<size_t>(index)] = true;
  m_pages[static_cast<size_t>(index)]->OnSetActive();
}

void PropertySheet::OnTabChanged(int index) {
  if (m_reverting || index < 0) return;
  if (m_current >= 0 && index != m_current && !m_pages[static_cast<size_t>(m_current)]->OnKillActive()) {
    m_reverting = true;
    m_tabs->setCurrentIndex(m_current);
    m_reverting = false;
    return;
  }
  Activate(index);
}

bool PropertySheet::SetActivePage(int index) {
  if (index < 0 || index >= PageCount()) return false;
  if (index == m_current) return true;
  m_tabs->setCurrentIndex(index);
  return m_current == index;
}

bool PropertySheet::ApplyShown() {
  for (size_t i = 0; i < m_pages.size(); ++i) {
    if (!m_shown[i] || m_pages[i]->OnApply()) continue;
    // The refusing page comes to the front without asking the current one again.
    m_reverting = true;
    m_tabs->setCurrentIndex(static_cast<int>(i));
    m_reverting = false;
    Activate(static_cast<int>(i));
    return false;
  }
  return true;
}

void PropertySheet::Ok() {
  if (m_current >= 0 && !m_pages[static_cast<size_t>(m_current)]->OnKillActive()) return;
  if (!ApplyShown()) return;
  for (size_t i = 0; i < m_pages.size(); ++i) {
    if (m_shown[i]) m_pages[i]->OnOk();
  }
  accept();
}

void PropertySheet::Cancel() {
  for (PropertyPage* page : m_pages) page->OnCancel();
  QDialog::reject();
}

bool PropertySheet::Apply() {
  if (m_current >= 0 && !m_pages[static_cast<size_t>(m_current)]->OnKillActive()) return false;
  return ApplyShown();
}

bool PropertySheet::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    auto* w = qobject_cast<QWidget*>(watched);
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && w && (w == this || isAncestorOf(w))) {
      event->accept();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace ui

#include "uikit/MenuBuilder.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "uikit/ActionRegistry.h"
#include "uikit/CommandRouter.h"
#include "uikit/UiText.h"

namespace ui {
namespace {

/// The label without the accelerator text behind the tab: the action shows its own shortcut.
QString Label(const std::string& text) {
  const QString s = Q(text);
  const qsizetype tab = s.indexOf('\t');
  return tab < 0 ? s : s.left(tab);
}

}  // namespace

void MenuBuilder::Fill(QMenu* menu, const std::vector<MenuItem>& items) const {
  menu->setSeparatorsCollapsible(true);
  if (m_router) m_router->ConnectMenu(menu);
  for (const MenuItem& item : items) {
    switch (item.kind) {
      case MenuItem::Kind::Separator: menu->addSeparator(); break;
      case MenuItem::Kind::Popup: Fill(menu->addMenu(Label(item.text)), item.items); break;
      case MenuItem::Kind::Command: {
        QAction* action = m_actions.Action(item.id);
        if (!item.text.empty()) action->setText(Label(item.text));
        menu->addAction(action);
        break;
      }
    }
  }
}

void MenuBuilder::Build(QMenuBar* bar, const MenuModel& model) const {
  const QList<QMenu*> old = bar->findChildren<QMenu*>(QString(), Qt::FindDirectChildrenOnly);
  bar->clear();
  qDeleteAll(old);
  for (const MenuItem& item : model.items) {
    if (item.kind == MenuItem::Kind::Popup) {
      Fill(bar->addMenu(Label(item.text)), item.items);
    } else if (item.kind == MenuItem::Kind::Command) {
      QAction* action = m_actions.Action(item.id);
      if (!item.text.empty()) action->setText(Label(item.text));
      bar->addAction(action);
    }
  }
}

}  // namespace ui

// The text report of the main window that test runs ask for (TRILLOT_UI_REPORT).
#include "app/ui/MainFrameReport.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTextStream>
#include <QToolBar>

#include "app/core/MainFrameTables.h"
#include "app/ui/MainFrame.h"
#include "app/ui/SplashWnd.h"
#include "uikit/ActionRegistry.h"
#include "uikit/UiText.h"

namespace {

void ReportItems(QTextStream& out, CMainFrame& frame, const std::vector<MenuItem>& items, int depth) {
  const QString indent(depth * 2, ' ');
  for (const MenuItem& item : items) {
    switch (item.kind) {
      case MenuItem::Kind::Separator: out << indent << "separator\n"; break;
      case MenuItem::Kind::Popup:
        out << indent << "popup \"" << ui::Q(item.text) << "\"\n";
        ReportItems(out, frame, item.items, depth + 1);
        break;
      case MenuItem::Kind::Command: {
        const ui::CmdUI state = frame.Router().Update(item.id);
        QAction* action = frame.Actions().Action(item.id);
        QString label = ui::Q(item.text);
        if (const qsizetype tab = label.indexOf('\t'); tab >= 0) label = label.left(tab);
        out << indent << "item " << item.id << " \"" << label << "\" shortcut=\""
            << action->shortcut().toString(QKeySequence::PortableText) << "\" enabled=" << (state.enabled ? 1 : 0)
            << " checked=" << (state.checked.value_or(false) ? 1 : 0) << "\n";
        break;
      }
    }
  }
}

void ReportBar(QTextStream& out, QToolBar* bar, int id) {
  if (!bar) return;
  out << "bar " << id << " visible=" << (bar->isHidden() ? 0 : 1) << "\n";
  const QList<QWidget*> controls = bar->findChildren<QWidget*>(QRegularExpression("^c\\d+$"));
  for (QWidget* w : controls) {
    const int controlId = w->objectName().mid(1).toInt();
    if (controlId == id) continue;
    out << "  control " << controlId << " visible=" << (w->isHidden() ? 0 : 1) << " enabled=" << (w->isEnabled() ? 1 : 0);
    if (auto* label = qobject_cast<QLabel*>(w)) out << " text=\"" << label->text() << "\"";
    if (auto* edit = qobject_cast<QLineEdit*>(w)) out << " text=\"" << edit->text() << "\"";
    out << "\n";
  }
}

}  // namespace

QString BuildUiReport(CMainFrame& frame) {
  QString text;
  QTextStream out(&text);
  out << "title \"" << frame.windowTitle() << "\"\n";
  const QRect placed = frame.geometry();
  // The start-up picture while it is up.
  if (const CSplashWnd* picture = CSplashWnd::Current()) out << "picture " << picture->Bitmap() << "\n";
  out << "frame " << placed.x() << " " << placed.y() << " " << placed.width() << " " << placed.height() << "\n";
  for (int resource : {kMainMenu, kSongMenu, kVoiceListMenu, kVoiceMapMenu, kStreamMapMenu}) {
    out << "menu " << resource << "\n";
    ReportItems(out, frame, frame.Menu(resource).items, 1);
  }
  out << "toolbar";
  if (QToolBar* tb = frame.ToolBar()) {
    for (QAction* a : tb->actions()) {
      if (a->isSeparator()) {
        out << " |";
      } else {
        out << " " << a->data().toInt();
      }
    }
  }
  out << "\n";
  for (int id : frame.Indicators()) {
    out << "pane " << id << " width=" << frame.PaneWidthOf(id) << " text=\""
        << frame.PaneText(id) << "\"\n";
  }
  ReportBar(out, frame.ControlBar(), mainframe::kControlBarId);
  ReportBar(out, frame.ReportBar(), mainframe::kReportBarId);
  ReportBar(out, frame.VolumeBar(), mainframe::kVolumeBarId);
  return text;
}

bool WriteUiReport(CMainFrame& frame, const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) return false;
  return file.write(BuildUiReport(frame).toUtf8()) >= 0;
}

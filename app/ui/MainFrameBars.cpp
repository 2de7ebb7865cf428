// The main window's bars and panes as widgets: the dialog-bar templates, the owner-drawn status
// pane and the report bar.
#include "app/ui/MainFrameBars.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>

#include "app/core/MainFrameTables.h"
#include "app/ui/ShellPictures.h"
#include "uikit/Drawing.h"
#include "uikit/PictureStore.h"
#include "uikit/TemplateBuilder.h"

namespace mainframe {
namespace {

using ui::ControlKind;

ui::ControlSpec At(int column, int id, ControlKind kind, const char* label = nullptr, bool hidden = false) {
  return {id, kind, label, 0, column, hidden, 1, 1};
}

void RegisterStrip(int resource, int profile) {
  std::vector<int> ids;
  for (int id : ToolbarFor(profile).buttons)
    if (id != 0) ids.push_back(id);
  ui::PictureStore::Instance().Register(resource, QSize(16 * static_cast<int>(ids.size()), 15),
                                        [ids](QPainter& p, const QSize& s) {
                                          p.fillRect(QRect(QPoint(0, 0), s), kToolbarMaskColour);
                                          for (size_t i = 0; i < ids.size(); ++i)
                                            shellpictures::PaintToolbarButton(p, 16 * static_cast<int>(i), ids[i]);
                                        });
}

}  // namespace

const ui::DialogTemplate& ControlBarTemplate() {
  static const ui::DialogTemplate t{
      2006,
      "T2006.caption",
      {At(0, 1388, ControlKind::Button, "cmd.1388"), At(1, 1391, ControlKind::Button, "cmd.1391"),
       At(2, 1387, ControlKind::Button, "cmd.1387"), At(3, 1383, ControlKind::Custom, "T2006.1383"),
       At(4, 1397, ControlKind::Custom), At(5, 0, ControlKind::Label, "T2006.ph"), At(6, 1392, ControlKind::Edit),
       At(7, 1393, ControlKind::UpDown), At(8, 1377, ControlKind::Combo), At(9, 2217, ControlKind::Combo, nullptr, true),
       At(10, 0, ControlKind::Label, "T2006.tb"), At(11, 1395, ControlKind::Custom), At(12, 1396, ControlKind::UpDown),
       At(13, 2555, ControlKind::Label, "T2006.2555"), At(14, 2556, ControlKind::Combo),
       At(15, 2238, ControlKind::Label, "T2006.2238"), At(16, 2152, ControlKind::Combo)}};
  return t;
}

const ui::DialogTemplate& ReportBarTemplate() {
  static const ui::DialogTemplate t{
      2529, "T2529.caption", {At(0, 2528, ControlKind::Edit), At(1, 2532, ControlKind::Edit)}};
  return t;
}

const ui::DialogTemplate& VolumeBarTemplate() {
  static const ui::DialogTemplate t{
      2554,
      "T2554.caption",
      {At(0, 2302, ControlKind::Label, "T2554.2302"), At(1, 1384, ControlKind::Custom), At(2, 1385, ControlKind::UpDown),
       At(3, 2507, ControlKind::Label, "T2554.2507"), At(4, 1389, ControlKind::Custom), At(5, 1390, ControlKind::UpDown),
       At(6, 2508, ControlKind::Label, "T2554.2508"), At(7, 1381, ControlKind::Custom), At(8, 1382, ControlKind::UpDown),
       At(9, 2509, ControlKind::Label, "T2554.2509"), At(10, 1379, ControlKind::Custom), At(11, 1380, ControlKind::UpDown),
       At(12, 5001, ControlKind::Combo), At(13, 5000, ControlKind::Button, "T2554.5000")}};
  return t;
}

void RegisterMainFramePictures() {
  RegisterStrip(1015, 1);
  RegisterStrip(1021, 2);
  RegisterStrip(1018, 4);
  RegisterStrip(1019, 6);
  RegisterStrip(1000, 0);
  auto& store = ui::PictureStore::Instance();
  // The transport icons: play (a triangle), rewind (two triangles) and stop (a square).
  store.Register(2060, QSize(16, 16), [](QPainter& p, const QSize&) {
    p.setBrush(QColor(0, 128, 0));
    p.drawPolygon(QPolygon({QPoint(4, 2), QPoint(13, 8), QPoint(4, 14)}));
  });
  store.Register(2061, QSize(16, 16), [](QPainter& p, const QSize&) {
    p.setBrush(QColor(0, 0, 160));
    p.drawPolygon(QPolygon({QPoint(8, 2), QPoint(1, 8), QPoint(8, 14)}));
    p.drawPolygon(QPolygon({QPoint(15, 2), QPoint(8, 8), QPoint(15, 14)}));
  });
  store.Register(2062, QSize(16, 16), [](QPainter& p, const QSize&) { p.fillRect(3, 3, 10, 10, QColor(160, 0, 0)); });
}

}  // namespace mainframe

StatusPane::StatusPane(int id, int width, QWidget* parent) : QWidget(parent), m_width(width) {
  setObjectName(ui::ControlName(id));
  if (width > 0) setFixedWidth(width);
}

void StatusPane::SetText(const QString& text) {
  m_text = text;
  if (m_width < 0) updateGeometry();
  repaint();
}

void StatusPane::SetRed(bool red) {
  m_red = red;
  repaint();
}

QSize StatusPane::sizeHint() const {
  const QFontMetrics fm(font());
  return QSize(m_width > 0 ? m_width : fm.horizontalAdvance(m_text) + 6, fm.height() + 4);
}

void StatusPane::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QRect inner = rect().adjusted(1, 1, -1, -1);
  p.fillRect(inner, m_red ? QColor(192, 0, 0) : ui::SysColor(ui::kColorBtnFace, palette()));
  p.setPen(Qt::black);
  p.drawText(inner.adjusted(1, 1, 0, 0), Qt::AlignLeft | Qt::AlignTop, m_text);
}

CReportBar::CReportBar(QWidget* parent) : QWidget(parent), m_color(ui::ToColorRef(ui::SysColor(ui::kColorBtnFace, palette()))) {
  setObjectName(ui::ControlName(mainframe::kReportBarId));
  ui::TemplateBuilder::Build(this, mainframe::ReportBarTemplate());
  for (int id : {2528, 2532}) {
    if (QLineEdit* e = Line(id)) {
      e->setReadOnly(true);
      e->setFocusPolicy(Qt::NoFocus);
      e->setMinimumWidth(150);
    }
  }
  ApplyColors();
}

QLineEdit* CReportBar::Line(int id) const { return ui::item<QLineEdit>(this, id); }

void CReportBar::SetWarning(int flag) {
  m_color = flag ? 192u : ui::ToColorRef(ui::SysColor(ui::kColorBtnFace, palette()));
  ApplyColors();
}

QColor CReportBar::OnCtlColor(int controlId) const {
  const QColor face = ui::SysColor(ui::kColorBtnFace, palette());
  return controlId == 2528 && m_color == 192u ? ui::FromColorRef(m_color) : face;
}

void CReportBar::ApplyColors() {
  for (int id : {2528, 2532}) {
    QLineEdit* e = Line(id);
    if (!e) continue;
    QPalette pal = e->palette();
    pal.setColor(QPalette::Base, OnCtlColor(id));
    e->setPalette(pal);
    e->update();
  }
}

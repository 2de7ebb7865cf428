#include "app/ui/BusyBitmapDlg.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QMainWindow>
#include <QScreen>

#include "app/ui/ShellPictures.h"
#include "uikit/PictureStore.h"
#include "uikit/TemplateBuilder.h"

namespace {

const ui::DialogTemplate& Template2013() {
  static const ui::DialogTemplate tmpl{CBusyBitmapDlg::kTemplateId, "T2013.caption",
                                       {{CBusyBitmapDlg::kPictureId, ui::ControlKind::Picture}}};
  return tmpl;
}

/// The window to centre on: the owner, else the program's main window, else none.
QWidget* CentreOf(QWidget* owner) {
  if (owner) return owner->window();
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (qobject_cast<QMainWindow*>(w) && w->isVisible()) return w;
  }
  return nullptr;
}

}  // namespace

int CBusyBitmapDlg::BitmapOfKind(int kind, bool lowColour) {
  switch (kind) {
    case 0: return lowColour ? 1207 : 1206;
    case 1: return lowColour ? 1217 : 1216;
    case 2: return lowColour ? 1215 : 1214;
    case 5: return 2527;
    case 6: return lowColour ? 1227 : 1228;
    default: return kTemplatePicture;
  }
}

CBusyBitmapDlg::CBusyBitmapDlg(int kind, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint) {
  static const bool drawn = (shellpictures::RegisterBusyPictures(), true);
  (void)drawn;
  ui::TemplateBuilder::Build(this, Template2013());
  layout()->setContentsMargins(0, 0, 0, 0);
  m_picture = ui::item<QLabel>(this, kPictureId);
  m_bitmap = BitmapOfKind(kind, IsLowColour());
  const QPixmap pixmap = ui::PictureStore::Instance().Pixmap(m_bitmap);
  m_picture->setPixmap(pixmap);
  // The client area is exactly the picture.
  setFixedSize(pixmap.size());
  const QWidget* centre = CentreOf(owner);
  const QRect area = centre ? centre->frameGeometry()
                            : (QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->geometry() : QRect());
  if (area.isValid()) move(area.center() - QPoint(width() / 2, height() / 2));
  show();
  repaint();
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

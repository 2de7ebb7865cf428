#include "app/ui/SplashWnd.h"

#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QTimer>

#include "app/core/AboutBoxRows.h"
#include "uikit/PictureStore.h"
#include "uikit/StartupPicture.h"

namespace {

bool g_enabled = false;
int g_mode = 0;
QPointer<CSplashWnd> g_current;
QPointer<QWidget> g_owner;

constexpr QSize kPictureSize(400, 240);

/// Our own start-up artwork: a dark gradient with the product name and a line by picture.
void PaintSplash(QPainter& p, const QSize& size, const QString& line, QColor accent) {
  QLinearGradient g(0, 0, size.width(), size.height());
  g.setColorAt(0, QColor(16, 24, 48));
  g.setColorAt(1, accent);
  p.fillRect(QRect(QPoint(0, 0), size), g);
  p.setPen(QColor(250, 250, 250));
  QFont title = p.font();
  title.setPointSize(30);
  title.setBold(true);
  p.setFont(title);
  p.drawText(QRect(0, 50, size.width(), 70), Qt::AlignCenter, QStringLiteral("Trillot"));
  QFont small = p.font();
  small.setPointSize(11);
  small.setBold(false);
  p.setFont(small);
  p.drawText(QRect(0, 130, size.width(), 30), Qt::AlignCenter, line);
  p.setPen(QPen(QColor(250, 250, 250, 120), 2));
  for (int i = 0; i < 5; ++i) p.drawLine(40, 190 + 6 * i, size.width() - 40, 190 + 6 * i);
}

}  // namespace

void CSplashWnd::RegisterPictures() {
  ui::PictureStore& store = ui::PictureStore::Instance();
  const struct {
    int id;
    const char* line;
    QColor accent;
  } pictures[] = {{1229, "KZ-1 / KZ-2 authoring", QColor(40, 90, 140)},
                  {2127, "KZ-3 authoring", QColor(40, 120, 100)},
                  {2128, "KZ-3 for developers", QColor(110, 80, 140)},
                  {2543, "KZ-3 authoring", QColor(30, 110, 150)},
                  {2544, "Ring tones and music content", QColor(150, 90, 40)}};
  for (const auto& pic : pictures) {
    const QString line = QString::fromLatin1(pic.line);
    const QColor accent = pic.accent;
    store.Register(pic.id, kPictureSize, [line, accent](QPainter& p, const QSize& s) { PaintSplash(p, s, line, accent); });
  }
}

void CSplashWnd::SetMode(bool enable, int mode) {
  g_enabled = enable;
  g_mode = mode;
}

CSplashWnd* CSplashWnd::Current() { return g_current.data(); }

void CSplashWnd::Show(QWidget* parent) {
  if (!g_enabled || g_current) return;
  const SplashPicture pic = SplashPictureOfMode(g_mode);
  const ui::PictureStore& store = ui::PictureStore::Instance();
  // A mode without a picture the program holds shows nothing.
  if (g_mode < 0 || g_mode > 5 || !pic.bitmap || !store.Has(pic.bitmap)) return;
  const QPixmap picture = store.Pixmap(pic.bitmap);
  if (picture.isNull()) return;
  g_owner = parent;
  g_current = new CSplashWnd(parent, g_mode, picture);
  g_current->show();
  g_current->repaint();
}

CSplashWnd::~CSplashWnd() {
  // The QWidget part still sends events while it goes, and the filter must not take it for a
  // picture that is up.
  if (g_current.data() == this) g_current = nullptr;
}

CSplashWnd::CSplashWnd(QWidget* parent, int mode, const QPixmap& picture)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  setAttribute(Qt::WA_DeleteOnClose);
  setCursor(Qt::ArrowCursor);
  m_timer = new QTimer(this);
  m_timer->setSingleShot(true);
  connect(m_timer, &QTimer::timeout, this, &CSplashWnd::OnTimer);
  StartPicture(mode, picture);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->geometry().center() - QPoint(width() / 2, height() / 2));
  }
}

void CSplashWnd::StartPicture(int mode, const QPixmap& picture) {
  m_mode = mode;
  m_bitmap = SplashPictureOfMode(mode).bitmap;
  m_picture = picture;
  setFixedSize(picture.size());
  m_timer->start(SplashPictureOfMode(mode).milliseconds);
}

void CSplashWnd::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.drawPixmap(0, 0, m_picture);
}

void CSplashWnd::OnTimer() {
  if (m_mode == 5) {
    // The first picture of the pair gives way to the second.
    StartPicture(6, ui::PictureStore::Instance().Pixmap(SplashPictureOfMode(6).bitmap));
    repaint();
    return;
  }
  Destroy();
}

void CSplashWnd::Destroy() {
  m_timer->stop();
  g_current = nullptr;
  close();
  if (g_owner) g_owner->update();
}

void CSplashWnd::Close() {
  // A message box is about to show: the picture goes at once, second picture or not, so that
  // no box waits behind it.
  if (g_current) g_current->Destroy();
}

bool CSplashWnd::FilterMessage(QObject*, QEvent* event) {
  if (!g_current) return false;
  switch (event->type()) {
    case QEvent::ShortcutOverride:
      // Taken here, so that no shortcut (Space plays) fires; the key press follows.
      event->accept();
      return true;
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::NonClientAreaMouseButtonPress:
      g_current->OnTimer();
      return true;
    default:
      return false;
  }
}

CSplashWnd* CSplashWnd::ShowPicture(int mode) {
  RegisterPictures();
  Close();
  SetMode(true, mode == 6 ? 5 : mode);
  Show(nullptr);
  SetMode(false, mode);
  if (mode == 6 && g_current) g_current->OnTimer();
  return g_current.data();
}

void CSplashWnd::PrepareStart(bool enable, int chipMode, int outputProfile) {
  if (enable) InstallHook();
  SetMode(enable, SplashModeOf(chipMode, outputProfile));
}

void CSplashWnd::InstallHook() {
  RegisterPictures();
  ui::StartupPicture::Instance().SetHook({[] { Show(nullptr); }, &CSplashWnd::FilterMessage, &CSplashWnd::Close});
}

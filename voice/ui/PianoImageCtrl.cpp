#include "voice/ui/PianoImageCtrl.h"

#include <QMouseEvent>
#include <QPainter>

#include "app/core/NoteName.h"
#include "uikit/Drawing.h"
#include "voice/PianoGeometry.h"
#include "voice/ui/RepeatButton.h"

using voiceedit::PianoGeometry;

namespace {

constexpr uint32_t kBackground = 0xDCDCDC;
constexpr uint32_t kPressed = 0xFF8000;
constexpr uint32_t kMarked = 0xA0E6FF;
constexpr int kButtonSize = 18;  // the arrow texts whole at the program's font

}  // namespace

CPianoImageCtrl::CPianoImageCtrl(QWidget* parent)
    : QWidget(parent), m_left(new CRepeatButton(0, QStringLiteral("<"), this)), m_right(new CRepeatButton(1, QStringLiteral(">"), this)) {
  setObjectName(QStringLiteral("KZxPianoImageCtrl"));
  for (CRepeatButton* b : {m_left, m_right}) {
    b->setFixedSize(kButtonSize, kButtonSize);
    b->SetRepeat(0, 50);
    b->SetStepHandler([this](int id) { OnScrollStep(id); });
    b->setFocusPolicy(Qt::NoFocus);
  }
  PlaceButtons();
}

void CPianoImageCtrl::PlaceButtons() {
  // Top right, over the keys' upper edge: they never hide the left end the position shows.
  m_right->move(width() - kButtonSize, 0);
  m_left->move(width() - 2 * kButtonSize, 0);
}

void CPianoImageCtrl::resizeEvent(QResizeEvent*) {
  PlaceButtons();
  UpdatePositions();
}

void CPianoImageCtrl::UpdatePositions() {
  m_lastPosition = static_cast<uint8_t>(PianoGeometry::LastPosition(width()));
  if (m_markedKey != kNone) m_position = m_markedKey < 12 ? 0 : m_markedKey - 12;
}

void CPianoImageCtrl::OnScrollStep(int id) {
  if (id == 0 && m_position >= 1) --m_position;
  if (id == 1 && m_position < m_lastPosition) ++m_position;
  update();
}

void CPianoImageCtrl::SetMarkedKey(int key, int flag) {
  if (flag == 1) {
    m_markedKey = static_cast<uint8_t>(key & 0xFF);
    m_left->hide();
    m_right->hide();
  } else {
    m_markedKey = kNone;
    m_left->show();
    m_right->show();
  }
  UpdatePositions();
  update();
}

void CPianoImageCtrl::SetDisabled(int flag) {
  m_disabled = flag;
  update();
}

void CPianoImageCtrl::SetOriginNote(int originNote) {
  m_originNote = originNote;
  update();
}

void CPianoImageCtrl::DrawKey(QPainter& p, int note, bool pressed) const {
  const voiceedit::KeyRect r = PianoGeometry::KeyRectOf(note, m_position);
  const int h = r.height ? r.height : height();
  QColor fill = r.height ? QColor(Qt::black) : QColor(Qt::white);
  if (m_disabled && !r.height) fill = QColor(200, 200, 200);
  if (note == m_markedKey) fill = ui::FromColorRef(kMarked);
  if (pressed) fill = ui::FromColorRef(kPressed);
  p.fillRect(r.x, 0, r.width, h, fill);
  p.setPen(Qt::black);
  p.drawRect(r.x, 0, r.width - 1, h - 1);
  if (!r.height && note % 12 == 0 && !pressed) {
    p.setPen(Qt::darkGray);
    p.drawText(QRect(r.x, h - 14, r.width, 14), Qt::AlignCenter,
               QString::fromStdString(GetNoteName(note, m_originNote)).remove(QLatin1Char(' ')));
  }
}

void CPianoImageCtrl::paintEvent(QPaintEvent*) {
  UpdatePositions();
  QPainter p(this);
  p.fillRect(rect(), ui::FromColorRef(kBackground));
  QFont font = p.font();
  font.setPixelSize(9);
  p.setFont(font);
  // White keys first, black keys over them.
  for (int pass = 0; pass < 2; ++pass) {
    for (int note = m_position; note <= 127; ++note) {
      if (PianoGeometry::IsBlack(note) != (pass == 1)) continue;
      const voiceedit::KeyRect r = PianoGeometry::KeyRectOf(note, m_position);
      if (r.x >= width()) break;
      DrawKey(p, note, note == m_pressedKey);
    }
  }
}

void CPianoImageCtrl::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || m_disabled) return;
  const QPoint pt = event->position().toPoint();
  if (!rect().contains(pt)) return;
  m_captured = true;
  int note = -1;
  if (m_markedKey != kNone) {
    if (PianoGeometry::Contains(m_markedKey, pt.x(), pt.y(), m_position, height())) note = m_markedKey;
  } else {
    note = PianoGeometry::NoteAt(pt.x(), pt.y(), m_position);
  }
  if (note < 0) return;
  m_pressedKey = static_cast<uint8_t>(note);
  update();
  if (m_keyDown) m_keyDown(note);
}

void CPianoImageCtrl::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || m_disabled || !m_captured) return;
  m_captured = false;
  if (m_pressedKey == kNone) return;
  const int note = m_pressedKey;
  m_pressedKey = kNone;
  update();
  if (m_keyUp) m_keyUp(note);
}

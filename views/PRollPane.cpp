#include "views/PRollPane.h"

#include <QApplication>
#include <optional>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QTabBar>
#include <QWheelEvent>

#include "app/core/NoteName.h"
#include "platform/host/HostServices.h"
#include "uikit/DialogTemplate.h"
#include "uikit/PictureStore.h"
#include "uikit/ScrollCodes.h"
#include "views/SongViewHost.h"
#include "views/ViewPictures.h"

namespace {

const QColor kLight(192, 192, 192);
const QColor kLightFill(240, 240, 240);
const QColor kGrey(192, 192, 192);
const QColor kDark(96, 96, 96);
const QColor kUnderTabs(165, 162, 165);

/// The stream-PCM slot of each key in a table keyed by default (slots 1-13 on keys 0-12,
/// 14-49 on keys 92-127): the song's own table is never read or rebuilt for labels.
const std::array<uint8_t, 128>& DefaultSlotOfKey() {
  static const std::array<uint8_t, 128> table = [] {
    std::array<uint8_t, 128> t;
    t.fill(255);
    for (int slot = 1; slot <= 49; ++slot) t[static_cast<size_t>(CKZ1Doc::StreamPcmSlotKey(slot))] = static_cast<uint8_t>(slot);
    return t;
  }();
  return table;
}

/// Inverts the colour of every pixel of the rectangle that lies in the image.
void InvertRect(QImage& image, QRect r) {
  r = r.intersected(image.rect());
  for (int y = r.top(); y <= r.bottom(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = r.left(); x <= r.right(); ++x) line[x] = 0xFF000000u | (~line[x] & 0x00FFFFFFu);
  }
}

struct BoxStyle {
  const char* letters;
  QColor colour;
};

/// The strip's box of a short message on the tab, or none.
std::optional<BoxStyle> EventBox(const IndexedEvent& e, bool pcmTab) {
  const int status = e.bytes[0];
  const int high = status & 0xF0;
  const QColor violet(240, 128, 255);
  if (high == 0xB0) {
    if (e.length < 2) return std::nullopt;
    switch (e.bytes[1]) {
      case 0: return BoxStyle{"BS", violet};
      case 1: return BoxStyle{"CC", QColor(255, 240, 128)};
      case 7: return pcmTab ? std::optional<BoxStyle>(BoxStyle{"VO", violet}) : std::nullopt;
      case 10: return BoxStyle{"PN", violet};
      case 11: return BoxStyle{"EX", violet};
      default: return std::nullopt;
    }
  }
  if (high == 0xC0) return BoxStyle{"PC", QColor(128, 255, 240)};
  if (high == 0xE0) return BoxStyle{"PB", violet};
  if (high == 0xF0 && e.length >= 2) {
    if (e.bytes[1] == 0xF0) return BoxStyle{"FM", violet};
    if (e.bytes[1] == 0xF1) return BoxStyle{"PB", violet};
  }
  return std::nullopt;
}

constexpr BoxStyle kCueBoxes[9] = {
    {"PI", QColor(192, 128, 240)}, {"PE", QColor(128, 144, 240)}, {"PA", QColor(240, 32, 192)},
    {"PB", QColor(192, 240, 64)},  {"PS", QColor(128, 240, 96)},  {"PK", QColor(96, 144, 240)},
    {"PR", QColor(144, 240, 128)}, {"ST", QColor(144, 128, 240)}, {"SP", QColor(240, 96, 144)},
};

void DrawBox(QPainter& p, int x, const BoxStyle& box) {
  const QRect r(x, 8, 12, 28);
  p.fillRect(r, box.colour);
  p.setPen(Qt::black);
  const QString text = QString(QChar::fromLatin1(box.letters[0])) + "\n" + QChar::fromLatin1(box.letters[1]);
  p.drawText(r, Qt::AlignCenter, text);
}

}  // namespace

void DrawNoteBar(QPainter& p, int l, int t, int r, int b, int scheme) {
  const int q = (b - t + 1) / 4;
  const int mid = t + 2 * q;
  int s = (b - t) / 20;
  if (s < 2) s = 1;
  const int width = r - l + 1;
  const auto band = [&](int y, int c, bool light) {
    QColor colour;
    switch (scheme) {
      case 0: colour = light ? QColor(255, c, c) : QColor(c, 0, 0); break;
      case 1: colour = light ? QColor(c, 255, c) : QColor(0, c, 0); break;
      case 2: colour = light ? QColor(c, c, 255) : QColor(0, 0, c); break;
      default: colour = light ? QColor(255, 255, c) : QColor(c, c, 0); break;
    }
    p.fillRect(l, y, width, s, colour);
  };
  if (q > 0) {
    int k = 0;
    for (int y = t + q; y < mid; y += s, ++k) {
      const double f = 1.0 - static_cast<double>(y - (t + q)) / q;
      const int c = static_cast<int>(f * 144);
      band(t + q + k * s, c, true);
      band((t + q) - (k + 1) * s, c, true);
    }
  }
  for (int y = mid; y < b; y += s) {
    const double g = static_cast<double>(y - mid) / (b - mid);
    band(y, static_cast<int>((1.0 - g * g) * 255), false);
  }
}

CPRollPane::CPRollPane(ISongViewHost& host, QWidget* parent) : QWidget(parent), m_host(host) {
  for (auto& keys : m_keyInRange) keys.set();
  m_cues.fill(CKZ1Doc::kNoCue);
  SetChannelCount(platform::settings().GetChipMode());
  RegisterViewPictures();
  m_marker = ui::PictureStore::Instance().Pixmap(1201).toImage().convertToFormat(QImage::Format_RGB32);

  m_tabLayout = std::make_unique<SongViewTabs>(m_channelCount);
  m_tabs = new QTabBar(this);
  m_tabs->setObjectName(ui::ControlName(kTabStripId));
  m_tabs->setFont(m_host.InterfaceFont());
  m_tabs->setExpanding(false);
  m_tabs->setUsesScrollButtons(true);
  for (int i = 0; i < m_tabLayout->TabCount(); ++i) m_tabs->addTab(QString::fromStdString(m_tabLayout->Label(i)));
  connect(m_tabs, &QTabBar::currentChanged, this, [this] { OnTabChange(); });

  m_hbar = new QScrollBar(Qt::Horizontal, this);
  m_hbar->setObjectName(ui::ControlName(kHBarId));
  m_hbar->setRange(0, PRollGeometry::kMaxHPos);
  m_vbar = new QScrollBar(Qt::Vertical, this);
  m_vbar->setObjectName(ui::ControlName(kVBarId));
  m_vbar->setRange(0, PRollGeometry::kMaxVPos);
  connect(m_hbar, &QAbstractSlider::actionTriggered, this,
          [this](int action) { OnHScroll(scroll::CodeOfAction(action), m_hbar->sliderPosition()); });
  connect(m_vbar, &QAbstractSlider::actionTriggered, this,
          [this](int action) { OnVScroll(scroll::CodeOfAction(action), m_vbar->sliderPosition()); });

  const auto makeButton = [this](QPushButton* button, int id, int picture, const char* caption) {
    button->setObjectName(ui::ControlName(id));
    button->setWindowTitle(QString::fromLatin1(caption));
    button->setToolTip(QString::fromLatin1(caption));
    button->setDefault(true);
    const QPixmap pixmap = ui::PictureStore::Instance().Pixmap(picture);
    button->setIcon(pixmap);
    button->setIconSize(pixmap.size());
    button->setFocusPolicy(Qt::NoFocus);
    connect(button, &QPushButton::clicked, this, [this, id] { OnCommand(id); });
  };
  m_narrow = new CZoomButton(this);
  m_widen = new CZoomButton(this);
  m_zoomIn = new QPushButton(this);
  m_zoomOut = new QPushButton(this);
  makeButton(m_narrow, kNarrowId, 1223, "N");
  makeButton(m_widen, kWidenId, 1224, "W");
  makeButton(m_zoomIn, kZoomInId, 1225, "ZoomIn");
  makeButton(m_zoomOut, kZoomOutId, 1226, "ZoomOut");
  setFocusPolicy(Qt::StrongFocus);
  Rebuild();
}

CPRollPane::~CPRollPane() = default;

QPushButton* CPRollPane::Button(int id) const {
  switch (id) {
    case kNarrowId: return m_narrow;
    case kWidenId: return m_widen;
    case kZoomInId: return m_zoomIn;
    case kZoomOutId: return m_zoomOut;
    default: return nullptr;
  }
}

void CPRollPane::SetChannelCount(int chipMode) { m_channelCount = ChannelCountForChipMode(chipMode, m_channelCount); }

void CPRollPane::SetView(int on, int redraw, uint32_t start, uint32_t end) {
  m_regionOn = on;
  m_regionStart = start;
  m_regionEnd = end;
  m_reserved = 0;
  if (redraw) Invalidate();
}

void CPRollPane::Rebuild() {
  const CKZ1Doc* doc = m_host.Document();
  m_hasSong = doc != nullptr;
  if (!doc) {
    m_index.Clear();
    m_cues.fill(CKZ1Doc::kNoCue);
    return;
  }
  m_index.Build(*doc);
  for (int k = 0; k < static_cast<int>(m_cues.size()); ++k) m_cues[static_cast<size_t>(k)] = doc->GetCuePoint(k);
  for (int channel = 0; channel < 16; ++channel) {
    for (int key = 0; key < 128; ++key) m_keyInRange[static_cast<size_t>(channel)][static_cast<size_t>(key)] = doc->IsNoteInRange(channel, key) != 0;
  }
}

void CPRollPane::UpdateView(const void* sender) {
  if (sender == this) {
    m_host.UpdateSongWindows();
    return;
  }
  if (m_host.PlayPositionRefresh()) {
    if (const CKZ1Doc* doc = m_host.Document()) {
      m_playTick = doc->TickToTime(m_host.CurrentPlayPosition());
      const int follow = m_geometry.FollowPosition(m_playTick);
      if (follow >= 0) OnHScroll(scroll::kThumbPosition, follow);
    }
  } else {
    Rebuild();
  }
  Invalidate();
  if (isVisible()) repaint();
}

void CPRollPane::Invalidate() {
  ++m_invalidations;
  const PRollRect g = m_geometry.Grid();
  const PRollRect s = m_geometry.Strip();
  update(QRect(g.left, g.top, g.width, g.height));
  update(QRect(s.left, s.top, s.width, s.height));
}

void CPRollPane::ApplyBars() {
  const QSignalBlocker hb(m_hbar);
  const QSignalBlocker vb(m_vbar);
  m_hbar->setPageStep(std::max(1, m_geometry.HPage()));
  m_vbar->setPageStep(std::max(1, m_geometry.VPage()));
  m_hbar->setSliderPosition(m_geometry.HPos());
  m_hbar->setValue(m_geometry.HPos());
  m_vbar->setSliderPosition(m_geometry.VPos());
  m_vbar->setValue(m_geometry.VPos());
}

void CPRollPane::OnHScroll(int code, int position) {
  m_geometry.HScroll(code, position);
  ApplyBars();
  Invalidate();
}

void CPRollPane::OnVScroll(int code, int position) {
  m_geometry.VScroll(code, position);
  ApplyBars();
  Invalidate();
}

void CPRollPane::wheelEvent(QWheelEvent* event) {
  if (m_vbar) {
    const int lines = QApplication::wheelScrollLines();
    const int v = m_geometry.VPos();
    OnVScroll(scroll::kThumbPosition, event->angleDelta().y() > 0 ? v - lines : v + lines);
  }
  event->accept();
}

void CPRollPane::OnTabChange() {
  m_currentTab = m_tabs->currentIndex();
  Rebuild();
  Invalidate();
}

bool CPRollPane::OnCommand(int id) {
  if (!HandlesCommand(id)) return false;
  if (m_geometry.Command(id)) Invalidate();
  ApplyBars();
  return true;
}

void CPRollPane::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  const int extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
  m_geometry.Resize(width(), height(), extent);
  const auto place = [](QWidget* w, const PRollRect& r) {
    w->setGeometry(r.left, r.top, std::max(0, r.width), std::max(0, r.height));
    w->show();
    w->raise();
  };
  place(m_tabs, m_geometry.TabStrip());
  for (int id = kNarrowId; id <= kZoomOutId; ++id) place(Button(id), m_geometry.Button(id));
  place(m_hbar, m_geometry.HBar());
  place(m_vbar, m_geometry.VBar());
  ApplyBars();
}

bool CPRollPane::RegionInWindow() const {
  if (!m_regionOn) return false;
  const uint32_t ws = m_geometry.WindowStart();
  const uint32_t we = m_geometry.WindowEnd();
  if (m_regionStart < ws && m_regionEnd < ws) return false;
  return !(m_regionStart >= we && m_regionEnd >= we);
}

QImage CPRollPane::Compose() const {
  QImage image(size(), QImage::Format_RGB32);
  image.fill(palette().color(QPalette::Window));
  const PRollRect g = m_geometry.Grid();
  if (g.Right() > 0 && g.Bottom() > 0) {
    QImage grid(g.Right(), g.Bottom(), QImage::Format_RGB32);
    DrawGrid(grid);
    QPainter p(&image);
    p.drawImage(0, 0, grid);
  }
  const PRollRect s = m_geometry.Strip();
  if (s.width > 0) {
    QImage strip(s.width, s.height, QImage::Format_RGB32);
    DrawEventStrip(strip);
    QPainter p(&image);
    p.drawImage(s.left, s.top, strip);
  }
  QPainter p(&image);
  p.fillRect(QRect(0, 0, m_geometry.TabStrip().width, m_geometry.TabStrip().height), kUnderTabs);
  return image;
}

void CPRollPane::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.drawImage(0, 0, Compose());
}

void CPRollPane::DrawGrid(QImage& image) const {
  image.fill(Qt::white);
  QPainter p(&image);
  DrawKeyRows(p);
  DrawTimeGrid(p);
  DrawNotes(p);
  DrawRegion(image, p);
  p.end();
  if (m_host.PlayPositionRefresh()) {
    const uint32_t ws = m_geometry.WindowStart();
    if (m_playTick >= ws && m_playTick < m_geometry.WindowEnd()) {
      InvertRect(image, QRect(m_geometry.XOfTick(m_playTick), PRollGeometry::kRulerTop, 3, m_geometry.GridHeight()));
    }
  }
}

void CPRollPane::DrawKeyRows(QPainter& p) const {
  const int h = m_geometry.RowHeight();
  const int gw = m_geometry.GridWidth();
  const SongTabKind kind = TabKind();
  QFont font("Arial");
  font.setPointSizeF(std::max(1.0, h / 2.0));
  p.setFont(font);
  p.setPen(Qt::black);
  const int rows = m_geometry.RowCount();
  for (int i = 0; i < rows; ++i) {
    const int key = m_geometry.KeyOfRow(i);
    const int top = 45 + i * h;
    const QRect row(0, top, gw, h - 1);
    const QRect label(2, 46 + i * h, 92, h - 4);
    p.setPen(kLight);
    p.drawLine(0, 44 + (i + 1) * h, gw - 1, 44 + (i + 1) * h);
    p.setPen(Qt::black);
    const std::string name = GetNoteName(key);
    const QString text = QString::fromStdString(name);
    if (kind == SongTabKind::Channel && !m_keyInRange[static_cast<size_t>(m_currentTab)][static_cast<size_t>(key)]) {
      p.fillRect(row, kGrey);
      p.drawText(label, Qt::AlignCenter, text);
      continue;
    }
    const bool black = name.size() > 1 && name[1] == '#';
    if (black) p.fillRect(row, kLightFill);
    if (kind != SongTabKind::StreamPcm) {
      p.drawText(label, Qt::AlignCenter, text);
      continue;
    }
    const int slot = DefaultSlotOfKey()[static_cast<size_t>(key)];
    if (slot >= 1 && slot <= 32) {
      p.drawText(label, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("ID#%1 (%2)").arg(slot).arg(text));
    } else {
      p.fillRect(row, kGrey);
    }
  }
  if (m_geometry.TopKey() - rows < 0) {
    const int top = 45 + rows * h;
    p.fillRect(QRect(0, top, gw, std::max(0, PRollGeometry::kRulerTop + m_geometry.GridHeight() - top)), kGrey);
  }
}

void CPRollPane::DrawTimeGrid(QPainter& p) const {
  const int gw = m_geometry.GridWidth();
  const int bottom = PRollGeometry::kRulerTop + m_geometry.GridHeight();
  p.setFont(m_host.InterfaceFont());
  p.setPen(kDark);
  p.drawLine(0, PRollGeometry::kRulerBottom, gw - 1, PRollGeometry::kRulerBottom);
  p.setBackgroundMode(Qt::OpaqueMode);
  p.setBackground(Qt::white);
  const int columns = m_geometry.ColumnCount();
  for (int j = 0; j < columns; ++j) {
    const int unit = m_geometry.HPos() + j;
    const int x = m_geometry.XOfColumn(j);
    p.setPen(unit % 5 == 0 ? kDark : kLight);
    p.drawLine(x, PRollGeometry::kRulerTop, x, bottom - 1);
    if (unit % 5 == 0) {
      p.setPen(Qt::black);
      p.drawText(QRect(x + 2, 26, 200, 16), Qt::AlignLeft | Qt::AlignTop, QString::number(unit / 5));
    }
  }
  p.setBackgroundMode(Qt::TransparentMode);
}

void CPRollPane::DrawNotes(QPainter& p) const {
  const SongTabKind kind = TabKind();
  const bool pcm = kind == SongTabKind::StreamPcm;
  const int channel = m_currentTab;
  m_index.ForNotes(pcm ? NoteIndex::kStreamPcm : NoteIndex::kSong, m_geometry.WindowStart(), m_geometry.WindowEnd(),
                   [&](const IndexedNote& n) {
                     if (!pcm && (n.length != 3 || (kind == SongTabKind::Channel && (n.status & 0x0F) != channel))) return;
                     const uint32_t length = n.endTick >= n.tick ? std::max<uint32_t>(n.endTick - n.tick + 1, 1) : 1;
                     PRollRect bar;
                     if (!m_geometry.NoteBar(n.tick, length, n.key, bar)) return;
                     DrawNoteBar(p, bar.left, bar.top, bar.Right(), bar.Bottom(), (n.status & 0x0F) % 4);
                   });
}

void CPRollPane::DrawRegion(QImage& image, QPainter& p) const {
  if (!RegionInWindow()) return;
  const uint32_t ws = m_geometry.WindowStart();
  const int lineHeight = m_geometry.GridHeight();
  for (Ends end : {Ends::Start, Ends::End}) {
    const uint32_t tick = end == Ends::Start ? m_regionStart : m_regionEnd;
    if (tick <= ws) continue;
    const int d = static_cast<int>(std::min<uint32_t>(m_geometry.Offset(tick - ws), 0x3FFFFFFF));
    if (end == Ends::Start) p.drawImage(89 + d, 28, m_marker, 0, 0, 8, 16);
    else p.drawImage(96 + d, 28, m_marker, 8, 0, 8, 16);
    p.end();
    InvertRect(image, QRect(PRollGeometry::kKeyColumn + d, PRollGeometry::kRulerBottom, 1, lineHeight));
    p.begin(&image);
  }
}

void CPRollPane::DrawEventStrip(QImage& image) const {
  image.fill(Qt::white);
  QPainter p(&image);
  p.setFont(m_host.InterfaceFont());
  const int w = image.width();
  p.setPen(kDark);
  p.drawLine(0, 0, w - 1, 0);
  p.drawLine(0, 4, w - 1, 4);
  const int columns = m_geometry.ColumnCount();
  for (int j = 0; j < columns; ++j) {
    p.setPen((m_geometry.HPos() + j) % 5 == 0 ? kDark : kLight);
    p.drawLine(m_geometry.XOfColumn(j), 5, m_geometry.XOfColumn(j), 39);
  }
  const uint32_t ws = m_geometry.WindowStart();
  const uint32_t we = m_geometry.WindowEnd();
  const SongTabKind kind = TabKind();
  const bool pcm = kind == SongTabKind::StreamPcm;
  m_index.ForEvents(pcm ? NoteIndex::kStreamPcm : NoteIndex::kSong, ws, we, [&](const IndexedEvent& e) {
    if (kind == SongTabKind::Channel && (e.bytes[0] & 0x0F) != m_currentTab) return;
    if (const auto box = EventBox(e, pcm)) DrawBox(p, m_geometry.XOfTick(e.tick), *box);
  });
  for (int k = 1; k <= 9; ++k) {
    const uint32_t cue = m_cues[static_cast<size_t>(k)];
    if (cue == CKZ1Doc::kNoCue || cue < ws || cue >= we) continue;
    DrawBox(p, m_geometry.XOfTick(cue), kCueBoxes[k - 1]);
  }
  p.end();
  if (RegionInWindow()) {
    for (uint32_t tick : {m_regionStart, m_regionEnd}) {
      if (tick > ws) InvertRect(image, QRect(m_geometry.XOfTick(tick), 5, 1, 35));
    }
  }
  if (m_host.PlayPositionRefresh() && m_playTick >= ws && m_playTick < we) {
    InvertRect(image, QRect(m_geometry.XOfTick(m_playTick), 5, 3, 35));
  }
}

CPRollFrm::CPRollFrm(ISongViewHost& host, QWidget* parent) : ui::MdiFrame(kClassName, 0, host.FrameSlots(), parent) {
  setWindowTitle(QStringLiteral("Piano Roll"));
  m_pane = new CPRollPane(host, this);
  setWidget(m_pane);
  RestorePlacement(0, 0, 600, 400);
}

CPRollFrm::~CPRollFrm() { SavePlacement(); }

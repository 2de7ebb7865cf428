// The painting of the channel pane: header, rows, ruler, cues, note bars, cells, region and
// play line, composed in one image.
#include <QPainter>
#include <algorithm>

#include "app/core/SettingKeys.h"
#include "platform/host/HostServices.h"
#include "song/Voice2.h"
#include "song/VoiceItem.h"
#include "song/document/KZ1Doc.h"
#include "uikit/PictureStore.h"
#include "views/ChannelView.h"
#include "views/ChannelVoiceName.h"
#include "views/SongWindowHost.h"

namespace {

const QColor kColumnFill(240, 240, 240);
const QColor kLight(192, 192, 192);
const QColor kDark(96, 96, 96);
const QColor kAbsentText(192, 192, 192);
const QColor kNavy(0, 0, 128);

constexpr QRgb kCueColours[9] = {qRgb(192, 128, 240), qRgb(128, 144, 240), qRgb(240, 32, 192),
                                 qRgb(192, 240, 64),  qRgb(128, 240, 96),  qRgb(96, 144, 240),
                                 qRgb(144, 240, 128), qRgb(144, 128, 240), qRgb(240, 96, 144)};

bool ProfileAllows(int profile) { return profile != 4 && profile != 6; }

void InvertRect(QImage& image, QRect r) {
  r = r.intersected(image.rect());
  for (int y = r.top(); y <= r.bottom(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = r.left(); x <= r.right(); ++x) line[x] = 0xFF000000u | (~line[x] & 0x00FFFFFFu);
  }
}

/// A check box centred in its cell; an inactive one is grey and never checked.
void DrawCheck(QPainter& p, const QRect& cell, bool checked, bool active) {
  const QRect box(cell.center().x() - 5, cell.center().y() - 5, 11, 11);
  p.fillRect(box, active ? QColor(Qt::white) : QColor(224, 224, 224));
  p.setPen(active ? QColor(64, 64, 64) : kLight);
  p.drawRect(box.adjusted(0, 0, -1, -1));
  if (checked && active) {
    p.setPen(QPen(Qt::black, 2));
    p.drawLine(box.left() + 2, box.center().y(), box.center().x() - 1, box.bottom() - 3);
    p.drawLine(box.center().x() - 1, box.bottom() - 3, box.right() - 2, box.top() + 2);
  }
}

QString KindText(int kind) {
  static const char* const kKinds[4] = {"No-C", "Melo", "No-M", "Rhy"};
  return kind >= 0 && kind < 4 ? QString::fromLatin1(kKinds[kind]) : QString();
}

QString StreamFormatText(int format) {
  static const char* const kFormats[4] = {"Signed PCM", "ADPCM", "TwinVQ", "MP3"};
  return format >= 0 && format < 4 ? QString::fromLatin1(kFormats[format]) : QString();
}

QString KeyRangeText(int range) {
  static const char* const kRanges[4] = {"C#2-C5", "C#3-C6", "C#4-C7", "C#5-C8"};
  return range >= 0 && range < 4 ? QString::fromLatin1(kRanges[range]) : QString();
}

QString FixedText(const uint8_t* bytes, int size) {
  int n = 0;
  while (n < size && bytes[n] != 0) ++n;
  return QString::fromLatin1(reinterpret_cast<const char*>(bytes), n).trimmed();
}

QColor SchemeColour(int scheme, int level, bool light) {
  switch (scheme) {
    case 0: return light ? QColor(255, level, level) : QColor(level, 0, 0);
    case 1: return light ? QColor(level, 255, level) : QColor(0, level, 0);
    case 2: return light ? QColor(level, level, 255) : QColor(0, 0, level);
    default: return light ? QColor(255, 255, level) : QColor(level, level, 0);
  }
}

}  // namespace

QImage CChannelView::Compose(int depth) const {
  QImage image(std::max(1, width()), std::max(1, height()), QImage::Format_RGB32);
  image.fill(Qt::white);
  if (depth >= 15) {
    const QPixmap tile = ui::PictureStore::Instance().Pixmap(1202);
    QPainter p(&image);
    p.drawTiledPixmap(image.rect(), tile);
  }
  {
    QPainter p(&image);
    Draw(p, depth);
  }
  DrawRegion(image);
  DrawPlayLine(image, m_host.Document());
  return image;
}

void CChannelView::paintEvent(QPaintEvent*) {
  const QImage image = Compose(depth());
  QPainter p(this);
  p.drawImage(0, 0, image);
}

void CChannelView::Draw(QPainter& p, int depth) const {
  const CKZ1Doc* doc = m_host.Document();
  p.setFont(m_host.InterfaceFont());
  p.setBackgroundMode(Qt::TransparentMode);
  const ChannelRect area = m_geometry.DrawingArea();
  p.fillRect(QRect(area.left, area.top, std::min(m_geometry.TimelineLeft(), area.width), area.height), kColumnFill);
  DrawRows(p, doc);
  DrawHeader(p);
  p.save();
  p.setClipRect(QRect(m_geometry.TimelineLeft(), area.top, m_geometry.TimelineWidth(), area.height));
  DrawRuler(p);
  DrawCues(p, doc);
  DrawNotes(p, depth);
  p.restore();
  p.save();
  p.setClipRect(QRect(area.left, area.top, std::min(m_geometry.TimelineLeft(), area.width), area.height));
  DrawCells(p, doc);
  DrawStreamRow(p, doc);
  p.restore();
  // The etched frame of the column area.
  const QRect columns(area.left, 43, m_geometry.TimelineLeft(), area.Bottom() - 43);
  p.setPen(kDark);
  p.drawRect(columns.adjusted(0, 0, -1, -1));
  p.setPen(Qt::white);
  p.drawRect(columns.adjusted(1, 1, -2, -2));
}

void CChannelView::DrawRows(QPainter& p, const CKZ1Doc* doc) const {
  const ChannelRect area = m_geometry.DrawingArea();
  const int rows = m_geometry.VisibleRows();
  const int lastRow = m_geometry.LastRow();
  for (int i = 1; i < rows; ++i) {
    const int row = m_geometry.VPos() + i - 1;
    if (row > lastRow) break;
    const int top = m_geometry.RowTop(row);
    p.setPen(kLight);
    p.drawLine(area.left, top, area.Right() - 1, top);
    const QRect ch(m_geometry.ColumnLeft(ChannelGeometry::kCh), top, m_geometry.Width(ChannelGeometry::kCh), 20);
    const QRect mute(m_geometry.ColumnLeft(ChannelGeometry::kMute), top, m_geometry.Width(ChannelGeometry::kMute), 20);
    if (row <= m_geometry.LastChannelRow()) {
      const int channel = row - 1;
      const bool present = doc && doc->GetChannelValue(channel) != 0;
      p.setPen(present ? QColor(Qt::black) : kAbsentText);
      p.drawText(ch, Qt::AlignCenter, QString::number(row));
      DrawCheck(p, mute, doc && doc->GetChannelMute(channel) != 0, present);
    } else {
      const bool active = doc && !doc->GetMidiListPCM()->empty() && doc->GetChannelUsed(16) != 0;
      p.setPen(active ? QColor(Qt::black) : kAbsentText);
      p.drawText(ch, Qt::AlignCenter, QStringLiteral("STM"));
      DrawCheck(p, mute, doc && doc->GetStreamPcmMute() != 0, active);
    }
  }
  const int bottomLine = m_geometry.RowTop(lastRow + 1);
  if (bottomLine > ChannelGeometry::kHeaderBottom) {
    p.setPen(kLight);
    p.drawLine(area.left, bottomLine, area.Right() - 1, bottomLine);
  }
}

void CChannelView::DrawHeader(QPainter& p) const {
  const ChannelRect area = m_geometry.DrawingArea();
  p.setPen(kDark);
  p.drawLine(area.left, ChannelGeometry::kHeaderBottom, area.Right() - 1, ChannelGeometry::kHeaderBottom);
  for (int c = 0; c < ChannelGeometry::kColumnCount; ++c) {
    const int w = m_geometry.Width(c);
    if (w <= 0) continue;
    const int left = m_geometry.ColumnLeft(c);
    const QRect cell(left, 24, w, 20);
    p.setPen(Qt::white);
    p.drawLine(cell.left(), cell.top(), cell.right(), cell.top());
    p.drawLine(cell.left(), cell.top(), cell.left(), cell.bottom() - 1);
    p.setPen(kDark);
    p.drawLine(cell.left(), cell.bottom() - 1, cell.right(), cell.bottom() - 1);
    p.setPen(Qt::black);
    p.drawText(cell, Qt::AlignCenter, QString::fromStdString(m_geometry.Title(c)));
    p.setPen(kLight);
    p.drawLine(left + w - 1, 24, left + w - 1, area.Bottom() - 1);
  }
}

void CChannelView::DrawRuler(QPainter& p) const {
  const ChannelRect area = m_geometry.DrawingArea();
  const int units = m_geometry.UnitsDrawn();
  for (int j = 0; j < units; ++j) {
    const int unit = m_geometry.HPos() + j;
    if (unit > ChannelGeometry::kLastUnit) break;
    const int x = m_geometry.TimelineLeft() + j * ChannelGeometry::kPixelsPerUnit;
    const bool major = unit % 5 == 0;
    p.setPen(major ? kDark : kLight);
    p.drawLine(x, area.top, x, area.Bottom() - 1);
    if (major) {
      p.setPen(Qt::black);
      p.drawText(QRect(x + 2, 25, 60, 18), Qt::AlignLeft | Qt::AlignTop, QString::number(unit / 5));
    }
  }
}

void CChannelView::DrawCues(QPainter& p, const CKZ1Doc* doc) const {
  if (!doc) return;
  const ChannelRect area = m_geometry.DrawingArea();
  const uint64_t start = m_geometry.WindowStart();
  const uint64_t end = m_geometry.WindowEnd();
  for (int k = 1; k <= 9; ++k) {
    const uint32_t cue = doc->GetCuePoint(k);
    if (cue == CKZ1Doc::kNoCue || cue < start || cue >= end) continue;
    const int x = static_cast<int>(m_geometry.XOfTick(cue));
    p.fillRect(QRect(x, area.top, 4, area.height), QColor::fromRgb(kCueColours[k - 1]));
  }
}

void CChannelView::DrawBar(QPainter& p, int left, int top, int right, int bottom, int scheme, int depth) const {
  const int width = std::max(1, right - left);
  if (depth < 15) {
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    p.drawRect(left, top, width - 1, bottom - top - 1);
    p.setBrush(Qt::NoBrush);
    return;
  }
  const int s = std::max((bottom - top) / 10, 1);
  const int quarter = (bottom - top + 1) / 4;
  const int middle = top + 2 * quarter;
  const int upper = top + quarter;
  if (middle > upper) {
    for (int y = upper, k = 0; y < middle; y += s, ++k) {
      const double f = 1.0 - static_cast<double>(y - upper) / (middle - upper);
      const QColor c = SchemeColour(scheme, static_cast<int>(f * 144), true);
      p.fillRect(left, y, width, std::min(s, middle - y), c);
      const int mirror = upper - (k + 1) * s;
      if (mirror + s > top) p.fillRect(left, std::max(mirror, top), width, mirror + s - std::max(mirror, top), c);
    }
  }
  for (int y = middle; y < bottom; y += s) {
    const double t = bottom > middle ? static_cast<double>(y - middle) / (bottom - middle) : 0.0;
    const double g = 1.0 - t * t;
    p.fillRect(left, y, width, std::min(s, bottom - y), SchemeColour(scheme, static_cast<int>(g * 255), false));
  }
}

void CChannelView::DrawNotes(QPainter& p, int depth) const {
  const uint32_t start = m_geometry.WindowStart();
  const uint64_t end64 = m_geometry.WindowEnd();
  const uint32_t end = static_cast<uint32_t>(std::min<uint64_t>(end64, 0xFFFFFFFFu));
  const int firstRow = m_geometry.VPos();
  const int lastVisible = firstRow + m_geometry.VisibleRows() - 1;
  const int left = m_geometry.TimelineLeft();
  const int right = m_geometry.DrawingArea().Right();
  const auto draw = [&](const IndexedNote& n, int row, int scheme) {
    if (row < firstRow || row > lastVisible) return;
    const int64_t x0 = std::max<int64_t>(m_geometry.XOfTick(n.tick), left);
    const int64_t x1 = std::min<int64_t>(m_geometry.XOfTick(NoteIndex::DrawnEnd(n)), right);
    if (x1 < x0) return;
    const int top = m_geometry.BarTop(row);
    DrawBar(p, static_cast<int>(x0), top, static_cast<int>(std::max(x1, x0 + 1)), top + ChannelGeometry::kBarHeight,
            scheme, depth);
  };
  const int lastChannelRow = m_geometry.LastChannelRow();
  m_index.ForNotes(NoteIndex::kSong, start, end, [&](const IndexedNote& n) {
    const int channel = n.status & 0x0F;
    if (channel + 1 > lastChannelRow) return;
    draw(n, channel + 1, channel % 4);
  });
  if (m_geometry.ExtraRows() > 0)
    m_index.ForNotes(NoteIndex::kStreamPcm, start, end,
                     [&](const IndexedNote& n) { draw(n, ChannelGeometry::kStreamPcmRow, 0); });
}

QString CChannelView::VoiceName(const CKZ1Doc& doc, int channel) const {
  const int slot = doc.GetChannelVoiceSlot(channel);
  switch (m_geometry.ChipMode()) {
    case 1: {
      uint8_t voice[33] = {};
      doc.GetKZ1Voice(slot, voice);
      return FixedText(voice, 16);
    }
    case 2: {
      CVoice2 voice;
      doc.GetKZ2Voice(slot, voice);
      return FixedText(voice.GetName(), CVoice2::kNameSize);
    }
    default: break;
  }
  const platform::IAppSettings& s = platform::settings();
  ChannelVoiceNameInput in;
  in.channel = channel;
  in.bankMsb = doc.GetChannelBankMsb(channel);
  in.bankLsb = doc.GetChannelBankLsb(channel);
  in.program = doc.GetChannelProgram(channel);
  in.chipMode = m_geometry.ChipMode();
  in.outputProfile = s.GetOutputProfile();
  in.makerId = s.GetMakerID();
  in.modeSetting = ReadProfileSetting(profile_keys::kModeSetting);
  if (in.bankMsb != 0 && in.bankMsb != 125) {
    if (const CVoiceItem* item = const_cast<CKZ1Doc&>(doc).GetVoiceItem(slot); item && item->GetName())
      in.itemName = item->GetName();
  }
  return QString::fromStdString(ChannelVoiceName(in));
}

void CChannelView::DrawCells(QPainter& p, const CKZ1Doc* doc) const {
  if (!doc) return;
  const int profile = platform::settings().GetOutputProfile();
  const bool allows = ProfileAllows(profile);
  const int chipMode = m_geometry.ChipMode();
  const int rows = m_geometry.VisibleRows();
  for (int i = 1; i < rows; ++i) {
    const int row = m_geometry.VPos() + i - 1;
    if (row > m_geometry.LastChannelRow()) break;
    const int channel = row - 1;
    const bool present = doc->GetChannelValue(channel) != 0;
    const int top = m_geometry.RowTop(row);
    const auto cell = [&](int c) { return QRect(m_geometry.ColumnLeft(c), top, m_geometry.Width(c), 20); };
    const auto text = [&](int c, const QString& t) {
      if (m_geometry.Width(c) <= 0) return;
      p.setPen(present ? QColor(Qt::black) : kAbsentText);
      p.drawText(cell(c), Qt::AlignCenter, t);
    };
    if (m_geometry.Width(ChannelGeometry::kKS) > 0) {
      const int ks = doc->GetChannelStatusHigh(channel);
      if (chipMode == 3 || chipMode == 5) {
        if (ks == 0 && allows) text(ChannelGeometry::kKS, QStringLiteral("----"));
        else DrawCheck(p, cell(ChannelGeometry::kKS), ks == 2 && allows, allows && present);
      } else {
        DrawCheck(p, cell(ChannelGeometry::kKS), ks != 0 && allows, allows && present);
      }
    }
    if (m_geometry.Width(ChannelGeometry::kVS) > 0)
      DrawCheck(p, cell(ChannelGeometry::kVS), allows && doc->GetChannelVS(channel) != 0, allows && present);
    if (m_geometry.Width(ChannelGeometry::kLED) > 0)
      DrawCheck(p, cell(ChannelGeometry::kLED), allows && doc->GetChannelLED(channel) != 0, allows && present);
    text(ChannelGeometry::kCTyp, allows ? KindText(doc->GetChannelKind(channel)) : QString());
    const int msb = doc->GetChannelBankMsb(channel);
    text(ChannelGeometry::kVo, msb == 125 ? QStringLiteral("D")
                                          : QString::number(doc->GetChannelVoiceSlot(channel) + 1));
    text(ChannelGeometry::kC, QString::number(static_cast<unsigned>(doc->GetChannelWord(channel))));
    if (present) {
      text(ChannelGeometry::kBM, QString::number(msb & 0xFF));
      text(ChannelGeometry::kBL, QString::number(doc->GetChannelBankLsb(channel) & 0xFF));
      const int originPch = platform::settings().GetOriginPch() ? 1 : 0;
      text(ChannelGeometry::kPch, QString::number((doc->GetChannelProgram(channel) & 0xFF) + originPch));
    }
    if (m_geometry.Width(ChannelGeometry::kRegion) > 0 && chipMode == 1) {
      uint8_t voice[33] = {};
      doc->GetKZ1Voice(doc->GetChannelVoiceSlot(channel), voice);
      text(ChannelGeometry::kRegion, KeyRangeText(voice[32] & 0x0F));
    }
    if (m_geometry.Width(ChannelGeometry::kName) > 0) {
      const QRect name = cell(ChannelGeometry::kName);
      const QString label = present ? VoiceName(*doc, channel) : QString();
      if (channel == m_selected) {
        p.fillRect(name.adjusted(1, 1, -1, 0), kNavy);
        p.setPen(Qt::white);
      } else {
        p.setPen(present ? QColor(Qt::black) : kAbsentText);
      }
      p.drawText(name.adjusted(3, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter, label);
    }
    if (m_geometry.Width(ChannelGeometry::kCv) > 0 && present) {
      const int part = doc->GetChannelPart(channel);
      if (part >= 1 && part <= 4) {
        const QRect c = cell(ChannelGeometry::kCv);
        const QPixmap mark = ui::PictureStore::Instance().Pixmap(2146 + part);
        if (mark.width() <= c.width() && mark.height() <= c.height()) {
          p.drawPixmap(c.center().x() - mark.width() / 2, c.center().y() - mark.height() / 2, mark);
        } else {
          text(ChannelGeometry::kCv, QString::number(part));
        }
      }
    }
  }
}

void CChannelView::DrawStreamRow(QPainter& p, const CKZ1Doc* doc) const {
  const int row = ChannelGeometry::kStreamPcmRow;
  if (!doc || m_geometry.ExtraRows() == 0 || row < m_geometry.VPos() || row >= m_geometry.VPos() + m_geometry.VisibleRows() - 1)
    return;
  const int top = m_geometry.RowTop(row);
  const auto cell = [&](int c) { return QRect(m_geometry.ColumnLeft(c), top, m_geometry.Width(c), 20); };
  const bool inUse = doc->GetChannelUsed(16) != 0;
  const bool hasEvents = !doc->GetMidiListPCM()->empty();
  const int chipMode = m_geometry.ChipMode();
  p.setPen(inUse ? QColor(Qt::black) : kAbsentText);
  if (chipMode == 3 || chipMode == 5) {
    if (inUse) {
      bool vs = false;
      bool led = false;
      for (int k = 0; k < 16; ++k) {
        if (doc->GetChannelUsed(k) == 0) continue;
        vs = vs || doc->GetChannelVS(k) != 0;
        led = led || doc->GetChannelLED(k) != 0;
      }
      DrawCheck(p, cell(ChannelGeometry::kVS), vs, true);
      DrawCheck(p, cell(ChannelGeometry::kLED), led, true);
      p.setPen(Qt::black);
    }
    if (hasEvents) p.drawText(cell(ChannelGeometry::kCTyp), Qt::AlignCenter, QStringLiteral("Stream PCM"));
  } else if (chipMode == 2 && hasEvents) {
    p.drawText(cell(ChannelGeometry::kCTyp), Qt::AlignCenter, StreamFormatText(doc->GetSongSetup().GetStreamMode()));
  }
}

void CChannelView::DrawRegion(QImage& image) const {
  if (!m_regionOn) return;
  const uint64_t start = m_geometry.WindowStart();
  const uint64_t end = m_geometry.WindowEnd();
  if (m_regionEnd < start || m_regionStart >= end) return;
  const ChannelRect area = m_geometry.DrawingArea();
  const int lineTop = ChannelGeometry::kHeaderBottom;
  const int lineHeight = area.Bottom() - lineTop;
  if (m_regionStart > start) {
    const int x = static_cast<int>(m_geometry.XOfTick(m_regionStart));
    {
      QPainter p(&image);
      p.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
      p.drawImage(x - 7, 28, m_marker, 0, 0, 8, 16);
    }
    InvertRect(image, QRect(x, lineTop, 1, lineHeight));
  }
  if (m_regionEnd > start && m_regionEnd < end) {
    const int x = static_cast<int>(m_geometry.XOfTick(m_regionEnd));
    {
      QPainter p(&image);
      p.drawImage(x, 28, m_marker, 8, 0, 8, 16);
    }
    InvertRect(image, QRect(x, lineTop, 1, lineHeight));
  }
}

void CChannelView::DrawPlayLine(QImage& image, const CKZ1Doc* doc) const {
  if (!doc || m_host.PlayPositionRefresh() != 1) return;
  const uint32_t tick = doc->TickToTime(m_host.CurrentPlayPosition());
  if (tick < m_geometry.WindowStart() || tick >= m_geometry.WindowEnd()) return;
  const ChannelRect area = m_geometry.DrawingArea();
  InvertRect(image, QRect(static_cast<int>(m_geometry.XOfTick(tick)), area.top, 3, area.height));
}

// Drawing shared by the voice list panes: header cells with an etched edge, text cells and
// their context menus.
#pragma once

#include <QColor>
#include <QRect>
#include <QString>
#include <functional>

#include "voice/models/VListMenu.h"

class QMenu;
class QPainter;

namespace vlistpaint {

/// A Windows colour value (0x00BBGGRR) as a colour.
QColor Colour(unsigned colorRef);
/// A header cell: the band colour, an etched edge and white centred text.
void HeaderCell(QPainter& p, const QRect& cell, const QString& text);
/// A grid cell: the background inside its lines and centred one-line text.
void TextCell(QPainter& p, const QRect& cell, const QString& text, unsigned textColour, unsigned backColour);
/// The items as actions; a triggered item calls `run` with its command.
void FillMenu(QMenu& menu, const VListMenu& items, const std::function<void(int)>& run);

}  // namespace vlistpaint

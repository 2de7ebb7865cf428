// What the graph and access-log frames share: their pane, title and default placement.
#pragma once

#include <QString>

class QWidget;

namespace ui {
class MdiFrame;
}

/// Makes `pane` the frame's visible, bordered client, sets the title and restores the
/// placement (400 x 300 by default); `minimumHeight`: the frame is never lower than 280.
void SetUpGraphFrame(ui::MdiFrame& frame, QWidget* pane, const QString& title, bool minimumHeight);

// The shell's own pictures: the toolbar buttons by command and the busy pictures by kind.
#pragma once

class QPainter;

namespace shellpictures {

/// The 16 x 15 picture of the toolbar button of `command`, drawn with its left edge at `left`.
void PaintToolbarButton(QPainter& p, int left, int command);

/// Registers the busy pictures (166 x 53) of every kind in both colour depths.
void RegisterBusyPictures();

}  // namespace shellpictures

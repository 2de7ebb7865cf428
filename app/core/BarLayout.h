// The saved layout of the main window's bars: where each bar is docked, on which line of its
// side, in which order, and whether it shows. Only the order is kept, never a bar's pixel
// position or size, so a bar takes its own size again when the layout comes back.
#pragma once

#include <optional>
#include <string>
#include <vector>

struct BarPlace {
  enum Side { kTop = 'T', kBottom = 'B', kLeft = 'L', kRight = 'R' };
  int id = 0;
  char side = kTop;
  int line = 0;  // 0 the line next to the window's edge
  bool visible = true;

  bool operator==(const BarPlace&) const = default;
};

/// "id:side:line:visible" per bar, in order along each line, separated by ";".
std::string FormatBarLayout(const std::vector<BarPlace>& places);
/// The places of a saved text; none for a text that is not such a layout (an old or damaged
/// one), which leaves the default layout.
std::optional<std::vector<BarPlace>> ParseBarLayout(const std::string& text);

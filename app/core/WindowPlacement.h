// A window's placement as the profile keeps it under "WindowPosition\<class name>".
#pragma once

#include <string>

struct PlacementPoint {
  int x = 0;
  int y = 0;
};

struct PlacementRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
};

/// The framework's placement record; the window side reads and applies it.
struct WindowPlacement {
  int showCmd = 1;
  PlacementPoint ptMinPosition;
  PlacementPoint ptMaxPosition;
  PlacementRect rcNormalPosition;
};

inline constexpr int kShowHidden = 0;

/// Writes the placement's nine values in the profile's order; stops at the first failed write
/// and returns -1, else 0.
int SaveWindowPlacement(const std::string& windowClassName, const WindowPlacement& placement);

/// The placement to apply: `current` with its normal rectangle and minimised and maximised
/// positions replaced by the stored values, shown hidden (the creator shows the window after).
/// Missing values take the defaults; with a default right and bottom of 0 they are the width
/// and height of `windowRect`. The stored show command is read but not applied.
WindowPlacement RestoreWindowPlacement(const std::string& windowClassName, const WindowPlacement& current,
                                       const PlacementRect& windowRect, int defLeft, int defTop,
                                       int defRight, int defBottom);

// A window's placement as the profile keeps it under "WindowPosition\<class name>".
#include "app/core/WindowPlacement.h"

#include <iterator>

#include "app/core/SettingKeys.h"
#include "platform/host/HostServices.h"

namespace {

std::string SectionOf(const std::string& windowClassName) {
  return profile_keys::kWindowPositionPrefix + windowClassName;
}

}  // namespace

int SaveWindowPlacement(const std::string& windowClassName, const WindowPlacement& placement) {
  const std::string section = SectionOf(windowClassName);
  const PlacementRect& r = placement.rcNormalPosition;
  // Same order as profile_keys::kPlacementKeys.
  const int values[] = {placement.showCmd,       placement.ptMinPosition.x, placement.ptMinPosition.y,
                        placement.ptMaxPosition.x, placement.ptMaxPosition.y, r.top,
                        r.bottom,                r.left,                    r.right};
  platform::IProfile& profile = platform::profile();
  for (size_t i = 0; i < std::size(values); ++i) {
    if (!profile.WriteProfileInt(section, profile_keys::kPlacementKeys[i], values[i])) return -1;
  }
  return 0;
}

WindowPlacement RestoreWindowPlacement(const std::string& windowClassName, const WindowPlacement& current,
                                       const PlacementRect& windowRect, int defLeft, int defTop,
                                       int defRight, int defBottom) {
  if (defRight == 0 && defBottom == 0) {
    defRight = windowRect.Width();
    defBottom = windowRect.Height();
  }
  const std::string section = SectionOf(windowClassName);
  const platform::IProfile& profile = platform::profile();
  auto read = [&](const char* key, int def) { return profile.GetProfileInt(section, key, def); };

  WindowPlacement placement = current;
  read("showCmd", 1);
  placement.ptMinPosition = {read("ptMinPositionX", 0), read("ptMinPositionY", 0)};
  placement.ptMaxPosition = {read("ptMaxPositionX", 0), read("ptMaxPositionY", 0)};
  placement.rcNormalPosition.top = read("top", defTop);
  placement.rcNormalPosition.bottom = read("bottom", defBottom);
  placement.rcNormalPosition.left = read("left", defLeft);
  placement.rcNormalPosition.right = read("right", defRight);
  placement.showCmd = kShowHidden;
  return placement;
}

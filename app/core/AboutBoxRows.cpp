// What the About box and the start-up picture show, by chip mode, output profile and maker id.
#include "app/core/AboutBoxRows.h"

#include "platform/strings/StringTable.h"

std::vector<AboutPluginRow> AboutPluginRows(int chipMode, int profile, int makerId) {
  std::vector<AboutPluginRow> rows;
  const bool checked = profile == 1 || profile == 2 || profile == 3 || profile == 5 || profile == 7 || profile == 8;
  if (chipMode == 5) {
    if (checked) rows.push_back({19, "Polyscan5.dll"});
    return rows;
  }
  if (chipMode != 3) return rows;
  if (profile >= 1 && profile <= 8) rows.push_back({7, "Midigate.DLL"});
  if (profile == 2 || profile == 3 || profile == 5 || profile == 8) rows.push_back({8, "Velkgate.DLL"});
  if (profile == 1 || profile == 7) {
    if (makerId == 1) rows.push_back({10, "Imelgate.DLL"});
    if (makerId == 2) rows.push_back({11, "Imelgate_N.DLL"});
    if (makerId == 4) rows.push_back({13, "Imelgate_S.DLL"});
  }
  if (profile == 4) rows.push_back({17, "Phrasegate.DLL"});
  if (profile == 6) {
    if (makerId == 1) rows.push_back({14, "Imelphrasegate.DLL"});
    if (makerId == 2) rows.push_back({15, "Imelphrasegate_N.DLL"});
    if (makerId == 4) rows.push_back({16, "Imelphrasegate_SO.DLL"});
  }
  if (checked) rows.push_back({19, "Polyscan.DLL"});
  return rows;
}

std::string OutputProfileName(int profile) {
  static const char* const kNames[] = {"DoCoMo",     "KORVAN",      "Vodafone",
                                       "VELK/Phrase", "for Developer", "MFi/Phrase",
                                       "DoCoMo for Developer", "KDDI"};
  return profile >= 1 && profile <= 8 ? kNames[profile - 1] : std::string();
}

SplashPicture SplashPictureOfMode(int mode) {
  switch (mode) {
    case 0: return {1229, 1500};
    case 1: return {2127, 1500};
    case 2: return {2128, 1500};
    case 3: return {2523, 1500};
    case 4: return {2524, 1500};
    case 5: return {2543, 2000};
    case 6: return {2544, 3000};
    default: return {0, 0};
  }
}

int SplashModeOf(int chipMode, int profile) {
  if (chipMode == 1 || chipMode == 2) return 0;
  if (chipMode == 3) return profile == 5 ? 2 : 5;
  if (chipMode == 5) return (profile == 5 || profile == 7) ? 4 : 3;
  return -1;
}

std::string MakerWebAddress(const std::string& path) {
  const auto host = platform::strings().Find("web.host");
  return std::string(host ? *host : std::string_view("https://www.korvan.example")) + path;
}

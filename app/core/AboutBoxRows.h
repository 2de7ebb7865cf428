// What the About box and the start-up picture show, by chip mode, output profile and maker id.
#pragma once

#include <string>
#include <vector>

/// One plug-in row of the About box: the converter kind and the file name shown.
struct AboutPluginRow {
  int kind;
  std::string fileName;
};

/// The plug-in rows in table order; empty outside chip modes 3 and 5.
std::vector<AboutPluginRow> AboutPluginRows(int chipMode, int profile, int makerId);
/// The name of an output profile ("KORVAN" for 2); empty for an unknown one.
std::string OutputProfileName(int profile);

/// The start-up picture of a mode 0..6: its bitmap (0: none) and how long it stays up in ms.
struct SplashPicture {
  int bitmap;
  int milliseconds;
};
SplashPicture SplashPictureOfMode(int mode);
/// The mode the start-up picks: chip modes 1 and 2 give 0; chip mode 3 gives 2 for output
/// profile 5, else 5; chip mode 5 gives 4 for profiles 5 and 7, else 3.
int SplashModeOf(int chipMode, int profile);

/// The maker's web pages of the Help menu: the host (a string-table entry) and the path of
/// each page.
std::string MakerWebAddress(const std::string& path);

// What the status panes and the report bar show of the song, and when they blink.
#pragma once

#include <cstdint>
#include <string>

class CKZ1Doc;

namespace mainframe {

/// The song's figures the panes show; `hasSong` false for no song.
struct SongFigures {
  bool hasSong = false;
  std::string lengthText;
  uint32_t streamRate = 0xFFFFFFFFu;
  bool densityValid = false;
  bool densityError = false;
  uint32_t average = 0;
  uint32_t maximum = 0;
  uint32_t maxTime = 0;
  int dataSize = 0;
  uint32_t ramSize = 0;
  uint32_t ramSize2 = 0;
};

/// The figures of a song document; no song for null.
SongFigures FiguresOf(const CKZ1Doc* document);

inline constexpr uint32_t kAverageDensityLimit = 500;
inline constexpr uint32_t kMaximumDensityLimit = 1000;

/// The text of a figure pane (TL, STM, AD, MD, MDP, Mode, SZ); empty for another id.
std::string PaneText(int paneId, const SongFigures& figures, int modeSetting);
/// Whether the AD pane blinks: a valid average above 500 under output profiles 1, 2, 3 and 8.
bool AverageBlinks(const SongFigures& figures, int outputProfile);
/// Whether the MD and MDP panes blink: a valid maximum above 1000 under the same profiles.
bool MaximumBlinks(const SongFigures& figures, int outputProfile);

struct ReportBarState {
  std::string line1;
  std::string line2;
  /// The second line is used for output profiles 1 and 7 with maker id 4 only.
  bool secondLine = false;
  /// The RAM size is above the generation-3 limit.
  bool blinks = false;
};

ReportBarState ReportBarOf(const SongFigures& figures, int outputProfile, int makerId);

}  // namespace mainframe

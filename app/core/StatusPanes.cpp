// What the status panes and the report bar show of the song, and when they blink.
#include "app/core/StatusPanes.h"

#include "app/core/MainFrameTables.h"
#include "platform/strings/StringTable.h"
#include "song/document/KZ1Doc.h"

namespace mainframe {
namespace {

std::string Label(int id) {
  const auto text = platform::strings().Find(id);
  return text ? std::string(*text) : std::string();
}

std::string Key(const char* key) {
  const auto text = platform::strings().Find(std::string_view(key));
  return text ? std::string(*text) : std::string();
}

bool BlinkingProfile(int profile) { return profile == 1 || profile == 2 || profile == 3 || profile == 8; }

/// A density pane: the label alone without a song or valid figures, "Error" after a failed
/// computation, else the label and the value.
std::string DensityText(int paneId, const SongFigures& f, uint32_t value) {
  if (!f.hasSong) return Label(paneId);
  if (f.densityError) return "Error";
  if (!f.densityValid) return Label(paneId);
  return Label(paneId) + std::to_string(static_cast<int>(value));
}

}  // namespace

SongFigures FiguresOf(const CKZ1Doc* doc) {
  SongFigures f;
  if (!doc) return f;
  f.hasSong = true;
  f.lengthText = doc->GetStreamRateBlock();
  f.streamRate = doc->GetStreamRate();
  f.densityValid = doc->HasDensityInfo() != 0;
  f.densityError = doc->GetDensityFlag() != 0;
  f.average = doc->GetAveDensity();
  f.maximum = doc->GetMaxDensity();
  f.maxTime = doc->GetMaxDensityTime();
  f.dataSize = doc->GetNumberedExportFlag();
  f.ramSize = static_cast<uint32_t>(doc->GetStreamOption());
  f.ramSize2 = static_cast<uint32_t>(doc->GetOpenWord());
  return f;
}

std::string PaneText(int paneId, const SongFigures& f, int modeSetting) {
  switch (paneId) {
    case kPaneTL: return f.hasSong ? Label(paneId) + f.lengthText : Label(paneId);
    case kPaneSTM:
      return f.hasSong && f.streamRate != 0xFFFFFFFFu ? Label(paneId) + std::to_string(static_cast<int>(f.streamRate))
                                                       : Label(paneId);
    case kPaneAD: return DensityText(paneId, f, f.average);
    case kPaneMD: return DensityText(paneId, f, f.maximum);
    case kPaneMDP: return DensityText(paneId, f, f.maxTime);
    case kPaneMode: return VoiceModeText(modeSetting);
    case kPaneSZ: return f.hasSong && f.dataSize != 0 ? Label(paneId) + std::to_string(f.dataSize) : Label(paneId);
    default: return {};
  }
}

bool AverageBlinks(const SongFigures& f, int profile) {
  return f.hasSong && f.densityValid && !f.densityError && BlinkingProfile(profile) && f.average > kAverageDensityLimit;
}

bool MaximumBlinks(const SongFigures& f, int profile) {
  return f.hasSong && f.densityValid && !f.densityError && BlinkingProfile(profile) && f.maximum > kMaximumDensityLimit;
}

ReportBarState ReportBarOf(const SongFigures& f, int profile, int makerId) {
  ReportBarState s;
  s.secondLine = (profile == 1 || profile == 7) && makerId == 4;
  s.line1 = Key("T2529.2528");
  s.line2 = Key("T2529.2532");
  if (f.hasSong) {
    s.line1 += std::to_string(f.ramSize);
    s.line2 += std::to_string(f.ramSize2);
    s.blinks = f.ramSize > static_cast<uint32_t>(GetKZ3RamLimit());
  }
  return s;
}

}  // namespace mainframe

// The main window's fixed tables: menus, toolbars, status panes, sections and combo texts.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/core/MenuEdits.h"
#include "app/core/MenuModel.h"

namespace mainframe {

// Ids of the frame's own windows and panes.
inline constexpr int kToolBarId = 59392;
inline constexpr int kStatusBarId = 59393;
inline constexpr int kControlBarId = 2006;
inline constexpr int kReportBarId = 2529;
inline constexpr int kVolumeBarId = 2554;
/// The message pane of the status bar.
inline constexpr int kMessagePane = 0;
inline constexpr int kPaneMode = 61216;
inline constexpr int kPaneSZ = 61217;
inline constexpr int kPaneAD = 61218;
inline constexpr int kPaneMD = 61219;
inline constexpr int kPaneMDP = 61220;
inline constexpr int kPaneTL = 61221;
inline constexpr int kPaneSTM = 61222;
inline constexpr int kPaneFixed = 32785;

// The popups of the menu models, by their item id.
inline constexpr int kPopupFile = 1;
inline constexpr int kPopupEdit = 2;
inline constexpr int kPopupView = 3;
inline constexpr int kPopupTool = 4;
inline constexpr int kPopupOption = 5;
inline constexpr int kPopupWindow = 6;
inline constexpr int kPopupHelp = 7;
/// The tool windows' own popups: the voice assign map's "VAM", the stream-PCM map's "SPAM".
inline constexpr int kPopupVam = 8;
inline constexpr int kPopupSpam = 9;

struct ToolbarLayout {
  int resource = 0;
  /// Command ids left to right; 0 is a separator.
  std::vector<int> buttons;
};

/// The toolbar resource and buttons of an output profile.
ToolbarLayout ToolbarFor(int outputProfile);
/// The status panes of an output profile, left to right: the message pane (0), the figures,
/// the fixed-text pane.
std::vector<int> IndicatorsFor(int outputProfile);
/// The pane's width in pixels; 0 for the message pane, -1 for the fixed text (the width its
/// text needs).
int PaneWidth(int paneId);

/// Menu resource 1000 (the main window) or 1002 (the song windows) before the start-up's edits,
/// labelled from the string table; a tool window's menu (1008, 1013, 1014) from the unedited
/// main menu; an empty model for any other resource.
MenuModel BuildMenuModel(int resource);
/// The menu a tool window installs: the main window's menu as it stands (with its edits) and,
/// after File, the window's own popups: Edit (Copy, Paste) for the voice lists and the voice
/// assign map, "VAM" (32824, 40981, 40982) for the map and "SPAM" (32825, 32826, 32828, 32827)
/// for the stream-PCM map, without the older-version import where its popup leaves it out.
MenuModel BuildToolMenuModel(int resource, const MenuModel& mainMenu, int outputProfile);
/// The menu resources of the tool windows, in id order.
const std::vector<int>& ToolMenuResources();
/// Applies the edits of one menu resource in order (edits of other menus are skipped).
void ApplyMenuEdits(MenuModel& model, const std::vector<MenuEdit>& edits);
/// Every command the menus, toolbars and bars fire, once each.
std::vector<int> AllCommandIds();
/// The menu label of a command ("cmd.<id>"); empty when there is none.
std::string CommandLabel(int id);

struct Section {
  const char* name;
  int code;
};
/// The section table of the control bar's section combo, in table order.
const std::vector<Section>& Sections();
/// The section code of a combo text; 0 for a text not in the table.
int SectionCodeOf(std::string_view text);

/// The key-change texts "+12" .. "0" .. "-12"; the value of entry i is 24 - i.
std::vector<std::string> KeyChangeTexts();
/// The tempo-change texts "70" .. "130"; the value of entry i is 70 + i.
std::vector<std::string> TempoChangeTexts();
/// The preset names of the volume bar.
std::vector<std::string> VolumePresetNames();

/// The voice-mode text of "KZ-3_ModeSetting": "FM16", "FM32", "ALL64", else empty.
std::string VoiceModeText(int modeSetting);

}  // namespace mainframe

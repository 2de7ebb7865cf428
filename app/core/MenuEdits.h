// The edits that fit the program's two menus to the chip mode, output profile and language.
#pragma once

#include <string>
#include <vector>

inline constexpr int kMainMenu = 1000;
inline constexpr int kSongMenu = 1002;
/// The menus of the tool windows: the voice lists, the voice assign map, the stream-PCM map.
inline constexpr int kVoiceListMenu = 1008;
inline constexpr int kVoiceMapMenu = 1013;
inline constexpr int kStreamMapMenu = 1014;

struct MenuEdit {
  enum class Op {
    Remove,              // the item of the command, wherever it is
    Label,               // the command's item gets `text`
    SeparatorBefore,     // a separator in front of the command's item
    RemoveEditSeparator  // the separator at position `id` of the Edit menu
  };
  int menu = kMainMenu;
  Op op = Op::Remove;
  int id = 0;
  std::string text;

  bool operator==(const MenuEdit&) const = default;
};

/// The edits of menus 1000 and 1002 in the order of the menu table's rows; `webLanguage` is
/// GetWebLanguage's answer and picks the one web-page item kept.
std::vector<MenuEdit> BuildMenuEdits(int chipMode, int outputProfile, int webLanguage);

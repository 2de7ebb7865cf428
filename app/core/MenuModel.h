// A menu resource as data: popups, commands and separators, built and edited without a window.
#pragma once

#include <string>
#include <vector>

struct MenuItem {
  enum class Kind { Command, Separator, Popup };
  Kind kind = Kind::Command;
  int id = 0;
  /// The label, with "&" before the mnemonic and a tab before the accelerator text.
  std::string text;
  std::vector<MenuItem> items;

  static MenuItem Command(int id, std::string text) { return {Kind::Command, id, std::move(text), {}}; }
  static MenuItem Separator() { return {Kind::Separator, 0, {}, {}}; }
  static MenuItem Popup(std::string text, std::vector<MenuItem> items) {
    return {Kind::Popup, 0, std::move(text), std::move(items)};
  }
};

/// A menu bar: the top-level popups in order. Every separator is kept as the resource has it;
/// the window side hides leading and doubled ones.
struct MenuModel {
  int resourceId = 0;
  std::vector<MenuItem> items;

  /// The item of a command anywhere in the tree, or null.
  const MenuItem* FindCommand(int id) const;
  /// Every command id in the tree, in menu order.
  std::vector<int> CommandIds() const;
};

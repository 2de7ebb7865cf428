// The main window's fixed tables: menus, toolbars, status panes, sections and combo texts.
#include "app/core/MainFrameTables.h"

#include <algorithm>
#include <set>

#include "platform/strings/StringTable.h"

namespace mainframe {
namespace {

std::string Text(const std::string& key) {
  const auto text = platform::strings().Find(key);
  return text ? std::string(*text) : std::string();
}

MenuItem Cmd(int id) { return MenuItem::Command(id, CommandLabel(id)); }

std::vector<MenuItem> Cmds(std::initializer_list<int> ids) {
  std::vector<MenuItem> items;
  for (int id : ids) items.push_back(id == 0 ? MenuItem::Separator() : Cmd(id));
  return items;
}

MenuItem Popup(int id, const char* caption, std::vector<MenuItem> items) {
  MenuItem popup = MenuItem::Popup(Text(std::string("menu.") + caption), std::move(items));
  popup.id = id;
  return popup;
}

std::vector<MenuItem> FileItems(int resource) {
  if (resource == kSongMenu) {
    return Cmds({57600, 57601, 32772, 32773, 32774, 32775, 57602, 57603, 32776, 32780, 32778, 32779, 32777, 32771,
                 32782, 32781, 32783, 32832, 32784, 57665});
  }
  return Cmds({57600, 57601, 32772, 32773, 32774, 32778, 32779, 32771, 32782, 32781, 32783, 32832, 32784, 57665});
}

/// The popup list and index of a command's item, searched depth first.
bool Locate(std::vector<MenuItem>& items, int id, std::vector<MenuItem>*& list, size_t& index) {
  for (size_t i = 0; i < items.size(); ++i) {
    if (items[i].kind == MenuItem::Kind::Command && items[i].id == id) {
      list = &items;
      index = i;
      return true;
    }
    if (items[i].kind == MenuItem::Kind::Popup && Locate(items[i].items, id, list, index)) return true;
  }
  return false;
}

MenuItem* FindPopup(MenuModel& model, int popupId) {
  for (MenuItem& item : model.items)
    if (item.kind == MenuItem::Kind::Popup && item.id == popupId) return &item;
  return nullptr;
}

void Apply(MenuModel& model, const MenuEdit& edit) {
  if (edit.op == MenuEdit::Op::RemoveEditSeparator) {
    MenuItem* popup = FindPopup(model, kPopupEdit);
    const size_t pos = static_cast<size_t>(edit.id);
    if (popup && pos < popup->items.size() && popup->items[pos].kind == MenuItem::Kind::Separator)
      popup->items.erase(popup->items.begin() + static_cast<std::ptrdiff_t>(pos));
    return;
  }
  std::vector<MenuItem>* list = nullptr;
  size_t index = 0;
  if (!Locate(model.items, edit.id, list, index)) return;
  switch (edit.op) {
    case MenuEdit::Op::Remove: list->erase(list->begin() + static_cast<std::ptrdiff_t>(index)); break;
    case MenuEdit::Op::Label: (*list)[index].text = edit.text; break;
    case MenuEdit::Op::SeparatorBefore:
      list->insert(list->begin() + static_cast<std::ptrdiff_t>(index), MenuItem::Separator());
      break;
    case MenuEdit::Op::RemoveEditSeparator: break;
  }
}

}  // namespace

ToolbarLayout ToolbarFor(int outputProfile) {
  const std::vector<int> head = {32772, 32775, 57603, 0, 57634, 57637, 0, 32800, 32797, 32804, 57664, 32798};
  auto with = [&head](std::initializer_list<int> tail) {
    std::vector<int> b = head;
    b.insert(b.end(), tail);
    return b;
  };
  switch (outputProfile) {
    case 1:
    case 7: return {1015, with({40974, 32796, 40975})};
    case 2:
    case 3:
    case 5:
    case 8: return {1021, with({40983, 40984, 32796})};
    case 4: {
      std::vector<int> b = with({40974});
      b.insert(b.begin(), 57601);
      return {1018, b};
    }
    case 6: return {1019, with({40974})};
    default: {
      std::vector<int> b = with({40974, 32796, 40975});
      b.insert(b.begin(), 57601);
      return {1000, b};
    }
  }
}

std::vector<int> IndicatorsFor(int outputProfile) {
  switch (outputProfile) {
    case 1:
    case 4:
    case 6:
    case 7: return {kMessagePane, kPaneTL, kPaneAD, kPaneMD, kPaneMDP, kPaneMode, kPaneSZ, kPaneFixed};
    default: return {kMessagePane, kPaneTL, kPaneSTM, kPaneAD, kPaneMD, kPaneMDP, kPaneMode, kPaneSZ, kPaneFixed};
  }
}

int PaneWidth(int paneId) {
  switch (paneId) {
    case kMessagePane: return 0;
    case kPaneTL: return 150;
    case kPaneSTM: return 90;
    case kPaneAD: return 85;
    case kPaneMD: return 85;
    case kPaneMDP: return 100;
    case kPaneMode: return 35;
    case kPaneSZ: return 90;
    default: return -1;
  }
}

std::string CommandLabel(int id) { return Text("cmd." + std::to_string(id)); }

const std::vector<int>& ToolMenuResources() {
  static const std::vector<int> resources = {kVoiceListMenu, kVoiceMapMenu, kStreamMapMenu};
  return resources;
}

MenuModel BuildToolMenuModel(int resource, const MenuModel& mainMenu, int outputProfile) {
  MenuModel model;
  model.resourceId = resource;
  std::vector<MenuItem> own;
  if (resource == kVoiceListMenu || resource == kVoiceMapMenu) own.push_back(Popup(kPopupEdit, "Edit", Cmds({57634, 57637})));
  if (resource == kVoiceMapMenu) own.push_back(Popup(kPopupVam, "VAM", Cmds({32824, 40981, 40982})));
  if (resource == kStreamMapMenu) {
    const int p = outputProfile;
    const bool older = !(p == 1 || p == 2 || p == 7 || p == 8);
    own.push_back(Popup(kPopupSpam, "SPAM", older ? Cmds({32825, 32826, 32828, 32827}) : Cmds({32825, 32826, 32827})));
  }
  if (own.empty()) return model;
  model.items = mainMenu.items;
  // The window's own popups follow File, where a song window has its Edit.
  auto at = model.items.begin();
  if (at != model.items.end() && at->kind == MenuItem::Kind::Popup && at->id == kPopupFile) ++at;
  model.items.insert(at, own.begin(), own.end());
  return model;
}

MenuModel BuildMenuModel(int resource) {
  MenuModel model;
  model.resourceId = resource;
  const auto& tools = ToolMenuResources();
  if (std::find(tools.begin(), tools.end(), resource) != tools.end()) {
    // The older-version import of the stream-PCM map shows for some profile: list it.
    return BuildToolMenuModel(resource, BuildMenuModel(kMainMenu), 0);
  }
  if (resource != kMainMenu && resource != kSongMenu) return model;
  model.items.push_back(Popup(kPopupFile, "File", FileItems(resource)));
  if (resource == kSongMenu) {
    model.items.push_back(
        Popup(kPopupEdit, "Edit", Cmds({57643, 57644, 0, 57635, 57634, 57637, 0, 32770, 32768, 32769})));
  }
  model.items.push_back(Popup(kPopupView, "View", Cmds({59392, 32795, 40978, 40985, 40980})));
  model.items.push_back(Popup(kPopupTool, "Tool", Cmds({32800, 32799, 32798, 32796, 40974, 40975, 40983, 40984, 32804,
                                                         32797, 32805, 32831, 40976, 32791})));
  model.items.push_back(Popup(kPopupOption, "Option", Cmds({32792, 32829, 32830})));
  model.items.push_back(Popup(kPopupWindow, "Window", Cmds({57650, 57651})));
  model.items.push_back(Popup(kPopupHelp, "Help", Cmds({57664, 40977, 40979, 40991, 40992})));
  return model;
}

void ApplyMenuEdits(MenuModel& model, const std::vector<MenuEdit>& edits) {
  for (const MenuEdit& edit : edits)
    if (edit.menu == model.resourceId) Apply(model, edit);
}

std::vector<int> AllCommandIds() {
  std::set<int> ids;
  for (int resource : {kMainMenu, kSongMenu, kVoiceListMenu, kVoiceMapMenu, kStreamMapMenu})
    for (int id : BuildMenuModel(resource).CommandIds()) ids.insert(id);
  for (int profile = 0; profile <= 9; ++profile)
    for (int id : ToolbarFor(profile).buttons)
      if (id != 0) ids.insert(id);
  for (int id : {1387, 1388, 1391}) ids.insert(id);
  return {ids.begin(), ids.end()};
}

const std::vector<Section>& Sections() {
  static const std::vector<Section> table = {{"Overall", 0}, {"A Melody", 3},  {"B Melody", 4}, {"Intro.", 1},
                                             {"Ending", 2},  {"Interlude", 6}, {"Bridge", 5},   {"Refrain", 7}};
  return table;
}

int SectionCodeOf(std::string_view text) {
  for (const Section& s : Sections())
    if (text == s.name) return s.code;
  return 0;
}

std::vector<std::string> KeyChangeTexts() {
  std::vector<std::string> texts;
  for (int v = 12; v >= -12; --v) texts.push_back(v > 0 ? "+" + std::to_string(v) : std::to_string(v));
  return texts;
}

std::vector<std::string> TempoChangeTexts() {
  std::vector<std::string> texts;
  for (int v = 70; v <= 130; ++v) texts.push_back(std::to_string(v));
  return texts;
}

std::vector<std::string> VolumePresetNames() { return {"Default", "A", "B", "C", "D", "E"}; }

std::string VoiceModeText(int modeSetting) {
  switch (modeSetting) {
    case 0: return "FM16";
    case 1: return "FM32";
    case 2: return "ALL64";
    default: return {};
  }
}

}  // namespace mainframe

// The edits that fit the program's two menus to the chip mode, output profile and language.
#include "app/core/MenuEdits.h"

#include <initializer_list>

namespace {

constexpr int kWebJapanese = 40977;
constexpr int kWebGlobal = 40979;
constexpr int kWebKorean = 40991;
constexpr int kWebChinese = 40992;

class MenuEditList {
 public:
  void Remove(int menu, std::initializer_list<int> ids) {
    for (int id : ids) m_edits.push_back({menu, MenuEdit::Op::Remove, id, {}});
  }
  void Label(int menu, int id, const std::string& text) { m_edits.push_back({menu, MenuEdit::Op::Label, id, text}); }
  void SeparatorsBefore(int menu, std::initializer_list<int> ids) {
    for (int id : ids) m_edits.push_back({menu, MenuEdit::Op::SeparatorBefore, id, {}});
  }
  void RemoveEditSeparators(int menu, std::initializer_list<int> positions) {
    for (int pos : positions) m_edits.push_back({menu, MenuEdit::Op::RemoveEditSeparator, pos, {}});
  }
  /// Removes every web-page item but the one of the language.
  void KeepOneWebItem(int menu, int webLanguage) {
    int keep = webLanguage == 2 ? kWebJapanese : webLanguage == 3 ? kWebKorean : webLanguage == 4 ? kWebChinese : kWebGlobal;
    for (int id : {kWebJapanese, kWebGlobal, kWebKorean, kWebChinese})
      if (id != keep) m_edits.push_back({menu, MenuEdit::Op::Remove, id, {}});
  }
  std::vector<MenuEdit> Take() { return std::move(m_edits); }

 private:
  std::vector<MenuEdit> m_edits;
};

void VoiceFileLabels(MenuEditList& edits, int menu, const char* generation) {
  const std::string g = generation;
  edits.Label(menu, 32781, "Open " + g + " Voice File...");
  edits.Label(menu, 32783, "Save " + g + " Voice File...");
}

void ChipModeRow(MenuEditList& e, int chipMode, int webLanguage) {
  if (chipMode == 1 || chipMode == 2) {
    const char* g = chipMode == 1 ? "KZ-1" : "KZ-2";
    e.Remove(kMainMenu, {32773, 32774, 32779, 32784, 32832, 32771, 32778});
    VoiceFileLabels(e, kMainMenu, g);
    if (chipMode == 1) {
      e.Remove(kSongMenu, {32775, 32777, 32773, 32778});
    } else {
      e.Remove(kSongMenu, {32775, 32777, 32778, 32773});
    }
    VoiceFileLabels(e, kSongMenu, g);
  } else if (chipMode == 3 || chipMode == 5) {
    e.Remove(kMainMenu, {32773});
    e.Label(kMainMenu, 32782, "Open KZ-3 Voice File (01)...");
    VoiceFileLabels(e, kMainMenu, "KZ-3");
    e.KeepOneWebItem(kMainMenu, webLanguage);
    e.Remove(kSongMenu, {32777, 32773});
    e.Label(kSongMenu, 32782, "Open KZ-3 Voice File (01)...");
    VoiceFileLabels(e, kSongMenu, "KZ-3");
    e.Remove(kSongMenu, {57643, 57644, 57635, 32770, 32768, 32769});
    e.RemoveEditSeparators(kSongMenu, {3, 0});
  }
}

void ProfileRow(MenuEditList& e, int profile) {
  switch (profile) {
    case 1:
    case 2:
    case 6:
    case 7:
    case 8:
      e.Remove(kMainMenu, {57601});
      e.SeparatorsBefore(kMainMenu, {32771});
      e.Remove(kSongMenu, {57601, 32780, 32778});
      break;
    case 3:
      e.SeparatorsBefore(kMainMenu, {32771});
      e.Remove(kSongMenu, {32780, 32778});
      break;
    case 4:
      e.SeparatorsBefore(kMainMenu, {32771});
      e.Remove(kSongMenu, {32780, 32778, 32830});
      break;
    case 5:
      e.SeparatorsBefore(kMainMenu, {32771});
      e.Remove(kSongMenu, {32778});
      break;
    default:
      return;
  }
  e.SeparatorsBefore(kSongMenu, {32771});
}

void SeparatorRow(MenuEditList& e, int chipMode, int profile, int webLanguage) {
  if (chipMode == 1 || chipMode == 2) {
    e.SeparatorsBefore(kMainMenu, {32772, 32781, 57665});
    if (chipMode == 1) {
      e.Remove(kSongMenu, {32780});
    } else {
      e.Remove(kSongMenu, {32774, 32779, 32780});
    }
    e.SeparatorsBefore(kSongMenu, {32772, 32781, 57665});
  } else if (chipMode == 3) {
    e.SeparatorsBefore(kMainMenu, {32782, 57665});
    e.Remove(kMainMenu, {32782});
    if (profile == 1 || profile == 7) {
      e.Remove(kSongMenu, {32831});
    } else if (profile == 4) {
      e.Remove(kSongMenu, {32796, 32797, 32831, 40976});
      e.SeparatorsBefore(kMainMenu, {32772});
    } else if (profile == 6) {
      e.Remove(kSongMenu, {32796, 32797, 32831});
    }
    e.SeparatorsBefore(kSongMenu, {32772, 32782, 57665});
    e.Remove(kSongMenu, {32782});
    e.KeepOneWebItem(kSongMenu, webLanguage);
  }
}

}  // namespace

std::vector<MenuEdit> BuildMenuEdits(int chipMode, int outputProfile, int webLanguage) {
  MenuEditList e;
  ChipModeRow(e, chipMode, webLanguage);
  e.Remove(kMainMenu, {57600, 32774, 32779, 32778, 32784});
  e.Remove(kSongMenu, {57600, 32774, 32779, 32784});
  ProfileRow(e, outputProfile);
  SeparatorRow(e, chipMode, outputProfile, webLanguage);
  return e.Take();
}

#include "voice/ui/VListHooks.h"

#include <utility>

namespace vlist_hooks {
namespace {

struct Hooks {
  Gen2DialogOpener gen2;
  IFileChooser* chooser = nullptr;
};

Hooks& State() {
  static Hooks hooks;
  return hooks;
}

}  // namespace

void SetGen2DialogOpener(Gen2DialogOpener opener) { State().gen2 = std::move(opener); }

int OpenGen2Dialog(int bank, int program, bool editable) {
  return State().gen2 ? State().gen2(bank, program, editable) : 0;
}

void SetFileChooser(IFileChooser* chooser) { State().chooser = chooser; }

IFileChooser* FileChooser() { return State().chooser; }

}  // namespace vlist_hooks

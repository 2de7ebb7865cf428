// What the voice lists reach beyond the voice area: the generation-2 voice dialog and the
// file chooser of the bank commands, set by whoever builds the program.
#pragma once

#include <functional>

class IFileChooser;

namespace vlist_hooks {

/// Runs the generation-2 voice dialog on a library voice; 1 when it ended with OK.
using Gen2DialogOpener = std::function<int(int bank, int program, bool editable)>;
void SetGen2DialogOpener(Gen2DialogOpener opener);
/// 0 when no opener is set.
int OpenGen2Dialog(int bank, int program, bool editable);

/// The chooser of the bank files; null: every request is cancelled.
void SetFileChooser(IFileChooser* chooser);
IFileChooser* FileChooser();

}  // namespace vlist_hooks

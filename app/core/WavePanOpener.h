// How windows that cannot reach the shell's dialogs open the StreamPCM Wave Panpot dialog.
#pragma once

#include <functional>

/// A wave's pan: mode 0 Panpot (the pan applies), 1 Clear, 2 PanOFF; pan 0..127.
struct WavePanChoice {
  int mode = 0;
  int pan = 64;
};

/// Runs the dialog on `choice`; true on OK with the dialog's mode and pan written back.
using WavePanOpener = std::function<bool(WavePanChoice& choice)>;

/// Installs the opener (the shell sets it before the main frame exists); empty removes it.
void SetWavePanOpener(WavePanOpener opener);
/// The dialog through the installed opener; false with `choice` unchanged when it was
/// cancelled or no opener is installed.
bool OpenWavePanDialog(WavePanChoice& choice);

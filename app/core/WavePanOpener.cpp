#include "app/core/WavePanOpener.h"

namespace {

WavePanOpener& Opener() {
  static WavePanOpener opener;
  return opener;
}

}  // namespace

void SetWavePanOpener(WavePanOpener opener) { Opener() = std::move(opener); }

bool OpenWavePanDialog(WavePanChoice& choice) {
  if (!Opener()) return false;
  WavePanChoice result = choice;
  if (!Opener()(result)) return false;
  choice = result;
  return true;
}

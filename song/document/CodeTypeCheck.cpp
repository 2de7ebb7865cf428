// Whether an imported song's contents information fits the output profile.
#include "platform/host/HostServices.h"
#include "song/document/KZ1Doc.h"
#include "song/midilist/MidiList.h"

namespace {

constexpr int kUnsupportedCodeType = 7059;

bool IsMelodyType(uint8_t type) { return type == 50 || type == 51; }

// Text code types below 3 and '#' are taken as they are; others become the profile's own.
void FitTextCodeType(CContentsInfo& info) {
  const uint8_t code = info.GetTextCodeType();
  if (code < 3 || code == '#') return;
  platform::ShowMessage(kUnsupportedCodeType);
  info.SetTextCodeType(static_cast<uint8_t>(platform::settings().GetInfoCodeType()));
}

bool CheckProfile3(CContentsInfo& info) {
  const uint8_t cls = info.GetContentsClass();
  if ((cls != 0 && cls != 1) || !IsMelodyType(info.GetContentsType()) || info.GetCodeType() != 1) {
    return false;
  }
  const uint8_t code = info.GetTextCodeType();
  if (code < 7) {
    info.SetTextCodeType(128);
  } else if (code != 128) {
    platform::ShowMessage(kUnsupportedCodeType);
    info.SetTextCodeType(0);
  }
  return true;
}

bool CheckDoCoMoProfile(CContentsInfo& info) {
  const auto& s = platform::settings();
  if (s.GetMakerID() != 2) return true;
  const uint8_t code = info.GetTextCodeType();
  if (code != 0 && code != ' ' && code != '#') {
    platform::ShowMessage(kUnsupportedCodeType);
    info.SetTextCodeType(static_cast<uint8_t>(s.GetInfoCodeTypeDoCoMo()));
  }
  return true;
}

}  // namespace

int CheckCodeType(CMidiList& list, int chipMode, int profile) {
  if (chipMode != 3 && chipMode != 5) return 1;
  CContentsInfo& info = list.GetContentsInfo();
  const uint8_t cls = info.GetContentsClass();
  const uint8_t type = info.GetContentsType();
  const bool codeOne = info.GetCodeType() == 1;
  bool fits = true;
  switch (profile) {
    case 1:
    case 7:
      return CheckDoCoMoProfile(info) ? 1 : 0;
    case 2:
      fits = cls == 0 && IsMelodyType(type) && codeOne;
      break;
    case 3:
      return CheckProfile3(info) ? 1 : 0;
    case 4:
      fits = cls == 0 && type == 240;
      break;
    case 8:
      fits = (cls == 0 || cls == 2) && IsMelodyType(type) && codeOne;
      break;
    default:
      return 1;
  }
  if (!fits) return 0;
  FitTextCodeType(info);
  return 1;
}

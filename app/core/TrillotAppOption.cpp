// The option commands' rules that need no dialog: Reset and the enable rules of the option and
// native-format items.
#include "app/core/ConverterDll.h"
#include "app/core/TrillotApp.h"

namespace {

constexpr int kCheckerKind = 19;
constexpr int kCnvTo = 1;

}  // namespace

void CTrillotApp::OnOptionReset() { SendNativeReset(1); }

bool CTrillotApp::OnUpdateOptionVoiceCheck() const {
  CConverterDll checker;
  return checker.IsAvailable(kCheckerKind, kCnvTo) != 0;
}

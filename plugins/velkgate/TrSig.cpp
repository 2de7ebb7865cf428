// The version tag's origin prefix and placeholder, taken from the converter's version.
#include "plugins/velkgate/TrSig.h"

namespace velkgate {

std::string GetTrSigPrefix(uint32_t version) {
  std::string prefix = "K900";
  prefix[2] = static_cast<char>('0' + ((version >> 12) & 0x0F));
  prefix[3] = static_cast<char>('0' + ((version >> 8) & 0x0F));
  return prefix;
}

std::string GetTrSigPlaceholder() { return GetTrSigPrefix() + "  "; }

std::string FitTrSig(const std::string& text) {
  std::string fitted = text.substr(0, kTrSigLength);
  fitted.resize(kTrSigLength, ' ');
  return fitted;
}

}  // namespace velkgate

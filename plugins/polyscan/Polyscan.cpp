// The entry points of the voice-allocation checker plug-in.
#include "app/CnvParam.h"
#include "plugins/polyscan/CheckRun.h"

namespace {

constexpr uint32_t kPolyscanVersion = 0x1410;  // 1.4.1

}  // namespace

TRILLOT_PLUGIN_EXPORT uint32_t GetKZxVersion(void) { return kPolyscanVersion; }

// The checker only reads song data; there is nothing to convert into it.
TRILLOT_PLUGIN_EXPORT uint32_t CnvFrom(CnvParam*, uint32_t) { return CNVERR_FAILED; }

TRILLOT_PLUGIN_EXPORT uint32_t CnvTo(CnvParam* param, uint32_t) {
  if (!param) return CNVERR_FAILED;
  try {
    return polyscan::RunCheck(*param);
  } catch (...) {
    return CNVERR_FAILED;
  }
}

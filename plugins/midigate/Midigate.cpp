// The plug-in's exports: its version and the two conversions.
#include "app/CnvParam.h"
#include "plugins/midigate/Failure.h"
#include "plugins/midigate/SmfExport.h"
#include "plugins/midigate/SmfImport.h"

namespace {

constexpr uint32_t kMidigateVersion = 0x2970;  // 2.9.7

}  // namespace

TRILLOT_PLUGIN_EXPORT uint32_t GetKZxVersion(void) { return kMidigateVersion; }

// The record size is not checked: the host passes sizeof(CnvParam).
TRILLOT_PLUGIN_EXPORT uint32_t CnvFrom(CnvParam* param, uint32_t /*paramSize*/) {
  if (!param) return CNVERR_FAILED;
  return midigate::GuardedConvert([param] { return midigate::CSmfImport::Convert(*param); });
}

TRILLOT_PLUGIN_EXPORT uint32_t CnvTo(CnvParam* param, uint32_t /*paramSize*/) {
  if (!param) return CNVERR_FAILED;
  return midigate::GuardedConvert([param] { return midigate::CSmfExport::Convert(*param); });
}

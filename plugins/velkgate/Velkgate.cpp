// The plug-in's exports: its version and the two conversions.
#include "app/CnvParam.h"
#include "plugins/velkgate/VelkExport.h"
#include "plugins/velkgate/VelkImport.h"
#include "plugins/velkgate/VelkgateFlags.h"

TRILLOT_PLUGIN_EXPORT uint32_t GetKZxVersion(void) { return velkgate::kKZxVersion; }

// The record size is not checked: the host passes sizeof(CnvParam).
TRILLOT_PLUGIN_EXPORT uint32_t CnvFrom(CnvParam* param, uint32_t /*paramSize*/) {
  if (!param) return CNVERR_FAILED;
  return velkgate::CVelkImport(*param).Run();
}

TRILLOT_PLUGIN_EXPORT uint32_t CnvTo(CnvParam* param, uint32_t /*paramSize*/) {
  if (!param) return CNVERR_FAILED;
  return velkgate::CVelkExport(*param).Run();
}

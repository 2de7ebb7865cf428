// A well-behaved converter plug-in for the binder tests: copies the source and marks the flags.
#include <cstring>

#include "app/CnvParam.h"

namespace fixture {

uint32_t Copy(CnvParam* p, uint32_t size, uint32_t marker) {
  // The binder must pass the record size of this build whatever its caller said.
  if (size != sizeof(CnvParam)) return CNVERR_PARAM;
  if (!p || !p->src || !p->dst) return CNVERR_PARAM;
  if (p->dstSize < p->srcSize) return CNVERR_DSTSIZE;
  std::memcpy(p->dst, p->src, p->srcSize);
  p->flags |= marker;
  p->dstSize = p->srcSize;
  return p->srcSize;
}

}  // namespace fixture

TRILLOT_PLUGIN_EXPORT uint32_t CnvFrom(CnvParam* p, uint32_t size) { return fixture::Copy(p, size, 0x100); }
TRILLOT_PLUGIN_EXPORT uint32_t CnvTo(CnvParam* p, uint32_t size) { return fixture::Copy(p, size, 0x200); }
TRILLOT_PLUGIN_EXPORT uint32_t GetKZxVersion() { return 0x2970; }

TRILLOT_PLUGIN_EXPORT uint32_t GetKZxCnvReport(uint32_t* report, uint32_t size) {
  if (size != 4) return CNVERR_DSTSIZE;
  *report = 0x1234;
  return 0;
}

// A converter plug-in for the binder tests whose every entry throws, as a faulty one might.
#include <stdexcept>

#include "app/CnvParam.h"

TRILLOT_PLUGIN_EXPORT uint32_t CnvFrom(CnvParam*, uint32_t) { throw -108; }
TRILLOT_PLUGIN_EXPORT uint32_t CnvTo(CnvParam*, uint32_t) { throw std::runtime_error("converter fault"); }
TRILLOT_PLUGIN_EXPORT uint32_t GetKZxVersion() { throw 999; }
TRILLOT_PLUGIN_EXPORT uint32_t GetKZxCnvReport(uint32_t*, uint32_t) { throw -1; }

// A library for the binder tests that loads but exports no conversion entry and version 0.
#include "app/CnvParam.h"

TRILLOT_PLUGIN_EXPORT uint32_t GetKZxVersion() { return 0; }

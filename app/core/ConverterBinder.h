// The converter binder that core code reaches through the host services.
#pragma once

#include "platform/host/HostServices.h"

/// Each call uses a CConverterDll of its own, so no plug-in stays loaded between calls.
class ConverterBinder final : public platform::IConverterBinder {
 public:
  uint32_t Convert(CnvParam& param, int kind, int direction) override;
  uint32_t ConvertTellingThrow(CnvParam& param, int kind, int direction, bool& threw) override;
  /// One CConverterDll for both calls: the report comes from the library that converted.
  uint32_t ConvertAndGetReport(CnvParam& param, int kind, int direction, uint32_t& report,
                               uint32_t& reportStatus) override;
  int IsAvailable(int kind, int direction) override;
  uint32_t GetVersion(int kind) override;
};

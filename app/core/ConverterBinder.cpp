// The converter binder that core code reaches through the host services.
#include "app/core/ConverterBinder.h"

#include "app/core/ConverterDll.h"
#include "platform/host/HostServices.h"

uint32_t ConverterBinder::Convert(CnvParam& param, int kind, int direction) {
  // A plug-in that brings the process down must not take settings held in memory with it.
  platform::profile().Flush();
  CConverterDll dll;
  return dll.Convert(&param, kCnvParamSize, kind, direction);
}

uint32_t ConverterBinder::ConvertTellingThrow(CnvParam& param, int kind, int direction, bool& threw) {
  CConverterDll dll;
  const uint32_t result = dll.Convert(&param, kCnvParamSize, kind, direction);
  threw = dll.Threw();
  return result;
}

uint32_t ConverterBinder::ConvertAndGetReport(CnvParam& param, int kind, int direction,
                                              uint32_t& report, uint32_t& reportStatus) {
  platform::profile().Flush();
  CConverterDll dll;
  const uint32_t result = dll.Convert(&param, kCnvParamSize, kind, direction);
  reportStatus = IsConvertSuccess(result) ? dll.GetReport(&report, 4, kind) : CNVERR_FAILED;
  return result;
}

int ConverterBinder::IsAvailable(int kind, int direction) {
  CConverterDll dll;
  return dll.IsAvailable(kind, direction);
}

uint32_t ConverterBinder::GetVersion(int kind) {
  CConverterDll dll;
  return dll.GetVersion(kind);
}

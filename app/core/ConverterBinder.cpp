// The converter binder that core code reaches through the host services.
#include "app/core/ConverterBinder.h"

#include "app/core/ConverterDll.h"

uint32_t ConverterBinder::Convert(CnvParam& param, int kind, int direction) {
  CConverterDll dll;
  return dll.Convert(&param, kCnvParamSize, kind, direction);
}

int ConverterBinder::IsAvailable(int kind, int direction) {
  CConverterDll dll;
  return dll.IsAvailable(kind, direction);
}

uint32_t ConverterBinder::GetVersion(int kind) {
  CConverterDll dll;
  return dll.GetVersion(kind);
}

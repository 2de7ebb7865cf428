#include "app/core/PolyscanRules.h"

#include "app/CnvParam.h"
#include "platform/host/HostServices.h"
#include "song/MemStream.h"
#include "song/document/KZ1Doc.h"

namespace {

constexpr uint32_t kOverBit = 0x08;

std::string Number(uint32_t value) { return std::to_string(static_cast<int>(value)); }

}  // namespace

uint32_t PolyscanFlags(int modeSetting, int mode, bool outputFile) {
  uint32_t flags = 0;
  if (modeSetting == 1) flags = 0x02;
  if (modeSetting == 2) flags = 0x0A;
  if (mode == 1) flags |= 0x08;
  if (outputFile) flags |= 0x8000;
  return flags;
}

PolyscanResult DecodePolyscanResult(uint32_t result, uint32_t flags, int mode,
                                    const std::function<uint32_t(uint32_t)>& tickToMs) {
  PolyscanResult shown;
  if (result >= CNVERR_FAILED) {
    shown.result = "Error";
    return shown;
  }
  const bool over = (flags & kOverBit) != 0;
  shown.result = over ? "Over" : "OK";
  if (over || mode == 1) {
    shown.time = Number(tickToMs ? tickToMs(result) : result);
    shown.fm = Number(flags >> 24 & 0xFF);
    shown.pcm = Number(flags >> 16 & 0xFF);
  }
  return shown;
}

PolyscanResult RunPolyscanCheck(CKZ1Doc* document, int modeSetting, int mode, bool outputFile,
                                platform::IConverterBinder& binder) {
  if (!document) return {};
  CMemStream native;
  try {
    if (!document->makeKZ3NativeFormat(native, 0, 0)) return {};
  } catch (...) {
    // The build has shown its own message; the check ends with empty fields.
    return {};
  }
  CnvParam param{};
  param.flags = PolyscanFlags(modeSetting, mode, outputFile);
  param.src = native.GetData();
  param.srcSize = static_cast<uint32_t>(native.GetSize());
  bool threw = false;
  const uint32_t result = binder.ConvertTellingThrow(param, kPolyscanKind, kPolyscanDirection, threw);
  // A binder that could not call the plug-in answers 0; for the checker 0 is also "no point
  // reported", so only a missing plug-in or one that threw makes it a failure.
  if (threw || (result == 0 && !binder.IsAvailable(kPolyscanKind, kPolyscanDirection))) {
    return {"Error", "", "", ""};
  }
  return DecodePolyscanResult(result, param.flags, mode,
                              [document](uint32_t tick) { return document->TickToMsByMap(tick, 2); });
}

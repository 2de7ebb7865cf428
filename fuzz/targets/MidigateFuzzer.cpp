// Midigate's two conversions, called as the host calls them: a plain Standard MIDI File into
// song data (CnvFrom) and song data into a plain file (CnvTo), then each result converted back.
// The first input byte picks the direction, so one corpus feeds both.
#include <vector>

#include "app/CnvParam.h"
#include "fuzz/FuzzInput.h"
#include "plugins/midigate/Failure.h"
#include "plugins/midigate/SmfExport.h"
#include "plugins/midigate/SmfImport.h"

namespace {

uint32_t Convert(bool import, const uint8_t* source, size_t size, std::vector<uint8_t>& out) {
  // A destination as the host gives it: four times the source, and at least a little.
  out.assign(size * 4 + 64, 0);
  CnvParam param{};
  param.src = source;
  param.srcSize = static_cast<uint32_t>(size);
  param.dst = out.data();
  param.dstSize = static_cast<uint32_t>(out.size());
  uint32_t result = midigate::GuardedConvert([&] {
    return import ? midigate::CSmfImport::Convert(param) : midigate::CSmfExport::Convert(param);
  });
  if (result < CNVERR_FAILED) {
    if (result != param.dstSize || result > out.size()) __builtin_trap();
    out.resize(result);
  }
  return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || fuzz::TooLong(size)) return 0;
  const bool import = (data[0] & 1) == 0;
  std::vector<uint8_t> first, second;
  if (Convert(import, data + 1, size - 1, first) < CNVERR_FAILED) {
    Convert(!import, first.data(), first.size(), second);
  }
  return 0;
}

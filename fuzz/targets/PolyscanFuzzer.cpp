// Polyscan's voice-allocation check over song data; the first two input bytes give the option
// bits (the result file is left out: the fuzzer would write it on every run).
#include <vector>

#include "app/CnvParam.h"
#include "fuzz/FuzzInput.h"
#include "plugins/polyscan/CheckRun.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2 || fuzz::TooLong(size)) return 0;
  std::vector<uint8_t> source(data + 2, data + size);
  std::vector<uint8_t> out(source.size() * 2 + 64);
  CnvParam param{};
  param.flags = (data[0] | uint32_t{data[1]} << 8) & ~CNVF_CHECK_LOG;
  param.src = source.data();
  param.srcSize = static_cast<uint32_t>(source.size());
  param.dst = out.data();
  param.dstSize = static_cast<uint32_t>(out.size());
  polyscan::RunCheck(param);
  return 0;
}

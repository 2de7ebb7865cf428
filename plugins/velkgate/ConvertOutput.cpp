// How both conversions hand their bytes to the caller's destination.
#include "plugins/velkgate/ConvertOutput.h"

#include <cstring>

#include "song/MemStream.h"

namespace velkgate {

uint32_t CopyToDestination(CnvParam& param, const CMemStream& bytes) {
  uint32_t size = static_cast<uint32_t>(bytes.GetSize());
  if (!param.dst || size > param.dstSize) return CNVERR_DSTSIZE;
  if (size > 0) std::memcpy(param.dst, bytes.GetData(), size);
  param.dstSize = size;
  return size;
}

}  // namespace velkgate

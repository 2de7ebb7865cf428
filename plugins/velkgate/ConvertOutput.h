// How both conversions hand their bytes to the caller's destination.
#pragma once

#include <cstdint>

#include "app/CnvParam.h"

class CMemStream;

namespace velkgate {

/// Copies the bytes to the destination and sets its size; returns the byte count. With no
/// destination, or one too small, nothing is touched and the result is CNVERR_DSTSIZE.
uint32_t CopyToDestination(CnvParam& param, const CMemStream& bytes);

}  // namespace velkgate

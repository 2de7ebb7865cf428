// Velkgate's two conversions, called as the host calls them: a VELK image into song data
// (CnvFrom) and song data into a stamped VELK image (CnvTo), then each result converted back.
// The first input byte picks the direction (bit 0) and the option bits, so one corpus feeds both.
#include <vector>

#include "app/CnvParam.h"
#include "fuzz/FuzzInput.h"
#include "plugins/velkgate/VelkExport.h"
#include "plugins/velkgate/VelkImport.h"
#include "velk/Crc16.h"

namespace {

struct Converted {
  uint32_t result = CNVERR_FAILED;
  uint32_t flags = 0;
  std::vector<uint8_t> bytes;
};

Converted Convert(bool import, const uint8_t* source, size_t size, uint32_t flags) {
  // A destination as the host gives it for an import: four times the source, and a little more.
  Converted out;
  out.bytes.assign(size * 4 + 4096, 0);
  CnvParam param{};
  param.flags = flags;
  param.src = source;
  param.srcSize = static_cast<uint32_t>(size);
  param.dst = out.bytes.data();
  param.dstSize = static_cast<uint32_t>(out.bytes.size());
  out.result = import ? velkgate::CVelkImport(param).Run() : velkgate::CVelkExport(param).Run();
  out.flags = param.flags;
  if (out.result < CNVERR_FAILED) {
    if (out.result != param.dstSize || out.result > out.bytes.size()) __builtin_trap();
    out.bytes.resize(out.result);
  }
  return out;
}

/// An image CnvTo wrote: its size field and CRC hold, and its tag reads back valid.
void CheckImage(const Converted& image) {
  const std::vector<uint8_t>& b = image.bytes;
  if (b.size() < 10) __builtin_trap();
  uint32_t size = (uint32_t{b[4]} << 24) | (uint32_t{b[5]} << 16) | (uint32_t{b[6]} << 8) | b[7];
  if (size != b.size() - 8) __builtin_trap();
  BuildCrc16Table();
  uint16_t crc = Crc16(static_cast<uint32_t>(b.size() - 2), b.data());
  if (b[b.size() - 2] != (crc >> 8) || b.back() != (crc & 0xFF)) __builtin_trap();
  Converted back = Convert(true, b.data(), b.size(), 0);
  if (back.result < CNVERR_FAILED && (back.flags & CNVF_SIG_STATE) != 0) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || fuzz::TooLong(size)) return 0;
  const uint8_t options = data[0];
  if ((options & 1) == 0) {
    Converted song = Convert(true, data + 1, size - 1, (options & 2) ? CNVF_RETIME_480 : 0);
    if (song.result < CNVERR_FAILED) {
      Converted image = Convert(false, song.bytes.data(), song.bytes.size(), CNVF_SKIP_LED_CHECK | 0x20);
      if (image.result < CNVERR_FAILED) CheckImage(image);
    }
  } else {
    uint32_t flags = (options & CNVF_TIMEBASE) | ((options & 2) ? CNVF_COMPRESS : 0) |
                     ((options & 4) ? CNVF_SKIP_LED_CHECK : 0);
    Converted image = Convert(false, data + 1, size - 1, flags);
    if (image.result < CNVERR_FAILED) CheckImage(image);
  }
  return 0;
}

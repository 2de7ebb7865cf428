// The ADPCM codec: the input decoded as codes, encoded as 16-bit samples in pieces of varying
// size (the state carrying over), and the codes packed nibble by nibble.
#include <cstdlib>
#include <cstring>
#include <vector>

#include "fuzz/FuzzInput.h"
#include "voice/Adpcm.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (fuzz::TooLong(size)) return 0;
  const auto n = static_cast<int32_t>(size);
  std::vector<int16_t> decoded(2 * size + 1);
  AdpcmDecode(data, decoded.data(), n);

  std::vector<int16_t> samples(size / 2 + 1);
  if (size >= 2) std::memcpy(samples.data(), data, size / 2 * 2);
  const auto count = static_cast<int32_t>(size / 2);
  std::vector<uint8_t> codes(static_cast<size_t>(count) / 2 + 2);
  AdpcmState state;
  AdpcmInit(state);
  // Pieces of even length keep each piece's codes on whole bytes; the first byte sets them.
  const int32_t piece = size ? 2 * (1 + data[0] % 64) : 2;
  for (int32_t at = 0; at < count; at += piece) {
    const int32_t len = count - at < piece ? count - at : piece;
    AdpcmEncode(state, samples.data() + at, codes.data() + at / 2, len);
  }
  AdpcmEncode(state, samples.data(), codes.data(), 0);
  AdpcmEncode(state, samples.data(), codes.data(), -5);

  std::vector<uint8_t> packed(static_cast<size_t>(count) / 2 + 2);
  for (int32_t i = 0; i < count; ++i) {
    AdpcmPackNibble(packed.data(), i, AdpcmNibble(codes.data(), static_cast<uint32_t>(i)));
  }
  // Packed one by one, the codes read back as they were encoded.
  for (int32_t i = 0; i < count; ++i) {
    const auto at = static_cast<uint32_t>(i);
    if (AdpcmNibble(packed.data(), at) != AdpcmNibble(codes.data(), at)) std::abort();
  }
  std::vector<int16_t> again(2 * packed.size());
  AdpcmDecode(packed.data(), again.data(), static_cast<int32_t>(packed.size()));
  AdpcmDecode(packed.data(), again.data(), 0);
  return 0;
}

// The Huffman decoder of compressed score sequences, with the output sized as the track
// reader sizes it (the stream's own count, bounded by what its size can hold).
#include <cstdlib>
#include <memory>

#include "fuzz/FuzzInput.h"
#include "velk/HuffmanCoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (fuzz::TooLong(size)) return 0;
  const auto n = static_cast<uint32_t>(size);
  const uint32_t count = CHuffmanCoder::PeekCount(data, n);
  if (uint64_t{count} > uint64_t{8} * n) return 0;  // refused before decoding by the reader
  std::unique_ptr<uint8_t[]> out(new uint8_t[count ? count : 1]);
  try {
    CHuffmanCoder coder(data, n, out.get(), count);
    coder.Decode();
  } catch (int) {
  }
  // A too-small output must be refused, never overrun.
  try {
    CHuffmanCoder coder(data, n, out.get(), count / 2);
    coder.Decode();
  } catch (int) {
  }
  return 0;
}

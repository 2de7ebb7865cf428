// The Velkgate plug-in's Huffman decoder, with the output sized from the stream's own count
// (bounded by what its size can hold) and once too small.
#include <memory>

#include "fuzz/FuzzInput.h"
#include "plugins/velkgate/HuffmanCoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (fuzz::TooLong(size)) return 0;
  const auto n = static_cast<uint32_t>(size);
  const uint32_t count = velkgate::CHuffmanCoder::PeekCount(data, n);
  if (uint64_t{count} > uint64_t{8} * n) return 0;  // refused before decoding by the reader
  std::unique_ptr<uint8_t[]> out(new uint8_t[count ? count : 1]);
  for (uint32_t capacity : {count, count / 2}) {
    try {
      velkgate::CHuffmanCoder coder;
      coder.Decode(data, n, out.get(), capacity);
    } catch (int) {
    }
  }
  return 0;
}

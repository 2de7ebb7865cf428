// Table-driven decoding of the VELK Huffman codes, shared by the program and Velkgate.
#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

namespace huffman {

/// The first kLookupBits bits of a code index a table that gives the symbol and the length of
/// a short code, or the inner node reached after those bits, from which a longer code is walked
/// bit by bit. Nodes below 256 are byte values (leaves); inner nodes index `left` and `right`.
class DecodeTable {
 public:
  static constexpr int kLookupBits = 10;
  static constexpr int kLeafCount = 256;
  static constexpr int kWindowBits = 57;  // bits a Peek guarantees

  DecodeTable(const uint16_t* left, const uint16_t* right, int root)
      : m_left(left), m_right(right) {
    Fill(root, 0, 0);
  }

  /// Decodes count symbols from the bits of input (MSB first) from bit `bit` on. False when a
  /// code would need a bit past the input; the symbols before it are written.
  bool Decode(const uint8_t* input, uint32_t inputSize, uint64_t bit, uint8_t* output, uint32_t count) const {
    const uint64_t end = uint64_t{inputSize} * 8;
    // A window of the next bits: one load serves several short codes.
    uint64_t window = Peek(input, inputSize, bit);
    int avail = kWindowBits;
    for (uint32_t i = 0; i < count; ++i) {
      if (avail < kLookupBits) {
        window = Peek(input, inputSize, bit);
        avail = kWindowBits;
      }
      const Entry e = m_table[window >> (64 - kLookupBits)];
      bit += e.bits;
      if (bit > end) return false;
      window <<= e.bits;
      avail -= e.bits;
      int node = e.node;
      if (node < kLeafCount) {
        output[i] = static_cast<uint8_t>(node);
        continue;
      }
      // A code longer than the lookup: the rest is walked bit by bit.
      while (node >= kLeafCount) {
        if (bit >= end) return false;
        const int set = (input[bit >> 3] >> (7 - (bit & 7))) & 1;
        ++bit;
        node = set ? m_right[node] : m_left[node];
      }
      output[i] = static_cast<uint8_t>(node);
      avail = 0;  // the window is behind: reload it
    }
    return true;
  }

 private:
  struct Entry {
    uint16_t node;  // the symbol, or the inner node reached after kLookupBits bits
    uint8_t bits;   // bits taken by this entry
  };

  void Fill(int node, uint32_t code, int depth) {
    if (node < kLeafCount || depth == kLookupBits) {
      const uint32_t first = code << (kLookupBits - depth);
      const uint32_t last = (code + 1) << (kLookupBits - depth);
      for (uint32_t i = first; i < last; ++i)
        m_table[i] = {static_cast<uint16_t>(node), static_cast<uint8_t>(depth)};
      return;
    }
    Fill(m_left[node], code << 1, depth + 1);
    Fill(m_right[node], (code << 1) | 1, depth + 1);
  }

  /// 57 or more bits from `bit` on, MSB-aligned; bits past the input read as 0.
  static uint64_t Peek(const uint8_t* input, uint32_t inputSize, uint64_t bit) {
    const uint64_t at = bit >> 3;
    uint64_t word = 0;
    if (at + 8 <= inputSize) {
      std::memcpy(&word, input + at, 8);
      if constexpr (std::endian::native == std::endian::little) word = __builtin_bswap64(word);
    } else {
      for (uint64_t i = 0; i < 8; ++i)
        word = (word << 8) | (at + i < inputSize ? input[at + i] : 0u);
    }
    return word << (bit & 7);
  }

  const uint16_t* m_left;
  const uint16_t* m_right;
  std::array<Entry, 1u << kLookupBits> m_table{};
};

}  // namespace huffman

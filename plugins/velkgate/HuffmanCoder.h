// The Huffman coder of VELK sequence data, both directions.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

class CMemStream;

namespace velkgate {

class CHuffmanCoder {
 public:
  static constexpr int kLeafCount = 256;
  static constexpr int kNodeCount = 511;  // 256 byte values and 255 inner nodes

  CHuffmanCoder() = default;
  CHuffmanCoder(const CHuffmanCoder&) = delete;
  CHuffmanCoder& operator=(const CHuffmanCoder&) = delete;

  /// Appends the coded form of n source bytes (count, tree, codes) to out, which grows as
  /// needed (throws -108 when it cannot). Returns the bytes written.
  uint32_t Encode(const uint8_t* source, uint32_t n, CMemStream& out);
  /// Expands coded input into at most capacity output bytes; returns the bytes written.
  /// Throws -48 for a count above the capacity, more than 255 inner nodes or a read past
  /// the input.
  uint32_t Decode(const uint8_t* input, uint32_t inputSize, uint8_t* output, uint32_t capacity);

  /// The symbol count at the head of coded input, or 0 when it has fewer than four bytes.
  static uint32_t PeekCount(const uint8_t* input, uint32_t inputSize);

 private:
  void SiftDown(int position);
  int BuildTree(const uint8_t* source, uint32_t n);
  void BuildCodes();
  /// Appends the low `count` bits of value (at most 64), MSB first.
  void PutBits(uint64_t value, int count);
  void PutLongCode(int symbol);
  /// Room for `bytes` coded bytes, keeping those written; throws -108 when it cannot be had.
  void Reserve(size_t bytes);
  void WriteTree(int node);
  void FlushBits();
  int GetBit();
  int ReadTree();

  std::array<uint32_t, kNodeCount> m_count{};
  std::array<uint16_t, kNodeCount + 1> m_heap{};
  int m_heapSize = 0;
  std::array<int16_t, kNodeCount> m_parent{};
  std::array<uint16_t, kNodeCount> m_left{};
  std::array<uint16_t, kNodeCount> m_right{};
  int m_nextInner = kLeafCount;

  // Encoding: each byte value's code (root branch first) and its length in bits; codes longer
  // than the register takes are written bit by bit from the tree.
  static constexpr int kMaxTableCode = 56;
  std::array<uint64_t, kLeafCount> m_code{};
  std::array<uint8_t, kLeafCount> m_codeLength{};
  std::unique_ptr<uint8_t[]> m_coded;
  size_t m_codedCapacity = 0;
  size_t m_codedSize = 0;
  uint64_t m_acc = 0;
  int m_accBits = 0;

  // Decoding of the tree.
  uint8_t m_bits = 0;
  int m_freeBits = 8;

  const uint8_t* m_input = nullptr;
  uint32_t m_inputSize = 0;
  uint32_t m_inputPos = 0;
};

}  // namespace velkgate

// The Huffman decoder of compressed score sequences.
#pragma once

#include <cstdint>
#include <memory>

class CHuffmanCoder {
 public:
  static constexpr int kFirstInnerNode = 256;
  static constexpr int kLastInnerNode = 510;

  /// Decodes input (count, tree, symbols) into at most outputSize bytes of output.
  CHuffmanCoder(const uint8_t* input, uint32_t inputSize, uint8_t* output, uint32_t outputSize);
  CHuffmanCoder(const CHuffmanCoder&) = delete;
  CHuffmanCoder& operator=(const CHuffmanCoder&) = delete;

  /// The number of bytes decoded. Throws -48 for a corrupt stream: one that runs past its
  /// input, declares more symbols than the output holds or has more than 255 inner nodes.
  uint32_t Decode();

  /// The symbol count at the start of a compressed stream (0 when it has fewer than 4 bytes).
  static uint32_t PeekCount(const uint8_t* input, uint32_t inputSize);

 private:
  int ReadTree();
  int ReadBit();
  uint32_t ReadBits(int n);

  const uint8_t* m_input;
  uint32_t m_inputSize;
  uint32_t m_inputPos = 0;
  uint8_t* m_output;
  uint32_t m_outputSize;
  uint32_t m_outputPos = 0;
  uint32_t m_count = 0;
  std::unique_ptr<uint16_t[]> m_left;
  std::unique_ptr<uint16_t[]> m_right;
  int m_bitsLeft = 0;
  uint8_t m_currentByte = 0;
  int m_nextInnerNode = kFirstInnerNode;
};

// The Huffman decoder of compressed score sequences.
#include "velk/HuffmanCoder.h"

#include "song/MemStream.h"
#include "velk/HuffmanTable.h"

namespace {

constexpr int kTableSize = CHuffmanCoder::kLastInnerNode + 1;

}  // namespace

CHuffmanCoder::CHuffmanCoder(const uint8_t* input, uint32_t inputSize, uint8_t* output,
                             uint32_t outputSize)
    : m_input(input),
      m_inputSize(input ? inputSize : 0),
      m_output(output),
      m_outputSize(output ? outputSize : 0),
      m_left(new uint16_t[kTableSize]()),
      m_right(new uint16_t[kTableSize]()) {}

uint32_t CHuffmanCoder::PeekCount(const uint8_t* input, uint32_t inputSize) {
  if (!input || inputSize < 4) return 0;
  return (uint32_t{input[0]} << 24) | (uint32_t{input[1]} << 16) | (uint32_t{input[2]} << 8) |
         input[3];
}

int CHuffmanCoder::ReadBit() {
  if (m_bitsLeft == 0) {
    if (m_inputPos >= m_inputSize) throw kErrEndOfData;
    m_currentByte = m_input[m_inputPos++];
    m_bitsLeft = 8;
  }
  --m_bitsLeft;
  return (m_currentByte >> m_bitsLeft) & 1;
}

uint32_t CHuffmanCoder::ReadBits(int n) {
  uint32_t value = 0;
  for (int i = 0; i < n; ++i) value = (value << 1) | static_cast<uint32_t>(ReadBit());
  return value;
}

int CHuffmanCoder::ReadTree() {
  if (!ReadBit()) return static_cast<int>(ReadBits(8));
  // More inner nodes than the tables hold means the stream is corrupt.
  if (m_nextInnerNode > kLastInnerNode) throw kErrEndOfData;
  int node = m_nextInnerNode++;
  int left = ReadTree();
  int right = ReadTree();
  m_left[node] = static_cast<uint16_t>(left);
  m_right[node] = static_cast<uint16_t>(right);
  return node;
}

uint32_t CHuffmanCoder::Decode() {
  if (m_inputSize < 4) throw kErrEndOfData;
  m_count = PeekCount(m_input, m_inputSize);
  m_inputPos = 4;
  // Refused before decoding: the count comes from the file.
  if (m_count > m_outputSize) throw kErrEndOfData;
  int root = ReadTree();
  // The codes start where the tree ends, inside the byte read last.
  const uint64_t bit = uint64_t{m_inputPos} * 8 - static_cast<uint64_t>(m_bitsLeft);
  const huffman::DecodeTable table(m_left.get(), m_right.get(), root);
  if (!table.Decode(m_input, m_inputSize, bit, m_output, m_count)) throw kErrEndOfData;
  m_outputPos = m_count;
  return m_count;
}

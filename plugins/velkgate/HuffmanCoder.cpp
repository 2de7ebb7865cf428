// The Huffman coder of VELK sequence data, both directions.
#include "plugins/velkgate/HuffmanCoder.h"

#include "plugins/velkgate/VelkgateFlags.h"
#include "song/MemStream.h"

namespace velkgate {

uint32_t CHuffmanCoder::PeekCount(const uint8_t* input, uint32_t inputSize) {
  if (!input || inputSize < 4) return 0;
  return (uint32_t{input[0]} << 24) | (uint32_t{input[1]} << 16) | (uint32_t{input[2]} << 8) |
         input[3];
}

void CHuffmanCoder::SiftDown(int position) {
  uint16_t item = m_heap[position];
  while (position * 2 <= m_heapSize) {
    int child = position * 2;
    // Ties go left: the right child is taken only when strictly smaller.
    if (child < m_heapSize && m_count[m_heap[child + 1]] < m_count[m_heap[child]]) ++child;
    if (!(m_count[m_heap[child]] < m_count[item])) break;
    m_heap[position] = m_heap[child];
    position = child;
  }
  m_heap[position] = item;
}

int CHuffmanCoder::BuildTree(const uint8_t* source, uint32_t n) {
  m_count.fill(0);
  m_parent.fill(0);
  for (uint32_t i = 0; i < n; ++i) ++m_count[source[i]];
  m_heapSize = 0;
  for (int v = 0; v < kLeafCount; ++v)
    if (m_count[v] != 0) m_heap[++m_heapSize] = static_cast<uint16_t>(v);
  if (m_heapSize == 0) return 0;  // an empty source still writes a one-leaf tree for 0
  for (int i = m_heapSize / 2; i >= 1; --i) SiftDown(i);
  m_nextInner = kLeafCount;
  while (m_heapSize > 1) {
    uint16_t a = m_heap[1];
    m_heap[1] = m_heap[m_heapSize--];
    SiftDown(1);
    uint16_t b = m_heap[1];
    auto node = static_cast<uint16_t>(m_nextInner++);
    m_count[node] = m_count[a] + m_count[b];
    m_heap[1] = node;
    SiftDown(1);
    m_left[node] = a;
    m_right[node] = b;
    m_parent[a] = static_cast<int16_t>(node);
    m_parent[b] = static_cast<int16_t>(-node);
  }
  return m_heap[1];
}

void CHuffmanCoder::PutBits(uint32_t value, int count) {
  for (int i = count - 1; i >= 0; --i) {
    --m_freeBits;
    if ((value >> i) & 1) m_bits = static_cast<uint8_t>(m_bits | (1u << m_freeBits));
    if (m_freeBits == 0) FlushBits();
  }
}

void CHuffmanCoder::FlushBits() {
  if (m_freeBits == 8) return;
  m_out->WriteByte(m_bits);
  ++m_written;
  m_bits = 0;
  m_freeBits = 8;
}

void CHuffmanCoder::WriteTree(int node) {
  if (node < kLeafCount) {
    PutBits(0, 1);
    PutBits(static_cast<uint32_t>(node), 8);
    return;
  }
  PutBits(1, 1);
  WriteTree(m_left[node]);
  WriteTree(m_right[node]);
}

uint32_t CHuffmanCoder::Encode(const uint8_t* source, uint32_t n, CMemStream& out) {
  if (!source) n = 0;
  int root = BuildTree(source, n);
  m_out = &out;
  m_written = 0;
  m_bits = 0;
  m_freeBits = 8;
  out.WriteBE32(n);
  m_written += 4;
  WriteTree(root);
  for (uint32_t i = 0; i < n; ++i) {
    // The path is collected leaf to root and written root first; it is at most 255 deep.
    uint8_t path[kNodeCount];
    int depth = 0;
    for (int node = source[i]; m_parent[node] != 0;) {
      int link = m_parent[node];
      path[depth++] = link < 0 ? 1 : 0;
      node = link < 0 ? -link : link;
    }
    while (depth > 0) PutBits(path[--depth], 1);
  }
  FlushBits();
  m_out = nullptr;
  return m_written;
}

int CHuffmanCoder::GetBit() {
  if (m_freeBits == 8) {
    if (m_inputPos >= m_inputSize) throw kErrEndOfData;
    m_bits = m_input[m_inputPos++];
    m_freeBits = 0;
  }
  return (m_bits >> (7 - m_freeBits++)) & 1;
}

int CHuffmanCoder::ReadTree() {
  if (GetBit() == 0) {
    int value = 0;
    for (int i = 0; i < 8; ++i) value = (value << 1) | GetBit();
    return value;
  }
  // The tables hold 255 inner nodes; a tree with more is not one the encoder writes.
  if (m_nextInner >= kNodeCount) throw kErrEndOfData;
  int node = m_nextInner++;
  m_left[node] = static_cast<uint16_t>(ReadTree());
  m_right[node] = static_cast<uint16_t>(ReadTree());
  return node;
}

uint32_t CHuffmanCoder::Decode(const uint8_t* input, uint32_t inputSize, uint8_t* output,
                               uint32_t capacity) {
  if (!input || inputSize < 4) throw kErrEndOfData;
  uint32_t count = PeekCount(input, inputSize);
  // Refused before anything is read: the count comes from the file.
  if (count > capacity || (count > 0 && !output)) throw kErrEndOfData;
  m_input = input;
  m_inputSize = inputSize;
  m_inputPos = 4;
  m_freeBits = 8;
  m_nextInner = kLeafCount;
  int root = ReadTree();
  for (uint32_t i = 0; i < count; ++i) {
    int node = root;
    while (node >= kLeafCount) node = GetBit() ? m_right[node] : m_left[node];
    output[i] = static_cast<uint8_t>(node);
  }
  m_input = nullptr;
  return count;
}

}  // namespace velkgate

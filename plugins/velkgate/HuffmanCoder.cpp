// The Huffman coder of VELK sequence data, both directions.
#include "plugins/velkgate/HuffmanCoder.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "plugins/velkgate/VelkgateFlags.h"
#include "song/MemStream.h"
#include "velk/HuffmanTable.h"

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

void CHuffmanCoder::PutBits(uint64_t value, int count) {
  if (count > 32) {
    PutBits(value >> 32, count - 32);
    value &= 0xFFFFFFFFu;
    count = 32;
  }
  // Fewer than 32 bits wait in the register; whole 32-bit words leave it.
  m_acc = (m_acc << count) | value;
  m_accBits += count;
  if (m_accBits < 32) return;
  m_accBits -= 32;
  const auto word = static_cast<uint32_t>(m_acc >> m_accBits);
  if (m_codedSize + 4 > m_codedCapacity) Reserve(m_codedSize + 4);
  uint8_t* at = m_coded.get() + m_codedSize;
  at[0] = static_cast<uint8_t>(word >> 24);
  at[1] = static_cast<uint8_t>(word >> 16);
  at[2] = static_cast<uint8_t>(word >> 8);
  at[3] = static_cast<uint8_t>(word);
  m_codedSize += 4;
}

void CHuffmanCoder::Reserve(size_t bytes) {
  const size_t capacity = std::max(bytes, m_codedCapacity * 2);
  std::unique_ptr<uint8_t[]> grown(new (std::nothrow) uint8_t[capacity]);
  if (!grown) throw kErrOutOfMemory;
  if (m_codedSize > 0) std::memcpy(grown.get(), m_coded.get(), m_codedSize);
  m_coded = std::move(grown);
  m_codedCapacity = capacity;
}

void CHuffmanCoder::FlushBits() {
  // The last bits, zero-padded to a whole byte.
  if (m_codedSize + 5 > m_codedCapacity) Reserve(m_codedSize + 5);
  while (m_accBits >= 8) {
    m_accBits -= 8;
    m_coded[m_codedSize++] = static_cast<uint8_t>(m_acc >> m_accBits);
  }
  if (m_accBits > 0) m_coded[m_codedSize++] = static_cast<uint8_t>(m_acc << (8 - m_accBits));
  m_accBits = 0;
  m_acc = 0;
}

void CHuffmanCoder::BuildCodes() {
  for (int v = 0; v < kLeafCount; ++v) {
    m_codeLength[v] = 0;
    m_code[v] = 0;
    if (m_parent[v] == 0) continue;  // not in the tree, or the root of a one-leaf tree
    // The path leaf to root, then reversed: the root's branch is the first bit.
    uint8_t path[kNodeCount];
    int depth = 0;
    for (int node = v; m_parent[node] != 0;) {
      int link = m_parent[node];
      path[depth++] = link < 0 ? 1 : 0;
      node = link < 0 ? -link : link;
    }
    m_codeLength[v] = static_cast<uint8_t>(depth);
    if (depth > kMaxTableCode) continue;  // written bit by bit from the tree
    uint64_t code = 0;
    for (int i = depth - 1; i >= 0; --i) code = (code << 1) | path[i];
    m_code[v] = code;
  }
}

void CHuffmanCoder::PutLongCode(int symbol) {
  uint8_t path[kNodeCount];
  int depth = 0;
  for (int node = symbol; m_parent[node] != 0;) {
    int link = m_parent[node];
    path[depth++] = link < 0 ? 1 : 0;
    node = link < 0 ? -link : link;
  }
  while (depth > 0) PutBits(path[--depth], 1);
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
  BuildCodes();
  // The coded size is known from the counts and code lengths: one buffer, never grown.
  uint64_t bits = 32 + 256 * 9 + 255;  // the count and the largest tree
  for (int v = 0; v < kLeafCount; ++v) bits += uint64_t{m_count[v]} * m_codeLength[v];
  m_coded.reset();
  m_codedCapacity = 0;
  m_codedSize = 0;
  Reserve(static_cast<size_t>(bits / 8 + 8));
  m_acc = 0;
  m_accBits = 0;
  PutBits(n, 32);
  WriteTree(root);
  for (uint32_t i = 0; i < n; ++i) {
    const uint8_t v = source[i];
    if (m_codeLength[v] <= kMaxTableCode) {
      PutBits(m_code[v], m_codeLength[v]);
    } else {
      PutLongCode(v);
    }
  }
  FlushBits();
  // One write of the whole coded form instead of one per byte.
  const auto written = static_cast<uint32_t>(m_codedSize);
  out.Write(m_coded.get(), written);
  m_coded.reset();
  m_codedCapacity = 0;
  return written;
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
  // The codes start where the tree ends, inside the byte read last (m_freeBits of it are used).
  const uint64_t bit = uint64_t{m_inputPos} * 8 - 8 + static_cast<uint64_t>(m_freeBits);
  const huffman::DecodeTable table(m_left.data(), m_right.data(), root);
  const bool whole = table.Decode(input, inputSize, bit, output, count);
  m_input = nullptr;
  if (!whole) throw kErrEndOfData;
  return count;
}

}  // namespace velkgate

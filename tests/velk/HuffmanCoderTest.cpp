// The Huffman decoder, with hostile trees and counts.
#include "velk/HuffmanCoder.h"

#include <gtest/gtest.h>

#include <string>

#include "VelkBytes.h"

namespace {

using velktest::Bytes;
using velktest::ThrownCode;

// Packs bits most significant first, as the decoder reads them.
class BitWriter {
 public:
  void Bit(int b) {
    if (m_used == 0) m_bytes.push_back(0);
    if (b) m_bytes.back() |= static_cast<uint8_t>(0x80 >> m_used);
    m_used = (m_used + 1) % 8;
  }
  void Bits(uint64_t value, int n) {
    for (int i = n - 1; i >= 0; --i) Bit((value >> i) & 1);
  }
  Bytes Get() const { return m_bytes; }

 private:
  Bytes m_bytes;
  int m_used = 0;
};

Bytes WithCount(uint32_t count, const Bytes& bits) {
  Bytes out = velktest::Builder().BE32(count);
  out.insert(out.end(), bits.begin(), bits.end());
  return out;
}

std::string Decode(const Bytes& input, uint32_t outputSize) {
  std::string output(outputSize, '\0');
  CHuffmanCoder coder(input.data(), static_cast<uint32_t>(input.size()),
                      reinterpret_cast<uint8_t*>(output.data()), outputSize);
  output.resize(coder.Decode());
  return output;
}

TEST(HuffmanCoder, DecodesTwoSymbolTree) {
  // count 4; tree 1 (0 'A') (0 'B'); symbols 0 1 1 0
  const Bytes input = {0x00, 0x00, 0x00, 0x04, 0x90, 0x48, 0x4C};
  EXPECT_EQ(Decode(input, 4 * 7), "ABBA");
}

TEST(HuffmanCoder, SingleLeafTreeReadsNoFurtherBits) {
  // count 3; tree 0 'A'; no symbol bits at all
  const Bytes input = {0x00, 0x00, 0x00, 0x03, 0x20, 0x80};
  EXPECT_EQ(Decode(input, 4 * 6), "AAA");
  // As many symbols as the output holds, from the same six bytes.
  const Bytes many = {0x00, 0x00, 0x00, 0x18, 0x20, 0x80};
  EXPECT_EQ(Decode(many, 24), std::string(24, 'A'));
}

TEST(HuffmanCoder, FullTreeOf255InnerNodesDecodes) {
  // A complete tree of depth 8: every byte value is a leaf whose code is the value itself.
  BitWriter bits;
  auto tree = [&](auto&& self, int depth, uint32_t prefix) -> void {
    if (depth == 8) {
      bits.Bit(0);
      bits.Bits(prefix, 8);
      return;
    }
    bits.Bit(1);
    self(self, depth + 1, prefix << 1);
    self(self, depth + 1, (prefix << 1) | 1);
  };
  tree(tree, 0, 0);
  const std::string text = "Hello, tree";
  for (char c : text) bits.Bits(static_cast<uint8_t>(c), 8);
  Bytes input = WithCount(static_cast<uint32_t>(text.size()), bits.Get());
  EXPECT_EQ(Decode(input, static_cast<uint32_t>(text.size())), text);
}

TEST(HuffmanCoder, HostileStreamsAreRefused) {
  BitWriter tooManyNodes;  // 256 inner nodes in a row
  for (int i = 0; i < 256; ++i) tooManyNodes.Bit(1);
  tooManyNodes.Bits(0, 64);
  struct Case {
    const char* name;
    Bytes input;
    uint32_t outputSize;
  };
  const Case cases[] = {
      {"fewer than four bytes", {0x00, 0x00, 0x04}, 12},
      {"count beyond the output", {0x00, 0x00, 0x00, 0x05, 0x90, 0x48, 0x4C}, 4},
      {"count of 4 Gi", {0xFF, 0xFF, 0xFF, 0xFF, 0x20, 0x80}, 24},
      {"tree cut short", {0x00, 0x00, 0x00, 0x01, 0x90}, 20},
      {"symbols cut short", {0x00, 0x00, 0x00, 0x09, 0x90, 0x48, 0x4C}, 28},
      {"more than 255 inner nodes", WithCount(1, tooManyNodes.Get()), 1000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ThrownCode([&] { Decode(c.input, c.outputSize); }), kErrEndOfData);
  }
}

TEST(HuffmanCoder, EveryPrefixOfAStreamIsRefused) {
  const Bytes input = {0x00, 0x00, 0x00, 0x04, 0x90, 0x48, 0x4C};
  for (size_t cut = 0; cut < input.size(); ++cut) {
    SCOPED_TRACE(cut);
    Bytes prefix(input.begin(), input.begin() + static_cast<long>(cut));
    EXPECT_EQ(ThrownCode([&] { Decode(prefix, 28); }), kErrEndOfData);
  }
}

}  // namespace

// Tests of Velkgate's Huffman coder: exact codes, round trips and hostile input.
#include "plugins/velkgate/HuffmanCoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "VelkgateFixture.h"
#include "velk/HuffmanCoder.h"

namespace velkgate {
namespace {

using testing::Bytes;
using testing::Hex;
using testing::ToHex;

Bytes Encode(const Bytes& source) {
  CMemStream out;
  CHuffmanCoder coder;
  uint32_t n = coder.Encode(source.data(), static_cast<uint32_t>(source.size()), out);
  Bytes coded = testing::StreamBytes(out);
  EXPECT_EQ(n, coded.size());
  return coded;
}

Bytes Decode(const Bytes& coded, uint32_t capacity) {
  Bytes out(capacity);
  CHuffmanCoder coder;
  uint32_t n = coder.Decode(coded.data(), static_cast<uint32_t>(coded.size()), out.data(), capacity);
  out.resize(n);
  return out;
}

TEST(HuffmanCoder, EncodesExactBytes) {
  struct Case {
    const char* name;
    Bytes source;
    const char* coded;
  } cases[] = {
      {"empty", {}, "00 00 00 00 00 00"},
      {"AAA", {'A', 'A', 'A'}, "00 00 00 03 20 80"},
      {"ABBA", {'A', 'B', 'B', 'A'}, "00 00 00 04 90 48 4C"},
      {"end of sequence", Hex("00 FF 2F 00"), "00 00 00 04 C5 EF F0 05 20"},
      {"one note", Hex("00 90 3C 64 0A 0A FF 2F 00"),
       "00 00 00 09 E3 C7 F8 2B 32 24 22 F0 07 A2 29 DC"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ToHex(Encode(c.source)), ToHex(Hex(c.coded)));
    EXPECT_EQ(Decode(Hex(c.coded), static_cast<uint32_t>(c.source.size())), c.source);
  }
}

/// The size of a code from its tree: walks the coded tree and sums the leaf depths.
struct TreeSize {
  const Bytes& coded;
  size_t bit = 32;
  int Bit() {
    int b = (coded[bit / 8] >> (7 - bit % 8)) & 1;
    ++bit;
    return b;
  }
  /// Fills depth[value] for every leaf.
  void Walk(int depth, int (&depths)[256]) {
    if (Bit() == 0) {
      int v = 0;
      for (int i = 0; i < 8; ++i) v = (v << 1) | Bit();
      depths[v] = depth;
      return;
    }
    Walk(depth + 1, depths);
    Walk(depth + 1, depths);
  }
};

TEST(HuffmanCoder, RandomSourcesRoundTripAtTheirBitSize) {
  std::mt19937 random(7);
  for (int round = 0; round < 40; ++round) {
    SCOPED_TRACE(round);
    Bytes source(random() % 3000);
    int alphabet = 1 + static_cast<int>(random() % 256);
    for (uint8_t& b : source) b = static_cast<uint8_t>(random() % alphabet);
    Bytes coded = Encode(source);
    EXPECT_EQ(Decode(coded, static_cast<uint32_t>(source.size())), source);

    int depths[256] = {};
    TreeSize tree{coded};
    tree.Walk(0, depths);
    size_t bits = tree.bit - 32;
    for (uint8_t b : source) bits += static_cast<size_t>(depths[b]);
    EXPECT_EQ(coded.size(), 4 + (bits + 7) / 8);

    // The program's own decoder reads what Velkgate writes.
    Bytes program(source.size());
    ::CHuffmanCoder reader(coded.data(), static_cast<uint32_t>(coded.size()), program.data(),
                           static_cast<uint32_t>(program.size()));
    EXPECT_EQ(reader.Decode(), source.size());
    EXPECT_EQ(program, source);
  }
}

TEST(HuffmanCoder, ShortSourceCodesLargerThanTwiceItsSize) {
  Bytes source = Hex("00 FF 2F 00");
  EXPECT_GT(Encode(source).size(), 2 * source.size());
}

int DecodeError(const Bytes& coded, uint32_t capacity) {
  Bytes out(capacity + 1);
  CHuffmanCoder coder;
  try {
    coder.Decode(coded.data(), static_cast<uint32_t>(coded.size()), out.data(), capacity);
  } catch (int e) {
    return e;
  }
  return 1;
}

TEST(HuffmanCoder, CountAboveCapacityThrows) {
  Bytes coded = Hex("00 00 00 09 E3 C7 F8 2B 32 24 22 F0 07 A2 29 DC");
  EXPECT_EQ(DecodeError(coded, 8), kErrEndOfData);
  EXPECT_EQ(DecodeError(Hex("80 00 00 00 20 80"), 1000), kErrEndOfData);
}

TEST(HuffmanCoder, TreeOfMoreThan255InnerNodesThrows) {
  // 300 inner nodes, each the left child of the one before, then the leaves.
  Bytes coded = Hex("00 00 00 01");
  std::vector<int> bits(300, 1);
  for (int i = 0; i < 301; ++i) {
    bits.push_back(0);
    for (int k = 7; k >= 0; --k) bits.push_back(0);
  }
  uint8_t byte = 0;
  for (size_t i = 0; i < bits.size(); ++i) {
    byte = static_cast<uint8_t>((byte << 1) | bits[i]);
    if (i % 8 == 7) coded.push_back(byte), byte = 0;
  }
  coded.push_back(static_cast<uint8_t>(byte << (8 - bits.size() % 8)));
  EXPECT_EQ(DecodeError(coded, 1), kErrEndOfData);
}

TEST(HuffmanCoder, DeepTreeCodesLongerThanTheLookupRoundTripAndRefuseEveryTruncation) {
  // Fibonacci counts make a tree 21 deep: codes far longer than the decoders' lookup.
  Bytes source;
  uint32_t a = 1, b = 1;
  for (uint8_t symbol = 0; symbol < 22; ++symbol) {
    source.insert(source.end(), a, static_cast<uint8_t>(symbol * 11));
    const uint32_t next = a + b;
    a = b;
    b = next;
  }
  std::shuffle(source.begin(), source.end(), std::mt19937(5));
  const auto n = static_cast<uint32_t>(source.size());
  Bytes coded = Encode(source);
  int depths[256] = {};
  TreeSize tree{coded};
  tree.Walk(0, depths);
  EXPECT_EQ(depths[0], 21);
  EXPECT_EQ(Decode(coded, n), source);
  Bytes program(n);
  EXPECT_EQ(::CHuffmanCoder(coded.data(), static_cast<uint32_t>(coded.size()), program.data(), n)
                .Decode(),
            n);
  EXPECT_EQ(program, source);
  for (size_t cut : {coded.size() - 1, coded.size() - 3, coded.size() / 2}) {
    SCOPED_TRACE(cut);
    Bytes prefix(coded.begin(), coded.begin() + static_cast<ptrdiff_t>(cut));
    EXPECT_EQ(DecodeError(prefix, n), kErrEndOfData);
    Bytes out(n);
    ::CHuffmanCoder reader(prefix.data(), static_cast<uint32_t>(prefix.size()), out.data(), n);
    EXPECT_THROW(reader.Decode(), int);
  }
}

TEST(HuffmanCoder, EveryPrefixOfAValidCodeThrows) {
  Bytes coded = Hex("00 00 00 09 E3 C7 F8 2B 32 24 22 F0 07 A2 29 DC");
  for (size_t n = 0; n < coded.size(); ++n) {
    SCOPED_TRACE(n);
    Bytes prefix(coded.begin(), coded.begin() + static_cast<ptrdiff_t>(n));
    EXPECT_EQ(DecodeError(prefix, 9), kErrEndOfData);
  }
}

TEST(HuffmanCoder, OneLeafTreeSpendsNoBitsPerSymbol) {
  Bytes source(1000, 0x42);
  Bytes coded = Encode(source);
  EXPECT_EQ(ToHex(coded), "00 00 03 E8 21 00");
  EXPECT_EQ(Decode(coded, 1000), source);
}

}  // namespace
}  // namespace velkgate

// The generation-1 voice table, its fields and its voice-table file.
#include "song/VoiceTable1.h"

#include <gtest/gtest.h>

#include <vector>

#include "song/MemStream.h"

namespace {

std::vector<uint8_t> Entry(uint8_t seed) {
  std::vector<uint8_t> e(CVoiceTable1::kEntrySize);
  for (int i = 0; i < CVoiceTable1::kEntrySize; ++i) e[i] = static_cast<uint8_t>(seed + i);
  return e;
}

TEST(VoiceTable1, IndexOutsideTheTableGivesEntryZero) {
  CVoiceTable1 t;
  auto e0 = Entry(1);
  t.SetEntry(0, e0.data());
  EXPECT_EQ(t.GetEntry(128), t.GetEntry(0));
  EXPECT_EQ(t.GetEntry(-1), t.GetEntry(0));
  EXPECT_NE(t.GetEntry(127), t.GetEntry(0));
  auto e9 = Entry(9);
  t.SetEntry(128, e9.data());  // ignored
  t.SetEntry(-1, e9.data());
  EXPECT_EQ(t.GetEntry(0)[0], 1);
}

TEST(VoiceTable1, OperatorWordsAreBigEndianAndFieldsSitAtTheirBits) {
  CVoiceTable1 t;
  t.SetOpWord(5, CVoiceTable1::kModulator, 0x12345678);
  t.SetOpWord(5, CVoiceTable1::kCarrier, 0x9ABCDEF0);
  const uint8_t* e = t.GetEntry(5);
  EXPECT_EQ(e[20], 0x12);
  EXPECT_EQ(e[23], 0x78);
  EXPECT_EQ(e[24], 0x9A);
  EXPECT_EQ(t.GetOpWord(5, 1), 0x9ABCDEF0u);

  struct Field {
    const char* name;
    int (CVoiceTable1::*get)(int, int) const;
    void (CVoiceTable1::*set)(int, int, int);
    int shift;
    uint32_t mask;
  };
  const Field fields[] = {
      {"VIB", &CVoiceTable1::GetVIB, &CVoiceTable1::SetVIB, 28, 1},
      {"EGT", &CVoiceTable1::GetEGT, &CVoiceTable1::SetEGT, 27, 1},
      {"SUS", &CVoiceTable1::GetSUS, &CVoiceTable1::SetSUS, 26, 1},
      {"RR", &CVoiceTable1::GetRR, &CVoiceTable1::SetRR, 22, 15},
      {"DR", &CVoiceTable1::GetDR, &CVoiceTable1::SetDR, 18, 15},
      {"AR", &CVoiceTable1::GetAR, &CVoiceTable1::SetAR, 14, 15},
      {"SL", &CVoiceTable1::GetSL, &CVoiceTable1::SetSL, 10, 15},
      {"TL", &CVoiceTable1::GetTL, &CVoiceTable1::SetTL, 4, 63},
      {"WAVE", &CVoiceTable1::GetWAVE, &CVoiceTable1::SetWAVE, 3, 1},
      {"FL", &CVoiceTable1::GetFL, &CVoiceTable1::SetFL, 0, 7},
  };
  for (const Field& f : fields) {
    SCOPED_TRACE(f.name);
    CVoiceTable1 u;
    (u.*f.set)(2, CVoiceTable1::kCarrier, static_cast<int>(f.mask));
    EXPECT_EQ(u.GetOpWord(2, CVoiceTable1::kCarrier), f.mask << f.shift);
    EXPECT_EQ(u.GetOpWord(2, CVoiceTable1::kModulator), 0u);
    EXPECT_EQ((u.*f.get)(2, CVoiceTable1::kCarrier), static_cast<int>(f.mask));
    u.SetOpWord(2, 0, 0xFFFFFFFF);
    (u.*f.set)(2, 0, 0);
    EXPECT_EQ(u.GetOpWord(2, 0), ~(f.mask << f.shift));
  }
  t.SetTL(7, 0, 45);
  EXPECT_EQ(t.GetOpTL(7, 0), 45);
}

TEST(VoiceTable1, RangesAndMultiples) {
  CVoiceTable1 t;
  t.SetMultiples(3, 2, 5, 0x1A);
  int m = 0, c = 0;
  t.GetMultiples(3, 6, m, c);  // range taken AND 3
  EXPECT_EQ(m, 5);
  EXPECT_EQ(c, 10);
  t.SetRangeFlags(3, 0x9);
  t.SetBasicRange(3, 2, 0);
  EXPECT_EQ(t.GetEntry(3)[32], 0x92);
  EXPECT_EQ(t.GetBasicRange(3), 2);
  EXPECT_EQ(t.GetMULTI(3, 0), 5);
  EXPECT_EQ(t.GetMULTI(3, 1), 2);  // low 3 bits of 10
  EXPECT_TRUE(t.IsRangeOn(3, 0));
  EXPECT_FALSE(t.IsRangeOn(3, 1));
  EXPECT_TRUE(t.IsRangeOn(3, 3));
  EXPECT_EQ(t.GetRangeFlags(3), -7);  // the byte 0x92 shifted as a signed byte
  // Reverse direction: MULTI back into bits 4-6 and 0-2, bits 7 and 3 kept.
  t.GetEntry(3)[29] = 0x88;
  t.SetMULTI(3, 0, 6);
  t.SetMULTI(3, 1, 3);
  t.SetBasicRange(3, 1, 1);
  EXPECT_EQ(t.GetEntry(3)[29], 0x88 | 0x60 | 0x03);
}

TEST(VoiceTable1, AssignmentCopiesEntriesNotBank) {
  CVoiceTable1 a;
  a.SetBank(7);
  auto e = Entry(40);
  a.SetEntry(100, e.data());
  CVoiceTable1 b;
  b.SetBank(2);
  b = a;
  EXPECT_EQ(b.GetBank(), 2);
  EXPECT_EQ(std::vector<uint8_t>(b.GetEntry(100), b.GetEntry(100) + 33), e);
}

// Record 0 of the file for an entry with bytes seeded 1: bank, index, bytes 0-16, 20-32.
TEST(VoiceTable1, WritesThirtyTwoByteRecordsAsGoldenBytes) {
  CVoiceTable1 t;
  auto e = Entry(1);
  t.SetEntry(0, e.data());
  CMemStream s;
  WriteVoiceTable(t, 1, s);
  ASSERT_EQ(s.GetSize(), 128 * 32);
  const std::vector<uint8_t> expected = {
      0x01, 0x00,                                            // bank 1, index 0
      1,    2,    3,  4,  5,  6,  7,  8,  9, 10, 11, 12, 13, 14, 15, 16, 17,  // bytes 0-16
      21,   22,   23, 24,                                    // modulator word
      25,   26,   27, 28,                                    // carrier word
      29,   30,   31, 32,                                    // multiples
      33,                                                    // range byte
  };
  EXPECT_EQ(std::vector<uint8_t>(s.GetData(), s.GetData() + 32), expected);
  EXPECT_EQ(s.GetData()[32 * 127 + 1], 127);
}

TEST(VoiceTable1, RecordsInReverseOrderLoadTheSameTable) {
  CVoiceTable1 t;
  for (int i = 0; i < 128; ++i) {
    auto e = Entry(static_cast<uint8_t>(i * 3));
    e[17] = e[18] = e[19] = 0;  // not carried by the file
    t.SetEntry(i, e.data());
  }
  CMemStream forward;
  WriteVoiceTable(t, 4, forward);
  std::vector<uint8_t> reversed;
  for (int i = 127; i >= 0; --i) {
    reversed.insert(reversed.end(), forward.GetData() + 32 * i, forward.GetData() + 32 * i + 32);
  }
  for (const auto& bytes : {std::vector<uint8_t>(forward.GetData(), forward.GetData() + 4096),
                            reversed}) {
    CVoiceTable1 back;
    std::vector<uint8_t> copy = bytes;
    CMemStream in(copy.data(), static_cast<int32_t>(copy.size()), false);
    ReadVoiceTable(back, in);
    EXPECT_EQ(back.GetBank(), 4);
    for (int i = 0; i < 128; ++i) {
      ASSERT_EQ(std::vector<uint8_t>(back.GetEntry(i), back.GetEntry(i) + 33),
                std::vector<uint8_t>(t.GetEntry(i), t.GetEntry(i) + 33))
          << "entry " << i;
    }
  }
}

TEST(VoiceTable1, IndexPastTheTableIsSkippedAndShortStreamThrows) {
  CVoiceTable1 t;
  CMemStream out;
  WriteVoiceTable(t, 1, out);
  std::vector<uint8_t> bytes(out.GetData(), out.GetData() + out.GetSize());
  bytes[32 * 5 + 1] = 200;  // index byte out of range
  bytes[32 * 5 + 2] = 0x55;
  CVoiceTable1 back;
  CMemStream in(bytes.data(), static_cast<int32_t>(bytes.size()), false);
  ReadVoiceTable(back, in);
  for (int i = 0; i < 128; ++i) ASSERT_EQ(back.GetEntry(i)[0], 0) << i;

  CMemStream shortIn(bytes.data(), 32 * 10 + 7, false);
  try {
    ReadVoiceTable(back, shortIn);
    FAIL() << "expected -48";
  } catch (int e) {
    EXPECT_EQ(e, kErrEndOfData);
  }
}

}  // namespace

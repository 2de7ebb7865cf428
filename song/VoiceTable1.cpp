// The generation-1 voice table, its bit fields and its file of 32-byte records.
#include "song/VoiceTable1.h"

#include <cstring>

#include "song/MemStream.h"

namespace {

constexpr int kOpWordOffset = 20;
constexpr int kMultiplesOffset = 28;
constexpr int kRangeByte = 32;

uint32_t GetBE32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

void PutBE32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v >> 24);
  p[1] = static_cast<uint8_t>(v >> 16);
  p[2] = static_cast<uint8_t>(v >> 8);
  p[3] = static_cast<uint8_t>(v);
}

bool IsValidIndex(int i) { return i >= 0 && i < CVoiceTable1::kEntryCount; }

}  // namespace

CVoiceTable1::CVoiceTable1() { std::memset(m_entries, 0, sizeof m_entries); }

CVoiceTable1::CVoiceTable1(const CVoiceTable1& other) : m_bank(other.m_bank) {
  std::memcpy(m_entries, other.m_entries, sizeof m_entries);
}

CVoiceTable1& CVoiceTable1::operator=(const CVoiceTable1& other) {
  if (this != &other) std::memcpy(m_entries, other.m_entries, sizeof m_entries);
  return *this;
}

uint8_t* CVoiceTable1::GetEntry(int i) { return m_entries[IsValidIndex(i) ? i : 0]; }

const uint8_t* CVoiceTable1::GetEntry(int i) const { return m_entries[IsValidIndex(i) ? i : 0]; }

void CVoiceTable1::SetEntry(int i, const uint8_t* bytes33) {
  if (IsValidIndex(i)) std::memcpy(m_entries[i], bytes33, kEntrySize);
}

uint32_t CVoiceTable1::GetOpWord(int i, int which) const {
  return GetBE32(GetEntry(i) + kOpWordOffset + 4 * (which & 1));
}

void CVoiceTable1::SetOpWord(int i, int which, uint32_t word) {
  PutBE32(GetEntry(i) + kOpWordOffset + 4 * (which & 1), word);
}

void CVoiceTable1::GetOpWords(int i, uint32_t out[2]) const {
  std::memcpy(out, GetEntry(i) + kOpWordOffset, 8);
}

int CVoiceTable1::GetOpField(int i, int which, int shift, int mask) const {
  return static_cast<int>((GetOpWord(i, which) >> shift) & static_cast<uint32_t>(mask & 0xFF));
}

void CVoiceTable1::SetOpField(int i, int which, int shift, int mask, int v) {
  const uint32_t m = static_cast<uint32_t>(mask) << shift;
  const uint32_t word = GetOpWord(i, which);
  SetOpWord(i, which, (word & ~m) | ((static_cast<uint32_t>(v) << shift) & m));
}

void CVoiceTable1::SetBasicRange(int i, int r, int direction) {
  uint8_t* entry = GetEntry(i);
  r &= 3;
  entry[kRangeByte] = static_cast<uint8_t>((entry[kRangeByte] & 0xF0) | r);
  uint8_t& multiples = entry[kMultiplesOffset + r];
  if (direction == 0) {
    SetMULTI(i, kModulator, (multiples >> 4) & 7);
    SetMULTI(i, kCarrier, multiples & 7);
  } else {
    const int m = GetMULTI(i, kModulator);
    const int c = GetMULTI(i, kCarrier);
    multiples = static_cast<uint8_t>((multiples & 0x88) | (m << 4) | c);
  }
}

void CVoiceTable1::GetMultiples(int i, int r, int& m, int& c) const {
  const uint8_t b = GetEntry(i)[kMultiplesOffset + (r & 3)];
  m = b >> 4;
  c = b & 15;
}

void CVoiceTable1::SetMultiples(int i, int r, int m, int c) {
  GetEntry(i)[kMultiplesOffset + (r & 3)] = static_cast<uint8_t>((m << 4) + (c & 15));
}

void CVoiceTable1::SetRangeFlags(int i, int flags) {
  uint8_t& b = GetEntry(i)[kRangeByte];
  b = static_cast<uint8_t>((b & 0x0F) | (flags << 4));
}

int CVoiceTable1::GetRangeFlags(int i) const {
  return static_cast<int8_t>(GetEntry(i)[kRangeByte]) >> 4;
}

void ReadVoiceTable(CVoiceTable1& table, CMemStream& stream) {
  uint8_t record[CVoiceTable1::kFileRecordSize];
  for (int n = 0; n < CVoiceTable1::kEntryCount; ++n) {
    stream.Read(record, sizeof record);
    table.SetBank(record[0]);
    // An index past the table has no entry: skipped rather than written outside it.
    if (record[1] >= CVoiceTable1::kEntryCount) continue;
    uint8_t* entry = table.GetEntry(record[1]);
    std::memcpy(entry, record + 2, 17);
    std::memcpy(entry + 20, record + 19, 13);
  }
}

void WriteVoiceTable(const CVoiceTable1& table, uint8_t bank, CMemStream& stream) {
  uint8_t record[CVoiceTable1::kFileRecordSize];
  for (int i = 0; i < CVoiceTable1::kEntryCount; ++i) {
    const uint8_t* entry = table.GetEntry(i);
    record[0] = bank;
    record[1] = static_cast<uint8_t>(i);
    std::memcpy(record + 2, entry, 17);
    std::memcpy(record + 19, entry + 20, 13);
    stream.Write(record, sizeof record);
  }
}

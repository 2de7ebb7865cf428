// The generation-1 voice table: a bank byte and 128 two-operator voices of 33 bytes.
#pragma once

#include <cstdint>

class CMemStream;

class CVoiceTable1 {
 public:
  static constexpr int kEntryCount = 128;
  static constexpr int kEntrySize = 33;
  /// Bytes of one record of the voice-table file.
  static constexpr int kFileRecordSize = 32;

  /// Operator words: 0 the modulator (bytes 20-23), 1 the carrier (bytes 24-27).
  static constexpr int kModulator = 0;
  static constexpr int kCarrier = 1;

  CVoiceTable1();
  CVoiceTable1(const CVoiceTable1& other);
  virtual ~CVoiceTable1() = default;
  /// Copies the 128 entries, not the bank byte.
  CVoiceTable1& operator=(const CVoiceTable1& other);

  uint8_t GetBank() const { return m_bank; }
  void SetBank(uint8_t bank) { m_bank = bank; }

  /// Entry i for 0..127, else entry 0.
  uint8_t* GetEntry(int i);
  const uint8_t* GetEntry(int i) const;
  /// Ignored for an index outside 0..127.
  void SetEntry(int i, const uint8_t* bytes33);

  uint32_t GetOpWord(int i, int which) const;
  void SetOpWord(int i, int which, uint32_t word);
  /// Both words as stored (big-endian in memory).
  void GetOpWords(int i, uint32_t out[2]) const;
  int GetOpField(int i, int which, int shift, int mask) const;
  int GetOpTL(int i, int which) const { return GetOpField(i, which, 4, 63); }

  // The operator word's fields, one getter and setter each.
  int GetVIB(int i, int which) const { return GetOpField(i, which, 28, 1); }
  void SetVIB(int i, int which, int v) { SetOpField(i, which, 28, 1, v); }
  int GetEGT(int i, int which) const { return GetOpField(i, which, 27, 1); }
  void SetEGT(int i, int which, int v) { SetOpField(i, which, 27, 1, v); }
  int GetSUS(int i, int which) const { return GetOpField(i, which, 26, 1); }
  void SetSUS(int i, int which, int v) { SetOpField(i, which, 26, 1, v); }
  int GetRR(int i, int which) const { return GetOpField(i, which, 22, 15); }
  void SetRR(int i, int which, int v) { SetOpField(i, which, 22, 15, v); }
  int GetDR(int i, int which) const { return GetOpField(i, which, 18, 15); }
  void SetDR(int i, int which, int v) { SetOpField(i, which, 18, 15, v); }
  int GetAR(int i, int which) const { return GetOpField(i, which, 14, 15); }
  void SetAR(int i, int which, int v) { SetOpField(i, which, 14, 15, v); }
  int GetSL(int i, int which) const { return GetOpField(i, which, 10, 15); }
  void SetSL(int i, int which, int v) { SetOpField(i, which, 10, 15, v); }
  int GetTL(int i, int which) const { return GetOpField(i, which, 4, 63); }
  void SetTL(int i, int which, int v) { SetOpField(i, which, 4, 63, v); }
  int GetWAVE(int i, int which) const { return GetOpField(i, which, 3, 1); }
  void SetWAVE(int i, int which, int v) { SetOpField(i, which, 3, 1, v); }
  int GetFL(int i, int which) const { return GetOpField(i, which, 0, 7); }
  void SetFL(int i, int which, int v) { SetOpField(i, which, 0, 7, v); }
  /// The operator's MULTI (bits 29-31), which the basic range's multiples fill.
  int GetMULTI(int i, int which) const { return GetOpField(i, which, 29, 7); }
  void SetMULTI(int i, int which, int v) { SetOpField(i, which, 29, 7, v); }

  /// Byte 32's low nibble.
  int GetBasicRange(int i) const { return GetEntry(i)[32] & 15; }
  /// Direction 0 copies range r's multiples into the operators' MULTI, 1 the reverse.
  void SetBasicRange(int i, int r, int direction);
  void GetMultiples(int i, int r, int& m, int& c) const;
  void SetMultiples(int i, int r, int m, int c);
  void SetRangeFlags(int i, int flags);
  int GetRangeFlags(int i) const;
  bool IsRangeOn(int i, int r) const { return (GetRangeFlags(i) >> (r & 3)) & 1; }

 private:
  void SetOpField(int i, int which, int shift, int mask, int v);

  uint8_t m_bank = 0;
  uint8_t m_entries[kEntryCount][kEntrySize];
};

/// Reads 128 records of the voice-table file; each goes to the entry its index byte names and
/// one whose index is 128 or more is skipped. A short stream throws -48 as the stream does.
void ReadVoiceTable(CVoiceTable1& table, CMemStream& stream);
/// Writes the 128 records with the given bank byte and indexes 0..127.
void WriteVoiceTable(const CVoiceTable1& table, uint8_t bank, CMemStream& stream);

// One voice of chip generations 3 and 5: header, FM, PCM and extension blocks and its wave data.
#pragma once

#include <cstdint>
#include <memory>

/// The four parameter blocks are a file format (voice banks copy them byte for byte), so they
/// are held as bytes and every field is decoded with shifts. Setters expect values within the
/// field's range and mask them to its width; out-of-range operator or extension numbers are
/// ignored by setters (false) and read as 0.
class CVoiceItem {
 public:
  static constexpr uint32_t kHeaderSize = 24;
  static constexpr uint32_t kFmSize = 31;
  static constexpr uint32_t kPcmSize = 16;
  static constexpr uint32_t kPcmOldSize = 14;
  static constexpr uint32_t kExtSize = 27;
  static constexpr uint32_t kNameSize = 16;
  static constexpr uint32_t kWaveHeaderSize = 20;
  /// The earlier wave record's header: id, length and the 16 name bytes.
  static constexpr uint32_t kOldWaveHeaderSize = 19;
  static constexpr uint32_t kMaxWaveSamples = 65518;
  static constexpr uint8_t kKindFm = 52;
  static constexpr uint8_t kKindPcm = 37;
  static constexpr uint8_t kKindExtension = 27;
  static constexpr uint16_t kExtValueADefault = 8184;
  static constexpr uint16_t kExtValueAMin = 8;
  static constexpr uint16_t kExtValueDDefault = 714;

  CVoiceItem();
  CVoiceItem(const CVoiceItem& other);
  CVoiceItem& operator=(const CVoiceItem& other);
  ~CVoiceItem();

  void Clear();
  /// Kind 52 (FM) or 37 (PCM), plus 27 with the extension flag.
  void UpdateKind();
  bool IsKindConsistent() const;

  // Header.
  bool SetIdHi(uint8_t v) { return Put(kIdAt, v); }
  uint8_t GetIdHi() const { return m_bytes[kIdAt]; }
  bool SetIdLo(uint8_t v) { return Put(kIdAt + 1, v); }
  uint8_t GetIdLo() const { return m_bytes[kIdAt + 1]; }
  bool SetHeaderWord(uint16_t id) { return PutBE16(kIdAt, id); }
  uint16_t GetHeaderWord() const { return BE16(kIdAt); }
  bool SetKind(uint8_t v) { return Put(kKindAt, v); }
  uint8_t GetKind() const { return m_bytes[kKindAt]; }
  bool SetBankMsb(uint8_t v) { return SetField(kAddrAt, 0, 0x7F, v); }
  uint8_t GetBankMsb() const { return Field(kAddrAt, 0, 0x7F); }
  bool SetBankLsb(uint8_t v) { return SetField(kAddrAt + 1, 0, 0x7F, v); }
  uint8_t GetBankLsb() const { return Field(kAddrAt + 1, 0, 0x7F); }
  bool SetProgram(uint8_t v) { return SetField(kAddrAt + 2, 0, 0x7F, v); }
  uint8_t GetProgram() const { return Field(kAddrAt + 2, 0, 0x7F); }
  bool SetNote(uint8_t v) { return SetField(kAddrAt + 3, 0, 0x7F, v); }
  uint8_t GetNote() const { return Field(kAddrAt + 3, 0, 0x7F); }
  /// Stores the flag and recomputes the kind code.
  bool SetPcmFlag(uint8_t v);
  uint8_t IsPcm() const { return Field(kFlagsAt, 0, 1); }
  /// Stores the flag and recomputes the kind code.
  bool SetExtFlag(uint8_t v);
  uint8_t GetExtFlag() const { return Field(kFlagsAt, 1, 1); }
  /// Zeroes the 16 name bytes and copies at most 16 bytes of text, never splitting a
  /// double-byte character.
  bool SetName(const char* text);
  /// The name as a zero-terminated text.
  const char* GetName() const;

  // FM voice.
  bool SetDrumKey(uint8_t v) { return SetField(kFmAt, 0, 0x7F, v); }
  uint8_t GetDrumKey() const { return Field(kFmAt, 0, 0x7F); }
  bool SetPanpot(uint8_t v) { return SetField(kFmAt + 1, 3, 0x1F, v); }
  uint8_t GetPanpot() const { return Field(kFmAt + 1, 3, 0x1F); }
  /// BO is always 1, whatever the value.
  bool SetBO(uint8_t) { return SetField(kFmAt + 1, 0, 0x03, 1); }
  uint8_t GetBO() const { return Field(kFmAt + 1, 0, 0x03); }
  bool SetLFO(uint8_t v) { return SetField(kFmAt + 2, 6, 0x03, v); }
  uint8_t GetLFO() const { return Field(kFmAt + 2, 6, 0x03); }
  bool SetPE(uint8_t v) { return SetField(kFmAt + 2, 5, 0x01, v); }
  uint8_t GetPE() const { return Field(kFmAt + 2, 5, 0x01); }
  bool SetAlgorithm(uint8_t v) { return SetField(kFmAt + 2, 0, 0x07, v); }
  uint8_t GetAlgorithm() const { return Field(kFmAt + 2, 0, 0x07); }

  // FM operators 1..4.
  bool SetOpSR(int n, uint8_t v) { return SetOpField(n, 0, 4, 0x0F, v); }
  uint8_t GetOpSR(int n) const { return OpField(n, 0, 4, 0x0F); }
  bool SetOpXOF(int n, uint8_t v) { return SetOpField(n, 0, 3, 0x01, v); }
  uint8_t GetOpXOF(int n) const { return OpField(n, 0, 3, 0x01); }
  bool SetOpERB(int n, uint8_t v) { return SetOpField(n, 0, 2, 0x01, v); }
  uint8_t GetOpERB(int n) const { return OpField(n, 0, 2, 0x01); }
  bool SetOpSUS(int n, uint8_t v) { return SetOpField(n, 0, 1, 0x01, v); }
  uint8_t GetOpSUS(int n) const { return OpField(n, 0, 1, 0x01); }
  bool SetOpKSR(int n, uint8_t v) { return SetOpField(n, 0, 0, 0x01, v); }
  uint8_t GetOpKSR(int n) const { return OpField(n, 0, 0, 0x01); }
  bool SetOpRR(int n, uint8_t v) { return SetOpField(n, 1, 4, 0x0F, v); }
  uint8_t GetOpRR(int n) const { return OpField(n, 1, 4, 0x0F); }
  bool SetOpDR(int n, uint8_t v) { return SetOpField(n, 1, 0, 0x0F, v); }
  uint8_t GetOpDR(int n) const { return OpField(n, 1, 0, 0x0F); }
  bool SetOpAR(int n, uint8_t v) { return SetOpField(n, 2, 4, 0x0F, v); }
  uint8_t GetOpAR(int n) const { return OpField(n, 2, 4, 0x0F); }
  bool SetOpSL(int n, uint8_t v) { return SetOpField(n, 2, 0, 0x0F, v); }
  uint8_t GetOpSL(int n) const { return OpField(n, 2, 0, 0x0F); }
  bool SetOpTL(int n, uint8_t v) { return SetOpField(n, 3, 2, 0x3F, v); }
  uint8_t GetOpTL(int n) const { return OpField(n, 3, 2, 0x3F); }
  bool SetOpKSL(int n, uint8_t v) { return SetOpField(n, 3, 0, 0x03, v); }
  uint8_t GetOpKSL(int n) const { return OpField(n, 3, 0, 0x03); }
  bool SetOpDAM(int n, uint8_t v) { return SetOpField(n, 4, 5, 0x03, v); }
  uint8_t GetOpDAM(int n) const { return OpField(n, 4, 5, 0x03); }
  bool SetOpEAM(int n, uint8_t v) { return SetOpField(n, 4, 4, 0x01, v); }
  uint8_t GetOpEAM(int n) const { return OpField(n, 4, 4, 0x01); }
  bool SetOpDVB(int n, uint8_t v) { return SetOpField(n, 4, 1, 0x03, v); }
  uint8_t GetOpDVB(int n) const { return OpField(n, 4, 1, 0x03); }
  bool SetOpEVB(int n, uint8_t v) { return SetOpField(n, 4, 0, 0x01, v); }
  uint8_t GetOpEVB(int n) const { return OpField(n, 4, 0, 0x01); }
  bool SetOpMULTI(int n, uint8_t v) { return SetOpField(n, 5, 4, 0x0F, v); }
  uint8_t GetOpMULTI(int n) const { return OpField(n, 5, 4, 0x0F); }
  bool SetOpDT(int n, uint8_t v) { return SetOpField(n, 5, 0, 0x07, v); }
  uint8_t GetOpDT(int n) const { return OpField(n, 5, 0, 0x07); }
  bool SetOpWS(int n, uint8_t v) { return SetOpField(n, 6, 3, 0x1F, v); }
  uint8_t GetOpWS(int n) const { return OpField(n, 6, 3, 0x1F); }
  bool SetOpFB(int n, uint8_t v) { return SetOpField(n, 6, 0, 0x07, v); }
  uint8_t GetOpFB(int n) const { return OpField(n, 6, 0, 0x07); }
  /// 0, 7, 14 or 21 for operators 1..4 (offset in the operator area); -1 for another n.
  static int GetOperatorOffset(int n);
  /// Operator n's 7 bytes, or null for another n.
  const uint8_t* GetOperatorBytes(int n) const;
  uint8_t* GetOperatorBytes(int n);
  /// Copies 7 bytes into operator n; operators 2 and 4 then get FB 0.
  bool SetOperatorBytes(int n, const uint8_t* bytes);

  // PCM voice.
  bool SetPcmFs(uint16_t v) { return PutBE16(kPcmAt, v); }
  uint16_t GetPcmFs() const { return BE16(kPcmAt); }
  bool SetPcmPanpot(uint8_t v) { return SetField(kPcmAt + 2, 3, 0x1F, v); }
  uint8_t GetPcmPanpot() const { return Field(kPcmAt + 2, 3, 0x1F); }
  bool SetPcmPE(uint8_t v) { return SetField(kPcmAt + 2, 0, 0x01, v); }
  uint8_t GetPcmPE() const { return Field(kPcmAt + 2, 0, 0x01); }
  bool SetPcmLFO(uint8_t v) { return SetField(kPcmAt + 3, 6, 0x03, v); }
  uint8_t GetPcmLFO() const { return Field(kPcmAt + 3, 6, 0x03); }
  bool SetPcmWaveFormat(uint8_t v) { return SetField(kPcmAt + 3, 0, 0x03, v); }
  uint8_t GetPcmWaveFormat() const { return Field(kPcmAt + 3, 0, 0x03); }
  bool SetPcmSR(uint8_t v) { return SetField(kPcmAt + 4, 4, 0x0F, v); }
  uint8_t GetPcmByte4High() const { return Field(kPcmAt + 4, 4, 0x0F); }
  bool SetPcmXOF(uint8_t v) { return SetField(kPcmAt + 4, 3, 0x01, v); }
  uint8_t GetPcmByte4Bit3() const { return Field(kPcmAt + 4, 3, 0x01); }
  bool SetPcmERB(uint8_t v) { return SetField(kPcmAt + 4, 2, 0x01, v); }
  uint8_t GetPcmERB() const { return Field(kPcmAt + 4, 2, 0x01); }
  bool SetPcmSUS(uint8_t v) { return SetField(kPcmAt + 4, 1, 0x01, v); }
  uint8_t GetPcmSUS() const { return Field(kPcmAt + 4, 1, 0x01); }
  /// KSR is always 0, whatever the value.
  bool SetPcmKSR(uint8_t) { return SetField(kPcmAt + 4, 0, 0x01, 0); }
  uint8_t GetPcmKSR() const { return Field(kPcmAt + 4, 0, 0x01); }
  bool SetPcmRR(uint8_t v) { return SetField(kPcmAt + 5, 4, 0x0F, v); }
  uint8_t GetPcmByte5High() const { return Field(kPcmAt + 5, 4, 0x0F); }
  bool SetPcmDR(uint8_t v) { return SetField(kPcmAt + 5, 0, 0x0F, v); }
  uint8_t GetPcmByte5Low() const { return Field(kPcmAt + 5, 0, 0x0F); }
  bool SetPcmAR(uint8_t v) { return SetField(kPcmAt + 6, 4, 0x0F, v); }
  uint8_t GetPcmAR() const { return Field(kPcmAt + 6, 4, 0x0F); }
  bool SetPcmSL(uint8_t v) { return SetField(kPcmAt + 6, 0, 0x0F, v); }
  uint8_t GetPcmByte6Low() const { return Field(kPcmAt + 6, 0, 0x0F); }
  bool SetPcmTL(uint8_t v) { return SetField(kPcmAt + 7, 2, 0x3F, v); }
  uint8_t GetPcmTL() const { return Field(kPcmAt + 7, 2, 0x3F); }
  /// KSL is always 0, whatever the value.
  bool SetPcmKSL(uint8_t) { return SetField(kPcmAt + 7, 0, 0x03, 0); }
  uint8_t GetPcmKSL() const { return Field(kPcmAt + 7, 0, 0x03); }
  bool SetPcmDAM(uint8_t v) { return SetField(kPcmAt + 8, 5, 0x03, v); }
  uint8_t GetPcmDAM() const { return Field(kPcmAt + 8, 5, 0x03); }
  bool SetPcmEAM(uint8_t v) { return SetField(kPcmAt + 8, 4, 0x01, v); }
  uint8_t GetPcmEAM() const { return Field(kPcmAt + 8, 4, 0x01); }
  bool SetPcmDVB(uint8_t v) { return SetField(kPcmAt + 8, 1, 0x03, v); }
  uint8_t GetPcmDVB() const { return Field(kPcmAt + 8, 1, 0x03); }
  bool SetPcmEVB(uint8_t v) { return SetField(kPcmAt + 8, 0, 0x01, v); }
  uint8_t GetPcmEVB() const { return Field(kPcmAt + 8, 0, 0x01); }
  bool SetPcmStartOffset(uint16_t v) { return PutBE16(kPcmAt + 9, v); }
  uint16_t GetPcmStartOffset() const { return BE16(kPcmAt + 9); }
  bool SetPcmLoopPoint(uint16_t v) { return PutBE16(kPcmAt + 11, v); }
  uint16_t GetPcmLoopPoint() const { return BE16(kPcmAt + 11); }
  bool SetPcmEndPoint(uint16_t v) { return PutBE16(kPcmAt + 13, v); }
  uint16_t GetPcmEndPoint() const { return BE16(kPcmAt + 13); }
  bool SetWaveId(uint8_t v) { return SetField(kPcmAt + 15, 0, 0x7F, v); }
  uint8_t GetWaveId() const { return Field(kPcmAt + 15, 0, 0x7F); }
  bool SetRM(uint8_t v) { return SetField(kPcmAt + 15, 7, 0x01, v); }
  uint8_t GetRM() const { return Field(kPcmAt + 15, 7, 0x01); }

  // Extension block: A1-A5 (13 bits), B1-B4, C1-C4, D1-D4 (10 bits), E1, E2, X.
  bool SetExtValueA(int k, uint16_t v);
  uint16_t GetExtValueA(int k) const;
  bool SetExtLevelB(int k, uint8_t v);
  uint8_t GetExtLevelB(int k) const;
  bool SetExtSelectorC(int k, uint8_t v);
  uint8_t GetExtSelectorC(int k) const;
  bool SetExtValueD(int k, uint16_t v);
  uint16_t GetExtValueD(int k) const;
  bool SetExtFlagE1(uint8_t v) { return SetField(kExtAt + 25, 6, 0x01, v); }
  uint8_t GetExtFlagE1() const { return Field(kExtAt + 25, 6, 0x01); }
  bool SetExtFlagE2(uint8_t v) { return SetField(kExtAt + 26, 0, 0x01, v); }
  uint8_t GetExtFlagE2() const { return Field(kExtAt + 26, 0, 0x01); }
  uint8_t GetExtSwitchX() const { return Field(kExtAt, 1, 0x01); }

  // Whole blocks.
  bool SetHeader(const uint8_t* bytes);
  const uint8_t* GetHeader() const { return m_bytes + kHeaderAt; }
  static uint32_t GetHeaderSize() { return kHeaderSize; }
  /// Copies the 31 bytes, then forces BO to 1.
  bool SetFmVoice(const uint8_t* bytes);
  const uint8_t* GetFmVoice() const { return m_bytes + kFmAt; }
  uint8_t* GetFmVoice() { return m_bytes + kFmAt; }
  static uint32_t GetFmVoiceSize() { return kFmSize; }
  /// 17 for a two-operator voice, 31 for a four-operator voice.
  uint32_t GetFmVoiceLength() const { return GetOperatorCount() == 4 ? kFmSize : 17; }
  int GetOperatorCount() const { return GetAlgorithm() >= 2 ? 4 : 2; }
  /// Copies the 16 bytes, then forces KSR and KSL to 0.
  bool SetPcmVoice(const uint8_t* bytes);
  /// The earlier 14-byte form: no start offset (it becomes 0).
  bool SetPcmVoiceOld(const uint8_t* bytes);
  const uint8_t* GetPcmVoice() const { return m_bytes + kPcmAt; }
  uint8_t* GetPcmVoice() { return m_bytes + kPcmAt; }
  static uint32_t GetPcmVoiceSize() { return kPcmSize; }
  static uint32_t GetPcmVoiceOldSize() { return kPcmOldSize; }
  /// Copies the 27 bytes; with the extension flag set, A1-A5 are clamped to 8..8184.
  bool SetExtBlock(const uint8_t* bytes);
  const uint8_t* GetExtBlock() const { return m_bytes + kExtAt; }
  static uint32_t GetExtBlockSize() { return kExtSize; }
  /// The block setters for bytes read from a file: false (item unchanged) when fewer than
  /// the block's size are available.
  bool SetHeader(const uint8_t* bytes, uint32_t available);
  bool SetFmVoice(const uint8_t* bytes, uint32_t available);
  bool SetPcmVoice(const uint8_t* bytes, uint32_t available);
  bool SetPcmVoiceOld(const uint8_t* bytes, uint32_t available);
  bool SetExtBlock(const uint8_t* bytes, uint32_t available);

  // Wave data: a 20-byte header (id, BE16 length = 17 + samples, format, name) and samples.
  /// Copies a wave block of which `available` bytes can be read; null frees the wave data.
  /// Refuses (false, item unchanged) a block shorter than its header or whose length field
  /// claims more samples than are available. A block without samples leaves no wave data.
  bool SetWaveData(const uint8_t* block, uint32_t available);
  /// Reads an earlier wave record: id, BE16 length of the whole record, 16 name bytes, samples.
  /// Keeps every sample (format 0) and stores the record's size in *recordSize. Refuses (false,
  /// item unchanged) a record shorter than its header or than its length field.
  bool SetWaveDataOld(const uint8_t* record, uint32_t available, uint32_t* recordSize = nullptr);
  const uint8_t* GetWaveData() const { return m_wave.get(); }
  uint32_t GetWaveDataSize() const { return m_waveSize; }
  bool SetWaveHeaderId(uint8_t v);
  uint8_t GetWaveHeaderId() const { return m_wave ? (m_wave[0] & 0x7F) : 0; }
  bool SetWaveLength(uint16_t v);
  uint16_t GetWaveLength() const;
  /// The length field minus 17 (0 when 17 or less), never more than the bytes held.
  uint32_t GetWaveSampleSize() const;
  bool SetWaveHeaderFlags(uint8_t v);
  uint8_t GetWaveHeaderFlags() const { return m_wave ? m_wave[3] : 0; }
  /// Zeroes the 16 wave-name bytes and copies at most 16 bytes of text (whole characters).
  bool SetWaveName(const char* text);
  /// The wave name as a zero-terminated text, or null without wave data.
  const char* GetWaveHeader() const;
  /// Stores n sample bytes (cut to 65518) behind the header, setting the length to n + 17.
  bool SetWaveSamples(const uint8_t* bytes, uint32_t n);
  const uint8_t* GetWaveSamples() const { return m_wave ? m_wave.get() + kWaveHeaderSize : nullptr; }

  // Comparisons and classification.
  bool IsSameHeader(const CVoiceItem& other) const;
  bool IsSame(const CVoiceItem& other) const;
  bool IsSameData(const CVoiceItem& other) const;
  bool IsDefault() const;
  bool IsDefaultFmVoice() const;
  bool IsFixedBank() const;
  bool IsUserEditable() const;
  bool IsDrum() const;

 private:
  static constexpr uint32_t kHeaderAt = 0;
  static constexpr uint32_t kIdAt = 0;
  static constexpr uint32_t kKindAt = 2;
  static constexpr uint32_t kAddrAt = 3;
  static constexpr uint32_t kFlagsAt = 7;
  static constexpr uint32_t kNameAt = 8;
  static constexpr uint32_t kFmAt = kHeaderAt + kHeaderSize;
  static constexpr uint32_t kOperatorsAt = kFmAt + 3;
  static constexpr uint32_t kPcmAt = kFmAt + kFmSize;
  static constexpr uint32_t kExtAt = kPcmAt + kPcmSize;
  static constexpr uint32_t kBlockBytes = kExtAt + kExtSize;

  uint8_t Field(uint32_t at, int shift, uint8_t mask) const { return (m_bytes[at] >> shift) & mask; }
  bool SetField(uint32_t at, int shift, uint8_t mask, uint8_t v) {
    m_bytes[at] = static_cast<uint8_t>((m_bytes[at] & ~(mask << shift)) | ((v & mask) << shift));
    return true;
  }
  bool Put(uint32_t at, uint8_t v) {
    m_bytes[at] = v;
    return true;
  }
  uint16_t BE16(uint32_t at) const { return static_cast<uint16_t>((m_bytes[at] << 8) | m_bytes[at + 1]); }
  bool PutBE16(uint32_t at, uint16_t v) {
    m_bytes[at] = static_cast<uint8_t>(v >> 8);
    m_bytes[at + 1] = static_cast<uint8_t>(v & 0xFF);
    return true;
  }
  uint8_t OpField(int n, int byte, int shift, uint8_t mask) const;
  bool SetOpField(int n, int byte, int shift, uint8_t mask, uint8_t v);
  /// Comparison of the PCM blocks and the waves that IsSame and IsSameData share.
  bool IsSamePcmBlock(const CVoiceItem& other) const;
  void FreeWave();
  /// Replaces the wave data by a copy of a whole block (throws -108 when memory runs out).
  void CopyWaveBlock(const uint8_t* block, uint32_t size);
  /// Makes sure a wave block of at least the header exists (zero-filled when new).
  void EnsureWaveHeader();
  /// Zeroes a 16-byte name field and copies at most 16 bytes of text, never splitting a
  /// double-byte character.
  static void CopyName(uint8_t* field, const char* text);

  uint8_t m_bytes[kBlockBytes] = {};
  std::unique_ptr<uint8_t[]> m_wave;
  uint32_t m_waveSize = 0;
  mutable char m_nameCopy[kNameSize + 1] = {};
  mutable char m_waveNameCopy[kNameSize + 1] = {};
};

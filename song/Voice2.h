// The 42-byte generation-2 voice record: a name and a 26-byte parameter block.
#pragma once

#include <cstdint>

class CVoice2 {
 public:
  static constexpr int kSize = 42;
  static constexpr int kNameSize = 16;
  static constexpr int kParamsOffset = 16;
  static constexpr int kParamsSize = 26;

  CVoice2() { Clear(); }
  CVoice2(const CVoice2& other) { *this = other; }
  /// Copies name and parameter block.
  CVoice2& operator=(const CVoice2& other);

  /// Zeroes all 42 bytes.
  void Clear();

  void SetName(const uint8_t* name16);
  /// Sets the name from a text; at most 16 characters are kept.
  void SetNameText(const char* text);
  const uint8_t* GetName() const { return m_bytes; }
  void SetParams(const uint8_t* params26);
  const uint8_t* GetParams() const { return m_bytes + kParamsOffset; }
  const uint8_t* GetBytes() const { return m_bytes; }

  int GetVoiceNo() const { return m_bytes[16] & 0x0F; }
  bool SetVoiceNo(int v);
  int GetBank() const { return m_bytes[17]; }
  bool SetBank(int v);
  int GetProgram() const { return m_bytes[18] & 0x7F; }
  bool SetProgram(int v);
  int GetLFO() const { return Field(19, 6, 2); }
  bool SetLFO(int v) { return SetField(19, 6, 2, v); }
  int GetFB() const { return Field(19, 3, 3); }
  bool SetFB(int v) { return SetField(19, 3, 3, v); }
  int GetAlgorithm() const { return Field(19, 0, 3); }
  bool SetAlgorithm(int v) { return SetField(19, 0, 3, v); }
  int GetBO() const { return Field(20, 0, 2); }
  bool SetBO(int v) { return SetField(20, 0, 2, v); }
  int GetDrumKey() const { return m_bytes[41]; }
  bool SetDrumKey(int v);

  /// Operator n is 1..4.
  static int GetOperatorOffset(int n) { return 5 * (n - 1); }
  int GetOpMULTI(int n) const { return OpField(n, 0, 4, 4); }
  bool SetOpMULTI(int n, int v) { return SetOpField(n, 0, 4, 4, v); }
  int GetOpVIB(int n) const { return OpField(n, 0, 3, 1); }
  bool SetOpVIB(int n, int v) { return SetOpField(n, 0, 3, 1, v); }
  int GetOpEGT(int n) const { return OpField(n, 0, 2, 1); }
  bool SetOpEGT(int n, int v) { return SetOpField(n, 0, 2, 1, v); }
  int GetOpSUS(int n) const { return OpField(n, 0, 1, 1); }
  bool SetOpSUS(int n, int v) { return SetOpField(n, 0, 1, 1, v); }
  int GetOpKSR(int n) const { return OpField(n, 0, 0, 1); }
  bool SetOpKSR(int n, int v) { return SetOpField(n, 0, 0, 1, v); }
  int GetOpRR(int n) const { return OpField(n, 1, 4, 4); }
  bool SetOpRR(int n, int v) { return SetOpField(n, 1, 4, 4, v); }
  int GetOpDR(int n) const { return OpField(n, 1, 0, 4); }
  bool SetOpDR(int n, int v) { return SetOpField(n, 1, 0, 4, v); }
  int GetOpAR(int n) const { return OpField(n, 2, 4, 4); }
  bool SetOpAR(int n, int v) { return SetOpField(n, 2, 4, 4, v); }
  int GetOpSL(int n) const { return OpField(n, 2, 0, 4); }
  bool SetOpSL(int n, int v) { return SetOpField(n, 2, 0, 4, v); }
  int GetOpTL(int n) const { return OpField(n, 3, 2, 6); }
  bool SetOpTL(int n, int v) { return SetOpField(n, 3, 2, 6, v); }
  int GetOpKSL(int n) const { return OpField(n, 3, 0, 2); }
  bool SetOpKSL(int n, int v) { return SetOpField(n, 3, 0, 2, v); }
  int GetOpDVB(int n) const { return OpField(n, 4, 6, 2); }
  bool SetOpDVB(int n, int v) { return SetOpField(n, 4, 6, 2, v); }
  int GetOpDAM(int n) const { return OpField(n, 4, 4, 2); }
  bool SetOpDAM(int n, int v) { return SetOpField(n, 4, 4, 2, v); }
  int GetOpAM(int n) const { return OpField(n, 4, 3, 1); }
  bool SetOpAM(int n, int v) { return SetOpField(n, 4, 3, 1, v); }
  int GetOpWS(int n) const { return OpField(n, 4, 0, 3); }
  bool SetOpWS(int n, int v) { return SetOpField(n, 4, 0, 3, v); }

  /// 4 when ALG bit 2 is set, else 2.
  int GetOperatorCount() const { return (GetAlgorithm() & 4) ? 4 : 2; }
  /// 2 clears ALG bit 2, 4 sets it; other counts change nothing.
  bool SetOperatorCount(int n);
  /// Bytes of the voice parameters in VELK voice messages: 15 or 25.
  int GetVoiceDataLength() const { return GetOperatorCount() == 4 ? 25 : 15; }
  bool IsDrum() const { return GetBank() >= 128; }
  /// LFO, FB, ALG, BO and the operator fields up to the other voice's operator count.
  bool IsSameParams(const CVoice2& other) const;
  /// Parameters equal to a cleared record's, whatever the name.
  bool IsDefault() const;

 private:
  static constexpr int kOpBase = 21;

  int Field(int byte, int shift, int width) const {
    return (m_bytes[byte] >> shift) & ((1 << width) - 1);
  }
  bool SetField(int byte, int shift, int width, int v);
  int OpField(int n, int byte, int shift, int width) const {
    return Field(kOpBase + GetOperatorOffset(n) + byte, shift, width);
  }
  bool SetOpField(int n, int byte, int shift, int width, int v) {
    return SetField(kOpBase + GetOperatorOffset(n) + byte, shift, width, v);
  }

  uint8_t m_bytes[kSize];
};

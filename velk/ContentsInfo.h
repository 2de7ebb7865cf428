// The song's contents information: class, type, code types, copy status and the tagged texts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "song/SongTextInfo.h"
#include "song/SmfDialectText.h"

/// Readings of a contents type byte: below 0x30 generation (type & 0x0F) + 1, group type & 0xF0
/// and index 0; from 0x30 on generation 3, group (type & 0xF0) - 0x30 and index type & 0x0F.
int ContentsGeneration(uint8_t type);
uint8_t ContentsTypeGroup(uint8_t type);
uint8_t ContentsTypeIndex(uint8_t type);

/// Text code types: how the texts are to be coded when they are fitted and carried.
/// (kTextCodeUtf16 0x20 and kTextCodeUtf8 0x23 are the dialect's own, shared with it.)
inline constexpr uint8_t kTextCodeShiftJis = 0x00;
inline constexpr uint8_t kTextCodeNone = 0xFF;

class CContentsInfo {
 public:
  /// Longest text a field holds, in bytes.
  static constexpr size_t kMaxText = 255;
  /// Texts VN, CN, CA, CR, CD, UD, GR, MI and the last text (setters 1 to 9).
  static constexpr int kTextCount = 9;
  static constexpr int kOptionTextCount = 3;

  /// Empty texts, then Reset(0).
  CContentsInfo() { Reset(0); }
  /// Takes every field as it stands (no 255-byte cut).
  CContentsInfo(const CContentsInfo& other) = default;
  CContentsInfo& operator=(const CContentsInfo& other) = default;
  virtual ~CContentsInfo() = default;

  /// The defaults of a contents kind (3 and 5 generation 3, 4 and 6 generation 2).
  void Reset(int kind);
  /// Reset(kind), then every field of other through the setters (texts cut to 255 bytes). 1.
  int CopyFrom(const CContentsInfo& other, int kind);

  const CSongTextInfo& GetSongTextInfo() const { return m_songText; }
  CSongTextInfo& GetSongTextInfo() { return m_songText; }
  void SetSongTextInfo(const CSongTextInfo& info) { m_songText = info; }

  uint8_t GetContentsClass() const { return m_contentsClass; }
  void SetContentsClass(uint8_t v) { m_contentsClass = v; }
  uint8_t GetContentsType() const { return m_contentsType; }
  void SetContentsTypeByte(uint8_t v) { m_contentsType = v; }
  /// Kind 1 or 2: (kind - 1) | a; kind 3: (a + 0x30) | b; kind 5: b 2, 3, 4 give 0x34, 0x36,
  /// 0x38; anything else leaves the byte.
  void SetContentsType(int kind, uint8_t a, uint8_t b);
  int GetGeneration() const { return ContentsGeneration(m_contentsType); }
  uint8_t GetTypeGroup() const { return ContentsTypeGroup(m_contentsType); }
  uint8_t GetTypeIndex() const { return ContentsTypeIndex(m_contentsType); }
  uint8_t GetCodeType() const { return m_codeType; }
  void SetCodeType(uint8_t v) { m_codeType = v; }
  uint8_t GetTextCodeType() const { return m_textCodeType; }
  void SetTextCodeType(uint8_t v) { m_textCodeType = v; }

  /// Text k (1..9); an empty text for another k.
  const std::string& GetText(int k) const;
  /// Stores at most 255 bytes; false for another k.
  bool SetText(int k, std::string_view text);
  const std::string& GetText1() const { return GetText(1); }
  const std::string& GetText2() const { return GetText(2); }
  const std::string& GetText3() const { return GetText(3); }
  const std::string& GetText4() const { return GetText(4); }
  const std::string& GetText5() const { return GetText(5); }
  const std::string& GetText6() const { return GetText(6); }
  const std::string& GetText7() const { return GetText(7); }
  const std::string& GetText8() const { return GetText(8); }
  const std::string& GetText9() const { return GetText(9); }
  void SetText1(std::string_view t) { SetText(1, t); }
  void SetText2(std::string_view t) { SetText(2, t); }
  void SetText3(std::string_view t) { SetText(3, t); }
  void SetText4(std::string_view t) { SetText(4, t); }
  void SetText5(std::string_view t) { SetText(5, t); }
  void SetText6(std::string_view t) { SetText(6, t); }
  void SetText7(std::string_view t) { SetText(7, t); }
  void SetText8(std::string_view t) { SetText(8, t); }
  void SetText9(std::string_view t) { SetText(9, t); }

  /// Option texts A0, A1, A2 (i = 0..2); an empty text for another i.
  const std::string& GetOptionText(int i) const;
  bool SetOptionText(int i, std::string_view text);

  /// Copy status.
  uint8_t GetOptionByte1() const { return m_copyStatus; }
  void SetOptionByte1(uint8_t v) { m_copyStatus = v; }
  /// Copy count.
  uint8_t GetOptionByte2() const { return m_copyCount; }
  void SetOptionByte2(uint8_t v) { m_copyCount = v; }
  /// Edit status (item ES).
  uint8_t GetOptionByte3() const { return m_editStatus; }
  void SetOptionByte3(uint8_t v) { m_editStatus = v; }
  uint8_t GetOptionByte4() const { return m_optionByte4; }
  void SetOptionByte4(uint8_t v) { m_optionByte4 = v; }
  /// The generation-2 byte (item K2).
  uint8_t GetStatusByte() const { return m_generation2Byte; }
  uint8_t GetOptionByte5() const { return m_generation2Byte; }
  void SetOptionByte5(uint8_t v) { m_generation2Byte = v; }

  uint8_t GetFlagByteA() const { return m_flagA; }
  void SetFlagByteA(uint8_t v) { m_flagA = v; }
  uint8_t GetFlagByteB() const { return m_flagB; }
  void SetFlagByteB(uint8_t v) { m_flagB = v; }
  /// Stored negated: the default reads as false.
  bool GetFlagC() const { return m_flagCStored == 0; }
  void SetFlagC(bool v) { m_flagCStored = v ? 0 : 1; }
  uint8_t GetByteD() const { return m_byteD; }
  void SetByteD(uint8_t v) { m_byteD = v; }
  const uint8_t* GetFourChars() const { return m_fourChars; }
  void SetFourChars(const uint8_t* bytes);
  const uint8_t* GetEightBytes() const { return m_eightBytes; }
  void SetEightBytes(const uint8_t* bytes);

  /// Fits text into limit bytes in the coding of code (0x00 Shift-JIS, 0x23 UTF-8, 0x20
  /// UTF-16), never splitting a character. Returns the bytes removed or blanked, 0 when it
  /// already fits, -1 (text unchanged) for an unknown code.
  static int ConvertText(int code, std::string& text, size_t limit);
  /// ConvertText with the text code type and 255 over each text whose bit is set: bits 0-4 ST,
  /// SW, WW, AW, AN; 5-10 VN, CN, CA, CR, CD, UD; 16 GR; 17 MI. Returns 1.
  int FitTexts(uint32_t mask);

 private:
  CSongTextInfo m_songText;
  uint8_t m_contentsClass = 0;
  uint8_t m_contentsType = 0;
  uint8_t m_codeType = 0;
  uint8_t m_textCodeType = kTextCodeNone;
  std::string m_texts[kTextCount];
  uint8_t m_copyStatus = 0;
  uint8_t m_copyCount = 0;
  uint8_t m_editStatus = 0;
  uint8_t m_optionByte4 = 0xFF;
  uint8_t m_flagA = 1;
  uint8_t m_flagB = 1;
  uint8_t m_flagCStored = 1;
  uint8_t m_byteD = 0;
  uint8_t m_fourChars[4] = {'0', '1', '0', '0'};
  uint8_t m_eightBytes[8] = {};
  uint8_t m_generation2Byte = 0;
  std::string m_optionTexts[kOptionTextCount];
};

// The song text record: a two-letter language code and six texts, read from "QXln" text events.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

/// Thrown (as an int) for a text that is not a "QXln" text.
inline constexpr int kErrMalformedText = 999;

class CSongTextInfo {
 public:
  static constexpr int kTextCount = 6;
  static constexpr size_t kTextSize = 256;

  /// Language "JP", six empty texts.
  CSongTextInfo() { Reset(); }
  /// From the bytes of a "QXln" text event; throws 999 when they do not begin with "QXln".
  CSongTextInfo(const uint8_t* text, size_t n);
  CSongTextInfo(const CSongTextInfo& other) = default;
  CSongTextInfo& operator=(const CSongTextInfo& other) = default;
  virtual ~CSongTextInfo() = default;

  void Reset();

  /// Text k (1..6) as a zero-terminated field of 256 bytes; null for another k.
  char* GetText(int k);
  const char* GetText(int k) const;
  char* GetText1() { return GetText(1); }
  char* GetText2() { return GetText(2); }
  char* GetText3() { return GetText(3); }
  char* GetText4() { return GetText(4); }
  char* GetText5() { return GetText(5); }
  char* GetText6() { return GetText(6); }
  /// Stores at most 255 bytes of text into field k (1..6); false for another k.
  bool SetText(int k, std::string_view text);

  /// Byte i (0 or 1) of the language code; 0 for another i.
  uint8_t GetLangByte(int i) const { return (i == 0 || i == 1) ? m_language[i] : 0; }
  void SetLanguage(uint8_t first, uint8_t second);

 private:
  uint8_t m_language[2] = {0, 0};
  char m_texts[kTextCount][kTextSize] = {};
};

/// True when the n bytes begin with "QXln".
bool IsQXlnText(const uint8_t* bytes, size_t n);

/// Copies the field in front of the first ':' (or the whole n bytes, or up to a NUL) into dst
/// with its NUL, at most dstSize bytes (the last one then NUL). Returns the field length + 1,
/// the source bytes it takes with its separator; 0 when n < 1.
size_t CopyTextField(const uint8_t* src, size_t n, char* dst, size_t dstSize);

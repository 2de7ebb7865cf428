// Text conversions between the narrow code page, UTF-16 (little-endian) and UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

/// Conversions of texts; all static. The buffer forms write at most outSize bytes (the
/// 512-byte work buffer by default) without a terminating zero and return the bytes written,
/// 0 when the conversion gives nothing or fails. A result longer than outSize is cut at a
/// character boundary; an input never is read past its length.
class CTextCodec {
 public:
  static constexpr uint32_t kWorkBufferSize = 512;

  virtual ~CTextCodec() = default;

  /// UTF-8 (the program's own 1-3 byte decoder) to narrow text.
  static uint32_t Utf8ToMultiByte(const uint8_t* bytes, uint32_t length, uint8_t* out,
                                  uint32_t outSize = kWorkBufferSize);
  /// Narrow text to UTF-8 (each UTF-16 unit as 1, 2 or 3 bytes).
  static uint32_t MultiByteToUtf8(const uint8_t* text, uint32_t length, uint8_t* out,
                                  uint32_t outSize = kWorkBufferSize);
  /// UTF-16LE bytes to narrow text: (length + 1) / 2 units, an odd last byte being a unit whose
  /// high byte is 0.
  static uint32_t WideToMultiByte(const uint8_t* utf16, uint32_t lengthInBytes, uint8_t* out,
                                  uint32_t outSize = kWorkBufferSize);
  /// Narrow text to UTF-16LE bytes, two per unit.
  static uint32_t MultiByteToWide(const uint8_t* text, uint32_t length, uint8_t* out,
                                  uint32_t outSize = kWorkBufferSize);

  /// Whole-text forms without a size limit; false (out cleared) when the code page is unusable.
  static bool Utf8ToNarrow(std::string_view utf8, std::string& out);
  static bool NarrowToUtf8(std::string_view narrow, std::string& out);
  static bool NarrowToUtf16(std::string_view narrow, std::u16string& out);
  static bool Utf16ToNarrow(std::u16string_view utf16, std::string& out);

  /// The decoder: below 0x80 one unit; 0xE0 and above a 3-byte form; 0xC1-0xDF a 2-byte form;
  /// 0x80-0xC0 skipped; a form cut off by the end of the input is dropped.
  static std::u16string DecodeUtf8(std::string_view utf8);
  /// The encoder: each UTF-16 unit as 1, 2 or 3 bytes.
  static std::string EncodeUtf8(std::u16string_view utf16);
};

// Text conversions between the narrow code page, UTF-16 and UTF-8.
#include "song/TextCodec.h"

#include <cstring>

#include "platform/text/CodePage.h"

namespace {

std::string_view AsText(const uint8_t* bytes, uint32_t length) {
  if (!bytes || length == 0) return {};
  return {reinterpret_cast<const char*>(bytes), length};
}

/// Copies n bytes to out and returns n, or 0 (nothing written) when n is 0.
uint32_t Emit(const void* data, size_t n, uint8_t* out) {
  if (n == 0 || !out) return 0;
  std::memcpy(out, data, n);
  return static_cast<uint32_t>(n);
}

size_t Utf8Boundary(const std::string& utf8, size_t maxBytes) {
  if (utf8.size() <= maxBytes) return utf8.size();
  size_t cut = maxBytes;
  // Back off continuation bytes so the cut falls in front of a whole character.
  while (cut > 0 && (static_cast<uint8_t>(utf8[cut]) & 0xC0) == 0x80) --cut;
  return cut;
}

size_t Utf16Boundary(const std::u16string& units, size_t maxBytes) {
  size_t n = maxBytes / 2;
  if (n >= units.size()) return units.size();
  if (n > 0 && units[n - 1] >= 0xD800 && units[n - 1] <= 0xDBFF) --n;  // keep a pair whole
  return n;
}

}  // namespace

std::u16string CTextCodec::DecodeUtf8(std::string_view utf8) {
  std::u16string out;
  size_t i = 0;
  const size_t n = utf8.size();
  while (i < n) {
    uint8_t lead = static_cast<uint8_t>(utf8[i]);
    if (lead < 0x80) {
      out.push_back(lead);
      i += 1;
    } else if (lead >= 0xE0) {
      if (i + 2 >= n) break;  // cut off by the end of the input
      auto b1 = static_cast<uint8_t>(utf8[i + 1]);
      auto b2 = static_cast<uint8_t>(utf8[i + 2]);
      out.push_back(static_cast<char16_t>(((lead & 0x0F) << 12) | ((b1 & 0x3F) << 6) | (b2 & 0x3F)));
      i += 3;
    } else if (lead >= 0xC1) {
      if (i + 1 >= n) break;
      auto b1 = static_cast<uint8_t>(utf8[i + 1]);
      out.push_back(static_cast<char16_t>(((lead & 0x1F) << 6) | (b1 & 0x3F)));
      i += 2;
    } else {
      i += 1;  // a continuation byte (or 0xC0) without its lead
    }
  }
  return out;
}

std::string CTextCodec::EncodeUtf8(std::u16string_view utf16) {
  std::string out;
  out.reserve(utf16.size() * 3);
  for (char16_t c : utf16) {
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

bool CTextCodec::Utf8ToNarrow(std::string_view utf8, std::string& out) {
  return platform::CodePage::Ansi()->FromUtf16(DecodeUtf8(utf8), out);
}

bool CTextCodec::NarrowToUtf8(std::string_view narrow, std::string& out) {
  std::u16string units;
  out.clear();
  if (!platform::CodePage::Ansi()->ToUtf16(narrow, units)) return false;
  out = EncodeUtf8(units);
  return true;
}

bool CTextCodec::NarrowToUtf16(std::string_view narrow, std::u16string& out) {
  return platform::CodePage::Ansi()->ToUtf16(narrow, out);
}

bool CTextCodec::Utf16ToNarrow(std::u16string_view utf16, std::string& out) {
  return platform::CodePage::Ansi()->FromUtf16(utf16, out);
}

uint32_t CTextCodec::Utf8ToMultiByte(const uint8_t* bytes, uint32_t length, uint8_t* out,
                                     uint32_t outSize) {
  auto page = platform::CodePage::Ansi();
  std::string narrow;
  if (!page->FromUtf16(DecodeUtf8(AsText(bytes, length)), narrow)) return 0;
  return Emit(narrow.data(), page->CharBoundary(narrow, outSize), out);
}

uint32_t CTextCodec::MultiByteToUtf8(const uint8_t* text, uint32_t length, uint8_t* out,
                                     uint32_t outSize) {
  std::string utf8;
  if (!NarrowToUtf8(AsText(text, length), utf8)) return 0;
  return Emit(utf8.data(), Utf8Boundary(utf8, outSize), out);
}

uint32_t CTextCodec::WideToMultiByte(const uint8_t* utf16, uint32_t lengthInBytes, uint8_t* out,
                                     uint32_t outSize) {
  std::u16string units;
  if (utf16) {
    // (length + 1) / 2 characters: an odd last byte is a character whose high byte reads as 0.
    units.reserve((lengthInBytes + 1) / 2);
    for (uint32_t i = 0; i < lengthInBytes; i += 2) {
      uint8_t high = i + 1 < lengthInBytes ? utf16[i + 1] : 0;
      units.push_back(static_cast<char16_t>(utf16[i] | (high << 8)));
    }
  }
  auto page = platform::CodePage::Ansi();
  std::string narrow;
  if (!page->FromUtf16(units, narrow)) return 0;
  return Emit(narrow.data(), page->CharBoundary(narrow, outSize), out);
}

uint32_t CTextCodec::MultiByteToWide(const uint8_t* text, uint32_t length, uint8_t* out,
                                     uint32_t outSize) {
  std::u16string units;
  if (!NarrowToUtf16(AsText(text, length), units)) return 0;
  size_t n = Utf16Boundary(units, outSize);
  if (n == 0 || !out) return 0;
  for (size_t i = 0; i < n; ++i) {
    out[2 * i] = static_cast<uint8_t>(units[i] & 0xFF);
    out[2 * i + 1] = static_cast<uint8_t>(units[i] >> 8);
  }
  return static_cast<uint32_t>(n * 2);
}

// The song text record and its "QXln" form.
#include "song/SongTextInfo.h"

#include <cstring>

namespace {
constexpr size_t kLanguageAt = 5;     // "QXln:" then the optional code
constexpr size_t kTextsWithCode = 8;  // "QXln:JP:"
constexpr size_t kTextsWithout = 6;   // "QXln::"
}  // namespace

void CSongTextInfo::Reset() {
  m_language[0] = 'J';
  m_language[1] = 'P';
  std::memset(m_texts, 0, sizeof m_texts);
}

CSongTextInfo::CSongTextInfo(const uint8_t* text, size_t n) {
  Reset();
  if (!IsQXlnText(text, n)) throw kErrMalformedText;
  size_t pos = kTextsWithout;
  // A text too short to hold the language field has no language code.
  if (n >= kTextsWithCode && text[kLanguageAt] != ':' && text[kLanguageAt + 2] == ':') {
    SetLanguage(text[kLanguageAt], text[kLanguageAt + 1]);
    pos = kTextsWithCode;
  } else {
    SetLanguage(0, 0);
  }
  for (int k = 1; k <= kTextCount && pos < n; ++k)
    pos += CopyTextField(text + pos, n - pos, GetText(k), kTextSize);
}

char* CSongTextInfo::GetText(int k) {
  return (k >= 1 && k <= kTextCount) ? m_texts[k - 1] : nullptr;
}

const char* CSongTextInfo::GetText(int k) const {
  return (k >= 1 && k <= kTextCount) ? m_texts[k - 1] : nullptr;
}

bool CSongTextInfo::SetText(int k, std::string_view text) {
  char* field = GetText(k);
  if (!field) return false;
  size_t n = text.size() < kTextSize - 1 ? text.size() : kTextSize - 1;
  std::memset(field, 0, kTextSize);
  if (n > 0) std::memcpy(field, text.data(), n);
  return true;
}

void CSongTextInfo::SetLanguage(uint8_t first, uint8_t second) {
  m_language[0] = first;
  m_language[1] = second;
}

bool IsQXlnText(const uint8_t* bytes, size_t n) {
  return bytes && n >= 4 && std::memcmp(bytes, "QXln", 4) == 0;
}

size_t CopyTextField(const uint8_t* src, size_t n, char* dst, size_t dstSize) {
  if (!src || n < 1) return 0;
  size_t len = 0;
  while (len < n && src[len] != ':' && src[len] != 0) ++len;
  if (dst && dstSize > 0) {
    size_t copy = len < dstSize - 1 ? len : dstSize - 1;
    std::memcpy(dst, src, copy);
    dst[copy] = 0;
  }
  return len + 1;
}

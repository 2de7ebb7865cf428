// Narrow code page conversions over glibc iconv.
#include "platform/text/CodePage.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <vector>

namespace platform {
namespace {

constexpr const char* kUtf16 = "UTF-16LE";

/// An iconv descriptor closed with its owner.
class Converter {
 public:
  Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
  ~Converter() {
    if (Ok()) iconv_close(m_cd);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool Ok() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

  /// Converts all of in. An unconvertible unit of `step` bytes becomes `replacement`;
  /// an incomplete sequence at the end is dropped.
  std::vector<char> Run(const char* in, size_t n, size_t step, std::string_view replacement) {
    std::vector<char> out(n * 4 + 16);
    size_t used = 0;
    char* src = const_cast<char*>(in);
    size_t left = n;
    iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
    while (left > 0) {
      char* dst = out.data() + used;
      size_t room = out.size() - used;
      size_t r = iconv(m_cd, &src, &left, &dst, &room);
      used = out.size() - room;
      if (r != static_cast<size_t>(-1)) break;
      if (errno == E2BIG) {
        out.resize(out.size() * 2);
      } else if (errno == EILSEQ) {
        size_t skip = step < left ? step : left;
        src += skip;
        left -= skip;
        if (out.size() - used < replacement.size()) out.resize(out.size() * 2 + replacement.size());
        std::copy(replacement.begin(), replacement.end(), out.begin() + static_cast<long>(used));
        used += replacement.size();
      } else {
        break;  // EINVAL: the input ends inside a character
      }
    }
    FlushState(out, used);
    out.resize(used);
    return out;
  }

  /// True when the single byte b is the start of an incomplete multi-byte sequence.
  bool IsIncomplete(uint8_t b) {
    char in = static_cast<char>(b);
    char* src = &in;
    size_t left = 1;
    char buffer[16];
    char* dst = buffer;
    size_t room = sizeof buffer;
    iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
    size_t r = iconv(m_cd, &src, &left, &dst, &room);
    return r == static_cast<size_t>(-1) && errno == EINVAL;
  }

 private:
  void FlushState(std::vector<char>& out, size_t& used) {
    char tail[16];
    char* dst = tail;
    size_t room = sizeof tail;
    iconv(m_cd, nullptr, nullptr, &dst, &room);
    size_t extra = sizeof tail - room;
    if (extra == 0) return;
    if (out.size() < used + extra) out.resize(used + extra);
    std::copy(tail, tail + extra, out.begin() + static_cast<long>(used));
    used += extra;
  }

  iconv_t m_cd;
};

}  // namespace

CodePage::CodePage(std::string name) : m_name(std::move(name)) {
  Converter probe(kUtf16, m_name.c_str());
  m_valid = probe.Ok() && Converter(m_name.c_str(), kUtf16).Ok();
  if (m_valid) BuildLeadTable();
}

void CodePage::BuildLeadTable() {
  Converter probe(kUtf16, m_name.c_str());
  for (int b = 0x80; b <= 0xFF; ++b) m_lead[b] = probe.IsIncomplete(static_cast<uint8_t>(b));
}

std::shared_ptr<const CodePage> CodePage::Ansi() {
  static std::mutex mutex;
  static std::shared_ptr<const CodePage> current;
  const char* env = std::getenv("TRILLOT_ANSI_CODEPAGE");
  std::string name = (env && *env) ? env : kDefaultName;
  std::lock_guard<std::mutex> lock(mutex);
  if (!current || current->Name() != name) current = std::make_shared<const CodePage>(name);
  return current;
}

bool CodePage::ToUtf16(std::string_view text, std::u16string& out) const {
  out.clear();
  if (!m_valid) return false;
  Converter cd(kUtf16, m_name.c_str());
  if (!cd.Ok()) return false;
  std::vector<char> bytes = cd.Run(text.data(), text.size(), 1, std::string_view("?\0", 2));
  out.reserve(bytes.size() / 2);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    auto lo = static_cast<uint8_t>(bytes[i]);
    auto hi = static_cast<uint8_t>(bytes[i + 1]);
    out.push_back(static_cast<char16_t>(lo | (hi << 8)));
  }
  return true;
}

bool CodePage::FromUtf16(std::u16string_view text, std::string& out) const {
  out.clear();
  if (!m_valid) return false;
  Converter cd(m_name.c_str(), kUtf16);
  if (!cd.Ok()) return false;
  std::vector<char> bytes;
  bytes.reserve(text.size() * 2);
  for (char16_t unit : text) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  std::vector<char> narrow = cd.Run(bytes.data(), bytes.size(), 2, "?");
  out.assign(narrow.begin(), narrow.end());
  return true;
}

size_t CodePage::CharBoundary(std::string_view text, size_t maxBytes) const {
  size_t end = maxBytes < text.size() ? maxBytes : text.size();
  size_t i = 0;
  while (i < end) {
    size_t width = IsLeadByte(static_cast<uint8_t>(text[i])) ? 2 : 1;
    if (i + width > end) break;
    i += width;
  }
  return i;
}

}  // namespace platform

// The narrow ("ANSI") code page: lead-byte test and conversions to and from UTF-16 through iconv.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace platform {

/// One narrow code page known to iconv. Conversions are lossy the way the system ones are:
/// a byte sequence or character the other side cannot hold becomes '?'.
class CodePage {
 public:
  /// The narrow code page when TRILLOT_ANSI_CODEPAGE is not set.
  static constexpr const char* kDefaultName = "CP932";

  explicit CodePage(std::string name);
  CodePage(const CodePage&) = delete;
  CodePage& operator=(const CodePage&) = delete;

  /// The program's narrow code page: TRILLOT_ANSI_CODEPAGE, else CP932. Re-read on every call,
  /// so a test may switch it; the returned object stays valid while it is held.
  static std::shared_ptr<const CodePage> Ansi();

  const std::string& Name() const { return m_name; }
  /// False when iconv does not know the name; every conversion then fails.
  bool IsValid() const { return m_valid; }

  /// True when b starts a double-byte character (a lone b is an incomplete sequence).
  bool IsLeadByte(uint8_t b) const { return m_lead[b]; }

  /// Narrow text to UTF-16 code units. False (out cleared) when the code page is unusable.
  /// A lead byte at the very end, with no byte after it, is dropped.
  bool ToUtf16(std::string_view text, std::u16string& out) const;
  /// UTF-16 code units to narrow text. False (out cleared) when the code page is unusable.
  bool FromUtf16(std::u16string_view text, std::string& out) const;

  /// Length of the longest prefix of at most maxBytes bytes that does not split a double-byte
  /// character.
  size_t CharBoundary(std::string_view text, size_t maxBytes) const;

 private:
  void BuildLeadTable();

  std::string m_name;
  bool m_valid = false;
  std::array<bool, 256> m_lead{};
};

}  // namespace platform

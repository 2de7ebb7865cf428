// Conversions between narrow text (CP932 here), UTF-8 and UTF-16, and their bounds.
#include "song/TextCodec.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

[[maybe_unused]] const bool kCodePagePinned = (setenv("TRILLOT_ANSI_CODEPAGE", "CP932", 1), true);

// "日本語テキスト" in CP932 and in UTF-8.
const std::string kNarrow = "\x93\xFA\x96\x7B\x8C\xEA\x83\x65\x83\x4C\x83\x58\x83\x67";
const std::string kUtf8 = "日本語テキスト";

std::vector<uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

/// Runs a buffer conversion into a 600-byte buffer of 0xCC and returns what was written; the
/// canary behind outSize must stay.
template <typename F>
std::string Convert(F convert, const std::vector<uint8_t>& in, uint32_t outSize = 512) {
  std::vector<uint8_t> out(600, 0xCC);
  uint32_t n = convert(in.data(), static_cast<uint32_t>(in.size()), out.data(), outSize);
  EXPECT_LE(n, outSize);
  for (size_t i = n; i < out.size(); ++i) {
    if (out[i] != 0xCC) {
      ADD_FAILURE() << "byte " << i << " written behind the result";
      break;
    }
  }
  return std::string(out.begin(), out.begin() + n);
}

TEST(TextCodec, DecodesThreeByteFormE0A480) {
  EXPECT_EQ(CTextCodec::DecodeUtf8("\xE0\xA4\x80"), std::u16string(1, char16_t(0x0900)));
  EXPECT_EQ(CTextCodec::DecodeUtf8("\xC3\xA9"), u"é");
}

TEST(TextCodec, DropsALoneContinuationByte) {
  EXPECT_EQ(CTextCodec::DecodeUtf8("a\x80" "b\xBF"), u"ab");
  EXPECT_EQ(Convert(CTextCodec::Utf8ToMultiByte, Bytes("a\x80" "b")), "ab");
}

TEST(TextCodec, TruncatedFormsNeverReadPastTheInput) {
  // Exactly sized heap copies, so the sanitizer build sees any read past the end.
  const struct {
    const char* name;
    std::string bytes;
    std::string narrow;
  } cases[] = {
      {"three-byte lead alone", "A\xE6", "A"},
      {"three-byte lead and one", "A\xE6\x97", "A"},
      {"two-byte lead alone", "A\xC3", "A"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<uint8_t> exact = Bytes(c.bytes);
    EXPECT_EQ(Convert(CTextCodec::Utf8ToMultiByte, exact), c.narrow);
  }
}

TEST(TextCodec, JapaneseRoundTripsNarrowUtf8Utf16) {
  std::string utf8 = Convert(CTextCodec::MultiByteToUtf8, Bytes(kNarrow));
  EXPECT_EQ(utf8, kUtf8);
  EXPECT_EQ(Convert(CTextCodec::Utf8ToMultiByte, Bytes(utf8)), kNarrow);

  std::string wide = Convert(CTextCodec::MultiByteToWide, Bytes(kNarrow));
  ASSERT_EQ(wide.size(), 14u);
  // 日 is U+65E5, little-endian.
  EXPECT_EQ(static_cast<uint8_t>(wide[0]), 0xE5);
  EXPECT_EQ(static_cast<uint8_t>(wide[1]), 0x65);
  EXPECT_EQ(Convert(CTextCodec::WideToMultiByte, Bytes(wide)), kNarrow);
}

TEST(TextCodec, MultiByteToUtf8GoldenBytes) {
  // "ｱ" (half-width, one CP932 byte) becomes three UTF-8 bytes; "é" is not in CP932.
  EXPECT_EQ(Convert(CTextCodec::MultiByteToUtf8, Bytes("A\xB1")), "A\xEF\xBD\xB1");
}

TEST(TextCodec, OddUtf16LengthReadsTheMissingHighByteAsZero) {
  // (length + 1) / 2 characters; the input is exactly sized, so a read past it would show.
  std::vector<uint8_t> in = {'A', 0, 'B'};
  EXPECT_EQ(Convert(CTextCodec::WideToMultiByte, in), "AB");
  std::vector<uint8_t> one = {'Z'};
  EXPECT_EQ(Convert(CTextCodec::WideToMultiByte, one), "Z");
}

TEST(TextCodec, ResultsStopAtTheBufferOnACharacterBoundary) {
  // 255 half-width katakana need 765 UTF-8 bytes: 170 whole characters fit 512.
  std::string utf8 = Convert(CTextCodec::MultiByteToUtf8, Bytes(std::string(255, '\xB1')));
  EXPECT_EQ(utf8.size(), 510u);
  // 300 kanji (600 narrow bytes) into 511: 255 whole characters.
  std::string kanji;
  for (int i = 0; i < 300; ++i) kanji += "日";
  EXPECT_EQ(Convert(CTextCodec::Utf8ToMultiByte, Bytes(kanji), 511).size(), 510u);
  // 300 narrow kanji into 511 bytes of UTF-16: 255 units.
  std::string narrow;
  for (int i = 0; i < 300; ++i) narrow += "\x93\xFA";
  EXPECT_EQ(Convert(CTextCodec::MultiByteToWide, Bytes(narrow), 511).size(), 510u);
}

TEST(TextCodec, EmptyOrFailedConversionWritesNothing) {
  EXPECT_EQ(Convert(CTextCodec::Utf8ToMultiByte, {}), "");
  EXPECT_EQ(Convert(CTextCodec::Utf8ToMultiByte, Bytes("\x80\x81")), "");
  setenv("TRILLOT_ANSI_CODEPAGE", "NO-SUCH-CODEPAGE", 1);
  std::string failed = Convert(CTextCodec::MultiByteToUtf8, Bytes("abc"));
  setenv("TRILLOT_ANSI_CODEPAGE", "CP932", 1);
  EXPECT_EQ(failed, "");
}

}  // namespace

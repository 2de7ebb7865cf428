// Texts of the song-data dialect: section marks, contents tags, text codes and "QXln".
#include "song/SmfDialectText.h"

#include <cctype>

#include "song/SmfDialect.h"
#include "song/SmfStreamReaders.h"

namespace {

std::string_view View(const uint8_t* text, uint32_t n) {
  if (!text) return {};
  return std::string_view(reinterpret_cast<const char*>(text), n);
}

// Code 1..7 of a section letter, 0 for any other byte.
uint8_t SectionCodeOfLetter(char letter) {
  size_t i = kSectionLetters.find(letter);
  return i == std::string_view::npos ? 0 : static_cast<uint8_t>(i + 1);
}

bool IsSectionCode(uint8_t code) { return code >= kCueFirstSection && code <= kCueLastSection; }

uint8_t SectionCodeAfter(std::string_view text, std::string_view prefix) {
  if (text.size() != prefix.size() + 1 || !text.starts_with(prefix)) return 0;
  return SectionCodeOfLetter(text.back());
}

}  // namespace

uint8_t CueCodeOfText(const uint8_t* text, uint32_t n) {
  std::string_view t = View(text, n);
  if (t == kCueStartText) return kCueStart;
  if (t == kCueStopText) return kCueStop;
  return SectionCodeAfter(t, kSectionStartPrefix);
}

uint8_t SectionEndCodeOfText(const uint8_t* text, uint32_t n) {
  return SectionCodeAfter(View(text, n), kSectionEndPrefix);
}

std::string CueText(uint8_t code) {
  if (code == kCueStart) return std::string(kCueStartText);
  if (code == kCueStop) return std::string(kCueStopText);
  if (!IsSectionCode(code)) return {};
  return std::string(kSectionStartPrefix) + kSectionLetters[code - 1];
}

std::string SectionEndText(uint8_t code) {
  if (!IsSectionCode(code)) return {};
  return std::string(kSectionEndPrefix) + kSectionLetters[code - 1];
}

std::vector<uint8_t> MakeCueMeta(std::string_view text) {
  std::vector<uint8_t> event = {0xFF, kMetaCuePoint};
  AppendVarLen(event, static_cast<uint32_t>(text.size()));
  event.insert(event.end(), text.begin(), text.end());
  return event;
}

uint8_t CueCodeOfSectionNumber(uint8_t k) {
  switch (k) {
    case 0: return 1;
    case 1: return 2;
    case 3: case 4: case 5: case 6: case 7: return k;
    default: return kCueNone;  // 2 and everything above 7 are no sections
  }
}

uint8_t SectionNumberOfCueCode(uint8_t code) {
  switch (code) {
    case 1: return 0;
    case 2: return 1;
    case 3: case 4: case 5: case 6: case 7: return code;
    default: return 0xFF;
  }
}

uint8_t CueCodeOfSequencerMeta(const uint8_t* data, uint32_t n) {
  if (!data || n != 4) return kCueNone;
  if (data[0] != kDialectMakerId || data[1] != kSequencerSectionId ||
      data[2] != kSequencerSectionKind) {
    return kCueNone;
  }
  return CueCodeOfSectionNumber(data[3]);
}

int ContentsTagIndex(char first, char second) {
  for (int i = 0; i < kContentsTagCount; ++i) {
    if (kContentsTagTable[2 * i] == first && kContentsTagTable[2 * i + 1] == second) return i;
  }
  return -1;
}

std::string_view ContentsTagName(int i) {
  if (i < 0 || i >= kContentsTagCount) return {};
  return kContentsTagTable.substr(static_cast<size_t>(2 * i), 2);
}

bool IsSkippedContentsTag(int i) {
  return i == kTagK2 || i == kTagK3 || i == kTagA0 || i == kTagA1 || i == kTagA2;
}

bool IsByteContentsTag(int i) { return i == kTagES || i == kTagDV; }

std::string EscapeContentsText(std::string_view text, LeadByteTest isLeadByte) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (isLeadByte && isLeadByte(static_cast<uint8_t>(c)) && i + 1 < text.size()) {
      // The second byte of a double-byte character may be '\' and is never escaped.
      out.push_back(c);
      out.push_back(text[++i]);
      continue;
    }
    if (c == ',' || c == '\\') out.push_back('\\');
    out.push_back(c);
  }
  return out;
}

std::string MakeContentsItem(int tag, std::string_view text, LeadByteTest isLeadByte) {
  std::string item(ContentsTagName(tag));
  item.push_back(':');
  item += EscapeContentsText(text, isLeadByte);
  item.push_back(',');
  return item;
}

int QxLanguageIndex(char first, char second) {
  auto upper = [](char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); };
  for (int i = 0; i < kQxLanguageCount; ++i) {
    if (kQxLanguageCodes[i][0] == upper(first) && kQxLanguageCodes[i][1] == upper(second)) return i;
  }
  return -1;
}

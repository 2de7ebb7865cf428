// The contents-information record: reset by kind, copying, the contents type and text fitting.
#include "velk/ContentsInfo.h"

#include <cstring>

#include "song/TextCodec.h"

namespace {

const std::string kEmpty;

std::string_view Cut(std::string_view text) {
  return text.size() > CContentsInfo::kMaxText ? text.substr(0, CContentsInfo::kMaxText) : text;
}

/// Lead bytes of a Shift-JIS double-byte character.
bool IsShiftJisLead(uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

int FitShiftJis(std::string& text, size_t limit) {
  size_t length = text.size();
  if (length < limit) return 0;
  if (limit == 0) {
    text.clear();
    return static_cast<int>(length);
  }
  // Walk whole characters: the byte at limit - 1 may be the second half of one.
  size_t pos = 0;
  while (pos < limit - 1) pos += IsShiftJisLead(static_cast<uint8_t>(text[pos])) ? 2 : 1;
  if (pos == limit - 1 && IsShiftJisLead(static_cast<uint8_t>(text[pos]))) {
    text.resize(limit - 1);
    text.push_back(' ');  // the character that would be cut becomes a space
    return static_cast<int>(length - limit + 1);
  }
  text.resize(limit);
  return static_cast<int>(length - limit);
}

int FitUtf8(std::string& text, size_t limit) {
  std::string utf8;
  if (!CTextCodec::NarrowToUtf8(text, utf8) || utf8.size() <= limit) return 0;
  size_t cut = limit;
  while (cut > 0 && (static_cast<uint8_t>(utf8[cut]) & 0xC0) == 0x80) --cut;
  std::string narrow;
  if (!CTextCodec::Utf8ToNarrow(std::string_view(utf8).substr(0, cut), narrow)) return 0;
  text = narrow;
  return static_cast<int>(utf8.size() - cut);
}

int FitUtf16(std::string& text, size_t limit) {
  std::u16string units;
  if (!CTextCodec::NarrowToUtf16(text, units) || units.size() * 2 <= limit) return 0;
  size_t n = limit / 2;
  if (n > 0 && units[n - 1] >= 0xD800 && units[n - 1] <= 0xDBFF) --n;  // keep a pair whole
  std::string narrow;
  if (!CTextCodec::Utf16ToNarrow(std::u16string_view(units).substr(0, n), narrow)) return 0;
  text = narrow;
  return static_cast<int>(units.size() * 2 - n * 2);
}

}  // namespace

int ContentsGeneration(uint8_t type) { return type < 0x30 ? (type & 0x0F) + 1 : 3; }

uint8_t ContentsTypeGroup(uint8_t type) {
  return static_cast<uint8_t>(type < 0x30 ? (type & 0xF0) : (type & 0xF0) - 0x30);
}

uint8_t ContentsTypeIndex(uint8_t type) { return type < 0x30 ? 0 : (type & 0x0F); }

void CContentsInfo::Reset(int kind) {
  m_contentsClass = 0;
  m_contentsType = 0;
  m_codeType = 0;
  m_textCodeType = kTextCodeNone;
  m_copyStatus = 0;
  m_copyCount = 0;
  m_editStatus = 0;
  switch (kind) {
    case 3:
    case 5:
      m_contentsType = kind == 3 ? 0x32 : 0x34;
      m_codeType = 1;
      m_copyStatus = 0xFD;
      m_editStatus = 0xF8;
      break;
    case 4:
    case 6:
      m_contentsType = 0x01;
      m_copyStatus = 4;
      break;
    default:
      break;
  }
  m_flagA = 1;
  m_flagB = 1;
  m_flagCStored = 1;
  m_byteD = 0;
  m_optionByte4 = 0xFF;
  std::memcpy(m_fourChars, "0100", 4);
  std::memset(m_eightBytes, 0, sizeof m_eightBytes);
  m_generation2Byte = 0;
  for (auto& text : m_texts) text.clear();
  for (auto& text : m_optionTexts) text.clear();
  m_songText.Reset();
}

int CContentsInfo::CopyFrom(const CContentsInfo& other, int kind) {
  if (this == &other) return 1;
  Reset(kind);
  SetSongTextInfo(other.GetSongTextInfo());
  SetContentsClass(other.GetContentsClass());
  SetContentsTypeByte(other.GetContentsType());
  SetCodeType(other.GetCodeType());
  SetTextCodeType(other.GetTextCodeType());
  for (int k = 1; k <= kTextCount; ++k) SetText(k, other.GetText(k));
  for (int i = 0; i < kOptionTextCount; ++i) SetOptionText(i, other.GetOptionText(i));
  SetOptionByte1(other.GetOptionByte1());
  SetOptionByte2(other.GetOptionByte2());
  SetOptionByte3(other.GetOptionByte3());
  SetOptionByte4(other.GetOptionByte4());
  SetOptionByte5(other.GetStatusByte());
  SetFlagByteA(other.GetFlagByteA());
  SetFlagByteB(other.GetFlagByteB());
  SetFlagC(other.GetFlagC());
  SetByteD(other.GetByteD());
  SetFourChars(other.GetFourChars());
  SetEightBytes(other.GetEightBytes());
  return 1;
}

void CContentsInfo::SetContentsType(int kind, uint8_t a, uint8_t b) {
  switch (kind) {
    case 1:
    case 2:
      m_contentsType = static_cast<uint8_t>((kind - 1) | a);
      break;
    case 3:
      m_contentsType = static_cast<uint8_t>((a + 0x30) | b);
      break;
    case 5:
      if (b == 2) m_contentsType = 0x34;
      if (b == 3) m_contentsType = 0x36;
      if (b == 4) m_contentsType = 0x38;
      break;
    default:
      break;
  }
}

const std::string& CContentsInfo::GetText(int k) const {
  return (k >= 1 && k <= kTextCount) ? m_texts[k - 1] : kEmpty;
}

bool CContentsInfo::SetText(int k, std::string_view text) {
  if (k < 1 || k > kTextCount) return false;
  m_texts[k - 1] = Cut(text);
  return true;
}

const std::string& CContentsInfo::GetOptionText(int i) const {
  return (i >= 0 && i < kOptionTextCount) ? m_optionTexts[i] : kEmpty;
}

bool CContentsInfo::SetOptionText(int i, std::string_view text) {
  if (i < 0 || i >= kOptionTextCount) return false;
  m_optionTexts[i] = Cut(text);
  return true;
}

void CContentsInfo::SetFourChars(const uint8_t* bytes) {
  if (bytes) std::memmove(m_fourChars, bytes, sizeof m_fourChars);
}

void CContentsInfo::SetEightBytes(const uint8_t* bytes) {
  if (bytes) std::memmove(m_eightBytes, bytes, sizeof m_eightBytes);
}

int CContentsInfo::ConvertText(int code, std::string& text, size_t limit) {
  switch (code) {
    case kTextCodeShiftJis: return FitShiftJis(text, limit);
    case kTextCodeUtf8: return FitUtf8(text, limit);
    case kTextCodeUtf16: return FitUtf16(text, limit);
    default: return -1;
  }
}

int CContentsInfo::FitTexts(uint32_t mask) {
  for (int k = 1; k <= 5; ++k) {
    if (!(mask & (1u << (k - 1)))) continue;
    std::string text = m_songText.GetText(k);
    if (ConvertText(m_textCodeType, text, kMaxText) > 0) m_songText.SetText(k, text);
  }
  // VN..UD are items 5..10, GR and MI items 16 and 17.
  static constexpr struct { int bit; int text; } kItems[] = {
      {5, 1}, {6, 2}, {7, 3}, {8, 4}, {9, 5}, {10, 6}, {16, 7}, {17, 8}};
  for (const auto& item : kItems) {
    if (!(mask & (1u << item.bit))) continue;
    std::string text = GetText(item.text);
    if (ConvertText(m_textCodeType, text, kMaxText) > 0) SetText(item.text, text);
  }
  return 1;
}

// The converter's song between the two file forms: contents, setup, events, waves and density.
#include "plugins/velkgate/MidiList.h"

#include <cstring>

#include "platform/text/CodePage.h"
#include "plugins/velkgate/ByteHelpers.h"
#include "plugins/velkgate/VelkgateFlags.h"
#include "song/SmfDialectText.h"
#include "song/TextCodec.h"

namespace velkgate {

namespace {

constexpr uint32_t kWorkSize = CTextCodec::kWorkBufferSize;

bool IsLeadByte(uint8_t b) {
  static const auto codePage = platform::CodePage::Ansi();
  return codePage->IsLeadByte(b);
}

/// The longest prefix of at most maximum bytes that does not split a double-byte character.
std::string CutText(std::string text, uint32_t maximum) {
  if (text.size() <= maximum) return text;
  size_t keep = 0;
  while (keep < maximum) {
    size_t width = IsLeadByte(static_cast<uint8_t>(text[keep])) ? 2 : 1;
    if (keep + width > maximum) break;
    keep += width;
  }
  text.resize(keep);
  return text;
}

}  // namespace

CMidiList::CMidiList() {
  m_contents.Reset(3);
  std::memset(m_channelTable, 0xFF, sizeof m_channelTable);
  (void)m_extraWords;
}

CMidiList::~CMidiList() {
  m_mainList.DeleteAll();
  m_streamList.DeleteAll();
  m_waveChunks.DeleteAll();
}

void CMidiList::MergeEventLists(const CEventList& main, const CEventList& stream,
                                CEventArray& out) {
  MergeEvents(main.Items(), stream.Items(), out);
}

void CMidiList::MergeEvents(const std::vector<CSeqEvent*>& a, const std::vector<CSeqEvent*>& b,
                            CEventArray& out) {
  size_t i = 0;
  size_t j = 0;
  while (i < a.size() || j < b.size()) {
    bool takeMain = j == b.size() || (i < a.size() && a[i]->GetTick() <= b[j]->GetTick());
    out.Add(takeMain ? a[i++] : b[j++]);
  }
}

void CMidiList::checkMidiList(CEventArray& events) {
  int32_t n = events.GetCount();
  for (int32_t i = 0; i < n; ++i) {
    CSeqEvent* e = events[i];
    if (e->IsDropped() || (e->GetDataByte(0) & 0xF0) != 0xB0 || e->GetDataByte(1) != 10)
      continue;
    for (int32_t j = i + 1; j < n; ++j) {
      CSeqEvent* later = events[j];
      // The array is in tick order: nothing past the first later tick can repeat this one.
      if (later->GetTick() != e->GetTick()) break;
      if (e->GetExtra() == 0 && later->GetExtra() == 0 &&
          later->GetDataByte(0) == e->GetDataByte(0) && later->GetDataByte(1) == 10 &&
          later->GetDataByte(2) == e->GetDataByte(2)) {
        e->SetDropped(true);
        break;
      }
    }
  }
}

bool CMidiList::ComputeDensity(const uint8_t* smf, uint32_t size) {
  CSmfDensityScan scan(m_windowMs);
  if (!scan.Run(smf, size)) {
    m_scanFailed = true;
    return false;
  }
  m_density = scan.GetResult();
  m_densityPoints = scan.GetPoints();
  return true;
}

int CMidiList::FindTag(const char* tag) {
  if (!tag || !tag[0] || !tag[1]) return -1;
  for (int i = 0; i < kContentsTagCount; ++i)
    if (kContentsTagTable[2 * i] == tag[0] && kContentsTagTable[2 * i + 1] == tag[1]) return i;
  return -1;
}

std::string CMidiList::ConvertValue(const uint8_t* bytes, uint32_t n, uint32_t maximum) const {
  if (maximum == 0) maximum = kMaxTextValue;
  uint8_t work[kWorkSize];
  // The codec reads at most its work buffer's worth, so a long value cannot overrun it.
  uint32_t in = n < kWorkSize ? n : kWorkSize;
  uint32_t written = 0;
  if (m_textCodeType == kTextCodeUtf8) {
    written = CTextCodec::Utf8ToMultiByte(bytes, in, work, kWorkSize);
  } else if (m_textCodeType == kTextCodeUtf16) {
    written = CTextCodec::WideToMultiByte(bytes, in, work, kWorkSize);
  } else {
    return CutText(std::string(reinterpret_cast<const char*>(bytes), n), maximum);
  }
  return CutText(std::string(reinterpret_cast<const char*>(work), written), maximum);
}

int CMidiList::ReadTagValue(const uint8_t*& cursor, const uint8_t* end, std::string& out,
                            uint32_t maximum) const {
  std::string raw;
  while (cursor < end && *cursor != ',') {
    uint8_t b = *cursor++;
    if (b == '\\') {
      if (cursor >= end) break;
      b = *cursor++;  // an escaped ',' or '\', or a dropped backslash: the next byte stands
      raw.push_back(static_cast<char>(b));
    } else if (IsLeadByte(b) && cursor < end) {
      raw.push_back(static_cast<char>(b));
      raw.push_back(static_cast<char>(*cursor++));
    } else {
      raw.push_back(static_cast<char>(b));
    }
  }
  if (cursor < end) ++cursor;  // the ','
  out = ConvertValue(reinterpret_cast<const uint8_t*>(raw.data()),
                     static_cast<uint32_t>(raw.size()), maximum);
  return out.empty() ? 0 : 1;
}

int CMidiList::ReadEntryValue(const uint8_t*& cursor, const uint8_t* end, std::string& out,
                              uint32_t maximum) const {
  uint32_t length = uint32_t{ReadByteAt(cursor, end)} << 8;
  length |= ReadByteAt(cursor, end);
  if (length > static_cast<uint32_t>(end - cursor)) {
    cursor = end;
    throw kErrEndOfData;
  }
  out = ConvertValue(cursor, length, maximum);
  cursor += length;
  return out.empty() ? 0 : 1;
}

int CMidiList::WriteEntryValue(std::vector<uint8_t>& buffer, const char* text, uint32_t length,
                               uint8_t codeType, bool convert) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(text);
  uint8_t work[kWorkSize];
  if (convert && (codeType == kTextCodeUtf8 || codeType == kTextCodeUtf16)) {
    uint32_t written = codeType == kTextCodeUtf8
                           ? CTextCodec::MultiByteToUtf8(bytes, length, work, kWorkSize)
                           : CTextCodec::MultiByteToWide(bytes, length, work, kWorkSize);
    if (written == 0) return 0;  // a text that converts to nothing fails the entry
    bytes = work;
    length = written;
  }
  if (length > 0xFFFF) length = 0xFFFF;
  AppendBE16(buffer, static_cast<uint16_t>(length));
  if (length > 0) AppendBytes(buffer, bytes, length);
  return 1;
}

}  // namespace velkgate

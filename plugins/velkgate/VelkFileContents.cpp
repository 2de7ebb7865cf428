// The contents information of a VELK file: CNTI and OPDA into the record and back.
#include <string>
#include <vector>

#include "platform/text/CodePage.h"
#include "plugins/velkgate/ByteHelpers.h"
#include "plugins/velkgate/MidiList.h"
#include "plugins/velkgate/TrSig.h"
#include "plugins/velkgate/VelkFileChunk.h"
#include "plugins/velkgate/VelkgateFlags.h"
#include "song/SmfDialectText.h"
#include "song/TextCodec.h"
#include "velk/ContentsInfo.h"

namespace velkgate {

namespace {

constexpr uint32_t kMaxOptionValue = 510;
constexpr uint32_t kMaxEntryValue = 511;
constexpr int kSongFieldCount = 5;  // ST, SW, WW, AW, AN
constexpr uint8_t kFixedBits = 0xF8;

bool IsLeadByte(uint8_t b) {
  static const auto codePage = platform::CodePage::Ansi();
  return codePage->IsLeadByte(b);
}

/// "\," becomes "," and a doubled backslash one backslash.
std::string Unescape(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size() && (text[i + 1] == ',' || text[i + 1] == '\\')) ++i;
    out.push_back(text[i]);
  }
  return out;
}

/// Texts in the data code type's coding back to narrow text.
std::string ConvertToNarrow(const uint8_t* bytes, uint32_t n, uint8_t codeType) {
  uint8_t work[CTextCodec::kWorkBufferSize];
  uint32_t in = n < CTextCodec::kWorkBufferSize ? n : CTextCodec::kWorkBufferSize;
  uint32_t written = 0;
  if (codeType == kTextCodeUtf8)
    written = CTextCodec::Utf8ToMultiByte(bytes, in, work);
  else if (codeType == kTextCodeUtf16)
    written = CTextCodec::WideToMultiByte(bytes, in, work);
  else
    return std::string(reinterpret_cast<const char*>(bytes), n);
  return std::string(reinterpret_cast<const char*>(work), written);
}

/// What the two readers gather before the record is filled.
struct ContentsTexts {
  std::string songFields[kSongFieldCount];
  bool anySongField = false;
};

class ContentsReader {
 public:
  ContentsReader(const CContentsInfoChunk& cnti, const COptionalDataChunk& opda,
                 CContentsInfo& record, bool compat)
      : m_cnti(cnti), m_opda(opda), m_record(record), m_compat(compat) {}

  void Run() {
    std::vector<uint8_t> view = DataView();
    ReadOptionText();
    if (!view.empty()) ReadDataView(view);
    m_record.SetContentsClass(m_cnti.GetContentsClass());
    m_record.SetContentsTypeByte(m_cnti.GetContentsType());
    m_record.SetCodeType(m_cnti.GetCodeType());
    m_record.SetOptionByte1(m_cnti.GetCopyStatus());
    m_record.SetOptionByte2(m_cnti.GetCopyCount());
    m_record.SetTextCodeType(view.empty() ? m_cnti.GetCodeType() : view[0]);
    const ContentsTexts& chosen = m_fromOpda.anySongField ? m_fromOpda : m_fromCnti;
    if (!m_fromOpda.anySongField && m_fromCnti.anySongField) m_record.SetTextCodeType(0);
    for (int i = 0; i < kSongFieldCount; ++i)
      m_record.GetSongTextInfo().SetText(i + 1, chosen.songFields[i]);
  }

 private:
  /// The code of the coded data chunk (0xFF without one), its body, then the 0xFF chunk's body.
  std::vector<uint8_t> DataView() const {
    std::vector<uint8_t> view;
    CDataChunk* coded = m_opda.GetCodedChunk();
    CDataChunk* fixed = m_opda.GetFixedChunk();
    if (!coded && !fixed) return view;
    view.push_back(coded ? coded->GetCode() : CDataChunk::kFixedCode);
    if (coded) AppendBytes(view, coded->GetBody(), coded->GetBodySize());
    if (fixed) AppendBytes(view, fixed->GetBody(), fixed->GetBodySize());
    return view;
  }

  /// tag, separator, value up to an unescaped ','.
  void ReadOptionText() {
    const std::vector<uint8_t>& text = m_cnti.GetOptionText();
    const uint8_t* p = text.data();
    const uint8_t* end = p + text.size();
    while (end - p >= 3) {
      int tag = ContentsTagIndex(static_cast<char>(p[0]), static_cast<char>(p[1]));
      p += 3;
      if (tag == kTagES) {
        if (p >= end) break;
        m_record.SetOptionByte3(static_cast<uint8_t>(*p++ | kFixedBits));
        if (p < end) ++p;
        continue;
      }
      std::string value = ReadOptionValue(p, end);
      ApplyOptionValue(tag, value);
    }
  }

  static std::string ReadOptionValue(const uint8_t*& p, const uint8_t* end) {
    std::string value;
    while (p < end && *p != ',') {
      uint8_t b = *p++;
      if (b == '\\' && p < end && (*p == ',' || *p == '\\')) {
        b = *p++;
      } else if (IsLeadByte(b) && p < end) {
        if (value.size() + 2 <= kMaxOptionValue) value.push_back(static_cast<char>(b));
        b = *p++;
      }
      if (value.size() < kMaxOptionValue) value.push_back(static_cast<char>(b));
    }
    if (p < end) ++p;
    return value;
  }

  void ApplyOptionValue(int tag, const std::string& value) {
    if (tag >= kTagST && tag <= kTagAN) {
      m_fromCnti.songFields[tag] = value.substr(0, CContentsInfo::kMaxText);
      if (!value.empty()) m_fromCnti.anySongField = true;
    } else if (int member = CMidiList::TextFieldOfTag(tag)) {
      m_record.SetText(member, value);
    } else if (tag == kTagA0 || tag == kTagA2) {
      m_record.SetOptionText(tag - kTagA0, value);
    }
  }

  void ReadDataView(const std::vector<uint8_t>& view) {
    uint8_t codeType = view[0];
    const uint8_t* p = view.data() + 1;
    const uint8_t* end = view.data() + view.size();
    while (p < end) {
      if (end - p < 4) throw kErrEndOfData;
      int tag = ContentsTagIndex(static_cast<char>(p[0]), static_cast<char>(p[1]));
      uint32_t length = (uint32_t{p[2]} << 8) | p[3];
      p += 4;
      if (length > static_cast<uint32_t>(end - p)) throw kErrEndOfData;
      uint32_t kept = length < kMaxEntryValue ? length : kMaxEntryValue;
      ApplyEntry(tag, p, kept, codeType);
      p += length;
    }
  }

  void ApplyEntry(int tag, const uint8_t* value, uint32_t n, uint8_t codeType) {
    if (tag == kTagES) {
      if (n > 0) m_record.SetOptionByte3(static_cast<uint8_t>(value[0] | kFixedBits));
      return;
    }
    if (tag == kTagDV) {
      if (n > 0) m_record.SetOptionByte4(value[0]);
      return;
    }
    if (tag == kTagA0 || tag == kTagA2) {
      m_record.SetOptionText(tag - kTagA0, std::string(reinterpret_cast<const char*>(value), n));
      return;
    }
    bool songField = tag >= kTagST && tag <= kTagAN;
    int member = CMidiList::TextFieldOfTag(tag);
    if (!songField && member == 0) return;
    std::string text = ConvertToNarrow(value, n, codeType);
    if (text.empty()) return;
    if (m_compat) text = Unescape(text);
    if (songField) {
      m_fromOpda.songFields[tag] = text.substr(0, CContentsInfo::kMaxText);
      m_fromOpda.anySongField = true;
    } else {
      m_record.SetText(member, text);
    }
  }

  const CContentsInfoChunk& m_cnti;
  const COptionalDataChunk& m_opda;
  CContentsInfo& m_record;
  bool m_compat;
  ContentsTexts m_fromCnti;
  ContentsTexts m_fromOpda;
};

/// The record's text of a tag: song fields for ST..AN, text members for the others.
std::string RecordText(const CContentsInfo& record, int tag) {
  if (tag >= kTagST && tag <= kTagAN) return record.GetSongTextInfo().GetText(tag + 1);
  int member = CMidiList::TextFieldOfTag(tag);
  return member ? record.GetText(member) : std::string();
}

void AppendTag(std::vector<uint8_t>& out, int tag) {
  std::string_view name = ContentsTagName(tag);
  AppendBytes(out, reinterpret_cast<const uint8_t*>(name.data()), 2);
}

std::vector<uint8_t> TextEntries(const CContentsInfo& record) {
  static constexpr int kOrder[] = {kTagST, kTagSW, kTagWW, kTagAW, kTagAN, kTagVN, kTagCN,
                                   kTagCA, kTagCR, kTagGR, kTagMI, kTagCD, kTagUD};
  std::vector<uint8_t> out;
  for (int tag : kOrder) {
    std::string text = RecordText(record, tag);
    if (text.empty()) continue;
    AppendTag(out, tag);
    if (!CMidiList::WriteEntryValue(out, text.data(), static_cast<uint32_t>(text.size()),
                                    record.GetTextCodeType(), true))
      throw kErrTextConversion;
  }
  return out;
}

std::vector<uint8_t> FixedEntries(const CContentsInfo& record) {
  std::vector<uint8_t> out;
  AppendTag(out, kTagES);
  AppendBE16(out, 1);
  AppendByte(out, static_cast<uint8_t>(record.GetOptionByte3() | kFixedBits));
  if (record.GetOptionByte4() <= 1) {
    AppendTag(out, kTagDV);
    AppendBE16(out, 1);
    AppendByte(out, record.GetOptionByte4());
  }
  for (int i : {0, 2}) {
    std::string tag = record.GetOptionText(i).empty() ? GetTrSigPlaceholder()
                                                      : FitTrSig(record.GetOptionText(i));
    AppendTag(out, kTagA0 + i);
    AppendBE16(out, static_cast<uint16_t>(tag.size()));
    AppendBytes(out, reinterpret_cast<const uint8_t*>(tag.data()), static_cast<uint32_t>(tag.size()));
  }
  return out;
}

}  // namespace

void CVelkFileChunk::ReadContentsInfo(CContentsInfo& record, bool compat) const {
  ContentsReader(m_cnti, m_opda, record, compat).Run();
}

void CVelkFileChunk::WriteContentsInfo(const CContentsInfo& record) {
  std::vector<uint8_t> texts = TextEntries(record);
  std::vector<uint8_t> fixed = FixedEntries(record);
  uint8_t code = record.GetTextCodeType();
  m_opda.SetDataChunk(false, nullptr);
  m_opda.SetDataChunk(true, nullptr);
  if (code == CDataChunk::kFixedCode) {
    texts.insert(texts.end(), fixed.begin(), fixed.end());
    m_opda.SetDataChunk(true, std::make_unique<CDataChunk>(code, texts));
  } else {
    if (!texts.empty()) m_opda.SetDataChunk(false, std::make_unique<CDataChunk>(code, texts));
    m_opda.SetDataChunk(true, std::make_unique<CDataChunk>(CDataChunk::kFixedCode, fixed));
  }
  m_cnti.SetContentsClass(record.GetContentsClass());
  m_cnti.SetContentsType(record.GetContentsType());
  m_cnti.SetCodeType(1);
  m_cnti.SetCopyStatus(record.GetOptionByte1());
  m_cnti.SetCopyCount(record.GetOptionByte2());
}

}  // namespace velkgate

// The "CNTI" chunk: reading and writing its body, and the option-text parser and builder.
#include "velk/ContentsInfoChunk.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "platform/text/CodePage.h"
#include "song/SmfDialectText.h"
#include "velk/ContentsInfo.h"

namespace {

constexpr uint8_t kFixedEditBits = 0xF8;
constexpr uint8_t kBuiltCopyStatusBits = 0xFC;

/// A cursor over the option text; every read stays inside it.
class OptionTextReader {
 public:
  OptionTextReader(const uint8_t* data, size_t size, const platform::CodePage& page)
      : m_data(data), m_size(size), m_page(page) {}

  bool AtEnd() const { return m_pos >= m_size; }
  size_t Left() const { return m_size - m_pos; }
  uint8_t At(size_t i) const { return m_data[m_pos + i]; }
  void Skip(size_t n) { m_pos += std::min(n, Left()); }

  /// A value up to an unescaped ',' (taken) or the end, at most kMaxValue bytes; the rest of
  /// a longer value is skipped up to and including its ','.
  std::string ReadValue() {
    std::string value;
    while (!AtEnd()) {
      if (At(0) == ',') {
        Skip(1);
        return value;
      }
      std::string_view ch = NextCharacter();
      if (ch.empty()) break;  // an escape or a lead byte with nothing behind it
      if (value.size() + ch.size() > CContentsInfoChunk::kMaxValue) {
        SkipValue();
        return value;
      }
      value += ch;
    }
    m_pos = m_size;
    return value;
  }

 private:
  /// The value bytes of the next character (an escaped byte or a whole double-byte
  /// character), taken from the text; empty when the text ends inside it.
  std::string_view NextCharacter() {
    const char* at = reinterpret_cast<const char*>(m_data + m_pos);
    if (At(0) == '\\' || m_page.IsLeadByte(At(0))) {
      if (Left() < 2) return {};
      bool escaped = At(0) == '\\';
      Skip(2);
      return escaped ? std::string_view(at + 1, 1) : std::string_view(at, 2);
    }
    Skip(1);
    return std::string_view(at, 1);
  }

  void SkipValue() {
    while (!AtEnd()) {
      if (At(0) == ',') {
        Skip(1);
        return;
      }
      if (NextCharacter().empty()) break;
    }
    m_pos = m_size;
  }

  const uint8_t* m_data;
  size_t m_size;
  size_t m_pos = 0;
  const platform::CodePage& m_page;
};

/// Appends "tag:value," with ',' and '\' escaped; a lead byte left without its second byte is
/// dropped, because the reader would take the ',' behind it as that byte.
void WriteItem(CMemStream& out, int tag, std::string_view value, const platform::CodePage& page) {
  out.Write(ContentsTagName(tag).data(), 2);
  out.WriteByte(':');
  for (size_t i = 0; i < value.size(); ++i) {
    auto b = static_cast<uint8_t>(value[i]);
    if (page.IsLeadByte(b)) {
      if (i + 1 >= value.size()) break;
      out.WriteByte(b).WriteByte(static_cast<uint8_t>(value[++i]));
      continue;
    }
    if (b == ',' || b == '\\') out.WriteByte('\\');
    out.WriteByte(b);
  }
  out.WriteByte(',');
}

}  // namespace

CContentsInfoChunk::CContentsInfoChunk() : CChunk(kIdCNTI) {}

int CContentsInfoChunk::GetGeneration() const { return ContentsGeneration(m_contentsType); }

int CContentsInfoChunk::GetTypeIndex() const { return ContentsTypeIndex(m_contentsType); }

int CContentsInfoChunk::GetTypeGroup() const { return ContentsTypeGroup(m_contentsType); }

uint8_t CContentsInfoChunk::CopyStatusFixedBits() const {
  return GetGeneration() == 3 ? 0xF8 : 0xFC;
}

int CContentsInfoChunk::LookupTag(uint8_t first, uint8_t second) {
  return ContentsTagIndex(static_cast<char>(first), static_cast<char>(second));
}

void CContentsInfoChunk::Read(CMemStream& stream) {
  CChunk::Read(stream);
  CMemStream body(GetBody(), static_cast<int32_t>(GetBodySize()), false);
  body.ReadByte(m_contentsClass).ReadByte(m_contentsType).ReadByte(m_codeType);
  body.ReadByte(m_copyStatus);
  m_copyStatus |= CopyStatusFixedBits();
  body.ReadByte(m_copyCount);
  m_optionText.Attach(nullptr, 0);
  if (!body.AtEnd()) m_optionText.Write(body.GetCurrent(), body.RemainingBytes());
}

void CContentsInfoChunk::WriteBody(CMemStream& stream) {
  stream.WriteByte(m_contentsClass).WriteByte(m_contentsType).WriteByte(m_codeType);
  stream.WriteByte(static_cast<uint8_t>(m_copyStatus | CopyStatusFixedBits()));
  stream.WriteByte(m_copyCount);
  if (m_optionText.GetSize() > 0) {
    stream.Write(m_optionText.GetData(), static_cast<uint32_t>(m_optionText.GetSize()));
  }
}

void CContentsInfoChunk::ParseBody(CContentsInfo& record) const {
  auto page = platform::CodePage::Ansi();
  OptionTextReader text(m_optionText.GetData(), static_cast<size_t>(m_optionText.GetSize()), *page);
  CSongTextInfo songText = record.GetSongTextInfo();
  while (!text.AtEnd()) {
    int tag = text.Left() >= 2 ? LookupTag(text.At(0), text.At(1)) : -1;
    text.Skip(3);  // the tag and its ':'
    if (tag >= kTagST && tag <= kTagAN) {
      songText.SetText(tag - kTagST + 1, text.ReadValue());
    } else if (tag >= kTagVN && tag <= kTagUD) {
      record.SetText(tag - kTagVN + 1, text.ReadValue());
    } else if (tag == kTagGR || tag == kTagMI) {
      record.SetText(tag == kTagGR ? 7 : 8, text.ReadValue());
    } else if (tag >= kTagA0 && tag <= kTagA2) {
      record.SetOptionText(tag - kTagA0, text.ReadValue());
    } else if (tag == kTagK2 || tag == kTagES) {
      // A single byte and its ','.
      if (!text.AtEnd()) {
        if (tag == kTagK2) record.SetOptionByte5(text.At(0));
        else record.SetOptionByte3(static_cast<uint8_t>(text.At(0) | kFixedEditBits));
      }
      text.Skip(2);
    } else {
      throw kErrUnknownContentsItem;  // K3, DV or a tag outside the table
    }
  }
  record.SetContentsClass(m_contentsClass);
  record.SetContentsTypeByte(m_contentsType);
  record.SetCodeType(m_codeType);
  record.SetOptionByte1(m_copyStatus);
  record.SetOptionByte2(m_copyCount);
  record.SetSongTextInfo(songText);
}

void CContentsInfoChunk::BuildBody(const CContentsInfo& record) {
  auto page = platform::CodePage::Ansi();
  CMemStream text(0);
  const CSongTextInfo& songText = record.GetSongTextInfo();
  for (int k = 1; k <= 5; ++k) {
    std::string_view value = songText.GetText(k);
    if (!value.empty()) WriteItem(text, kTagST + k - 1, value, *page);
  }
  for (int k = 1; k <= 6; ++k) {
    const std::string& value = record.GetText(k);
    if (!value.empty()) WriteItem(text, kTagVN + k - 1, value, *page);
  }
  if (record.GetGeneration() == 2) {
    text.Write("K2:", 3);
    text.WriteByte(record.GetStatusByte()).WriteByte(',');
  }
  if (text.GetSize() > 0) {
    int32_t size = text.GetSize();
    m_optionText.Attach(text.Detach(), size);
  }
  m_contentsClass = record.GetContentsClass();
  m_contentsType = record.GetContentsType();
  m_codeType = record.GetCodeType();
  m_copyStatus = static_cast<uint8_t>(record.GetOptionByte1() | kBuiltCopyStatusBits);
  m_copyCount = record.GetOptionByte2();
}

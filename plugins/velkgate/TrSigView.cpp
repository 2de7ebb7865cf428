// The version tag: a light view of a VELK image, its check values, the stamp and the check.
#include "plugins/velkgate/TrSigView.h"

#include <cstring>

#include "plugins/velkgate/ByteHelpers.h"
#include "plugins/velkgate/ContentsInfoChunk.h"
#include "plugins/velkgate/MasterTrackChunk.h"
#include "plugins/velkgate/OptionalDataChunk.h"
#include "plugins/velkgate/ScoreTrackChunk.h"
#include "plugins/velkgate/TrSig.h"
#include "plugins/velkgate/VelkFileChunk.h"
#include "velk/ContentsInfo.h"
#include "velk/Crc16.h"

namespace velkgate {

namespace {

constexpr uint32_t kCrcSize = 2;
constexpr uint32_t kSubChunkHeader = 8;
constexpr uint32_t kEntryHeader = 4;
constexpr uint32_t kCheckAt = 4;  // the check characters follow prefix and version digits
constexpr uint8_t kFixedCode = 0xFF;
/// Below this version the contents texts were stored with their escapes.
constexpr int kFirstUnescapedVersion = 18;

uint32_t BE32At(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

void AppendChunk(std::vector<uint8_t>& out, const CChunk& chunk) {
  AppendBE32(out, chunk.GetId());
  AppendBE32(out, chunk.GetBodySize());
  AppendBytes(out, chunk.GetBody(), chunk.GetBodySize());
}

void Replace(std::vector<std::unique_ptr<CChunk>>& list, std::unique_ptr<CChunk> chunk) {
  for (auto it = list.begin(); it != list.end(); ++it) {
    if ((*it)->GetId() == chunk->GetId()) {
      list.erase(it);
      break;
    }
  }
  list.push_back(std::move(chunk));
}

uint16_t Crc(const std::vector<uint8_t>& bytes) {
  BuildCrc16Table();
  return Crc16(static_cast<uint32_t>(bytes.size()), bytes.data());
}

int VersionNumber(const std::string& tag) { return (tag[2] - '0') * 10 + (tag[3] - '0'); }

}  // namespace

std::string TrSigCheckChars(uint16_t value) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string chars(2, ' ');
  chars[0] = kDigits[((value >> 8) & 0x0F) ^ 0x0D];
  chars[1] = kDigits[(value & 0x0F) ^ 0x01];
  return chars;
}

CTrSigView::CTrSigView(const uint8_t* image, uint32_t size) {
  CMemStream stream(const_cast<uint8_t*>(image), static_cast<int32_t>(size), false);
  CChunk file(stream);
  CMemStream body(file.GetBody(), static_cast<int32_t>(file.GetBodySize()), false);
  m_cnti = std::make_unique<CChunk>(body);
  if (body.RemainingBytes() >= 4 && PeekChunkId(body) == COptionalDataChunk::kId)
    m_opda = std::make_unique<CChunk>(body);
  while (body.RemainingBytes() != kCrcSize) {
    uint32_t id = PeekChunkId(body);
    if (CScoreTrackChunk::IsScoreTrackId(id))
      Replace(m_scoreTracks, std::make_unique<CChunk>(body));
    else if (id == CMasterTrackChunk::kId)
      Replace(m_masterTracks, std::make_unique<CChunk>(body));
    else
      SkipChunk(body);
  }
}

CTrSigView::~CTrSigView() = default;

std::optional<CTrSigView::EntrySpan> CTrSigView::FindEntry(int index) const {
  if (!m_opda || index < 0 || index > 9) return std::nullopt;
  const uint8_t* body = m_opda->GetBody();
  uint32_t n = m_opda->GetBodySize();
  uint32_t p = 0;
  while (n - p >= kSubChunkHeader) {
    uint32_t size = BE32At(body + p + 4);
    uint32_t start = p + kSubChunkHeader;
    bool cut = size > n - start;
    if (body[p + 3] == kFixedCode) {
      uint32_t end = cut ? n : start + size;
      for (uint32_t q = start; end - q >= kEntryHeader;) {
        uint32_t length = (uint32_t{body[q + 2]} << 8) | body[q + 3];
        uint32_t value = q + kEntryHeader;
        if (length > end - value) return std::nullopt;
        if (body[q] == 'A' && body[q + 1] == '0' + index) return EntrySpan{value, length};
        q = value + length;
      }
      return std::nullopt;
    }
    if (cut) return std::nullopt;
    p = start + size;
  }
  return std::nullopt;
}

std::string CTrSigView::GetEntry(int index) const {
  std::optional<EntrySpan> span = FindEntry(index);
  if (!span) return std::string();
  return std::string(reinterpret_cast<const char*>(m_opda->GetBody() + span->offset), span->length);
}

void CTrSigView::SetCheckChars(int index, const std::string& text) {
  std::optional<EntrySpan> span = FindEntry(index);
  if (!span || text.empty() || span->length <= kCheckAt) return;
  size_t n = std::min<size_t>(text.size(), span->length - kCheckAt);
  std::memcpy(m_opda->GetBody() + span->offset + kCheckAt, text.data(), n);
}

uint16_t CTrSigView::SigValueTracks() const {
  std::vector<uint8_t> bytes;
  for (const auto& track : m_scoreTracks) AppendChunk(bytes, *track);
  for (const auto& track : m_masterTracks) AppendChunk(bytes, *track);
  return Crc(bytes);
}

uint16_t CTrSigView::SigValueInfo() {
  SetCheckChars(2, "  ");
  std::vector<uint8_t> bytes;
  AppendChunk(bytes, *m_cnti);
  if (m_opda && m_opda->GetBodySize() > 0) AppendChunk(bytes, *m_opda);
  return Crc(bytes);
}

void StampTrSig(CVelkFileChunk& file, CContentsInfo& record) {
  CMemStream image;
  file.Serialize(image);
  CTrSigView view(image.GetData(), static_cast<uint32_t>(image.GetSize()));
  std::string tracks = TrSigCheckChars(view.SigValueTracks());
  view.SetCheckChars(0, tracks);
  record.SetOptionText(0, GetTrSigPrefix() + tracks);
  std::string info = TrSigCheckChars(view.SigValueInfo());
  view.SetCheckChars(2, info);
  record.SetOptionText(2, GetTrSigPrefix() + info);
  file.WriteContentsInfo(record);
}

TrSigState CheckTrSig(const uint8_t* image, uint32_t size, bool& compat) {
  compat = false;
  CTrSigView view(image, size);
  std::string a0 = view.GetEntry(0);
  std::string a2 = view.GetEntry(2);
  if (a0.size() != kTrSigLength || a2.size() != kTrSigLength)
    return (a0.empty() && a2.empty() && view.GetEntry(1).empty()) ? kTrSigNone : kTrSigOtherTool;
  std::string prefix = GetTrSigPrefix();
  if (a0.compare(0, 4, a2, 0, 4) != 0 || a0.compare(0, 2, prefix, 0, 2) != 0) return kTrSigOtherTool;
  int fileVersion = VersionNumber(a2);
  int ownVersion = VersionNumber(prefix);
  if (fileVersion > ownVersion) return kTrSigUpperVersion;
  if (fileVersion < ownVersion) {
    compat = fileVersion < kFirstUnescapedVersion;
    return kTrSigLowerVersion;
  }
  bool tracksMatch = a0.compare(kCheckAt, 2, TrSigCheckChars(view.SigValueTracks())) == 0;
  bool infoMatch = a2.compare(kCheckAt, 2, TrSigCheckChars(view.SigValueInfo())) == 0;
  return (tracksMatch && infoMatch) ? kTrSigValid : kTrSigBadCheck;
}

}  // namespace velkgate

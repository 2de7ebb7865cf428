// "MMMG" and its children "INFO", "VOIC" and "SEQU": read and written back, never used.
#include "plugins/velkgate/MmmgChunk.h"

#include <cstring>

#include "plugins/velkgate/ByteHelpers.h"
#include "plugins/velkgate/VelkgateFlags.h"
#include "song/SmfDialect.h"

namespace velkgate {

namespace {

constexpr uint32_t kDeviceId = MakeChunkId('D', 'E', 'V', 'O');
constexpr uint32_t kVoiceId = MakeChunkId('E', 'X', 'V', 'O');
/// FF F0 len 43 04 01: the head of a kept voice entry.
constexpr uint32_t kVoiceHeadSize = 6;
constexpr uint8_t kVoiceKind[2] = {0x04, 0x01};

/// A child chunk's body as a stream of its own; the chunk itself is consumed from the parent.
std::vector<uint8_t> ReadChildBody(CMemStream& stream) {
  CChunk child(stream);
  return std::vector<uint8_t>(child.GetBody(), child.GetBody() + child.GetBodySize());
}

void WriteChild(CMemStream& stream, uint32_t id, const std::vector<uint8_t>& body) {
  CChunk child(id);
  child.SetBodyCopy(body.data(), static_cast<uint32_t>(body.size()));
  child.Write(stream);
}

}  // namespace

void CMmmgInfoChunk::WriteBody(CMemStream& stream) {
  if (!m_text.empty()) stream.Write(m_text.data(), static_cast<uint32_t>(m_text.size()));
}

void CMmmgInfoChunk::ReadBody(CMemStream& stream) {
  uint32_t n = stream.RemainingBytes() < kMaxText ? stream.RemainingBytes() : kMaxText;
  const auto* p = reinterpret_cast<const char*>(stream.GetCurrent());
  // Written back up to its first zero byte, so the text stops there.
  m_text = n ? std::string(p, strnlen(p, n)) : std::string();
}

void CMmmgVoiceChunk::WriteBody(CMemStream& stream) {
  if (m_hasDevice) WriteChild(stream, kDeviceId, {m_device});
  for (const auto& voice : m_voices) {
    std::vector<uint8_t> body = {0xFF, 0xF0, static_cast<uint8_t>(voice.size() + 4),
                                 kDialectMakerId, kVoiceKind[0], kVoiceKind[1]};
    body.insert(body.end(), voice.begin(), voice.end());
    body.push_back(0xF7);
    WriteChild(stream, kVoiceId, body);
  }
}

void CMmmgVoiceChunk::ReadVoice(CMemStream& stream) {
  std::vector<uint8_t> body = ReadChildBody(stream);
  if (body.size() < kVoiceHeadSize || body[0] != 0xFF || body[1] != 0xF0 ||
      body[3] != kDialectMakerId || body[4] != kVoiceKind[0] || body[5] != kVoiceKind[1])
    return;
  // The length counts 43 04 01, the data and F7; a length past the body is cut to it.
  size_t dataSize = body[2] >= 4 ? body[2] - 4u : 0;
  if (dataSize > body.size() - kVoiceHeadSize) dataSize = body.size() - kVoiceHeadSize;
  m_voices.emplace_back(body.begin() + kVoiceHeadSize, body.begin() + kVoiceHeadSize + dataSize);
}

void CMmmgVoiceChunk::ReadBody(CMemStream& stream) {
  while (!stream.AtEnd()) {
    uint32_t id = PeekChunkId(stream);
    if (id == kDeviceId) {
      std::vector<uint8_t> body = ReadChildBody(stream);
      if (body.empty()) throw kErrEndOfData;
      m_device = body[0];
      m_hasDevice = true;
    } else if (id == kVoiceId) {
      ReadVoice(stream);
    } else {
      SkipChunk(stream);
    }
  }
}

CMmmgChunk::CMmmgChunk(CMemStream& stream) : CChunk(kId) { Read(stream); }

CMmmgChunk::~CMmmgChunk() = default;

void CMmmgChunk::WriteBody(CMemStream& stream) {
  stream.WriteByte(m_byte0).WriteByte(kByte1);
  if (m_info) m_info->Write(stream);
  if (m_voice) m_voice->Write(stream);
  if (m_sequence && m_sequence->GetBodySize() > 0) m_sequence->Write(stream);
}

void CMmmgChunk::ReadBody(CMemStream& stream) {
  uint8_t byte1 = 0;
  stream.ReadByte(m_byte0).ReadByte(byte1);
  if (m_byte0 != 1) throw kErrRejected;
  while (!stream.AtEnd()) {
    uint32_t id = PeekChunkId(stream);
    if (id == CMmmgInfoChunk::kId) m_info = std::make_unique<CMmmgInfoChunk>(stream);
    else if (id == CMmmgVoiceChunk::kId) m_voice = std::make_unique<CMmmgVoiceChunk>(stream);
    else if (id == CMmmgSequenceChunk::kId) m_sequence = std::make_unique<CMmmgSequenceChunk>(stream);
    else SkipChunk(stream);
  }
}

}  // namespace velkgate

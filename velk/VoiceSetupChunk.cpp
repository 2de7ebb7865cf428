// The setup chunk "Mtsu" of a format-1/2 score track.
#include "velk/VoiceSetupChunk.h"

#include <algorithm>

#include "song/SmfDialect.h"
#include "velk/BodyScan.h"
#include "velk/VarLen.h"

namespace {

constexpr uint8_t kStartOfExclusive = 0xF0;
constexpr uint8_t kEndOfExclusive = 0xF7;
constexpr uint8_t kPackedTrack = 5;
constexpr uint8_t kPlainTrack = 6;

constexpr uint8_t kKindVoice = 1;
constexpr uint8_t kKindWave = 3;
constexpr uint8_t kKindSetting = 7;
constexpr uint8_t kKindBlock = 12;
constexpr uint8_t kKindSetting2 = 13;

// Bytes an entry's length counts besides its data: the four header bytes, the kind, the fixed
// fields of the kind and the closing F7.
constexpr uint32_t kVoiceFraming = 11;
constexpr uint32_t kWaveFraming = 8;
constexpr uint32_t kBlockFraming = 7;

constexpr uint8_t kVoiceKindFm = 0;
constexpr uint8_t kVoiceKindPcm = 1;
// Kind 13 is a value 0..15.
constexpr uint8_t kSetting2Limit = 16;

/// The next n bytes of the body, unpacked from 7-in-8 form when packed. Throws -48 when the
/// body holds fewer (checked before anything is allocated).
std::vector<uint8_t> ReadData(CMemStream& body, uint32_t n, bool packed) {
  if (n > body.RemainingBytes()) {
    body.Seek(2, 0);
    throw kErrEndOfData;
  }
  const uint8_t* data = body.GetCurrent();
  std::vector<uint8_t> out(packed ? UnpackedSize7In8(n) : n);
  if (packed) {
    Unpack7In8(data, n, out.data());
  } else {
    std::copy(data, data + n, out.begin());
  }
  body.Seek(1, static_cast<int32_t>(n));
  return out;
}

}  // namespace

CVoiceSetupChunk::CVoiceSetupChunk(CMemStream& stream, uint8_t trackNumber)
    : CSetupDataChunkBase(stream) {
  CMemStream body(GetBody(), static_cast<int32_t>(GetBodySize()), false);
  if (trackNumber == kPackedTrack) {
    ParseToEndOfBody([&] { ParseEntries7Bit(body); });
  } else if (trackNumber == kPlainTrack) {
    ParseToEndOfBody([&] { ParseEntries8Bit(body); });
  }
}

void CVoiceSetupChunk::ParseEntries7Bit(CMemStream& body) {
  while (!body.AtEnd()) {
    uint8_t first = 0;
    body.ReadByte(first);
    Entry entry{0, 0, true};
    ReadVarLen(body, entry.length);
    uint8_t header[4];
    body.Read(header, sizeof header);
    body.ReadByte(entry.kind);
    // The two middle header bytes are not checked on this track.
    if (header[0] == kDialectMakerId && header[3] == 0x7F) ReadEntry(body, entry);
    SkipPastByte(body, kEndOfExclusive);
  }
}

bool CVoiceSetupChunk::ParseEntries8Bit(CMemStream& body) {
  while (!body.AtEnd()) {
    if (body.PeekByte() != kStartOfExclusive) return false;
    uint8_t first = 0;
    body.ReadByte(first);
    Entry entry{0, 0, false};
    ReadVarLen(body, entry.length);
    uint8_t header[4];
    body.Read(header, sizeof header);
    body.ReadByte(entry.kind);
    bool counts =
        header[0] == kDialectMakerId && header[1] == 0x79 && header[2] == 0x07 && header[3] == 0x7F;
    bool goOn = true;
    if (counts && entry.kind >= kKindVoice && entry.kind <= kKindSetting2)
      goOn = ReadEntry(body, entry);
    SkipPastByte(body, kEndOfExclusive);
    if (!goOn) return false;
  }
  return true;
}

bool CVoiceSetupChunk::ReadEntry(CMemStream& body, const Entry& entry) {
  uint8_t value = 0;
  switch (entry.kind) {
    case kKindVoice:
      return ReadVoice(body, entry);
    case kKindWave:
      ReadWave(body, entry);
      break;
    case kKindBlock:
      ReadBlock(body, entry);
      break;
    case kKindSetting:
      body.ReadByte(m_setting[0]);
      break;
    case kKindSetting2:
      if (entry.packed) break;
      body.ReadByte(value);
      if (value < kSetting2Limit) m_setting[1] = value;
      break;
    default:
      break;
  }
  return true;
}

bool CVoiceSetupChunk::ReadVoice(CMemStream& body, const Entry& entry) {
  // A length too short for the framing would underflow: the entry is skipped to its F7.
  if (entry.length < kVoiceFraming) return true;
  uint8_t address[5];
  body.Read(address, sizeof address);
  uint8_t voiceKind = address[4];
  std::vector<uint8_t> data = ReadData(body, entry.length - kVoiceFraming, entry.packed);
  if (!entry.packed && voiceKind != kVoiceKindFm && voiceKind != kVoiceKindPcm) return false;
  if (m_voiceCount >= kMaxVoices) return true;
  auto item = std::make_unique<CVoiceItem>();
  item->SetBankMsb(address[0]);
  item->SetBankLsb(address[1]);
  item->SetProgram(address[2]);
  item->SetNote(address[3]);
  bool pcm = voiceKind != kVoiceKindFm;
  item->SetPcmFlag(pcm ? 1 : 0);
  SetVoiceBlocks(*item, pcm, data);
  m_voices[m_voiceCount++] = std::move(item);
  return true;
}

void CVoiceSetupChunk::SetVoiceBlocks(CVoiceItem& item, bool pcm,
                                      const std::vector<uint8_t>& data) const {
  size_t at = 0;
  // Only an item that says it has an extension block takes one from the front of the data.
  if (item.GetExtFlag()) {
    uint8_t ext[CVoiceItem::kExtSize] = {};
    at = std::min<size_t>(data.size(), CVoiceItem::kExtSize);
    std::copy(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(at), ext);
    item.SetExtBlock(ext);
  }
  // The blocks have fixed sizes: longer data is cut, shorter data leaves zeros.
  uint8_t block[CVoiceItem::kFmSize] = {};
  size_t blockSize = pcm ? CVoiceItem::kPcmSize : CVoiceItem::kFmSize;
  size_t n = std::min(data.size() - at, blockSize);
  std::copy(data.begin() + static_cast<std::ptrdiff_t>(at),
            data.begin() + static_cast<std::ptrdiff_t>(at + n), block);
  if (pcm) {
    item.SetPcmVoice(block);
  } else {
    item.SetFmVoice(block);
  }
}

void CVoiceSetupChunk::ReadWave(CMemStream& body, const Entry& entry) {
  if (entry.length < kWaveFraming) return;
  uint8_t id = 0;
  uint8_t format = 0;
  body.ReadByte(id).ReadByte(format);
  std::vector<uint8_t> data = ReadData(body, entry.length - kWaveFraming, entry.packed);
  if (id >= kWaveSlots) return;
  if (!m_waveSet[id]) ++m_waveCount;
  m_waveSet[id] = true;
  m_waves[id] = std::move(data);
  AttachWave(id, format);
}

void CVoiceSetupChunk::AttachWave(uint8_t id, uint8_t format) {
  // Only the voices read so far get the wave; a voice that comes after it stays without.
  const std::vector<uint8_t>& wave = m_waves[id];
  for (int i = 0; i < m_voiceCount; ++i) {
    CVoiceItem& item = *m_voices[i];
    if (!item.IsPcm() || item.GetWaveId() != id) continue;
    item.SetWaveHeaderId(id);
    item.SetWaveSamples(wave.data(), static_cast<uint32_t>(wave.size()));
    item.SetWaveHeaderFlags(format & 0x03);
  }
}

void CVoiceSetupChunk::ReadBlock(CMemStream& body, const Entry& entry) {
  if (entry.length < kBlockFraming) return;
  uint8_t index = 0;
  body.ReadByte(index);
  std::vector<uint8_t> data = ReadData(body, entry.length - kBlockFraming, entry.packed);
  // The block's size is 16-bit: a longer block could not be written back as it was read.
  if (index >= kBlockSlots || data.size() > 0xFFFF) return;
  auto block = std::make_unique<CNamedBlock>();
  block->SetData(data.data(), static_cast<uint32_t>(data.size()));
  m_blockData[index] = std::move(data);
  m_blocks[index] = std::move(block);
}

const CVoiceItem* CVoiceSetupChunk::GetVoice(int i) const {
  return i >= 0 && i < m_voiceCount ? m_voices[i].get() : nullptr;
}

const uint8_t* CVoiceSetupChunk::GetWave(int id) const {
  if (id < 0 || id >= kWaveSlots || !m_waveSet[id]) return nullptr;
  return m_waves[id].data();
}

uint32_t CVoiceSetupChunk::GetWaveSize(int id) const {
  if (id < 0 || id >= kWaveSlots) return 0;
  return static_cast<uint32_t>(m_waves[id].size());
}

const CNamedBlock* CVoiceSetupChunk::GetBlock(int i) const {
  return i >= 0 && i < kBlockSlots ? m_blocks[i].get() : nullptr;
}

const uint8_t* CVoiceSetupChunk::GetBlockData(int i) const {
  if (i < 0 || i >= kBlockSlots || !m_blocks[i]) return nullptr;
  return m_blockData[i].data();
}

uint32_t CVoiceSetupChunk::GetBlockSize(int i) const {
  return i >= 0 && i < kBlockSlots ? static_cast<uint32_t>(m_blockData[i].size()) : 0;
}

// The song-data dialect of Standard MIDI Files: header, device frame, packing and tempo rules.
#include "song/SmfDialect.h"

#include <cstring>

#include "song/MemStream.h"
#include "song/SmfStreamReaders.h"

// ---- Header --------------------------------------------------------------------------------

bool ReadSmfHeader(const uint8_t* image, uint32_t size, SmfHeader& out) {
  if (!image || size < kSmfHeaderSize) return false;
  if (std::memcmp(image, kSmfHeaderId, 4) != 0) return false;
  uint16_t format = GetBE16(image + 8);
  if (format > kDialectMaxFormat) return false;
  out.format = format;
  out.trackCount = GetBE16(image + 10);
  out.division = GetBE16(image + 12);
  return true;
}

void WriteSmfHeader(CMemStream& out, uint16_t format, uint16_t trackCount, uint16_t division) {
  out.Write(kSmfHeaderId, 4);
  out.WriteBE32(kSmfHeaderLength);
  out.WriteBE16(format);
  out.WriteBE16(trackCount);
  out.WriteBE16(division);
}

// ---- Meta events ---------------------------------------------------------------------------

bool IsValidTimeSignature(const uint8_t* data, uint32_t n) {
  if (!data || n < 2) return false;
  return data[0] >= 1 && data[0] <= 64 && data[1] >= 1 && data[1] <= 5;
}

bool IsValidKeySignature(const uint8_t* data, uint32_t n) {
  if (!data || n < 1) return false;
  int key = static_cast<int8_t>(data[0]);
  return key >= -7 && key <= 7;
}

// ---- Tempo ---------------------------------------------------------------------------------

namespace {

constexpr uint64_t kMinBpm = 20;
constexpr uint64_t kMaxBpm = 255;
constexpr uint32_t kSlowestQuarter = 3000000;  // 20 beats per minute
constexpr uint32_t kFastestQuarter = 235294;   // 255 beats per minute

// Rounded beats per minute of a quarter length; a zero length is taken as infinitely fast.
uint64_t BeatsPerMinute(uint64_t usPerQuarter) {
  if (usPerQuarter == 0) return UINT64_MAX;
  return (usPerQuarter / 2 + 60000000) / usPerQuarter;
}

}  // namespace

uint32_t ClampTickTempo(uint32_t usPerTick, uint32_t division, bool* clamped) {
  if (clamped) *clamped = false;
  if (division == 0) return usPerTick;
  uint64_t bpm = BeatsPerMinute(QuarterTempoOfTickTempo(usPerTick, division));
  uint32_t result = usPerTick;
  if (bpm < kMinBpm) {
    result = (division / 2 + kSlowestQuarter) / division;
  } else if (bpm > kMaxBpm) {
    result = (division / 2 + kFastestQuarter) / division;
  }
  if (clamped) *clamped = result != usPerTick;
  return result;
}

uint32_t ClampQuarterTempo(uint32_t usPerQuarter, bool* clamped) {
  uint64_t bpm = BeatsPerMinute(usPerQuarter);
  uint32_t result = usPerQuarter;
  if (bpm < kMinBpm) {
    result = kSlowestQuarter;
  } else if (bpm > kMaxBpm) {
    result = kFastestQuarter;
  }
  if (clamped) *clamped = result != usPerQuarter;
  return result;
}

// ---- Device messages -----------------------------------------------------------------------

bool ParseDialectMessage(const uint8_t* data, uint32_t size, DialectMessage& out) {
  if (!data || size < 5) return false;
  if (data[0] != kDialectMakerId || data[1] != kDialectModelId) return false;
  uint8_t device = data[2];
  if (device != kDialectDeviceId) {
    bool voiceForm = device == kDialectVoiceDeviceId && data[3] == kGroupDevice &&
                     data[4] == kDeviceVoice;
    if (!voiceForm) return false;
  }
  out.device = device;
  out.group = data[3];
  out.command = data[4];
  out.payload = data + 5;
  out.payloadSize = size - 5;
  if (out.payloadSize > 0 && out.payload[out.payloadSize - 1] == 0xF7) --out.payloadSize;
  return true;
}

std::vector<uint8_t> MakeDialectMessage(uint8_t group, uint8_t command, const uint8_t* payload,
                                        uint32_t n) {
  std::vector<uint8_t> event;
  event.reserve(n + 12);
  event.push_back(0xF0);
  AppendVarLen(event, n + kDialectFrameOverhead);
  event.insert(event.end(), {kDialectMakerId, kDialectModelId, kDialectDeviceId, group, command});
  if (n > 0) event.insert(event.end(), payload, payload + n);
  event.push_back(0xF7);
  return event;
}

std::vector<uint8_t> MakePackedDialectMessage(uint8_t group, uint8_t command, const uint8_t* head,
                                              uint32_t headSize, const uint8_t* plain, uint32_t n) {
  std::vector<uint8_t> payload(headSize + PackedSize7In8(n));
  if (headSize > 0) std::memcpy(payload.data(), head, headSize);
  if (n > 0) Pack7In8(plain, n, payload.data() + headSize);
  return MakeDialectMessage(group, command, payload.data(), static_cast<uint32_t>(payload.size()));
}

void WriteDialectMessage(CMemStream& out, const std::vector<uint8_t>& event) {
  out.Write(event.data(), static_cast<uint32_t>(event.size()));
}

uint32_t EncodeDialectTempo(uint32_t usPerQuarter, uint8_t (&groups)[4]) {
  uint32_t count = usPerQuarter > kTempoThreeGroupMax ? 4 : 3;
  for (uint32_t i = 0; i < count; ++i) {
    groups[i] = static_cast<uint8_t>((usPerQuarter >> (7 * (count - 1 - i))) & 0x7F);
  }
  return count;
}

std::vector<uint8_t> MakeTempoMessage(uint32_t usPerQuarter) {
  uint8_t groups[4];
  uint32_t count = EncodeDialectTempo(usPerQuarter, groups);
  return MakeDialectMessage(kGroupSong, kSongTempo, groups, count);
}

bool DecodeDialectTempo(const uint8_t* payload, uint32_t payloadSize, uint32_t messageLength,
                        uint32_t& usPerQuarter) {
  if (!payload || payloadSize == 0) return false;
  if (payload[0] & 0x80) {
    const uint8_t* p = payload;
    try {
      usPerQuarter = ReadVarLen(&p, payload + payloadSize);
    } catch (int) {
      return false;
    }
    return true;
  }
  uint32_t count = messageLength == 10 ? 4 : 3;
  if (payloadSize < count) return false;
  uint32_t value = 0;
  for (uint32_t i = 0; i < count; ++i) value = (value << 7) | (payload[i] & 0x7F);
  usPerQuarter = value;
  return true;
}

std::vector<uint8_t> MakeMasterVolumeMessage(uint8_t volume) {
  return MakeDialectMessage(kGroupDevice, kDeviceMasterVolume, &volume, 1);
}

// ---- 7-in-8 packing ------------------------------------------------------------------------

uint32_t Pack7In8(const uint8_t* bytes, uint32_t n, uint8_t* out) {
  uint32_t written = 0;
  for (uint32_t i = 0; i < n; i += 7) {
    uint32_t group = n - i < 7 ? n - i : 7;
    uint8_t header = 0;
    for (uint32_t k = 0; k < group; ++k) {
      // Bit 6 of the header carries bit 7 of the group's first byte, and so on down.
      if (bytes[i + k] & 0x80) header |= static_cast<uint8_t>(0x40 >> k);
    }
    out[written++] = header;
    for (uint32_t k = 0; k < group; ++k) out[written++] = bytes[i + k] & 0x7F;
  }
  return written;
}

uint32_t Unpack7In8(const uint8_t* bytes, uint32_t n, uint8_t* out) {
  uint32_t written = 0;
  for (uint32_t i = 0; i < n; i += 8) {
    uint32_t group = n - i < 8 ? n - i : 8;
    if (group < 2) break;  // a lone header byte carries no data
    uint8_t header = bytes[i];
    for (uint32_t k = 1; k < group; ++k) {
      uint8_t high = (header & (0x40 >> (k - 1))) ? 0x80 : 0;
      out[written++] = static_cast<uint8_t>((bytes[i + k] & 0x7F) | high);
    }
  }
  return written;
}

// The pre-scan of a song track: device messages into the tables, cue points into the region.
#include "plugins/polyscan/DeviceScanner.h"

#include <cstring>

#include "app/CnvParam.h"
#include "plugins/polyscan/CheckFailure.h"
#include "plugins/polyscan/TrackReader.h"
#include "song/SmfDialect.h"

namespace polyscan {

namespace {

// F0 len 43 79 06 7F cmd payload F7: the bytes before the payload, counted from the length.
constexpr uint32_t kDeviceHeader = 5;
constexpr uint8_t kSettingsGroup = 0x7F;

constexpr uint8_t kCmdVoice = 1;
constexpr uint8_t kCmdWave = 3;
constexpr uint8_t kCmdStreamWave = 5;
constexpr uint8_t kCmdStreamMode = 7;
constexpr uint8_t kCmdExtra = 12;
constexpr uint8_t kCmdReset = 127;

constexpr uint8_t kMetaCuePoint = 0x07;
constexpr uint8_t kMetaEndOfTrack = 0x2F;

constexpr uint8_t kContinuedBit = 0x20;
constexpr uint8_t kFormatMask = 0x03;

[[noreturn]] void Fail() { throw CheckFailure{CNVERR_FAILED}; }

// The payload must hold its fixed bytes and at least one byte of data: a message cut
// shorter than its frame carries nothing to place.
void RequireData(uint32_t size, uint32_t fixedBytes) {
  if (size <= fixedBytes) Fail();
}

bool TextIs(const uint8_t* text, uint32_t length, const char* word) {
  return length == std::strlen(word) && std::memcmp(text, word, length) == 0;
}

}  // namespace

void DeviceScanner::ScanDeviceSysEx(const uint8_t* track, size_t size) {
  TrackReader reader(track, size);
  while (!reader.AtEnd()) {
    TrackEvent ev = reader.Next();
    if (ev.status == 0xF0) {
      OnSysEx(ev.body, ev.length);
    } else if (ev.status == 0xFF && ev.metaType == kMetaCuePoint) {
      OnCuePoint(ev.body, ev.length, reader.Offset());
    } else if (ev.status == 0xFF && ev.metaType == kMetaEndOfTrack) {
      return;
    }
  }
  Fail();  // a track without its end-of-track event was cut short
}

void DeviceScanner::OnCuePoint(const uint8_t* text, uint32_t length, size_t offsetAfter) {
  if (TextIs(text, length, "START")) m_tables.regionStart = offsetAfter;
  if (TextIs(text, length, "STOP")) m_tables.regionEnd = offsetAfter;
}

void DeviceScanner::OnSysEx(const uint8_t* body, uint32_t length) {
  if (length < kDeviceHeader || body[0] != kDialectMakerId || body[1] != 0x79 ||
      body[2] != 0x06 || body[3] != kSettingsGroup) {
    return;
  }
  uint8_t command = body[4];
  // The payload runs from after the command up to the closing F7, which the length counts.
  uint32_t size = length > kDeviceHeader ? length - kDeviceHeader - 1 : 0;
  const uint8_t* payload = body + kDeviceHeader;
  switch (command) {
    case kCmdVoice: AddVoice(payload, size); break;
    case kCmdWave: AddWave(payload, size); break;
    case kCmdStreamWave: AddStreamWave(payload, size); break;
    case kCmdStreamMode: SetStreamMode(payload, size); break;
    case kCmdExtra: AddExtra(payload, size); break;
    case kCmdReset: m_tables.deviceReset = true; break;
    default: break;
  }
}

void DeviceScanner::AddVoice(const uint8_t* payload, uint32_t size) {
  // MSB, LSB, program, key, type, then the packed voice block (SysEx length - 11 bytes).
  RequireData(size, 5);
  uint8_t type = payload[4];
  if (type != 0 && type != 1) return;
  if (m_tables.voices.size() >= kMaxVoiceDefs) Fail();
  VoiceDef v;
  v.kind = type == 0 ? VoiceKind::Fm : VoiceKind::Pcm;
  v.msb = payload[0];
  v.lsb = payload[1];
  v.program = payload[2];
  v.key = payload[3];
  v.data = payload + 5;
  v.length = size - 5;
  m_tables.voices.push_back(v);
}

void DeviceScanner::AddWave(const uint8_t* payload, uint32_t size) {
  RequireData(size, 2);
  if (m_tables.waves.size() >= kMaxWaves) Fail();
  WaveBlock w{payload[0], (payload[1] & kContinuedBit) != 0,
              static_cast<uint8_t>(payload[1] & kFormatMask), payload + 2, size - 2};
  m_tables.waves.push_back(w);
}

void DeviceScanner::AddStreamWave(const uint8_t* payload, uint32_t size) {
  RequireData(size, 2);
  WaveBlock w{payload[0], (payload[1] & kContinuedBit) != 0,
              static_cast<uint8_t>(payload[1] & kFormatMask), payload + 2, size - 2};
  if (w.format == 1 || w.id >= kStreamIdLimit) Fail();
  if (m_tables.streamWaves.size() >= kMaxStreamWaves) Fail();
  m_tables.streamWaves.push_back(w);
  if (w.continued) return;
  // The last block of a stream wave makes its id playable as a stream key.
  if (m_tables.voices.size() >= kMaxVoiceDefs) Fail();
  VoiceDef key;
  key.kind = VoiceKind::StreamKey;
  key.streamId = w.id;
  m_tables.voices.push_back(key);
}

void DeviceScanner::AddExtra(const uint8_t* payload, uint32_t size) {
  RequireData(size, 1);
  if (m_tables.extras.size() >= kMaxExtras) Fail();
  m_tables.extras.push_back(ExtraData{payload[0], payload + 1, size - 1});
}

void DeviceScanner::SetStreamMode(const uint8_t* payload, uint32_t size) {
  if (size < 1) Fail();
  m_tables.streamMode = payload[0];
}

}  // namespace polyscan

// What the pre-scan collects from a song's device messages: voices, waves, stream waves, extras.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace polyscan {

enum class VoiceKind : uint8_t { Fm = 0, Pcm = 1, StreamKey = 4 };

inline constexpr uint16_t kNoAddress = 0x8000;  // a voice or wave not placed in chip RAM
inline constexpr uint8_t kMelodyBank = 0x7C;
inline constexpr uint8_t kDrumBank = 0x7D;

inline constexpr size_t kMaxVoiceDefs = 256;
inline constexpr size_t kMaxWaves = 16;
inline constexpr size_t kMaxStreamWaves = 128;
inline constexpr size_t kMaxExtras = 3;
inline constexpr int kWaveIds = 128;
inline constexpr int kStreamIdLimit = 50;  // stream ids run 1..49

/// A voice definition. Melody entries are keyed {MSB, LSB, program}, drum entries (MSB 0x7D)
/// {program, key}. The data points into the song: 7-in-8 packed bytes of the SysEx.
struct VoiceDef {
  VoiceKind kind = VoiceKind::Fm;
  uint8_t streamId = 0;
  uint8_t msb = 0;
  uint8_t lsb = 0;
  uint8_t program = 0;
  uint8_t key = 0;
  uint16_t ramAddress = kNoAddress;
  const uint8_t* data = nullptr;
  uint32_t length = 0;
};

/// A block of a wave (command 3) or a stream wave (command 5); blocks of one id with the
/// continued flag set are joined with the blocks after them.
struct WaveBlock {
  uint8_t id = 0;
  bool continued = false;
  uint8_t format = 0;
  const uint8_t* data = nullptr;
  uint32_t length = 0;
};

struct ExtraData {
  uint8_t kind = 0;
  const uint8_t* data = nullptr;
  uint32_t length = 0;
};

struct SongTables {
  std::vector<VoiceDef> voices;
  std::vector<WaveBlock> waves;
  std::vector<WaveBlock> streamWaves;
  std::vector<ExtraData> extras;
  std::array<uint16_t, kWaveIds> waveAddress{};  // filled by the RAM placement
  std::optional<uint8_t> streamMode;              // command 7, when the song gives one
  bool deviceReset = false;                       // command 127: default banks, 16 FM voices
  std::optional<size_t> regionStart;              // track offset after the last "START" cue
  std::optional<size_t> regionEnd;                // track offset after the last "STOP" cue

  /// True when a stream-key entry exists for the id.
  bool HasStreamKey(int id) const;
  /// Number of ids 1..49 with a stream-key entry.
  int CountStreamKeys() const;
};

}  // namespace polyscan

// The song-data dialect of Standard MIDI Files: header rules, the device message frame,
// the 7-in-8 packing and the tempo rules that every reader and writer of the dialect shares.
#pragma once

#include <cstdint>
#include <vector>

class CMemStream;

// ---- Header and chunks --------------------------------------------------------------------

inline constexpr uint8_t kSmfHeaderId[4] = {'M', 'T', 'h', 'd'};
inline constexpr uint8_t kSmfTrackId[4] = {'M', 'T', 'r', 'k'};
/// "MThd", 32-bit length 6, format, track count, division.
inline constexpr uint32_t kSmfHeaderSize = 14;
inline constexpr uint32_t kSmfHeaderLength = 6;
/// Id and 32-bit length in front of every chunk body.
inline constexpr uint32_t kSmfChunkHeaderSize = 8;
/// Readers take formats 0 and 1; the writer produces format 0 with one track.
inline constexpr uint16_t kDialectMaxFormat = 1;
/// Ticks per quarter note of a new song.
inline constexpr uint16_t kDefaultDivision = 480;

struct SmfHeader {
  uint16_t format = 0;
  uint16_t trackCount = 0;
  uint16_t division = 0;
};

/// Reads the 14-byte header. False when the image is shorter, lacks "MThd" or its format is
/// above kDialectMaxFormat. The division is a plain tick count (no time-code form).
bool ReadSmfHeader(const uint8_t* image, uint32_t size, SmfHeader& out);
/// Writes "MThd", 6, format, track count, division.
void WriteSmfHeader(CMemStream& out, uint16_t format, uint16_t trackCount, uint16_t division);

// ---- Meta events ---------------------------------------------------------------------------

inline constexpr uint8_t kMetaText = 0x01;
inline constexpr uint8_t kMetaCopyright = 0x02;
inline constexpr uint8_t kMetaMarker = 0x06;
inline constexpr uint8_t kMetaCuePoint = 0x07;
inline constexpr uint8_t kMetaEndOfTrack = 0x2F;
inline constexpr uint8_t kMetaTempo = 0x51;
inline constexpr uint8_t kMetaTimeSignature = 0x58;
inline constexpr uint8_t kMetaKeySignature = 0x59;
inline constexpr uint8_t kMetaSequencerSpecific = 0x7F;

/// FF 58 04 04 02 18 08: written when a song has no time signature at tick 0.
inline constexpr uint8_t kDefaultTimeSignatureMeta[7] = {0xFF, 0x58, 0x04, 0x04, 0x02, 0x18, 0x08};

/// A time signature the reader keeps: numerator 1..64, denominator power 1..5.
bool IsValidTimeSignature(const uint8_t* data, uint32_t n);
/// A key signature the reader keeps: key -7..7.
bool IsValidKeySignature(const uint8_t* data, uint32_t n);

// ---- Tempo ---------------------------------------------------------------------------------

/// FF 51 carries microseconds per TICK in this dialect; this is the value when a file has none.
inline constexpr uint32_t kDefaultTickTempo = 1042;
/// Microseconds per quarter note of the default tempo message.
inline constexpr uint32_t kDefaultQuarterTempo = 500000;
/// The largest tempo the three-group form of the device tempo can carry.
inline constexpr uint32_t kTempoThreeGroupMax = 0x1FFFFF;

/// Microseconds per quarter of an FF 51 value at a division (64-bit: both may be large).
constexpr uint64_t QuarterTempoOfTickTempo(uint32_t usPerTick, uint32_t division) {
  return uint64_t{usPerTick} * division;
}

/// Clamps an FF 51 value (microseconds per tick) so that the rate at the division stays within
/// 20..255 beats per minute. A zero tempo counts as too fast; a zero division leaves the value
/// as it is (no tick length can be derived). `clamped` is set when the value changed.
uint32_t ClampTickTempo(uint32_t usPerTick, uint32_t division, bool* clamped);
/// The same rule for a device tempo in microseconds per quarter (3000000 / 235294 at the limits).
uint32_t ClampQuarterTempo(uint32_t usPerQuarter, bool* clamped);

// ---- Device messages: F0 len 43 79 06 group command payload F7 -----------------------------

/// The maker byte of every device message of the dialect (F0 len 43 79 06 ...) and of its
/// sequencer-specific metas (FF 7F len 43 7B ...).
inline constexpr uint8_t kDialectMakerId = 0x43;
inline constexpr uint8_t kDialectModelId = 0x79;
inline constexpr uint8_t kDialectDeviceId = 0x06;
/// A voice definition (7F 01) is also accepted with 43 79 07.
inline constexpr uint8_t kDialectVoiceDeviceId = 0x07;

inline constexpr uint8_t kGroupSong = 0x7D;    // song records
inline constexpr uint8_t kGroupDevice = 0x7F;  // device settings and sound data

// Group 7D commands.
inline constexpr uint8_t kSongContentsHeader = 0x01;  // packed: class, type, code, option 1, 2
inline constexpr uint8_t kSongChannelStatus = 0x02;   // packed: 16 channel status bytes
inline constexpr uint8_t kSongContentsTexts = 0x03;   // packed: "Dch" chunks of tagged texts
inline constexpr uint8_t kSongLastText = 0x04;        // packed: the last contents text
inline constexpr uint8_t kSongTempo = 0x10;           // microseconds per quarter, 7-bit groups

// Group 7F commands.
inline constexpr uint8_t kDeviceMasterVolume = 0x00;
inline constexpr uint8_t kDeviceVoice = 0x01;        // MSB, LSB, program, note, kind, packed block
inline constexpr uint8_t kDeviceWave = 0x03;         // wave id, flags, packed wave bytes
inline constexpr uint8_t kDeviceStreamWave = 0x05;   // slot, flags, packed (rate + bytes)
inline constexpr uint8_t kDeviceSetupMode = 0x07;    // 0..2
inline constexpr uint8_t kDeviceStreamPair = 0x08;   // kind, slot a, slot b
inline constexpr uint8_t kDeviceStreamSwitch = 0x09; // 0 or 1
inline constexpr uint8_t kDeviceStreamSlot = 0x0B;   // slot, value 0..2, value
inline constexpr uint8_t kDeviceUserWave = 0x0C;     // index 0..31, packed data
inline constexpr uint8_t kDeviceSongValue = 0x10;    // 0..15
inline constexpr uint8_t kDeviceGroupVoices = 0x20;  // 4-byte voice entries of a channel group

/// Bytes the length of a device message counts besides its payload: 43 79 06 group cmd .. F7.
inline constexpr uint32_t kDialectFrameOverhead = 6;
/// Wave and stream-PCM data go in blocks of at most this many plain bytes.
inline constexpr uint32_t kMaxDataBlockBytes = 3500;
/// Flags bit of a wave or stream block that is not the last.
inline constexpr uint8_t kBlockContinues = 0x20;
/// Flags bits 0-1: the wave format of a wave or stream block.
inline constexpr uint8_t kBlockFormatMask = 0x03;
/// A song holds at most this many voice definitions.
inline constexpr uint32_t kMaxVoiceDefinitions = 128;
/// Bank MSBs of user voices: melodic and drum.
inline constexpr uint8_t kBankMelody = 0x7C;
inline constexpr uint8_t kBankDrum = 0x7D;

/// One recognised device message inside the data of a SysEx event.
struct DialectMessage {
  uint8_t device = 0;  // 06, or 07 for the voice definition's other form
  uint8_t group = 0;
  uint8_t command = 0;
  const uint8_t* payload = nullptr;  // after the command byte
  uint32_t payloadSize = 0;          // without the closing F7
};

/// Recognises a device message in the data of a SysEx (the bytes after F0 and its length).
/// True for 43 79 06 with a group and command byte (any group), and for 43 79 07 7F 01.
bool ParseDialectMessage(const uint8_t* data, uint32_t size, DialectMessage& out);

/// The whole event: F0, VLQ length, 43 79 06, group, command, payload, F7.
std::vector<uint8_t> MakeDialectMessage(uint8_t group, uint8_t command, const uint8_t* payload,
                                        uint32_t n);
/// As MakeDialectMessage with `head` plain bytes followed by `n` bytes packed 7-in-8.
std::vector<uint8_t> MakePackedDialectMessage(uint8_t group, uint8_t command, const uint8_t* head,
                                              uint32_t headSize, const uint8_t* plain, uint32_t n);
/// Writes the event bytes of MakeDialectMessage to a stream.
void WriteDialectMessage(CMemStream& out, const std::vector<uint8_t>& event);

/// Tempo value groups: three for values up to kTempoThreeGroupMax, else four. Returns the count.
uint32_t EncodeDialectTempo(uint32_t usPerQuarter, uint8_t (&groups)[4]);
/// F0 09 43 79 06 7D 10 a b c F7, or F0 0A ... with four groups above 0x1FFFFF.
std::vector<uint8_t> MakeTempoMessage(uint32_t usPerQuarter);
/// The tempo of a 7D 10 payload. messageLength is the SysEx length field: 10 means four groups,
/// any other three; a first byte with bit 7 set starts a variable-length number instead.
/// False when the payload is too short for its form.
bool DecodeDialectTempo(const uint8_t* payload, uint32_t payloadSize, uint32_t messageLength,
                        uint32_t& usPerQuarter);
/// F0 07 43 79 06 7F 00 vv F7.
std::vector<uint8_t> MakeMasterVolumeMessage(uint8_t volume);

// ---- 7-in-8 packing ------------------------------------------------------------------------

/// Packed size of n plain bytes: 8 per whole group of 7, plus r + 1 for a rest of r.
constexpr uint32_t PackedSize7In8(uint32_t n) { return (n / 7) * 8 + (n % 7 ? n % 7 + 1 : 0); }
/// Plain size of m packed bytes: 7 per whole group of 8, plus (m mod 8) - 1 for a rest.
constexpr uint32_t UnpackedSize7In8(uint32_t m) { return (m / 8) * 7 + (m % 8 ? m % 8 - 1 : 0); }

/// Packs n bytes into out (PackedSize7In8(n) bytes) and returns the packed size.
uint32_t Pack7In8(const uint8_t* bytes, uint32_t n, uint8_t* out);
/// Unpacks n packed bytes into out (UnpackedSize7In8(n) bytes) and returns the plain size.
uint32_t Unpack7In8(const uint8_t* bytes, uint32_t n, uint8_t* out);

// ---- Order of the writer's records at tick 0 -----------------------------------------------

/// What the writer puts at tick 0 before the song's own events, declared in the order written.
enum class DialectHeaderRecord : uint8_t {
  kTickTempo,           // FF 51 with the stored tempo per tick, the very first event
  kContentsHeader,      // 7D 01
  kChannelStatus,       // 7D 02
  kContentsTexts,       // 7D 03, when any contents item exists
  kLastText,            // 7D 04, when its text is not empty
  kMasterVolume,        // 7F 00, not for output kinds 1 and 6
  kVoices,              // 7F 01 for every defined voice
  kWaves,               // 7F 03 wave blocks
  kStreamWaves,         // 7F 05 stream blocks
  kSetupMode,           // 7F 07
  kStreamSlots,         // 7F 0B per stream slot
  kUserWaves,           // 7F 0C per used FM user wave
  kChannelVolumes,      // Bn 07 vv for channels whose volume is set
  kDefaultTempo,        // when the song has no 7D 10 at tick 0
  kDefaultTimeSignature // when the song has no time signature at tick 0
};

// The AIFF reader: parses a whole ".aif" image in memory and converts its samples into the
// chip's formats, and expands chip samples to 16-bit for the wave holder.
#pragma once

#include <cstddef>
#include <cstdint>

/// Conversions return the bytes produced or a negative code: -1 not an accepted AIFF form,
/// -2 a chunk runs past the end of the image. Writes beyond the output room are dropped and
/// nothing is ever read outside the image.
class CWaveFileReader {
 public:
  static constexpr uint32_t kSixteenBit = 0x1;
  static constexpr uint32_t kStereo = 0x2;
  static constexpr uint32_t kFailed = 0x80000000;
  static constexpr int32_t kNotAiff = -1;
  static constexpr int32_t kTruncated = -2;

  CWaveFileReader() = default;

  /// Zeroes the caller's three loop words {reserved, loop start, loop end} and sets the base
  /// note to 60.
  void Setup(const uint8_t* image, uint32_t size, uint8_t* output, uint32_t room, uint32_t* loop);

  /// Starts writing at `output` again with `room` bytes; the loop record stays.
  void ResetOutput(uint8_t* output, uint32_t room);

  /// 0 with the cursor on the first sample byte, or kNotAiff / kTruncated.
  int32_t ReadAiffFile();
  /// kSixteenBit and kStereo bits; kFailed when the parse fails or the file is neither mono nor
  /// stereo of 8 or 16 bits. The cursor is kept.
  uint32_t Classify();

  int32_t Mono16ToAdpcm();
  /// Channel 0 left, 1 right.
  int32_t Stereo16ToAdpcmChannel(int channel);
  /// Frame k in byte k: left code in the low nibble, right in the high nibble.
  int32_t Stereo16ToAdpcm();
  /// The sample bytes as they stand (big-endian).
  int32_t Mono16To16();
  int32_t Mono16To8();
  int32_t Stereo16To8Channel(int channel);
  int32_t Stereo16To8();
  int32_t Mono8To8();
  int32_t Stereo8To8Channel(int channel);
  int32_t Stereo8To8();

  /// The set-up image taken as ADPCM codes, decoded to big-endian 16-bit: 4 x size bytes.
  int32_t ExpandAdpcmTo16();
  /// The set-up image taken as signed 8-bit samples, times 256, big-endian: 2 x size bytes.
  int32_t Expand8To16();

  /// Sample rate x 2^((60 - base note) / 12), truncated; false when that is not a finite value
  /// within 0..4294967295 Hz.
  bool GetPitchCorrectedRate(uint32_t& rate) const;

  uint16_t GetChannels() const { return m_channels; }
  uint32_t GetSampleFrames() const { return m_frames; }
  uint16_t GetSampleSize() const { return m_sampleSize; }
  double GetSampleRate() const { return m_sampleRate; }
  uint16_t GetBaseNote() const { return m_baseNote; }
  uint32_t GetResultSize() const { return m_resultSize; }

 private:
  bool Has(uint64_t at, uint64_t n) const { return at <= m_size && n <= m_size - at; }
  uint16_t BE16(uint64_t at) const;
  uint32_t BE32(uint64_t at) const;
  int32_t ReadChunk(int64_t& left);
  void ReadComm(uint64_t at);
  int32_t ReadMarkers(uint64_t at, uint32_t size);
  int32_t ReadSoundData();
  /// The frames the conversion may read: COMM's count, cut to what the SSND body holds.
  uint32_t FramesPresent(uint32_t frameBytes) const;
  int16_t Sample16(uint32_t frame, uint32_t frameBytes, uint32_t offset) const;
  int32_t Encode(uint32_t frames, uint32_t frameBytes, uint32_t offset);
  int32_t EncodeStereo(uint32_t frames);
  void Put(uint8_t byte);
  int32_t Finish(int64_t result, int64_t loopDefault);

  const uint8_t* m_image = nullptr;
  uint64_t m_size = 0;
  uint64_t m_cursor = 0;
  uint8_t* m_output = nullptr;
  uint32_t m_room = 0;
  uint32_t* m_loop = nullptr;
  uint32_t m_resultSize = 0;
  uint16_t m_channels = 0;
  uint32_t m_frames = 0;
  uint16_t m_sampleSize = 0;
  double m_sampleRate = 0;
  uint16_t m_baseNote = 60;
  uint64_t m_ssndAt = 0;
  uint32_t m_ssndSize = 0;
  bool m_ssndSeen = false;
};

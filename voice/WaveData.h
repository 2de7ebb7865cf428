// The wave holder: one sound in a chip format, loaded from ".wav" or ".aif" files.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

class CRiffWaveReader;
class CWaveFileReader;

/// Sample kinds: 0 4-bit ADPCM, 2 8-bit unsigned, 3 8-bit signed, 100 16-bit.
class CWaveData {
 public:
  static constexpr uint8_t kAdpcm = 0;
  static constexpr uint8_t kPcm8Unsigned = 2;
  static constexpr uint8_t kPcm8Signed = 3;
  static constexpr uint8_t kPcm16 = 100;
  static constexpr uint32_t kUserWaveBytes = 2048;

  // Load result codes.
  static constexpr uint32_t kTwoChannels = 1;
  static constexpr uint32_t kNotSupported = 2;
  static constexpr uint32_t kBadExtension = 3;
  static constexpr uint32_t kFileError = 4;

  CWaveData() = default;
  virtual ~CWaveData() = default;
  CWaveData(const CWaveData&) = delete;
  CWaveData& operator=(const CWaveData&) = delete;

  /// Loads a ".wav" or ".aif" file as 4-bit ADPCM (bits 4) or 8-bit PCM (bits 8). False with
  /// *result 2 (format not supported or nothing converted), 3 (extension) or 4 (unreadable).
  bool Load(const std::string& path, int bits, uint32_t* result = nullptr);
  /// Loads a mono 16-bit file as exactly 2048 bytes of kind 100, big-endian whatever the file's
  /// byte order (the order of FM user waves), padded with zeros or cut. False with *result 1 (two channels), 2 (not 16-bit), 3 or 4.
  bool LoadFor16Bit(const std::string& path, uint32_t* result = nullptr);

  /// Frees the channel's buffer and keeps a copy of `size` bytes (none for 0).
  void SetChannel(const uint8_t* data, uint32_t size, int channel);
  /// Channel 0 and the kind; false (holder unchanged) for a size above 65535.
  bool SetData(const uint8_t* data, uint32_t size, uint8_t kind);

  const uint8_t* GetSamples(int channel) const;
  uint32_t GetSampleBytes(int channel) const;
  uint8_t GetKind() const { return m_kind; }
  uint8_t GetChannels() const { return m_channels; }
  uint32_t GetRate() const { return m_rate; }
  uint32_t GetReserved() const { return m_reserved; }
  uint32_t GetLoopStart() const { return m_loopStart; }
  uint32_t GetLoopEnd() const { return m_loopEnd; }

  /// Frees both buffers: kind 0, rate 0, channels 1; the loop stays.
  void Clear();
  /// Channel 0 becomes big-endian 16-bit samples, the loop its byte size; kind, rate and
  /// channel 1 stay. False when channel 0 is empty or of another kind.
  bool ExpandTo16Bit();

 private:
  enum class FileKind { Aiff, Wav, Other };
  static FileKind KindOf(const std::string& path);
  /// Clears, loads and, on failure, clears again and stores the code in *result.
  bool LoadReporting(const std::string& path, int bits, bool userWave, uint32_t* result);
  uint32_t LoadFile(const std::string& path, int bits, bool userWave);
  uint32_t LoadAiff(const uint8_t* image, uint32_t size, uint8_t* out, int bits, bool userWave);
  uint32_t LoadWav(const std::string& path, uint32_t room, uint8_t* out, int bits, bool userWave);
  /// Channel 0, and channel 1 for stereo in chip mode 3; the bytes of channel 0, 0 (or less)
  /// when nothing was converted.
  int32_t ConvertAiffChannels(CWaveFileReader& reader, bool sixteen, bool stereo, int bits,
                              uint8_t* out, uint32_t room);
  uint32_t ConvertWavChannels(CRiffWaveReader& reader, int bits, uint8_t* out, uint32_t room);
  /// Channel `channel` := the first `produced` output bytes, when there are any.
  template <typename Count>
  Count Keep(const uint8_t* out, Count produced, int channel);
  void KeepUserWave(const uint8_t* bytes, uint32_t size);

  uint8_t m_kind = kAdpcm;
  uint32_t m_rate = 0;
  uint32_t m_reserved = 0;
  uint32_t m_loopStart = 0;
  uint32_t m_loopEnd = 0;
  uint32_t m_sizes[2] = {0, 0};
  std::unique_ptr<uint8_t[]> m_buffers[2];
  uint8_t m_channels = 1;
};

// The WAV reader: descends a RIFF "WAVE" file to its "fmt " and "data" chunks and converts
// PCM samples into the chip's formats.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

/// Conversions return the bytes produced, or 0 on failure with kReadFailed (unreadable data,
/// a sample size other than the conversion's, no memory) or kBufferTooSmall in *result.
/// Channel selectors: 1 left, 2 right, 3 both (interleaved).
class CRiffWaveReader {
 public:
  static constexpr uint32_t kReadFailed = 0x80000000;
  static constexpr uint32_t kBufferTooSmall = 0x80000001;

  CRiffWaveReader() = default;
  ~CRiffWaveReader();
  CRiffWaveReader(const CRiffWaveReader&) = delete;
  CRiffWaveReader& operator=(const CRiffWaveReader&) = delete;

  /// True for a RIFF "WAVE" file with a PCM "fmt " chunk (tag 1, at least 16 bytes) and a
  /// "data" chunk; the position is then the first data byte. Otherwise the file is closed.
  bool Open(const std::string& path);
  /// Goes back to the first byte of the "data" chunk; false (file closed) when there is none.
  bool FindData();
  /// Reads up to n bytes of the data chunk from the current position; 0 outside it.
  uint32_t Read(uint8_t* buffer, uint32_t n);
  void Close();

  uint16_t GetChannels() const { return m_format.channels; }
  uint16_t GetBitsPerSample() const { return m_format.bitsPerSample; }
  uint32_t GetDataSize() const { return m_data.size; }
  uint32_t GetSampleRate() const { return m_format.samplesPerSec; }
  uint32_t GetReserved() const { return m_reserved; }
  uint32_t GetLoopStart() const { return m_loopStart; }
  uint32_t GetLoopEnd() const { return m_loopEnd; }

  uint32_t Mono16ToAdpcm(uint8_t* out, uint32_t capacity, uint32_t* result = nullptr);
  uint32_t Stereo16ToAdpcm(int channel, uint8_t* out, uint32_t capacity, uint32_t* result = nullptr);
  /// The bytes as they stand (little-endian); the loop is left alone.
  uint32_t Mono16To16(uint8_t* out, uint32_t capacity, uint32_t* result = nullptr);
  uint32_t Mono16To8(uint8_t* out, uint32_t capacity, uint32_t* result = nullptr);
  uint32_t Stereo16To8(int channel, uint8_t* out, uint32_t capacity, uint32_t* result = nullptr);
  uint32_t Mono8To8(uint8_t* out, uint32_t capacity, uint32_t* result = nullptr);
  uint32_t Stereo8To8(int channel, uint8_t* out, uint32_t capacity, uint32_t* result = nullptr);

 private:
  struct WaveFormat {
    uint16_t formatTag = 0;
    uint16_t channels = 0;
    uint32_t samplesPerSec = 0;
    uint32_t avgBytesPerSec = 0;
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 0;
  };
  struct ChunkInfo {
    uint32_t id = 0;
    uint32_t size = 0;
    uint32_t formType = 0;
    uint64_t dataOffset = 0;
    uint32_t flags = 0;
  };

  bool ReadAt(uint64_t at, uint8_t* buffer, size_t n);
  /// Walks the chunks in [from, end) for `id`.
  bool Descend(ChunkInfo& chunk, uint32_t id, uint64_t from, uint64_t end);
  bool ReadFormat();
  uint64_t RiffEnd() const;
  /// The whole data chunk from the current position, with `pad` zero bytes after it for a
  /// half-sample or a frame cut short; false (code stored) when it is not all there.
  bool ReadSamples(uint16_t bits, uint32_t pad, std::vector<uint8_t>& bytes, uint32_t* result);
  uint32_t Deliver(const std::vector<uint8_t>& produced, uint32_t needed, uint8_t* out,
                   uint32_t capacity, uint32_t* result);
  void SetLoop(uint32_t value) { m_loopStart = m_loopEnd = value; }

  std::FILE* m_file = nullptr;
  uint64_t m_fileSize = 0;
  uint64_t m_dataStart = 0;
  uint64_t m_position = 0;
  WaveFormat m_format;
  ChunkInfo m_riff;
  ChunkInfo m_fmt;
  ChunkInfo m_data;
  uint32_t m_reserved = 0;
  uint32_t m_loopStart = 0;
  uint32_t m_loopEnd = 0;
};

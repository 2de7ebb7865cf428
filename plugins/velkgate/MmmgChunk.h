// "MMMG" and its children "INFO", "VOIC" and "SEQU": read and written back, never used.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "song/Chunk.h"

namespace velkgate {

class CMmmgInfoChunk : public CChunk {
 public:
  static constexpr uint32_t kId = MakeChunkId('I', 'N', 'F', 'O');
  static constexpr uint32_t kMaxText = 255;

  explicit CMmmgInfoChunk(CMemStream& stream) : CChunk(kId) { Read(stream); }
  void WriteBody(CMemStream& stream) override;
  void ReadBody(CMemStream& stream) override;
  const std::string& GetText() const { return m_text; }

 private:
  std::string m_text;
};

class CMmmgVoiceChunk : public CChunk {
 public:
  static constexpr uint32_t kId = MakeChunkId('V', 'O', 'I', 'C');

  explicit CMmmgVoiceChunk(CMemStream& stream) : CChunk(kId) { Read(stream); }
  void WriteBody(CMemStream& stream) override;
  /// An empty "DEVO" body throws -48.
  void ReadBody(CMemStream& stream) override;

  bool HasDeviceByte() const { return m_hasDevice; }
  uint8_t GetDeviceByte() const { return m_device; }
  /// The data of each kept "EXVO" (after FF F0 len 43 04 01, without the closing F7).
  const std::vector<std::vector<uint8_t>>& GetVoices() const { return m_voices; }

 private:
  void ReadVoice(CMemStream& stream);

  bool m_hasDevice = false;
  uint8_t m_device = 0;
  std::vector<std::vector<uint8_t>> m_voices;
};

class CMmmgSequenceChunk : public CChunk {
 public:
  static constexpr uint32_t kId = MakeChunkId('S', 'E', 'Q', 'U');

  explicit CMmmgSequenceChunk(CMemStream& stream) : CChunk(stream) {}
};

class CMmmgChunk : public CChunk {
 public:
  static constexpr uint32_t kId = MakeChunkId('M', 'M', 'M', 'G');
  /// Byte 1 is taken as this, whatever the file holds.
  static constexpr uint8_t kByte1 = 20;

  /// Throws -1 when byte 0 is not 1, -48 when truncated, -108 without memory.
  explicit CMmmgChunk(CMemStream& stream);
  ~CMmmgChunk() override;

  void WriteBody(CMemStream& stream) override;
  void ReadBody(CMemStream& stream) override;

  CMmmgInfoChunk* GetInfo() const { return m_info.get(); }
  CMmmgVoiceChunk* GetVoice() const { return m_voice.get(); }
  CMmmgSequenceChunk* GetSequence() const { return m_sequence.get(); }

 private:
  uint8_t m_byte0 = 1;
  std::unique_ptr<CMmmgInfoChunk> m_info;
  std::unique_ptr<CMmmgVoiceChunk> m_voice;
  std::unique_ptr<CMmmgSequenceChunk> m_sequence;
};

}  // namespace velkgate

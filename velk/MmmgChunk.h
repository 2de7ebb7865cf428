// The "MMMG" chunk with its "INFO" and "SEQU" children: read so such files load quietly,
// never written into a VELK file.
#pragma once

#include <cstdint>
#include <memory>

#include "song/MemStream.h"
#include "song/Chunk.h"
#include "velk/MmmgVoiceChunk.h"

inline constexpr uint32_t kIdMMMG = MakeChunkId('M', 'M', 'M', 'G');
inline constexpr uint32_t kIdINFO = MakeChunkId('I', 'N', 'F', 'O');
inline constexpr uint32_t kIdSEQU = MakeChunkId('S', 'E', 'Q', 'U');

/// "INFO": up to 255 bytes of text.
class CMmmgInfoChunk : public CChunk {
 public:
  static constexpr uint32_t kMaxText = 255;

  /// Keeps the first 255 body bytes.
  explicit CMmmgInfoChunk(CMemStream& stream);
  /// The kept text up to its first zero byte.
  void WriteBody(CMemStream& stream) override;

  const char* GetText() const { return m_text; }

 private:
  char m_text[kMaxText + 1] = {};
};

/// "SEQU", kept as its raw body.
class CMmmgSequenceChunk : public CChunk {
 public:
  explicit CMmmgSequenceChunk(CMemStream& stream) : CChunk(stream) {}
};

class CMmmgChunk : public CChunk {
 public:
  static constexpr uint8_t kSecondHeaderByte = 0x14;

  /// Reads two header bytes (the second always becomes 0x14) and keeps the last "INFO", "VOIC"
  /// and "SEQU"; other children are dropped. Throws -48 for a body or child past its end.
  explicit CMmmgChunk(CMemStream& stream);

  /// Header bytes, "INFO" and "VOIC" when present, "SEQU" when present and not empty.
  void WriteBody(CMemStream& stream) override;

  uint8_t GetHeaderByte(int i) const { return m_header[i]; }
  CMmmgInfoChunk* GetInfoChunk() const { return m_info.get(); }
  CMmmgVoiceChunk* GetVoiceChunk() const { return m_voice.get(); }
  CMmmgSequenceChunk* GetSequenceChunk() const { return m_sequence.get(); }

 private:
  uint8_t m_header[2] = {0, 0};
  std::unique_ptr<CMmmgInfoChunk> m_info;
  std::unique_ptr<CMmmgVoiceChunk> m_voice;
  std::unique_ptr<CMmmgSequenceChunk> m_sequence;
};

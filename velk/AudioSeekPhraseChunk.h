// The seek-and-phrase chunk "AspI" of an audio track.
#pragma once

#include <cstdint>
#include <memory>

#include "song/MemStream.h"
#include "song/TrackBuild.h"
#include "song/Chunk.h"
#include "velk/SeekPhraseChunk.h"

inline constexpr uint32_t kIdAspI = MakeChunkId('A', 's', 'p', 'I');

/// The base of the "AspI" chunks: exports nothing.
class CAudioSeekPhraseChunkBase : public CChunk {
 public:
  explicit CAudioSeekPhraseChunkBase(uint32_t id = kIdAspI) : CChunk(id) {}
  /// Reads id, size and body, kept raw. Throws -48 when the chunk runs past the stream.
  explicit CAudioSeekPhraseChunkBase(CMemStream& stream) : CChunk(stream) {}

  /// A new record owned by the caller, or null.
  virtual std::unique_ptr<CTrackBuild2> ExportSeekPhrase() { return nullptr; }
};

class CAudioSeekPhraseChunk : public CAudioSeekPhraseChunkBase {
 public:
  /// Reads the chunk and parses its body. Throws -48 when the chunk runs past the stream, -108
  /// when memory runs out.
  explicit CAudioSeekPhraseChunk(CMemStream& stream);
  /// Builds the chunk from a record (whose marks get their ends, see CSeekPhraseData::Build).
  /// Throws -108 when memory runs out.
  explicit CAudioSeekPhraseChunk(CTrackBuild2& record);

  /// A record with copies of the points; the phrase marks are handed over to it, so the chunk
  /// holds none afterwards.
  std::unique_ptr<CTrackBuild2> ExportSeekPhrase() override;
  const CSeekPhraseData& GetSeekPhrase() const { return m_data; }

 private:
  CSeekPhraseData m_data;
};

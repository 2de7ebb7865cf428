// The seek-and-phrase chunk "MspI" of a format-1/2 score track.
#pragma once

#include <memory>

#include "song/MemStream.h"
#include "song/TrackBuild.h"
#include "velk/SeekPhraseChunk.h"

class CSeekPhraseChunk2 : public CSeekPhraseChunkBase {
 public:
  /// Reads the chunk and parses its body. Throws -48 when the chunk runs past the stream, -108
  /// when memory runs out.
  explicit CSeekPhraseChunk2(CMemStream& stream);

  /// A record with copies of the points and marks; the chunk keeps its own.
  std::unique_ptr<CTrackBuild> ExportSeekPhrase() override;
  const CSeekPhraseData& GetSeekPhrase() const { return m_data; }

 private:
  CSeekPhraseData m_data;
};

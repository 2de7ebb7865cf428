// The seek-and-phrase chunk "MspI" of a format-1/2 score track.
#include "velk/SeekPhraseChunk2.h"

CSeekPhraseChunk2::CSeekPhraseChunk2(CMemStream& stream) : CSeekPhraseChunkBase(stream) {
  m_data.Parse(GetBody(), GetBodySize());
}

std::unique_ptr<CTrackBuild> CSeekPhraseChunk2::ExportSeekPhrase() {
  auto record = std::make_unique<CTrackBuild>();
  m_data.CopyTo(*record);
  return record;
}

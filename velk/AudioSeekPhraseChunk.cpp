// The seek-and-phrase chunk "AspI" of an audio track.
#include "velk/AudioSeekPhraseChunk.h"

CAudioSeekPhraseChunk::CAudioSeekPhraseChunk(CMemStream& stream)
    : CAudioSeekPhraseChunkBase(stream) {
  m_data.Parse(GetBody(), GetBodySize());
}

CAudioSeekPhraseChunk::CAudioSeekPhraseChunk(CTrackBuild2& record)
    : CAudioSeekPhraseChunkBase(kIdAspI) {
  m_data.Build(record, *this);
}

std::unique_ptr<CTrackBuild2> CAudioSeekPhraseChunk::ExportSeekPhrase() {
  auto record = std::make_unique<CTrackBuild2>();
  m_data.HandOverTo(*record);
  return record;
}

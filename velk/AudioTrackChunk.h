// An audio track "ATR" + n: header, seek-and-phrase and sequence chunks and its wave chunks.
#pragma once

#include <cstdint>
#include <memory>

#include "song/MemStream.h"
#include "velk/AudioSeekPhraseChunk.h"
#include "velk/AudioSequenceChunk.h"
#include "song/Chunk.h"
#include "velk/ChunkInfo.h"
#include "velk/ChunkList.h"

using CChunkInfoList = TChunkList<CChunkInfo>;
using CChunkInfoIter = TChunkListIter<CChunkInfo>;

class CAudioTrackChunk : public CChunk {
 public:
  /// A new track to fill; its sequence is the empty "+tsq" placeholder.
  CAudioTrackChunk(uint8_t n, uint8_t formatType, uint8_t byte1, uint8_t byte4, uint8_t byte5,
                   uint16_t headerWord);
  /// Reads a track; with format type 0 it keeps "AspI", "Atsq" and every "Awa" + k, with any
  /// other format type no child. Throws -48 for a body or child that runs past its end.
  CAudioTrackChunk(CMemStream& stream, uint8_t n);

  /// Only track 0 has a body: header, seek-and-phrase, sequence, then the wave chunks.
  void WriteBody(CMemStream& stream) override;

  /// Appends one "Awa" + kind chunk per wave record, in list order (the records stay the caller's).
  void AddWaveChunks(const CChunkInfoList& records);
  /// Appends the track's wave chunks to the caller's list; the track keeps owning them.
  void GetWaveChunks(CChunkInfoList& list) const;

  uint8_t GetTrackNumber() const { return m_trackNumber; }
  uint8_t GetFormatType() const { return m_formatType; }
  uint8_t GetHeaderByte1() const { return m_byte1; }
  /// The wave type word (body bytes 2-3).
  uint16_t GetHeaderWord() const { return m_headerWord; }
  /// The two time-base bytes (body bytes 4 and 5).
  uint8_t GetHeaderByte4() const { return m_byte4; }
  uint8_t GetHeaderByte5() const { return m_byte5; }
  CAudioSeekPhraseChunkBase* GetSeekPhraseChunk() const { return m_seekPhrase.get(); }
  CAudioSequenceChunk* GetSequenceChunk() const { return m_sequence.get(); }
  const CChunkInfoList& GetWaves() const { return m_waves; }
  void SetSeekPhraseChunk(std::unique_ptr<CAudioSeekPhraseChunkBase> chunk) {
    m_seekPhrase = std::move(chunk);
  }
  void SetSequenceChunk(std::unique_ptr<CAudioSequenceChunk> chunk) { m_sequence = std::move(chunk); }

 private:
  bool ReadChild(CMemStream& body, uint32_t id);

  uint8_t m_formatType = 0;
  uint8_t m_byte1 = 0;
  uint16_t m_headerWord = 0;
  uint8_t m_byte4 = 0;
  uint8_t m_byte5 = 0;
  std::unique_ptr<CAudioSeekPhraseChunkBase> m_seekPhrase;
  std::unique_ptr<CAudioSequenceChunk> m_sequence;
  TOwnedChunkList<CChunkInfo> m_waves;
  uint8_t m_trackNumber;
};

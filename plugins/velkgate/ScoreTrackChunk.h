// "MTR" + n: a score track with its setup, seek, sequence and stream-PCM children.
#pragma once

#include <cstdint>
#include <memory>

#include "plugins/velkgate/ScoreSequenceChunk.h"
#include "plugins/velkgate/SeekPhraseChunk.h"
#include "plugins/velkgate/SetupDataChunk.h"
#include "plugins/velkgate/StreamPcmChunk.h"
#include "song/Chunk.h"

namespace velkgate {

class CScoreTrackChunk : public CChunk {
 public:
  static constexpr int kChannelCount = 16;
  static constexpr uint8_t kCompact = 0;
  static constexpr uint8_t kCompressed = 1;
  static constexpr uint8_t kPlain = 2;
  /// The format type of a track that cannot be read for its number.
  static constexpr uint8_t kUnusable = 0xFF;
  /// First track number with 16 channel-status bytes (lower ones are compact).
  static constexpr uint8_t kFirstFullTrack = 5;
  /// The id of the placeholder sequence a new track holds until the real one is set.
  static constexpr uint32_t kPlaceholderId = MakeChunkId('-', 't', 's', 'q');

  static uint32_t IdOfTrack(uint8_t n) { return MakeNumberedChunkId('M', 'T', 'R', n); }
  static bool IsScoreTrackId(uint32_t id) { return HasChunkPrefix(id, 'M', 'T', 'R'); }

  /// A new track, sequence type 0, with an empty placeholder sequence.
  CScoreTrackChunk(uint8_t track, uint8_t formatType, uint8_t durationBase, uint8_t gateBase,
                   const uint8_t (&status)[kChannelCount]);
  /// Reads and parses a track; flags is the caller's warning word. Throws -48 when truncated,
  /// -1 for a sequence type other than 0 on tracks 5 and 6, -108 without memory.
  CScoreTrackChunk(CMemStream& stream, uint32_t& flags);
  ~CScoreTrackChunk() override;

  void WriteBody(CMemStream& stream) override;
  void ReadBody(CMemStream& stream) override;

  uint8_t GetTrackNumber() const { return GetIdNumber(); }
  uint8_t GetFormatType() const { return m_formatType; }
  uint8_t GetSequenceType() const { return m_sequenceType; }
  uint8_t GetDurationBase() const { return m_durationBase; }
  uint8_t GetGateBase() const { return m_gateBase; }
  uint8_t GetChannelStatus(int channel) const {
    return (channel >= 0 && channel < kChannelCount) ? m_status[channel] : 0;
  }
  /// Statuses the track carries: 4 on a compact track, else 16.
  int GetStatusCount() const { return GetTrackNumber() < kFirstFullTrack ? 4 : kChannelCount; }

  CSetupDataChunk* GetSetup() const { return m_setup.get(); }
  /// A compact track's setup, kept as stored.
  CChunk* GetCompactSetup() const { return m_compactSetup.get(); }
  CSeekPhraseChunk* GetSeek() const { return m_seek.get(); }
  CScoreSequenceChunk* GetSequence() const { return m_sequence.get(); }
  CStreamPcmChunk* GetStreamPcm() const { return m_streamPcm.get(); }
  void SetSetup(std::unique_ptr<CSetupDataChunk> chunk) { m_setup = std::move(chunk); }
  void SetSeek(std::unique_ptr<CSeekPhraseChunk> chunk) { m_seek = std::move(chunk); }
  void SetSequence(std::unique_ptr<CScoreSequenceChunk> chunk) { m_sequence = std::move(chunk); }
  void SetStreamPcm(std::unique_ptr<CStreamPcmChunk> chunk) { m_streamPcm = std::move(chunk); }

 private:
  void ReadChild(CMemStream& stream);
  void ReadSequence(CMemStream& stream);

  uint8_t m_formatType = 0;
  uint8_t m_sequenceType = 0;
  uint8_t m_durationBase = 0;
  uint8_t m_gateBase = 0;
  uint8_t m_status[kChannelCount] = {};
  uint32_t* m_flags = nullptr;
  std::unique_ptr<CSetupDataChunk> m_setup;
  std::unique_ptr<CChunk> m_compactSetup;
  std::unique_ptr<CSeekPhraseChunk> m_seek;
  std::unique_ptr<CScoreSequenceChunk> m_sequence;
  std::unique_ptr<CStreamPcmChunk> m_streamPcm;
};

}  // namespace velkgate

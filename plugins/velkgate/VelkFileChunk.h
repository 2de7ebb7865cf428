// "MMMD": a VELK file as the converter holds it, parsed from an image or serialised to one.
#pragma once

#include <cstdint>
#include <memory>

#include "plugins/velkgate/ContentsInfoChunk.h"
#include "plugins/velkgate/MasterTrackChunk.h"
#include "plugins/velkgate/MidiList.h"
#include "plugins/velkgate/MmmgChunk.h"
#include "plugins/velkgate/OptionalDataChunk.h"
#include "plugins/velkgate/OwnedList.h"
#include "plugins/velkgate/ScoreTrackChunk.h"
#include "song/Chunk.h"

class CContentsInfo;

namespace velkgate {

class CVelkFileChunk : public CChunk {
 public:
  static constexpr uint32_t kId = MakeChunkId('M', 'M', 'M', 'D');
  static constexpr int kChannelCount = 16;
  /// The time-base code a conversion starts with: no valid code, so readers fall back.
  static constexpr uint8_t kNoTimeBase = 24;

  /// A new file with an empty CNTI and no OPDA.
  CVelkFileChunk();
  /// Parses an image; warning bits go into flags (chunks skipped, compressed score track,
  /// the sub-mode bits). Throws -48 when truncated, -108 without memory, -1 for a chunk that
  /// rejects its contents.
  CVelkFileChunk(CMemStream& stream, uint32_t& flags);
  ~CVelkFileChunk() override;

  /// Writes the image: CNTI, OPDA when it holds a data chunk, score, audio and master tracks,
  /// the size patched and the CRC-16 appended.
  void Serialize(CMemStream& stream);

  /// Adds a chunk to its list; one with the same id is removed and deleted first.
  void AddScoreTrack(CScoreTrackChunk* track);
  void AddAudioTrack(CChunk* track);
  void AddMasterTrack(CMasterTrackChunk* track);
  /// The format type of score track "MTR" + n; 0 when there is none.
  uint8_t GetScoreTrackFormat(uint8_t n) const;

  /// Fills the record from CNTI and OPDA; compat unescapes OPDA texts of older files.
  void ReadContentsInfo(CContentsInfo& record, bool compat) const;
  /// Sets CNTI's header and rebuilds OPDA's data chunks from the record. Throws 0 when a text
  /// converts to nothing.
  void WriteContentsInfo(const CContentsInfo& record);

  /// Decodes every score track in list order into events: tracks 1..4 with the file's channel
  /// statuses, tracks 5 and 6 with the warning flags; other tracks are not decoded. Returns the
  /// time-base code of the last track (kNoTimeBase when there is none). Throws -48 for data
  /// that end inside an event.
  uint8_t ScoreTracksToEvents(CEventList& out, uint32_t& flags) const;
  /// Appends the events of every master track's sequence.
  void MasterTracksToEvents(CEventList& out) const;
  /// Milliseconds per tick of a time-base code as the sequence decoders take it (1 when unknown).
  static uint32_t TimeBaseMilliseconds(uint8_t code);

  CContentsInfoChunk& GetContentsInfoChunk() { return m_cnti; }
  const CContentsInfoChunk& GetContentsInfoChunk() const { return m_cnti; }
  COptionalDataChunk& GetOptionalDataChunk() { return m_opda; }
  const COptionalDataChunk& GetOptionalDataChunk() const { return m_opda; }
  bool HasOptionalData() const { return m_hasOpda; }
  const COwnedList<CScoreTrackChunk>& GetScoreTracks() const { return m_scoreTracks; }
  const COwnedList<CChunk>& GetAudioTracks() const { return m_audioTracks; }
  const COwnedList<CMasterTrackChunk>& GetMasterTracks() const { return m_masterTracks; }
  CMmmgChunk* GetMmmg() const { return m_mmmg.get(); }
  uint8_t GetChannelStatus(int channel) const {
    return (channel >= 0 && channel < kChannelCount) ? m_channelStatus[channel] : 0;
  }
  void SetChannelStatus(int channel, uint8_t v) {
    if (channel >= 0 && channel < kChannelCount) m_channelStatus[channel] = v;
  }
  uint8_t GetChannelCount() const { return m_channelCount; }
  void SetChannelCount(uint8_t v) { m_channelCount = v; }

 private:
  void ParseBody(CMemStream& body, uint32_t& flags);
  void ReadNextChunk(CMemStream& body, uint32_t& flags);
  /// Track 1's statuses and their count, which the compact tracks are decoded with.
  void TakeChannelStatus(const CScoreTrackChunk& track);

  CContentsInfoChunk m_cnti;
  COptionalDataChunk m_opda;
  bool m_hasOpda = false;
  COwnedList<CScoreTrackChunk> m_scoreTracks;
  COwnedList<CChunk> m_audioTracks;
  COwnedList<CMasterTrackChunk> m_masterTracks;
  std::unique_ptr<CMmmgChunk> m_mmmg;
  uint8_t m_channelStatus[kChannelCount] = {};
  uint8_t m_channelCount = 0;
};

}  // namespace velkgate

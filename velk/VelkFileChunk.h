// The "MMMD" file chunk: reads a whole VELK image into its chunk tree and writes one.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "song/MemStream.h"
#include "song/SongSetup.h"
#include "song/Voice2.h"
#include "velk/AudioTrackChunk.h"
#include "song/Chunk.h"
#include "velk/ChunkList.h"
#include "velk/ContentsInfoChunk.h"
#include "velk/MasterTrackChunk.h"
#include "velk/MmmgChunk.h"
#include "velk/OptionalDataChunk.h"
#include "velk/ScoreTrackChunk.h"
#include "velk/SequenceEmitter.h"

inline constexpr uint32_t kIdMMMD = MakeChunkId('M', 'M', 'M', 'D');

/// Report bits of the file reader.
inline constexpr uint32_t kReportSkippedChunk = 0x01000000;  // unknown or unwanted track chunk
inline constexpr uint32_t kReportCompressedTrack = 0x80;     // a score track of format type 1

using CScoreTrackList = TChunkList<CScoreTrackChunk>;
using CScoreTrackIter = TChunkListIter<CScoreTrackChunk>;
using CAudioTrackList = TChunkList<CAudioTrackChunk>;
using CAudioTrackIter = TChunkListIter<CAudioTrackChunk>;
using CMasterTrackList = TChunkList<CMasterTrackChunk>;
using CMasterTrackIter = TChunkListIter<CMasterTrackChunk>;

class CVelkFileChunk : public CChunk {
 public:
  static constexpr int kSetupVoiceSlots = 16;

  /// An empty file to fill and write.
  CVelkFileChunk();
  /// Reads a whole image (the caller has checked "MMMD"). Throws -48 for a chunk or body that
  /// runs past its end, -108 when memory runs out, -1 from a track that refuses its header.
  /// With a report word, skipped chunks and the contents type are reported in its bits.
  explicit CVelkFileChunk(CMemStream& stream, uint32_t* report = nullptr);

  /// Writes the file at the stream's end: "MMMD", size, the chunks, then the CRC-16.
  void Write(CMemStream& stream) override;

  /// The file chunk takes ownership; a track whose id is already listed is added all the same.
  void AddScoreTrack(std::unique_ptr<CScoreTrackChunk> track);
  void AddAudioTrack(std::unique_ptr<CAudioTrackChunk> track);
  void AddMasterTrack(std::unique_ptr<CMasterTrackChunk> track);
  void SetMmmgChunk(std::unique_ptr<CMmmgChunk> chunk);

  /// Builds the "CNTI" chunk from the record (the savers' path).
  void SetContentsInfo(const CContentsInfo& record) { m_contentsInfo.BuildBody(record); }
  /// Fills the record from the "CNTI" chunk read (the loaders' path). Throws -1 for an option
  /// text item that the record cannot take.
  void GetContentsInfo(CContentsInfo& record) const { m_contentsInfo.ParseBody(record); }
  CContentsInfoChunk& GetContentsInfoChunk() { return m_contentsInfo; }
  const CContentsInfoChunk& GetContentsInfoChunk() const { return m_contentsInfo; }
  COptionalDataChunk& GetOptionalDataChunk() { return m_optionalData; }
  const COptionalDataChunk& GetOptionalDataChunk() const { return m_optionalData; }
  const CScoreTrackList& GetScoreTracks() const { return m_scoreTracks; }
  const CAudioTrackList& GetAudioTracks() const { return m_audioTracks; }
  const CMasterTrackList& GetMasterTracks() const { return m_masterTracks; }
  CMmmgChunk* GetMmmgChunk() const { return m_mmmg.get(); }
  /// Voice records of score track 1's setup chunk (not owned here) and how many are in use.
  const void* const* GetSetupVoiceRecords() const { return m_setupVoices; }
  uint8_t GetSetupVoiceRecordCount() const { return m_setupVoiceCount; }
  uint16_t GetAudioHeaderWord() const { return m_audioHeaderWord; }
  void SetAudioWaveType(uint16_t value) { m_audioHeaderWord = value; }
  bool HasOptionalData() const { return m_hasOptionalData; }
  /// Decodes the sequence of every score track, in file order, into records appended to the list
  /// (the caller deletes them): tracks 0 to 4 as compact sequences, tracks 5 and 6 as format-1/2
  /// sequences, each with the cues of its seek-and-phrase chunk. The exclusive value and priority
  /// state are in/out (see CScoreSequenceReader::Decode); the time-base byte gets each track's
  /// third header byte; the report word (may be null) collects the format-1/2 report bits.
  /// Throws -108 when memory runs out.
  void ReadScoreTracks(uint8_t& exclusiveValue, uint8_t& timeBase, CSeqEventList& list,
                       int& priority, uint32_t* report);
  /// Decodes the sequence of audio track 0 into records appended to the list and appends its wave
  /// chunks to the wave list (they stay the track's). Throws -108 when memory runs out.
  void ReadAudioTracks(CSeqEventList& list, CChunkInfoList& waves);

  /// The 16-byte entries of the first score track that has a setup chunk, and their count; null
  /// (count 0) when it has none or no track has a setup chunk.
  const uint8_t* GetSetupEntries(uint8_t* count = nullptr) const;
  /// The tempo byte of that same setup chunk; 0 when none.
  uint8_t GetSetupTempoByte() const;
  /// Copies the channel-status values of every score track into the record's status block
  /// (track 0 in the place of track 1) and the generation-2 voice records of score track 1's
  /// setup chunk into its 16 words. The words point at copies held by `voices`, which the
  /// caller keeps for as long as it uses the record (they outlive this file chunk). True.
  bool GetTrackSetup(SongOutputRecord& record, std::vector<std::unique_ptr<CVoice2>>& voices) const;
  /// The voice-record count of the first score track numbered 1 or 5 that has a setup chunk
  /// (a format-1/2 setup chunk has none: 0); 0 when none.
  uint8_t GetSetupVoiceCount() const;

  /// The sequence mode a generation-3 file's contents type selects when read with a report word
  /// (2, 3 or 4); 0 otherwise.
  int GetSequenceMode() const { return m_sequenceMode; }

 private:
  void ReadChildren(CMemStream& body, uint32_t* report);
  void ReadScoreTrack(CMemStream& body, uint8_t n, uint32_t* report);
  void ReadAudioTrack(CMemStream& body, uint8_t n, uint32_t* report);
  void ReadMmmg(CMemStream& body);
  void ApplyContentsType(uint32_t* report);
  void KeepSetupVoiceRecords(const CSetupDataChunkBase& setup);
  const CSetupDataChunkBase* FirstSetupChunk() const;
  static void Skip(CMemStream& body, uint32_t* report, uint32_t bit);

  CContentsInfoChunk m_contentsInfo;
  COptionalDataChunk m_optionalData;
  TOwnedChunkList<CScoreTrackChunk> m_scoreTracks;
  TOwnedChunkList<CAudioTrackChunk> m_audioTracks;
  TOwnedChunkList<CMasterTrackChunk> m_masterTracks;
  std::unique_ptr<CMmmgChunk> m_mmmg;
  const void* m_setupVoices[kSetupVoiceSlots] = {};
  uint8_t m_setupVoiceCount = 0;
  uint16_t m_audioHeaderWord = 0;
  bool m_hasOptionalData = false;
  int m_sequenceMode = 0;
};

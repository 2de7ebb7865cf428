// What the file chunk hands its readers: decoded track sequences and the score tracks' setup.
#include "velk/VelkFileChunk.h"

#include <new>

#include "velk/AudioSequenceReader.h"
#include "velk/Format12Sequence.h"
#include "velk/ScoreSequenceReader.h"

namespace {

constexpr uint8_t kLastCompactTrack = 4;
constexpr uint8_t kFirstFormat12Track = 5;
constexpr uint8_t kLastFormat12Track = 6;
constexpr uint8_t kFirstVoiceSetupTrack = 5;

}  // namespace

void CVelkFileChunk::KeepSetupVoiceRecords(const CSetupDataChunkBase& setup) {
  for (int i = 0; i < kSetupVoiceSlots; ++i) m_setupVoices[i] = setup.GetVoiceRecord(i);
  m_setupVoiceCount = setup.GetVoiceRecordCount();
}

void CVelkFileChunk::ReadScoreTracks(uint8_t& exclusiveValue, uint8_t& timeBase,
                                     CSeqEventList& list, int& priority, uint32_t* report) {
  CScoreTrackChunk* track = nullptr;
  for (CScoreTrackIter it(m_scoreTracks); it.Next(track);) {
    timeBase = track->GetHeaderByte2();
    std::unique_ptr<CTrackBuild> seek;
    if (track->GetSeekPhraseChunk()) seek = track->GetSeekPhraseChunk()->ExportSeekPhrase();
    CScoreSequenceChunk* sequence = track->GetSequenceChunk();
    if (!sequence) continue;
    uint8_t n = track->GetTrackNumber();
    // Track 0 is decoded too: it is the one track a generation-1 file of chip mode 1 has.
    if (n <= kLastCompactTrack) {
      CScoreSequenceReader reader(sequence->GetBody(), sequence->GetBodySize());
      for (int i = 0; i < kSetupVoiceSlots; ++i) reader.SetVoiceRecord(i, m_setupVoices[i]);
      reader.SetVoiceRecordCount(m_setupVoiceCount);
      reader.Decode(exclusiveValue, list, seek.get(), priority, n);
    } else if (n >= kFirstFormat12Track && n <= kLastFormat12Track) {
      CFormat12Sequence reader(sequence->GetBody(), sequence->GetBodySize());
      reader.DecodeFormat12Sequence(list, seek.get(), report);
    }
  }
}

void CVelkFileChunk::ReadAudioTracks(CSeqEventList& list, CChunkInfoList& waves) {
  CAudioTrackChunk* track = nullptr;
  for (CAudioTrackIter it(m_audioTracks); it.Next(track);) {
    if (track->GetTrackNumber() != 0) continue;
    std::unique_ptr<CTrackBuild2> seek;
    if (track->GetSeekPhraseChunk()) seek = track->GetSeekPhraseChunk()->ExportSeekPhrase();
    if (CAudioSequenceChunk* sequence = track->GetSequenceChunk()) {
      CAudioSequenceReader reader(sequence->GetBody(), sequence->GetBodySize());
      reader.Decode(list, seek.get());
    }
    track->GetWaveChunks(waves);
  }
}

const CSetupDataChunkBase* CVelkFileChunk::FirstSetupChunk() const {
  CScoreTrackChunk* track = nullptr;
  for (CScoreTrackIter it(m_scoreTracks); it.Next(track);) {
    if (track->GetSetupChunk()) return track->GetSetupChunk();
  }
  return nullptr;
}

const uint8_t* CVelkFileChunk::GetSetupEntries(uint8_t* count) const {
  const CSetupDataChunkBase* setup = FirstSetupChunk();
  if (count) *count = setup ? setup->GetEntryCount() : 0;
  return setup ? setup->GetEntries() : nullptr;
}

uint8_t CVelkFileChunk::GetSetupTempoByte() const {
  const CSetupDataChunkBase* setup = FirstSetupChunk();
  return setup ? setup->GetTempoByte() : 0;
}

uint8_t CVelkFileChunk::GetSetupVoiceCount() const {
  CScoreTrackChunk* track = nullptr;
  for (CScoreTrackIter it(m_scoreTracks); it.Next(track);) {
    uint8_t n = track->GetTrackNumber();
    if ((n == 1 || n == kFirstVoiceSetupTrack) && track->GetSetupChunk()) {
      return track->GetSetupChunk()->GetVoiceRecordCount();
    }
  }
  return 0;
}

bool CVelkFileChunk::GetTrackSetup(SongOutputRecord& record,
                                   std::vector<std::unique_ptr<CVoice2>>& voices) const {
  CScoreTrackChunk* track = nullptr;
  for (CScoreTrackIter it(m_scoreTracks); it.Next(track);) {
    uint8_t n = track->GetTrackNumber();
    if (n > kLastCompactTrack) continue;
    // Track 0 takes the place of track 1.
    int at = SongOutputRecord::kStatusOffset + 4 * (n == 0 ? 0 : n - 1);
    for (int i = 0; i < 4; ++i) record.bytes[at + i] = track->GetChannelStatus(i);
    const CSetupDataChunkBase* setup = track->GetSetupChunk();
    if (n != 1 || !setup) continue;
    // The record gets copies rather than the chunk's own buffers, which go with this file chunk.
    for (int i = 0; i < SongOutputRecord::kWordCount; ++i) {
      const uint8_t* raw = setup->GetVoiceRecord(i);
      record.words[i] = 0;
      if (!raw) continue;
      try {
        voices.push_back(std::make_unique<CVoice2>());
      } catch (const std::bad_alloc&) {
        throw kErrOutOfMemory;
      }
      voices.back()->SetParams(raw);
      record.words[i] = reinterpret_cast<std::uintptr_t>(voices.back().get());
    }
  }
  return true;
}

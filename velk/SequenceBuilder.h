// The sequence builders of generation-1/2 tracks: the compact score sequence "Mtsq" and the
// audio sequence "Atsq", built from a play list.
#pragma once

#include <cstdint>
#include <memory>

#include "song/SongSetup.h"
#include "song/TrackBuild.h"
#include "velk/AudioSequenceChunk.h"
#include "velk/ScoreSequenceChunk.h"
#include "velk/SequenceEmitter.h"

/// The "Mtsq" chunk of one score track. Track mode 0 writes channels 0-3 with their setup
/// from the record's bytes 0, 16 and 32; mode n of 1..4 writes channels 4(n-1) to 4(n-1)+3.
/// The working copies of the play list go to the scratch list, whose owner deletes them (also
/// when this throws). The track build receives the offsets behind the START, STOP and phrase
/// marks and the end value. The time base is not needed by this form. Throws -108 when memory
/// runs out.
std::unique_ptr<CScoreSequenceChunk> BuildScoreSequence(
    uint16_t tempo, uint16_t division, uint16_t timeBase, const SongOutputRecord& setup,
    const CSeqEventList& playList, CSeqEventList& scratch, CTrackBuild& build, uint8_t trackMode);

/// The "Atsq" chunk of the audio track: wave notes 1..63 with their gates, volume, pan and
/// marks, with the header and closing of the score sequence. Same ownership and errors as
/// BuildScoreSequence.
std::unique_ptr<CAudioSequenceChunk> BuildAudioSequence(uint16_t tempo, uint16_t division,
                                                        uint16_t timeBase,
                                                        const CSeqEventList& playList,
                                                        CSeqEventList& scratch, CTrackBuild2& build,
                                                        uint8_t trackMode);

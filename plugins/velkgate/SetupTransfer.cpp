// Hands the setup of a VELK file's score tracks to the song setup.
#include "plugins/velkgate/SetupTransfer.h"

#include "plugins/velkgate/VelkFileChunk.h"
#include "song/SongSetup.h"

namespace velkgate {

namespace {

void TransferVoices(const CSetupDataChunk& chunk, CSongSetup& setup) {
  for (int i = 0; i < CSetupDataChunk::kVoiceCount; ++i)
    if (const CVoiceItem* voice = chunk.GetVoice(i)) setup.SetVoiceItem(i, new CVoiceItem(*voice));
  for (int i = 0; i < CSetupDataChunk::kUserWaveCount; ++i)
    if (const CNamedBlock* wave = chunk.GetUserWave(i)) setup.SetUserWave(i, new CNamedBlock(*wave));
  setup.SetStreamMode(chunk.GetMode());
}

}  // namespace

bool TransferSetup(const CVelkFileChunk& file, CSongSetup& setup) {
  setup.SetOwnsObjects(1);
  for (CScoreTrackChunk* track : file.GetScoreTracks().Items()) {
    // The compact tracks' setup has another shape; only tracks 5 and 6 carry this one.
    if (track->GetTrackNumber() != 5 && track->GetTrackNumber() != 6) continue;
    for (int ch = 0; ch < CScoreTrackChunk::kChannelCount; ++ch)
      setup.SetStatus(ch, track->GetChannelStatus(ch));
    if (track->GetSequence()) setup.SetMasterVolume(track->GetSequence()->GetMasterByte());
    if (track->GetSetup()) TransferVoices(*track->GetSetup(), setup);
    if (track->GetStreamPcm()) track->GetStreamPcm()->TransferWaves(setup);
  }
  return true;
}

}  // namespace velkgate

// What the output builders share: the play lists of a save, the voice check, the MIDI list
// filled from the document and the messages of a failed song-data write.
#pragma once

#include <cstdint>

#include "song/SongSetup.h"
#include "velk/ChunkList.h"
#include "song/SeqEvent.h"

class CKZ1Doc;
class CMidiList;

namespace songsave {

/// The two play lists of one build; their events go with them.
struct PlayLists {
  TOwnedChunkList<CSeqEvent> score;
  TOwnedChunkList<CSeqEvent> pcm;
  SongOutputRecord setup;
};

/// Takes the song-setup snapshot and builds both play lists with the play option; the play
/// list builder's result.
int BuildPlayLists(CKZ1Doc& doc, PlayLists& lists, int mode);

/// Runs the PCM-voice setting check over every voice item that is not a default one; 0 at the
/// first that fails (the check has shown its message).
int CheckVoiceItems(const CKZ1Doc& doc);

/// Copies the contents information, the output channel setup, the time base, the first tempo,
/// the output time-base option and the time-signature numerator of the document into the list.
void FillList(const CKZ1Doc& doc, CMidiList& list, int outputTimeBase);

/// Shows 7047 (with the list's RAM total), 7049 or 7050 for the writer's status word.
void ShowWriteFailure(uint32_t status, const CMidiList& list);

/// The per-channel phrase parts 0..4 of the document, the writer's group codes.
void ChannelParts(const CKZ1Doc& doc, uint8_t parts[16]);

}  // namespace songsave

// Send Stream PCM Wave Message without a window: every stream-PCM wave of the song goes to the
// board with its pan-clear and pairing commands.
#pragma once

class CKZ1Doc;
class IOutputEngine;

namespace stream_pcm {

/// The last index of the song's stream-PCM slot array; -1 when the song has none.
int LastSlotIndex(const CKZ1Doc& doc);
/// A song is open and one of its stream-PCM slots 0..LastSlotIndex has a program other than 255.
bool HasStreamPcmWaves(const CKZ1Doc* doc);
/// Sends each slot that holds a wave: command 06 with its id and the wave, 0B (id, 1, 64) when the
/// song keeps a pan for the id, 08 (0, id, partner) when it has a stereo partner. Then the song
/// is marked to be sent again before the next Play. The number of waves sent.
int SendStreamPcmWaves(CKZ1Doc& doc, IOutputEngine& engine);
/// The command: 7140 asks first, anything but OK ends it; the busy picture shows while sending.
/// 0 when nothing was sent.
int RunSendStreamPcmWaveMessage(CKZ1Doc* doc, IOutputEngine* engine);

}  // namespace stream_pcm

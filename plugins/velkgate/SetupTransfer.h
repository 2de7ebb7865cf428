// Hands the setup of a VELK file's score tracks to the song setup.
#pragma once

class CSongSetup;

namespace velkgate {

class CVelkFileChunk;

/// For each score track 5 and 6 in file order: its channel statuses, the master byte of its
/// sequence, copies of its voices and user waves, its mode byte and its stream-PCM waves. A
/// later track overwrites what an earlier one stored. The setup owns what it is given.
/// Returns true.
bool TransferSetup(const CVelkFileChunk& file, CSongSetup& setup);

}  // namespace velkgate

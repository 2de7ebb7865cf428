// The VELK writers of chip modes 1 and 2: the song written through the program's own chunks.
#pragma once

class CKZ1Doc;
class CMemStream;
struct SongOutputRecord;

/// Chip mode 1: one score track "MTR" 0 with its setup (unless QX cues are on) and seek chunks,
/// appended to the image as a whole VELK file. The play list builder's result: 0 appends
/// nothing. Throws -108 when memory runs out.
int WriteVelkKZ1(CKZ1Doc& doc, CMemStream& image, const SongOutputRecord& setup);
/// Chip mode 2: score tracks "MTR" 1 to 4 (the setup chunk in track 1 only) and, when both
/// stream-PCM lists hold events, the audio track "ATR" 0 with its waves. Same result and errors.
int WriteVelkKZ2(CKZ1Doc& doc, CMemStream& image, const SongOutputRecord& setup);

/// The VELK time-base code of a time base in milliseconds; any other value gives 0x02 (4 ms).
int VelkTimeBaseCode(int milliseconds);

// Turns converter results and the flag bits a plug-in returns into user messages.
#pragma once

#include <cstdint>
#include <vector>

/// Shows the failure message of a converter result; the box's answer, or 0 when the result is
/// a success (0 included) or a code with no message.
int ReportConvertResult(int kind, uint32_t result, uint32_t flags);

/// Gathers the notes of a successful conversion's flags into one warning box (OK and Cancel when
/// a VELK converter dropped notes). 1 when there is nothing to show; in batch conversion the
/// text is printed and the answer is OK (1); else the box's answer.
int ReportConverterNotes(int kind, uint32_t flags);

/// The notes of the song-data reader's result in one warning box (none in batch conversion);
/// 1 when the result is below 0x80000000, else 0.
int ReportConverterNotesShort(uint32_t result);

/// One OK/Cancel box per playback warning bit of the VELK writer's checks, all of them shown;
/// 0 when any answer was not OK, else 1.
int ReportMobilePlaybackNotes(uint32_t result);

/// The message id ReportConvertResult shows, or 0 for none.
int ConvertResultMessageId(int kind, uint32_t result, uint32_t flags);
/// The ids whose texts ReportConverterNotes joins, in order.
std::vector<int> ConverterNoteIds(int kind, uint32_t flags);
/// The ids whose texts ReportConverterNotesShort joins, in order.
std::vector<int> ConverterShortNoteIds(uint32_t result);
/// The ids ReportMobilePlaybackNotes shows, in order.
std::vector<int> MobilePlaybackNoteIds(uint32_t result);

// The text of a note number as the song views print it ("C  3").
#pragma once

#include <string>

/// "%c%c %d": the note's two name characters and its octave, note / 12 - (2 - originNote).
/// Notes outside 0..127 give an empty text.
std::string GetNoteName(int note, int originNote);

/// GetNoteName with the application's "OriginNote" setting.
std::string GetNoteName(int note);

// The text score window's two commands on the song: "R" renders channels as text-score
// notation, "F" replaces the song's events by those parsed from the texts. Qt-free.
#pragma once

#include <array>
#include <string>

class CKZ1Doc;

/// The window's four channel texts, in the narrow code page.
using TextScoreTexts = std::array<std::string, 4>;

/// The channels the commands read and write: 0 to min(4, channel count) - 1.
int TextScoreChannelCount(const CKZ1Doc& doc);

/// "R": each channel rendered into its text, with one warn-once flag. A channel the notation
/// cannot hold (notes that overlap, as chords do) keeps its text; the document's error text of
/// the first such channel is shown (a plain box) and false returned.
bool ReadTextScores(CKZ1Doc& doc, TextScoreTexts& texts);

enum class TextScoreFill {
  Nothing,     // no text gave an event: nothing asked
  Applied,     // the song's events were replaced
  Cancelled,   // message 7136 answered other than OK: the song kept
  ParseError,  // the parser's text shown: the song kept
};

/// "F": parses every non-empty text (quarter note 24, the generator's), asks message 7136,
/// then replaces the song's events in tick order (equal ticks keep channel order), removes
/// cues 1-9, shortens overlaps, re-derives the voices and marks the song modified (which also
/// drops the held undo command).
TextScoreFill FillTextScores(CKZ1Doc& doc, const TextScoreTexts& texts);

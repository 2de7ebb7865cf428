// Texts of the song-data dialect: section marks, contents-information tags, text codes and
// the "QXln" song text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// ---- Section marks (cue points, FF 07) -----------------------------------------------------

/// Codes the song gives its marks: 1..7 the section letters I E A B S K R, 8 START, 9 STOP.
inline constexpr uint8_t kCueNone = 0;
inline constexpr uint8_t kCueFirstSection = 1;
inline constexpr uint8_t kCueLastSection = 7;
inline constexpr uint8_t kCueStart = 8;
inline constexpr uint8_t kCueStop = 9;

inline constexpr std::string_view kCueStartText = "START";
inline constexpr std::string_view kCueStopText = "STOP";
/// "01LSTP" + letter starts a section, "01LSPP" + letter ends it.
inline constexpr std::string_view kSectionStartPrefix = "01LSTP";
inline constexpr std::string_view kSectionEndPrefix = "01LSPP";
/// Section letters in code order (code 1 is 'I').
inline constexpr std::string_view kSectionLetters = "IEABSKR";

/// The code of a cue text: START 8, STOP 9, "01LSTP"+letter 1..7, anything else 0.
/// A section end ("01LSPP"+letter) is never a cue code.
uint8_t CueCodeOfText(const uint8_t* text, uint32_t n);
/// The section code 1..7 of a section end "01LSPP"+letter, else 0.
uint8_t SectionEndCodeOfText(const uint8_t* text, uint32_t n);
/// The text of a code 1..9 ("01LSTP"+letter, "START", "STOP"); empty for another code.
std::string CueText(uint8_t code);
/// "01LSPP"+letter for a section code 1..7; empty for another code.
std::string SectionEndText(uint8_t code);
/// The whole meta event FF 07 len text for a cue text.
std::vector<uint8_t> MakeCueMeta(std::string_view text);

/// The other form of a section start: FF 7F 04 43 7B 02 k (data 43 7B 02 k).
inline constexpr uint8_t kSequencerSectionId = 0x7B;
inline constexpr uint8_t kSequencerSectionKind = 0x02;
/// Section code of k: 0 I, 1 E, 3 A, 4 B, 5 S, 6 K, 7 R; 0 (ignored) for k = 2 and above 7.
uint8_t CueCodeOfSectionNumber(uint8_t k);
/// The inverse: k of a section code 1..7, 0xFF for another code.
uint8_t SectionNumberOfCueCode(uint8_t code);
/// The section code of sequencer-specific meta data 43 7B 02 k; 0 when it is no such mark or k
/// is ignored.
uint8_t CueCodeOfSequencerMeta(const uint8_t* data, uint32_t n);

// ---- Contents-information tags -------------------------------------------------------------

/// The 20 two-letter tags, index 0..19.
inline constexpr std::string_view kContentsTagTable = "STSWWWAWANVNCNCACRCDUDK2K3A0A1A2GRMIESDV";
inline constexpr int kContentsTagCount = 20;
enum ContentsTag : int {
  kTagST, kTagSW, kTagWW, kTagAW, kTagAN, kTagVN, kTagCN, kTagCA, kTagCR, kTagCD,
  kTagUD, kTagK2, kTagK3, kTagA0, kTagA1, kTagA2, kTagGR, kTagMI, kTagES, kTagDV
};
/// Index of a tag in the table, -1 when it is not there.
int ContentsTagIndex(char first, char second);
/// The two letters of tag i (0..19); empty for another index.
std::string_view ContentsTagName(int i);
/// A0..A2, K2 and K3: readers skip these wherever they stand.
bool IsSkippedContentsTag(int i);
/// ES and DV: always one value byte, kept in the 0xFF chunk of command 7D 03.
bool IsByteContentsTag(int i);

/// First three id bytes of the text chunks of command 7D 03 ("Dch"); the fourth is the text code.
inline constexpr uint8_t kContentsChunkId[3] = {0x44, 0x63, 0x68};
/// Text codes: the fourth id byte of the first "Dch" chunk, and the MIDI list's text code.
inline constexpr uint8_t kTextCodeUtf8 = 35;
inline constexpr uint8_t kTextCodeUtf16 = 32;
/// The chunk that holds ES and DV; as the first chunk's code, every item stands in it.
inline constexpr uint8_t kTextCodeByteItems = 0xFF;

/// The narrow code page's lead-byte test; null for a single-byte code page.
using LeadByteTest = bool (*)(uint8_t);
/// A contents text for the 7D 01 item form: '\' goes before every ',' and '\' that is not the
/// second byte of a double-byte character.
std::string EscapeContentsText(std::string_view text, LeadByteTest isLeadByte = nullptr);
/// One 7D 01 item: tag, ':', escaped text, ','.
std::string MakeContentsItem(int tag, std::string_view text, LeadByteTest isLeadByte = nullptr);

// ---- Song text in QX form (FF 01 "QXln...") ------------------------------------------------

inline constexpr std::string_view kQxTextMarker = "QXln";
/// Language codes in index order; the index is the code type of the contents information.
inline constexpr std::string_view kQxLanguageCodes[] = {"JP", "L1", "KR", "HZ", "B5", "CY", "VN"};
inline constexpr int kQxLanguageCount = 7;
/// Index 0..6 of a language code, compared without regard to case; -1 when unknown.
int QxLanguageIndex(char first, char second);

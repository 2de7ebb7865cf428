// The version tag: a light view of a VELK image, its check values, the stamp and the check.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "song/Chunk.h"

class CContentsInfo;

namespace velkgate {

class CVelkFileChunk;

/// Results of the tag check, as CNVF_SIG_STATE carries them.
enum TrSigState : uint32_t {
  kTrSigValid = 0,
  kTrSigOtherTool = 2,
  kTrSigLowerVersion = 3,
  kTrSigUpperVersion = 4,
  kTrSigBadCheck = 5,
  kTrSigNone = 6,
};

/// The two check characters of a check value: hexadecimal ((V >> 8) & 0xF) ^ 0xD, (V & 0xF) ^ 1.
std::string TrSigCheckChars(uint16_t value);

/// Only what the tag covers: CNTI, the OPDA right after it, and the score and master tracks
/// (a later chunk of an id replaces the earlier one); every other chunk is dropped.
class CTrSigView {
 public:
  /// Parses the image up to its two CRC bytes. Throws -48 when truncated, -108 without memory.
  CTrSigView(const uint8_t* image, uint32_t size);
  ~CTrSigView();

  /// The value of entry "A" + index in the first OPDA sub-chunk of code 0xFF; empty when there
  /// is none, or when the entry is cut by the end of its sub-chunk or of OPDA.
  std::string GetEntry(int index) const;
  /// Overwrites that entry's value from its fifth character on, never past its end.
  void SetCheckChars(int index, const std::string& text);
  /// V0: the CRC of the score tracks, then the master tracks, each written whole.
  uint16_t SigValueTracks() const;
  /// V2: blanks the check characters of "A2", then the CRC of CNTI and, when its body is not
  /// empty, OPDA, each written whole.
  uint16_t SigValueInfo();

 private:
  struct EntrySpan {
    uint32_t offset;
    uint32_t length;
  };
  std::optional<EntrySpan> FindEntry(int index) const;

  std::unique_ptr<CChunk> m_cnti;
  std::unique_ptr<CChunk> m_opda;
  std::vector<std::unique_ptr<CChunk>> m_scoreTracks;
  std::vector<std::unique_ptr<CChunk>> m_masterTracks;
};

/// Sets the tag of the file: "A0" binds the tracks, "A2" the contents information. The file
/// must already hold the record with the placeholders; it is written again with the tag.
void StampTrSig(CVelkFileChunk& file, CContentsInfo& record);
/// The tag state of an image; compat is set for a file older than version 18. Throws what the
/// view throws.
TrSigState CheckTrSig(const uint8_t* image, uint32_t size, bool& compat);

}  // namespace velkgate

// The song-data blocks the import writes at tick 0, before the song's own events.
#pragma once

#include <cstdint>
#include <string>

namespace midigate {

class CImportScan;
class CSmfImage;

/// Number of texts the contents-information block can carry: the tags ST, SW, WW, AW, AN, VN,
/// CN, CA, CR, CD and UD, in this order.
inline constexpr int kInfoTextCount = 11;

/// What the header blocks take from the song's contents information.
struct HeaderContents {
  uint8_t contentsClass = 0;
  uint8_t contentsType = 0;
  uint8_t optionByte1 = 0;
  uint8_t optionByte2 = 0;
  std::string texts[kInfoTextCount];  // by tag, ST first
};

/// Writes, in this order: contents header, channel block, contents-information block, master
/// volume, voice definitions, default tempo and default time signature (the last three only
/// when the song brings none of its own).
class CImportHeader {
 public:
  /// Result bits (CNVF_SYSEX_COPIED) are ORed into flags.
  CImportHeader(const CImportScan& scan, const HeaderContents& contents, CSmfImage& image, uint32_t& flags);

  void Write();

 private:
  void WriteContentsHeader();
  void WriteChannelBlock();
  void WriteInfoBlock();
  void WriteMasterVolume();
  void WriteVoiceDefinitions();
  void WriteDefaultTempo();
  void WriteDefaultTimeSignature();

  const CImportScan& m_scan;
  const HeaderContents& m_contents;
  CSmfImage& m_image;
  uint32_t& m_flags;
};

/// Writes the device tempo message: three 7-bit groups, or four above 0x1FFFFF.
void WriteDeviceTempo(CSmfImage& image, uint64_t tick, uint32_t tempo);

}  // namespace midigate

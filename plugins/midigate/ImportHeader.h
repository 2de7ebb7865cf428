// The song-data blocks the import writes at tick 0, before the song's own events.
#pragma once

#include <cstdint>

class CContentsInfo;

namespace midigate {

class CImportScan;
class CSmfImage;

/// Writes, in this order: contents header, channel block, contents-information block, master
/// volume, voice definitions, default tempo and default time signature (the last three only
/// when the song brings none of its own).
class CImportHeader {
 public:
  /// Result bits (CNVF_SYSEX_COPIED) are ORed into flags.
  CImportHeader(const CImportScan& scan, const CContentsInfo& contents, CSmfImage& image, uint32_t& flags);

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
  const CContentsInfo& m_contents;
  CSmfImage& m_image;
  uint32_t& m_flags;
};

/// Writes the device tempo message: three 7-bit groups, or four above 0x1FFFFF.
void WriteDeviceTempo(CSmfImage& image, uint64_t tick, uint32_t tempo);

}  // namespace midigate

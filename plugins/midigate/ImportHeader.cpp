// The song-data blocks the import writes at tick 0.
#include "plugins/midigate/ImportHeader.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "app/CnvParam.h"
#include "plugins/midigate/ImportScan.h"
#include "plugins/midigate/SmfImage.h"
#include "song/MemStream.h"
#include "song/SmfDialect.h"
#include "song/SmfDialectText.h"

namespace midigate {

namespace {

constexpr uint32_t kVoiceBlockSize = 31;  // the voice block of a definition, all zero here

void WriteAtZero(CSmfImage& image, const std::vector<uint8_t>& event) {
  image.WriteEvent(0, event.data(), static_cast<uint32_t>(event.size()));
}

}  // namespace

void WriteDeviceTempo(CSmfImage& image, uint64_t tick, uint32_t tempo) {
  std::vector<uint8_t> event = MakeTempoMessage(tempo);
  image.WriteEvent(tick, event.data(), static_cast<uint32_t>(event.size()));
}

CImportHeader::CImportHeader(const CImportScan& scan, const HeaderContents& contents, CSmfImage& image,
                             uint32_t& flags)
    : m_scan(scan), m_contents(contents), m_image(image), m_flags(flags) {}

void CImportHeader::Write() {
  WriteContentsHeader();
  WriteChannelBlock();
  WriteInfoBlock();
  WriteMasterVolume();
  if (!m_scan.HasVoiceDefinitions()) WriteVoiceDefinitions();
  if (!m_scan.TempoAtZero()) WriteDefaultTempo();
  if (!m_scan.TimeSignatureAtZero()) WriteDefaultTimeSignature();
}

void CImportHeader::WriteContentsHeader() {
  const uint8_t plain[5] = {m_contents.contentsClass, m_contents.contentsType, 1, m_contents.optionByte1,
                            m_contents.optionByte2};
  WriteAtZero(m_image, MakePackedDialectMessage(kGroupSong, kSongContentsHeader, nullptr, 0, plain, sizeof plain));
}

void CImportHeader::WriteChannelBlock() {
  const SourceBlock& block = m_scan.ChannelBlock();
  if (block.Present()) {
    m_image.WriteSysEx(0, block.raw, block.length);
    return;
  }
  uint8_t channels[16] = {};
  if (const uint8_t* bytes = m_scan.ChannelBytes()) {
    std::memcpy(channels, bytes, sizeof channels);
    m_flags |= CNVF_SYSEX_COPIED;
  }
  WriteAtZero(m_image,
              MakePackedDialectMessage(kGroupSong, kSongChannelStatus, nullptr, 0, channels, sizeof channels));
}

void CImportHeader::WriteInfoBlock() {
  const SourceBlock& block = m_scan.InfoBlock();
  if (block.Present()) {
    m_image.WriteSysEx(0, block.raw, block.length);
    return;
  }
  static_assert(kTagST == 0 && kTagUD == kInfoTextCount - 1);
  CMemStream items;
  for (int i = 0; i < kInfoTextCount; ++i) {
    const std::string& text = m_contents.texts[i];
    if (text.empty()) continue;
    // Every text is held cut to 255 characters; the cut here only guards the 16-bit length.
    uint16_t length = static_cast<uint16_t>(std::min<size_t>(text.size(), 0xFFFF));
    items.Write(ContentsTagName(kTagST + i).data(), 2);
    items.WriteBE16(length);
    items.Write(text.data(), length);
  }
  if (items.GetSize() == 0) return;
  CMemStream plain;
  plain.Write(kContentsChunkId, sizeof kContentsChunkId);
  plain.WriteByte(m_scan.LanguageIndex());
  plain.WriteBE32(static_cast<uint32_t>(items.GetSize()));
  plain.Write(items.GetData(), static_cast<uint32_t>(items.GetSize()));
  WriteAtZero(m_image, MakePackedDialectMessage(kGroupSong, kSongContentsTexts, nullptr, 0, plain.GetData(),
                                                static_cast<uint32_t>(plain.GetSize())));
}

void CImportHeader::WriteMasterVolume() {
  WriteAtZero(m_image, MakeMasterVolumeMessage(m_scan.MasterVolume()));
}

void CImportHeader::WriteVoiceDefinitions() {
  const uint8_t zeros[kVoiceBlockSize] = {};
  for (const VoiceUse& voice : m_scan.VoiceUses()) {
    const uint8_t address[5] = {voice.msb, voice.lsb, voice.program, voice.key, 0};
    WriteAtZero(m_image, MakePackedDialectMessage(kGroupDevice, kDeviceVoice, address, sizeof address, zeros,
                                                  sizeof zeros));
  }
}

void CImportHeader::WriteDefaultTempo() { WriteDeviceTempo(m_image, 0, kDefaultQuarterTempo); }

void CImportHeader::WriteDefaultTimeSignature() {
  m_image.WriteEvent(0, kDefaultTimeSignatureMeta, sizeof kDefaultTimeSignatureMeta);
}

}  // namespace midigate

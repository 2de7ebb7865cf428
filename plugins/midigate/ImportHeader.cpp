// The song-data blocks the import writes at tick 0.
#include "plugins/midigate/ImportHeader.h"

#include <cstring>
#include <vector>

#include "app/CnvParam.h"
#include "plugins/midigate/ImportScan.h"
#include "plugins/midigate/SmfImage.h"
#include "song/MemStream.h"
#include "song/SmfDialect.h"
#include "song/SmfDialectText.h"
#include "song/SongTextInfo.h"
#include "velk/ContentsInfo.h"

namespace midigate {

namespace {

constexpr uint32_t kVoiceBlockSize = 31;  // the voice block of a definition, all zero here
constexpr int kInfoTagCount = kTagUD + 1;  // ST .. UD

// The texts of the contents-information block, by tag ST .. UD.
void CollectInfoTexts(const CContentsInfo& contents, const char* (&texts)[kInfoTagCount]) {
  const CSongTextInfo& song = contents.GetSongTextInfo();
  // ST .. AN are the song text record's texts 1 to 5; the sixth has no tag.
  for (int k = 1; k <= 5; ++k) texts[kTagST + k - 1] = song.GetText(k);
  texts[kTagVN] = contents.GetText1().c_str();
  texts[kTagCN] = contents.GetText2().c_str();
  texts[kTagCA] = contents.GetText3().c_str();
  texts[kTagCR] = contents.GetText4().c_str();
  texts[kTagCD] = contents.GetText5().c_str();
  texts[kTagUD] = contents.GetText6().c_str();
}

void WriteAtZero(CSmfImage& image, const std::vector<uint8_t>& event) {
  image.WriteEvent(0, event.data(), static_cast<uint32_t>(event.size()));
}

}  // namespace

void WriteDeviceTempo(CSmfImage& image, uint64_t tick, uint32_t tempo) {
  std::vector<uint8_t> event = MakeTempoMessage(tempo);
  image.WriteEvent(tick, event.data(), static_cast<uint32_t>(event.size()));
}

CImportHeader::CImportHeader(const CImportScan& scan, const CContentsInfo& contents, CSmfImage& image,
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
  const uint8_t plain[5] = {m_contents.GetContentsClass(), m_contents.GetContentsType(), 1,
                            m_contents.GetOptionByte1(), m_contents.GetOptionByte2()};
  WriteAtZero(m_image, MakePackedDialectMessage(kGroupSong, kSongContentsHeader, nullptr, 0, plain, sizeof plain));
}

void CImportHeader::WriteChannelBlock() {
  const SourceBlock& block = m_scan.ChannelBlock();
  if (block.Present()) {
    m_image.WriteEvent(0, block.raw, block.length);
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
    m_image.WriteEvent(0, block.raw, block.length);
    return;
  }
  const char* texts[kInfoTagCount];
  CollectInfoTexts(m_contents, texts);
  CMemStream items;
  for (int i = 0; i < kInfoTagCount; ++i) {
    // Every text is held cut to 255 characters, so its length always fits 16 bits.
    size_t length = std::strlen(texts[i]);
    if (length == 0) continue;
    items.Write(ContentsTagName(i).data(), 2);
    items.WriteBE16(static_cast<uint16_t>(length));
    items.Write(texts[i], static_cast<uint32_t>(length));
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

// The song-data blocks the import writes at tick 0.
#include "plugins/midigate/ImportHeader.h"

#include <cstring>
#include <vector>

#include "app/CnvParam.h"
#include "plugins/midigate/ImportScan.h"
#include "plugins/midigate/SmfBytes.h"
#include "plugins/midigate/SmfImage.h"
#include "song/MemStream.h"
#include "song/SmfDialect.h"
#include "song/SongTextInfo.h"
#include "velk/ContentsInfo.h"

namespace midigate {

namespace {

constexpr uint32_t kDefaultTempo = 500000;
constexpr uint32_t kVoiceBlockSize = 31;  // the voice block of a definition, all zero here
constexpr size_t kInfoTagCount = 11;
constexpr const char* kInfoTags[kInfoTagCount] = {"ST", "SW", "WW", "AW", "AN", "VN",
                                                  "CN", "CA", "CR", "CD", "UD"};

// The texts of the contents-information block, in the order of kInfoTags.
void CollectInfoTexts(const CContentsInfo& contents, const char* (&texts)[kInfoTagCount]) {
  const CSongTextInfo& song = contents.GetSongTextInfo();
  texts[0] = song.GetText1();
  texts[1] = song.GetText2();
  texts[2] = song.GetText3();
  texts[3] = song.GetText4();
  texts[4] = song.GetText5();
  texts[5] = contents.GetText1().c_str();
  texts[6] = contents.GetText2().c_str();
  texts[7] = contents.GetText3().c_str();
  texts[8] = contents.GetText4().c_str();
  texts[9] = contents.GetText5().c_str();
  texts[10] = contents.GetText6().c_str();
}

// F0 len 43 79 06 group command, the prefix bytes, the packed bytes, F7; at tick 0.
void WritePackedMessage(CSmfImage& image, uint8_t group, uint8_t command, const uint8_t* prefix,
                        uint32_t prefixSize, const uint8_t* plain, uint32_t plainSize) {
  image.WriteDelta(0);
  CMemStream& out = image.Stream();
  WriteSysExEnvelope(out, prefixSize + PackedSize7In8(plainSize), group, command);
  out.Write(prefix, prefixSize);
  WritePacked(out, plain, plainSize);
  out.WriteByte(0xF7);
}

}  // namespace

void WriteDeviceTempo(CSmfImage& image, uint64_t tick, uint32_t tempo) {
  image.WriteDelta(tick);
  CMemStream& out = image.Stream();
  if (tempo > 0x1FFFFF) {
    WriteSysExEnvelope(out, 4, kGroupSong, 0x10);
    out.WriteByte(static_cast<uint8_t>((tempo >> 21) & 0x7F));
  } else {
    WriteSysExEnvelope(out, 3, kGroupSong, 0x10);
  }
  const uint8_t groups[4] = {static_cast<uint8_t>((tempo >> 14) & 0x7F), static_cast<uint8_t>((tempo >> 7) & 0x7F),
                             static_cast<uint8_t>(tempo & 0x7F), 0xF7};
  out.Write(groups, sizeof groups);
}

CImportHeader::CImportHeader(const CImportScan& scan, const CContentsInfo& contents, CSmfImage& image)
    : m_scan(scan), m_contents(contents), m_image(image) {}

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
  WritePackedMessage(m_image, kGroupSong, 0x01, nullptr, 0, plain, sizeof plain);
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
  WritePackedMessage(m_image, kGroupSong, 0x02, nullptr, 0, channels, sizeof channels);
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
  for (size_t i = 0; i < kInfoTagCount; ++i) {
    // Every text is held cut to 255 characters, so its length always fits 16 bits.
    size_t length = std::strlen(texts[i]);
    if (length == 0) continue;
    items.Write(kInfoTags[i], 2);
    items.WriteBE16(static_cast<uint16_t>(length));
    items.Write(texts[i], static_cast<uint32_t>(length));
  }
  if (items.GetSize() == 0) return;
  CMemStream plain;
  plain.WriteText("Dch");
  plain.WriteByte(m_scan.LanguageIndex());
  plain.WriteBE32(static_cast<uint32_t>(items.GetSize()));
  plain.Write(items.GetData(), static_cast<uint32_t>(items.GetSize()));
  WritePackedMessage(m_image, kGroupSong, 0x03, nullptr, 0, plain.GetData(),
                     static_cast<uint32_t>(plain.GetSize()));
}

void CImportHeader::WriteMasterVolume() {
  const uint8_t message[] = {0xF0, 0x07, kDialectMakerId, 0x79, 0x06, kGroupDevice, 0x00,
                             m_scan.MasterVolume(), 0xF7};
  m_image.WriteEvent(0, message, sizeof message);
}

void CImportHeader::WriteVoiceDefinitions() {
  const uint8_t zeros[kVoiceBlockSize] = {};
  for (const VoiceUse& voice : m_scan.VoiceUses()) {
    const uint8_t address[5] = {voice.msb, voice.lsb, voice.program, voice.key, 0};
    WritePackedMessage(m_image, kGroupDevice, 0x01, address, sizeof address, zeros, sizeof zeros);
  }
}

void CImportHeader::WriteDefaultTempo() { WriteDeviceTempo(m_image, 0, kDefaultTempo); }

void CImportHeader::WriteDefaultTimeSignature() {
  const uint8_t data[4] = {0x04, 0x02, 0x18, 0x08};
  m_image.WriteMeta(0, 0x58, data, sizeof data);
}

}  // namespace midigate

// The setup chunk "Mtsu" of a format-1/2 score track: voices, waves, data blocks and settings.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "song/MemStream.h"
#include "song/NamedBlock.h"
#include "song/VoiceItem.h"
#include "velk/SetupDataChunk.h"

class CVoiceSetupChunk : public CSetupDataChunkBase {
 public:
  static constexpr int kMaxVoices = 128;
  static constexpr int kWaveSlots = 128;
  static constexpr int kBlockSlots = 32;
  static constexpr uint8_t kSettingUnset = 0xFF;

  /// Reads the chunk; track 5 is parsed as 7-in-8 packed entries, track 6 as plain entries,
  /// any other track leaves the chunk empty. Throws -48 when the chunk runs past the stream,
  /// -108 when memory runs out. Entries that do not match, that are too short for their framing
  /// or that point beyond a table are skipped; a body that ends inside an entry keeps what was
  /// read before it.
  CVoiceSetupChunk(CMemStream& stream, uint8_t trackNumber);

  uint8_t GetVoiceCount() const { return m_voiceCount; }
  /// Voice i in file order, or null.
  const CVoiceItem* GetVoice(int i) const;
  /// The number of wave slots filled.
  uint8_t GetWaveCount() const { return m_waveCount; }
  /// The bytes of wave slot id (null when empty or out of range) and their count.
  const uint8_t* GetWave(int id) const;
  uint32_t GetWaveSize(int id) const;
  /// The named block of slot i (null when empty or out of range), and the raw data it was made
  /// from.
  const CNamedBlock* GetBlock(int i) const;
  const uint8_t* GetBlockData(int i) const;
  uint32_t GetBlockSize(int i) const;
  /// Set by kind 7 (first) and kind 13 (second, track 6 only); 0xFF until then.
  uint8_t GetSettingByte1() const { return m_setting[0]; }
  uint8_t GetSettingByte2() const { return m_setting[1]; }

 private:
  struct Entry {
    uint32_t length;  // bytes after the length up to and including F7
    uint8_t kind;
    bool packed;  // track 5 carries its data 7-in-8
  };

  void ParseEntries7Bit(CMemStream& body);
  /// Track 6; false when it stopped before the end of the body.
  bool ParseEntries8Bit(CMemStream& body);
  /// False when the entry ends the parse (a track-6 voice of another kind than FM or PCM).
  bool ReadEntry(CMemStream& body, const Entry& entry);
  bool ReadVoice(CMemStream& body, const Entry& entry);
  void ReadWave(CMemStream& body, const Entry& entry);
  void ReadBlock(CMemStream& body, const Entry& entry);
  void SetVoiceBlocks(CVoiceItem& item, bool pcm, const std::vector<uint8_t>& data) const;
  void AttachWave(uint8_t id, uint8_t format);

  std::unique_ptr<CVoiceItem> m_voices[kMaxVoices];
  uint8_t m_voiceCount = 0;
  std::vector<uint8_t> m_waves[kWaveSlots];
  bool m_waveSet[kWaveSlots] = {};
  uint8_t m_waveCount = 0;
  std::unique_ptr<CNamedBlock> m_blocks[kBlockSlots];
  std::vector<uint8_t> m_blockData[kBlockSlots];
  uint8_t m_setting[2] = {kSettingUnset, kSettingUnset};
};

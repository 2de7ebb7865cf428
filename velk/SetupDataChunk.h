// The setup data chunk "Mtsu" of a score track, and the format-0 reader of its entries.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "song/MemStream.h"
#include "song/Chunk.h"
#include "song/SongSetup.h"

inline constexpr uint32_t kIdMtsu = MakeChunkId('M', 't', 's', 'u');

/// What every setup chunk of a track answers; a chunk without an entry table, tempo byte or
/// voice records (the format-1/2 chunk) gives none, 0 and 0.
class CSetupDataChunkBase : public CChunk {
 public:
  explicit CSetupDataChunkBase(uint32_t id = kIdMtsu) : CChunk(id) {}
  /// Reads id, size and body, kept raw; the derived class parses the body.
  explicit CSetupDataChunkBase(CMemStream& stream) : CChunk(stream) {}

  /// The 16-byte entries back to back, or null when there are none.
  virtual const uint8_t* GetEntries() const { return nullptr; }
  virtual uint8_t GetEntryCount() const { return 0; }
  virtual uint8_t GetTempoByte() const { return 0; }
  /// Raw bytes of generation-2 voice record i (a zeroed 28-byte buffer), or null.
  virtual const uint8_t* GetVoiceRecord(int) const { return nullptr; }
  virtual uint8_t GetVoiceRecordCount() const { return 0; }
};

/// Format type 0: the tempo entry, generation-1 setup entries and generation-2 voice records.
class CSetupDataChunk : public CSetupDataChunkBase {
 public:
  static constexpr uint32_t kEntrySize = 16;
  /// The entry count is 8-bit, so the table holds no more.
  static constexpr int kMaxEntries = 255;
  static constexpr int kVoiceSlots = 16;
  static constexpr uint32_t kVoiceBufferSize = 28;

  /// Reads the chunk and parses its body for track numbers 0 to 4 (nothing is parsed for 5 and
  /// above). Throws -48 when the chunk runs past the stream, -108 when memory runs out; the
  /// body's content never fails: what does not match is skipped.
  CSetupDataChunk(CMemStream& stream, uint8_t trackNumber);
  /// Builds the chunk from the output record: the tempo entry, then the used setup entries of
  /// the block at offset 64 (generation 1) or the records of the non-null CVoice2 pointers of
  /// the 16 words (generation 2). With none of them used the body is empty. The chunk answers
  /// what a reader of its body would. Throws -108 when memory runs out.
  CSetupDataChunk(const SongOutputRecord& record, uint16_t tempo, bool generation2);

  const uint8_t* GetEntries() const override;
  uint8_t GetEntryCount() const override {
    return static_cast<uint8_t>(m_entries.size() / kEntrySize);
  }
  uint8_t GetTempoByte() const override { return m_tempoByte; }
  const uint8_t* GetVoiceRecord(int i) const override;
  uint8_t GetVoiceRecordCount() const override { return m_voiceCount; }
  /// The four header bytes (first, second, maker, kind) of the entry last read.
  const uint8_t* GetEntryHeader() const { return m_entryHeader; }

 private:
  void ParseBody(CMemStream& body);
  void ReadGeneration1(CMemStream& body);
  void ReadGeneration2(CMemStream& body);
  void ReadTempoEntry(CMemStream& body);
  static bool HasUsedEntries(const SongOutputRecord& record);
  static bool HasVoiceRecords(const SongOutputRecord& record);
  static void BuildGeneration1(const SongOutputRecord& record, CMemStream& out);
  static void BuildGeneration2(const SongOutputRecord& record, CMemStream& out);

  uint8_t m_entryHeader[4] = {};
  std::vector<uint8_t> m_entries;
  uint8_t m_tempoByte = 0;
  std::unique_ptr<uint8_t[]> m_voices[kVoiceSlots];
  uint8_t m_voiceCount = 0;
};

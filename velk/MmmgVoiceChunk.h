// The "VOIC" child of "MMMG" with its "DEVO" and "EXVO" entries.
#pragma once

#include <cstdint>
#include <memory>

#include "song/MemStream.h"
#include "song/Chunk.h"
#include "velk/ChunkList.h"

inline constexpr uint32_t kIdVOIC = MakeChunkId('V', 'O', 'I', 'C');
inline constexpr uint32_t kIdDEVO = MakeChunkId('D', 'E', 'V', 'O');
inline constexpr uint32_t kIdEXVO = MakeChunkId('E', 'X', 'V', 'O');

/// Base of the "VOIC" entries: entry kind 1 device voice, 2 extra voice.
class CMmmgVoiceEntry : public CChunk {
 public:
  uint8_t GetEntryKind() const { return m_entryKind; }

 protected:
  CMmmgVoiceEntry(CMemStream& stream, uint8_t entryKind) : CChunk(stream), m_entryKind(entryKind) {}

 private:
  uint8_t m_entryKind;
};

/// "DEVO": one value byte.
class CMmmgDeviceVoiceChunk : public CMmmgVoiceEntry {
 public:
  /// Throws -48 for an empty body.
  explicit CMmmgDeviceVoiceChunk(CMemStream& stream);
  void WriteBody(CMemStream& stream) override;

  uint8_t GetValue() const { return m_value; }

 private:
  uint8_t m_value = 0;
};

/// "EXVO": data framed as FF F0 (length + 4) 43 04 01 data F7.
class CMmmgExtraVoiceChunk : public CMmmgVoiceEntry {
 public:
  /// A body whose frame does not match or does not fit holds no data (length 0).
  CMmmgExtraVoiceChunk(CMemStream& stream, uint8_t index);
  void WriteBody(CMemStream& stream) override;

  uint8_t GetDataLength() const { return m_dataLength; }
  const uint8_t* GetData() const { return m_data.get(); }
  uint8_t GetIndex() const { return m_index; }

 private:
  void ParseFrame();

  std::unique_ptr<uint8_t[]> m_data;
  uint8_t m_dataLength = 0;
  uint8_t m_index;
};

using CMmmgVoiceEntryList = TChunkList<CMmmgVoiceEntry>;
using CMmmgVoiceEntryIter = TChunkListIter<CMmmgVoiceEntry>;

class CMmmgVoiceChunk : public CChunk {
 public:
  /// Keeps "DEVO" entries and the "EXVO" entries that hold data; other children are dropped.
  explicit CMmmgVoiceChunk(CMemStream& stream);
  /// Every entry in list order.
  void WriteBody(CMemStream& stream) override;

  const CMmmgVoiceEntryList& GetEntries() const { return m_entries; }
  /// The number of "EXVO" entries kept.
  uint8_t GetExtraCount() const { return m_extraCount; }

 private:
  uint8_t m_extraCount = 0;
  TOwnedChunkList<CMmmgVoiceEntry> m_entries;
};

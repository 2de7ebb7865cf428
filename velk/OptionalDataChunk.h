// The "OPDA" chunk behind "CNTI": at most one data chunk, one data chunk 0xFF and one "Pro".
#pragma once

#include <cstdint>
#include <memory>

#include "song/MemStream.h"
#include "song/Chunk.h"

inline constexpr uint32_t kIdOPDA = MakeChunkId('O', 'P', 'D', 'A');

/// "Dch" + code: tagged texts coded by the code in the id's last byte, kept as bytes.
class CDataChunk : public CChunk {
 public:
  /// An empty data chunk to fill.
  explicit CDataChunk(uint8_t code);
  /// Reads the chunk raw and keeps a copy of its body as the data.
  CDataChunk(CMemStream& stream, uint8_t code);

  void WriteBody(CMemStream& stream) override;

  uint8_t GetCode() const { return m_code; }
  CMemStream& GetData() { return m_data; }
  const CMemStream& GetData() const { return m_data; }

 private:
  uint8_t m_code;
  CMemStream m_data;
};

/// "Pro" + 0x05: three big-endian values, then data.
class CProChunk : public CChunk {
 public:
  CProChunk();
  /// Reads the chunk raw; throws -48 when its body is shorter than the three values.
  explicit CProChunk(CMemStream& stream);

  void WriteBody(CMemStream& stream) override;

  uint32_t GetValue(int i) const { return m_values[i]; }
  void SetValue(int i, uint32_t value) { m_values[i] = value; }
  CMemStream& GetData() { return m_data; }
  const CMemStream& GetData() const { return m_data; }

 private:
  uint32_t m_values[3] = {0, 0, 0};
  CMemStream m_data;
};

class COptionalDataChunk : public CChunk {
 public:
  COptionalDataChunk();

  /// Keeps the last "Dch" of a code other than 0xFF, the last "Dch"+0xFF and the last "Pro"+5.
  void Read(CMemStream& stream) override;
  /// The data chunk, the data chunk 0xFF, then "Pro", each when present.
  void WriteBody(CMemStream& stream) override;

  CDataChunk* GetDataChunk() const { return m_dataChunk.get(); }
  CDataChunk* GetDataChunkFF() const { return m_dataChunkFF.get(); }
  CProChunk* GetProChunk() const { return m_proChunk.get(); }
  /// Replace the held chunk of that kind (a code of 0xFF goes to the 0xFF slot).
  void SetDataChunk(std::unique_ptr<CDataChunk> chunk);
  void SetProChunk(std::unique_ptr<CProChunk> chunk);
  /// True when a data chunk of either kind is held (what decides whether "OPDA" is written).
  bool HasDataChunk() const { return m_dataChunk || m_dataChunkFF; }

 private:
  std::unique_ptr<CDataChunk> m_dataChunk;
  std::unique_ptr<CDataChunk> m_dataChunkFF;
  std::unique_ptr<CProChunk> m_proChunk;
};

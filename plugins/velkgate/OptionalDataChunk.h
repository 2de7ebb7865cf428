// "OPDA": the data chunk with a text code, the data chunk 0xFF and the "Pro" chunk.
#pragma once

#include <cstdint>
#include <memory>

#include "plugins/velkgate/DataChunk.h"
#include "plugins/velkgate/ProChunk.h"
#include "song/Chunk.h"

namespace velkgate {

class COptionalDataChunk : public CChunk {
 public:
  static constexpr uint32_t kId = MakeChunkId('O', 'P', 'D', 'A');

  COptionalDataChunk() : CChunk(kId) {}

  void WriteBody(CMemStream& stream) override;
  /// A later sub-chunk of a kind replaces the earlier; other ids are read and dropped.
  void ReadBody(CMemStream& stream) override;

  /// True when there is a data chunk to write (a "Pro" chunk alone does not count).
  bool HasDataChunk() const { return m_coded || m_fixed; }
  CDataChunk* GetCodedChunk() const { return m_coded.get(); }
  CDataChunk* GetFixedChunk() const { return m_fixed.get(); }
  CProChunk* GetProChunk() const { return m_pro.get(); }
  /// Takes the chunk as the coded or the fixed one by its code (null drops it).
  void SetDataChunk(bool fixed, std::unique_ptr<CDataChunk> chunk);
  void SetProChunk(std::unique_ptr<CProChunk> chunk) { m_pro = std::move(chunk); }

 private:
  std::unique_ptr<CDataChunk> m_coded;
  std::unique_ptr<CDataChunk> m_fixed;
  std::unique_ptr<CProChunk> m_pro;
};

}  // namespace velkgate

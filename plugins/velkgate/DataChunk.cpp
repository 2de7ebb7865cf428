// "Dch" + code: tagged entries of the contents information (tag, 16-bit length, value).
#include "plugins/velkgate/DataChunk.h"

namespace velkgate {

CDataChunk::CDataChunk(uint8_t code, const std::vector<uint8_t>& entries) : CChunk(IdOfCode(code)) {
  SetBodyCopy(entries.data(), static_cast<uint32_t>(entries.size()));
}

CDataChunk::CDataChunk(CMemStream& stream) : CChunk(uint32_t{0}) { Read(stream); }

}  // namespace velkgate

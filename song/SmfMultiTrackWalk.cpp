// The common walk over every track of an SMF image in time order.
#include "song/SmfMultiTrackWalk.h"

#include <cstddef>
#include <cstring>

#include "song/SmfStreamReaders.h"

void CSmfMultiTrackWalk::Open(const uint8_t* image, uint32_t size, uint32_t maxTracks) {
  m_spans.clear();
  m_cursors.clear();
  m_currentTick = 0;
  if (!ReadSmfHeader(image, size, m_header)) throw kSmfMalformed;
  uint32_t count = m_header.trackCount;
  if (maxTracks != 0 && count > maxTracks) throw kSmfMalformed;
  // Checked before reserving: every track needs at least its chunk header in the image.
  if (uint64_t{count} * kSmfChunkHeaderSize > size - kSmfHeaderSize) throw kSmfMalformed;
  m_spans.reserve(count);
  const uint8_t* end = image + size;
  const uint8_t* p = image + kSmfHeaderSize;
  for (uint32_t i = 0; i < count; ++i) {
    if (end - p < static_cast<ptrdiff_t>(kSmfChunkHeaderSize)) throw kSmfMalformed;
    if (std::memcmp(p, kSmfTrackId, 4) != 0) throw kSmfMalformed;
    uint32_t length = GetBE32(p + 4);
    p += kSmfChunkHeaderSize;
    if (length > static_cast<uint64_t>(end - p)) throw kSmfMalformed;
    m_spans.push_back({p, p + length});
    p += length;
  }
  m_cursors.resize(count);
  Rewind();
}

void CSmfMultiTrackWalk::Rewind() {
  m_currentTick = 0;
  for (uint32_t i = 0; i < m_cursors.size(); ++i) m_cursors[i].Start(m_spans[i].data, m_spans[i].end, i);
}

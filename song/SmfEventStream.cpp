// The events of the first track of an SMF image.
#include "song/SmfEventStream.h"

#include "song/SmfStreamReaders.h"

#include <algorithm>

namespace {

constexpr int kErrMalformed = -1;
constexpr uint32_t kHeaderDivision = 12;
constexpr uint32_t kTrackLength = 18;
constexpr uint32_t kTrackData = 22;
constexpr uint8_t kMetaEndOfTrack = 0x2F;

// Thrown inside the walk when an event would run past the data; Parse turns it into 0.
struct CutShort {};

// A variable-length number of at most four bytes; more throws -1.
uint32_t ReadVarLen(const uint8_t* data, uint32_t* pos, uint32_t end) {
  uint32_t value = 0;
  for (int count = 0; count < 4; ++count) {
    if (*pos >= end) throw CutShort{};
    uint8_t b = data[(*pos)++];
    value = (value << 7) | (b & 0x7F);
    if (!(b & 0x80)) return value;
  }
  throw kErrMalformed;
}

}  // namespace

CSmfEventStream::CSmfEventStream() = default;

CSmfEventStream::~CSmfEventStream() { Clear(); }

void CSmfEventStream::Clear() {
  m_events.clear();
  m_lastNoteRelease = 0;
}

uint32_t CSmfEventStream::DecodeVarLen(const uint8_t* bytes, uint32_t n) {
  if (n == 1) return bytes[0];
  uint32_t value = 0;
  for (uint32_t i = 0; i < n; ++i) value = (value << 7) | (bytes[i] & 0x7F);
  return value;
}

int CSmfEventStream::Parse(const uint8_t* image, uint32_t size) {
  Clear();
  if (!image || size < kTrackData) return 0;
  m_division = GetBE16(image + kHeaderDivision);
  uint64_t declaredEnd = uint64_t{kTrackData} + GetBE32(image + kTrackLength);
  // The declared length is trusted only as far as the image goes.
  auto end = static_cast<uint32_t>(std::min<uint64_t>(declaredEnd, size));
  try {
    bool endOfTrack = ReadEvents(image, kTrackData, end);
    return endOfTrack || end == declaredEnd ? 1 : 0;
  } catch (...) {
    return 0;
  }
}

uint32_t CSmfEventStream::EventSize(const uint8_t* data, uint32_t pos, uint32_t end) const {
  uint8_t status = data[pos];
  uint32_t p = pos + 1;
  if (status >= 0xF0) {
    if (status == 0xFF) {
      if (p >= end) throw CutShort{};
      ++p;  // the meta type
    }
    uint32_t length = ReadVarLen(data, &p, end);
    if (length > end - p) throw CutShort{};
    return p + length - pos;
  }
  uint8_t high = status & 0xF0;
  uint32_t n = (high == 0xC0 || high == 0xD0) ? 2 : 3;
  if (n > end - pos) throw CutShort{};
  return n;
}

bool CSmfEventStream::ReadEvents(const uint8_t* data, uint32_t pos, uint32_t end) {
  uint32_t tick = 0;
  while (pos < end) {
    tick += ReadVarLen(data, &pos, end);
    if (pos >= end) throw CutShort{};
    uint8_t status = data[pos];
    if (status < 0x80) throw kErrMalformed;  // running status is not supported
    uint32_t n = EventSize(data, pos, end);
    const uint8_t* event = data + pos;
    uint8_t high = status & 0xF0;
    if (high == 0x80 || (high == 0x90 && event[2] == 0)) m_lastNoteRelease = tick;
    m_events.push_back(std::make_unique<CHeapBlock>(tick, n, event));
    pos += n;
    if (status == 0xFF && event[1] == kMetaEndOfTrack) return true;
  }
  return false;
}

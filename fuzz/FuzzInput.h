// Small helpers shared by the fuzz targets: a read-only stream over the input and a list that
// frees the decoded records whatever way the reader leaves.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>

#include "song/MemStream.h"
#include "velk/SequenceEmitter.h"

namespace fuzz {

/// Inputs longer than this are not tried: no reader gains coverage from megabytes of noise and
/// the runs stay fast.
inline constexpr size_t kMaxInput = 1 << 20;

inline bool TooLong(size_t size) { return size > kMaxInput; }

/// A stream over the fuzzer's bytes; the readers never write through it.
inline CMemStream ReadStream(const uint8_t* data, size_t size) {
  return CMemStream(const_cast<uint8_t*>(data), static_cast<int32_t>(size), false);
}

/// Decoded sequence records, deleted with the list.
struct OwnedRecords {
  CSeqEventList list;
  ~OwnedRecords() { list.DeleteAll(); }
};

}  // namespace fuzz

// Test helpers: the records a sequence decoder emitted, as plain values that compare whole.
#pragma once

#include <cstdint>
#include <ostream>
#include <vector>

#include "song/SeqEvent.h"
#include "velk/SequenceEmitter.h"

namespace velktest {

struct Rec {
  uint32_t tick;
  std::vector<uint8_t> bytes;
  uint32_t end;
  uint32_t extra;

  bool operator==(const Rec& o) const {
    return tick == o.tick && bytes == o.bytes && end == o.end && extra == o.extra;
  }
};

inline std::ostream& operator<<(std::ostream& os, const Rec& r) {
  os << "{tick " << r.tick << ", bytes";
  for (uint8_t b : r.bytes) os << ' ' << std::hex << int{b} << std::dec;
  return os << ", end " << r.end << ", extra " << r.extra << '}';
}

/// A cue record: one data byte 0, end tick 0, the cue code as extra.
inline Rec Cue(uint32_t tick, uint32_t code) { return Rec{tick, {0}, 0, code}; }

/// An event list that deletes its records.
class RecordList {
 public:
  RecordList() = default;
  RecordList(const RecordList&) = delete;
  RecordList& operator=(const RecordList&) = delete;
  ~RecordList() { m_list.DeleteAll(); }

  CSeqEventList& List() { return m_list; }

  std::vector<Rec> Records() const {
    std::vector<Rec> out;
    CSeqEvent* e = nullptr;
    for (CSeqEventIter it(m_list); it.Next(e);) {
      out.push_back(Rec{e->GetTick(), std::vector<uint8_t>(e->GetData(), e->GetData() + e->GetLength()),
                        e->GetEndTick(), e->GetExtra()});
    }
    return out;
  }

 private:
  CSeqEventList m_list;
};

}  // namespace velktest

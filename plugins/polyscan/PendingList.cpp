// Register writes that the chip driver holds back until a later time.
#include "plugins/polyscan/PendingList.h"

#include "app/CnvParam.h"
#include "plugins/polyscan/CheckFailure.h"

namespace polyscan {

void PendingList::Add(uint64_t dueMicros, uint8_t slot, bool keyOn) {
  if (m_count >= kPendingCapacity) throw CheckFailure{CNVERR_FAILED};
  m_entries[m_count++] = Entry{dueMicros, slot, keyOn};
}

void PendingList::FlushUntil(uint64_t nowMicros) {
  size_t kept = 0;
  for (size_t i = 0; i < m_count; ++i) {
    if (m_entries[i].due > nowMicros) m_entries[kept++] = m_entries[i];
  }
  m_count = kept;
}

}  // namespace polyscan

// The scan that drops events without audible effect and settles mono-mode note conflicts.
#pragma once

#include <cstdint>

#include "plugins/velkgate/PtrArray.h"

class CSeqEvent;

namespace velkgate {

inline constexpr uint8_t kNoForcedMono = 255;

/// Marks redundant events of the tick-ordered array as dropped and removes them from it
/// (the events themselves stay with their owner). Sets CNVF_MONO_NOTES_DROPPED in flags when
/// a mono channel had two note-ons on one tick. Returns 1.
int RemoveRedundantEvents(CPtrArray<CSeqEvent>& events, uint8_t forcedMonoChannel,
                          uint32_t& flags);

}  // namespace velkgate

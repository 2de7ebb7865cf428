// The scan that drops events without audible effect and settles mono-mode note conflicts.
#include "plugins/velkgate/RedundantEvents.h"

#include "plugins/velkgate/VelkgateFlags.h"
#include "song/SeqEvent.h"
#include "song/SmfDialect.h"

namespace velkgate {

namespace {

constexpr int kChannels = 16;

bool InScope(const CSeqEvent* e) { return !e->IsDropped() && e->GetExtra() == 0; }
uint8_t StatusOf(const CSeqEvent* e) { return e->GetLength() > 0 ? e->GetDataByte(0) : 0; }
bool IsNoteOn(const CSeqEvent* e) { return (StatusOf(e) & 0xF0) == 0x90; }

/// Controllers that set up banks and registered parameters: never redundant.
bool IsKeptController(uint8_t controller) {
  return controller == 0 || controller == 6 || controller == 32 || controller == 100 ||
         controller == 101;
}

/// The device master-volume message F0 len 43 79 06 7F 00 ...
bool IsMasterVolumeSysEx(const CSeqEvent* e) {
  static constexpr uint8_t kHead[5] = {kDialectMakerId, kDialectModelId, kDialectDeviceId,
                                       kGroupDevice, kDeviceMasterVolume};
  if (StatusOf(e) != 0xF0 || e->GetLength() < 7) return false;
  for (int i = 0; i < 5; ++i)
    if (e->GetDataByte(2 + i) != kHead[i]) return false;
  return true;
}

/// Same status byte, and for a control change the same controller.
bool IsSameMessageKind(const CSeqEvent* a, const CSeqEvent* b) {
  if (StatusOf(a) != StatusOf(b)) return false;
  return (StatusOf(a) & 0xF0) != 0xB0 || a->GetDataByte(1) == b->GetDataByte(1);
}

class RedundantScan {
 public:
  RedundantScan(CPtrArray<CSeqEvent>& events, uint8_t forcedMono, uint32_t& flags)
      : m_events(events), m_flags(flags) {
    FindMonoChannels(forcedMono);
  }

  void Run() {
    for (int32_t i = 0; i < m_events.GetCount(); ++i) {
      CSeqEvent* e = m_events[i];
      if (!InScope(e)) continue;
      uint8_t status = StatusOf(e);
      int channel = status & 0x0F;
      switch (status & 0xF0) {
        case 0x90: NoteOn(e, channel); break;
        case 0xB0:
          if (!IsKeptController(e->GetDataByte(1))) TestChannelEvent(i, channel);
          break;
        case 0xC0:
        case 0xE0: TestChannelEvent(i, channel); break;
        case 0xF0:
          if (status == 0xF0 && IsMasterVolumeSysEx(e) && !IsKeptController(e->GetDataByte(1)))
            TestMasterVolume(i);
          break;
        default: break;
      }
    }
    m_events.Compact([](CSeqEvent* e) { return !e->IsDropped(); });
  }

 private:
  void FindMonoChannels(uint8_t forcedMono) {
    for (CSeqEvent* e : m_events) {
      uint8_t status = StatusOf(e);
      if ((status & 0xF0) == 0xB0 && e->GetDataByte(1) == 126 && e->GetDataByte(2) == 1)
        m_mono[status & 0x0F] = true;
      if ((status & 0xF0) == 0x90) break;
    }
    if (forcedMono < kChannels) m_mono[forcedMono] = true;
  }

  void NoteOn(CSeqEvent* e, int channel) {
    m_songNote = true;
    m_channelNote[channel] = true;
    CSeqEvent* previous = m_lastNote[channel];
    if (m_mono[channel] && previous && !previous->IsDropped() &&
        previous->GetTick() == e->GetTick()) {
      previous->SetDropped(true);
      m_flags |= CNVF_MONO_NOTES_DROPPED;
    }
    m_lastNote[channel] = e;
  }

  /// Program change, pitch bend or a tested controller: before the channel's first note any
  /// later repeat makes it redundant, until a note of the channel intervenes; after that only
  /// a repeat on the same tick does.
  void TestChannelEvent(int32_t index, int channel) {
    CSeqEvent* e = m_events[index];
    bool afterNote = m_channelNote[channel];
    for (int32_t j = index + 1; j < m_events.GetCount(); ++j) {
      CSeqEvent* later = m_events[j];
      if (afterNote && later->GetTick() != e->GetTick()) return;
      if (!InScope(later) || (StatusOf(later) & 0x0F) != channel || StatusOf(later) >= 0xF0)
        continue;
      if (!afterNote && IsNoteOn(later)) return;
      if (IsSameMessageKind(e, later)) {
        e->SetDropped(true);
        return;
      }
    }
  }

  /// The same rule song-wide for the master volume.
  void TestMasterVolume(int32_t index) {
    CSeqEvent* e = m_events[index];
    for (int32_t j = index + 1; j < m_events.GetCount(); ++j) {
      CSeqEvent* later = m_events[j];
      if (m_songNote && later->GetTick() != e->GetTick()) return;
      if (!InScope(later)) continue;
      if (!m_songNote && IsNoteOn(later)) return;
      if (IsMasterVolumeSysEx(later)) {
        e->SetDropped(true);
        return;
      }
    }
  }

  CPtrArray<CSeqEvent>& m_events;
  uint32_t& m_flags;
  bool m_mono[kChannels] = {};
  bool m_songNote = false;
  bool m_channelNote[kChannels] = {};
  CSeqEvent* m_lastNote[kChannels] = {};
};

}  // namespace

int RemoveRedundantEvents(CPtrArray<CSeqEvent>& events, uint8_t forcedMonoChannel,
                          uint32_t& flags) {
  RedundantScan scan(events, forcedMonoChannel, flags);
  scan.Run();
  return 1;
}

}  // namespace velkgate

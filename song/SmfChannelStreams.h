// The channel split: rewrites a one-track SMF so that every channel asking for several voices
// (control change 55 at tick 0) is spread over several output channels, one note per channel.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "song/MemStream.h"
#include "song/SmfChannelSlot.h"

struct SmfEvent;
class CSmfTrackCursor;

class CSmfChannelStreams {
 public:
  static constexpr int kChannelCount = 16;
  static constexpr uint8_t kNoSlot = 0xFF;

  CSmfChannelStreams();
  virtual ~CSmfChannelStreams();
  CSmfChannelStreams(const CSmfChannelStreams&) = delete;
  CSmfChannelStreams& operator=(const CSmfChannelStreams&) = delete;

  /// Rewrites an SMF of one track into the output stream and returns 1. Throws kSmfMalformed
  /// for a malformed image, more than one track, or no channel with a voice count; -108 when
  /// the output cannot grow.
  int SplitChannels(const uint8_t* image, uint32_t size);
  uint32_t GetStreamSize() const { return static_cast<uint32_t>(m_output->GetSize()); }
  /// Copies n bytes (at most the output's size) into buffer; 0 when buffer is null, else 1.
  int CopyStream(uint8_t* buffer, uint32_t n) const;

  /// The output channel for a melodic note of a source channel, or 0xFF (no slot, note dropped).
  /// A note on that takes over a sounding slot stores the note it stole in `stolen` (else 0xFF).
  uint8_t AllocNoteSlot(uint8_t note, uint8_t channel, uint32_t tick, uint8_t& stolen, bool noteOn);
  /// The output channel for a drum key of a source channel, or 0xFF (dropped). A key keeps the
  /// output channel it was first bound to.
  uint8_t AllocDrumSlot(uint8_t key, uint8_t channel, uint32_t tick, bool noteOn);

  /// The voice count a source channel asked for (0xFF: none), after SplitChannels.
  uint8_t GetVoiceCount(uint8_t channel) const { return m_voiceCount[channel & 0x0F]; }
  const CSmfChannelSlot& GetSlot(int outputChannel) const { return m_slots[outputChannel & 0x0F]; }
  /// Binds an output channel to a source channel (what the split's hand-out does).
  void AssignSlot(int outputChannel, uint8_t sourceChannel);

 private:
  struct SourceState {
    uint8_t program = 0xFF;
    uint8_t bank = 0xFF;
    bool drum = false;
    bool hasNotes = false;
    bool hasProgram = false;
  };

  void Reset();
  void CountVoices(const SmfEvent& event);
  void HandOutChannels();
  void SplitEvent(const SmfEvent& event, CSmfTrackCursor& cursor);
  void SplitNote(const SmfEvent& event);
  void SplitControl(const SmfEvent& event);
  void SplitProgram(const SmfEvent& event);
  void ReleaseForProgram(int outputChannel, bool nowMelodic);
  void Emit(uint8_t status, uint8_t data1, uint8_t data2, uint32_t size);
  void EmitStored(const SmfEvent& event);
  int FirstOutputOf(uint8_t channel) const;

  std::unique_ptr<CMemStream> m_output;
  std::array<uint8_t, kChannelCount> m_voiceCount;
  std::array<CSmfChannelSlot, kChannelCount> m_slots;
  std::array<SourceState, kChannelCount> m_sources;
  CSmfTrackCursor* m_cursor = nullptr;  // of the event being split; owes its pending delta
};

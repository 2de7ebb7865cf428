// The byte writer of generation-1/2 compact sequences: deltas, control, note and exclusive
// events, the re-strike chains of long notes and the closing bytes.
#pragma once

#include <cstdint>
#include <set>

#include "song/MemStream.h"

class CCompactSequenceWriter {
 public:
  /// Score notes carry a channel and octave shifts; wave notes (the audio sequence) are bytes
  /// 1..63 with no channel.
  enum class NoteForm { kScore, kWave };

  static constexpr int kChannels = 4;
  /// Control codes of the second control byte (its low six bits).
  static constexpr uint8_t kCodeProgram = 0x30;
  static constexpr uint8_t kCodeBank = 0x31;
  static constexpr uint8_t kCodeOctave = 0x32;
  static constexpr uint8_t kCodeModulation = 0x33;
  static constexpr uint8_t kCodePitchBend = 0x34;
  static constexpr uint8_t kCodeVolume = 0x37;
  static constexpr uint8_t kCodePan = 0x3A;
  static constexpr uint8_t kCodeExpression = 0x3B;

  explicit CCompactSequenceWriter(NoteForm form);

  /// Every event below first writes the re-strikes due before its tick, then its delta from
  /// the last written tick (0 for a tick before it). Throws -108 when memory runs out.

  /// FF F0 06 43 m 80 31 t F7 with the header tempo byte of the tempo.
  void WriteHeader(uint32_t tick, uint8_t m, uint16_t tempo);
  /// 00, (channel << 6) | code, value.
  void WriteControl(uint32_t tick, int channel, uint8_t code, uint8_t value);
  /// A score note 0..127 of channel 0..3 (an octave shift first when it lies outside the
  /// channel's window), or a wave note 1..63; a gate over 16511 starts a re-strike chain.
  void WriteNote(uint32_t tick, int channel, uint8_t note, uint32_t gate);
  /// FF 00; returns the body offset behind it.
  uint32_t WriteNoOperation(uint32_t tick);
  /// FF F0 06 43, the four bytes, F7.
  void WriteExclusive(uint32_t tick, const uint8_t (&bytes)[4]);
  /// Writes every pending re-strike, the closing event (its delta up to the latest end, FF 00)
  /// and 00 00 00 00. Returns the offset of the closing event: the end value.
  uint32_t Close(uint32_t latestEnd);

  /// The body written so far.
  CMemStream& GetStream() { return m_out; }

  /// The octave whose window holds the note: -4 for 0, -3 for 1..12, ... 0 for 37..84, then
  /// (note - 84) / 12 rounded up.
  static int NoteOctave(int note);
  /// True when the note is in the window 12o+37 .. 12o+84 of octave o.
  static bool IsInOctaveWindow(int note, int octave);
  /// The note byte of a score note at octave o: (channel << 6) | (block << 4) | k, k 1..12.
  static uint8_t ScoreNoteByte(int channel, int note, int octave);

 private:
  struct Restrike {
    uint32_t tick;
    int channel;
    uint8_t note;
    uint32_t gate;
    bool operator<(const Restrike& o) const {
      if (tick != o.tick) return tick < o.tick;
      if (channel != o.channel) return channel < o.channel;
      return note < o.note;
    }
  };

  void WriteRestrikesBefore(uint64_t tick);
  void WriteDelta(uint32_t tick);
  void WriteNoteEvent(uint32_t tick, int channel, uint8_t note, uint32_t gate);
  uint32_t Position() const { return static_cast<uint32_t>(m_out.GetPosition()); }

  NoteForm m_form;
  CMemStream m_out;
  uint32_t m_lastTick = 0;
  int m_octave[kChannels] = {};
  std::multiset<Restrike> m_restrikes;
};

// The output engine's three playback threads, each a round function over the tick count so
// that tests can run the rounds one by one under a manual clock.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/midi/MidiBackend.h"
#include "platform/sys/Clock.h"

class CKZ1Doc;
class CVoiceLibrary;
class TMidiOutCtrl;
namespace platform {
class INotifySink;
}

/// What Play copies for the chip-mode-1 thread, so that edits, or closing the song, never
/// reach it. Times are whole milliseconds of CKZ1Doc::TickToMs.
struct PlaySongCopy {
  static constexpr uint32_t kNoTime = 0xFFFFFFFFu;
  static constexpr uint8_t kNoVolume = 255;

  struct Event {
    uint32_t timeMs = 0;
    uint32_t endMs = 0;
    /// The section marker number (CMidiMsg::GetExtra), 0 for a plain event.
    uint32_t section = 0;
    uint32_t length = 0;
    /// The first three bytes (zero where the event is shorter).
    std::array<uint8_t, 3> bytes{};
  };

  std::vector<Event> events;
  /// Channels 0..3: the program sent (bank base + program) and the volume (255: not set).
  std::array<uint8_t, 4> programs{};
  std::array<uint8_t, 4> volumes{kNoVolume, kNoVolume, kNoVolume, kNoVolume};
  /// Cue points 8 and 9 (kNoTime when not set) and the play range.
  uint32_t cue8Ms = kNoTime;
  uint32_t cue9Ms = kNoTime;
  bool rangeOn = false;
  uint32_t rangeStartMs = 0;
  uint32_t rangeEndMs = 0;
};

/// The copy of `doc` for play; `library` gives the bank base (none: 0).
PlaySongCopy CopySongForPlay(const CKZ1Doc& doc, const CVoiceLibrary* library);

/// The play range of the copy for a section code: S, E and whether L is set.
struct PlayRange {
  bool on = false;
  uint32_t startMs = 0;
  uint32_t endMs = 0;
};
PlayRange ChoosePlayRange(const PlaySongCopy& song, int sectionCode);

/// The chip-mode-1 thread: it plays the copied event list through its own MIDI output.
class PlayThreadRounds {
 public:
  PlayThreadRounds(TMidiOutCtrl& engine, PlaySongCopy song, platform::INotifySink* sink);
  ~PlayThreadRounds();
  PlayThreadRounds(const PlayThreadRounds&) = delete;
  PlayThreadRounds& operator=(const PlayThreadRounds&) = delete;

  /// Opens the output of the engine's device index, sends the channel set-up and takes the
  /// range. A failed open shows 7002 (never waited for), clears the playing flag: false.
  bool Begin();
  /// One round: -1 when play has ended (the output is closed), else the milliseconds to sleep
  /// before the next round (0 after a due event, so that all due events go out together).
  int Round();
  const PlayRange& Range() const { return m_range; }

 private:
  struct Sounding {
    uint8_t channel;
    uint8_t key;
    uint32_t endMs;
  };

  /// Channel set-up, range and time origin: the start of a pass.
  void StartPass();
  void SendChannelSetUp();
  void TakeEvent();
  void PlayEvent(const PlaySongCopy::Event& event);
  void SendShort(uint8_t status, uint8_t data1, uint8_t data2);
  void SendNoteOffs(uint32_t t, bool all);
  void Finish();

  TMidiOutCtrl& m_engine;
  PlaySongCopy m_song;
  platform::INotifySink* m_sink;
  std::shared_ptr<platform::IMidiOutput> m_out;
  PlayRange m_range;
  uint32_t m_t0 = 0;
  size_t m_next = 0;
  bool m_listDone = false;
  bool m_hasPending = false;
  PlaySongCopy::Event m_pending;
  std::vector<Sounding> m_sounding;
  bool m_playedThisPass = false;
  bool m_endReached = false;
};

/// The chip-mode-2 thread: only the play position advances, from the start position S.
class PositionThreadRounds {
 public:
  PositionThreadRounds(TMidiOutCtrl& engine, platform::INotifySink* sink, uint32_t startMs);
  void Begin();
  /// -1 once the playing flag is clear, else 10.
  int Round();

 private:
  TMidiOutCtrl& m_engine;
  platform::INotifySink* m_sink;
  uint32_t m_start;
  uint32_t m_t0 = 0;
};

/// The start position of the chip-mode-2 thread for a song (none: 0), chip mode and section.
uint32_t PositionThreadStart(const CKZ1Doc* doc, int chipMode, int sectionCode);

/// The board position thread (chip modes 3 and 5, and direct play): position, restarts and the
/// once-a-second refresh.
class BoardPositionThreadRounds {
 public:
  /// `songOpen`: whether a song was open when play started.
  BoardPositionThreadRounds(TMidiOutCtrl& engine, platform::INotifySink* sink, bool songOpen);
  /// The time origin from the application's play position.
  void Begin();
  /// -1 once the playing flag is clear, else 40.
  int Round();

 private:
  TMidiOutCtrl& m_engine;
  platform::INotifySink* m_sink;
  bool m_songOpen;
  uint32_t m_t0 = 0;
  uint32_t m_last = 0;
};

/// Runs rounds until one answers -1, sleeping between them through the installed clock.
template <typename Rounds>
void RunRounds(Rounds& rounds) {
  for (int sleep; (sleep = rounds.Round()) >= 0;) {
    if (sleep > 0) platform::SleepMs(static_cast<uint32_t>(sleep));
  }
}

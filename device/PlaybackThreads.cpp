// The output engine's three playback threads as round functions.
#include "device/PlaybackThreads.h"

#include <algorithm>
#include <cmath>

#include "device/AppPlayState.h"
#include "device/MidiOutCtrl.h"
#include "platform/host/HostServices.h"
#include "platform/host/NotifySink.h"
#include "song/SongSetup.h"
#include "song/VoiceLibrary.h"
#include "song/document/KZ1Doc.h"

namespace {

constexpr int kMsgCannotOpenMidiDevice = 7002;
constexpr int kPlaySleepMs = 1;
constexpr int kPositionSleepMs = 10;
constexpr int kBoardSleepMs = 40;
constexpr uint32_t kSecondMs = 1000;
constexpr uint8_t kNoteOn = 0x90;
constexpr uint8_t kControlChange = 0xB0;
constexpr uint8_t kProgramChange = 0xC0;
constexpr uint8_t kMainVolume = 7;

/// Whole milliseconds, truncated toward zero and kept within 32 bits.
uint32_t WholeMs(double ms) {
  if (!(ms > 0.0)) return 0;
  if (ms >= 4294967295.0) return PlaySongCopy::kNoTime;
  return static_cast<uint32_t>(ms);
}

intptr_t EngineParam(TMidiOutCtrl& engine) {
  return reinterpret_cast<intptr_t>(static_cast<IOutputEngine*>(&engine));
}

/// The bytes a short message of this status takes; 0 for the kinds the thread does not send.
uint32_t ShortLength(uint8_t status) {
  switch (status & 0xF0) {
    case kProgramChange: return 2;
    case 0x80:
    case kNoteOn:
    case kControlChange: return 3;
    default: return 0;
  }
}

bool IsNoteOn(const PlaySongCopy::Event& e) { return (e.bytes[0] & 0xF0) == kNoteOn; }

void PostPosition(platform::INotifySink* sink, TMidiOutCtrl& engine, bool coalesce) {
  if (sink && !appPlayState().suppressPositionPosts.load()) {
    sink->Post(platform::kWmPlayPosition, 8, EngineParam(engine), coalesce);
  }
}

}  // namespace

// --- The copy ---------------------------------------------------------------------------------

PlaySongCopy CopySongForPlay(const CKZ1Doc& doc, const CVoiceLibrary* library) {
  PlaySongCopy song;
  const CKZ1Doc::EventList& list = *doc.GetMidiList();
  song.events.reserve(list.size());
  for (const auto& msg : list) {
    PlaySongCopy::Event e;
    e.timeMs = WholeMs(doc.TickToMs(msg->GetTick()));
    e.endMs = WholeMs(doc.TickToMs(msg->GetEndTick()));
    e.section = msg->GetExtra();
    e.length = msg->GetLength();
    for (uint32_t i = 0; i < 3 && i < e.length; ++i) e.bytes[i] = msg->GetByte(i);
    song.events.push_back(e);
  }
  // Flag 0: muted channels get volume 0.
  SongOutputRecord setup;
  doc.BuildOutputSetup(setup, 0);
  for (int ch = 0; ch < 4; ++ch) {
    const int base = library ? library->GetBankBaseIndex(setup.BankCode(ch)) : 0;
    song.programs[ch] = static_cast<uint8_t>((base + setup.ProgramCode(ch)) & 0x7F);
    song.volumes[ch] = setup.bytes[SongOutputRecord::kVolumeOffset + ch];
  }
  const uint32_t cue8 = doc.GetCuePoint(CKZ1Doc::kStartCue);
  const uint32_t cue9 = doc.GetCuePoint(CKZ1Doc::kStopCue);
  if (cue8 != CKZ1Doc::kNoCue) song.cue8Ms = WholeMs(doc.TickToMs(cue8));
  if (cue9 != CKZ1Doc::kNoCue) song.cue9Ms = WholeMs(doc.TickToMs(cue9));
  song.rangeOn = doc.IsPlayRangeOn() != 0;
  if (song.rangeOn) {
    song.rangeStartMs = WholeMs(doc.TickToMs(doc.GetPlayRangeStart()));
    song.rangeEndMs = WholeMs(doc.TickToMs(doc.GetPlayRangeEnd()));
  }
  return song;
}

PlayRange ChoosePlayRange(const PlaySongCopy& song, int sectionCode) {
  PlayRange range;
  if (sectionCode != 0) {
    const uint32_t code = static_cast<uint32_t>(sectionCode);
    bool seenCode = false;
    for (const PlaySongCopy::Event& e : song.events) {
      // Another marker ends the chosen section only once that section has begun; before it,
      // the markers of earlier sections are passed over.
      if (seenCode && e.section != 0 && e.section != code && e.section != 8 && e.section != 9) {
        range.endMs = e.timeMs;
        break;
      }
      if (e.section == code) {
        range.startMs = e.timeMs;
        seenCode = true;
      }
      range.endMs = std::max(range.endMs, e.endMs);
    }
    range.on = range.startMs < range.endMs;
    return range;
  }
  if (song.cue8Ms != PlaySongCopy::kNoTime) {
    range = {true, song.cue8Ms, song.cue9Ms};
  } else if (song.rangeOn) {
    range = {true, song.rangeStartMs, song.rangeEndMs};
  }
  return range;
}

// --- The chip-mode-1 thread ------------------------------------------------------------------

PlayThreadRounds::PlayThreadRounds(TMidiOutCtrl& engine, PlaySongCopy song, platform::INotifySink* sink)
    : m_engine(engine), m_song(std::move(song)), m_sink(sink) {}

PlayThreadRounds::~PlayThreadRounds() {
  if (m_out) m_out->Close();
}

bool PlayThreadRounds::Begin() {
  m_out = platform::midi().OpenOutput(m_engine.GetMidiOutDevice());
  if (!m_out) {
    // Shown on this thread through a presenter that never waits for the window.
    platform::ShowMessage(kMsgCannotOpenMidiDevice);
    m_engine.SetPlaying(false);
    return false;
  }
  StartPass();
  return true;
}

void PlayThreadRounds::StartPass() {
  SendChannelSetUp();
  m_range = ChoosePlayRange(m_song, m_engine.GetLoopMode());
  m_t0 = platform::GetTickCount() - m_range.startMs;
  m_next = 0;
  m_listDone = false;
  m_hasPending = false;
  m_sounding.clear();
  m_playedThisPass = false;
  m_endReached = false;
}

void PlayThreadRounds::SendChannelSetUp() {
  for (uint8_t ch = 0; ch < 4; ++ch) {
    SendShort(static_cast<uint8_t>(kProgramChange | ch), m_song.programs[ch], 0);
    // Volume 255 means "not set": nothing is sent for it.
    const uint8_t volume = m_song.volumes[ch];
    if (volume != PlaySongCopy::kNoVolume) {
      SendShort(static_cast<uint8_t>(kControlChange | ch), kMainVolume, static_cast<uint8_t>(volume & 0x7F));
    }
  }
}

void PlayThreadRounds::SendShort(uint8_t status, uint8_t data1, uint8_t data2) {
  const uint8_t message[3] = {status, data1, data2};
  const uint32_t length = ShortLength(status);
  if (m_out && length > 0) m_out->Send(message, length);
}

void PlayThreadRounds::TakeEvent() {
  while (m_next < m_song.events.size()) {
    const PlaySongCopy::Event& e = m_song.events[m_next++];
    if (m_range.on) {
      // Past the range's end: dropped, and nothing more is taken this round.
      if (e.timeMs >= m_range.startMs && e.timeMs > m_range.endMs) return;
      // A note that is over before the start is never heard.
      if (e.timeMs < m_range.startMs && IsNoteOn(e) && e.endMs <= m_range.startMs) continue;
    }
    m_pending = e;
    m_hasPending = true;
    return;
  }
  m_listDone = true;
}

void PlayThreadRounds::PlayEvent(const PlaySongCopy::Event& e) {
  const uint8_t status = e.bytes[0];
  const uint8_t kind = status & 0xF0;
  if (kind != kNoteOn && kind != kControlChange && kind != kProgramChange) return;
  // A record shorter than its status asks for is dropped whole.
  if (e.length < ShortLength(status)) return;
  if (kind == kNoteOn) m_sounding.push_back({static_cast<uint8_t>(status & 0x0F), e.bytes[1], e.endMs});
  SendShort(status, e.bytes[1], e.bytes[2]);
  m_playedThisPass = true;
}

void PlayThreadRounds::SendNoteOffs(uint32_t t, bool all) {
  auto it = m_sounding.begin();
  while (it != m_sounding.end()) {
    if (all || it->endMs <= t) {
      SendShort(static_cast<uint8_t>(kNoteOn | it->channel), it->key, 0);
      it = m_sounding.erase(it);
    } else {
      ++it;
    }
  }
}

void PlayThreadRounds::Finish() {
  // Notes still sounding are ended, so that none hangs on the device after Stop.
  SendNoteOffs(0, true);
  if (m_out) m_out->Close();
  m_out.reset();
  m_engine.SetPlaying(false);
}

int PlayThreadRounds::Round() {
  if (!m_engine.IsPlaying()) {
    Finish();
    return -1;
  }
  const uint32_t t = platform::GetTickCount() - m_t0;
  if (!m_hasPending && !m_listDone) TakeEvent();
  if (m_hasPending && m_pending.timeMs <= t) {
    m_hasPending = false;
    PlayEvent(m_pending);
    return 0;
  }
  SendNoteOffs(t, false);
  m_engine.SetPlayPosition(t);
  // This thread posts every round without coalescing.
  PostPosition(m_sink, m_engine, false);
  if (m_listDone && !m_hasPending && m_sounding.empty()) {
    // A repeat that would play nothing ends instead of sending the set-up again at once.
    if (appPlayState().repeat.load() && m_playedThisPass) {
      StartPass();
      return kPlaySleepMs;
    }
    m_engine.SetPlaying(false);
  }
  // The output is reset once when play reaches the range's end, not in every round after it.
  if (m_range.on && m_range.endMs <= t && !m_endReached) {
    m_endReached = true;
    if (m_out) m_out->Reset();
    m_listDone = true;
    m_hasPending = false;
    m_sounding.clear();
  }
  return kPlaySleepMs;
}

// --- The chip-mode-2 thread ------------------------------------------------------------------

uint32_t PositionThreadStart(const CKZ1Doc* doc, int chipMode, int sectionCode) {
  if (sectionCode != 0) return 0;
  if (chipMode == 3 || chipMode == 5) return appPlayState().playPositionMs.load();
  if (!doc || (chipMode != 1 && chipMode != 2)) return 0;
  const uint32_t cue8 = doc->GetCuePoint(CKZ1Doc::kStartCue);
  if (cue8 != CKZ1Doc::kNoCue) return WholeMs(doc->TickToMs(cue8));
  if (doc->IsPlayRangeOn()) return WholeMs(doc->TickToMs(doc->GetPlayRangeStart()));
  return 0;
}

PositionThreadRounds::PositionThreadRounds(TMidiOutCtrl& engine, platform::INotifySink* sink, uint32_t startMs)
    : m_engine(engine), m_sink(sink), m_start(startMs) {}

void PositionThreadRounds::Begin() { m_t0 = platform::GetTickCount() - m_start; }

int PositionThreadRounds::Round() {
  if (!m_engine.IsPlaying()) return -1;
  m_engine.SetPlayPosition(platform::GetTickCount() - m_t0);
  PostPosition(m_sink, m_engine, true);
  return kPositionSleepMs;
}

// --- The board position thread ---------------------------------------------------------------

BoardPositionThreadRounds::BoardPositionThreadRounds(TMidiOutCtrl& engine, platform::INotifySink* sink,
                                                     bool songOpen)
    : m_engine(engine), m_sink(sink), m_songOpen(songOpen) {}

void BoardPositionThreadRounds::Begin() {
  m_t0 = platform::GetTickCount() - appPlayState().playPositionMs.load();
  m_last = 0;
}

int BoardPositionThreadRounds::Round() {
  if (!m_engine.IsPlaying()) return -1;
  uint32_t restart = 0;
  if (m_engine.TakeRestart(restart)) m_t0 = platform::GetTickCount() - restart;
  const uint32_t position = platform::GetTickCount() - m_t0;
  m_engine.SetPlayPosition(position);
  if (m_songOpen && platform::profile().GetProfileInt("Setting", "OutputFormat", 3) != 0) {
    if (position < m_last) m_last = 0;
    if (m_last + kSecondMs < position) {
      if (m_sink) m_sink->Post(platform::kWmPlaySecond, 10, EngineParam(m_engine), true);
      m_last = position;
    }
  }
  PostPosition(m_sink, m_engine, true);
  return kBoardSleepMs;
}

// The output engine's playback: Play, Stop and the one playback thread.
#include <system_error>

#include "device/AppPlayState.h"
#include "device/MidiOutCtrl.h"
#include "device/PlaybackThreads.h"
#include "platform/host/HostServices.h"
#include "song/document/KZ1Doc.h"

namespace {

constexpr int kMsgCannotPlay = 7001;
constexpr int kPhraseProfile = 4;

int ChipMode() { return platform::settings().GetChipMode(); }

}  // namespace

void TMidiOutCtrl::SetThreadFactory(ThreadFactory factory) {
  m_threadFactory = factory ? std::move(factory) : [](std::function<void()> body) { return std::thread(std::move(body)); };
}

bool TMidiOutCtrl::StartThread(std::function<void()> body) {
  // One thread at a time: one that ended by itself is joined first, a running one is ended.
  if (m_thread.joinable()) {
    if (!m_threadEnded.load()) {
      const bool playing = m_playing.exchange(false);
      JoinThread();
      m_playing.store(playing);
    } else {
      JoinThread();
    }
  }
  m_threadEnded.store(false);
  try {
    m_thread = m_threadFactory([this, body = std::move(body)] {
      body();
      m_threadEnded.store(true);
    });
  } catch (const std::system_error&) {
    return false;
  }
  return true;
}

void TMidiOutCtrl::JoinThread() {
  if (m_thread.joinable()) m_thread.join();
  m_thread = std::thread();
}

int TMidiOutCtrl::Play() {
  ClearBoardOk();
  platform::INotifySink* sink = &platform::notify();
  const int chip = ChipMode();
  if (chip == 1) {
    const CKZ1Doc* doc = platform::registry().document;
    if (!doc) return 0;
    auto rounds = std::make_shared<PlayThreadRounds>(*this, CopySongForPlay(*doc, platform::registry().voiceLibrary),
                                                     sink);
    m_playing.store(true);
    // A thread that cannot be created leaves nothing playing.
    if (!StartThread([rounds] {
          if (rounds->Begin()) RunRounds(*rounds);
        })) {
      m_playing.store(false);
      return 0;
    }
    return 1;
  }
  if (chip == 2) {
    m_playing.store(true);
    if (!PrepareBoardPlay()) {
      m_playing.store(false);
      return 0;
    }
    auto rounds = std::make_shared<PositionThreadRounds>(
        *this, sink, PositionThreadStart(platform::registry().document, chip, GetLoopMode()));
    if (!StartThread([rounds] {
          rounds->Begin();
          RunRounds(*rounds);
        })) {
      m_playing.store(false);
      return 0;
    }
    return 1;
  }
  if (chip == 3 || chip == 5) {
    m_playing.store(true);
    const int prepared =
        platform::settings().GetOutputProfile() == kPhraseProfile ? play_midi_list_KZ3Phrase() : play_midi_list_KZ3();
    if (!prepared) {
      Stop();
      platform::ShowMessage(kMsgCannotPlay);
      return 1;
    }
    m_playing.store(true);
    if (!StartBoardPositionThread()) {
      Stop();
      return 0;
    }
    return 1;
  }
  return 0;
}

bool TMidiOutCtrl::StartBoardPositionThread() {
  auto rounds =
      std::make_shared<BoardPositionThreadRounds>(*this, &platform::notify(), platform::registry().document != nullptr);
  return StartThread([rounds] {
    rounds->Begin();
    RunRounds(*rounds);
  });
}

int TMidiOutCtrl::PlayDirect() {
  if (!PrepareDirectPlay()) return 1;
  m_playing.store(true);
  if (!StartBoardPositionThread()) {
    m_playing.store(false);
    return 0;
  }
  return 1;
}

void TMidiOutCtrl::SendStopMessage() {
  const uint8_t stop[] = {0xF0, kMaker, 0x79, 0x05, 0x7E, 0x03, 0x00, 0xF7};
  SendSysEx(stop, sizeof stop);
}

int TMidiOutCtrl::Stop() {
  switch (ChipMode()) {
    case 1:
      m_playing.store(false);
      JoinThread();
      break;
    case 2:
      SendStopMessage();
      ResetMidiOut(m_out.get());
      ClosePorts(m_out, m_in);
      m_playing.store(false);
      JoinThread();
      break;
    case 3:
    case 5:
      m_playing.store(false);
      if (m_connectionKind == 1) {
        if (platform::settings().GetOutputProfile() == kPhraseProfile) {
          SendChannelValue13(m_phraseChannel, 2);
        } else {
          SendStopMessage();
        }
      } else if (IsEmulatorConnection()) {
        m_player.Stop(0);
      }
      JoinThread();
      break;
    default:
      break;
  }
  return 1;
}

int TMidiOutCtrl::SetLoopMode(int section) {
  m_section.store(section);
  return 1;
}

int TMidiOutCtrl::SetStartTime(int flag, uint32_t ms) {
  // The time is published before the flag, so a thread that sees the flag sees the time.
  m_restartTime.store(ms, std::memory_order_relaxed);
  m_restartFlag.store(flag, std::memory_order_release);
  return 1;
}

bool TMidiOutCtrl::TakeRestart(uint32_t& ms) {
  if (m_restartFlag.exchange(0, std::memory_order_acq_rel) == 0) return false;
  ms = m_restartTime.exchange(0, std::memory_order_relaxed);
  return true;
}

int TMidiOutCtrl::SetRewind(int flag) {
  m_rewind = flag;
  if (flag && IsEmulatorConnection()) m_player.Seek(0);
  return 1;
}

void TMidiOutCtrl::ClearSentState() { appPlayState().directPlayImageSent.store(false); }

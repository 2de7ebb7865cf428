// The emulator player: loads, starts, positions and stops song images, and passes single
// messages, through the one sound device of the program.
#include "device/EmuPlayer.h"

#include <algorithm>
#include <new>

#include "device/KzSoundEmuDevice.h"
#include "device/SoundDeviceSetup.h"

namespace {

// The library calls back without context: its handlers find the player here. Cleared before
// the device is released; the library ends its callbacks before its Stop, Unload or
// Terminate returns, so a handler never outlives the player it found.
std::atomic<CEmuPlayer*> g_player{nullptr};

constexpr int32_t kCodeState = 6;
constexpr int32_t kCodePosition = 4;
constexpr int32_t kCodeLength = 5;
constexpr int32_t kCodeLoopStart = 12;
constexpr int32_t kCodeLoopEnd = 13;
constexpr int32_t kCodeChannelData = 22;
constexpr int32_t kCodeChannelByte = 23;
constexpr int32_t kPhraseEnd = -1;

bool IsKindIn(int kind, int first, int last) { return kind >= first && kind <= last; }

/// Kinds 1-4 and 8-14 take codes 1, 2, 12 and 13; kinds 1-6 and 8-14 code 0.
bool TakesFullSettings(int kind) { return IsKindIn(kind, 1, 4) || IsKindIn(kind, 8, 14); }

const std::vector<uint8_t> kNoData;

}  // namespace

CEmuPlayer::CEmuPlayer() = default;

CEmuPlayer::~CEmuPlayer() { Shutdown(1); }

// --- Set-up ----------------------------------------------------------------------------------

int CEmuPlayer::CreateDevice(int kind, const CDeviceParamBlock* block) {
  Shutdown(1);
  std::unique_ptr<CKzSoundDevice> device;
  int bound = CreateBoundSoundDevice(kind, block, &CEmuPlayer::OnPhraseEvent, device);
  if (!device) return 0;
  m_device = std::move(device);
  m_emu = dynamic_cast<CKzSoundEmuDevice*>(m_device.get());
  m_kind = kind;
  g_player.store(this);
  // Kind 16 plays phrases too; its end reaches the player through the same handler.
  if (bound && kind == 16) bound = m_device->Phrase_SetEvHandler(&CEmuPlayer::OnPhraseEvent) == 0 ? 1 : 0;
  if (!bound) return 0;
  if (IsEmuKind()) Control(0, 127);
  return 1;
}

int CEmuPlayer::SetNotify(platform::INotifySink* sink, uint32_t message, intptr_t wParam, intptr_t lParam) {
  m_notify = {sink, message, wParam, lParam};
  return 1;
}

int CEmuPlayer::StoreCopy(std::vector<uint8_t>& slot, const uint8_t* data, int32_t size) {
  std::vector<uint8_t>().swap(slot);
  if (!data || size <= 0) return 1;
  try {
    slot.assign(data, data + size);
  } catch (const std::bad_alloc&) {
    std::vector<uint8_t>().swap(slot);
    return 0;
  }
  return 1;
}

int CEmuPlayer::SetStreamData(int slot, const uint8_t* data, int32_t size) {
  if (slot == -1) {
    int ok = 1;
    for (auto& stream : m_streams) ok &= StoreCopy(stream, data, size);
    return ok;
  }
  if (slot < 0 || slot >= kStreamSlots) return -1;
  return StoreCopy(m_streams[static_cast<size_t>(slot)], data, size);
}

int CEmuPlayer::SetChannelData(int channel, const uint8_t* data, int32_t size) {
  if (channel == 255) channel = kChannelSlots - 1;
  if (channel == -1) {
    int ok = 1;
    for (int c = 0; c < kChannelSlots; ++c) ok &= SetChannelData(c, data, size);
    return ok;
  }
  if (channel < 0 || channel >= kChannelSlots) return -1;
  std::vector<uint8_t>& slot = m_channels[static_cast<size_t>(channel)];
  // The library may still hold the old copy: it lets go before the copy goes.
  if (!slot.empty() && m_device && IsSequenceKind() && ReadState() <= kLoaded) DeviceCall(kCodeChannelData, channel, 0);
  return StoreCopy(slot, data, size);
}

const std::vector<uint8_t>& CEmuPlayer::GetStreamData(int slot) const {
  return (slot >= 0 && slot < kStreamSlots) ? m_streams[static_cast<size_t>(slot)] : kNoData;
}

const std::vector<uint8_t>& CEmuPlayer::GetChannelData(int channel) const {
  return (channel >= 0 && channel < kChannelSlots) ? m_channels[static_cast<size_t>(channel)] : kNoData;
}

// --- State -----------------------------------------------------------------------------------

int32_t CEmuPlayer::ReadState() const {
  if (!m_device) return kNoSequence;
  if (IsPhraseKind()) {
    int32_t status = m_device->Phrase_GetStatus(m_phrase);
    return status < 0 ? kNoSequence : (status & 0x0F);
  }
  // Without a sequence there is nothing to ask the library about.
  if (m_sequence < 0) return kNoSequence;
  int32_t state = m_device->Control(m_instance, m_sequence, kCodeState, 0, 0);
  return state < 0 ? kNoSequence : state;
}

int32_t CEmuPlayer::DeviceCall(int32_t code, int32_t value, int32_t extra) {
  return m_device->Control(m_instance, m_sequence, code, value, extra);
}

// --- The song --------------------------------------------------------------------------------

int32_t CEmuPlayer::Create(int32_t arg) {
  if (!m_device || m_instance >= 0) return -1;
  int32_t result = m_device->Create(arg);
  if (result >= 0) m_instance = result;
  return result;
}

int32_t CEmuPlayer::Load(const uint8_t* image, int32_t size, int32_t mode, KzSoundEndCallback callback, int32_t) {
  const bool phraseEmulator = m_kind == 15;
  if (!m_device || (!IsSequenceKind() && !phraseEmulator) || ReadState() != kNoSequence) return -1;
  if (m_sequence >= 0) return -1;
  if (SetStreamData(0, image, size) != 1) return -1;
  const std::vector<uint8_t>& copy = m_streams[0];
  int32_t result = m_device->Load(phraseEmulator ? 0 : m_instance, copy.empty() ? nullptr : copy.data(), size, mode,
                                  callback ? callback : &CEmuPlayer::OnEndOfPlay, m_option);
  if (result >= 0 && !phraseEmulator) m_sequence = result;
  if (result < 0) SetStreamData(0, nullptr, 0);
  return result;
}

int32_t CEmuPlayer::Open(int32_t a, int32_t b) {
  if (!m_device || !IsSequenceKind() || ReadState() != kLoaded) return -1;
  int32_t result = m_device->Open(m_instance, m_sequence, a, b);
  if (result == 0) {
    m_openA = a;
    m_openB = b;
    ApplyWaitingSettings();
  }
  return result;
}

int32_t CEmuPlayer::Standby(int32_t a) {
  if (!m_device || !IsSequenceKind() || ReadState() != kOpened) return -1;
  int32_t result = m_device->Standby(m_instance, m_sequence, a);
  if (result == 0) m_standbyA = a;
  return result;
}

int32_t CEmuPlayer::Seek(int32_t position, int32_t a, int32_t b) {
  if (!m_device) return -1;
  if (IsPhraseKind()) return ReadState() >= kOpened ? m_device->Phrase_Seek(m_phrase, position) : -1;
  if (!IsSequenceKind() || ReadState() != kReady) return -1;
  return m_device->Seek(m_instance, m_sequence, position, a, b);
}

int32_t CEmuPlayer::Start(int32_t arg) {
  if (!m_device) return -1;
  const int32_t state = ReadState();
  if (IsPhraseKind()) {
    if (state != kOpened && state != kPaused) return -1;
    Arm();
    const int32_t result =
        state == kOpened ? m_device->Phrase_Play(m_phrase, m_repeat) : m_device->Phrase_Restart(m_phrase);
    if (result < 0) Disarm();
    return result;
  }
  if (!IsSequenceKind() || state != kReady) return -1;
  if (m_settingsChanged) {
    const int32_t result = ReopenForStart();
    if (result != 0) return result;
  }
  // Armed before the library starts: a short image may end before Start returns.
  Arm();
  const int32_t result = m_device->Start(m_instance, m_sequence, m_repeat, arg);
  if (result < 0) Disarm();
  return result;
}

// The settings changed since the sequence was opened reach the library only through a new Open.
int32_t CEmuPlayer::ReopenForStart() {
  int32_t result = Close(0);
  if (result == 0) result = Open(m_openA, m_openB);
  if (result == 0) result = Standby(m_standbyA);
  return result;
}

int32_t CEmuPlayer::Stop(int32_t arg) {
  if (!m_device) return -1;
  const int32_t state = ReadState();
  if (IsPhraseKind()) {
    if (state < kReady) return -1;
    Disarm();
    return m_device->Phrase_Stop(m_phrase);
  }
  if (!IsSequenceKind() || (state != kPlaying && state != kPaused)) return -1;
  Disarm();
  return m_device->Stop(m_instance, m_sequence, arg);
}

int32_t CEmuPlayer::Close(int32_t a) {
  if (!m_device || !IsSequenceKind()) return -1;
  const int32_t state = ReadState();
  if (state != kOpened && state != kReady) return -1;
  return m_device->Close(m_instance, m_sequence, a);
}

int32_t CEmuPlayer::Unload(int32_t a) {
  if (!m_device || !IsSequenceKind() || ReadState() != kLoaded) return -1;
  int32_t result = m_device->Unload(m_instance, m_sequence, a);
  if (result >= 0) {
    m_sequence = -1;
    SetStreamData(0, nullptr, 0);
  }
  return result;
}

// --- Controls --------------------------------------------------------------------------------

int32_t CEmuPlayer::Control(int32_t code, intptr_t a, intptr_t b) {
  if (code == kCodeState) return ReadState();
  if (!m_device) return -1;
  const int32_t value = static_cast<int32_t>(a);
  switch (code) {
    case 0:
    case 1:
    case 2: return SetByteSetting(code, value);
    case kCodePosition: return ReadPosition();
    case kCodeLength: return ReadLength();
    case 7:
    case 8:
      if (!IsSequenceKind() || m_instance < 0 || m_sequence < 0) return -1;
      return DeviceCall(code, value, static_cast<int32_t>(b));
    case kCodeLoopStart:
    case kCodeLoopEnd: return SetLoopPoint(code, value);
    case kCodeChannelData: return SetChannelControl(reinterpret_cast<const ChannelData*>(a));
    case kCodeChannelByte: return SendChannelByte(value);
    default: return -1;
  }
}

int32_t CEmuPlayer::SetByteSetting(int32_t code, int32_t value) {
  const bool takes = code == 0 ? (IsSequenceKind() || IsPhraseKind()) : TakesFullSettings(m_kind);
  if (!takes) return -1;
  m_bytes[static_cast<size_t>(code)] = value;
  if (IsPhraseKind()) return m_device->Phrase_SetVolume(m_phrase, value);
  if (ReadState() >= kOpened) return DeviceCall(code, value);
  m_waitingBytes |= 1u << code;
  return 0;
}

int32_t CEmuPlayer::SetLoopPoint(int32_t code, int32_t value) {
  if (!TakesFullSettings(m_kind)) return -1;
  if (code == kCodeLoopStart) {
    m_loopStart = value;
    m_startChanged = true;
  } else {
    const int32_t length = m_sequence >= 0 ? DeviceCall(kCodeLength, 0) : -1;
    m_loopEnd = length >= 0 ? std::min(value, length) : value;
    m_endChanged = true;
  }
  const int32_t state = ReadState();
  if (state == kOpened) {
    m_startChanged = m_endChanged = false;
    int32_t result = ApplyLoopPoints();
    return result < 0 ? 0 : result;
  }
  // From standby on, only a new Open applies them: Start re-opens.
  if (state >= kReady) m_settingsChanged = true;
  return 0;
}

int32_t CEmuPlayer::ApplyLoopPoints() {
  const int32_t length = DeviceCall(kCodeLength, 0);
  int32_t end = m_loopEnd < 0 ? length : m_loopEnd;
  if (length >= 0) end = std::min(end, length);
  if (end < 0 || m_loopStart > end) return -1;
  int32_t result = DeviceCall(kCodeLoopStart, m_loopStart);
  if (result < 0) return result;
  return DeviceCall(kCodeLoopEnd, end);
}

void CEmuPlayer::ApplyWaitingSettings() {
  for (int32_t code = 0; code < 3; ++code) {
    if (m_waitingBytes & (1u << code)) DeviceCall(code, m_bytes[static_cast<size_t>(code)]);
  }
  if (m_startChanged || m_endChanged) ApplyLoopPoints();
  m_waitingBytes = 0;
  m_startChanged = m_endChanged = false;
  m_settingsChanged = false;
}

int32_t CEmuPlayer::SetChannelControl(const ChannelData* record) {
  if (!IsSequenceKind() || !record) return -1;
  if (SetChannelData(record->channel, record->data, record->size) != 1) return 0;
  // Our C interface carries no pointer in a control value: the library learns the channel and
  // the size of the copy the player keeps.
  return DeviceCall(kCodeChannelData, record->channel, record->size);
}

int32_t CEmuPlayer::SendChannelByte(int32_t value) {
  if (!IsSequenceKind()) return -1;
  value &= 0xFF;
  if ((value & 0x80) && GetChannelData(value & 0x7F).empty()) value = 0;
  return DeviceCall(kCodeChannelByte, value);
}

int32_t CEmuPlayer::ReadPosition() {
  const int32_t state = ReadState();
  if (IsPhraseKind()) {
    return (state == kReady || state == kPaused) ? m_device->Phrase_GetPosition(m_phrase) : -1;
  }
  if (!IsSequenceKind() || state < kReady) return -1;
  return DeviceCall(kCodePosition, 0);
}

int32_t CEmuPlayer::ReadLength() {
  if (IsPhraseKind()) return ReadState() >= kOpened ? m_device->Phrase_GetLength(m_phrase) : -1;
  if (!IsSequenceKind()) return -1;
  return DeviceCall(kCodeLength, 0);
}

int32_t CEmuPlayer::DeviceControl(int32_t a, int32_t b, int32_t c, int32_t d) {
  if (!m_device || !(IsKindIn(m_kind, 1, 14) || m_kind == 16)) return -1;
  return m_device->DeviceControl(a, b, c, d);
}

int32_t CEmuPlayer::SendMidiMessage(const uint8_t* data, int32_t length) {
  if (!m_device || !IsEmuKind()) return -1;
  return m_device->SendMidiMsg(data, length);
}

int32_t CEmuPlayer::GetMidiMessage(int32_t port, uint8_t* buffer, int32_t size) {
  if (!m_device || !IsEmuKind()) return -1;
  return m_device->GetMidiMsg(port, buffer, size);
}

// --- Settings and state ----------------------------------------------------------------------

int CEmuPlayer::SetRepeat(int count) {
  const auto repeat = static_cast<uint16_t>(count);
  if (repeat != m_repeat) {
    m_repeat = repeat;
    if (!IsPhraseKind()) m_settingsChanged = true;
  }
  return 0;
}

int32_t CEmuPlayer::SetPhraseData(int slot, const uint8_t* data, int32_t size, int32_t arg) {
  if (!m_device || !IsPhraseKind() || slot < 0 || slot >= kStreamSlots) return -1;
  if (ReadState() >= kReady) return -1;
  std::vector<uint8_t>& stream = m_streams[static_cast<size_t>(slot)];
  if (!stream.empty()) m_device->Phrase_RemoveData(slot);  // the library lets go first
  if (StoreCopy(stream, data, size) != 1) return 0;
  if (stream.empty()) return 0;
  int32_t result = m_device->Phrase_SetData(slot, stream.data(), size, arg);
  if (result >= 0) m_phrase = slot;
  return result;
}

int CEmuPlayer::ResetEmulator(int mode, int32_t instance) {
  if (!m_device || !m_emu || !IsEmuKind()) return -1;
  Shutdown(0);
  if (m_kind == 16) m_device->Phrase_Terminate();
  m_emu->StopSound();
  if (mode == 1) return 1;
  if (mode != 2) return 0;
  if (m_emu->StartSound() != 0) return 0;
  if (m_kind == 16 && m_device->Phrase_Initialize() != 0) return 0;
  Control(0, 127);
  if (m_kind == 16) return m_device->Phrase_SetEvHandler(&CEmuPlayer::OnPhraseEvent) == 0 ? 1 : 0;
  return Create(instance) >= 0 ? 1 : 0;
}

int CEmuPlayer::GetEmuMode() const {
  if (!m_emu || !IsEmuKind()) return 0;
  switch (m_emu->GetParamBlock().GetMode()) {
    case 1: return 1;
    case 2:
    case 3: return 2;
    default: return 0;
  }
}

void CEmuPlayer::ClearPending() {
  m_waitingBytes = 0;
  m_startChanged = false;
  m_endChanged = false;
  m_settingsChanged = false;
}

void CEmuPlayer::Shutdown(int release) {
  Disarm();
  if (m_device) {
    if (IsPhraseKind()) {
      if (ReadState() >= kReady) m_device->Phrase_Stop(m_phrase);
      // The library lets go of every phrase before the copies go.
      for (int slot = 0; slot < kStreamSlots; ++slot)
        if (!m_streams[static_cast<size_t>(slot)].empty()) m_device->Phrase_RemoveData(slot);
    } else {
      Stop(0);
      Close(0);
      Unload(0);
    }
    if (m_instance >= 0) m_device->Delete(m_instance);
  }
  m_instance = -1;
  m_sequence = -1;
  m_phrase = 0;
  ResetSettings();
  if (!release) return;
  CEmuPlayer* self = this;
  g_player.compare_exchange_strong(self, nullptr);
  m_emu = nullptr;
  m_device.reset();
  m_kind = 0;
}

void CEmuPlayer::ResetSettings() {
  for (auto& stream : m_streams) std::vector<uint8_t>().swap(stream);
  for (auto& channel : m_channels) std::vector<uint8_t>().swap(channel);
  m_repeat = 1;
  m_option = 0;
  m_bytes = {100, 100, 0};
  m_loopStart = 0;
  m_loopEnd = -1;
  ClearPending();
  m_openA = m_openB = m_standbyA = 0;
}

// --- End of play -----------------------------------------------------------------------------

void CEmuPlayer::Arm() {
  if (m_notify.sink) m_armed.store(std::make_shared<const Notification>(m_notify));
}

void CEmuPlayer::PostArmed() {
  std::shared_ptr<const Notification> armed = m_armed.exchange(nullptr);
  if (armed) armed->sink->Post(armed->message, armed->wParam, armed->lParam);
}

void CEmuPlayer::OnEndOfPlay(int32_t event) {
  if (event != kEndOfPlay) return;
  if (CEmuPlayer* player = g_player.load()) player->PostArmed();
}

void CEmuPlayer::OnPhraseEvent(const KzPhraseEvent* event) {
  if (!event || event->event != kPhraseEnd) return;
  if (CEmuPlayer* player = g_player.load()) player->PostArmed();
}

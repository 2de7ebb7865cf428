// The output engine: set-up of the connection, the board's MIDI ports and the SysEx exchange.
#include "device/MidiOutCtrl.h"

#include <cstring>

#include "device/AppPlayState.h"
#include "device/MidiThru.h"
#include "device/SoundDeviceSetup.h"
#include "platform/host/HostServices.h"
#include "platform/mem/ZeroedBlock.h"
#include "platform/sys/Clock.h"
#include "song/document/KZ1Doc.h"

namespace {

constexpr char kSetting[] = "Setting";
constexpr uint32_t kReplyWaitMs = 1000;
constexpr uint32_t kQueryWaitMs = 4000;
constexpr uint32_t kPollMs = 10;
constexpr uint8_t kIdentifyAnswer = 3;

int ProfileSetting(const char* key, int def) { return platform::profile().GetProfileInt(kSetting, key, def); }

int ChipMode() { return platform::settings().GetChipMode(); }

bool IsBoardChipMode(int chip) { return chip == 3 || chip == 5; }

/// The first bytes of every board message: F0 43 79 and the group byte.
bool HasHeader(const uint8_t* data, size_t size, uint8_t group, uint8_t type, uint8_t command) {
  return size >= 6 && data[0] == 0xF0 && data[1] == TMidiOutCtrl::kMaker && data[2] == 0x79 && data[3] == group &&
         data[4] == type && data[5] == command;
}

uint32_t Value28(const uint8_t* b) {
  return static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 7) | (static_cast<uint32_t>(b[2]) << 14) |
         (static_cast<uint32_t>(b[3]) << 21);
}

}  // namespace

TMidiOutCtrl::TMidiOutCtrl(std::function<bool()> tbOption) : m_tbOption(std::move(tbOption)) {
  m_outDevice = ProfileSetting("MIDIDeviceOut", 0);
  m_inputSink.store(&platform::notify());
  // Asking for the ports makes the layer choose its MIDI system; without one it says so once.
  platform::midi().OutputNames();
}

TMidiOutCtrl::~TMidiOutCtrl() {
  Stop();
  // A chip mode without a Stop branch must still not leave a thread behind.
  m_playing.store(false);
  JoinThread();
  ClosePorts(m_out, m_in);
}

// --- Set-up ----------------------------------------------------------------------------------

int TMidiOutCtrl::FailSetup() {
  m_player.Shutdown(1);
  m_deviceBound = false;
  m_connectionKind = 0;
  return 0;
}

int TMidiOutCtrl::SetupSoundDevice(int argument) {
  const platform::IAppSettings& app = platform::settings();
  const int profile = app.GetOutputProfile();
  const int maker = app.GetMakerID();
  SoundDeviceChoice choice = ChooseSoundDevice(argument, profile, maker, GetForcedDeviceKind());
  if (!choice.ok) return FailSetup();
  if (choice.connectionKind == 1) {
    m_connectionKind = 1;
    return 1;
  }
  CDeviceParamBlock block;
  if (choice.blockMode != 0) block.SetMode(choice.blockMode);
  const bool tb = m_tbOption && m_tbOption();
  FillDeviceParamBlock(block, app.GetChipMode(), GetProfileParams(profile, maker, tb),
                       ProfileSetting("KZ-3_ModeSetting", 0), ProfileSetting("KZ-3_StreamPCMReserve", 0));

  m_deviceBound = m_player.CreateDevice(choice.deviceKind, &block) == 1;
  if (!m_deviceBound) return FailSetup();
  m_player.SetNotify(&platform::notify(), platform::kWmCommand, platform::kStopCommand, 0);

  CreateStep step = ChooseCreateStep(block.GetMode(), MapDeviceMode(choice.argument, profile, maker));
  if (!step.ok) return FailSetup();
  if (step.create && m_player.Create(step.modeByte) < 1) return FailSetup();
  m_connectionKind = choice.connectionKind;
  return 1;
}

int TMidiOutCtrl::GetDeviceModeValue() const {
  return (m_deviceBound && m_player.GetDevice() && IsEmulatorConnection()) ? m_connectionKind : 0;
}

// --- MIDI ports ------------------------------------------------------------------------------

std::string TMidiOutCtrl::GetMidiOutName(int index) { return platform::midi().OutputName(index); }

std::string TMidiOutCtrl::GetMidiInName(int index) { return platform::midi().InputName(index); }

int TMidiOutCtrl::SetMidiOutDevice(int index) {
  if (index < 0 || static_cast<size_t>(index) >= platform::midi().OutputNames().size()) return 0;
  m_outDevice = index;
  return 1;
}

CMidiThru* TMidiOutCtrl::Thru() const { return platform::registry().midiThru; }

bool TMidiOutCtrl::IsThruActive() const {
  CMidiThru* thru = Thru();
  return thru && thru->IsActive();
}

void TMidiOutCtrl::ForgetMidiOut() {
  if (IsThruActive()) m_out.reset();
}

bool TMidiOutCtrl::PauseThru() {
  if (!IsThruActive()) return false;
  ForgetMidiOut();
  Thru()->Stop();
  return true;
}

void TMidiOutCtrl::ResumeThru(bool paused) {
  if (paused && Thru()) Thru()->Start();
}

TMidiOutCtrl::InputHandle TMidiOutCtrl::OpenBoardInput(const char* inName) {
  platform::IMidiBackend& backend = platform::midi();
  const std::vector<std::string> names = backend.InputNames();
  m_inputSink.store(&platform::notify());
  for (size_t i = 0; i < names.size(); ++i) {
    if (names[i].find(inName) == std::string::npos) continue;
    // The callback reaches the engine that opened the input.
    InputHandle in =
        backend.OpenInput(static_cast<int>(i), [this](const uint8_t* data, size_t size) { OnMidiIn(data, size); });
    if (in) return in;
  }
  return nullptr;
}

int TMidiOutCtrl::OpenPortsByNames(const char* outName, const char* inName, OutputHandle& out, InputHandle& in,
                                   bool check) {
  const bool paused = PauseThru();
  platform::IMidiBackend& backend = platform::midi();
  const std::vector<std::string> names = backend.OutputNames();
  OutputHandle found;
  for (size_t i = 0; i < names.size() && !found; ++i) {
    if (names[i].find(outName) != std::string::npos) found = backend.OpenOutput(static_cast<int>(i));
  }
  int result = 0;
  if (found) {
    InputHandle input = OpenBoardInput(inName);
    if (!input) {
      found->Close();
    } else {
      out = std::move(found);
      in = std::move(input);
      result = 1;
    }
  }
  if (result && check) {
    const uint8_t saved = m_reply.load();
    m_reply.store(kNoReply);
    const uint8_t identify[] = {0xF0, kMaker, 0x79, 0x05, 0x7E, 0x07, 0x00, 0xF7};
    const int answer = SendSysExWait(identify, sizeof identify, out.get());
    m_reply.store(saved);
    // A port pair that does not answer as the board is no board: nothing stays open.
    if (answer != kIdentifyAnswer) {
      ClosePorts(out, in);
      result = 0;
    }
  }
  ResumeThru(paused);
  return result;
}

int TMidiOutCtrl::OpenSerialMidiPorts(OutputHandle& out, InputHandle& in, bool check) {
  return OpenPortsByNames(kSerialOutName, kSerialInName, out, in, check);
}

int TMidiOutCtrl::OpenUsbMidiPorts(OutputHandle& out, InputHandle& in, bool check) {
  return OpenPortsByNames(kUsbOutName, kUsbInName, out, in, check);
}

int TMidiOutCtrl::OpenBoard(int search) {
  if (m_connectionKind != 1) return 0;
  m_reply.store(kNoReply);
  int kind = 0;
  if ((search == 0 || search == 1) && OpenSerialMidiPorts(m_out, m_in, true)) {
    kind = 1;
  } else if ((search == 0 || search == 2) && OpenUsbMidiPorts(m_out, m_in, true)) {
    kind = 2;
  }
  m_boardPortKind = (search >= 0 && search <= 2) ? kind : 0;
  ClosePorts(m_out, m_in);
  return kind;
}

int TMidiOutCtrl::OpenPorts() {
  switch (ChipMode()) {
    case 1: return 0;
    case 2: return OpenSerialMidiPorts2();
    case 3:
    case 5: return m_connectionKind == 1 ? OpenPortsByName() : 1;
    default: return 1;
  }
}

int TMidiOutCtrl::OpenPortsByName() {
  if (!m_out || !m_out->IsOpen()) {
    m_out.reset();
    if (IsThruActive()) {
      m_out = Thru()->GetOutput();
    } else {
      m_out = platform::midi().OpenOutput(m_outDevice);
    }
  }
  if (!m_in) {
    if (m_boardPortKind == 1) m_in = OpenBoardInput(kSerialInName);
    if (m_boardPortKind == 2) m_in = OpenBoardInput(kUsbInName);
  }
  return m_out ? 1 : 0;
}

int TMidiOutCtrl::OpenSerialMidiPorts2() {
  if (m_out && m_out->IsOpen()) return 1;
  m_out = platform::midi().OpenOutput(m_outDevice);
  if (!m_in) m_in = OpenBoardInput(kSerialInName);
  return m_out ? 1 : 0;
}

void TMidiOutCtrl::ClosePorts(OutputHandle& out, InputHandle& in) {
  if (out) {
    CMidiThru* thru = Thru();
    // The thru's output is only lent: the thru closes it.
    if (!thru || thru->GetOutput() != out) out->Close();
    out.reset();
  }
  if (in) {
    in->Close();
    in.reset();
  }
}

void TMidiOutCtrl::ResetMidiOut(platform::IMidiOutput* out) {
  const int chip = ChipMode();
  if (out && (chip == 1 || chip == 2)) out->Reset();
}

// --- Messages --------------------------------------------------------------------------------

bool TMidiOutCtrl::SendLong(platform::IMidiOutput* out, const uint8_t* data, uint32_t length) {
  if (!out || !data || length == 0) return false;
  std::unique_ptr<uint8_t[]> copy = platform::TryAllocZeroed(length);
  if (!copy) return false;
  std::memcpy(copy.get(), data, length);
  // The port's send is whole and synchronous: there is no completion to wait for.
  return out->Send(copy.get(), length);
}

int TMidiOutCtrl::SendSysEx(const uint8_t* data, uint32_t length) {
  if (m_connectionKind == 1) {
    OpenPorts();
    int result = -1;
    if (m_out) {
      result = SendLong(m_out.get(), data, length) ? 0 : -1;
      ResetMidiOut(m_out.get());
      if (!IsThruActive()) {
        m_out->Close();
        m_out.reset();
      }
    }
    if (m_in) {
      m_in->Close();
      m_in.reset();
    }
    return result;
  }
  if (m_connectionKind == 2 && !IsPlaying()) {
    const bool emuModeTwo = m_player.GetEmuMode() == 2;
    m_player.ResetEmulator(1, -1);
    if (ChipMode() == 3 && emuModeTwo) {
      const uint8_t volume[] = {0xF0, kMaker, 0x79, 0x05, 0x7E, 0x09,
                                static_cast<uint8_t>(platform::settings().GetMasterVolume() & 0x7F), 0xF7};
      m_player.SendMidiMessage(volume, sizeof volume);
    }
    platform::ui().UpdateStatusPanes();
    if (CKZ1Doc* doc = platform::registry().document) doc->AddModifiedFlags(CKZ1Doc::kFlagUnsent);
    appPlayState().directPlayImageSent.store(false);
    return m_player.SendMidiMessage(data, static_cast<int32_t>(length));
  }
  return 0;
}

uint8_t TMidiOutCtrl::WaitForReply(uint32_t limitMs) {
  const uint32_t start = platform::GetTickCount();
  while (m_reply.load() == kNoReply && platform::GetTickCount() - start < limitMs) platform::SleepMs(kPollMs);
  return m_reply.load();
}

int TMidiOutCtrl::SendSysExWait(const uint8_t* data, uint32_t length, platform::IMidiOutput* out) {
  if (!SendLong(out, data, length)) return kNoReply;
  return WaitForReply(kReplyWaitMs);
}

int TMidiOutCtrl::SendQuery(const uint8_t* data, uint32_t length) {
  const int chip = ChipMode();
  if (chip == 1 || chip == 2) {
    SendSysEx(data, length);
    return WaitForReply(kQueryWaitMs);
  }
  if (IsBoardChipMode(chip)) return OpenBoardPorts(data, length);
  return kNoReply;
}

int TMidiOutCtrl::OpenBoardPorts(const uint8_t* data, uint32_t length) {
  if (m_connectionKind == 1) {
    const bool paused = PauseThru();
    int reply = kNoReply;
    int opened = 0;
    if (m_boardPortKind == 1) opened = OpenSerialMidiPorts(m_out, m_in, false);
    if (m_boardPortKind == 2) opened = OpenUsbMidiPorts(m_out, m_in, false);
    if (opened) {
      reply = SendSysExWait(data, length, m_out.get());
      ClosePorts(m_out, m_in);
    }
    ResumeThru(paused);
    return reply;
  }
  if (m_connectionKind == 2) return ExchangeWithEmulator(data, length);
  return kNoReply;
}

int TMidiOutCtrl::ExchangeWithEmulator(const uint8_t* data, uint32_t length) {
  if (m_player.SendMidiMessage(data, static_cast<int32_t>(length)) != 0) return kNoReply;
  const uint32_t start = platform::GetTickCount();
  // An emulator that never answers must not hold the user-interface thread: 1000 ms at most.
  while (platform::GetTickCount() - start < kReplyWaitMs) {
    uint8_t buffer[8] = {};
    const int32_t got = m_player.GetMidiMessage(0, buffer, sizeof buffer);
    if (got < 0) return kNoReply;
    if (got == 0) {
      platform::SleepMs(kPollMs);
      continue;
    }
    if (got >= 7 && HasHeader(buffer, static_cast<size_t>(got), 0x05, 0x7E, 0x08)) {
      m_reply.store(buffer[6]);
      return buffer[6];
    }
  }
  return kNoReply;
}

int TMidiOutCtrl::QueryBoard(int code) {
  Stop();
  m_reply.store(kNoReply);
  const uint8_t query[] = {0xF0, kMaker, 0x79, 0x05, 0x7E, 0x07, static_cast<uint8_t>(code & 0x7F), 0xF7};
  const int reply = SendQuery(query, sizeof query);
  if (code == 3 && reply < kNoReply) m_boardVersion.store(static_cast<uint8_t>(reply));
  return reply;
}

int TMidiOutCtrl::WaitBoardStatus() {
  if (!IsBoardChipMode(ChipMode())) return kNoReply;
  if (m_boardPortKind == 0) return 0;
  const bool playing = IsPlaying();
  constexpr uint32_t kStatusWaitMs = 60000;
  const uint32_t start = platform::GetTickCount();
  int reply = kNoReply;
  for (;;) {
    reply = QueryBoard(2);
    if (reply < kNoReply || platform::GetTickCount() - start >= kStatusWaitMs) break;
    // A round that found no port returns at once: it must not spin.
    platform::SleepMs(kPollMs);
    if (platform::GetTickCount() - start >= kStatusWaitMs) break;
  }
  m_playing.store(playing);
  return reply;
}

int TMidiOutCtrl::ReadBoardInfo(uint32_t* value, uint8_t* info1, uint8_t* info0, uint8_t* info2) {
  bool answered = false;
  if (m_connectionKind == 1) {
    m_reply.store(kNoReply);
    const uint8_t request[] = {0xF0, kMaker, 0x79, 0x06, 0x7E, 0x04, 0xF7};
    answered = SendQuery(request, sizeof request) != kNoReply;
    m_boardOk.store(answered);
  } else if (IsEmulatorConnection()) {
    const int32_t result = m_player.Control(4);
    if (result >= 0) {
      m_infoValue.store(static_cast<uint32_t>(result));
      answered = true;
    }
    m_boardOk.store(answered);
  }
  if (value) *value = m_infoValue.load();
  if (info1) *info1 = m_info1.load();
  if (info0) *info0 = m_info0.load();
  if (info2) *info2 = m_info2.load();
  return answered ? 1 : 0;
}

int TMidiOutCtrl::SetBoardInfo(uint32_t value, uint8_t b10, uint8_t b11, uint8_t b12, int form) {
  const uint8_t version = m_boardVersion.load();
  if (form == 1 && version < kFormTwoVersion) {
    m_infoValue.store(value);
    m_info1.store(b10);
    m_info0.store(b11);
    return 1;
  }
  if (form == 2 && version >= kFormTwoVersion) {
    m_infoValue.store(value);
    m_info1.store(b10);
    m_info0.store(b11);
    m_info2.store(b12);
    return 1;
  }
  return 0;
}

void TMidiOutCtrl::OnMidiIn(const uint8_t* data, size_t size) {
  if (!data || size > kInputBufferSize) return;
  // Each row reads a fixed number of bytes: a shorter message matches no row.
  if (size >= 7 && HasHeader(data, size, 0x05, 0x7E, 0x08)) {
    m_reply.store(data[6]);
  } else if (size >= 12 && HasHeader(data, size, 0x06, 0x7E, 0x05)) {
    SetBoardInfo(Value28(data + 6), data[10], data[11], 0, 1);
    m_reply.store(0);
  } else if (size >= 13 && HasHeader(data, size, 0x06, 0x7E, 0x08)) {
    SetBoardInfo(Value28(data + 6), data[10], data[11], data[12], 2);
    m_reply.store(0);
  } else if (size == 11 && HasHeader(data, size, 0x05, 0x7E, 0x05) && data[6] == 0 && data[7] == 0 && data[8] == 0 &&
             data[9] == 0 && data[10] == 0xF7) {
    const int chip = ChipMode();
    const bool post = chip == 1 || chip == 2 || (IsBoardChipMode(chip) && platform::settings().GetOutputProfile() != 4);
    platform::INotifySink* sink = m_inputSink.load();
    if (post && sink) sink->Post(platform::kWmBoardEvent, 9, 0);
  }
}

// --- Emulator controls -----------------------------------------------------------------------

void TMidiOutCtrl::DeviceControl(int32_t code, int32_t a, int32_t b, int32_t c) {
  if (m_player.GetKind() != 15) m_player.DeviceControl(code, a, b, c);
}

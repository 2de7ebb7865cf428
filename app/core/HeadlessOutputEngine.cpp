// The output engine before the real one exists: it sets up the sound device and sends nothing.
#include "app/core/HeadlessOutputEngine.h"

#include "app/core/SettingKeys.h"
#include "device/SoundDeviceSetup.h"
#include "platform/host/HostServices.h"

namespace {

constexpr int kStopCommand = 1391;
constexpr int kNoReply = 255;

}  // namespace

HeadlessOutputEngine::HeadlessOutputEngine(std::function<bool()> tbOption) : m_tbOption(std::move(tbOption)) {}

HeadlessOutputEngine::~HeadlessOutputEngine() { ReleaseDevice(); }

void HeadlessOutputEngine::ReleaseDevice() {
  if (m_device && m_instance >= 0) m_device->Delete(m_instance);
  m_instance = -1;
  m_device.reset();
  m_bound = false;
  m_notifyCommand = 0;
}

int HeadlessOutputEngine::FailSetup() {
  ReleaseDevice();
  m_connectionKind = 0;
  return 0;
}

int HeadlessOutputEngine::SetupSoundDevice(int argument) {
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
                       ReadProfileSetting(profile_keys::kModeSetting), ReadProfileSetting(profile_keys::kStreamPCMReserve));

  ReleaseDevice();
  m_bound = CreateBoundSoundDevice(choice.deviceKind, &block, nullptr, m_device) == 1;
  if (!m_bound) return FailSetup();
  m_notifyCommand = kStopCommand;

  CreateStep step = ChooseCreateStep(block.GetMode(), MapDeviceMode(choice.argument, profile, maker));
  if (!step.ok) return FailSetup();
  if (step.create) {
    int32_t id = m_device->Create(step.modeByte);
    if (id < 1) return FailSetup();
    m_instance = id;
  }
  m_connectionKind = choice.connectionKind;
  return 1;
}

int HeadlessOutputEngine::GetDeviceModeValue() const {
  return (m_bound && IsEmulatorConnection()) ? m_connectionKind : 0;
}

// No MIDI ports exist yet: the board is never found and never answers.
int HeadlessOutputEngine::OpenBoard(int) { return 0; }
int HeadlessOutputEngine::QueryBoard(int) { return kNoReply; }

int HeadlessOutputEngine::ResetBoard() { return 1; }

int HeadlessOutputEngine::SendBoardCommand07(int value) {
  if (value > 2) return 0;
  return (m_connectionKind >= 1 && m_connectionKind <= 4) ? 1 : 0;
}

int HeadlessOutputEngine::SendBoardCommand09b(int) { return 1; }
int HeadlessOutputEngine::SendBoardCommand11(int) { return 1; }

int HeadlessOutputEngine::SendBoardCommand13(uint8_t, uint8_t, uint8_t, uint8_t d) {
  const int profile = platform::settings().GetOutputProfile();
  if ((m_connectionKind == 3 || m_connectionKind == 4) && (profile == 1 || profile == 7) && d <= 1) {
    m_gen3Setting = 1 - d;
  }
  return 1;
}

void HeadlessOutputEngine::DeviceControl(int32_t code, int32_t a, int32_t b, int32_t c) {
  if (m_device && m_device->GetKind() != 15) m_device->DeviceControl(code, a, b, c);
}

int HeadlessOutputEngine::SendBoardParam03_06(int value) {
  if (IsEmulatorConnection()) {
    DeviceControl(5, 2, 0, 0);
    DeviceControl(6, value, 0, 0);
  }
  return 1;
}

int HeadlessOutputEngine::SendBoardParam03_09(int value) {
  if (IsEmulatorConnection()) {
    DeviceControl(8, 2, 0, 0);
    DeviceControl(9, value, 0, 0);
  }
  return 1;
}

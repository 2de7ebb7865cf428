// A sound-emulator library loaded at run time: its kind, its entry points and their forwarders.
#include "device/KzSoundDevice.h"

#include "platform/dynlib/LibraryLocator.h"
#include "platform/host/HostServices.h"

namespace {

// Indexed by KzEntry. The message entries belong to the emulator device, so the base leaves
// them unbound.
constexpr const char* kEntryNames[CKzSoundDevice::kEntryCount] = {
    "KzSound_GetEmuInfo", "KzSound_Generate", nullptr, nullptr, "KzSound_DeviceControl",
    "KzSound_Create", "KzSound_Load", "KzSound_Open", "KzSound_Control", "KzSound_Standby",
    "KzSound_Seek", "KzSound_Start", "KzSound_Pause", "KzSound_Restart", "KzSound_Stop",
    "KzSound_Close", "KzSound_Unload", "KzSound_Delete",
    "Phrase_Initialize", "Phrase_GetInfo", "Phrase_CheckData", "Phrase_SetData", "Phrase_Seek",
    "Phrase_Play", "Phrase_Pause", "Phrase_Restart", "Phrase_Stop", "Phrase_RemoveData", "Phrase_Kill",
    "Phrase_GetStatus", "Phrase_GetPosition", "Phrase_GetVolume", "Phrase_GetLink", "Phrase_SetPanpot",
    "Phrase_SetVolume", "Phrase_SetLink", "Phrase_SetEvHandler", "Phrase_Terminate", "Phrase_GetLength",
    "Phrase_GetPanpot"};

constexpr int kGroupCount = 8;

// Process-wide, as the libraries they count are; devices are driven from one thread at a time.
int32_t g_useCounts[kGroupCount + 1] = {};

template <typename F, typename... Args>
int32_t Forward(F fn, Args... args) {
  return fn ? fn(args...) : -1;
}

}  // namespace

const char* SoundLibraryName(int kind) {
  if (kind == 1 || kind == 2 || kind == 7) return "kz3qelemu.dll";
  if (kind >= 3 && kind <= 6) return "Qelemu.dll";
  if (kind >= 8 && kind <= 16) return "K5_EmuQel5.dll";
  return nullptr;
}

int SoundDeviceGroup(int kind) {
  if (kind >= 1 && kind <= 7) return kind;
  if (kind >= 8 && kind <= 16) return 8;
  return 0;
}

CKzSoundDevice::CKzSoundDevice() = default;

CKzSoundDevice::~CKzSoundDevice() {
  // Subclasses unbind in their own destructors, where CloseDevice still reaches them; this only
  // catches a module they left.
  ReleaseModule();
}

int32_t& CKzSoundDevice::UseCount(int group) {
  static int32_t none = 0;
  if (group < 1 || group > kGroupCount) {
    none = 0;
    return none;
  }
  return g_useCounts[group];
}

int32_t CKzSoundDevice::GetGroupUseCount(int group) {
  return (group >= 1 && group <= kGroupCount) ? g_useCounts[group] : 0;
}

int CKzSoundDevice::LoadDll(int kind) {
  const char* name = SoundLibraryName(kind);
  if (!name) return 0;
  Unbind();
  m_kind = kind;
  std::string path = platform::LocateLibrary(name, platform::settings().GetAppDir());
  if (path.empty() || !m_module.Open(path)) return 0;
  ++UseCount(SoundDeviceGroup(kind));
  return BindEntryPoints();
}

int CKzSoundDevice::BindEntryPoints() {
  if (!m_module.IsOpen() || m_kind < 1 || m_kind > 16) return 0;
  for (int i = 0; i < kEntryCount; ++i) {
    m_entries[static_cast<size_t>(i)] = kEntryNames[i] ? LookUp(kEntryNames[i]) : nullptr;
  }
  int32_t count = UseCount(SoundDeviceGroup(m_kind));
  if (count == 1) return OpenDevice() == 0 ? 1 : 0;
  return count > 1 ? 1 : 0;
}

void CKzSoundDevice::Unbind() {
  if (m_module.IsOpen() && UseCount(SoundDeviceGroup(m_kind)) == 1) CloseDevice();
  ReleaseModule();
  m_entries.fill(nullptr);
  m_kind = 0;
}

void CKzSoundDevice::ReleaseModule() {
  if (!m_module.IsOpen()) return;
  m_module.Close();
  --UseCount(SoundDeviceGroup(m_kind));
}

int32_t CKzSoundDevice::GetEmuInfo(int32_t which) {
  return Forward(EntryAs<KzSound_GetEmuInfo_t>(KzEntry::GetEmuInfo), which);
}

int32_t CKzSoundDevice::Generate(int16_t* buffer, int32_t frames, int32_t flags) {
  auto fn = EntryAs<KzSound_Generate_t>(KzEntry::Generate);
  return fn ? fn(buffer, frames, flags) : 0;
}

int32_t CKzSoundDevice::SendMidiMsg(const uint8_t* /*data*/, int32_t /*length*/) { return -1; }

int32_t CKzSoundDevice::GetMidiMsg(int32_t port, uint8_t* buffer, int32_t size) {
  return Forward(EntryAs<GetMidiMsg_t>(KzEntry::MessageOut), port, buffer, size);
}

int32_t CKzSoundDevice::DeviceControl(int32_t code, int32_t a, int32_t b, int32_t c) {
  return Forward(EntryAs<KzSound_DeviceControl_t>(KzEntry::DeviceControl), code, a, b, c);
}

int32_t CKzSoundDevice::Create(int32_t mode) { return Forward(EntryAs<KzSound_Create_t>(KzEntry::Create), mode); }

int32_t CKzSoundDevice::Load(int32_t instance, const uint8_t* image, int32_t size, int32_t mode,
                             KzSoundEndCallback callback, int32_t option) {
  return Forward(EntryAs<KzSound_Load_t>(KzEntry::Load), instance, image, size, mode, callback, option);
}

int32_t CKzSoundDevice::Open(int32_t instance, int32_t sequence, int32_t a, int32_t b) {
  return Forward(EntryAs<KzSound_Open_t>(KzEntry::Open), instance, sequence, a, b);
}

int32_t CKzSoundDevice::Control(int32_t instance, int32_t sequence, int32_t code, int32_t value, int32_t extra) {
  return Forward(EntryAs<KzSound_Control_t>(KzEntry::Control), instance, sequence, code, value, extra);
}

int32_t CKzSoundDevice::Standby(int32_t instance, int32_t sequence, int32_t a) {
  return Forward(EntryAs<KzSound_Standby_t>(KzEntry::Standby), instance, sequence, a);
}

int32_t CKzSoundDevice::Seek(int32_t instance, int32_t sequence, int32_t position, int32_t a, int32_t b) {
  return Forward(EntryAs<KzSound_Seek_t>(KzEntry::Seek), instance, sequence, position, a, b);
}

int32_t CKzSoundDevice::Start(int32_t instance, int32_t sequence, int32_t repeat, int32_t a) {
  return Forward(EntryAs<KzSound_Start_t>(KzEntry::Start), instance, sequence, repeat, a);
}

int32_t CKzSoundDevice::Pause(int32_t instance, int32_t sequence, int32_t a) {
  return Forward(EntryAs<KzSound_SequenceOp_t>(KzEntry::Pause), instance, sequence, a);
}

int32_t CKzSoundDevice::Restart(int32_t instance, int32_t sequence, int32_t a) {
  return Forward(EntryAs<KzSound_SequenceOp_t>(KzEntry::Restart), instance, sequence, a);
}

int32_t CKzSoundDevice::Stop(int32_t instance, int32_t sequence, int32_t a) {
  return Forward(EntryAs<KzSound_SequenceOp_t>(KzEntry::Stop), instance, sequence, a);
}

int32_t CKzSoundDevice::Close(int32_t instance, int32_t sequence, int32_t a) {
  return Forward(EntryAs<KzSound_SequenceOp_t>(KzEntry::Close), instance, sequence, a);
}

int32_t CKzSoundDevice::Unload(int32_t instance, int32_t sequence, int32_t a) {
  return Forward(EntryAs<KzSound_SequenceOp_t>(KzEntry::Unload), instance, sequence, a);
}

int32_t CKzSoundDevice::Delete(int32_t instance) {
  return Forward(EntryAs<KzSound_Delete_t>(KzEntry::Delete), instance);
}

int32_t CKzSoundDevice::Phrase_Initialize() { return Forward(EntryAs<KzSound_NoArgs_t>(KzEntry::PhraseInitialize)); }

int32_t CKzSoundDevice::Phrase_GetInfo(int32_t which) {
  return Forward(EntryAs<Phrase_GetInfo_t>(KzEntry::PhraseGetInfo), which);
}

int32_t CKzSoundDevice::Phrase_CheckData(const uint8_t* data, int32_t size) {
  return Forward(EntryAs<Phrase_CheckData_t>(KzEntry::PhraseCheckData), data, size);
}

int32_t CKzSoundDevice::Phrase_SetData(int32_t channel, const uint8_t* data, int32_t size, int32_t check) {
  return Forward(EntryAs<Phrase_SetData_t>(KzEntry::PhraseSetData), channel, data, size, check);
}

#define TRILLOT_PHRASE_CHANNEL(method, entry)              \
  int32_t CKzSoundDevice::method(int32_t channel) {        \
    return Forward(EntryAs<Phrase_Channel_t>(entry), channel); \
  }
#define TRILLOT_PHRASE_CHANNEL_VALUE(method, entry)                        \
  int32_t CKzSoundDevice::method(int32_t channel, int32_t value) {         \
    return Forward(EntryAs<Phrase_ChannelValue_t>(entry), channel, value); \
  }

TRILLOT_PHRASE_CHANNEL_VALUE(Phrase_Seek, KzEntry::PhraseSeek)
TRILLOT_PHRASE_CHANNEL_VALUE(Phrase_Play, KzEntry::PhrasePlay)
TRILLOT_PHRASE_CHANNEL(Phrase_Pause, KzEntry::PhrasePause)
TRILLOT_PHRASE_CHANNEL(Phrase_Restart, KzEntry::PhraseRestart)
TRILLOT_PHRASE_CHANNEL(Phrase_Stop, KzEntry::PhraseStop)
TRILLOT_PHRASE_CHANNEL(Phrase_RemoveData, KzEntry::PhraseRemoveData)
TRILLOT_PHRASE_CHANNEL(Phrase_GetStatus, KzEntry::PhraseGetStatus)
TRILLOT_PHRASE_CHANNEL(Phrase_GetPosition, KzEntry::PhraseGetPosition)
TRILLOT_PHRASE_CHANNEL(Phrase_GetVolume, KzEntry::PhraseGetVolume)
TRILLOT_PHRASE_CHANNEL(Phrase_GetLink, KzEntry::PhraseGetLink)
TRILLOT_PHRASE_CHANNEL_VALUE(Phrase_SetPanpot, KzEntry::PhraseSetPanpot)
TRILLOT_PHRASE_CHANNEL_VALUE(Phrase_SetVolume, KzEntry::PhraseSetVolume)
TRILLOT_PHRASE_CHANNEL_VALUE(Phrase_SetLink, KzEntry::PhraseSetLink)
TRILLOT_PHRASE_CHANNEL(Phrase_GetLength, KzEntry::PhraseGetLength)
TRILLOT_PHRASE_CHANNEL(Phrase_GetPanpot, KzEntry::PhraseGetPanpot)

#undef TRILLOT_PHRASE_CHANNEL
#undef TRILLOT_PHRASE_CHANNEL_VALUE

int32_t CKzSoundDevice::Phrase_Kill() { return Forward(EntryAs<KzSound_NoArgs_t>(KzEntry::PhraseKill)); }

int32_t CKzSoundDevice::Phrase_SetEvHandler(KzPhraseEvHandler handler) {
  return Forward(EntryAs<Phrase_SetEvHandler_t>(KzEntry::PhraseSetEvHandler), handler);
}

int32_t CKzSoundDevice::Phrase_Terminate() { return Forward(EntryAs<KzSound_NoArgs_t>(KzEntry::PhraseTerminate)); }

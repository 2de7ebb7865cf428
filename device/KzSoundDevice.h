// A sound-emulator library loaded at run time: its kind, its entry points and their forwarders.
#pragma once

#include <array>
#include <cstdint>

#include "device/KzSoundApi.h"
#include "platform/dynlib/DynamicLibrary.h"

/// Positions of the base entry points, in the order the library is bound.
enum class KzEntry : int {
  GetEmuInfo, Generate, MessageIn, MessageOut, DeviceControl, Create, Load, Open, Control, Standby,
  Seek, Start, Pause, Restart, Stop, Close, Unload, Delete,
  PhraseInitialize, PhraseGetInfo, PhraseCheckData, PhraseSetData, PhraseSeek, PhrasePlay, PhrasePause,
  PhraseRestart, PhraseStop, PhraseRemoveData, PhraseKill, PhraseGetStatus, PhraseGetPosition,
  PhraseGetVolume, PhraseGetLink, PhraseSetPanpot, PhraseSetVolume, PhraseSetLink, PhraseSetEvHandler,
  PhraseTerminate, PhraseGetLength, PhraseGetPanpot,
  Count
};

/// The library a device kind binds ("kz3qelemu.dll" for 1, 2, 7; "Qelemu.dll" for 3-6;
/// "K5_EmuQel5.dll" for 8-16); null for any other kind.
const char* SoundLibraryName(int kind);
/// The use-count group of a kind: the kind itself for 1-7, 8 for 8-16, else 0.
int SoundDeviceGroup(int kind);

class CKzSoundDevice {
 public:
  static constexpr int kEntryCount = static_cast<int>(KzEntry::Count);

  CKzSoundDevice();
  virtual ~CKzSoundDevice();
  CKzSoundDevice(const CKzSoundDevice&) = delete;
  CKzSoundDevice& operator=(const CKzSoundDevice&) = delete;

  /// Loads the kind's library from the program folder and binds it: 1 bound, 0 when the kind has
  /// no library, the file is missing (no count raised; the kind stays stored) or OpenDevice failed.
  int LoadDll(int kind);
  /// Looks the entries up; the first user of the group opens the device. 1 bound, else 0.
  virtual int BindEntryPoints();
  /// The last user of the group closes the device; frees the library and clears every entry.
  virtual void Unbind();
  virtual int OpenDevice() = 0;
  virtual int CloseDevice() = 0;

  virtual int32_t GetEmuInfo(int32_t which);
  /// 0 (not -1) without the entry.
  virtual int32_t Generate(int16_t* buffer, int32_t frames, int32_t flags);
  /// -1 in the base: only the emulator device takes messages.
  virtual int32_t SendMidiMsg(const uint8_t* data, int32_t length);
  virtual int32_t GetMidiMsg(int32_t port, uint8_t* buffer, int32_t size);
  virtual int32_t DeviceControl(int32_t code, int32_t a, int32_t b, int32_t c);
  virtual int32_t Create(int32_t mode);
  virtual int32_t Load(int32_t instance, const uint8_t* image, int32_t size, int32_t mode,
                       KzSoundEndCallback callback, int32_t option);
  virtual int32_t Open(int32_t instance, int32_t sequence, int32_t a, int32_t b);
  virtual int32_t Control(int32_t instance, int32_t sequence, int32_t code, int32_t value, int32_t extra);
  virtual int32_t Standby(int32_t instance, int32_t sequence, int32_t a);
  virtual int32_t Seek(int32_t instance, int32_t sequence, int32_t position, int32_t a, int32_t b);
  virtual int32_t Start(int32_t instance, int32_t sequence, int32_t repeat, int32_t a);
  virtual int32_t Pause(int32_t instance, int32_t sequence, int32_t a);
  virtual int32_t Restart(int32_t instance, int32_t sequence, int32_t a);
  virtual int32_t Stop(int32_t instance, int32_t sequence, int32_t a);
  virtual int32_t Close(int32_t instance, int32_t sequence, int32_t a);
  virtual int32_t Unload(int32_t instance, int32_t sequence, int32_t a);
  virtual int32_t Delete(int32_t instance);

  virtual int32_t Phrase_Initialize();
  virtual int32_t Phrase_GetInfo(int32_t which);
  virtual int32_t Phrase_CheckData(const uint8_t* data, int32_t size);
  virtual int32_t Phrase_SetData(int32_t channel, const uint8_t* data, int32_t size, int32_t check);
  virtual int32_t Phrase_Seek(int32_t channel, int32_t position);
  virtual int32_t Phrase_Play(int32_t channel, int32_t loop);
  virtual int32_t Phrase_Pause(int32_t channel);
  virtual int32_t Phrase_Restart(int32_t channel);
  virtual int32_t Phrase_Stop(int32_t channel);
  virtual int32_t Phrase_RemoveData(int32_t channel);
  virtual int32_t Phrase_Kill();
  virtual int32_t Phrase_GetStatus(int32_t channel);
  virtual int32_t Phrase_GetPosition(int32_t channel);
  virtual int32_t Phrase_GetVolume(int32_t channel);
  virtual int32_t Phrase_GetLink(int32_t channel);
  virtual int32_t Phrase_SetPanpot(int32_t channel, int32_t value);
  virtual int32_t Phrase_SetVolume(int32_t channel, int32_t value);
  virtual int32_t Phrase_SetLink(int32_t channel, int32_t value);
  virtual int32_t Phrase_SetEvHandler(KzPhraseEvHandler handler);
  virtual int32_t Phrase_Terminate();
  virtual int32_t Phrase_GetLength(int32_t channel);
  virtual int32_t Phrase_GetPanpot(int32_t channel);

  int GetKind() const { return m_kind; }
  bool HasModule() const { return m_module.IsOpen(); }
  bool HasEntry(KzEntry entry) const { return Entry(entry) != nullptr; }

  /// The number of bound devices of a group (1..8); 0 for any other group.
  static int32_t GetGroupUseCount(int group);

 protected:
  void* Entry(KzEntry entry) const { return m_entries[static_cast<size_t>(entry)]; }
  template <typename F>
  F EntryAs(KzEntry entry) const {
    return reinterpret_cast<F>(Entry(entry));
  }
  /// An entry of the bound library by name; null without a module or without that entry.
  void* LookUp(const char* name) const { return m_module.Symbol(name); }

 private:
  static int32_t& UseCount(int group);
  /// Frees the library and lowers the count, without closing the device.
  void ReleaseModule();

  int m_kind = 0;
  platform::DynamicLibrary m_module;
  std::array<void*, kEntryCount> m_entries{};
};

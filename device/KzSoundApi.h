// The entry points of a sound-emulator library, as the devices bind them and the stand-in exports them.
#pragma once

#include <cstdint>

extern "C" {

/// Called by the library from its own thread; 127 means the sequence played to its end.
typedef void (*KzSoundEndCallback)(int32_t event);

/// What the phrase library reports: the channel and an event word (-1 at the end of play).
struct KzPhraseEvent {
  int32_t channel;
  int32_t event;
};
typedef void (*KzPhraseEvHandler)(const KzPhraseEvent* event);

typedef int32_t (*KzSound_GetEmuInfo_t)(int32_t which);
typedef int32_t (*KzSound_Generate_t)(int16_t* buffer, int32_t frames, int32_t flags);
typedef int32_t (*SetMidiMsg_t)(const uint8_t* data, int32_t length);
/// The length of the message copied into the buffer, or -1 when nothing is queued.
typedef int32_t (*GetMidiMsg_t)(int32_t port, uint8_t* buffer, int32_t size);
typedef int32_t (*KzSound_DeviceControl_t)(int32_t code, int32_t a, int32_t b, int32_t c);
/// A new instance id of 1 or more, or a negative error.
typedef int32_t (*KzSound_Create_t)(int32_t mode);
/// A sequence id of 0 or more, or a negative error.
typedef int32_t (*KzSound_Load_t)(int32_t instance, const uint8_t* image, int32_t size, int32_t mode,
                                  KzSoundEndCallback callback, int32_t option);
typedef int32_t (*KzSound_Open_t)(int32_t instance, int32_t sequence, int32_t a, int32_t b);
typedef int32_t (*KzSound_Control_t)(int32_t instance, int32_t sequence, int32_t code, int32_t value,
                                     int32_t extra);
typedef int32_t (*KzSound_Standby_t)(int32_t instance, int32_t sequence, int32_t a);
typedef int32_t (*KzSound_Seek_t)(int32_t instance, int32_t sequence, int32_t position, int32_t a, int32_t b);
typedef int32_t (*KzSound_Start_t)(int32_t instance, int32_t sequence, int32_t repeat, int32_t a);
/// Pause, Restart, Stop, Close and Unload.
typedef int32_t (*KzSound_SequenceOp_t)(int32_t instance, int32_t sequence, int32_t a);
typedef int32_t (*KzSound_Delete_t)(int32_t instance);
/// Initialize, Terminate, EmuTerminate, Phrase_Initialize, Phrase_Kill and Phrase_Terminate.
typedef int32_t (*KzSound_NoArgs_t)(void);
typedef int32_t (*KzSound_EmuInitialize_t)(int32_t rate, int32_t value, int32_t emulationMode);

typedef int32_t (*Phrase_GetInfo_t)(int32_t which);
typedef int32_t (*Phrase_CheckData_t)(const uint8_t* data, int32_t size);
typedef int32_t (*Phrase_SetData_t)(int32_t channel, const uint8_t* data, int32_t size, int32_t check);
/// Pause, Restart, Stop, RemoveData and the getters.
typedef int32_t (*Phrase_Channel_t)(int32_t channel);
/// Seek, Play and the setters.
typedef int32_t (*Phrase_ChannelValue_t)(int32_t channel, int32_t value);
typedef int32_t (*Phrase_SetEvHandler_t)(KzPhraseEvHandler handler);

}  // extern "C"

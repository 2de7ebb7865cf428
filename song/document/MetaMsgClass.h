// Recognises the tempo, marker, time-signature, device and note messages of the song.
#pragma once

#include <cstdint>

class CMidiMsg;

/// Message classes of ClassifyMetaMsg.
enum MetaMsgClass : int {
  kMsgOther = 0,
  kMsgTempo = 1,          // FF 51 03
  kMsgDeviceStream = 2,   // F0 .. 43 79 06 7F 08
  kMsgDeviceTempo = 3,    // F0 .. 43 79 06 7D 10
  kMsgMarkerQ00 = 4,      // FF 06 "Q00"
  kMsgMarkerQ0F = 5,      // FF 06 "Q0F"
  kMsgDeviceSlot = 6,     // F0 .. 43 79 06 7F 0B
  kMsgDeviceVolume = 7,   // F0 .. 43 79 06 7F 00
  kMsgNoteOn = 8,         // 9n, any velocity
  kMsgTimeSignature = 10  // FF 58 04
};

/// The class of a message's bytes; a message too short for a byte that decides is class 0.
int ClassifyMetaMsg(const uint8_t* bytes, uint32_t length);
int ClassifyMetaMsg(const CMidiMsg& msg);

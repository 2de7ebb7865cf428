// Recognises the tempo, marker, time-signature, device and note messages of the song.
#include "song/document/MetaMsgClass.h"

#include "song/MidiMsg.h"
#include "song/SmfDialect.h"

namespace {

int ClassifyMeta(const uint8_t* b, uint32_t n) {
  if (n < 2) return kMsgOther;
  switch (b[1]) {
    case 0x51:
      return (n >= 3 && b[2] == 0x03) ? kMsgTempo : kMsgOther;
    case 0x58:
      return (n >= 3 && b[2] == 0x04) ? kMsgTimeSignature : kMsgOther;
    case 0x06:
      if (n != 6 || b[3] != 'Q' || b[4] != '0') return kMsgOther;
      if (b[5] == '0') return kMsgMarkerQ00;
      if (b[5] == 'F') return kMsgMarkerQ0F;
      return kMsgOther;
    default:
      return kMsgOther;
  }
}

int ClassifyDevice(const uint8_t* b, uint32_t n) {
  if (n < 7 || b[2] != kDialectMakerId || b[3] != 0x79 || b[4] != 0x06) return kMsgOther;
  if (b[5] == 0x7D) return b[6] == 0x10 ? kMsgDeviceTempo : kMsgOther;
  if (b[5] != 0x7F) return kMsgOther;
  switch (b[6]) {
    case 0x00: return kMsgDeviceVolume;
    case 0x08: return kMsgDeviceStream;
    case 0x0B: return kMsgDeviceSlot;
    default: return kMsgOther;
  }
}

}  // namespace

int ClassifyMetaMsg(const uint8_t* bytes, uint32_t length) {
  if (!bytes || length == 0) return kMsgOther;
  if (bytes[0] == 0xFF) return ClassifyMeta(bytes, length);
  if (bytes[0] == 0xF0) return ClassifyDevice(bytes, length);
  if ((bytes[0] & 0xF0) == 0x90) return kMsgNoteOn;
  return kMsgOther;
}

int ClassifyMetaMsg(const CMidiMsg& msg) { return ClassifyMetaMsg(msg.GetData(), msg.GetLength()); }

// Reading a native song file (".K3N", ".K5N"): song data read straight into the document.
#include "platform/host/HostServices.h"
#include "song/document/ImportSupport.h"
#include "song/document/KZ1Doc.h"
#include "song/midilist/MidiList.h"

int CKZ1Doc::ReadNativeFile(const std::string& path) {
  const auto bytes = songimport::ReadSongFile(path, 1);
  if (!bytes) return 0;
  CMidiList list;
  if (!songimport::ReadSongData(bytes->data(), static_cast<uint32_t>(bytes->size()), list)) {
    return 0;
  }
  const int profile = platform::settings().GetOutputProfile();
  if (profile == 4) {
    list.GetContentsInfo().SetContentsClass(0);
    list.GetContentsInfo().SetContentsTypeByte(0xF0);
  }
  if (!CheckCodeType(list, platform::settings().GetChipMode(), profile)) return 0;
  const int result = init(list, 1, 0);
  RebuildVoiceSlotsKZ12();
  return result;
}

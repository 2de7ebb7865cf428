// What the output builders share: the play lists of a save, the voice check, the MIDI list
// filled from the document and the messages of a failed song-data write.
#include "song/document/SaveSupport.h"

#include "platform/host/HostServices.h"
#include "song/VoiceItem.h"
#include "song/document/KZ1Doc.h"
#include "song/document/PcmVoiceCheck.h"
#include "song/midilist/MidiList.h"

namespace songsave {

int BuildPlayLists(CKZ1Doc& doc, PlayLists& lists, int mode) {
  doc.GetSongSetup().GetOutputRecord(lists.setup);
  return doc.makeMidiListPCM(lists.score, lists.pcm, lists.setup, mode);
}

int CheckVoiceItems(const CKZ1Doc& doc) {
  const CVoiceAssignTable& table = doc.GetVoiceAssignTable();
  for (int i = 0; i < CVoiceAssignTable::kSlotCount; ++i) {
    const CVoiceItem* item = table.GetVoiceItem(i);
    if (!item || item->IsDefault()) continue;
    if (!CheckPcmVoiceSettings(*item)) return 0;
  }
  return 1;
}

void FillList(const CKZ1Doc& doc, CMidiList& list, int outputTimeBase) {
  list.SetContentsInfo(doc.GetContentsInfo());
  {
    CSongSetup map;
    doc.BuildAssignMap(map);
    list.SetSongSetup(map);
    map.Clear();
  }
  const int chip = platform::settings().GetChipMode();
  if (chip == 3 || chip == 5) list.SetTimeBase(static_cast<uint16_t>(doc.GetTimeBaseKZ3()));
  // The song's first tempo is kept apart from its events: without it a save would start at
  // the list's default tempo.
  list.SetTempo(doc.GetFirstTempo());
  list.SetOutputTimeBase(outputTimeBase);
  list.SetTimeSignature(static_cast<uint8_t>(doc.GetBeatsPerMeasure()));
}

void ShowWriteFailure(uint32_t status, const CMidiList& list) {
  if (status == CMidiList::kFailRam) {
    platform::ShowMessage(7047, list.GetWriteTotal());
  } else if (status == CMidiList::kFailProgramUnderNote) {
    platform::ShowMessage(7049);
  } else {
    platform::ShowMessage(7050);
  }
}

void ChannelParts(const CKZ1Doc& doc, uint8_t parts[16]) {
  for (int k = 0; k < 16; ++k) parts[k] = static_cast<uint8_t>(doc.GetChannelPart(k) & 0xFF);
}

}  // namespace songsave

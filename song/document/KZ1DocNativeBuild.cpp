// Building the native image of the song (".K3N", ".K5N"): the song-data SMF for the native
// export, the board, the emulator, the checker and, split into its four parts, direct play.
#include "platform/host/HostServices.h"
#include "song/MemStream.h"
#include "song/Stopwatch.h"
#include "song/document/KZ1Doc.h"
#include "song/document/SaveSupport.h"
#include "song/midilist/MidiList.h"

int CKZ1Doc::makeKZ3NativeFormat(CMemStream& target, int playOption, int showBusy) {
  std::unique_ptr<platform::IUiToken> busy;
  if (showBusy) busy = platform::ui().ShowBusyPicture(2);
  songsave::PlayLists lists;
  if (!songsave::BuildPlayLists(*this, lists, playOption)) return 0;
  if (!songsave::CheckVoiceItems(*this)) return 0;

  CStopwatch log("CKZ1Doc::makeKZ3NativeFormat KZ3Native");
  log.Start();
  CMidiList list;
  songsave::FillList(*this, list, 0);
  uint32_t status = 0;
  if (!list.WriteSmf(target, lists.score, lists.pcm, &status, nullptr, 0)) {
    songsave::ShowWriteFailure(status, list);
    throw -1;
  }
  log.Stop();
  return 1;
}

int CKZ1Doc::makeKZ3NativeFormat2(CMemStream* targets[kImageCount], int playOption) {
  auto busy = platform::ui().ShowBusyPicture(2);
  songsave::PlayLists lists;
  if (!songsave::BuildPlayLists(*this, lists, playOption)) return 0;
  if (!songsave::CheckVoiceItems(*this)) return 0;

  CMidiList list;
  songsave::FillList(*this, list, 0);
  list.SetVoiceLookup([this](uint8_t msb, uint8_t lsb, uint8_t program, uint8_t note) {
    return FindVoiceIndex(msb, lsb, program, note);
  });
  uint8_t parts[16];
  songsave::ChannelParts(*this, parts);
  CMemStream whole;
  uint32_t status = 0;
  if (!list.WriteSmf(whole, lists.score, lists.pcm, &status, parts, 1)) {
    songsave::ShowWriteFailure(status, list);
    throw -1;
  }
  for (int part = 1; part <= kImageCount; ++part) {
    if (targets[part - 1]) list.GetGroupStream(part, *targets[part - 1]);
  }
  return 1;
}

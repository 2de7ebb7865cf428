#include "app/core/StreamPcmWaveSend.h"

#include "device/OutputEngine.h"
#include "platform/host/HostServices.h"
#include "song/SongSetup.h"
#include "song/StreamPCMSlot.h"
#include "song/document/KZ1Doc.h"

namespace stream_pcm {

namespace {

constexpr int kOk = 1;
constexpr int kBusyTransfer = 6;
constexpr int kMsgConfirmSendWaves = 7140;
constexpr int kNoSetting = 255;
constexpr int kPanClear = 1;
constexpr int kPanCentre = 64;
constexpr int kPairOn = 0;

}  // namespace

int LastSlotIndex(const CKZ1Doc& doc) {
  return doc.GetStreamPcmSlot(0) ? CKZ1Doc::kStreamSlotCount - 1 : -1;
}

bool HasStreamPcmWaves(const CKZ1Doc* doc) {
  if (!doc) return false;
  for (int i = 0; i <= LastSlotIndex(*doc); ++i)
    if (doc->GetStreamPcmSlotProgram(i) != 255) return true;
  return false;
}

int SendStreamPcmWaves(CKZ1Doc& doc, IOutputEngine& engine) {
  int sent = 0;
  const CSongSetup& setup = doc.GetSongSetup();
  for (int i = 0; i <= LastSlotIndex(doc); ++i) {
    const CStreamPCMSlot* slot = doc.GetStreamPcmSlot(i);
    if (!slot || slot->GetProgram() == 255) continue;
    engine.SendBoardCommand06(slot->GetId());
    engine.SendVoiceItem(*slot);
    // The setup keeps wave id i's pan at index i - 1 (ids start at 1).
    if (setup.GetChannelByte922(i - 1) < kNoSetting)
      engine.SendBoardCommand0B(i, kPanClear, kPanCentre);
    // The index byte holds the stereo partner's id; -1 (255) when there is none.
    const int partner = slot->GetIndex();
    if (partner >= 0 && partner < kNoSetting) engine.SendBoardCommand08(kPairOn, i, partner);
    ++sent;
  }
  doc.AddModifiedFlags(CKZ1Doc::kFlagUnsent);
  return sent;
}

int RunSendStreamPcmWaveMessage(CKZ1Doc* doc, IOutputEngine* engine) {
  if (!doc || !engine || platform::ShowMessage(kMsgConfirmSendWaves) != kOk) return 0;
  auto busy = platform::ui().ShowBusyPicture(kBusyTransfer);
  return SendStreamPcmWaves(*doc, *engine);
}

}  // namespace stream_pcm

#include "voice/models/AamCommands.h"

#include <algorithm>
#include <vector>

#include "app/core/FileChooser.h"
#include "device/OutputEngine.h"
#include "platform/host/HostServices.h"
#include "platform/io/FileIo.h"
#include "platform/strings/StringTable.h"
#include "song/MemStream.h"
#include "song/SongSetup.h"
#include "song/StreamPCMSlot.h"
#include "song/StreamPCMTable.h"
#include "song/document/KZ1Doc.h"
#include "song/document/MetaMsgClass.h"
#include "voice/WaveData.h"
#include "voice/models/AamModel.h"
#include "voice/models/VoiceWindowShell.h"

namespace {

constexpr int kAnswerYes = 6;
constexpr int kPanClear = 1;
constexpr int kRightPan = 127;

constexpr int kMsgRateOver48000 = 7021;
constexpr int kMsgCanNotConvert = 7022;
constexpr int kMsgEightBitConverted = 7017;
constexpr int kMsgStereoTaken = 7018;
constexpr int kMsgStereoOverId = 7019;
constexpr int kMsgOverwriteMap = 7024;
constexpr int kMsgCanNotOpenFile = 7025;
constexpr int kMsgNameTooLong = 7026;
constexpr int kMsgCanNotSaveFile = 7027;

constexpr int kLogNew = 7500;
constexpr int kLogImport = 7501;
constexpr int kLogImportOlder = 7502;
constexpr int kLogExport = 7503;

std::string Text(int id) { return std::string(platform::strings().Find(id).value_or("")); }

FileRequest StreamPcmFileRequest(bool open) {
  FileRequest request;
  request.open = open;
  request.filter = Text(2137);
  request.defaultExtension = Text(2138);
  request.flags =
      fileflags::kHideReadOnly | fileflags::kLongNames |
      (open ? fileflags::kFileMustExist : fileflags::kOverwritePrompt | fileflags::kPathMustExist);
  return request;
}

/// The slot as a row takes it: the trigger address comes with SetStreamPcmSlot.
CStreamPCMSlot RowSlot(int id, bool stereo, uint8_t format, uint16_t rate, const uint8_t* data,
                       uint32_t size, const std::string& name) {
  CStreamPCMSlot slot;
  slot.SetId(id);
  slot.SetFlag(stereo ? 1 : 0);
  slot.SetFormat(format);
  slot.SetRate(rate);
  slot.SetWaveData(data, size);
  slot.SetName(name.c_str());
  slot.SetIndex(-1);
  return slot;
}

}  // namespace

bool CAamCommands::Choose(const FileRequest& request, FileAnswer& answer) const {
  answer = m_context.chooser ? m_context.chooser->Choose(request) : FileAnswer{};
  return answer.ok && !answer.path.empty();
}

void CAamCommands::RefreshVoiceWindows() {
  if (m_context.shell) {
    m_context.shell->UpdateVoiceWindows();
  } else {
    platform::ui().UpdateVoiceWindows();
  }
}

void CAamCommands::SetMapChanged(bool changed) {
  if (m_context.mapChanged) *m_context.mapChanged = changed;
}

bool CAamCommands::AnyWave() const {
  for (int id = 1; id <= m_context.rowCount; ++id)
    if (CAamModel::HasWave(*m_context.doc, id)) return true;
  return false;
}

void CAamCommands::FinishChange() {
  m_context.doc->SetModifiedFlags(0);
  m_context.doc->ClearWaveList(1);
  RefreshVoiceWindows();
}

// --- New -----------------------------------------------------------------------------------------

int CAamCommands::New(int row) {
  CKZ1Doc* doc = m_context.doc;
  const int chip = m_context.chipMode;
  const int profile = m_context.outputProfile;
  if (!doc || row < 1 || row > m_context.rowCount || CAamModel::HasWave(*doc, row)) return 0;

  // Profiles 1 and 6 take 4-bit ADPCM only, so their dialog offers no choice.
  const bool adpcmOnly = profile == 1 || profile == 6;
  FileRequest request;
  request.kind = adpcmOnly ? FileDialogKind::Plain : FileDialogKind::SoundFile;
  request.filter = Text(2091);
  request.defaultExtension = Text(2077);
  request.flags = fileflags::kHideReadOnly | fileflags::kFileMustExist | fileflags::kLongNames;
  request.folder = m_context.soundFolder;
  FileAnswer answer;
  if (!Choose(request, answer)) return 0;
  const int bits = !adpcmOnly && answer.bitsPerSample == 8 ? 8 : 4;

  CWaveData wave;
  {
    auto wait = platform::ui().ShowWaitCursor();
    if (!wave.Load(answer.path, bits)) {
      platform::ShowMessage(kMsgCanNotConvert);
      return 0;
    }
  }
  const int kindBits = wave.GetKind() == CWaveData::kAdpcm ? 4 : 8;
  const int channels = wave.GetChannels();
  if (chip == 3 || chip == 5) {
    if (const int message = stream_pcm::RateMessage(profile, kindBits, channels, wave.GetRate())) {
      platform::ShowMessage(message);
      return 0;
    }
  }
  const bool pair = chip == 3 && channels == 2;
  if (chip == 3) {
    if (profile != 5 && kindBits == 8) platform::ShowMessage(kMsgEightBitConverted);
    // The last row has no next id to hold the right channel: refused before that id is read.
    if (pair && row >= m_context.rowCount) {
      platform::ShowMessage(kMsgStereoOverId);
      return 0;
    }
    if (pair && CAamModel::HasWave(*doc, row + 1)) {
      platform::ShowMessage(kMsgStereoTaken);
      return 0;
    }
  }
  // A slot keeps a 16-bit rate: a faster wave would be stored at a wrong one. The profiles with
  // no limit of their own get the message of the highest limit, which names the rate.
  if (wave.GetRate() > 0xFFFF) {
    platform::ShowMessage(kMsgRateOver48000);
    return 0;
  }

  const auto rate = static_cast<uint16_t>(wave.GetRate());
  const std::string name = stream_pcm::WaveName(answer.path);
  doc->SetStreamPcmSlot(row, RowSlot(row, chip == 5 && channels == 2, wave.GetKind(), rate,
                                     wave.GetSamples(0), wave.GetSampleBytes(0), name));
  if (pair) {
    doc->SetStreamPcmSlot(row + 1, RowSlot(row + 1, false, wave.GetKind(), rate, wave.GetSamples(1),
                                           wave.GetSampleBytes(1), name));
    doc->SetStreamPcmSetting(row, 0, 0);
    doc->SetStreamPcmSetting(row + 1, 0, kRightPan);
    if (!doc->InsertStreamPairMessage(row, row + 1)) {
      RemoveWave(row, false);
      RemoveWave(row + 1, false);
      FinishChange();
      platform::ShowMessage(kMsgCanNotConvert);
      return 0;
    }
    doc->GetStreamPcmSlot(row)->SetIndex(row + 1);
    doc->GetStreamPcmSlot(row + 1)->SetIndex(row);
  }
  FinishChange();
  platform::messages().AddAccessLog(kLogNew, answer.path, {});
  return 1;
}

// --- Delete --------------------------------------------------------------------------------------

void CAamCommands::RemovePairEvents(int a, int b) {
  CKZ1Doc::EventList& events = *m_context.doc->GetMidiListPCM();
  for (auto it = events.begin(); it != events.end();) {
    const CMidiMsg& m = **it;
    const bool pairEvent =
        m.GetExtra() == 0 && ClassifyMetaMsg(m) == kMsgDeviceStream && m.GetLength() >= 10;
    const int first = pairEvent ? m.GetByte(8) : -1;
    const int second = pairEvent ? m.GetByte(9) : -1;
    if (pairEvent && ((first == a && second == b) || (first == b && second == a))) {
      if (m_context.engine) m_context.engine->SendBoardCommand08(1, first, second);
      it = events.erase(it);
    } else {
      ++it;
    }
  }
}

void CAamCommands::RemoveWave(int id, bool dropOnly) {
  CKZ1Doc* doc = m_context.doc;
  CStreamPCMSlot* slot = doc->GetStreamPcmSlot(id);
  if (!slot || !CAamModel::HasWave(*doc, id)) return;
  IOutputEngine* engine = m_context.engine;
  const CSongSetup& setup = doc->GetSongSetup();
  auto drop = [&](int wave, CStreamPCMSlot& s) {
    if (engine) engine->SendBoardCommand06(wave);
    doc->ClearStreamPcmSlot(wave);
    s.SetWaveData(nullptr, 0);
  };
  const int pan = setup.GetSlotSettingSecond(id - 1);
  drop(id, *slot);
  if (dropOnly) return;
  if (engine) engine->SendBoardCommand0B(id, kPanClear, pan);

  const int partnerId = slot->GetIndex();
  CStreamPCMSlot* partner =
      m_context.chipMode == 3 && partnerId != id ? doc->GetStreamPcmSlot(partnerId) : nullptr;
  // Only a partner that names this wave back is the other half of its pair.
  if (!partner || partner->GetIndex() != id) return;
  const int partnerPan = setup.GetSlotSettingSecond(partnerId - 1);
  if (CAamModel::HasWave(*doc, partnerId)) {
    drop(partnerId, *partner);
    if (engine) engine->SendBoardCommand0B(partnerId, kPanClear, partnerPan);
  }
  doc->SetStreamPcmSetting(id, kPanClear, pan);
  doc->SetStreamPcmSetting(partnerId, kPanClear, partnerPan);
  RemovePairEvents(id, partnerId);
  platform::ui().UpdateSongWindows();
  slot->SetIndex(-1);
  partner->SetIndex(-1);
}

int CAamCommands::Delete(int row) {
  CKZ1Doc* doc = m_context.doc;
  if (!doc || row < 1 || row > m_context.rowCount || !CAamModel::HasWave(*doc, row)) return 0;
  RemoveWave(row, false);
  FinishChange();
  SetMapChanged(true);
  return 1;
}

// --- StreamPCM files -----------------------------------------------------------------------------

int CAamCommands::Import(bool olderVersion) {
  CKZ1Doc* doc = m_context.doc;
  if (!doc) return 0;
  if (AnyWave() && m_context.mapChanged && *m_context.mapChanged &&
      platform::ShowMessage(kMsgOverwriteMap) == kAnswerYes) {
    Export();
  }
  FileAnswer answer;
  if (!Choose(StreamPcmFileRequest(true), answer) || !IsFileMode()) return 0;
  CStreamPCMTable table;
  {
    auto wait = platform::ui().ShowWaitCursor();
    const bool read = olderVersion ? table.ImportFile(answer.path) : table.LoadFile(answer.path);
    if (!read) {
      platform::ShowMessage(kMsgCanNotOpenFile);
      return 0;
    }
  }
  for (int id = 1; id <= m_context.rowCount; ++id) {
    RemoveWave(id, olderVersion);
    const CStreamPCMSlot* source = table.GetSlot(id);
    if (!source || source->GetId() == CStreamPCMSlot::kFreeId) continue;
    doc->SetStreamPcmSlot(id, RowSlot(id, source->GetFlag(), source->GetFormat(), source->GetRate(),
                                      source->GetData(), source->GetDataSize(), {}));
  }
  FinishChange();
  SetMapChanged(false);
  platform::messages().AddAccessLog(olderVersion ? kLogImportOlder : kLogImport, answer.path, {});
  return 1;
}

int CAamCommands::Export() {
  CKZ1Doc* doc = m_context.doc;
  if (!doc) return 0;
  FileAnswer answer;
  if (!Choose(StreamPcmFileRequest(false), answer) || !IsFileMode()) return 0;
  CStreamPCMTable table;
  for (int id = 1; id <= m_context.rowCount; ++id) {
    if (!CAamModel::HasWave(*doc, id)) continue;
    CStreamPCMSlot copy(*doc->GetStreamPcmSlot(id));
    copy.SetId(id);
    table.SetSlot(id, copy);
  }
  if (!stream_pcm::ExportNameFits(answer.path)) {
    platform::ShowMessage(kMsgNameTooLong);
    return 0;
  }
  CMemStream stream;
  table.Export(stream);
  {
    auto wait = platform::ui().ShowWaitCursor();
    // Written beside the old file and renamed over it: a failed write leaves the old one.
    if (!platform::WriteFileAtomic(answer.path, stream.GetData(),
                                   static_cast<size_t>(stream.GetSize()))) {
      platform::ShowMessage(kMsgCanNotSaveFile);
      return 0;
    }
  }
  SetMapChanged(false);
  platform::messages().AddAccessLog(kLogExport, answer.path, {});
  return 1;
}

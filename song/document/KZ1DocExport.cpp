// Saving and exporting in chip mode 3: the song handed as song-data SMF to the VELK, phrase
// and MFi converter plug-ins, whose output becomes the output image; and the stream-size list.
#include <memory>
#include <new>

#include "app/CnvParam.h"
#include "platform/host/HostServices.h"
#include "song/MemStream.h"
#include "song/SmfVoiceScan.h"
#include "song/SongPrimitives.h"
#include "song/document/KZ1Doc.h"
#include "song/document/SaveSupport.h"
#include "song/midilist/MidiList.h"

namespace {

constexpr int kVelkConverter = 8;
constexpr int kPhraseConverter = 17;
constexpr int kVelkConverterVariant = 18;
constexpr int kMFiConverter = 10;
constexpr uint32_t kFlagCompress = CNVF_COMPRESS;
constexpr uint32_t kFlagSkipLedCheck = CNVF_SKIP_LED_CHECK;
constexpr uint32_t kFlagFsNotRecommended = CNVF_SETUP_WARNING;
constexpr uint32_t kPhraseTimeBase = 0x50;
constexpr uint32_t kMaxStreamRate = 8000;
constexpr uint32_t kNoStreamRate = 0xFFFFFFFFu;

int ChipMode() { return platform::settings().GetChipMode(); }
int OutputProfile() { return platform::settings().GetOutputProfile(); }
uint32_t ModeBits() { return VoiceModeBits(GetModeSetting()); }

// The VELK converter's time-base field of the output time-base option.
uint32_t TimeBaseField(int option) {
  switch (option) {
    case 5: return 0x30;
    case 10: return 0x40;
    case 20: return 0x50;
    default: return 0x20;
  }
}

int MFiKind(int profile, int maker) {
  if (profile == 1 || profile == 7) {
    if (maker >= 1 && maker <= 4) return kMFiConverter + maker - 1;
  } else if (profile == 6) {
    switch (maker) {
      case 1: return 14;
      case 2: return 15;
      case 4: return 16;
      default: return kMFiConverter;
    }
  }
  return kMFiConverter;
}

// A destination buffer; a size beyond 32 bits or a failed allocation is the song data's -108.
std::unique_ptr<uint8_t[]> NewBuffer(uint64_t size) {
  if (size == 0) return nullptr;
  if (size > 0xFFFFFFFFu) throw kErrOutOfMemory;
  std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[size]);
  if (!buffer) throw kErrOutOfMemory;
  return buffer;
}

// A plug-in result that claims more bytes than the destination holds is a failure: the bytes
// behind the buffer are not the plug-in's output.
uint32_t CheckedResult(uint32_t result, uint32_t capacity) {
  return (IsConvertSuccess(result) && result > capacity) ? CNVERR_FAILED : result;
}

uint32_t Convert(CnvParam& param, int kind) {
  const uint32_t capacity = param.dstSize;
  return CheckedResult(platform::binder().Convert(param, kind, 1), capacity);
}

// Steps 3 to 6 of the common preparation: the voice check, the list filled from the song and
// the song-data SMF written into smf. 0 after the failure's message.
int WriteSongData(CKZ1Doc& doc, songsave::PlayLists& lists, CMidiList& list, CMemStream& smf,
                  uint32_t& status, int timeBaseOption, const uint8_t* parts, int mode) {
  if (!songsave::CheckVoiceItems(doc)) return 0;
  songsave::FillList(doc, list, timeBaseOption);
  status = 0;
  if (!list.WriteSmf(smf, lists.score, lists.pcm, &status, parts, mode)) {
    songsave::ShowWriteFailure(status, list);
    return 0;
  }
  return 1;
}

// The voice scan of the written song: 0 when it fails or finds the mono limit exceeded
// (message 7003); eightBit tells whether 8-bit stream audio is present.
int ScanSongData(const CMemStream& smf, bool& eightBit) {
  const int mode = GetModeSetting();
  CSmfVoiceScan scan;
  if (scan.Scan(smf.GetData(), static_cast<uint32_t>(smf.GetSize()), (mode == 1 || mode == 2) ? 1 : 0,
                nullptr) != 1) {
    return 0;
  }
  if (scan.GetCheckFlags() & CSmfVoiceScan::kCheckOverLimit) {
    platform::ShowMessage(7003);
    return 0;
  }
  eightBit = scan.GetStreamFlags() != 0;
  return 1;
}

void TakeStreamData(CKZ1Doc& doc, const CMidiList& list) {
  doc.SetStreamSizeList(list.GetStreamSummary1(), list.GetStreamSummary2(), list.GetStreamPoints());
}

}  // namespace

int CKZ1Doc::ConvertToVelk_KZ1(CMemStream&, int, const std::string&, const SongOutputRecord&, int,
                               int, int) {
  return 0;
}

int CKZ1Doc::ConvertToVelk_KZ2(CMemStream&, int, const std::string&, const SongOutputRecord&, int,
                               int, int) {
  return 0;
}

int CKZ1Doc::ConvertToVelk_KZ3(CMemStream& image, int, const std::string&, const SongOutputRecord&,
                               int timeBaseOption, int compression, int editStatus) {
  const int chip = ChipMode();
  const int profile = OutputProfile();
  CnvParam param{};
  songsave::PlayLists lists;
  auto busy = platform::ui().ShowBusyPicture(2);
  if (!songsave::BuildPlayLists(*this, lists, 0)) return 0;
  if ((profile == 2 || profile == 5) && platform::settings().GetProfileOption() != 0) {
    m_contentsInfo.SetOptionByte4(editStatus == 1 ? 1 : 255);
  }
  CMidiList list;
  CMemStream smf;
  uint32_t status = 0;
  if (!WriteSongData(*this, lists, list, smf, status, timeBaseOption, nullptr, 0)) return 0;

  const bool checked = profile == 2 || profile == 3 || profile == 8;
  if (checked) {
    bool eightBit = false;
    if (!ScanSongData(smf, eightBit)) return 0;
    if (eightBit) platform::ShowMessage(7004);
  }
  const uint32_t size = static_cast<uint32_t>(smf.GetSize());
  auto destination = NewBuffer(uint64_t{size} * 2);
  param.src = smf.GetData();
  param.srcSize = size;
  param.dst = destination.get();
  param.dstSize = size * 2;
  TakeStreamData(*this, list);
  if (checked) {
    const uint32_t rate = GetStreamRate();
    if (rate > kMaxStreamRate && rate != kNoStreamRate) {
      platform::ShowMessage(7046, rate);
      return 0;
    }
  }
  m_openFlag = 0;
  if (!platform::reports().ReportMobilePlaybackNotes(status)) {
    m_openFlag = 1;
    return 1;
  }
  param.flags = TimeBaseField(timeBaseOption) | (compression ? kFlagCompress : 0) | ModeBits();
  int kind = kVelkConverter;
  if (chip == 3 && profile == 4) kind = kPhraseConverter;
  if (chip == 3 && profile == 5) {
    kind = kVelkConverterVariant;
    param.flags |= kFlagSkipLedCheck;
  }
  const uint32_t result = Convert(param, kind);
  if (!IsConvertSuccess(result)) {
    platform::reports().ReportConvertResult(kind, result, param.flags);
    return 0;
  }
  if (platform::reports().ReportConverterNotes(kind, param.flags) != 1) return 0;
  if (chip == 3 && (checked || profile == 5) && (param.flags & kFlagFsNotRecommended)) {
    platform::ShowMessage(7052);
  }
  image.Write(destination.get(), result);
  m_convertedSize = static_cast<int>(result);
  return 1;
}

int CKZ1Doc::ConvertToVelkPhrase_KZ3(CMemStream* images[kImageCount], int, const std::string&,
                                     const SongOutputRecord&, int timeBaseOption, int compression) {
  const int chip = ChipMode();
  m_convertedSize = 0;
  CnvParam param{};
  songsave::PlayLists lists;
  auto busy = platform::ui().ShowBusyPicture(2);
  if (!songsave::BuildPlayLists(*this, lists, 0)) return 0;
  CMidiList list;
  list.SetVoiceLookup([this](uint8_t msb, uint8_t lsb, uint8_t program, uint8_t note) {
    return FindVoiceIndex(msb, lsb, program, note);
  });
  uint8_t parts[16];
  songsave::ChannelParts(*this, parts);
  CMemStream smf;
  uint32_t status = 0;
  if (!WriteSongData(*this, lists, list, smf, status, timeBaseOption, parts, 1)) return 0;
  TakeStreamData(*this, list);

  int result = 1;
  uint32_t last = 0;
  for (int k = 1; k <= kImageCount && result == 1; ++k) {
    CMemStream part;
    list.GetGroupStream(k, part);
    const uint32_t size = static_cast<uint32_t>(part.GetSize());
    if (size == 0) continue;
    param.src = part.GetData();
    param.srcSize = size;
    // Only chip mode 3 has a destination: elsewhere the plug-in refuses the first part.
    std::unique_ptr<uint8_t[]> destination;
    uint32_t capacity = 0;
    if (chip == 3) {
      destination = NewBuffer(uint64_t{size} * 2);
      capacity = size * 2;
    }
    param.dst = destination.get();
    param.dstSize = capacity;
    // The flags word is kept from part to part.
    param.flags |= kPhraseTimeBase | (compression ? kFlagCompress : 0) | ModeBits();
    last = Convert(param, kPhraseConverter);
    if (!IsConvertSuccess(last)) {
      result = 0;
      break;
    }
    if (images[k - 1]) images[k - 1]->Write(destination.get(), last);
    m_convertedSize += static_cast<int>(last);
  }
  if (result == 1) {
    platform::reports().ReportConverterNotes(kPhraseConverter, param.flags);
  } else {
    platform::reports().ReportConvertResult(kPhraseConverter, last, param.flags);
  }
  return result;
}

int CKZ1Doc::ConvertToMFi_KZ3(CMemStream& image, int, const std::string&, const SongOutputRecord&,
                              int timeBaseOption, int) {
  const int profile = OutputProfile();
  const int maker = platform::settings().GetMakerID();
  CnvParam param{};
  songsave::PlayLists lists;
  auto busy = platform::ui().ShowBusyPicture(2);
  if (!songsave::BuildPlayLists(*this, lists, 0)) return 0;
  CMidiList list;
  CMemStream smf;
  uint32_t status = 0;
  if (!WriteSongData(*this, lists, list, smf, status, timeBaseOption, nullptr, 0)) return 0;
  if (profile == 1 || profile == 7) {
    bool eightBit = false;
    if (!ScanSongData(smf, eightBit)) return 0;
    if (profile == 1 && eightBit) {
      platform::ShowMessage(7005);
      return 0;
    }
  }
  const uint32_t size = static_cast<uint32_t>(smf.GetSize());
  auto destination = NewBuffer(uint64_t{size} * 4);
  const uint32_t capacity = static_cast<uint32_t>(uint64_t{size} * 4);
  param.src = smf.GetData();
  param.srcSize = size;
  param.dst = destination.get();
  param.dstSize = capacity;
  param.flags = ModeBits();
  const int kind = MFiKind(profile, maker);
  // Maker 4's report comes from the library that converted, so both go in one call.
  const bool wantsReport = (profile == 1 || profile == 7) && maker == 4;
  uint32_t report = 0;
  uint32_t reportStatus = CNVERR_FAILED;
  uint32_t result = wantsReport
                        ? platform::binder().ConvertAndGetReport(param, kind, 1, report, reportStatus)
                        : platform::binder().Convert(param, kind, 1);
  result = CheckedResult(result, capacity);
  if (!IsConvertSuccess(result)) {
    platform::reports().ReportConvertResult(kind, result, param.flags);
    return 0;
  }
  image.Write(destination.get(), result);
  platform::reports().ReportConverterNotes(kind, param.flags);
  m_convertedSize = static_cast<int>(result);
  if (!wantsReport) return 1;
  if (reportStatus == 0) {
    m_converterReport = report;
    return 1;
  }
  if (reportStatus == CNVERR_FAILED) platform::ShowMessage(7006);
  if (reportStatus == CNVERR_DSTSIZE) platform::ShowMessage(7007);
  return 0;
}

int CKZ1Doc::BuildStreamSizeList(std::vector<CValuePoint>& target) {
  if (!target.empty()) return 0;
  if (m_streamRate != kNoStreamRate) {
    try {
      CMemStream scratch;
      if (makeKZ3NativeFormat(scratch, 0, 0)) {
        songsave::PlayLists lists;
        songsave::BuildPlayLists(*this, lists, 0);
        CMidiList list;
        songsave::FillList(*this, list, m_timeBase);
        CMemStream smf;
        uint32_t status = 0;
        if (list.WriteSmf(smf, lists.score, lists.pcm, &status, nullptr, 0)) TakeStreamData(*this, list);
      }
    } catch (int code) {
      // A failed write has shown its message; the list keeps the figures it had.
      if (code != -1) throw;
    }
  }
  target.reserve(m_waveList.size());
  for (const CValuePoint& point : m_waveList) {
    CValuePoint copy;
    copy.Set(point);
    target.push_back(copy);
  }
  return 1;
}

// Turns converter results and the flag bits a plug-in returns into user messages.
#include "app/core/ConverterReports.h"

#include <string>

#include "app/CnvParam.h"
#include "app/core/MessageStyle.h"
#include "platform/host/HostServices.h"
#include "platform/strings/StringTable.h"

namespace {

constexpr int kSmfConverter = 7;
constexpr int kMonoChecker = 20;

// Flag bits that the converters set in CnvParam::flags.
constexpr uint32_t kBitFsCorrected = 0x00020000;
constexpr uint32_t kBitFsUnsupported = 0x00040000;
constexpr uint32_t kBitMonoOverlap = 0x00080000;
constexpr uint32_t kBitVelkNotesTied = 0x00100000;
constexpr uint32_t kBitVoiceOrChunk = 0x01000000;
constexpr uint32_t kBitDurationTooLong = 0x02000000;
constexpr uint32_t kBitNotesDropped = 0x04000000;
constexpr uint32_t kBitLedOrSmfTied = 0x08000000;
constexpr uint32_t kTrSigMask = 0x70000000;
constexpr int kTrSigShift = 28;

bool IsVelkConverter(int kind) { return kind == 8 || kind == 17 || kind == 18; }

int FailedResultMessage(uint32_t flags) {
  if (flags & kBitFsUnsupported) return 7100;
  if (flags & kBitLedOrSmfTied) return 7099;
  if (flags & kBitDurationTooLong) return 7098;
  return 7101;
}

int UnsupportedTypeMessage(int kind) {
  switch (kind) {
    case 0: case 4: case 7: return 7109;
    case 1: case 5: case 8: case 17: case 18: return 7110;
    default: return 0;
  }
}

void AddVelkNoteIds(uint32_t flags, std::vector<int>& ids) {
  if (flags & kBitVoiceOrChunk) ids.push_back(7113);
  if (flags & kBitNotesDropped) ids.push_back(7114);
  uint32_t trSig = (flags & kTrSigMask) >> kTrSigShift;
  if (trSig >= 1 && trSig <= 6) {
    ids.push_back(7121);
    ids.push_back(7114 + static_cast<int>(trSig));  // 7115 .. 7120
  }
  if (flags & kBitFsCorrected) ids.push_back(7122);
  if (flags & kBitVelkNotesTied) ids.push_back(7151);
  if (flags & kBitMonoOverlap) ids.push_back(7123);
}

std::string JoinTexts(const std::vector<int>& ids) {
  std::string text;
  for (int id : ids) text += platform::strings().Find(id).value_or("");
  return text;
}

}  // namespace

int ConvertResultMessageId(int kind, uint32_t result, uint32_t flags) {
  switch (result) {
    case CNVERR_FAILED: return FailedResultMessage(flags);
    case CNVERR_DSTSIZE: return 7102;
    case CNVERR_FORMAT: return 7103;
    case CNVERR_PARAM: return 7104;
    case CNVERR_EVENT: return 7105;
    case CNVERR_TMPBUF: return 7106;
    case CNVERR_RAM: return 7108;
    case CNVERR_SMFTYPE: return UnsupportedTypeMessage(kind);
    case CNVERR_TOOSHORT: return 7111;
    case CNVERR_NOCHUNK: return 7147;
    default: return 0;
  }
}

int ReportConvertResult(int kind, uint32_t result, uint32_t flags) {
  int id = ConvertResultMessageId(kind, result, flags);
  return id == 0 ? 0 : platform::ShowMessage(id);
}

std::vector<int> ConverterNoteIds(int kind, uint32_t flags) {
  std::vector<int> ids;
  if (kind == kSmfConverter) {
    if (flags & kBitVoiceOrChunk) ids.push_back(7112);
    if (flags & kBitLedOrSmfTied) ids.push_back(7151);
  } else if (IsVelkConverter(kind)) {
    AddVelkNoteIds(flags, ids);
  } else if (kind == kMonoChecker) {
    if (flags & kBitMonoOverlap) ids.push_back(7123);
  }
  return ids;
}

int ReportConverterNotes(int kind, uint32_t flags) {
  std::vector<int> ids = ConverterNoteIds(kind, flags);
  if (ids.empty()) return message_box::kIdOk;
  bool askCancel = IsVelkConverter(kind) && (flags & kBitNotesDropped);
  unsigned style = message_box::kIconExclamation | (askCancel ? message_box::kOkCancel : message_box::kOk);
  // Batch conversion prints the text and takes the box's default, OK: a finished image is
  // kept as the windowed program keeps it.
  return platform::messages().DoMessageBoxUnlessBatch(message_box::kIdOk, JoinTexts(ids), style, 0);
}

std::vector<int> ConverterShortNoteIds(uint32_t result) {
  std::vector<int> ids;
  if (result >= CNVERR_FAILED) return ids;
  if (result & 0x001) ids.push_back(7112);
  if (result & 0x020) ids.push_back(7122);
  if (result & 0x200) ids.push_back(7049);
  return ids;
}

int ReportConverterNotesShort(uint32_t result) {
  std::vector<int> ids = ConverterShortNoteIds(result);
  if (!ids.empty()) {
    platform::messages().DoMessageBoxUnlessBatch(message_box::kIdOk, JoinTexts(ids),
                                                 message_box::kOk | message_box::kIconExclamation, 0);
  }
  return result < CNVERR_FAILED ? 1 : 0;
}

std::vector<int> MobilePlaybackNoteIds(uint32_t result) {
  std::vector<int> ids;
  if (result >= CNVERR_FAILED) return ids;
  if (result & 0x040) ids.push_back(7124);
  if (result & 0x080) ids.push_back(7125);
  if (result & 0x100) ids.push_back(7126);
  return ids;
}

int ReportMobilePlaybackNotes(uint32_t result) {
  int ok = 1;
  // Every box whose bit is set is shown, also after a Cancel.
  for (int id : MobilePlaybackNoteIds(result)) {
    if (platform::ShowMessage(id) != message_box::kIdOk) ok = 0;
  }
  return ok;
}

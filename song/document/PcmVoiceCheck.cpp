// The check that a PCM voice's loop and envelope settings can be converted, and the
// stream-PCM sampling rates.
#include "song/document/PcmVoiceCheck.h"

#include "platform/host/HostServices.h"
#include "platform/strings/StringTable.h"
#include "platform/text/Format.h"
#include "song/VoiceItem.h"
#include "voice/LoopPointCheck.h"

namespace {

constexpr unsigned kErrorBoxStyle = 0x10;  // stop icon, OK

int HeadlineId(unsigned errorCode) {
  switch (errorCode) {
    case CLoopPointCheck::kBadLoopPoint: return 7168;
    case CLoopPointCheck::kBadEndPoint: return 7169;
    case CLoopPointCheck::kClickXofLowSr: return 7170;
    case CLoopPointCheck::kClickXofSustainedDecay: return 7171;
    case CLoopPointCheck::kClickLowRr: return 7172;
    default: return 0;
  }
}

std::string Text(int id) {
  return id ? std::string(platform::strings().Find(id).value_or("")) : std::string();
}

}  // namespace

std::string PcmVoiceCheckText(const CVoiceItem& item, unsigned errorCode) {
  std::string text = Text(HeadlineId(errorCode));
  text += "\n";
  const unsigned program = item.GetProgram() + static_cast<unsigned>(platform::settings().GetOriginPch());
  if (item.IsDrum()) {
    text += platform::Format(Text(7167), unsigned{item.GetBankMsb()}, unsigned{item.GetBankLsb()},
                             program, unsigned{item.GetNote()});
  } else {
    text += platform::Format(Text(7166), unsigned{item.GetBankMsb()}, unsigned{item.GetBankLsb()},
                             program);
  }
  if (const char* name = item.GetName()) text += name;
  return text;
}

int CheckPcmVoiceSettings(const CVoiceItem& item) {
  CLoopPointCheck check;
  const int result = check.Check(item);
  if (result) return result;
  const std::string text = PcmVoiceCheckText(item, check.GetResult());
  if (!text.empty()) platform::messages().DoMessageBoxUnlessBatch(1, text, kErrorBoxStyle, 0);
  return result;
}

bool IsValidStreamPcmRate(int rate) {
  return rate >= 4125 && rate <= 48000 && (rate - 4125) % 375 == 0;
}

// The application's generation-1 export conversion.
#include "app/core/KZ1ExportService.h"

#include "song/MemStream.h"
#include "song/SongSetup.h"
#include "song/VoiceLibrary.h"
#include "song/VoiceTable1.h"
#include "song/document/KZ1Doc.h"
#include "velk/ConvertJob.h"

namespace {

// Section codes 1..7 of the control bar name these phrases.
constexpr char kPhraseOfSection[] = "IEABSKR";
constexpr int kLastSection = 7;

}  // namespace

CKZ1ExportService::CKZ1ExportService(std::function<void()> converted)
    : m_converted(std::move(converted)) {}

std::string CKZ1ExportService::ReasonOf(int result) {
  switch (result) {
    case 0: return {};
    case -8: return "Note Range Error( Over 3 Octave )";
    case -1: return "Convert Error";
    case 1: return "There are some notes exist out of range.";
    default: return "File Format Error";
  }
}

int CKZ1ExportService::ConvertToKZ1(CMemStream& stream, int, const SongOutputRecord& setup) {
  m_reason.clear();
  CKZ1Doc* doc = platform::registry().document;
  if (!doc) return 0;
  try {
    CMemStream image;
    if (!doc->ExportVelk(image, 0, std::string(), setup, 1, 0, 0)) {
      platform::messages().Beep();
      return 0;
    }
    static const CVoiceTable1 kNoVoices;
    CVoiceLibrary* library = platform::registry().voiceLibrary;
    const CVoiceTable1& first = library ? library->GetGen1VoiceTable(0) : kNoVoices;
    const CVoiceTable1& second = library ? library->GetGen1VoiceTable(1) : kNoVoices;
    const bool qxCue = platform::ui().IsQXCueEnabled();
    CConvertJob job(image, first, second, stream, qxCue);
    if (!qxCue) {
      const int section = platform::ui().GetSelectedSection();
      if (section >= 1 && section <= kLastSection) {
        const char code[] = {'P', kPhraseOfSection[section - 1], '\0'};
        job.Check(code);
      }
    }
    const int result = job.Run();
    m_reason = ReasonOf(result);
    if (result != 0) return 0;
  } catch (...) {
    // The image could not be built or the job made: nothing converted.
    platform::messages().Beep();
    return 0;
  }
  if (m_converted) m_converted();
  return 1;
}

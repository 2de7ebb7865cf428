#include "views/TextScoreCommands.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/host/HostServices.h"
#include "song/GrowPtrArray.h"
#include "song/document/KZ1Doc.h"

namespace {

/// The generator's quarter note: "R" then "F" gives the notes back.
constexpr int kQuarter = 24;

void ShowError(const std::string& text) { platform::messages().DoMessageBoxUnlessBatch(1, text, 0, 0); }

/// Takes the parsed events out of the array into owned records.
void TakeEvents(CGrowPtrArray& parsed, std::vector<std::unique_ptr<CMidiMsg>>& into) {
  for (uint32_t i = 0; i < parsed.GetCount(); ++i) into.emplace_back(static_cast<CMidiMsg*>(parsed.GetAt(i)));
  parsed.RemoveAll();
}

}  // namespace

int TextScoreChannelCount(const CKZ1Doc& doc) { return std::clamp(doc.GetChannelCount(), 0, 4); }

bool ReadTextScores(CKZ1Doc& doc, TextScoreTexts& texts) {
  int warnOnce = 1;
  std::string firstError;
  for (int c = 0; c < TextScoreChannelCount(doc); ++c) {
    // Each channel on its own: chords on one channel leave the others readable.
    std::string fresh;
    std::string error;
    if (doc.MakeTextScore(c, fresh, error, &warnOnce)) {
      texts[static_cast<size_t>(c)] = std::move(fresh);
    } else if (firstError.empty()) {
      firstError = error;
    }
  }
  if (firstError.empty()) return true;
  ShowError(firstError);
  return false;
}

TextScoreFill FillTextScores(CKZ1Doc& doc, const TextScoreTexts& texts) {
  std::vector<std::unique_ptr<CMidiMsg>> events;
  for (int c = 0; c < TextScoreChannelCount(doc); ++c) {
    const std::string& text = texts[static_cast<size_t>(c)];
    if (text.empty()) continue;
    CGrowPtrArray parsed;
    std::string error;
    const int ok = doc.ParseTextScore(c, text, parsed, error, kQuarter);
    TakeEvents(parsed, events);
    if (!ok) {
      ShowError(error);
      return TextScoreFill::ParseError;
    }
  }
  if (events.empty()) return TextScoreFill::Nothing;
  if (platform::ShowMessage(7136) != 1) return TextScoreFill::Cancelled;

  doc.GetMidiList()->clear();
  for (int k = 1; k <= 9; ++k) doc.SetCuePoint(k, CKZ1Doc::kNoCue, 0);
  // Collected channel after channel: put in tick order so the list stays in song order.
  std::stable_sort(events.begin(), events.end(),
                   [](const auto& a, const auto& b) { return a->GetTick() < b->GetTick(); });
  for (auto& e : events) doc.GetMidiList()->push_back(std::move(e));
  doc.FixNoteOverlaps();
  doc.RefreshChannelVoices(0);
  // The song changed: closing must ask, and the held command belongs to the old list.
  doc.SetModifiedFlags(0);
  return TextScoreFill::Applied;
}

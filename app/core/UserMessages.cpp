// User messages by string-table id and the access log, on top of a presenter.
#include "app/core/UserMessages.h"

#include "app/core/MessageStyle.h"
#include "app/core/TrillotApp.h"
#include "platform/strings/StringTable.h"
#include "platform/text/Format.h"

UserMessages::UserMessages(CTrillotApp& app, IMessagePresenter& presenter,
                           const platform::StringTable& strings)
    : m_app(app), m_presenter(presenter), m_strings(strings) {}

std::optional<std::string> UserMessages::FormatMessageText(int id, const platform::FormatArgs& args) const {
  std::optional<std::string_view> text = m_strings.Find(id);
  if (!text) return std::nullopt;
  // Sized to the result: a translated template can be far shorter than what it expands to.
  return platform::FormatPrintf(*text, args);
}

int UserMessages::ShowMessage(int id, const platform::FormatArgs& args) {
  std::optional<std::string> text = FormatMessageText(id, args);
  if (!text) return -1;
  ++m_shown;
  return m_presenter.Present(*text, GetMessageStyle(id), 0);
}

int UserMessages::DoMessageBoxUnlessBatch(int defaultAnswer, const std::string& text, unsigned style,
                                          int helpId) {
  ++m_shown;
  if (m_app.HasOutputPath()) {
    m_presenter.Note(text);
    return defaultAnswer;
  }
  return m_presenter.Present(text, style, helpId);
}

void UserMessages::NoteForBatch(const std::string& text) {
  if (m_app.HasOutputPath()) m_presenter.Note(text);
}

void UserMessages::AddAccessLog(int id, const std::string& detail, const platform::FormatArgs& args) {
  if (!platform::ui().HasMainWindow()) return;
  std::optional<std::string> title = FormatMessageText(id, args);
  if (!title) return;
  // A full log drops the entry and leaves the window alone.
  if (m_app.GetAccessLog().AppendAccessLogLines(*title, detail)) platform::ui().AccessLogChanged();
}

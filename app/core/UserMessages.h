// User messages by string-table id and the access log, on top of a presenter.
#pragma once

#include <optional>
#include <string>

#include "app/core/MessagePresenter.h"
#include "platform/host/HostServices.h"

class CTrillotApp;

namespace platform {
class StringTable;
}

class UserMessages final : public platform::IUserMessages {
 public:
  UserMessages(CTrillotApp& app, IMessagePresenter& presenter, const platform::StringTable& strings);

  /// Formats the id's text with the arguments and shows it with the id's style, in batch mode
  /// too; the button pressed, or -1 (and nothing shown) when the id has no text.
  int ShowMessage(int id, const platform::FormatArgs& args) override;
  /// In batch conversion the default answer at once (the presenter only notes the text);
  /// else the button pressed.
  int DoMessageBoxUnlessBatch(int defaultAnswer, const std::string& text, unsigned style,
                              int helpId) override;
  /// Adds the formatted title and the detail to the application's log while the main window
  /// exists and the id has a text; an open log window follows the new lines.
  void AddAccessLog(int id, const std::string& detail, const platform::FormatArgs& args) override;
  void Beep() override { m_presenter.Beep(); }
  /// In batch conversion the presenter notes the line; else nothing.
  void NoteForBatch(const std::string& text) override;
  unsigned ShownCount() const override { return m_shown; }

  /// The id's text formatted with the arguments, or nothing when the id has no text.
  std::optional<std::string> FormatMessageText(int id, const platform::FormatArgs& args) const;

 private:
  CTrillotApp& m_app;
  IMessagePresenter& m_presenter;
  const platform::StringTable& m_strings;
  unsigned m_shown = 0;
};

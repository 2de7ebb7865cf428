// The control bar's time-base edit: the song's time base in milliseconds with three decimals,
// applied on Enter only.
#pragma once

#include "app/ui/CommitOnEnterEdit.h"
#include <cstdint>
#include <functional>
#include <optional>

class CNumberEdit : public CommitOnEnterEdit {
 public:
  /// Applies a typed time base (the main frame's OnCtrlBarTimebase); 1 when accepted.
  using TimeBaseHandler = std::function<int(uint32_t)>;
  /// The song's current time base; nothing without a song.
  using TimeBaseSource = std::function<std::optional<int>()>;

  explicit CNumberEdit(QWidget* parent = nullptr);

  void SetHandler(TimeBaseHandler handler) { m_handler = std::move(handler); }
  /// By default the time base of the registry's song document.
  void SetTimeBaseSource(TimeBaseSource source) { m_source = std::move(source); }
  /// Shows the song's time base (the argument is that same value); keeps the text without a song.
  int SetNumber(int timeBase);
  /// Applies the typed text: 1 when applied or restored, 0 when refused.
  int Commit();
  uint32_t CommittedTimeBase() const { return m_committed; }

 protected:
  bool AcceptsText(const std::string& text) const override;
  void OnEnter(QKeyEvent*) override { Commit(); }
  void focusOutEvent(QFocusEvent* event) override;

 private:
  void ShowDocumentTimeBase();

  uint32_t m_committed = 0;
  TimeBaseHandler m_handler;
  TimeBaseSource m_source;
};

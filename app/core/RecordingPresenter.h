// Records every message box and answers it from a script, for tests.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "app/core/MessagePresenter.h"

class RecordingPresenter final : public IMessagePresenter {
 public:
  struct Box {
    std::string text;
    unsigned style = 0;
    int helpId = 0;
  };

  /// Answers with the next scripted answer, else with the box's default button.
  int Present(const std::string& text, unsigned style, int helpId) override;
  void Note(const std::string& text) override { notes.push_back(text); }
  void Beep() override { ++beeps; }

  std::vector<Box> boxes;
  std::vector<std::string> notes;
  std::deque<int> answers;
  int beeps = 0;
};

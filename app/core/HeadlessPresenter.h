// Shows user messages on standard error and takes each box's default answer.
#pragma once

#include <cstdio>

#include "app/core/MessagePresenter.h"

/// For batch runs without a display: a box would wait for ever with nobody to answer it.
class HeadlessPresenter final : public IMessagePresenter {
 public:
  explicit HeadlessPresenter(std::FILE* out = stderr) : m_out(out) {}

  /// Prints "Trillot: " and the text, and returns the default button's answer.
  int Present(const std::string& text, unsigned style, int helpId) override;
  void Note(const std::string& text) override;

 private:
  void Print(const std::string& text);

  std::FILE* m_out;
};

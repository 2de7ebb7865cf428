// The application's commands that run the shell's dialogs: About, the maker's web pages,
// Preference and the voice-allocation check, with their update rules. No windows: the dialogs
// are reached through the application's dialog hooks.
#pragma once

#include <vector>

class CTrillotApp;

class ShellDialogCommands {
 public:
  static constexpr int kAbout = 57664;
  static constexpr int kWebJapanese = 40977;
  static constexpr int kWebGlobal = 40979;
  static constexpr int kWebKorean = 40991;
  static constexpr int kWebChinese = 40992;
  static constexpr int kPreference = 32792;
  static constexpr int kPolyscan = 32830;
  /// Message 7081: the program cannot go on.
  static constexpr int kUnexpectedProblem = 7081;

  explicit ShellDialogCommands(CTrillotApp& app) : m_app(app) {}

  static const std::vector<int>& Ids();
  bool Handles(int id) const;
  /// Runs the command; false when it is not one of these.
  bool Run(int id);
  /// The update rule: About while nothing plays, the web pages always, Preference while the
  /// device is idle, Polyscan while the checker can be bound.
  bool Enabled(int id) const;

  /// Preference: with voices edited, 7097 first (Yes saves them in chip mode 3); then the chip
  /// mode's dialog; on OK the status panes and the report bar are refreshed. An exception out of the dialog shows 7081 and ends the process with 2.
  void OnOptionPreferenceDialog();
  /// Polyscan: the check dialog in chip modes 3 and 5 unless the output profile is 4.
  void OnOptionVoiceCheckDialog();

 private:
  CTrillotApp& m_app;
};

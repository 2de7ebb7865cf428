// The Preference dialog of chip modes 1 and 2 (template 2021).
#pragma once

#include <QDialog>
#include <functional>
#include <memory>

#include "device/OutputEngine.h"

class CTrillotApp;

class CPreferenceDlg : public QDialog {
 public:
  static constexpr int kTemplateId = 2021;
  static constexpr int kPseudoRev = 1880;
  static constexpr int kChipMode = 1881;
  static constexpr int kThruIn = 1882;
  static constexpr int kThruOut = 1883;
  static constexpr int kModeSetting = 1884;
  static constexpr int kPort = 1885;
  static constexpr int kOutputFormat = 1886;
  static constexpr int kDevice = 1887;
  static constexpr int kForm = 1888;

  /// Makes the temporary output engine that names the MIDI devices.
  using EngineFactory = std::function<std::unique_ptr<IOutputEngine>()>;
  /// `engines` empty: a set-up engine of the program.
  CPreferenceDlg(CTrillotApp& app, QWidget* parent = nullptr, EngineFactory engines = {});
  void OnInitDialog();
  /// Applies and writes the settings; stays open when the board port cannot be opened.
  void OnOK();
  /// "RS232C" enables Port and disables Device; "MIDI" the opposite.
  void OnSelchangeForm();

 private:
  CTrillotApp& m_app;
  EngineFactory m_engines;
};

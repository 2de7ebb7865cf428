// The application object's settings and accessors that every subsystem branches on.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "app/core/AccessLog.h"
#include "platform/host/HostServices.h"

/// Output profiles (fixed numbering used everywhere).
namespace output_profile {
inline constexpr int kDoCoMo = 1;
inline constexpr int kKORVAN = 2;  // the maker's own VELK profile, the one every start sets
inline constexpr int kVodafone = 3;
inline constexpr int kVELKPhrase = 4;
inline constexpr int kDeveloperVELK = 5;
inline constexpr int kMFiPhrase = 6;
inline constexpr int kDoCoMoDeveloper = 7;
inline constexpr int kKDDI = 8;
}  // namespace output_profile

class CTrillotApp : public platform::IAppSettings {
 public:
  CTrillotApp();

  int GetChipMode() const override { return m_chipMode; }
  /// Stores the mode and hands it to the main frame and its open windows; returns 1.
  int SetChipMode(int mode);
  int GetOutputProfile() const override { return m_outputProfile; }
  /// Set by the start-up (always 2); the other profiles stay reachable for their code paths.
  void SetOutputProfile(int profile);
  int GetMakerID() const override { return m_makerId; }
  void SetMakerID(int makerId) { m_makerId = makerId; }

  int GetInfoCodeType() const override { return m_infoCodeType; }
  /// Stores a changed code type for the output profile's "InfoWindow" key; 0 when the write failed.
  int SetInfoCodeType(int value);
  int GetInfoCodeTypeDoCoMo() const override { return m_infoCodeTypeDoCoMo; }
  /// Profiles 1 and 7 with maker id 2 only; 0 when the write failed.
  int SetInfoCodeTypeDoCoMo(int value);
  /// Clears both code types and reads the one the output profile and maker id select.
  void ReadInfoCodeTypes();

  int GetProfileOption() const override { return m_profileOption; }
  int GetBoardComPort() const { return m_boardComPort; }
  void SetBoardComPort(int port) { m_boardComPort = port; }

  int GetOriginPch() const override { return m_originPch; }
  int SetOriginPch(uint8_t value);
  int GetOriginNote() const override { return m_originNote; }
  int SetOriginNote(uint8_t value);
  /// Copies "Setting"/"OriginPch" and "OriginNote" (default 0) into the application.
  void ReadOriginSettings();

  std::string GetAppDir() const override { return m_appDir; }
  void SetAppDir(std::string dir) { m_appDir = std::move(dir); }
  /// The program folder followed by "Trillot.ini"; `path` is left unchanged without a folder.
  void GetIniPath(std::string& path) const;

  int SetOutputPath(const std::string& path);
  const std::string& GetOutputPath() const { return m_outputPath; }
  int HasOutputPath() const { return m_outputPath.empty() ? 0 : 1; }
  bool IsBatchMode() const override { return HasOutputPath() != 0; }

  int GetMasterVolume() const override { return m_masterVolume; }
  void SetMasterVolume(int value);
  int GetSpVolume() const { return m_spVolume; }
  void SetSpVolume(int value);
  int GetHpVolume() const override { return m_hpVolume; }
  void SetHpVolume(int value);
  int GetEqLevel() const { return m_eqLevel; }
  void SetEqLevel(int value);

  /// 1 when the chip mode (-1: the current one) is 5 and the output profile 2, 3, 5, 7 or 8.
  int IsKZ5OutputProfile(int chipMode) const override;
  /// In chip modes 3 and 5 the mode value of the device the output engine set up, else 0.
  int GetModeParameter(int chipMode, int which) const override;
  /// Where GetModeParameter reads from; the output engine installs it once it exists.
  void SetModeParameterReader(std::function<int()> reader) { m_modeParameter = std::move(reader); }

  /// String 6500 of the interface language: "US" 1, "JP" 2, "KR" 3, "CN" 4, else 0.
  int GetWebLanguage() const;

  AccessLog& GetAccessLog() { return m_accessLog; }
  const AccessLog& GetAccessLog() const { return m_accessLog; }

 private:
  std::string m_appDir;
  int m_outputProfile = output_profile::kKORVAN;
  int m_outputProfileCopy = output_profile::kKORVAN;
  int m_makerId = 1;
  int m_profileOption = 0;
  int m_infoCodeType = 0;
  int m_infoCodeTypeDoCoMo = 0;
  int m_chipMode = 1;
  int m_boardComPort = 0;
  std::string m_outputPath;
  uint8_t m_originPch = 0;
  uint8_t m_originNote = 0;
  int m_masterVolume = -1;
  int m_hpVolume = -1;
  int m_spVolume = -1;
  int m_eqLevel = -1;
  std::function<int()> m_modeParameter;
  AccessLog m_accessLog;
};

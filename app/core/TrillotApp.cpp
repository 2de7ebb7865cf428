// The application object's settings and accessors that every subsystem branches on.
#include "app/core/TrillotApp.h"

#include <algorithm>

#include "app/core/SettingKeys.h"
#include "platform/settings/IniDocument.h"
#include "platform/strings/StringTable.h"
#include "song/document/KZ1Doc.h"

namespace {

constexpr int kWebLanguageString = 6500;

bool IsKORVANFamily(int profile) {
  return profile == output_profile::kKORVAN || profile == output_profile::kVELKPhrase || profile == output_profile::kKDDI;
}

}  // namespace

CTrillotApp::CTrillotApp() {
  m_registry.voiceLibrary = &m_voiceLibrary;
  m_registry.midiThru = &m_midiThru;
  m_modeParameter = [this] {
    IOutputEngine* engine = Engine();
    return engine ? engine->GetDeviceModeValue() : 0;
  };
  m_songOpener = [](CKZ1Doc& document, const std::string& path, uint32_t channelMask, int kind) {
    return document.OpenWithChannelMask(path, static_cast<int>(channelMask), kind);
  };
}

CTrillotApp::~CTrillotApp() = default;

void CTrillotApp::SetDocument(std::unique_ptr<CKZ1Doc> document) {
  // The registry never points at a document being deleted.
  m_registry.document = nullptr;
  m_document = std::move(document);
  m_registry.document = m_document.get();
}

void CTrillotApp::ResetVolumes() {
  m_masterVolume = -1;
  m_hpVolume = -1;
  m_spVolume = -1;
  m_eqLevel = -1;
}

int CTrillotApp::SetChipMode(int mode) {
  m_chipMode = mode;
  platform::ui().ChipModeChanged(mode);
  return 1;
}

void CTrillotApp::SetOutputProfile(int profile) {
  m_outputProfile = profile;
  m_outputProfileCopy = profile;
}

int CTrillotApp::SetInfoCodeType(int value) {
  if (IsKORVANFamily(m_outputProfile)) {
    if (value != 0 && value != 1 && value != 2 && value != 35) value = 0;
    if (value == m_infoCodeType) return 1;
    m_infoCodeType = value;
    const ProfileIntKey& key =
        m_outputProfile == output_profile::kVELKPhrase ? profile_keys::kCodeTypeVELKPhrase : profile_keys::kCodeTypeKORVAN;
    return WriteProfileSetting(key, value) ? 1 : 0;
  }
  if (m_outputProfile == output_profile::kDeveloperVELK) {
    if (value == m_infoCodeType) return 1;
    m_infoCodeType = value;
    return WriteProfileSetting(profile_keys::kCodeTypeVELK, value) ? 1 : 0;
  }
  return 1;
}

int CTrillotApp::SetInfoCodeTypeDoCoMo(int value) {
  if (m_outputProfile != output_profile::kDoCoMo && m_outputProfile != output_profile::kDoCoMoDeveloper) return 1;
  if (value != 0 && value != 32 && value != 35) value = 0;
  if (m_makerId != 2 || value == m_infoCodeTypeDoCoMo) return 1;
  m_infoCodeTypeDoCoMo = value;
  return WriteProfileSetting(profile_keys::kCodeTypeDoCoMo, value) ? 1 : 0;
}

void CTrillotApp::ReadInfoCodeTypes() {
  m_infoCodeType = 0;
  m_infoCodeTypeDoCoMo = 0;
  switch (m_outputProfile) {
    case output_profile::kDoCoMo:
    case output_profile::kDoCoMoDeveloper:
      if (m_makerId == 2) m_infoCodeTypeDoCoMo = ReadProfileSetting(profile_keys::kCodeTypeDoCoMo);
      break;
    case output_profile::kKORVAN:
    case output_profile::kKDDI:
      m_infoCodeType = ReadProfileSetting(profile_keys::kCodeTypeKORVAN);
      break;
    case output_profile::kVELKPhrase:
      m_infoCodeType = ReadProfileSetting(profile_keys::kCodeTypeVELKPhrase);
      break;
    case output_profile::kDeveloperVELK:
      m_infoCodeType = ReadProfileSetting(profile_keys::kCodeTypeVELK);
      break;
    default:
      break;
  }
}

int CTrillotApp::SetOriginPch(uint8_t value) {
  m_originPch = value;
  return 1;
}

int CTrillotApp::SetOriginNote(uint8_t value) {
  m_originNote = value;
  return 1;
}

void CTrillotApp::ReadOriginSettings() {
  m_originPch = static_cast<uint8_t>(ReadProfileSetting(profile_keys::kOriginPch));
  m_originNote = static_cast<uint8_t>(ReadProfileSetting(profile_keys::kOriginNote));
}

void CTrillotApp::GetIniPath(std::string& path) const {
  if (m_appDir.empty()) return;
  path = m_appDir;
  if (path.back() != '/') path += '/';
  path += "Trillot.ini";
}

int CTrillotApp::SetOutputPath(const std::string& path) {
  m_outputPath = path;
  return 1;
}

void CTrillotApp::SetMasterVolume(int value) { m_masterVolume = std::clamp(value, 0, 127); }
void CTrillotApp::SetSpVolume(int value) { m_spVolume = std::clamp(value, 0, 31); }
void CTrillotApp::SetHpVolume(int value) { m_hpVolume = std::clamp(value, 0, 31); }
void CTrillotApp::SetEqLevel(int value) { m_eqLevel = std::clamp(value, 0, 31); }
void CTrillotApp::SetEditorMasterVolume(int value) { m_startValues[0] = std::clamp(value, 0, 127); }
void CTrillotApp::SetEditorVelocity(int value) { m_startValues[1] = std::clamp(value, 0, 127); }
void CTrillotApp::SetEditorGateTime(int value) { m_startValues[2] = std::clamp(value, 0, 100); }

int CTrillotApp::IsKZ5OutputProfile(int chipMode) const {
  if (chipMode == -1) chipMode = m_chipMode;
  if (chipMode != 5) return 0;
  switch (m_outputProfile) {
    case output_profile::kKORVAN:
    case output_profile::kVodafone:
    case output_profile::kDeveloperVELK:
    case output_profile::kDoCoMoDeveloper:
    case output_profile::kKDDI:
      return 1;
    default:
      return 0;
  }
}

int CTrillotApp::GetModeParameter(int chipMode, int /*which*/) const {
  if (chipMode != 3 && chipMode != 5) return 0;
  return m_modeParameter ? m_modeParameter() : 0;
}

int CTrillotApp::GetWebLanguage() const {
  std::string_view code = platform::strings().Find(kWebLanguageString).value_or("");
  const char* const codes[] = {"US", "JP", "KR", "CN"};
  for (int i = 0; i < 4; ++i) {
    if (platform::EqualsNoCase(code, codes[i])) return i + 1;
  }
  return 0;
}

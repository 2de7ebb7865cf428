// Loads a converter plug-in by kind for one operation and calls its entry points.
#include "app/core/ConverterDll.h"

#include <iterator>
#include <memory>

#include "platform/dynlib/LibraryLocator.h"
#include "platform/host/HostServices.h"
#include "platform/strings/StringTable.h"
#include "platform/text/Format.h"

namespace {

constexpr int kCheckerKind = 19;
constexpr int kBusyConverting = 0;

constexpr const char* kDllNames[] = {
    "Midigate1.DLL",      "Velkgate1.DLL",        "Basegate1.DLL",         "Imelgate1.DLL",
    "Midigate2.DLL",      "Velkgate2.DLL",        "Imelgate2.DLL",         "Midigate.DLL",
    "Velkgate.DLL",       "Hardgate.DLL",         "Imelgate.DLL",          "Imelgate_N.DLL",
    "Imelgate_F.DLL",     "Imelgate_S.DLL",       "Imelphrasegate.DLL",    "Imelphrasegate_N.DLL",
    "Imelphrasegate_SO.DLL", "Phrasegate.DLL",    "Velkgate3.DLL",         "Polyscan.DLL",
};

}  // namespace

std::string CConverterDll::DllName(int kind, int chipMode) {
  if (kind < 0 || kind >= static_cast<int>(std::size(kDllNames))) return {};
  if (kind == kCheckerKind && chipMode == 5) return "Polyscan5.dll";
  return kDllNames[kind];
}

std::string CConverterDll::DllName(int kind) { return DllName(kind, platform::settings().GetChipMode()); }

std::string CConverterDll::EntryName(int direction) {
  switch (direction) {
    case 0: return "CnvFrom";
    case 1: return "CnvTo";
    default: return {};
  }
}

bool CConverterDll::Load(const std::string& dllName) {
  m_library.Close();
  m_loadError.clear();
  std::string path = platform::LocateLibrary(dllName, platform::settings().GetAppDir());
  if (path.empty()) return false;
  if (m_library.Open(path)) return true;
  m_loadError = m_library.LastError();
  return false;
}

uint32_t CConverterDll::Convert(CnvParam* param, uint32_t /*paramSize*/, int kind, int direction) {
  m_threw = false;
  std::string dll = DllName(kind);
  std::string entryName = EntryName(direction);
  if (dll.empty() || entryName.empty() || !param) return 0;
  if (!Load(dll)) {
    NoteUnusable(dll, m_loadError);
    return 0;
  }
  auto entry = m_library.Function<CnvEntryFunc>(entryName.c_str());
  if (!entry) {
    NoteUnusable(dll, "it has no " + entryName);
    return 0;
  }
  std::unique_ptr<platform::IUiToken> busy = platform::ui().ShowBusyPicture(kBusyConverting);
  // Plug-ins take the record size of this build, whatever the caller passed (20 on the old target).
  try {
    return entry(param, kCnvParamSize);
  } catch (...) {
    m_threw = true;
    return 0;
  }
}

void CConverterDll::NoteUnusable(const std::string& dllName, const std::string& reason) const {
  const std::string file = platform::SharedObjectName(dllName);
  const std::string why = reason.empty() ? "it is not in " + platform::settings().GetAppDir() : reason;
  const auto text = platform::strings().Find("batch.pluginMissing");
  platform::messages().NoteForBatch(
      platform::Format(text ? *text : std::string_view("The plug-in %s can not be loaded: %s."), file, why));
}

int CConverterDll::IsAvailable(int kind, int direction) {
  std::string dll = DllName(kind);
  if (dll.empty() || !Load(dll)) return 0;
  std::string entryName = EntryName(direction);
  return !entryName.empty() && m_library.Symbol(entryName.c_str()) ? 1 : 0;
}

uint32_t CConverterDll::GetVersion(int kind) {
  std::string dll = DllName(kind);
  if (dll.empty() || !Load(dll)) return 0;
  auto version = m_library.Function<GetKZxVersionFunc>("GetKZxVersion");
  if (!version) return 0;
  try {
    return version();
  } catch (...) {
    return 0;
  }
}

int CConverterDll::GetVersionText(int kind, std::string& text) {
  uint32_t v = GetVersion(kind) & 0xFFFFu;
  text = v == 0 ? std::string() : platform::Format("%d.%d.%d", (v >> 12) & 0xF, (v >> 8) & 0xF, (v >> 4) & 0xF);
  return 1;
}

uint32_t CConverterDll::GetReport(uint32_t* report, int /*unused*/, int kind) {
  if (DllName(kind).empty() || !m_library.IsOpen() || !report) return CNVERR_FAILED;
  auto entry = m_library.Function<GetKZxCnvReportFunc>("GetKZxCnvReport");
  if (!entry) return CNVERR_FAILED;
  try {
    return entry(report, sizeof(uint32_t));
  } catch (...) {
    return CNVERR_FAILED;
  }
}

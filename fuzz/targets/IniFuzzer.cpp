// INI texts: the profile store's document (parsed, written and parsed again) and "Trillot.ini"
// with the start-up values read from it.
#include <string_view>

#include "app/core/SettingKeys.h"
#include "fuzz/FuzzInput.h"
#include "platform/settings/IniDocument.h"
#include "platform/settings/IniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (fuzz::TooLong(size)) return 0;
  std::string_view text(reinterpret_cast<const char*>(data), size);
  platform::IniDocument::Parsed parsed = platform::IniDocument::Parse(text);
  parsed.document.Find("Setting", "KZMode");
  parsed.document.Set("Setting", "OutputType", "1");
  // What the store writes reads back into the same document.
  std::string written = parsed.document.Serialize();
  platform::IniDocument::Parsed again = platform::IniDocument::Parse(written);
  if (again.document.Serialize() != written) __builtin_trap();

  platform::IniFile ini = platform::IniFile::FromText(text);
  ReadIniChipMode(ini);
  ReadIniMakerID(ini);
  return 0;
}

// Loads a converter plug-in by kind for one operation and calls its entry points.
#pragma once

#include <cstdint>
#include <string>

#include "app/CnvParam.h"
#include "platform/dynlib/DynamicLibrary.h"

/// Always a local of the operation that needs a plug-in: the library it loads stays held
/// until the next load or its destruction, never longer than that operation.
class CConverterDll {
 public:
  CConverterDll() = default;
  virtual ~CConverterDll() = default;
  CConverterDll(const CConverterDll&) = delete;
  CConverterDll& operator=(const CConverterDll&) = delete;

  /// The plug-in file name of a kind 0..19 ("Velkgate.DLL"); kind 19 names the chip-mode-5
  /// checker in chip mode 5. Empty for any other kind.
  static std::string DllName(int kind, int chipMode);
  /// DllName in the installed chip mode.
  static std::string DllName(int kind);
  /// "CnvFrom" for direction 0 (into song data), "CnvTo" for 1, empty otherwise.
  static std::string EntryName(int direction);

  /// Frees the held library, loads the kind's and calls the direction's entry with the record
  /// while the busy picture shows. The plug-in's result, or 0 when it could not be called or
  /// threw. An unnamed kind returns 0 and leaves the held library alone.
  uint32_t Convert(CnvParam* param, uint32_t paramSize, int kind, int direction);
  /// True when the plug-in threw in the last Convert.
  bool Threw() const { return m_threw; }
  /// 1 when the kind's library loads and exports the direction's entry, else 0.
  int IsAvailable(int kind, int direction);
  /// GetKZxVersion of the kind's library, or 0.
  uint32_t GetVersion(int kind);
  /// "%d.%d.%d" of the version's top three nibbles, or empty for version 0; always 1.
  int GetVersionText(int kind, std::string& text);
  /// GetKZxCnvReport of the library an earlier Convert of this object loaded; 0x80000000 when
  /// there is none, it lacks the export or it threw.
  uint32_t GetReport(uint32_t* report, int unused, int kind);

 private:
  bool Load(const std::string& dllName);
  /// The batch line naming a plug-in that could not be called, and why.
  void NoteUnusable(const std::string& dllName, const std::string& reason) const;

  platform::DynamicLibrary m_library;
  bool m_threw = false;
  std::string m_loadError;  // why the last library found could not be opened
};

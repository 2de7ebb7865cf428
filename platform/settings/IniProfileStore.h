// The per-user settings profile, kept as an INI file of our own.
#pragma once

#include <mutex>
#include <string>

#include "platform/host/HostServices.h"
#include "platform/settings/IniDocument.h"

namespace platform {

/// Integers and strings by section and key. The whole file is read once and cached; a write
/// goes to disk at once through a temporary file renamed over it, or, while writes are
/// deferred, with the next Flush (at the latest when the store closes). Safe to use from worker
/// threads.
class IniProfileStore final : public IProfile {
 public:
  /// Opens the store at `path`. A missing file is an empty store. A file that cannot be read
  /// or is not one of ours reads as empty and is never overwritten: writes then stay in memory
  /// for the run and report failure.
  explicit IniProfileStore(std::string path);
  /// Writes what is still held in memory.
  ~IniProfileStore() override;
  IniProfileStore(const IniProfileStore&) = delete;
  IniProfileStore& operator=(const IniProfileStore&) = delete;

  /// TRILLOT_PROFILE when set, else $XDG_CONFIG_HOME/KORVAN/Trillot.conf, else
  /// $HOME/.config/KORVAN/Trillot.conf.
  static std::string DefaultPath();

  const std::string& Path() const { return m_path; }
  /// False when the file on disk was unreadable or malformed and is left alone.
  bool IsWritable() const { return m_writable; }

  /// A stored value that is not a decimal integer reads as the default; others wrap to 32 bits.
  int GetProfileInt(const std::string& section, const std::string& key, int def) const override;
  std::string GetProfileString(const std::string& section, const std::string& key,
                               const std::string& def) const override;
  /// False when the value did not reach the disk (it is still kept for the run) or a name
  /// cannot be stored; while deferred, false only when the file is one that is never written.
  bool WriteProfileInt(const std::string& section, const std::string& key, int value) override;
  bool WriteProfileString(const std::string& section, const std::string& key,
                          const std::string& value) override;
  bool DeleteSection(const std::string& section) override;
  /// Writes the file once when a value changed since it was last written.
  bool Flush() override;
  /// While on, writes stay in memory until Flush: a run of many writes costs one file write.
  /// Turning it off flushes.
  void SetDeferred(bool deferred);

  /// How a value is written after the '=' and read back.
  static std::string EncodeValue(const std::string& value);
  static std::string DecodeValue(const std::string& stored);

 private:
  void Load();
  bool Save();
  /// After a change, with the mutex held: saves now, or later when deferred.
  bool Changed();

  std::string m_path;
  bool m_writable = true;
  bool m_deferred = false;
  bool m_dirty = false;
  mutable std::mutex m_mutex;
  IniDocument m_document;
};

}  // namespace platform

// Test helpers: a program folder of the build's files for one case, and running the program in it.
#pragma once

#include "TestPaths.h"
#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace startuptest {

namespace fs = std::filesystem;

/// A fresh folder with the program's data files, a profile and a runtime folder of its own.
class ProgramFolder {
 public:
  ProgramFolder() {
    char pattern[] = "/tmp/trillot-start-XXXXXX";
    m_root = ::mkdtemp(pattern);
    fs::create_directories(AppDir());
    fs::create_directories(RuntimeDir());
    for (const char* name : {"Trillot.ini", "kz3qelemu.so", "DefKZ3_16.vk3", "DefKZ3_32.vk3", "DefKZ3P_16.vk3",
                             "DefKZ3P_32.vk3", "DefaultVoice.dat", "DefKZ2FM.vkz", "Midigate.so", "Velkgate.so"}) {
      fs::copy_file(fs::path(TRILLOT_BIN_DIR) / name, fs::path(AppDir()) / name);
    }
  }
  ~ProgramFolder() {
    std::error_code ec;
    fs::remove_all(m_root, ec);
  }

  std::string AppDir() const { return m_root + "/app/"; }
  std::string RuntimeDir() const { return m_root + "/run"; }
  std::string ProfilePath() const { return m_root + "/profile.conf"; }
  std::string RecordPath() const { return m_root + "/emu-calls.txt"; }

  void Remove(const char* name) { fs::remove(fs::path(AppDir()) / name); }
  void Replace(const char* name, const std::string& from) {
    fs::copy_file(from, fs::path(AppDir()) / name, fs::copy_options::overwrite_existing);
  }
  void WriteIni(const std::string& text) { std::ofstream(AppDir() + "Trillot.ini") << text; }
  void WriteProfile(const std::string& text) { std::ofstream(ProfilePath()) << text; }
  std::string ReadProfile() const { return ReadFile(ProfilePath()); }
  std::string ReadRecord() const { return ReadFile(RecordPath()); }

  std::string ReportPath() const { return m_root + "/ui-report.txt"; }
  std::string ReadReport() const { return ReadFile(ReportPath()); }

  /// The environment of a run in this folder, on top of the test's own: the offscreen platform
  /// and the window report, so that a run without an output name ends after its report.
  std::map<std::string, std::string> Environment() const {
    std::map<std::string, std::string> env = {{"TRILLOT_APP_DIR", AppDir()},
                                              {"TRILLOT_PROFILE", ProfilePath()},
                                              {"TRILLOT_RUNTIME_DIR", RuntimeDir()},
                                              {"TRILLOT_EMU_RECORD", RecordPath()},
                                              {"TRILLOT_LANG", "en"},
                                              // The same on every machine: no MIDI system.
                                              {"TRILLOT_MIDI_API", "none"},
                                              {"QT_QPA_PLATFORM", "offscreen"},
                                              {"TRILLOT_UI_REPORT", ReportPath()}};
    for (const auto& [k, v] : m_extraEnv) env[k] = v;
    return env;
  }
  /// A further variable of the runs, or one they go without (an empty value).
  void SetEnv(const std::string& name, const std::string& value) { m_extraEnv[name] = value; }

  static std::string ReadFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

 private:
  std::string m_root;
  std::map<std::string, std::string> m_extraEnv;
};

/// How long one run of the program may take before it counts as hung.
constexpr int kRunLimitMs = 120 * 1000;

struct RunResult {
  int status = -1;
  std::string err;
};

/// Runs the built program with the arguments in the folder's environment; `prefix` runs it
/// through another program ("setpriv", its options).
inline RunResult RunProgram(const ProgramFolder& folder, const std::vector<std::string>& args,
                            const std::vector<std::string>& prefix = {}) {
  std::map<std::string, std::string> env;
  for (char** e = environ; *e; ++e) {
    std::string entry = *e;
    size_t eq = entry.find('=');
    if (eq != std::string::npos) env[entry.substr(0, eq)] = entry.substr(eq + 1);
  }
  for (const auto& [k, v] : folder.Environment()) env[k] = v;
  env.erase("DISPLAY");
  env.erase("WAYLAND_DISPLAY");
  for (auto it = env.begin(); it != env.end();) it = it->second.empty() ? env.erase(it) : std::next(it);
  std::vector<std::string> envText;
  for (const auto& [k, v] : env) envText.push_back(k + "=" + v);
  std::vector<char*> envp;
  for (std::string& s : envText) envp.push_back(s.data());
  envp.push_back(nullptr);

  std::string exe = std::string(TRILLOT_BIN_DIR) + "/Trillot";
  std::vector<std::string> argText = prefix;
  argText.push_back(exe);
  argText.insert(argText.end(), args.begin(), args.end());
  if (!prefix.empty()) exe = prefix[0];
  std::vector<char*> argv;
  for (std::string& s : argText) argv.push_back(s.data());
  argv.push_back(nullptr);

  std::string errPath = folder.RecordPath() + ".stderr";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = 0;
  RunResult result;
  if (posix_spawnp(&pid, exe.c_str(), &actions, nullptr, argv.data(), envp.data()) == 0) {
    // A run that hangs (a read that waits for ever) is ended and reported as status -1.
    int wstatus = 0;
    for (int waited = 0; ::waitpid(pid, &wstatus, WNOHANG) == 0; waited += 10) {
      if (waited >= kRunLimitMs) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &wstatus, 0);
        break;
      }
      ::usleep(10 * 1000);
    }
    if (WIFEXITED(wstatus)) result.status = WEXITSTATUS(wstatus);
  }
  posix_spawn_file_actions_destroy(&actions);
  result.err = ProgramFolder::ReadFile(errPath);
  return result;
}

}  // namespace startuptest

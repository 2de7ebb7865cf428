// The stream-PCM assignment map's commands without a window: New and Delete of a row's wave,
// the imports of a StreamPCM file (current and version 1.1.1 layouts) and the export.
#pragma once

#include <string>

class CKZ1Doc;
class CStreamPCMSlot;
class IFileChooser;
class IOutputEngine;
class IVoiceWindowShell;
struct FileRequest;
struct FileAnswer;

/// What the commands reach. A missing engine sends nothing; a missing chooser cancels every
/// dialog; a missing shell refreshes through the host services.
struct AamCommandContext {
  CKZ1Doc* doc = nullptr;
  IOutputEngine* engine = nullptr;
  IFileChooser* chooser = nullptr;
  IVoiceWindowShell* shell = nullptr;
  /// The application's StreamPcmMapChanged: set by Delete, cleared by import and export.
  bool* mapChanged = nullptr;
  int chipMode = 3;
  int outputProfile = 2;
  int rowCount = 49;
  /// Where the sound-file dialog starts.
  std::string soundFolder;
};

class CAamCommands {
 public:
  explicit CAamCommands(AamCommandContext context) : m_context(std::move(context)) {}

  /// Imports a sound file into an empty row (two rows for a stereo file in chip mode 3);
  /// 1 when the row got its wave.
  int New(int row);
  /// Deletes the row's wave (with its stereo partner in chip mode 3); 1 when there was one.
  int Delete(int row);
  /// Replaces every row by the StreamPCM file's waves; 1 when the file was read.
  int Import(bool olderVersion);
  /// Writes every row's wave into a StreamPCM file; 1 when it was written.
  int Export();

 private:
  bool Choose(const FileRequest& request, FileAnswer& answer) const;
  /// The wave of the id is dropped on the board and cleared; in chip mode 3 its partner too,
  /// with the pairing events of the two. The older import only drops and clears.
  void RemoveWave(int id, bool dropOnly);
  void RemovePairEvents(int a, int b);
  /// The document is marked modified, its wave list rebuilt and the voice windows refreshed.
  void FinishChange();
  void RefreshVoiceWindows();
  void SetMapChanged(bool changed);
  bool AnyWave() const;
  bool IsFileMode() const { return m_context.chipMode == 3 || m_context.chipMode == 5; }

  AamCommandContext m_context;
};

// The application object's settings and accessors that every subsystem branches on.
#pragma once

#include <array>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/core/AccessLog.h"
#include "app/core/FileChooser.h"
#include "app/core/MainFrame.h"
#include "device/BoardLink.h"
#include "device/MidiThru.h"
#include "platform/host/HostServices.h"
#include "platform/sys/SingleInstanceLock.h"
#include "song/VoiceLibrary.h"

class CKZ1Doc;

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
  /// How the start-up ended.
  enum class StartResult {
    Running,         // the message loop runs
    Ended,           // failure: no message loop
    EndedSilently,   // success without a main window: the program ends at once
    AlreadyRunning,  // another instance holds the guard
    BatchEnded       // a run with an output name went to its end
  };

  CTrillotApp();
  ~CTrillotApp() override;

  /// The start chain over the arguments after the program name.
  StartResult InitInstance(const std::vector<std::string>& args);
  /// Run after every InitInstance: deletes the board link and the song document and releases
  /// the single-instance guard; 0.
  int ExitInstance();

  CVoiceLibrary& GetVoiceLibrary() { return m_voiceLibrary; }
  /// Where core code finds the voice library and the current song.
  platform::DocumentRegistry& GetRegistry() { return m_registry; }
  /// The one song document; null when no song is open.
  CKZ1Doc* GetDocument() const { return m_document.get(); }
  /// Takes the document (null deletes the current one) and tells the registry.
  void SetDocument(std::unique_ptr<CKZ1Doc> document);
  /// Opens a song file into a document: 1 on success. The document's own open by channel mask
  /// unless a test puts another in.
  using SongOpener = std::function<int(CKZ1Doc& document, const std::string& path, uint32_t channelMask, int kind)>;
  void SetSongOpener(SongOpener opener) { m_songOpener = std::move(opener); }
  /// The program's one MIDI thru; the output engine borrows its output.
  CMidiThru& GetMidiThru() { return m_midiThru; }
  /// The show command of the main window: hidden (0) with an output name, else normal (1).
  int GetShowCommand() const { return m_showCommand; }
  bool IsSplashEnabled() const { return m_splashEnabled; }
  /// Forces "Setting"/"OutputFormat" to the output profile's format; false for a profile
  /// outside 1..8.
  bool ForceOutputFormat();
  /// The song named on the command line; empty for none.
  const std::string& GetCommandLineFile() const { return m_commandLineFile; }
  /// The three start values (100, 64, 30 once started).
  int GetStartValue(int index) const { return m_startValues[index]; }
  uint32_t GetReserved() const { return m_reserved; }
  /// The voice editor's master volume, velocity and gate time (tenths of a second), kept for
  /// the run; the start values. The setters clamp to 0..127, 0..127 and 0..100.
  int GetEditorMasterVolume() const { return m_startValues[0]; }
  int GetEditorVelocity() const { return m_startValues[1]; }
  int GetEditorGateTime() const { return m_startValues[2]; }
  void SetEditorMasterVolume(int value);
  void SetEditorVelocity(int value);
  void SetEditorGateTime(int value);

  // Help commands (TrillotAppHelp.cpp).
  /// Shows the About box through its hook, then refreshes the status panes.
  void OnAppAbout();
  void OnWebJapanese();
  void OnWebGlobal();
  void OnWebKorean();
  void OnWebChinese();
  /// About and the voice-file commands: enabled while nothing plays.
  bool OnUpdateByMode() const;
  /// The window side of the About box and of opening a web address.
  void SetAboutBox(std::function<void()> show) { m_aboutBox = std::move(show); }
  void SetUrlOpener(std::function<void(const std::string&)> open) { m_urlOpener = std::move(open); }

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
  /// Stores the four volumes as they are, -1 included (the setters would clamp it).
  void ResetVolumes();

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

  // --- Board connection and sound-device set-up ----------------------------------------------

  /// Opens the serial board on a COM port (0: closes it); 1 on success, 0 on failure, which
  /// leaves no link.
  int OpenBoardPort(int port);
  /// With a link whose test fails: message 7081 and the process ends (1 in batch conversion,
  /// else 2). Else 1.
  int CheckBoardLink();
  /// Selects the output engine's connection for the chip mode; the engine's result or 0.
  int SetHardwareMode(int chipMode);
  /// 1 when the board fits the chip mode; a failure with `showFlag` 1 shows the collected text.
  int CheckBoardForChipMode(int chipMode, int showFlag);
  int CheckBoardKZ3(std::string& text);
  /// No generation-5 board is supported: always 0, no text.
  int CheckBoardKZ5(std::string& text);
  /// Sends the generation-3 mode settings, the profile parameters and the blink settings.
  void ApplyStreamPcmReserve();
  void ApplyBlinkSettings();
  void GetProfileParams(uint8_t& a, uint8_t& b, uint8_t& c, uint8_t& d) const;
  /// Sends the profile parameters unless the profile has none.
  void GetProfileParam();
  /// The Reset command (confirm 1 asks first); the song's change result, or 0.
  int SendNativeReset(int confirm);

  // Board-link wrappers: the low byte of the link's answer, or 0 without a link (and, for the
  // first three, without the song's data on the board).
  int StartBoardPlayback();
  int ResetBoardLink();
  int RewindBoardPlayback();
  int SendBoardSetup(int a, const uint8_t p[8], int c, int d);
  int BoardHandshake(char answer[2]);
  int QueryBoardStatus(uint32_t* result);
  int TestBoardLink();

  bool HasBoardLink() const { return m_boardLink != nullptr; }
  CBoardLink* GetBoardLink() const { return m_boardLink.get(); }
  void SetBoardLinkFactory(BoardLinkFactory factory) { m_boardLinkFactory = std::move(factory); }
  int GetBoardReplyValue() const { return m_boardReplyValue; }
  uint32_t GetBoardFlag() const { return m_boardFlag; }
  void SetBoardFlag(uint32_t flag) { m_boardFlag = flag; }
  bool IsSongOnBoard() const { return m_songOnBoard; }
  void SetSongOnBoard(bool onBoard) { m_songOnBoard = onBoard; }
  uint32_t GetBoardPlaybackState() const { return m_boardPlaybackState; }
  void SetBoardPlaybackState(uint32_t state) { m_boardPlaybackState = state; }
  int GetBoardQueryParam() const { return m_boardQueryParam; }
  void SetBoardQueryParam(int value) { m_boardQueryParam = value; }

  /// The main frame once step 9 created it; null before and after.
  IMainFrame* GetMainFrame() const { return m_mainFrame.get(); }
  /// Creates the main frame object through the factory (a headless one by default).
  void CreateMainFrame();
  /// Destroys the main window and the frame with it.
  void DestroyMainFrame();
  void SetMainFrameFactory(MainFrameFactory factory) { m_mainFrameFactory = std::move(factory); }
  /// How a fatal board failure ends the process (tests replace std::exit).
  void SetProcessExit(std::function<void(int)> exitProcess) { m_exitProcess = std::move(exitProcess); }
  /// Ends the process with `code` the way SetProcessExit says (std::exit by default).
  void ExitProcess(int code) {
    if (m_exitProcess) {
      m_exitProcess(code);
    } else {
      std::exit(code);
    }
  }
  /// Asks to close the song (QueryCloseSong), then to save a modified voice library (7096,
  /// Yes runs Voice Save); 0 when the user cancelled, so the program stays open.
  int SaveAllModified();
  /// The song-close question of the file commands; without one, a modified song asks 7091
  /// (Yes runs Save, Cancel keeps the program open).
  using QueryCloseSongFn = std::function<int()>;
  void SetQueryCloseSong(QueryCloseSongFn query) { m_queryCloseSong = std::move(query); }

  // --- File commands (TrillotAppFile.cpp) -------------------------------------------------------

  /// Where the File commands ask for files; with none every dialog counts as cancelled.
  void SetFileChooser(IFileChooser* chooser) { m_fileChooser = chooser; }
  IFileChooser* GetFileChooser() const { return m_fileChooser; }
  /// The stream-PCM map's "map changed" value: set by its Delete, cleared by its import and
  /// export, and read by its import.
  bool& StreamPcmMapChanged() { return m_streamPcmMapChanged; }
  /// Stops playback and closes the song, asking 7091 first when a modified song would be lost;
  /// 0 when the user kept it, else 1.
  int QueryCloseSong();
  /// Asks 7091 about a modified song and saves on Yes; true when the song must stay open (Cancel,
  /// or a save that was cancelled or failed).
  bool KeepSongAfterQuestion(CKZ1Doc& doc);
  /// Chip modes 1 and 2: a new song "untitled" with time base 4000.
  void OnFileNew();
  void OnFileOpen();
  void OnFileImportSMF();
  void OnFileSave();
  void OnFileSaveAs();
  void OnFileExportSMF();
  /// The last step of every save: the song stores itself to the path and is no longer
  /// modified; 1, or 0 when there is no song or the save failed.
  int SaveDocument(const std::string& path);

  // --- Shell dialogs (ShellDialogCommands.cpp) -------------------------------------------------

  /// The window side of the shell's modal dialogs; each answers 1 on OK, 0 otherwise.
  struct ShellDialogs {
    /// The chip mode's Preference dialog; throws when default voices cannot be loaded again.
    std::function<int()> preference;
    std::function<int()> polyscan;
    /// Edit Information: the MFi dialog (true) or the VELK one.
    std::function<int(bool mfi)> information;
  };
  void SetShellDialogs(ShellDialogs dialogs) { m_shellDialogs = std::move(dialogs); }
  /// Runs the Preference dialog of the chip mode: 1 on OK, 0 on Cancel or without a window
  /// side. Exceptions out of the dialog pass to the caller (the Preference command).
  int RunPreferenceDialog();
  /// Runs the voice-allocation check dialog; 0 without a window side.
  int RunPolyscanDialog();
  /// Runs the contents-information dialog of the output profile (MFi for 1, 6 and 7).
  int RunInformationDialog();
  // --- KZ-1 import, export and board transfer (TrillotAppKZ1.cpp) ------------------------------

  /// Import from KZ-1: the close question, the KZ-1 load dialog (its value is the song's KZ-1
  /// divisor), then the file read into a new song.
  void OnFileImportKZ1();
  /// Import from KZ-1 and Export to KZ-1 are enabled in chip mode 1 only.
  bool OnUpdateFileImportKZ1() const;
  void OnFileExportKZ1();
  bool OnUpdateFileExportKZ1() const;
  /// Export to KZ-1: the song's KZ-1 data written to the command line's output name (batch
  /// conversion) or to the file the save dialog gives; 1 when a file was written.
  int ExportKZ1();
  /// Converts the song and sends it to the serial board (Play in chip mode 1); the low byte
  /// of the board's answer, 0 without a link or when nothing was sent.
  int SendSongToBoardKZ1();
  // --- Voice-bank and option commands (TrillotAppVoice.cpp, TrillotAppOption.cpp) ------------
  void OnVoiceOpen();
  /// Saves the voice file of the chip mode (nothing in chip mode 5), then refreshes the panes.
  void OnVoiceSave();
  void OnVoiceConvertList();
  /// Import Voice List: the save question, the bank-import dialog, then the chosen banks.
  void OnVoiceImportList();
  /// Import Voice List's work once its dialog answered: the chosen banks of a ".vkz" file.
  void ImportVoiceList(const std::string& path, const std::array<bool, 20>& chosen);
  /// Writes the voice file of the chip mode whole; false when nothing was written.
  bool SaveVoiceFile(const std::string& path);
  /// Reset: the native reset after its question.
  void OnOptionReset();
  /// "Polyscan...": enabled when the checker plug-in has its "CnvTo" entry.
  bool OnUpdateOptionVoiceCheck() const;
  /// The native-format items (32774, 32779) are never enabled.
  static bool OnUpdateNativeFormat() { return false; }
  /// Opens a song file into the document with the song opener (a drop on the main window).
  int OpenSongFile(CKZ1Doc& document, const std::string& path, uint32_t channelMask, int kind) {
    return m_songOpener ? m_songOpener(document, path, channelMask, kind) : 0;
  }

 private:
  ShellDialogs m_shellDialogs;

  IOutputEngine* Engine() const;
  // File commands.
  void RefreshAfterFileCommand(bool all);
  bool ChooseFile(const FileRequest& request, FileAnswer& answer);
  int OpenSongInto(const std::string& path, const std::function<int(CKZ1Doc&)>& load, int logId,
                   int failMessage);
  void SaveAsKZ12(const std::string& comment);
  bool CheckConvertedSizeKZ1(int& size);
  void WriteExport(const std::vector<uint8_t>& bytes);
  IFileChooser* m_fileChooser = nullptr;
  bool m_streamPcmMapChanged = false;
  /// Ends the process after message 7081: 1 in batch conversion (nothing written), else 2.
  void EndAfterBrokenLink();
  bool HasSongOpen() const;
  // Voice-bank commands.
  void AskToSaveVoicesFirst();
  void OpenVoiceTableFile();
  void OpenVoiceBankFile();
  /// Sets the song's change bits 0 and 1: the board must be sent everything again.
  void MarkSongForBoard();
  /// Adds change mark 2 so that the next Play converts the song again; its result, or 0.
  int MarkSongForConversion();

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

  std::unique_ptr<CBoardLink> m_boardLink;
  BoardLinkFactory m_boardLinkFactory = SerialBoardLinkFactory();
  uint32_t m_boardFlag = 0;
  int m_boardReplyValue = 0;
  bool m_songOnBoard = false;
  uint32_t m_boardPlaybackState = 0;
  int m_boardQueryParam = 0;
  MainFrameFactory m_mainFrameFactory;
  std::unique_ptr<IMainFrame> m_mainFrame;
  std::function<void(int)> m_exitProcess;
  QueryCloseSongFn m_queryCloseSong;

  CVoiceLibrary m_voiceLibrary;
  std::unique_ptr<CKZ1Doc> m_document;
  platform::DocumentRegistry m_registry;
  SongOpener m_songOpener;
  CMidiThru m_midiThru;
  std::unique_ptr<platform::SingleInstanceLock> m_instanceLock;
  std::string m_commandLineFile;
  int m_showCommand = 1;
  bool m_splashEnabled = true;
  uint32_t m_reserved = 0;
  int m_startValues[3] = {0, 0, 0};
  std::function<void()> m_aboutBox;
  std::function<void(const std::string&)> m_urlOpener;

  // Start-up steps that can end it (TrillotAppStartup.cpp).
  void ReportLockFailure(const platform::SingleInstanceLock& lock);
  StartResult ReadProgramSettings();
  bool SetUpMainFrame();
  bool SetUpSoundAndBoard();
  void StartMidiThru();
  void ApplyStartValues();
  void ReopenVoiceLists();
  bool OpenCommandLineSong();
  StartResult EndBatchRun();

  // --- File commands of chip modes 3 and 5, their update rules and batch conversion
  //     (TrillotAppFile.cpp, TrillotAppFileSave.cpp, TrillotAppStartup.cpp) -----------------
 public:
  void OnFileImportNative();
  /// Imports the song's own SMF again; a failed import closes the song without asking.
  void OnFileReloadSMF();
  void OnFileClose();
  void OnFileExportHardware();
  void OnFileExportNative();
  /// Plays a song file on the board without loading it.
  void OnFileDirectPlay();
  bool OnUpdateFileOpen() const;
  bool OnUpdateFileImportSMF() const;
  bool OnUpdateFileReloadSMF() const;
  bool OnUpdateFileSave() const;
  bool OnUpdateFileSaveAs() const;
  bool OnUpdateFileExportSMF() const;
  bool OnUpdateFileExportHardware() const;
  bool OnUpdateFileDirectPlay() const;
  /// The File commands by id, for the window's command route.
  bool IsFileCommand(int id) const;
  /// Runs the File command; false for an id that is not one.
  bool RunFileCommand(int id);
  /// Its update rule: enabled or not; false for an id that is not one.
  bool IsFileCommandEnabled(int id) const;
  /// True once a save or export wrote its file in this run (batch conversion ends with 0).
  bool HasWrittenOutput() const { return m_outputWritten; }
  /// True when a batch run ended because the song of the command line could not be opened.
  bool HasBatchOpenFailed() const { return m_batchOpenFailed; }

 private:
  /// Step 29: the command that the output name's ending picks.
  void RunBatchConversion();
  void OpenSongKZ35();
  void ImportSmfKZ35();
  void SaveKZ35();
  void SaveAsKZ35();
  void ExportSmfKZ35();
  /// Writes an export's bytes to the output name, else to the file a save dialog gives; the
  /// log line on success. False when nothing was written.
  struct ExportTarget {
    int extension;  // string id
    int filter;     // string id
    bool titleLimit;
    int logId;      // 0: none
  };
  bool WriteExportFile(const std::vector<uint8_t>& bytes, const ExportTarget& target);
  /// 7030 for the MFi profiles, else 7031.
  int ExportFailedMessage() const;
  void CloseSongState();
  bool m_outputWritten = false;
  bool m_batchOpenFailed = false;

  // --- Region edit commands (TrillotAppEdit.cpp) --------------------------------------------
 public:
  /// What the region edit dialog answered on OK.
  struct RegionEditAnswer {
    int sourceChannel = -1;  // -1: every channel
    uint32_t from = 0;
    uint32_t to = 0;
    int targetChannel = -1;
    uint32_t target = 0;
    int option = 0;
  };
  /// Runs the region edit dialog in a mode (1 duplicate, 3 erase); true on OK.
  using RegionEditDialog = std::function<bool(int mode, RegionEditAnswer& answer)>;
  /// The window side of Transpose (the dialog transposes by itself) and of the region edits.
  void SetTransposeDialog(std::function<void()> run) { m_transposeDialog = std::move(run); }
  void SetRegionEditDialog(RegionEditDialog run) { m_regionEditDialog = std::move(run); }
  /// Runs the Transpose dialog; its result is not looked at.
  void OnEditTranspose();
  /// On OK, a replace-events command over the answer goes to the song's undo slot.
  void OnEditDuplicateMove();
  /// On OK, a delete-range command over the answer goes to the song's undo slot.
  void OnEditErase();

 private:
  std::function<void()> m_transposeDialog;
  RegionEditDialog m_regionEditDialog;
};



// The voice editor: a property sheet with the FM and PCM pages over two copies of one voice of
// chip generation 3 or 5, its gated road to the board and its audition on the emulator.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "song/NamedBlock.h"
#include "song/VoiceItem.h"
#include "uikit/PropertySheet.h"
#include "voice/AuditionImage.h"

class CTrillotApp;
class IMainFrame;
class IOutputEngine;
class CKZxVoiceEdit_PropertyPageFM;
class CKZxVoiceEdit_PropertyPagePCM;
class CVoiceEditPageBase;

/// What the sheet reaches of the shell: the application's editor values and the main frame
/// with its output engine. Either may be null (no values kept, nothing sent).
struct VoiceEditShell {
  CTrillotApp* app = nullptr;
  IMainFrame* mainFrame = nullptr;
};

class CKZxVoiceEditDlg : public ui::PropertySheet {
 public:
  static constexpr int kStopCommand = 1391;

  CKZxVoiceEditDlg(const QString& caption, QWidget* parent, int firstPage, VoiceEditShell shell);
  ~CKZxVoiceEditDlg() override;

  /// Takes a copy of the voice as reference and working voice; 1.
  int Init(const CVoiceItem& voice, int editSource, int unused = 0);
  /// 2 at once (no window) when the voice cannot be edited now; else runs the sheet: 1 OK, 2 Cancel.
  int DoModal();
  const CVoiceItem& GetVoice() const { return m_working; }
  /// Shows the page that fits the reference voice; 0 when nothing changed.
  int SelectPageForVoice();

  // The pages' road to the board: sent only while the connection is 1 or 2 and nothing plays.
  int SendBankSelect(int channel, int msb, int lsb);
  int SendProgramChange(int channel, int program);
  int SendMasterVolume(int value);
  int SendVoice(const CVoiceItem& voice);
  int SendVoiceParams(const CVoiceItem& voice);
  int SendBankVoices(const CVoiceItem& voice);
  int SendWaveId(int waveId);
  int SetUserWave(int shape, const uint8_t* bytes, uint32_t size);
  int DeleteUserWave(int shape);
  /// Plays the voice on the generation-3 emulator; 1.
  int Audition(int unused, int note, int masterVolume, int velocity, uint32_t gateMs, const CVoiceItem& voice);
  /// 1 before the sheet opens, 0 after it closed.
  int SwitchSoundDevice(int opening);

  // State the pages and tests read.
  int GetEditSource() const { return m_editSource; }
  int GetEditable() const { return m_editable; }
  CVoiceItem& Reference() { return m_reference; }
  CVoiceItem& Working() { return m_working; }
  uint8_t& MasterVolume() { return m_mv; }
  uint8_t& Velocity() { return m_velocity; }
  uint8_t& GateTime() { return m_gt; }
  const CNamedBlock* GetUserWave(int shape) const;
  CKZxVoiceEdit_PropertyPageFM* FmPage() const { return m_fm; }
  CKZxVoiceEdit_PropertyPagePCM* PcmPage() const { return m_pcm; }
  bool IsRunning() const { return m_running; }
  int GetSavedConnectionKind() const { return m_savedKind; }
  const VoiceEditShell& Shell() const { return m_shell; }
  IOutputEngine* Engine() const;
  /// The page's index in the sheet, -1 when it is not added.
  int IndexOf(const CVoiceEditPageBase* page) const;
  /// The application's editor values (100, 64, 30 without an application).
  void StoreEditorValues(int mv, int velocity, int gt);

 private:
  /// The engine when a board transfer may go now (connection 1 or 2, not playing); else null.
  IOutputEngine* IdleBoard() const;
  bool RefusesToOpen() const;
  /// Opens the current page if the sheet's run has not shown it yet.
  void ShowCurrentPage();

  VoiceEditShell m_shell;
  int m_editSource = 2;
  int m_msb = -1;
  int m_lsb = -1;
  int m_program = -1;
  int m_editable = 1;
  CVoiceItem m_reference;
  CVoiceItem m_working;
  uint8_t m_mv = 100;
  uint8_t m_velocity = 64;
  uint8_t m_gt = 30;
  int m_savedKind = 0;
  std::array<std::unique_ptr<CNamedBlock>, 32> m_userWaves;
  CKZxVoiceEdit_PropertyPageFM* m_fm = nullptr;
  CKZxVoiceEdit_PropertyPagePCM* m_pcm = nullptr;
  bool m_running = false;
};

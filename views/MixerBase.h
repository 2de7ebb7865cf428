// What the two mixers share: per-channel mute, solo, slider and volume members exchanged with
// their controls, the saved position, and the tool-window face the main frame calls.
#pragma once

#include <QDialog>
#include <QString>
#include <string>
#include <vector>

#include "uikit/ToolWindow.h"
#include "views/VoiceDialogs.h"

class CKZ1Doc;
class ISongWindowHost;

class CMixerBase : public QDialog, public ui::IToolWindow {
 public:
  /// The control ids of channel 0; channel k adds k.
  struct ChannelIds {
    int mute;
    int solo;
    int slider;
    int volume;
    int bankMsb;
    int bankLsb;
    int program;
  };
  static constexpr int kUnsetVolume = 255;

  ~CMixerBase() override;

  QWidget* Widget() override { return this; }
  std::string ClassName() const override { return m_className; }
  void Reset() override { ResetChannels(); }
  void EnableControls(bool enable) override { EnableChannels(enable ? 1 : 0); }

  void Refresh() override = 0;
  virtual void Apply() = 0;
  virtual void EnableChannels(int enable) = 0;
  /// Clears every solo flag.
  void ResetChannels();
  /// The mute and slider paths: controls read, Apply.
  void OnMute();
  void OnSlider();
  /// The volume-number path for channel k (-1: every channel).
  void OnVolumeNumber(int k);

  int Channels() const { return static_cast<int>(m_mute.size()); }
  int Mute(int k) const { return m_mute[static_cast<size_t>(k)]; }
  int Solo(int k) const { return m_solo[static_cast<size_t>(k)]; }
  int SliderPos(int k) const { return m_slider[static_cast<size_t>(k)]; }
  int Volume(int k) const { return m_volume[static_cast<size_t>(k)]; }
  const ChannelIds& Ids() const { return m_ids; }

 protected:
  CMixerBase(ISongWindowHost& host, std::string className, int channels, const ChannelIds& ids, QWidget* parent);
  /// Builds the channel controls after the template: ranges, ticks, handlers, position.
  void InitChannels();
  /// Members to controls (false) or back (true); false when a checked value failed.
  virtual bool UpdateData(bool save);
  /// Steps 1 to 3 of a refresh: mute, solo, volume from the song.
  void RefreshChannels(const CKZ1Doc& doc);
  void WriteMutes(CKZ1Doc& doc) const;
  QWidget* Control(int firstId, int k) const;

  ISongWindowHost& m_host;
  std::string m_className;
  HostMessagePresenter m_presenter;
  ChannelIds m_ids;
  std::vector<int> m_mute;
  std::vector<int> m_solo;
  std::vector<int> m_slider;
  std::vector<int> m_volume;
  /// The volume numbers as last shown in the edits.
  std::vector<int> m_shownVolume;
  std::vector<QString> m_bankMsb;
  std::vector<QString> m_bankLsb;
  std::vector<QString> m_program;
  bool m_checkVolumes = false;
  /// The 16-channel mixer reads every volume number when one edit loses the focus.
  bool m_allVolumesAtOnce = false;
  /// Set while Apply runs for the volume-number path.
  bool m_fromNumber = false;
};

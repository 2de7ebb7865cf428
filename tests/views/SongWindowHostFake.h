// A song-window host for tests: the test's document, recorded refreshes and openings, and the
// device state and play position set by hand.
#pragma once

#include <QApplication>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "song/document/KZ1Doc.h"
#include "uikit/MdiFrame.h"
#include "views/SongWindowHost.h"

class IOutputEngine;

class SongWindowHostFake : public ISongWindowHost, public ui::IFrameSlots {
 public:
  CKZ1Doc* Document() const override { return doc; }
  void UpdateSongWindows() override {
    ++songWindowUpdates;
    if (onUpdateSongWindows) onUpdateSongWindows();
  }
  int PlayPositionRefresh() const override { return positionRefresh; }
  uint32_t CurrentPlayPosition() const override { return positionMs; }
  int IsDeviceIdle() const override { return deviceIdle; }
  QFont InterfaceFont() const override { return QApplication::font(); }
  ui::IFrameSlots* FrameSlots() const override { return const_cast<SongWindowHostFake*>(this); }
  void SetFrameSlot(const std::string& name, ui::MdiFrame* frame) override { frameSlots[name] = frame; }

  void UpdateVoiceWindows() override { ++voiceWindowUpdates; }
  void UpdateStatusPanes() override { ++statusPaneUpdates; }
  void UpdateReportBar() override { ++reportBarUpdates; }
  ui::IToolWindow* FindToolWindow(const std::string& className) const override {
    auto it = windows.find(className);
    return it == windows.end() ? nullptr : it->second;
  }
  ui::IToolWindow* OpenToolWindow(const std::string& className, int resourceId) override {
    opened.emplace_back(className, resourceId);
    auto it = windows.find(className);
    if (it != windows.end()) return it->second;
    ui::IToolWindow* made = makeWindow ? makeWindow(className) : nullptr;
    if (made) windows[className] = made;
    return made;
  }
  void PostCommand(int commandId) override { posted.push_back(commandId); }
  IOutputEngine* BoardDevice() const override { return engine; }
  void FileClose() override {
    ++fileCloses;
    if (onFileClose) onFileClose();
  }
  void RestoreDefaultMenu() override { ++menuRestores; }
  uint32_t ChannelTable(int which, int channel) const override {
    if (!doc) return 0;
    switch (which) {
      case 0: return static_cast<uint32_t>(doc->GetChannelBankMsb(channel)) & 0xFF;
      case 1: return static_cast<uint32_t>(doc->GetChannelBankLsb(channel)) & 0xFF;
      default: return static_cast<uint32_t>(doc->GetChannelProgram(channel)) & 0xFF;
    }
  }

  CKZ1Doc* doc = nullptr;
  int positionRefresh = 0;
  uint32_t positionMs = 0;
  int deviceIdle = 1;
  IOutputEngine* engine = nullptr;
  int songWindowUpdates = 0;
  int voiceWindowUpdates = 0;
  int statusPaneUpdates = 0;
  int reportBarUpdates = 0;
  int fileCloses = 0;
  int menuRestores = 0;
  std::vector<int> posted;
  std::vector<std::pair<std::string, int>> opened;
  std::map<std::string, ui::IToolWindow*> windows;
  std::map<std::string, ui::MdiFrame*> frameSlots;
  std::function<ui::IToolWindow*(const std::string&)> makeWindow;
  std::function<void()> onFileClose;
  std::function<void()> onUpdateSongWindows;
};

// The main frame before the window exists: it shows nothing and owns the output engine.
#pragma once

#include <string>
#include <vector>

#include "app/core/MainFrame.h"
#include "device/MidiOutCtrl.h"

class HeadlessMainFrame final : public IMainFrame {
 public:
  HeadlessMainFrame();

  bool LoadFrame(int) override { return true; }
  WindowPlacement GetPlacement() const override { return m_placement; }
  PlacementRect GetWindowRect() const override { return {0, 0, 800, 600}; }
  void SetPlacement(const WindowPlacement& placement) override { m_placement = placement; }
  void ShowWindow(int) override {}
  void UpdateWindow() override {}
  void DragAcceptFiles(bool) override {}
  void DestroyWindow() override {}
  void ApplyMenuEdits(const std::vector<MenuEdit>& edits) override { m_menuEdits = edits; }
  void PostCommand(int) override {}
  bool OpenSongWindow() override { return true; }
  void EnableBoardMonitor(bool) override {}
  void UpdateStatusPanes() override {}
  void UpdateReportBar() override {}
  void UpdateSongWindows() override {}
  void UpdateVoiceWindows() override {}
  bool GetTBOption() const override { return false; }
  void OnStop() override {}
  void LoadVolumeBar(int) override {}
  IOutputEngine* GetBoardDevice() override { return &m_engine; }

  /// The direct-play file is the one window this frame keeps.
  void CloseToolWindows() override { m_directPlayPath.clear(); }
  bool IsDirectPlayOpen() const override { return !m_directPlayPath.empty(); }
  bool OpenDirectPlay(const std::string& path) override {
    m_directPlayPath = path;
    return true;
  }
  const std::string& DirectPlayPath() const { return m_directPlayPath; }

  TMidiOutCtrl& Engine() { return m_engine; }
  const std::vector<MenuEdit>& MenuEdits() const { return m_menuEdits; }

 private:
  WindowPlacement m_placement;
  std::vector<MenuEdit> m_menuEdits;
  TMidiOutCtrl m_engine;
  std::string m_directPlayPath;
};

// A window in one of the main frame's tool-window slots, and the registry that makes them by
// class name.
#pragma once

#include <QWidget>
#include <functional>
#include <map>
#include <string>

namespace ui {

class IFrameSlots;

/// What the main frame and its commands call on a tool window. Each window maps these to its
/// own operations (refresh with no sender, reset, scroll to start, ...).
class IToolWindow {
 public:
  virtual ~IToolWindow() = default;
  /// The window as a widget (a frame or a dialog).
  virtual QWidget* Widget() = 0;
  /// The class name its state is saved under ("CVListFrmKZ3", "CMixerDlg", ...).
  virtual std::string ClassName() const = 0;
  /// Redraws from the song, asking nothing back of the frame.
  virtual void Refresh() {}
  virtual void SetChipMode(int /*chipMode*/) {}
  /// Enables the window's controls while nothing plays.
  virtual void EnableControls(bool /*enable*/) {}
  /// Resets the window's channel state (mixers, velocity change).
  virtual void Reset() {}
  virtual void ScrollToStart() {}
  /// Takes the generation-3 voice mode (velocity change).
  virtual void SetChannelMode(int /*mode*/) {}
  /// The option its opening command gives (a graph's limit); 0 for none.
  virtual void SetOpenSetting(int /*setting*/) {}
  /// A line was added to the access log: the log window follows it.
  virtual void ScrollToEnd() {}
  /// The song's stream-size list changed: the stream-size graph converts and draws anew.
  virtual void RebuildGraph() {}
  /// Closes the window (an MDI destroy for a frame).
  virtual void CloseWindow() { Widget()->close(); }
  virtual void ShowWindow(bool show) { Widget()->setVisible(show); }
  virtual bool IsWindowVisible() const { return const_cast<IToolWindow*>(this)->Widget()->isVisible(); }
};

/// What a factory gets to make a window.
struct ToolWindowContext {
  /// The main window: owner of dialogs, holder of the MDI area.
  QWidget* mainWindow = nullptr;
  /// The slots the window fills in its constructor and empties in its destructor.
  IFrameSlots* frameSlots = nullptr;
  int resourceId = 0;
  /// The option of the opening command, 0 for none.
  int setting = 0;
};

/// Tool-window classes by their registered class name.
class ToolWindowRegistry {
 public:
  /// Makes the window; an MDI frame is added to the main window's MDI area by the caller.
  using Factory = std::function<IToolWindow*(const ToolWindowContext&)>;

  static ToolWindowRegistry& Instance();

  void Register(const std::string& className, Factory factory) { m_factories[className] = std::move(factory); }
  void Unregister(const std::string& className) { m_factories.erase(className); }
  bool Has(const std::string& className) const { return m_factories.count(className) != 0; }
  /// The new window, or null for a class nobody registered.
  IToolWindow* Create(const std::string& className, const ToolWindowContext& context) const {
    auto it = m_factories.find(className);
    return it == m_factories.end() ? nullptr : it->second(context);
  }

 private:
  std::map<std::string, Factory> m_factories;
};

inline ToolWindowRegistry& ToolWindowRegistry::Instance() {
  static ToolWindowRegistry registry;
  return registry;
}

}  // namespace ui

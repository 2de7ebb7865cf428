// An MDI child frame: its state name, its own menu resource, its slot in the main frame and
// its placement in the profile.
#pragma once

#include <QMdiSubWindow>
#include <string>

#include "app/core/WindowPlacement.h"
#include "uikit/ToolWindow.h"

namespace ui {

class MdiFrame;

/// The main frame's one pointer per tool window, keyed by the frame's state name.
class IFrameSlots {
 public:
  virtual ~IFrameSlots() = default;
  /// Fills the slot (a frame) or empties it (null).
  virtual void SetFrameSlot(const std::string& stateName, MdiFrame* frame) = 0;
};

class MdiFrame : public QMdiSubWindow, public IToolWindow {
 public:
  /// `menuResource` 0: the frame has no menu of its own and the bar stays as it is.
  MdiFrame(std::string stateName, int menuResource, IFrameSlots* frameSlots, QWidget* parent = nullptr);
  ~MdiFrame() override;
  MdiFrame(const MdiFrame&) = delete;
  MdiFrame& operator=(const MdiFrame&) = delete;

  /// The value name under "WindowState" and the placement's class name.
  const std::string& stateName() const { return m_stateName; }
  int menuResource() const { return m_menuResource; }

  QWidget* Widget() override { return this; }
  std::string ClassName() const override { return m_stateName; }
  /// Empties the slot at once and destroys the frame once control is back in the event loop.
  void CloseWindow() override;

  WindowPlacement Placement() const;
  /// Writes the placement under "WindowPosition\<state name>"; 0, or -1 when a write failed.
  int SavePlacement() const;
  /// Moves the frame to the stored rectangle, or to the defaults (right and bottom 0 keep the
  /// current size). The stored show command is not applied.
  void RestorePlacement(int defLeft, int defTop, int defRight, int defBottom);

 private:
  std::string m_stateName;
  int m_menuResource;
  IFrameSlots* m_slots;
};

/// A QRect as the framework's rectangle (right and bottom exclusive) and back.
PlacementRect ToPlacementRect(const QRect& r);
QRect ToQRect(const PlacementRect& r);

}  // namespace ui

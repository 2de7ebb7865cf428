// The hook of the start-up picture: the shell dialogs fill it; until then every call does nothing.
#pragma once

#include <functional>

class QObject;
class QEvent;

namespace ui {

struct StartupPictureHook {
  std::function<void()> show;
  /// True when the picture took the event (a key or click closes it).
  std::function<bool(QObject*, QEvent*)> filter;
  std::function<void()> close;
};

class StartupPicture {
 public:
  static StartupPicture& Instance();

  void SetHook(StartupPictureHook hook) { m_hook = std::move(hook); }
  void Show() const {
    if (m_hook.show) m_hook.show();
  }
  bool Filter(QObject* watched, QEvent* event) const { return m_hook.filter && m_hook.filter(watched, event); }
  /// Message boxes call this first, so that no box hides behind the picture.
  void Close() const {
    if (m_hook.close) m_hook.close();
  }

 private:
  StartupPictureHook m_hook;
};

inline StartupPicture& StartupPicture::Instance() {
  static StartupPicture picture;
  return picture;
}

}  // namespace ui

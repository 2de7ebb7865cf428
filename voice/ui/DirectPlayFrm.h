// The direct-play window: a fixed picture in a fixed-size frame that remembers the board image
// Play sends instead of a song.
#pragma once

#include <QLabel>
#include <functional>
#include <string>

#include "uikit/MdiFrame.h"

class CDirectPlayPane : public QWidget {
 public:
  static constexpr int kPictureId = 1208;
  static constexpr int kPictureControl = 65535;
  explicit CDirectPlayPane(QWidget* parent = nullptr);
  QLabel* Picture() const { return m_picture; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  QLabel* m_picture = nullptr;
};

class CKZxDirectPlayFrm : public ui::MdiFrame {
 public:
  static constexpr const char* kClassName = "CKZxDirectPlayFrm";
  /// What closing the window runs once: the board link's reset.
  using LinkReset = std::function<void()>;

  CKZxDirectPlayFrm(ui::IFrameSlots* frameSlots, LinkReset resetLink, QWidget* parent = nullptr);
  ~CKZxDirectPlayFrm() override;

  /// The main frame's title follows the path; 1.
  int SetFilePath(const std::string& path);
  const std::string& GetFilePath() const { return m_path; }
  CDirectPlayPane* Pane() const { return m_pane; }
  /// Resets the board link, then the frame goes.
  void DestroyWindow();
  void CloseWindow() override { DestroyWindow(); }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void ResetLinkOnce();

  CDirectPlayPane* m_pane = nullptr;
  std::string m_path;
  LinkReset m_resetLink;
  bool m_linkReset = false;
};

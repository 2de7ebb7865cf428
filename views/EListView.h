// The event list window: a tab strip over a table of the song's events, one tab at a time.
#pragma once

#include <QWidget>
#include <memory>

#include "uikit/MdiFrame.h"
#include "views/EListModel.h"
#include "views/SongViewTabs.h"

class QTabBar;
class QTableView;
class ISongViewHost;

class CEListView : public QWidget {
 public:
  static constexpr int kTabStripId = 2122;
  static constexpr int kListId = 2063;
  static constexpr int kTabHeight = 24;

  explicit CEListView(ISongViewHost& host, QWidget* parent = nullptr);
  ~CEListView() override;

  /// The main frame's refresh. With this pane as sender it asks the main frame to refresh
  /// every song window; a play-position refresh rebuilds nothing; else the list is rebuilt.
  void UpdateView(const void* sender);
  /// 4 channels in chip mode 1, 16 in 2, 3 and 5; the tabs already built stay.
  void SetChannelCount(int chipMode);
  /// Rebuilds every row of the current tab; nothing before the list exists.
  void UpdateList();
  /// The tab strip's selection became the current tab.
  void OnSelchangeTab();

  int ChannelCount() const { return m_channelCount; }
  int CurrentTab() const { return m_currentTab; }
  QTabBar* TabStrip() const { return m_tabs; }
  QTableView* List() const { return m_list; }
  EListModel& Model() { return *m_model; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  ISongViewHost& m_host;
  int m_channelCount = 16;
  QTabBar* m_tabs = nullptr;
  QTableView* m_list = nullptr;
  EListModel* m_model = nullptr;
  std::unique_ptr<SongViewTabs> m_tabLayout;
  int m_currentTab = 0;
};

/// The event list's MDI child frame on resource 1001 (no menu of its own).
class CEListFrm : public ui::MdiFrame {
 public:
  static constexpr const char* kClassName = "CEListFrm";

  explicit CEListFrm(ISongViewHost& host, QWidget* parent = nullptr);
  ~CEListFrm() override;

  CEListView* Pane() const { return m_pane; }

 private:
  CEListView* m_pane = nullptr;
};

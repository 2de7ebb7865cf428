#include "views/EListView.h"

#include <QHeaderView>
#include <QTabBar>
#include <QTableView>

#include "platform/host/HostServices.h"
#include "uikit/DialogTemplate.h"
#include "uikit/WaitCursor.h"
#include "views/SongViewHost.h"

CEListView::CEListView(ISongViewHost& host, QWidget* parent) : QWidget(parent), m_host(host) {
  SetChannelCount(platform::settings().GetChipMode());

  m_tabLayout = std::make_unique<SongViewTabs>(m_channelCount);
  m_tabs = new QTabBar(this);
  m_tabs->setObjectName(ui::ControlName(kTabStripId));
  m_tabs->setFont(m_host.InterfaceFont());
  m_tabs->setExpanding(false);
  m_tabs->setUsesScrollButtons(true);
  for (int i = 0; i < m_tabLayout->TabCount(); ++i) m_tabs->addTab(QString::fromStdString(m_tabLayout->Label(i)));

  m_model = new EListModel(this);
  m_list = new QTableView(this);
  m_list->setObjectName(ui::ControlName(kListId));
  m_list->setModel(m_model);
  m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_list->setSelectionMode(QAbstractItemView::SingleSelection);
  m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_list->setShowGrid(true);
  m_list->verticalHeader()->hide();
  // Rows of one height let the view work out what is shown without asking every row.
  m_list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  m_list->verticalHeader()->setDefaultSectionSize(m_list->fontMetrics().height() + 4);
  for (int c = 0; c < kEListColumnCount; ++c) m_list->setColumnWidth(c, EListModel::ColumnWidth(c));
  m_list->horizontalHeader()->setStretchLastSection(false);

  m_currentTab = 0;
  connect(m_tabs, &QTabBar::currentChanged, this, [this] { OnSelchangeTab(); });
  UpdateList();
}

CEListView::~CEListView() = default;

void CEListView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (!m_tabs || !m_list) return;
  m_tabs->setGeometry(0, 0, width(), kTabHeight);
  m_list->setGeometry(0, kTabHeight, width(), std::max(0, height() - kTabHeight));
  m_tabs->show();
  m_list->show();
}

void CEListView::OnSelchangeTab() {
  m_currentTab = m_tabs->currentIndex();
  UpdateList();
  if (m_model->rowCount() > 0) m_list->scrollTo(m_model->index(0, 0));
}

void CEListView::UpdateView(const void* sender) {
  if (sender == this) {
    m_host.UpdateSongWindows();
    return;
  }
  if (m_host.PlayPositionRefresh()) return;
  UpdateList();
}

void CEListView::SetChannelCount(int chipMode) {
  m_channelCount = ChannelCountForChipMode(chipMode, m_channelCount);
  UpdateView(this);
}

void CEListView::UpdateList() {
  if (!m_list || !m_model) return;
  ui::WaitCursor wait;
  m_list->setUpdatesEnabled(false);
  const CKZ1Doc* doc = m_host.Document();
  std::vector<EListRow> rows;
  if (doc && m_tabLayout) {
    const SongTabKind kind = m_tabLayout->KindOf(m_currentTab);
    rows = BuildEListRows(*doc, MakeEListContext(*doc, kind, m_currentTab));
  }
  m_model->Reset(std::move(rows), platform::settings().GetOriginNote());
  m_list->setUpdatesEnabled(true);
}

CEListFrm::CEListFrm(ISongViewHost& host, QWidget* parent) : ui::MdiFrame(kClassName, 0, host.FrameSlots(), parent) {
  resize(312, 400);
  setWindowTitle(QStringLiteral("Event List"));
  m_pane = new CEListView(host, this);
  setWidget(m_pane);
  RestorePlacement(0, 0, 340, 300);
}

CEListFrm::~CEListFrm() { SavePlacement(); }

// The main window's construction, creation, layout, closing and saved state.
#include "app/ui/MainFrame.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QBitmap>
#include <algorithm>
#include <tuple>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include "device/BoardMonitor.h"
#include "device/MidiOutCtrl.h"
#include "app/core/AppPlayState.h"
#include "app/core/MainFrameHooks.h"
#include "app/core/MainFrameTables.h"
#include "app/core/SettingKeys.h"
#include "app/core/TrillotApp.h"
#include "app/ui/MainFrameAppCommands.h"
#include "app/ui/MainFrameBars.h"
#include "app/ui/NumberEdit.h"
#include "app/ui/TimeEdit.h"
#include "app/ui/ValueEdit.h"
#include "song/Voice2.h"
#include "song/VoiceItem.h"
#include "song/document/KZ1Doc.h"
#include "uikit/ActionRegistry.h"
#include "uikit/MdiMenuFollower.h"
#include "uikit/MenuBuilder.h"
#include "uikit/PictureStore.h"
#include "uikit/QtNotifySink.h"
#include "uikit/StartupPicture.h"
#include "uikit/TemplateBuilder.h"
#include "uikit/TextFitCheck.h"
#include "uikit/UiText.h"
#include "uikit/UpDownControl.h"
#include "views/SongViewHost.h"

using namespace mainframe;

namespace {

QToolBar* MakeBar(QMainWindow* frame, int id, const char* captionKey) {
  auto* bar = new QToolBar(ui::T(captionKey), frame);
  bar->setObjectName(QStringLiteral("bar%1").arg(id));
  bar->setAllowedAreas(Qt::TopToolBarArea | Qt::BottomToolBarArea);
  return bar;
}

/// The up-down controls show their arrows only: their buddy edits show the value.
void ArrowsOnly(ui::UpDownControl* spin) {
  if (!spin) return;
  spin->setFixedWidth(18);
  spin->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
}

/// The one application event filter: the start-up picture's, then the frame's Space key.
class FrameEventFilter final : public QObject {
 public:
  explicit FrameEventFilter(CMainFrame* frame) : QObject(frame), m_frame(frame) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (ui::StartupPicture::Instance().Filter(watched, event)) return true;
    return m_frame->PreTranslateMessage(watched, event);
  }

 private:
  CMainFrame* m_frame;
};

}  // namespace

const std::array<const char*, CMainFrame::kSlotCount>& CMainFrame::SlotClassNames() {
  static const std::array<const char*, kSlotCount> names = {
      "CChildFrame",      "CPRollFrm",      "CEListFrm",         "CKZ1TextScoreFrm", "CVListFrm",     "CVListFrmKZ2",
      "CVListFrmKZ3",     "CVAMFrm",        "CAAMFrm",           "CKZ3EventDensFrm", "CKZ3STMSizeFrm",
      "CKZxDirectPlayFrm", "CMixerDlg",     "CMixer16Dlg",       "CVelocityChangeDlg", "CKZxAccessLogFrm"};
  return names;
}

CMainFrame::CMainFrame(CTrillotApp& app, MainFrameHooks* hooks, OutputEngineFactory engineFactory)
    : QMainWindow(nullptr), m_app(app), m_hooks(hooks) {
  setObjectName(QStringLiteral("CMainFrame"));
  // Step 2: the bars do not exist yet, so only the channel count and the limits are set.
  ApplyChipMode(app.GetChipMode());
  // Steps 3-5.
  m_fmmMode = ReadProfileSetting(profile_keys::kFMMMode);
  // A serial board's Play sends the song's KZ-1 data first.
  m_sendSongToBoard = [this] { return m_app.SendSongToBoardKZ1(); };
  m_engine = engineFactory ? engineFactory() : std::make_unique<TMidiOutCtrl>([this] { return GetTBOption(); });
  m_actions = std::make_unique<ui::ActionRegistry>(this, [this](int id) { m_router->Dispatch(id); });
  m_router = std::make_unique<ui::CommandRouter>([this] {
    std::vector<ui::ICommandTarget*> route;
    auto add = [&route](ui::ICommandTarget* t) {
      if (t && std::find(route.begin(), route.end(), t) == route.end()) route.push_back(t);
    };
    for (QWidget* w = QApplication::focusWidget(); w; w = w->parentWidget()) {
      if (auto* t = dynamic_cast<ui::ICommandTarget*>(w); t && t != this) {
        add(t);
        break;
      }
    }
    if (QMdiSubWindow* child = m_mdiArea ? m_mdiArea->activeSubWindow() : nullptr) {
      add(dynamic_cast<ui::ICommandTarget*>(child));
      add(dynamic_cast<ui::ICommandTarget*>(child->widget()));
    }
    add(this);
    for (ui::ICommandTarget* t : m_appTargets) add(t);
    return route;
  });
  m_router->SetRegistry(m_actions.get());
  // The application's voice-bank and option commands follow the frame on the route.
  m_appCommands = std::make_unique<AppVoiceOptionCommands>(app, *this);
  m_appTargets.push_back(m_appCommands.get());
  m_menuBuilder = std::make_unique<ui::MenuBuilder>(*m_actions, m_router.get());
  m_menus[kMainMenu] = BuildMenuModel(kMainMenu);
  m_menus[kSongMenu] = BuildMenuModel(kSongMenu);
  BuildToolMenus();
  // Every shortcut sits on the main window, so it works for items the menus no longer show.
  for (int id : AllCommandIds()) addAction(m_actions->Action(id));
  m_blinkTimer = new QTimer(this);
  m_blinkTimer->setInterval(500);
  connect(m_blinkTimer, &QTimer::timeout, this, [this] { OnTimer(); });
  // The song views reach the frame through the process's view host.
  AppSongViewHost& views = AppSongViewHost::Instance();
  views.SetFrameSlots(this);
  views.SetDeviceIdle([this] { return IsDeviceIdle(); });
  views.SetPlayPosition([] { return PlayPositionRefresh(); }, [] { return CurrentPlayPosition(); });
  CreateToolDialogs();
  m_eventFilter = new FrameEventFilter(this);
  qApp->installEventFilter(m_eventFilter);
  if (m_hooks) m_hooks->SetWindowHooks(this);
}

CMainFrame::~CMainFrame() {
  if (m_hooks) m_hooks->SetWindowHooks(nullptr);
  AppSongViewHost& views = AppSongViewHost::Instance();
  views.SetDeviceIdle({});
  views.SetPlayPosition({}, {});
  qApp->removeEventFilter(m_eventFilter);
  if (m_sink) m_sink->Detach();
  m_clipVoice2.reset();
  m_clipItem.reset();
  EnableBoardMonitor(false);
  for (int slot : {kVoiceList1, kVoiceList2, kVoiceList3}) {
    if (ui::IToolWindow* w = m_slots[slot]) w->CloseWindow();
  }
  for (int slot : {kMixer4, kMixer16, kVelocityChange}) {
    ui::IToolWindow* w = m_slots[slot];
    m_slots[slot] = nullptr;
    delete w;
  }
  m_engine.reset();
  if (ui::IToolWindow* w = m_slots[kAccessLog]) w->CloseWindow();
  // The remaining MDI children go with the MDI area; none may reach back into the slots.
  m_slots.fill(nullptr);
  const auto children = m_mdiArea ? m_mdiArea->subWindowList() : QList<QMdiSubWindow*>();
  for (QMdiSubWindow* child : children)
    if (auto* frame = dynamic_cast<ui::MdiFrame*>(child)) frame->CloseWindow();
  if (views.FrameSlots() == this) views.SetFrameSlots(nullptr);
}

void CMainFrame::CreateToolDialogs() {
  ui::ToolWindowContext context{this, this, 0, 0};
  const std::pair<int, int> dialogs[] = {{kMixer4, 2016}, {kMixer16, 2017}, {kVelocityChange, 2493}};
  for (auto [slot, resource] : dialogs) {
    context.resourceId = resource;
    if (ui::IToolWindow* w = ui::ToolWindowRegistry::Instance().Create(SlotClassNames()[slot], context)) {
      m_slots[slot] = w;
      w->ShowWindow(false);
    }
  }
}

int CMainFrame::ApplyChipMode(int m) {
  if (m == 1 || m == 2) {
    m_channelCount = m == 1 ? 4 : 16;
    m_timeBaseSpinMax = 3;
  } else if (m == 3 || m == 5) {
    m_channelCount = 16;
    m_timeBaseSpinMax = 32767;
    m_optionByte1 = 0;
    m_optionByte2 = 0;
  }
  if (m == 1 || m == 2 || m == 3 || m == 5) {
    for (uint8_t* limits : {m_spLimits, m_eqLimits, m_hpLimits}) {
      limits[0] = 0;
      limits[1] = 31;
      limits[2] = 31;
    }
  }
  if (auto* spin = ui::item<ui::UpDownControl>(m_controlBar, 1396); spin && (m == 1 || m == 2 || m == 3 || m == 5))
    spin->setRange(0, m_timeBaseSpinMax);
  if (m_volumeBar) {
    const std::tuple<int, int, uint8_t*, int> rows[] = {{1390, 1389, m_spLimits, m_app.GetSpVolume()},
                                                         {1382, 1381, m_hpLimits, m_app.GetHpVolume()},
                                                         {1380, 1379, m_eqLimits, m_app.GetEqLevel()}};
    for (auto [spinId, editId, limits, value] : rows) {
      if (auto* spin = ui::item<ui::UpDownControl>(m_volumeBar, spinId)) {
        spin->setRange(limits[0], limits[1]);
        spin->setValue(value);
      }
      if (auto* edit = ui::item<CValueEdit>(m_volumeBar, editId)) edit->SetRange(limits[0], limits[1]);
    }
  }
  return 1;
}

void CMainFrame::SpLimits(uint8_t out[3]) const {
  for (int i = 0; i < 3; ++i) out[i] = m_spLimits[i];
}

bool CMainFrame::LoadFrame(int resourceId) {
  if (resourceId != kMainMenu) return false;
  return OnCreate() == 0;
}

int CMainFrame::OnCreate() {
  // Step 1.
  RegisterMainFramePictures();
  m_mdiArea = new QMdiArea(this);
  setCentralWidget(m_mdiArea);
  m_menuFollower = std::make_unique<ui::MdiMenuFollower>(m_mdiArea, [this](int r) { RebuildMenuBar(r); });
  RebuildMenuBar(kMainMenu);
  OnUpdateFrameTitle();
  // Steps 2-4.
  if (!ui::PictureStore::Instance().Has(ToolbarFor(m_app.GetOutputProfile()).resource)) return -1;
  BuildToolBar();
  if (!BuildStatusBar()) return -1;
  // Steps 5-8.
  setDockOptions(QMainWindow::AnimatedDocks | QMainWindow::AllowNestedDocks);
  if (!BuildControlBar()) return -1;
  // Steps 9-10.
  if (!BuildVolumeBar()) return -1;
  // Step 11.
  UpdateStatusPanes();
  // Step 12.
  BuildReportBar();
  UpdateReportBar();
  // Step 13.
  LoadToolBarState();
  // Step 14: the modeless dialogs exist; the velocity dialog takes the voice mode.
  if (ui::IToolWindow* velocity = m_slots[kVelocityChange]) {
    velocity->SetChannelMode(ReadProfileSetting(profile_keys::kModeSetting));
    velocity->ShowWindow(false);
  }
  // Step 15: only MV, the preset combo and "Set" stay.
  for (int id : {1389, 1381, 1379, 1390, 1382, 1380, 2507, 2508, 2509})
    if (QWidget* w = ui::item<QWidget>(m_volumeBar, id)) w->setVisible(false);
  // The handlers of the bars, then the calls that end steps 8 and 10.
  ConnectControlBar();
  ConnectVolumeBar();
  FillSectionCombo();
  OnSelchangeVolumePreset();
  if (auto* dispatcher = QAbstractEventDispatcher::instance())
    connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, [this] { m_router->IdlePass(); });
  m_created = true;
  // Step 16: the start-up picture, where the program installed one.
  ui::StartupPicture::Instance().Show();
  return 0;
}

void CMainFrame::RebuildMenuBar(int resource) { m_menuBuilder->Build(menuBar(), Menu(resource)); }

const MenuModel& CMainFrame::Menu(int resource) const {
  static const MenuModel empty;
  auto it = m_menus.find(resource);
  return it == m_menus.end() ? empty : it->second;
}

void CMainFrame::ApplyMenuEdits(const std::vector<MenuEdit>& edits) {
  for (int resource : {kMainMenu, kSongMenu}) mainframe::ApplyMenuEdits(m_menus[resource], edits);
  BuildToolMenus();
  RebuildMenuBar(m_menuFollower ? m_menuFollower->CurrentMenu() : kMainMenu);
}

void CMainFrame::BuildToolMenus() {
  // A tool window's menu carries the main window's menu as the start-up edited it.
  for (int resource : ToolMenuResources())
    m_menus[resource] = BuildToolMenuModel(resource, m_menus[kMainMenu], m_app.GetOutputProfile());
}

void CMainFrame::BuildToolBar() {
  const ToolbarLayout layout = ToolbarFor(m_app.GetOutputProfile());
  m_toolBar = new QToolBar(ui::T("toolbar.caption"), this);
  m_toolBar->setObjectName(QStringLiteral("bar%1").arg(kToolBarId));
  m_toolBar->setIconSize(QSize(16, 15));
  const QPixmap strip = ui::PictureStore::Instance().Pixmap(layout.resource);
  int index = 0;
  for (int id : layout.buttons) {
    if (id == 0) {
      m_toolBar->addSeparator();
      continue;
    }
    QAction* action = m_actions->Action(id);
    QPixmap icon = strip.copy(16 * index++, 0, 16, 15);
    icon.setMask(icon.createMaskFromColor(kToolbarMaskColour));
    action->setIcon(QIcon(icon));
    m_toolBar->addAction(action);
    m_router->TrackOnIdle(id);
  }
  addToolBar(Qt::TopToolBarArea, m_toolBar);
  // The toolbar keeps a row of its own, so the wide dialog bars never push it into its overflow.
  addToolBarBreak(Qt::TopToolBarArea);
}

bool CMainFrame::BuildStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setObjectName(QStringLiteral("bar%1").arg(kStatusBarId));
  m_indicators = IndicatorsFor(m_app.GetOutputProfile());
  for (int id : m_indicators) {
    if (id == kMessagePane) continue;
    auto* pane = new StatusPane(id, PaneWidth(id), bar);
    pane->SetText(id == kPaneFixed ? ui::T(id) : ui::T(id));
    bar->addPermanentWidget(pane);
    m_panes[id] = pane;
  }
  bar->showMessage(ui::T("mainframe.ready"));
  return true;
}

bool CMainFrame::BuildControlBar() {
  m_controlBar = MakeBar(this, kControlBarId, "T2006.caption");
  auto* body = new QWidget(m_controlBar);
  body->setObjectName(ui::ControlName(kControlBarId));
  ui::TemplateBuilder::Build(body, ControlBarTemplate(), [this](const ui::ControlSpec& spec, QWidget* parent) -> QWidget* {
    switch (spec.id) {
      case 1397: return m_playTime = new CTimeEdit(parent);
      case 1395: return m_timeBase = new CNumberEdit(parent);
      case 1383: {
        auto* repeat = new QPushButton(ui::T("T2006.1383"), parent);
        repeat->setCheckable(true);
        return repeat;
      }
      default: return nullptr;
    }
  });
  m_controlBar->addWidget(body);
  addToolBar(Qt::TopToolBarArea, m_controlBar);
  if (!ui::item<CTimeEdit>(body, 1397) || !ui::item<CNumberEdit>(body, 1395)) return false;
  // The play time shows "mm . ss . mmm" whole.
  m_playTime->setMinimumWidth(m_playTime->fontMetrics().horizontalAdvance(QStringLiteral("00 . 00 . 000")) + 12);
  // The time base shows up to "32.767" seconds, the tempo up to "999": each edit holds its widest.
  m_timeBase->setFixedWidth(ui::TextFitCheck::EditWidthFor(m_timeBase, QStringLiteral("32.767")));
  if (auto* tempoEdit = ui::item<QLineEdit>(body, 1392))
    tempoEdit->setFixedWidth(ui::TextFitCheck::EditWidthFor(tempoEdit, QStringLiteral("9999")));
  m_playTime->SetKind(kPlayCommand);
  m_timeBase->SetKind(kPlayCommand);
  m_playTime->SetBoardDevice([this] { return GetBoardDevice(); });
  // Step 7: icons on the transport buttons, which fire their commands.
  const std::pair<int, int> icons[] = {{kRewindCommand, 2061}, {kStopCommand, 2062}, {kPlayCommand, 2060}};
  for (auto [id, icon] : icons) {
    auto* button = ui::item<QPushButton>(body, id);
    QPixmap picture = ui::PictureStore::Instance().Pixmap(icon);
    picture.setMask(picture.createMaskFromColor(Qt::white));
    button->setIcon(QIcon(picture));
    connect(button, &QPushButton::clicked, this, [this, id = id] { m_router->Dispatch(id); });
  }
  // Bar buttons as wide as their pictures and texts, so that the bars fit a small screen.
  for (QPushButton* button : body->findChildren<QPushButton*>()) button->setFixedWidth(ui::TextFitCheck::ButtonWidthFor(button, 4));
  // Step 8.
  for (int id : {1393, 1396}) ArrowsOnly(ui::item<ui::UpDownControl>(body, id));
  auto* tempo = ui::item<ui::UpDownControl>(body, 1393);
  tempo->setRange(0, 999);
  tempo->setValue(120);
  auto* tb = ui::item<ui::UpDownControl>(body, 1396);
  tb->setRange(0, 0xFFFF);
  tb->setValue(0);
  ApplyChipMode(m_app.GetChipMode());
  auto* section = ui::item<QComboBox>(body, 1377);
  section->addItem(QString::fromUtf8(Sections()[0].name));
  section->setCurrentIndex(0);
  section->setMinimumWidth(90);
  FillSectionCombo();
  auto* kc = ui::item<QComboBox>(body, 2152);
  for (const std::string& t : KeyChangeTexts()) kc->addItem(ui::Q(t));
  kc->setCurrentIndex(12);
  auto* tc = ui::item<QComboBox>(body, 2556);
  for (const std::string& t : TempoChangeTexts()) tc->addItem(ui::Q(t));
  tc->setCurrentIndex(30);
  auto* tbCombo = ui::item<QComboBox>(body, 2217);
  tbCombo->addItems({ui::T("T2006.tbOverall"), ui::T("T2006.tbPartial")});
  tbCombo->setCurrentIndex(0);
  return true;
}

bool CMainFrame::BuildVolumeBar() {
  m_volumeBar = MakeBar(this, kVolumeBarId, "T2554.caption");
  auto* body = new QWidget(m_volumeBar);
  body->setObjectName(ui::ControlName(kVolumeBarId));
  ui::TemplateBuilder::Build(body, VolumeBarTemplate(), [](const ui::ControlSpec& spec, QWidget* parent) -> QWidget* {
    if (spec.id == 1384 || spec.id == 1389 || spec.id == 1381 || spec.id == 1379) {
      auto* edit = new CValueEdit(parent);
      edit->setFixedWidth(40);
      return edit;
    }
    return nullptr;
  });
  m_volumeBar->addWidget(body);
  addToolBar(Qt::TopToolBarArea, m_volumeBar);
  for (QPushButton* button : body->findChildren<QPushButton*>()) button->setFixedWidth(ui::TextFitCheck::ButtonWidthFor(button, 4));
  m_mvEdit = ui::item<CValueEdit>(body, 1384);
  m_spEdit = ui::item<CValueEdit>(body, 1389);
  m_hpEdit = ui::item<CValueEdit>(body, 1381);
  m_eqEdit = ui::item<CValueEdit>(body, 1379);
  if (!m_mvEdit || !m_spEdit || !m_hpEdit || !m_eqEdit) return false;
  for (int id : {1385, 1390, 1382, 1380}) ArrowsOnly(ui::item<ui::UpDownControl>(body, id));
  ui::item<ui::UpDownControl>(body, 1385)->setRange(0, 127);
  ApplyChipMode(m_app.GetChipMode());
  auto* presets = ui::item<QComboBox>(body, 5001);
  for (const std::string& name : VolumePresetNames()) presets->addItem(ui::Q(name));
  m_mvEdit->SetRange(0, 127);
  m_mvEdit->SetValue(ApplyMasterVolume() & 0xFF);
  m_spEdit->SetRange(m_spLimits[0], m_spLimits[1]);
  m_spEdit->SetValue(m_spLimits[2]);
  m_hpEdit->SetRange(m_hpLimits[0], m_hpLimits[1]);
  m_hpEdit->SetValue(m_hpLimits[2]);
  m_eqEdit->SetRange(m_eqLimits[0], m_eqLimits[1]);
  m_eqEdit->SetValue(m_eqLimits[2]);
  // Step 10: the entry that begins with the stored name.
  const int preset = presets->findText(ui::Q(ReadProfileSetting(profile_keys::kVolumePreset)), Qt::MatchStartsWith);
  presets->setCurrentIndex(preset < 0 ? 0 : preset);
  return true;
}

void CMainFrame::BuildReportBar() {
  m_reportBarHost = MakeBar(this, kReportBarId, "T2529.caption");
  m_reportBar = new CReportBar(m_reportBarHost);
  m_reportBarHost->addWidget(m_reportBar);
  addToolBar(Qt::TopToolBarArea, m_reportBarHost);
}

QWidget* CMainFrame::BarControl(int id) const {
  for (QToolBar* bar : {m_controlBar, m_volumeBar, m_reportBarHost})
    if (QWidget* w = ui::item<QWidget>(bar, id)) return w;
  return nullptr;
}

void CMainFrame::OnUpdateFrameTitle() {
  QString name;
  if (CKZ1Doc* doc = m_app.GetDocument()) {
    name = ui::Q(doc->GetPathName());
  } else if (ui::IToolWindow* direct = m_slots[kDirectPlay]) {
    name = direct->Widget()->windowFilePath();
  }
  setWindowTitle(name.isEmpty() ? QStringLiteral("Trillot") : name + QStringLiteral(" - Trillot"));
}

int CMainFrame::GetOutputKind() { return ReadProfileSetting(profile_keys::kOutputType) == 1 ? 2 : 1; }

void CMainFrame::SetMidiOutDevice(int index) {
  if (m_engine) m_engine->SetMidiOutDevice(index);
}

void CMainFrame::SetMasterVolumeSpin(int value) {
  const int v = std::min(value, 127);
  if (auto* spin = ui::item<ui::UpDownControl>(m_volumeBar, 1385)) spin->setValue(v);
  m_app.SetMasterVolume(v);
}

int CMainFrame::SetOptionByte1(uint8_t value) {
  if (value > 5) return 0;
  m_optionByte1 = value;
  return 1;
}

int CMainFrame::SetOptionByte2(uint8_t value) {
  if (value > 5) return 0;
  m_optionByte2 = value;
  return 1;
}

void CMainFrame::ClearTimeRange() {
  if (m_playTime) m_playTime->Clear();
}

uint32_t CMainFrame::GetTimeRangeSpan() const { return m_playTime ? m_playTime->GetSpan() : 0; }

void CMainFrame::SetTimeRange(uint32_t startMs, uint32_t endMs) {
  if (m_playTime) m_playTime->SetRange(startMs, endMs);
}

bool CMainFrame::HasTimeRange() const { return m_playTime && m_playTime->IsRangeSet(); }

int CMainFrame::SaveWindowState() {
  platform::profile().DeleteSection(profile_keys::kWindowState);
  for (ui::IToolWindow* w : m_slots) {
    if (!w) continue;
    if (!platform::profile().WriteProfileInt(profile_keys::kWindowState, w->ClassName(), w->IsWindowVisible() ? 1 : 0))
      return 0;
  }
  return 1;
}

void CMainFrame::DockFloatingBarsAtTop() {
  for (QToolBar* bar : {m_controlBar, m_volumeBar, m_reportBarHost, m_toolBar}) {
    if (bar && bar->isFloating()) addToolBar(Qt::TopToolBarArea, bar);
  }
}

void CMainFrame::SaveToolBarState() {
  const QByteArray state = saveState().toBase64();
  platform::profile().WriteProfileString(profile_keys::kToolBarState, "State", state.toStdString());
}

void CMainFrame::LoadToolBarState() {
  const std::string stored = platform::profile().GetProfileString(profile_keys::kToolBarState, "State", "");
  if (stored.empty()) return;
  // A damaged state leaves the default layout.
  const QByteArray state = QByteArray::fromBase64(QByteArray::fromStdString(stored));
  const QByteArray before = saveState();
  if (!restoreState(state)) restoreState(before);
}

bool CMainFrame::OnClose() {
  SaveWindowState();
  SaveWindowPlacement("CMainFrame", GetPlacement());
  DockFloatingBarsAtTop();
  SaveToolBarState();
  if (auto* presets = ui::item<QComboBox>(m_volumeBar, 5001))
    WriteProfileSetting(profile_keys::kVolumePreset, presets->currentText().toStdString());
  return m_app.SaveAllModified() != 0;
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  if (m_closing || !OnClose()) {
    event->ignore();
    return;
  }
  m_closing = true;
  event->accept();
  QApplication::quit();
}

QRect CMainFrame::FitToScreen(const QRect& wanted) {
  const QScreen* screen = QGuiApplication::screenAt(wanted.center());
  if (!screen) screen = QGuiApplication::primaryScreen();
  if (!screen) return wanted;
  // A placement saved on a larger screen, or grown beyond this one, comes back inside it.
  const QRect room = screen->availableGeometry();
  const QSize size = wanted.size().boundedTo(room.size());
  const int x = std::clamp(wanted.x(), room.left(), room.left() + room.width() - size.width());
  const int y = std::clamp(wanted.y(), room.top(), room.top() + room.height() - size.height());
  return QRect(QPoint(x, y), size);
}

WindowPlacement CMainFrame::GetPlacement() const {
  WindowPlacement p;
  p.showCmd = isMaximized() ? 3 : isMinimized() ? 2 : isHidden() ? kShowHidden : 1;
  p.rcNormalPosition = ui::ToPlacementRect(isMaximized() || isMinimized() ? normalGeometry() : geometry());
  return p;
}

PlacementRect CMainFrame::GetWindowRect() const { return ui::ToPlacementRect(geometry()); }

void CMainFrame::SetPlacement(const WindowPlacement& placement) {
  const PlacementRect& r = placement.rcNormalPosition;
  if (r.Width() > 0 && r.Height() > 0) setGeometry(FitToScreen(ui::ToQRect(r)));
  if (placement.showCmd == kShowHidden) hide();
}

void CMainFrame::ShowWindow(int showCmd) {
  if (showCmd == kShowHidden) {
    hide();
  } else {
    show();
  }
}

void CMainFrame::UpdateWindow() { update(); }

void CMainFrame::DestroyWindow() {
  if (m_sink) m_sink->Detach();
  m_sink = nullptr;
  m_closing = true;
  hide();
}

void CMainFrame::PostCommand(int commandId) {
  QTimer::singleShot(0, this, [this, commandId] { m_router->Dispatch(commandId); });
}

bool CMainFrame::OpenSongWindow() {
  ui::IToolWindow* w = OpenToolWindow(kSongWindow, kSongMenu);
  OnUpdateFrameTitle();
  return w != nullptr || !ui::ToolWindowRegistry::Instance().Has(SlotClassNames()[kSongWindow]);
}

void CMainFrame::EnableBoardMonitor(bool enable) {
  if (enable) {
    if (m_boardMonitor) return;
    BoardMonitorPolls polls;
    polls.queryStatus = [this](uint32_t* value) { return m_app.QueryBoardStatus(value); };
    polls.handshake = [this](char answer[2]) { return m_app.BoardHandshake(answer); };
    m_boardMonitor =
        std::make_unique<CBoardMonitor>(CBoardMonitor::kIdlePeriodMs, std::move(polls), &platform::notify());
  } else if (m_boardMonitor) {
    m_boardMonitor->Terminate();
    m_boardMonitor.reset();
  }
}

void CMainFrame::OnStop() { m_router->Dispatch(kStopCommand); }

void CMainFrame::OnPlay() { m_router->Dispatch(kPlayCommand); }

void CMainFrame::AttachNotifySink(ui::QtNotifySink* sink) {
  m_sink = sink;
  if (m_sink) {
    m_sink->Attach([this](uint32_t message, intptr_t wParam, intptr_t lParam) {
      if (message == platform::kWmCommand) {
        m_router->Dispatch(static_cast<int>(wParam));
      } else {
        OnPlayerNotify(wParam, lParam);
      }
    });
  }
}

void CMainFrame::SetClipboard(std::unique_ptr<CVoice2> voice) { m_clipVoice2 = std::move(voice); }

void CMainFrame::SetClipVoiceItem(CVoiceItem* item, int kind) {
  if (item != m_clipItem.get()) m_clipItem.reset(item);
  m_clipKind = kind;
}

QFont CMainFrame::InterfaceFont() const { return QApplication::font(); }

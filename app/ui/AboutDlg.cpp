#include "app/ui/AboutDlg.h"

#include <QApplication>
#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

#include "app/core/AboutBoxRows.h"
#include "app/core/ConverterDll.h"
#include "platform/host/HostServices.h"
#include "uikit/PictureStore.h"
#include "uikit/TemplateBuilder.h"
#include "uikit/UiText.h"

namespace {

using ui::ControlKind;

constexpr int kIconPicture = 2060;

const ui::DialogTemplate& Template2000() {
  static const ui::DialogTemplate t{
      CAboutDlg::kTemplateId,
      "T2000.caption",
      {{0, ControlKind::Picture, nullptr, 0, 0, false, 2, 1},
       {0, ControlKind::Label, "T2000.product", 0, 1},
       {CAboutDlg::kVersion, ControlKind::Label, nullptr, 0, 2},
       {0, ControlKind::Label, "T2000.copyright", 1, 1, false, 1, 2},
       {0, ControlKind::Label, "T2000.kzMode", 2, 1},
       {CAboutDlg::kKzMode, ControlKind::Label, nullptr, 2, 2},
       {0, ControlKind::Label, "T2000.contentsClass", 3, 1},
       {CAboutDlg::kContentsClass, ControlKind::Label, nullptr, 3, 2},
       {0, ControlKind::Label, "T2000.emulatorVersion", 4, 1},
       {CAboutDlg::kEmulatorVersion, ControlKind::Label, "T2000.c1300", 4, 2},
       {1301, ControlKind::Label, "T2000.c1301", 5, 1, true},
       {1304, ControlKind::Label, "T2000.c1304", 5, 2, true},
       {1305, ControlKind::Label, "T2000.c1305", 6, 1, true},
       {CAboutDlg::kPluginList, ControlKind::Custom, nullptr, 7, 0, false, 1, 3},
       {1, ControlKind::Button, "T2000.ok", 8, 2}}};
  return t;
}

}  // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
  ui::PictureStore& store = ui::PictureStore::Instance();
  if (!store.Has(kIconPicture)) store.Register(kIconPicture, QSize(32, 32));
  ui::TemplateBuilder::Build(this, Template2000(), [&store](const ui::ControlSpec& spec, QWidget* owner) -> QWidget* {
    if (spec.kind == ControlKind::Picture) {
      auto* icon = new QLabel(owner);
      icon->setPixmap(store.Pixmap(kIconPicture));
      return icon;
    }
    if (spec.id != CAboutDlg::kPluginList) return nullptr;
    auto* list = new QTreeWidget(owner);
    list->setRootIsDecorated(false);
    list->setColumnCount(2);
    return list;
  });
  m_list = ui::item<QTreeWidget>(this, kPluginList);
  m_list->header()->setStretchLastSection(false);
  m_list->viewport()->installEventFilter(this);
  auto* ok = ui::item<QPushButton>(this, 1);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  OnInitDialog();
}

void CAboutDlg::OnInitDialog() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const auto& s = platform::settings();
  ui::item<QLabel>(this, kKzMode)->setText(QString::asprintf("KZ-%u", static_cast<unsigned>(s.GetChipMode())));
  ui::item<QLabel>(this, kContentsClass)->setText(ui::Q(OutputProfileName(s.GetOutputProfile())));
  ui::item<QLabel>(this, kVersion)->setText(ui::T("T2000.c1306"));
  m_list->clear();
  m_list->setHeaderLabels({ui::T("T2000.fileName"), ui::T("T2000.version")});
  // A row stands whether or not its plug-in loads; the version stays empty then.
  CConverterDll binder;
  for (const AboutPluginRow& row : AboutPluginRows(s.GetChipMode(), s.GetOutputProfile(), s.GetMakerID())) {
    std::string version;
    binder.GetVersionText(row.kind, version);
    auto* item = new QTreeWidgetItem(m_list);
    item->setText(0, ui::Q(row.fileName));
    item->setText(1, ui::Q(version));
  }
  SizeColumns();
  QApplication::restoreOverrideCursor();
}

bool CAboutDlg::eventFilter(QObject* watched, QEvent* event) {
  // The columns keep three quarters and one quarter of the list's width.
  if (watched == m_list->viewport() && event->type() == QEvent::Resize) SizeColumns();
  return QDialog::eventFilter(watched, event);
}

void CAboutDlg::SizeColumns() {
  const int width = m_list->viewport()->width();
  m_list->setColumnWidth(0, width * 3 / 4);
  m_list->setColumnWidth(1, width / 4);
}

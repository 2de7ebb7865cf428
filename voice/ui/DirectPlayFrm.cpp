#include "voice/ui/DirectPlayFrm.h"

#include <QCloseEvent>
#include <QLayout>
#include <QPainter>

#include "uikit/DialogTemplate.h"
#include "uikit/PictureStore.h"
#include "uikit/UiText.h"
#include "voice/ui/VoiceWindowHost.h"

CDirectPlayPane::CDirectPlayPane(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("CDirectPlayPane"));
  m_picture = new QLabel(this);
  m_picture->setObjectName(ui::ControlName(kPictureControl));
  m_picture->setFont(VoiceWindowHost::Font());
  m_picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  const QPixmap pixmap = ui::PictureStore::Instance().Pixmap(kPictureId);
  m_picture->setPixmap(pixmap);
  setFixedSize(pixmap.isNull() ? QSize(308, 81) : pixmap.size());
  m_picture->setGeometry(rect());
}

void CDirectPlayPane::resizeEvent(QResizeEvent*) { m_picture->setGeometry(rect()); }

CKZxDirectPlayFrm::CKZxDirectPlayFrm(ui::IFrameSlots* frameSlots, LinkReset resetLink, QWidget* parent)
    : ui::MdiFrame(kClassName, 0, frameSlots, parent), m_resetLink(std::move(resetLink)) {
  // No sizing border: the frame fits its picture.
  setWindowFlags(windowFlags() & ~Qt::WindowMaximizeButtonHint & ~Qt::WindowMinimizeButtonHint);
  setWindowTitle(QStringLiteral("Direct Play"));
  m_pane = new CDirectPlayPane(this);
  setWidget(m_pane);
  if (QLayout* l = layout()) l->setSizeConstraint(QLayout::SetFixedSize);
  adjustSize();
  move(0, 0);
}

CKZxDirectPlayFrm::~CKZxDirectPlayFrm() { ResetLinkOnce(); }

int CKZxDirectPlayFrm::SetFilePath(const std::string& path) {
  m_path = path;
  setWindowFilePath(ui::Q(path));
  return 1;
}

void CKZxDirectPlayFrm::ResetLinkOnce() {
  if (m_linkReset) return;
  m_linkReset = true;
  if (m_resetLink) m_resetLink();
}

void CKZxDirectPlayFrm::DestroyWindow() {
  ResetLinkOnce();
  ui::MdiFrame::CloseWindow();
}

void CKZxDirectPlayFrm::closeEvent(QCloseEvent* event) {
  ResetLinkOnce();
  ui::MdiFrame::closeEvent(event);
}

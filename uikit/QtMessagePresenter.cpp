#include "uikit/QtMessagePresenter.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>

#include "app/core/HeadlessPresenter.h"
#include "app/core/MessageStyle.h"
#include "uikit/StartupPicture.h"
#include "uikit/UiText.h"

namespace ui {
namespace {

using SB = QMessageBox::StandardButton;

std::vector<SB> ButtonsOf(unsigned style) {
  switch (style & message_box::kButtonMask) {
    case message_box::kOkCancel: return {SB::Ok, SB::Cancel};
    case message_box::kAbortRetryIgnore: return {SB::Abort, SB::Retry, SB::Ignore};
    case message_box::kYesNoCancel: return {SB::Yes, SB::No, SB::Cancel};
    case message_box::kYesNo: return {SB::Yes, SB::No};
    case message_box::kRetryCancel: return {SB::Retry, SB::Cancel};
    default: return {SB::Ok};
  }
}

QMessageBox::Icon IconOf(unsigned style) {
  switch (style & message_box::kIconMask) {
    case message_box::kIconStop: return QMessageBox::Critical;
    case message_box::kIconQuestion: return QMessageBox::Question;
    case message_box::kIconExclamation: return QMessageBox::Warning;
    case message_box::kIconInformation: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
  }
}

}  // namespace

int QtMessagePresenter::AnswerOf(int standardButton) {
  switch (standardButton) {
    case SB::Ok: return message_box::kIdOk;
    case SB::Cancel: return message_box::kIdCancel;
    case SB::Abort: return message_box::kIdAbort;
    case SB::Retry: return message_box::kIdRetry;
    case SB::Ignore: return message_box::kIdIgnore;
    case SB::Yes: return message_box::kIdYes;
    case SB::No: return message_box::kIdNo;
    default: return message_box::kIdCancel;
  }
}

std::unique_ptr<QMessageBox> QtMessagePresenter::BuildBox(const QString& text, unsigned style, QWidget* parent) {
  auto box = std::make_unique<QMessageBox>(parent);
  box->setWindowTitle(QStringLiteral("Trillot"));
  box->setText(text);
  box->setIcon(IconOf(style));
  const int defaultAnswer = DefaultAnswer(style);
  for (SB b : ButtonsOf(style)) {
    QPushButton* button = box->addButton(b);
    if (AnswerOf(b) == defaultAnswer) box->setDefaultButton(button);
  }
  return box;
}

int QtMessagePresenter::Present(const std::string& text, unsigned style, int) {
  const QString qtext = Q(text);
  if (QThread::currentThread() != qApp->thread()) {
    QMetaObject::invokeMethod(
        qApp,
        [qtext, style] {
          StartupPicture::Instance().Close();
          QMessageBox* box = BuildBox(qtext, style, nullptr).release();
          box->setAttribute(Qt::WA_DeleteOnClose);
          box->open();
        },
        Qt::QueuedConnection);
    return DefaultAnswer(style);
  }
  StartupPicture::Instance().Close();
  auto box = BuildBox(qtext, style, m_parent);
  box->exec();
  QAbstractButton* clicked = box->clickedButton();
  return clicked ? AnswerOf(box->standardButton(clicked)) : DefaultAnswer(style);
}

void QtMessagePresenter::Beep() { QApplication::beep(); }

bool IsHeadlessPlatform() {
  const QString name = QGuiApplication::platformName();
  return name == QLatin1String("offscreen") || name == QLatin1String("minimal");
}

std::unique_ptr<IMessagePresenter> MakeMessagePresenter(std::FILE* err) {
  if (IsHeadlessPlatform()) return std::make_unique<HeadlessPresenter>(err);
  return std::make_unique<QtMessagePresenter>();
}

}  // namespace ui

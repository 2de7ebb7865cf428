// The busy picture: shown while a long operation runs, gone with the object.
#pragma once

#include <QDialog>
#include <memory>

#include "platform/host/HostServices.h"

class QLabel;

class CBusyBitmapDlg : public QDialog {
 public:
  static constexpr int kTemplateId = 2013;
  static constexpr int kPictureId = 2546;
  static constexpr int kTemplatePicture = 1206;

  /// Shows the picture of `kind` at once, centred on `owner` (else on the main window), and
  /// paints it before the caller goes on with its work.
  CBusyBitmapDlg(int kind, QWidget* owner = nullptr);

  /// The bitmap of a kind: 0 converting, 1 importing, 2 exporting, 5 checking, 6 sending to
  /// the board; the 16-colour pictures below 15 bits of depth; other kinds keep the template's.
  static int BitmapOfKind(int kind, bool lowColour = false);
  /// The display's depth is never below 15 bits here.
  static bool IsLowColour() { return false; }

  int Bitmap() const { return m_bitmap; }
  QLabel* Picture() const { return m_picture; }

 private:
  int m_bitmap = kTemplatePicture;
  QLabel* m_picture = nullptr;
};

/// The busy picture as a token that core code holds for as long as its work runs.
class BusyPictureToken final : public platform::IUiToken {
 public:
  explicit BusyPictureToken(int kind, QWidget* owner = nullptr) : m_dialog(std::make_unique<CBusyBitmapDlg>(kind, owner)) {}
  CBusyBitmapDlg& Dialog() const { return *m_dialog; }

 private:
  std::unique_ptr<CBusyBitmapDlg> m_dialog;
};

// The voice-allocation check: the song through the checker plug-in, with its verdict, the time
// of the reported point and the FM and PCM voice counts.
#pragma once

#include <QDialog>
#include <QString>

namespace platform {
class IConverterBinder;
}

class CPolyscanDlg : public QDialog {
 public:
  static constexpr int kTemplateId = 2176;
  static constexpr int kPicture = 2183;
  static constexpr int kPictureBitmap = 2184;
  static constexpr int kMode = 2177;
  static constexpr int kOutputFile = 2188;
  static constexpr int kCheck = 2182;
  static constexpr int kClose = 2;
  static constexpr int kResult = 2178;
  static constexpr int kTime = 2179;
  static constexpr int kFm = 2180;
  static constexpr int kPcm = 2181;

  /// `binder` null: the installed host binder.
  explicit CPolyscanDlg(QWidget* parent = nullptr, platform::IConverterBinder* binder = nullptr);
  /// Fills Mode and disables "Check" when the checker cannot be bound.
  void OnInitDialog();
  /// Runs the check of the current song and shows its result.
  void OnCheck();

  QString m_fm;
  QString m_pcm;
  QString m_time;
  QString m_result;
  int m_outputFile = 0;

 private:
  void ShowTexts();
  platform::IConverterBinder& Binder() const;
  platform::IConverterBinder* m_binder;
};

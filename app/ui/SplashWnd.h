// The start-up picture: one borderless picture centred on the screen that closes itself after
// its time or at the first key press or click; mode 5 shows a second picture before closing.
#pragma once

#include <QPixmap>
#include <QWidget>

class QTimer;

class CSplashWnd : public QWidget {
 public:
  /// Stores the enable flag and the picture mode (0..6) for the next Show.
  static void SetMode(bool enable, int mode);
  /// Creates and shows the picture once; nothing when disabled, already up, or when the mode
  /// names no picture the program holds.
  static void Show(QWidget* parent = nullptr);
  /// A key or button press while the picture is up runs the close step and is consumed.
  static bool FilterMessage(QObject* watched, QEvent* event);
  /// Closes the picture that is up (the second one of mode 5 too): a message box follows.
  static void Close();
  /// The picture that is up, or null.
  static CSplashWnd* Current();
  /// Fills the start-up picture hook of the window layer with Show, FilterMessage and Close,
  /// and registers the pictures.
  static void InstallHook();
  /// The window program's start: with the picture enabled (not in batch) the hook is installed;
  /// the mode follows the chip mode and output profile.
  static void PrepareStart(bool enable, int chipMode, int outputProfile);
  /// Our pictures 1229, 2127, 2128, 2543 and 2544 (400 x 240).
  static void RegisterPictures();

  ~CSplashWnd() override;

  /// The picture of a mode 0..6 shown on its own (for the screenshots); null when none.
  static CSplashWnd* ShowPicture(int mode);

  int Mode() const { return m_mode; }
  int Bitmap() const { return m_bitmap; }
  /// The timer's tick: the close step.
  void OnTimer();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  CSplashWnd(QWidget* parent, int mode, const QPixmap& picture);
  void StartPicture(int mode, const QPixmap& picture);
  void Destroy();

  QPixmap m_picture;
  QTimer* m_timer = nullptr;
  int m_mode = 0;
  int m_bitmap = 0;
};

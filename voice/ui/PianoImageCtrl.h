// The keyboard picture: the notes 0..127 drawn from their geometry, scrolled by two repeat
// buttons; a pressed key is reported to the owner, and one marked key can be the only one.
#pragma once

#include <QWidget>
#include <functional>

class CRepeatButton;

class CPianoImageCtrl : public QWidget {
 public:
  /// WM_USER+50 and WM_USER+51: a key pressed and released, with its note.
  using KeyHandler = std::function<void(int note)>;
  static constexpr uint8_t kNone = 255;

  explicit CPianoImageCtrl(QWidget* parent = nullptr);

  void SetKeyDownHandler(KeyHandler handler) { m_keyDown = std::move(handler); }
  void SetKeyUpHandler(KeyHandler handler) { m_keyUp = std::move(handler); }

  /// Flag 1 marks the key and hides the scroll buttons; otherwise clears the mark and shows them.
  void SetMarkedKey(int key, int flag);
  /// Set: presses are ignored (the voice lacks a wave).
  void SetDisabled(int flag);
  /// The octave origin of the C-key labels.
  void SetOriginNote(int originNote);

  void SetPosition(int position) { m_position = position; }
  int GetPosition() const { return m_position; }
  void SetLastPosition(int position) { m_lastPosition = static_cast<uint8_t>(position); }
  int GetLastPosition() const { return m_lastPosition; }
  int GetMarkedKey() const { return m_markedKey; }
  int GetPressedKey() const { return m_pressedKey; }
  bool IsDisabled() const { return m_disabled != 0; }
  CRepeatButton* LeftButton() const { return m_left; }
  CRepeatButton* RightButton() const { return m_right; }

  /// WM_USER+10 from a scroll button: 0 one note down, 1 one note up.
  void OnScrollStep(int id);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void PlaceButtons();
  /// The last position for the width, and the position kept in view of a marked key.
  void UpdatePositions();
  void DrawKey(QPainter& p, int note, bool pressed) const;

  CRepeatButton* m_left;
  CRepeatButton* m_right;
  int m_position = 0;
  uint8_t m_lastPosition = 127;
  uint8_t m_pressedKey = kNone;
  uint8_t m_markedKey = kNone;
  int m_disabled = 0;
  int m_originNote = 0;
  bool m_captured = false;
  KeyHandler m_keyDown;
  KeyHandler m_keyUp;
};

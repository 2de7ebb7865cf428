// Dialog data exchange: values between members and controls, with the framework's checks.
#pragma once

#include <initializer_list>
#include <string>

class QWidget;
class IMessagePresenter;

namespace ui {

class DataExchange {
 public:
  enum class Direction { ToControls, FromControls };

  /// `presenter` shows the check texts (range, not a number).
  DataExchange(QWidget* root, Direction direction, IMessagePresenter& presenter);

  bool Saving() const { return m_direction == Direction::FromControls; }
  /// False once an exchange or check failed; every exchange after it does nothing.
  bool Ok() const { return m_ok; }

  bool Text(int id, std::string& value);
  /// A signed integer; text that is not one shows the "not a number" text and fails.
  bool IntValue(int id, int& value);
  bool Check(int id, int& value);
  /// The index of the checked button among `ids` (-1 when none).
  bool Radio(std::initializer_list<int> ids, int& value);
  bool ComboIndex(int id, int& value);
  bool Slider(int id, int& value);
  /// While saving: a value outside min..max shows the range text, selects the control and fails.
  bool MinMaxInt(int id, int value, int min, int max);

 private:
  QWidget* Control(int id) const;
  bool Fail(int id, const std::string& text);

  QWidget* m_root;
  Direction m_direction;
  IMessagePresenter& m_presenter;
  bool m_ok = true;
};

}  // namespace ui

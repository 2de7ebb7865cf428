// Tests of the check that every shown text has room in its widget.
#include "uikit/TextFitCheck.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <functional>

#include "uikit/UpDownControl.h"

namespace {

struct FitCase {
  const char* name;
  std::function<QWidget*(QWidget* parent)> make;  // the widget, placed and sized by the case
  bool fits;
};

QWidget* Placed(QWidget* w, int width, int height) {
  w->setGeometry(4, 4, width, height);
  return w;
}

const FitCase kCases[] = {
    {"wide button", [](QWidget* p) { return Placed(new QPushButton("Piano Roll", p), 120, 26); }, true},
    {"narrow button", [](QWidget* p) { return Placed(new QPushButton("Piano Roll", p), 50, 26); }, false},
    {"mnemonic does not count", [](QWidget* p) { return Placed(new QPushButton("&OK", p), 60, 26); }, true},
    {"label that fits", [](QWidget* p) { return Placed(new QLabel("Channel", p), 80, 20); }, true},
    {"label cut", [](QWidget* p) { return Placed(new QLabel("Time(sec) and more", p), 30, 20); }, false},
    {"label too low", [](QWidget* p) { return Placed(new QLabel("Channel", p), 80, 5); }, false},
    {"check box", [](QWidget* p) { return Placed(new QCheckBox("before the change", p), 160, 22); }, true},
    {"check box cut", [](QWidget* p) { return Placed(new QCheckBox("before the change", p), 60, 22); }, false},
    {"radio cut", [](QWidget* p) { return Placed(new QRadioButton("C#1-C4", p), 30, 22); }, false},
    {"edit that fits", [](QWidget* p) { return Placed(new QLineEdit("0.004", p), 60, 24); }, true},
    {"edit cut", [](QWidget* p) { return Placed(new QLineEdit("0.004", p), 22, 24); }, false},
    {"empty edit", [](QWidget* p) { return Placed(new QLineEdit(p), 4, 24); }, true},
    {"group title", [](QWidget* p) { return Placed(new QGroupBox("Default Directory", p), 200, 60); }, true},
    {"group title cut", [](QWidget* p) { return Placed(new QGroupBox("Default Directory", p), 40, 60); }, false},
    {"hidden widget", [](QWidget* p) {
       QWidget* w = Placed(new QPushButton("Piano Roll", p), 20, 26);
       w->hide();
       return w;
     }, true},
    {"cut by its parent", [](QWidget* p) {
       auto* holder = new QWidget(p);
       holder->setGeometry(0, 0, 60, 30);
       return Placed(new QPushButton("Event List", holder), 120, 26);
     }, false},
    {"up-down arrows", [](QWidget* p) {
       auto* spin = new ui::UpDownControl(p);
       spin->setRange(0, 99999);
       spin->setValue(12345);
       return Placed(spin, 18, 24);
     }, true},
};

TEST(TextFitCheck, FindsTextsWithoutRoomAndOnlyThose) {
  for (const FitCase& c : kCases) {
    QWidget window;
    window.resize(400, 200);
    c.make(&window);
    window.show();
    QApplication::processEvents();
    const auto problems = ui::TextFitCheck::Window(&window);
    QString said;
    for (const auto& p : problems) said += p.Describe() + "; ";
    EXPECT_EQ(problems.empty(), c.fits) << c.name << ": " << said.toStdString();
  }
}

TEST(TextFitCheck, SaysWhichWidgetAndHowMuchRoomItLacks) {
  QWidget window;
  window.resize(300, 100);
  auto* edit = new QLineEdit("0.004", &window);
  edit->setObjectName("c1395");
  edit->setGeometry(0, 0, 22, 24);
  window.show();
  const auto problems = ui::TextFitCheck::Window(&window);
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0].widget, "c1395");
  EXPECT_EQ(problems[0].kind, "edit");
  EXPECT_EQ(problems[0].text, "0.004");
  EXPECT_GT(problems[0].need, problems[0].have);
  EXPECT_FALSE(problems[0].height);
}

TEST(TextFitCheck, WindowFitsALimitWithItsFrame) {
  QWidget small;
  small.resize(640, 480);
  EXPECT_TRUE(ui::TextFitCheck::Fits(&small, QSize(1280, 720)));
  QWidget tall;
  tall.resize(1010, 932);
  EXPECT_FALSE(ui::TextFitCheck::Fits(&tall, QSize(1280, 720)));
  EXPECT_TRUE(ui::TextFitCheck::Fits(&tall, QSize(1366, 1000)));
}

}  // namespace

// The Preference dialog of chip modes 1 and 2, offscreen, with a recording engine naming the
// devices.
#include "app/ui/PreferenceDlg.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QPushButton>

#include "app/core/TrillotApp.h"
#include "device/testing/RecordingOutputEngine.h"
#include "platform/host/testing/FakeHost.h"
#include "uikit/DialogTemplate.h"

namespace {

using D = CPreferenceDlg;

QComboBox* Combo(const QWidget* d, int id) { return ui::item<QComboBox>(d, id); }

QStringList Items(const QComboBox* c) {
  QStringList out;
  for (int i = 0; i < c->count(); ++i) out << c->itemText(i);
  return out;
}

class PreferenceDlgKZ12 : public testing::Test {
 protected:
  void SetUp() override {
    host.settings.chipMode = 1;
    app.SetChipMode(1);
    host.profile.WriteProfileInt("Setting", "MIDIDeviceOut", 1);
  }
  D::EngineFactory Engines() {
    return [this] {
      auto engine = std::make_unique<RecordingOutputEngine>();
      engine->outNames = {"Out A", "Out B"};
      engine->inNames = {"In A"};
      ++enginesMade;
      return std::unique_ptr<IOutputEngine>(std::move(engine));
    };
  }
  platform::FakeHost host;
  CTrillotApp app;
  int enginesMade = 0;
};

TEST_F(PreferenceDlgKZ12, FillsDevicesModesAndTheFormRule) {
  D d(app, nullptr, Engines());
  EXPECT_EQ(enginesMade, 1);
  EXPECT_EQ(Items(Combo(&d, D::kDevice)), (QStringList{"Out A", "Out B"}));
  EXPECT_EQ(Combo(&d, D::kDevice)->currentIndex(), 1);
  EXPECT_EQ(Items(Combo(&d, D::kThruIn)), (QStringList{"(none)", "In A"}));
  EXPECT_EQ(Items(Combo(&d, D::kThruOut)), (QStringList{"(none)", "Out A", "Out B"}));
  EXPECT_EQ(Items(Combo(&d, D::kModeSetting)), (QStringList{"Normal", "FMM"}));
  EXPECT_EQ(Combo(&d, D::kChipMode)->currentText(), "KZ1-VELK");
  EXPECT_FALSE(Combo(&d, D::kChipMode)->isEnabled());
  EXPECT_EQ(Combo(&d, D::kOutputFormat)->currentText(), "KZ3 Native Format");
  EXPECT_FALSE(Combo(&d, D::kOutputFormat)->isEnabled());
  EXPECT_EQ(Combo(&d, D::kPort)->currentText(), "COM 2");
  // "OutputType" 0: RS232C enables Port, disables Device.
  EXPECT_TRUE(Combo(&d, D::kPort)->isEnabled());
  EXPECT_FALSE(Combo(&d, D::kDevice)->isEnabled());
  Combo(&d, D::kForm)->setCurrentIndex(1);
  EXPECT_FALSE(Combo(&d, D::kPort)->isEnabled());
  EXPECT_TRUE(Combo(&d, D::kDevice)->isEnabled());
  EXPECT_TRUE(ui::item<QWidget>(&d, D::kPseudoRev)->isHidden());
}

TEST_F(PreferenceDlgKZ12, ChipMode2LeavesModeSettingEmpty) {
  host.settings.chipMode = 2;
  app.SetChipMode(2);
  D d(app, nullptr, Engines());
  EXPECT_EQ(Combo(&d, D::kModeSetting)->count(), 0);
  EXPECT_FALSE(Combo(&d, D::kModeSetting)->isEnabled());
}

TEST_F(PreferenceDlgKZ12, OkWritesTheSelections) {
  D d(app, nullptr, Engines());
  Combo(&d, D::kForm)->setCurrentIndex(1);
  Combo(&d, D::kDevice)->setCurrentIndex(0);
  d.OnOK();
  EXPECT_EQ(d.result(), QDialog::Accepted);
  EXPECT_EQ(host.profile.GetProfileInt("Setting", "OutputType", -1), 1);
  EXPECT_EQ(host.profile.GetProfileInt("Setting", "MIDIDeviceOut", -1), 0);
  EXPECT_EQ(host.profile.GetProfileInt("Setting", "OutputFormat", -1), 1);
  EXPECT_EQ(app.GetChipMode(), 1);
}

TEST_F(PreferenceDlgKZ12, PortThatCannotOpenShows7002AndStaysOpen) {
  D d(app, nullptr, Engines());
  d.OnOK();  // "RS232C" on COM 2: no board link can be made here
  EXPECT_NE(d.result(), QDialog::Accepted);
  EXPECT_EQ(host.messages.ShownIds(), std::vector<int>{7002});
  EXPECT_EQ(host.profile.GetProfileInt("Setting", "OutputFormat", -1), -1);
}

}  // namespace

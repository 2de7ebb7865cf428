// Tests of the plug-in binder against small plug-ins built in the tree.
#include "TestPaths.h"
#include "app/core/ConverterDll.h"

#include <gtest/gtest.h>

#include <vector>

#include "app/core/ConverterBinder.h"
#include "platform/host/testing/FakeHost.h"

namespace {

class ConverterDllFixture {
 public:
  ConverterDllFixture() { host.settings.appDir = TRILLOT_FIXTURE_PLUGIN_DIR; }

  CnvParam Record() {
    CnvParam p{};
    p.src = src.data();
    p.srcSize = static_cast<uint32_t>(src.size());
    p.dst = dst.data();
    p.dstSize = static_cast<uint32_t>(dst.size());
    return p;
  }

  platform::FakeHost host;
  std::vector<uint8_t> src{1, 2, 3, 4, 5};
  std::vector<uint8_t> dst = std::vector<uint8_t>(20, 0);
};

TEST(ConverterDll, NamesEveryKindOfTheTable) {
  struct Case {
    int kind;
    int chipMode;
    const char* name;
  };
  const Case cases[] = {
      {0, 3, "Midigate1.DLL"},  {1, 3, "Velkgate1.DLL"},      {2, 3, "Basegate1.DLL"},
      {3, 3, "Imelgate1.DLL"},  {4, 3, "Midigate2.DLL"},      {5, 3, "Velkgate2.DLL"},
      {6, 3, "Imelgate2.DLL"},  {7, 3, "Midigate.DLL"},       {8, 3, "Velkgate.DLL"},
      {9, 3, "Hardgate.DLL"},   {10, 3, "Imelgate.DLL"},      {11, 3, "Imelgate_N.DLL"},
      {12, 3, "Imelgate_F.DLL"}, {13, 3, "Imelgate_S.DLL"},   {14, 3, "Imelphrasegate.DLL"},
      {15, 3, "Imelphrasegate_N.DLL"}, {16, 3, "Imelphrasegate_SO.DLL"}, {17, 3, "Phrasegate.DLL"},
      {18, 3, "Velkgate3.DLL"}, {19, 3, "Polyscan.DLL"},      {19, 1, "Polyscan.DLL"},
      {19, 5, "Polyscan5.dll"}, {8, 5, "Velkgate.DLL"},       {20, 3, ""},
      {-1, 3, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    EXPECT_EQ(CConverterDll::DllName(c.kind, c.chipMode), c.name);
  }
  EXPECT_EQ(CConverterDll::EntryName(0), "CnvFrom");
  EXPECT_EQ(CConverterDll::EntryName(1), "CnvTo");
  EXPECT_EQ(CConverterDll::EntryName(2), "");
}

TEST(ConverterDll, CheckerKindLoadsTheChipModeFiveLibraryInChipModeFive) {
  ConverterDllFixture f;
  f.host.settings.chipMode = 5;
  CnvParam p = f.Record();
  CConverterDll dll;
  // The caller's record size of the old target is not what reaches the plug-in.
  EXPECT_EQ(dll.Convert(&p, 20, 19, 1), 5u);
  EXPECT_EQ(p.flags, 0x200u);
  EXPECT_EQ(std::vector<uint8_t>(f.dst.begin(), f.dst.begin() + 5), f.src);
  EXPECT_EQ(f.host.ui.busyPictures, std::vector<int>{0});

  // In chip mode 3 the checker is "Polyscan.DLL", which is not there.
  f.host.settings.chipMode = 3;
  EXPECT_EQ(dll.Convert(&p, 20, 19, 1), 0u);
  EXPECT_EQ(dll.IsAvailable(19, 1), 0);
}

TEST(ConverterDll, LibraryNamesMatchFilesWithoutCase) {
  ConverterDllFixture f;
  CnvParam p = f.Record();
  CConverterDll dll;
  EXPECT_EQ(dll.Convert(&p, kCnvParamSize, 8, 0), 5u);  // "Velkgate.DLL" is velkgate.so
  EXPECT_EQ(p.flags, 0x100u);
  EXPECT_EQ(dll.IsAvailable(8, 0), 1);
  EXPECT_EQ(dll.IsAvailable(8, 1), 1);
}

TEST(ConverterDll, UnnamedKindLoadsNothingAndReturnsZero) {
  ConverterDllFixture f;
  CnvParam p = f.Record();
  CConverterDll dll;
  ASSERT_EQ(dll.Convert(&p, 20, 8, 1), 5u);
  EXPECT_EQ(dll.Convert(&p, 20, 20, 1), 0u);
  EXPECT_EQ(f.host.ui.busyPictures.size(), 1u);
  // The library of the earlier conversion is still held.
  uint32_t report = 0;
  EXPECT_EQ(dll.GetReport(&report, 0, 8), 0u);
  EXPECT_EQ(report, 0x1234u);
  EXPECT_EQ(dll.IsAvailable(20, 0), 0);
  EXPECT_EQ(dll.GetVersion(20), 0u);
}

TEST(ConverterDll, DirectionWithoutEntryLoadsTheLibraryButCallsNothing) {
  ConverterDllFixture f;
  CnvParam p = f.Record();
  CConverterDll dll;
  EXPECT_EQ(dll.Convert(&p, 20, 8, 2), 0u);
  EXPECT_TRUE(f.host.ui.busyPictures.empty());
  EXPECT_EQ(dll.IsAvailable(8, 2), 0);
  // Loaded all the same: its report can be asked for.
  uint32_t report = 0;
  EXPECT_EQ(dll.GetReport(&report, 0, 8), 0u);
}

TEST(ConverterDll, ThrowingPluginGivesZeroAndTheReportGivesFailure) {
  ConverterDllFixture f;
  CnvParam p = f.Record();
  CConverterDll dll;
  EXPECT_EQ(dll.Convert(&p, 20, 7, 0), 0u);  // throws an int
  EXPECT_TRUE(dll.Threw());
  EXPECT_EQ(dll.Convert(&p, 20, 7, 1), 0u);  // throws a standard exception
  EXPECT_TRUE(dll.Threw());
  // A plug-in that could not be called did not throw.
  EXPECT_EQ(dll.Convert(&p, 20, 18, 1), 0u);
  EXPECT_FALSE(dll.Threw());
  EXPECT_EQ(dll.IsAvailable(7, 0), 1);
  uint32_t report = 0;
  ASSERT_EQ(dll.Convert(&p, 20, 7, 1), 0u);
  EXPECT_EQ(dll.GetReport(&report, 0, 7), CNVERR_FAILED);
  EXPECT_EQ(dll.GetVersion(7), 0u);
}

TEST(ConverterDll, LibraryWithoutEntriesIsUnavailable) {
  ConverterDllFixture f;
  CnvParam p = f.Record();
  CConverterDll dll;
  EXPECT_EQ(dll.IsAvailable(18, 0), 0);
  EXPECT_EQ(dll.IsAvailable(18, 1), 0);
  EXPECT_EQ(dll.Convert(&p, 20, 18, 1), 0u);
  uint32_t report = 0;
  EXPECT_EQ(dll.GetReport(&report, 0, 18), CNVERR_FAILED);
}

TEST(ConverterDll, ReportBeforeAnyConversionIsFailure) {
  ConverterDllFixture f;
  CConverterDll dll;
  uint32_t report = 0;
  EXPECT_EQ(dll.GetReport(&report, 0, 8), CNVERR_FAILED);
  EXPECT_EQ(report, 0u);
  EXPECT_EQ(dll.GetReport(nullptr, 0, 8), CNVERR_FAILED);
}

TEST(ConverterDll, VersionTextShowsThreeNibbles) {
  ConverterDllFixture f;
  f.host.settings.chipMode = 5;
  CConverterDll dll;
  std::string text = "old";
  EXPECT_EQ(dll.GetVersion(19), 0x2970u);
  EXPECT_EQ(dll.GetVersionText(19, text), 1);
  EXPECT_EQ(text, "2.9.7");
  EXPECT_EQ(dll.GetVersionText(18, text), 1);  // version 0
  EXPECT_EQ(text, "");
  text = "old";
  EXPECT_EQ(dll.GetVersionText(9, text), 1);  // no such library
  EXPECT_EQ(text, "");
}

TEST(ConverterDll, NullRecordIsNeverHandedToAPlugin) {
  ConverterDllFixture f;
  CConverterDll dll;
  EXPECT_EQ(dll.Convert(nullptr, 20, 8, 0), 0u);
  EXPECT_TRUE(f.host.ui.busyPictures.empty());
}

TEST(ConverterBinder, CallsThroughAFreshBinderEachTime) {
  ConverterDllFixture f;
  CnvParam p = f.Record();
  ConverterBinder binder;
  EXPECT_EQ(binder.Convert(p, 8, 1), 5u);
  EXPECT_EQ(binder.IsAvailable(8, 0), 1);
  EXPECT_EQ(binder.IsAvailable(9, 0), 0);
  EXPECT_EQ(binder.GetVersion(8), 0x2970u);
  EXPECT_EQ(binder.Convert(p, 7, 0), 0u);
}

TEST(ConverterBinder, ReportComesFromTheLibraryThatConverted) {
  ConverterDllFixture f;
  CnvParam p = f.Record();
  ConverterBinder binder;
  uint32_t report = 0;
  uint32_t status = 7;
  EXPECT_EQ(binder.ConvertAndGetReport(p, 8, 1, report, status), 5u);
  EXPECT_EQ(status, 0u);
  EXPECT_EQ(report, 0x1234u);

  // A failed conversion asks for no report.
  report = 0;
  EXPECT_EQ(binder.ConvertAndGetReport(p, 7, 1, report, status), 0u);
  EXPECT_EQ(status, CNVERR_FAILED);
  EXPECT_EQ(report, 0u);
}

}  // namespace

#include <cstring>

#include "channels/thermometer.h"
#include "curves/state.h"
#include "curves/undo.h"
#include "platform/profile.h"
#include "shell/optiongroups.h"
#include "shell/settings.h"
#include "tests/channels/channels_fixture.h"

namespace tsm::testing {
namespace {

using namespace tsm::channels;

class ThermometerTest : public ChannelsTest {
 protected:
  ThermometerTest() {
    ResetThermometer();
    curves::ResetCurvesState();
  }
  ~ThermometerTest() override {
    ResetThermometer();
    curves::ResetCurvesState();
    shell::ResetSettingsState();
    shell::ResetOptionGroups();
  }
  static void Table(std::vector<CalibrationEntry> e) { SetCalibrationTable(std::move(e), "t.t"); }
  static void TR(float sensorCurrent) {
    GetThermometerSettings().tr = 1;
    GetThermometerSettings().sensorCurrent = sensorCurrent;
  }
  std::vector<platform::UiCall> Boxes() { return ui->MessageBoxes(); }
};

TEST_F(ThermometerTest, ResistanceTableInterpolatesBetweenItsEntries) {
  Table({{4.2f, 1000}, {300, 100}});
  TR(1e-6f);
  // 0.0005 V / 1e-6 A = 500 Ohm.
  EXPECT_NEAR(TemperatureFromVolts(0.0005), 4.2 + 295.8 * 500 / 900, 1e-3);
  EXPECT_NEAR(TemperatureFromVolts(0.0005), 168.5, 0.05);
  EXPECT_EQ(TemperatureFromVolts(0.002), kInterpErr);  // 2000 Ohm: not extrapolated
  EXPECT_EQ(TemperatureFromVolts(-0.0005), kInterpErr);
  GetThermometerSettings().useAbsV = 1;
  EXPECT_NEAR(TemperatureFromVolts(-0.0005), 168.53, 0.01);
}

TEST_F(ThermometerTest, EntryEqualToXAnswersFromTheFirstEnclosingPair) {
  Table({{10, 1}, {20, 2}, {30, 3}, {5, 3}, {6, 3}});
  EXPECT_FLOAT_EQ(InterpolateTemperature(1), 10);
  EXPECT_FLOAT_EQ(InterpolateTemperature(2), 20);  // pair (1, 2), not (2, 3)
  EXPECT_FLOAT_EQ(InterpolateTemperature(3), 30);
  Table({{5, 7}, {6, 7}});  // a flat pair gives its first T, not 0/0
  EXPECT_FLOAT_EQ(InterpolateTemperature(7), 5);
  Table({{5, 7}});
  EXPECT_EQ(InterpolateTemperature(7), kInterpErr);  // one entry encloses nothing
}

TEST_F(ThermometerTest, ZeroSensorCurrentIsNoTemperature) {
  Table({{0, -1e30f}, {1, 1e30f}});
  TR(0);
  EXPECT_EQ(TemperatureFromVolts(0), kInterpErr);  // 0/0
}

TEST_F(ThermometerTest, TemperatureMeasuresTheFirstTSensorVoltage) {
  EXPECT_EQ(Temperature(), kNoTSensor);
  EXPECT_EQ(FormatTemperature(Temperature()), "V not def");
  UseScriptedDriver();
  DefineVoltage(2, kPositive, 0, 1);
  DefineVoltage(5, kTSensor, 0, 3);
  DefineVoltage(9, kTSensor, 0, 4);
  Table({{0, -10}, {100, 10}});  // T = 50 + 5 V
  driver.readings.push_back(Slot3Driver(40000));
  const double volts = ReadingToVolts(5, 40000);
  EXPECT_NEAR(Temperature(), 50 + 5 * volts, 1e-3);
  EXPECT_EQ(driver.inputReads, 1);
}

TEST_F(ThermometerTest, TemperatureTexts) {
  EXPECT_EQ(FormatTemperature(168.53333), "  168.533 K");
  EXPECT_EQ(FormatTemperature(0), "    0.000 K");
  EXPECT_EQ(FormatTemperature(-1), "V not def");
  EXPECT_EQ(FormatTemperature(-2), "InterpErr");
  EXPECT_EQ(FormatTemperature(-3), "err ???");
  char text[13];
  EXPECT_TRUE(FormatTemperature(4.2, text, sizeof text));
  EXPECT_STREQ(text, "    4.200 K");
  char small[6];
  FormatTemperature(4.2, small, sizeof small);
  EXPECT_TRUE(platform::HasAssertion("size > 12", "termo"));
  EXPECT_EQ(std::strlen(small), 5u);
}

TEST_F(ThermometerTest, FileWithCommentsBlankAndGarbageLines) {
  const std::string path = dir.Write(
      "cal.t",
      "; calibration of sensor 7\r\n"
      "# T  R\r\n"
      "\r\n"
      "4.2\t1000\r\n"
      "  \t \r\n"
      "; between the entries\n"
      "77 300 extra text\n"
      "garbage line\n"
      "12 abc\n"
      "1e999 5\n"
      "nan 4\n"
      "300 100");  // no line end at the end of the file
  EXPECT_EQ(LoadCalibration(path), 3u);
  const auto t = CalibrationTable();
  ASSERT_EQ(t.size(), 3u);
  EXPECT_FLOAT_EQ(t[0].t, 4.2f);
  EXPECT_FLOAT_EQ(t[0].x, 1000);
  EXPECT_FLOAT_EQ(t[1].t, 77);
  EXPECT_FLOAT_EQ(t[2].x, 100);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(ThermometerTest, LongLinesAreCutAndDoNotBecomeEntries) {
  std::string text = "10 20 " + std::string(5000, 'x') + " 99 99\n";
  text += std::string(3000, '7') + "\n";  // one number, far too large
  text += "30 40\n";
  const std::string path = dir.Write("long.t", text);
  // The tail of the first line ("... 99 99") is dropped, not read as a line.
  ASSERT_EQ(LoadCalibration(path), 2u);
  const auto t = CalibrationTable();
  EXPECT_FLOAT_EQ(t[0].t, 10);
  EXPECT_FLOAT_EQ(t[0].x, 20);
  EXPECT_FLOAT_EQ(t[1].t, 30);
}

TEST_F(ThermometerTest, MoreThan1024EntriesAreCutWithAMessage) {
  std::string text;
  for (int i = 0; i < 1024; ++i) text += std::to_string(i) + " " + std::to_string(2 * i) + "\n";
  const std::string exact = dir.Write("exact.t", text);
  EXPECT_EQ(LoadCalibration(exact), 1024u);
  EXPECT_TRUE(Boxes().empty());  // exactly 1024 is not "larger than 1024"

  text += "; more\n";
  for (int i = 0; i < 100000; ++i) text += "5000 1\n";
  const std::string huge = dir.Write("huge.t", text);
  EXPECT_EQ(LoadCalibration(huge), 1024u);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].text, kTooManyEntriesText);
  EXPECT_EQ(Boxes()[0].caption, "Loading calibration curve");
  EXPECT_EQ(Boxes()[0].type & platform::MB_ICONMASK, platform::MB_ICONINFORMATION);
  EXPECT_FLOAT_EQ(CalibrationTable().back().t, 1023);
}

TEST_F(ThermometerTest, MissingFileEmptiesTheTableAndNulReadsNothingQuietly) {
  Table({{1, 2}, {3, 4}});
  EXPECT_EQ(LoadCalibration(dir.File("absent.t")), 0u);
  EXPECT_EQ(CalibrationCount(), 0u);
  EXPECT_EQ(LoadCalibration(dir.Path().string()), 0u);  // a directory
  ASSERT_EQ(Boxes().size(), 2u);
  EXPECT_EQ(Boxes()[0].text, "Can not open temperature curve file");
  EXPECT_EQ(Boxes()[0].caption, "TermoInit Error");
  EXPECT_EQ(Boxes()[0].type & platform::MB_ICONMASK, platform::MB_ICONHAND);
  EXPECT_EQ(LoadCalibration("NUL"), 0u);
  EXPECT_EQ(Boxes().size(), 2u);
}

// A FIFO would block the reader, /dev/zero never end its first line: both
// are refused as files that cannot be opened, also when the settings name
// them at start-up.
TEST_F(ThermometerTest, AFifoOrADeviceIsRefusedBeforeItBlocks) {
  const std::string fifo = dir.File("pipe.t");
  MakeFifo(fifo);
  const std::string settings = dir.Write("tsm.ini", "[TermoMeter]\nFileName=/dev/zero\n");
  for (const std::string& path : {fifo, std::string("/dev/zero")}) {
    SCOPED_TRACE(path);
    ui->Clear();
    Table({{1, 2}, {3, 4}});
    std::uint32_t count = 99;
    EXPECT_TRUE(ReturnsWithin(std::chrono::seconds(10), [&] { count = LoadCalibration(path); },
                              [&] { UnblockFifo(fifo); }));
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(CalibrationCount(), 0u);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text, "Can not open temperature curve file");
  }
  ui->Clear();
  EXPECT_TRUE(ReturnsWithin(std::chrono::seconds(10), [&] { LoadThermometerOptions(settings); },
                            [] {}));
  EXPECT_EQ(GetThermometerSettings().fileName, std::string("/dev/zero"));
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].caption, "TermoInit Error");
}

TEST_F(ThermometerTest, CalibrationCurveReplacesTheFamilyAfterTheUndoCopy) {
  EXPECT_EQ(ShowCalibrationCurve(), 0);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].text, kNoCurveText);
  EXPECT_EQ(Boxes()[0].caption, "Error");

  curves::CurrentFamily().SetCount(2);
  curves::CurrentFamily().Curve(0).Append(1, 1);
  const std::string path = dir.Write("c.t", "4.2 1000\n300 100\n");
  LoadCalibration(path);
  TR(1e-6f);
  ASSERT_EQ(ShowCalibrationCurve(), 1);
  const curves::CurveFamily& f = curves::CurrentFamily();
  ASSERT_EQ(f.Count(), 1u);
  EXPECT_STREQ(f.Curve(0).Name(), "T calibration curve");
  ASSERT_EQ(f.Curve(0).Count(), 2u);
  EXPECT_STREQ(f.UnitX(), "K");
  EXPECT_STREQ(f.UnitY(), "Ohm");
  EXPECT_EQ(std::string(f.Comment()), "File:\r\n" + path);
  EXPECT_TRUE(curves::UndoAvailable());
  EXPECT_EQ(curves::UndoFamily().Count(), 2u);
}

TEST_F(ThermometerTest, DialogBrowsesEnablesTheCurrentForTRAndReportsTheEntries) {
  const std::string path = dir.Write("sensor.t", "1 1\n2 2\n3 3\n");
  shell::SetSettingsFileName(dir.File("tsm.ini"));
  ui->PushFile(path);
  ui->PushDialog([&](platform::DialogModel& d) {
    EXPECT_FALSE(d.IsEnabled(kIdSensorCurrent));  // T(V) at start
    d.Command(kIdBrowse);
    EXPECT_EQ(d.GetText(kIdFileName), path);
    d.SetCheck(kIdTableType, 0);
    d.SetCheck(kIdTableTypeTR, 1);
    d.Command(kIdTableTypeTR);
    EXPECT_TRUE(d.IsEnabled(kIdSensorCurrent));
    d.SetText(kIdSensorCurrent, "1e-5");
    d.Command(platform::IDOK);
  });
  EXPECT_EQ(RunThermometerDialog(nullptr), 1);
  const auto opens = ui->CallsOf(platform::UiCall::Kind::OpenFile);
  ASSERT_EQ(opens.size(), 1u);
  EXPECT_EQ(GetThermometerSettings().tr, 1u);
  EXPECT_FLOAT_EQ(GetThermometerSettings().sensorCurrent, 1e-5f);
  EXPECT_EQ(CalibrationCount(), 3u);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].text, "3 entries were read from file \n" + path);
  EXPECT_EQ(Boxes()[0].caption, "Information");

  const shell::InfoTable info = ThermometerInfoTable();
  EXPECT_EQ(info.title, "Termometer Options");
  EXPECT_EQ(info.Find("Type of calibration table")->values[0], "T(R)");
  EXPECT_EQ(info.Find("Current through the T-sensor (A)")->values[0], "1E-05");
}

TEST_F(ThermometerTest, LoadingTheGroupReadsTheCalibrationFile) {
  RegisterThermometerOptionGroup();
  const std::string ini = dir.File("tsm.ini");
  const std::string path = dir.Write("g.t", "1 1\n2 2\n");
  platform::WritePrivateProfileStringA("TermoMeter", "FileName", path.c_str(), ini.c_str());
  platform::WritePrivateProfileStringA("TermoMeter", "T(R)?", "1", ini.c_str());
  platform::WritePrivateProfileStringA("TermoMeter", "SensorCurrent", "2E-06", ini.c_str());
  EXPECT_EQ(shell::LoadOptionGroup(shell::OptionGroupId::Thermometer, ini), 1);
  EXPECT_EQ(CalibrationCount(), 2u);
  EXPECT_EQ(GetThermometerSettings().tr, 1u);
  EXPECT_FLOAT_EQ(GetThermometerSettings().sensorCurrent, 2e-6f);
  EXPECT_TRUE(Boxes().empty());

  const std::string out = dir.File("out.ini");
  shell::SaveOptionGroup(shell::OptionGroupId::Thermometer, out);
  const std::string text = TempDir::Read(out);
  EXPECT_NE(text.find("UseAbsV=0"), std::string::npos);
  EXPECT_NE(text.find("FileName=" + path), std::string::npos);
}

}  // namespace
}  // namespace tsm::testing

// Choosing the driver on the command line, and the whole program over the
// real-card backend with the fake comedi device in place of comedilib: the
// "-cards" inventory, the card check without a device, a V(I) sweep of the
// loopback and a turbo reading.
#include <cmath>
#include <stdexcept>

#include "app/cards_command.h"
#include "app/driver_choice.h"
#include "app/startup.h"
#include "channels/virtual_channels_settings.h"
#include "curves/state.h"
#include "measure/description.h"
#include "measure/ivc_options.h"
#include "measure/measure_dialog.h"
#include "measure/state.h"
#include "shell/errors.h"
#include "shell/settings.h"
#include "tests/app/app_fixture.h"
#include "tests/channels/channels_fixture.h"
#include "tests/comedi/comedi_fixture.h"
#include "tests/support/fake_comedi.h"

namespace tsm::app {
namespace {

using tsm::testing::FakeComediDevice;
using tsm::testing::FakeComediLibrary;

struct Exit : std::runtime_error {
  Exit(int code, const std::string& text) : std::runtime_error(text), code(code) {}
  int code;
};

class DriverSwitchTest : public testing::AppTest {
 protected:
  DriverSwitchTest() { shell::SetFatalHook([](int code, const std::string& text) { throw Exit(code, text); }); }
  ~DriverSwitchTest() override {
    shell::SetFatalHook(nullptr);
    ResetDriverChoice();
  }
  static void Parse(std::vector<const char*> args) {
    args.insert(args.begin(), "tesmira");
    shell::ParseArgv(static_cast<int>(args.size()), args.data());
  }
};

TEST_F(DriverSwitchTest, TheEmulationIsTheDefaultAndComediIsChosenByName) {
  Parse({});
  EXPECT_EQ(DriverFromCommandLine(), DriverKind::kEmulated);
  Parse({"-driver:emulated", "-cards"});
  EXPECT_EQ(DriverFromCommandLine(), DriverKind::kEmulated);
  Parse({"/driver:comedi"});
  EXPECT_EQ(DriverFromCommandLine(), DriverKind::kComedi);

  Parse({"-driver:Comedi"});
  try {
    DriverFromCommandLine();
    FAIL() << "no exit";
  } catch (const Exit& e) {
    EXPECT_EQ(e.code, 4);
    EXPECT_STREQ(e.what(), "Invalid -driver: parameter -- \"Comedi\" is neither emulated nor comedi\n");
  }
}

TEST_F(DriverSwitchTest, InstallingTheEmulationLeavesATestsDriverAlone) {
  tsm::testing::ScriptedDriver scripted;
  daq::SetDriver(&scripted);
  InstallDriver(DriverKind::kEmulated);
  EXPECT_EQ(&daq::GetDriver(), &scripted);
  EXPECT_EQ(DriverReportLines(), "");
  InstallDriver(DriverKind::kComedi, std::make_unique<FakeComediLibrary>());
  EXPECT_NE(&daq::GetDriver(), &scripted);
  InstallDriver(DriverKind::kEmulated);
  EXPECT_EQ(&daq::GetDriver(), &daq::DefaultEmulatedDriver());
  daq::SetDriver(nullptr);
}

TEST_F(DriverSwitchTest, CardsPrintsTheDevicesInventoryAndWhichBoardItIs) {
  auto library = std::make_unique<FakeComediLibrary>();
  library->AddDevice("/dev/comedi0");
  InstallDriver(DriverKind::kComedi, std::move(library));
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(RunCardsCommand(dir.Path().string() + "/"), 0);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(),
            std::string(tsm::testing::kFakeComediInventory) +
                tsm::testing::kFakeComediDeviceLines);
  daq::ResetCards();
}

// Without a device the program stops at the card check as it does without
// cards, and the report says that no comedi device was found.
TEST_F(DriverSwitchTest, WithoutADeviceTheCardCheckSaysSo) {
  InstallDriver(DriverKind::kComedi, std::make_unique<FakeComediLibrary>());
  Parse({"-driver:comedi"});
  shell::SetProgramDirectory(dir.Path().string() + "/");
  EXPECT_FALSE(RunWindowCreation(window));
  const auto boxes = ui->MessageBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].caption, kNoCardsCaption);
  EXPECT_NE(boxes[0].text.find("[x] no DACs\n[x] no ADCs"), std::string::npos);
  EXPECT_EQ(boxes[1].caption, kCardReportCaption);
  EXPECT_EQ(boxes[1].text,
            "Get_Zentra_Version() failed\n\n"
            "No comedi device found (/dev/comedi0 to /dev/comedi15): No such file or "
            "directory.\n");
}

// The program measuring through the backend: the cards detected from the
// fake device and the channels of examples/loopback.ini.
class ComediMeasureTest : public tsm::testing::ChannelsTest {
 protected:
  ComediMeasureTest() {
    auto library = std::make_unique<FakeComediLibrary>();
    fake = library->AddDevice("/dev/comedi0");
    InstallDriver(DriverKind::kComedi, std::move(library));
    EXPECT_EQ(Detect(dir), 0);
    channels::BindVirtualChannels();
    measure::ResetMeasureState();
    measure::ResetIVCOptions();
    curves::ResetCurvesState();
    shell::ResetSettingsState();
    // The README's example: Sweep1 on output 0 through 1000 Ohm, the
    // voltage on input 0.
    channels::LoadVirtualChannels(std::string(TESMIRA_SOURCE_DIR) + "/examples/loopback.ini");
  }
  ~ComediMeasureTest() override {
    ResetDriverChoice();
    measure::ResetMeasureState();
    measure::ResetIVCOptions();
    curves::ResetCurvesState();
  }

  FakeComediDevice* fake = nullptr;
};

TEST_F(ComediMeasureTest, AVISweepOfTheLoopbackIsTheStraightLineOfTheResistance) {
  measure::SweepRange& r = *measure::Range(measure::RangeId::SharedVI);
  r.start = 0;
  r.stop = 65535;
  r.step = 1024;
  r.twoDirections = false;
  ASSERT_EQ(measure::RunMeasurement(measure::Mode::IVC, nullptr), 1);
  EXPECT_TRUE(ui->MessageBoxes().empty());
  const curves::Curve& c = curves::CurrentFamily().Curve(0);
  ASSERT_EQ(c.Count(), 65535u / 1024 + 1);
  const double oneCode = 20.0 / 65535;
  for (std::uint32_t i = 0; i < c.Count(); ++i) {
    const curves::CurvePoint p = c.Point(i);
    EXPECT_NEAR(p.x, (-10.0 + i * 1024 * oneCode) / 1000.0, 1e-7) << i;
    EXPECT_NEAR(p.y, p.x * 1000.0, oneCode) << i;  // volts in = volts out
  }
  // The current ends where it started: the card's zero, 0 V on the output.
  EXPECT_EQ(fake->OutputSample(0), 32768u);
}

TEST_F(ComediMeasureTest, ATurboReadingAveragesTheKnownWaveform) {
  channels::AveragingSettings& a = channels::GetAveragingSettings();
  a.turbo = true;
  a.sampleRate = 100000.0f;
  a.voltageSamples = 64;
  a.voltageTrim = 0;
  ASSERT_TRUE(channels::ResizeAveragingArray());
  // Scans 0..63 of input 0: samples 0, 256, ..., 16128; their mean 8064.
  const channels::VoltageReading v = channels::MeasureVoltage(0);
  EXPECT_EQ(channels::TA_VStatus(), 0);
  EXPECT_EQ(v.mean, 8064);
  EXPECT_NEAR(v.volts, -10.0 + 20.0 * 8064 / 65535, 1e-9);
  const daq::comedi::Command cmd = fake->StartedCommands().back();
  EXPECT_EQ(cmd.stopArg, 64u);
  EXPECT_EQ(cmd.scanBeginArg, 10000u);
}

}  // namespace
}  // namespace tsm::app

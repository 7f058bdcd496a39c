// The real-card backend against the fake device: what detection finds, the
// single readings and writes of the loopback, the timed acquisitions and
// every failure with its status, its detail and the reporter's message.
#include <cerrno>
#include <chrono>

#include "daq/cards.h"
#include "daq/comedi/comedi_status.h"
#include "daq/status_report.h"
#include "tests/comedi/comedi_fixture.h"

namespace tsm::testing {
namespace {

namespace dc = daq::comedi;
using Clock = std::chrono::steady_clock;

class ComediDriverTest : public ComediTest {};

TEST_F(ComediDriverTest, DetectionFindsTheChannelsBitsAndRangesOfTheDevice) {
  TempDir dir;
  EXPECT_EQ(Detect(dir), 0);
  EXPECT_EQ(report, kFakeComediInventory);
  ASSERT_EQ(daq::AdcCardCount(), 1);
  ASSERT_EQ(daq::DacCardCount(), 1);
  EXPECT_EQ(daq::AdcCardAt(0)->zeroShift, 32768);
  EXPECT_EQ(daq::DacCardAt(0)->zeroCode, 32768);
  EXPECT_EQ(driver->DeviceReport(), kFakeComediDeviceLines);
}

// A program built with TESMIRA_COMEDI=OFF has no library to open devices.
TEST(ComediWithoutLibrary, NoSlotHoldsADeviceAndTheReportSaysWhy) {
  dc::ComediDriver driver(nullptr);
  std::uint32_t value = 0;
  EXPECT_EQ(driver.Get_Zentra_Version(&value), dc::kNoDevice);
  EXPECT_EQ(driver.Device_Query(1, daq::kAttributeCardType, &value), dc::kNoDevice);
  EXPECT_EQ(driver.LastErrorDetail(), "/dev/comedi0: this program was built without comedilib");
  EXPECT_FALSE(driver.AnyDevice());
  EXPECT_EQ(driver.DeviceReport(),
            "No comedi device found (/dev/comedi0 to /dev/comedi15): this program was built "
            "without comedilib.\n");
}

TEST_F(ComediDriverTest, TypeCodesAreStablePerBoardModelAndClearOfTheKnownCards) {
  std::uint32_t code = 0;
  ASSERT_EQ(driver->Device_Query(1, daq::kAttributeCardType, &code), 0);
  EXPECT_EQ(code, dc::BoardTypeCode("comedi_test", "comedi_test"));
  EXPECT_GE(code, 0x80000000u);
  EXPECT_NE(dc::BoardTypeCode("acme_daq", "model-16"), dc::BoardTypeCode("acme_daq", "model-12"));
  EXPECT_EQ(driver->Device_Query(1, 15301, &code), dc::kBadValue);
  // The other slots hold nothing; slot numbers outside 1..16 name nothing.
  EXPECT_EQ(driver->Device_Query(2, daq::kAttributeCardType, &code), dc::kNoDevice);
  EXPECT_EQ(driver->LastErrorDetail(), "/dev/comedi1: No such file or directory");
  EXPECT_EQ(driver->Device_Query(0, daq::kAttributeCardType, &code), dc::kNoDevice);
  EXPECT_EQ(driver->Device_Query(17, daq::kAttributeCardType, &code), dc::kNoDevice);
  std::int16_t s = 0;
  std::int32_t id = 0;
  EXPECT_EQ(driver->Chassis_Query(1, &s, &s, &s, &s, &s), dc::kNoDevice);
  EXPECT_EQ(driver->Module_Query(1, 1, &id), dc::kNoDevice);
  EXPECT_EQ(driver->Module_Output_Op(1, 1, 0, 1, 5, 0, 0, 0, &id), dc::kNoDevice);
}

TEST_F(ComediDriverTest, ScalingRefusesWhatDetectionProbesFor) {
  double v = 0;
  ASSERT_EQ(driver->Input_Scale(1, 7, 1, 1.0, 0.0, 32767, &v), 0);
  EXPECT_DOUBLE_EQ(v, 10.0);
  ASSERT_EQ(driver->Input_Scale(1, 0, 2, 1.0, 0.0, -32768, &v), 0);
  EXPECT_DOUBLE_EQ(v, -5.0);  // gain 2: the +-5 V range
  EXPECT_EQ(driver->Input_Scale(1, 8, 1, 1.0, 0.0, 0, &v), dc::kBadChannel);
  EXPECT_EQ(driver->Input_Scale(1, -1, 1, 1.0, 0.0, 0, &v), dc::kBadChannel);
  EXPECT_EQ(driver->Input_Scale(1, 0, 10, 1.0, 0.0, 0, &v), dc::kBadValue);
  EXPECT_EQ(driver->LastErrorDetail(),
            "/dev/comedi0: no range of analogue input channel 0 matches gain code 10");
  std::int16_t code = 0;
  ASSERT_EQ(driver->Output_Scale(1, 0, 10.0, &code), 0);
  EXPECT_EQ(code, 32767);
  ASSERT_EQ(driver->Output_Scale(1, 0, 0.0, &code), 0);
  EXPECT_EQ(code, 0);
  EXPECT_EQ(driver->Output_Scale(1, 0, 10.001, &code), dc::kBadValue);
  EXPECT_EQ(driver->Output_Scale(1, 8, 0.0, &code), dc::kBadChannel);
  EXPECT_EQ(driver->Input_Scale_Buffer(1, 0, 1, 1.0, 0.0, 0, nullptr, &v), dc::kNotOffered);
}

TEST_F(ComediDriverTest, ASingleReadingAnswersTheLastCodeWrittenToTheSameChannel) {
  std::int16_t r = 0;
  ASSERT_EQ(driver->Input_Read(1, 3, 1, &r), 0);
  EXPECT_EQ(r, 0);  // the fake's outputs start at 0 V
  for (int code : {-32768, -12345, 1, 32767}) {
    ASSERT_EQ(driver->Output_Write(1, 3, static_cast<std::int16_t>(code)), 0);
    ASSERT_EQ(driver->Input_Read(1, 3, 1, &r), 0);
    EXPECT_EQ(r, code);
  }
  EXPECT_EQ(fake->OutputSample(3), 65535u);
  ASSERT_EQ(driver->Input_Read(1, 2, 1, &r), 0);
  EXPECT_EQ(r, 0);
  EXPECT_EQ(driver->Output_Write(1, 8, 0), dc::kBadChannel);
  EXPECT_EQ(driver->Input_Read(1, 8, 1, &r), dc::kBadChannel);
  EXPECT_EQ(driver->Input_Read(2, 0, 1, &r), dc::kNoDevice);
}

TEST_F(ComediDriverTest, SettlingFollowsTheDelayBeforeTheVoltageUpToTheKernelsLimit) {
  std::int16_t r = 0;
  ASSERT_EQ(driver->Input_Read(1, 0, 1, &r), 0);
  EXPECT_EQ(fake->LastSettlingNs(), 0u);
  settlingMs = 5;
  ASSERT_EQ(driver->Input_Read(1, 0, 1, &r), 0);
  EXPECT_EQ(fake->LastSettlingNs(), dc::kMaxSettlingNs);
}

TEST_F(ComediDriverTest, LibraryFailuresCarryTheCallAndTheLibrarysMessage) {
  fake->FailCall("comedi_data_read_delayed", EIO);
  std::int16_t r = 0;
  EXPECT_EQ(driver->Input_Read(1, 0, 1, &r), dc::kLibraryError);
  EXPECT_EQ(driver->LastErrorDetail(),
            "/dev/comedi0: comedi_data_read_delayed: Input/output error");
  fake->FailCall("comedi_data_write", EBUSY);
  EXPECT_EQ(driver->Output_Write(1, 0, 0), dc::kLibraryError);
  EXPECT_EQ(driver->LastErrorDetail(),
            "/dev/comedi0: comedi_data_write: Device or resource busy");
  fake->FailCall("comedi_get_version_code", EIO);
  std::uint32_t version = 0;
  EXPECT_EQ(driver->Get_Zentra_Version(&version), dc::kLibraryError);
}

TEST_F(ComediDriverTest, ATimedReadingDeliversTheKnownWaveform) {
  std::vector<std::int16_t> buffer(600, 0x5555);
  ASSERT_EQ(driver->Timeout_Config(1, 545), 0);
  ASSERT_EQ(driver->DAQ_Op(1, 2, 1, buffer.data(), 500, 100000.0), 0);
  for (std::uint32_t i = 0; i < 500; ++i)
    ASSERT_EQ(buffer[i], static_cast<std::int16_t>(FakeComediDevice::TimedSample(2, i) - 32768))
        << i;
  EXPECT_EQ(buffer[500], 0x5555);  // nothing beyond the count
  const auto started = fake->StartedCommands();
  ASSERT_EQ(started.size(), 1u);
  EXPECT_EQ(started[0].stopSrc, dc::kTrigCount);
  EXPECT_EQ(started[0].stopArg, 500u);
  EXPECT_EQ(started[0].scanBeginArg, 10000u);
  EXPECT_EQ(dc::PackedChannel(started[0].chanlist.at(0)), 2u);

  // Several channels come interleaved; a rate the clock cannot make is
  // adjusted by the command test and the reading goes on.
  const std::int16_t channels[] = {5, 1};
  const std::int16_t gains[] = {1, 2};
  ASSERT_EQ(driver->SCAN_Op(1, 2, channels, gains, buffer.data(), 40, 300000.0, 150000.0), 0);
  for (std::uint32_t i = 0; i < 40; ++i) {
    const unsigned ch = i % 2 == 0 ? 5 : 1;
    ASSERT_EQ(buffer[i], static_cast<std::int16_t>(FakeComediDevice::TimedSample(ch, i / 2) -
                                                   32768))
        << i;
  }
  const dc::Command scan = fake->StartedCommands().back();
  EXPECT_EQ(scan.scanBeginArg, 7000u);  // 6667 ns up to the fake clock's 1 us
  EXPECT_EQ(dc::PackedRange(scan.chanlist.at(1)), 1u);
  EXPECT_EQ(driver->SCAN_Op(1, 2, channels, gains, buffer.data(), 41, 1000.0, 500.0),
            dc::kBadValue);
}

TEST_F(ComediDriverTest, TimedReadingsEndWithinTheirTimeOutAndReportWhy) {
  std::vector<std::int16_t> buffer(100);
  // A device that stops delivering: the time-out of two ticks (110 ms).
  fake->StallInput(true);
  ASSERT_EQ(driver->Timeout_Config(1, 2), 0);
  const auto start = Clock::now();
  EXPECT_EQ(driver->DAQ_Op(1, 0, 1, buffer.data(), 100, 100000.0), dc::kTimedOut);
  const auto took = Clock::now() - start;
  EXPECT_GE(took, std::chrono::milliseconds(100));
  EXPECT_LT(took, std::chrono::seconds(3));
  EXPECT_EQ(driver->LastErrorDetail(), "/dev/comedi0: 0 of 100 samples within 110 ms");
  EXPECT_GE(fake->Cancels(), 1);  // the acquisition does not run on
  fake->StallInput(false);

  fake->EndInputAfter(30);
  EXPECT_EQ(driver->DAQ_Op(1, 0, 1, buffer.data(), 100, 100000.0), dc::kDataLost);
  EXPECT_EQ(driver->LastErrorDetail(), "/dev/comedi0: the acquisition ended after 30 of 100 samples");
  fake->EndInputAfter(0);

  fake->FailCall("read", EPIPE);  // the buffer overflowed
  EXPECT_EQ(driver->DAQ_Op(1, 0, 1, buffer.data(), 100, 100000.0), dc::kDataLost);
  fake->FailCall("read", 0);

  fake->FailCall("comedi_command", EBUSY);
  EXPECT_EQ(driver->DAQ_Op(1, 0, 1, buffer.data(), 100, 100000.0), dc::kLibraryError);
  fake->FailCall("comedi_command", 0);

  fake->RefuseCommands(2);
  EXPECT_EQ(driver->DAQ_Op(1, 0, 1, buffer.data(), 100, 100000.0), dc::kNotOffered);
  EXPECT_EQ(driver->LastErrorDetail(),
            "/dev/comedi0: comedi_command_test refused the command (stage 2)");
  fake->RefuseCommands(0);

  EXPECT_EQ(driver->DAQ_Op(1, 0, 1, buffer.data(), 0, 1000.0), dc::kBadValue);
  EXPECT_EQ(driver->DAQ_Op(1, 0, 1, buffer.data(), 10, 0.0), dc::kBadValue);
  EXPECT_EQ(driver->DAQ_Op(1, 0, 1, buffer.data(), 10, 1e-3), dc::kBadValue);  // period too long
  EXPECT_EQ(driver->Timeout_Config(0, 1), dc::kNoDevice);
  EXPECT_EQ(driver->Timeout_Config(1, -2), dc::kBadValue);
}

TEST_F(ComediDriverTest, ADeviceWithoutTimedCommandsRefusesThemAsNotOffered) {
  fake->SetNoCommands();
  EXPECT_NE(driver->DeviceReport().find("-5..5 V; not timed\n"), std::string::npos);
  std::vector<std::int16_t> buffer(10);
  EXPECT_EQ(driver->DAQ_Op(1, 0, 1, buffer.data(), 10, 1000.0), dc::kNotOffered);
  EXPECT_EQ(driver->LastErrorDetail(), "/dev/comedi0: the analogue input has no timed acquisition");
  const std::int16_t ch = 0;
  EXPECT_EQ(driver->WFM_Op(1, 1, &ch, buffer.data(), 10, 0, 1000.0), dc::kNotOffered);
  // Single readings go on as before.
  std::int16_t r = 0;
  EXPECT_EQ(driver->Input_Read(1, 0, 1, &r), 0);
}

// What the user sees of a failure: the reporter's box with the status, the
// detail beside the label and the table's description of the status.
TEST_F(ComediDriverTest, TheReporterShowsTheStatusWithItsDetailAndDescription) {
  fake->StallInput(true);
  ASSERT_EQ(driver->Timeout_Config(1, 1), 0);
  std::vector<std::int16_t> buffer(10);
  const daq::DriverStatus status = driver->DAQ_Op(1, 0, 1, buffer.data(), 10, 1000.0);
  EXPECT_FALSE(daq::ReportDriverStatus(daq::ReportedOp::kDaqOp, status));
  const auto boxes = ui->MessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "Zentra error");
  EXPECT_EQ(boxes[0].text,
            "[DAQ_Op(..) -- /dev/comedi0: 0 of 10 samples within 55 ms] returned Zentra error "
            "-10800.\n\nThe operation could not complete within the time limit.\n\nContinue?");

  // Every status the backend answers has its description.
  for (daq::DriverStatus s : {dc::kBadValue, dc::kNoDevice, dc::kBadChannel, dc::kNotOffered,
                              dc::kLibraryError, dc::kTimedOut, dc::kDataLost}) {
    daq::ReportDriverStatus(daq::ReportedOp::kScanOp, s);
    EXPECT_EQ(ui->MessageBoxes().back().caption, "Zentra error") << s;
  }
}

}  // namespace
}  // namespace tsm::testing

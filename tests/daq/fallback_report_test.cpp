// The -10403 fallbacks to the buffer forms, gain codes, and the reporting of
// fast-sampling and waveform statuses through ZentraErrorHandler.
#include <gtest/gtest.h>

#include <cmath>

#include "daq/gain_code.h"
#include "daq/input_fallback.h"
#include "daq/status_report.h"
#include "tests/daq/daq_fixture.h"

namespace tsm::daq {
namespace {

using testing::DaqTest;
using platform::IDNO;
using platform::MB_ICONEXCLAMATION;
using platform::MB_OK;
using platform::MB_YESNO;

// Offers only the buffer forms of reading and scaling.
class BufferOnlyDriver : public EmulatedDriver {
 public:
  DriverStatus daqStatus = kStatusOk;
  std::int16_t daqSlot = 0, daqChannel = 0, daqGain = 0;
  std::uint32_t daqCount = 0;
  double daqRate = 0;
  std::vector<std::int32_t> words;

  DriverStatus Input_Read(std::int16_t, std::int16_t, std::int16_t, std::int16_t*) override {
    return kStatusUseBufferForm;
  }
  DriverStatus DAQ_Op(std::int16_t slot, std::int16_t channel, std::int16_t gain,
                      std::int16_t* buffer, std::uint32_t count, double rate) override {
    daqSlot = slot;
    daqChannel = channel;
    daqGain = gain;
    daqCount = count;
    daqRate = rate;
    for (std::uint32_t i = 0; i < count; ++i) buffer[i] = static_cast<std::int16_t>(100 + i);
    return daqStatus;
  }
  DriverStatus Input_Scale(std::int16_t, std::int16_t, std::int16_t, double, double,
                           std::int16_t, double*) override {
    return kStatusUseBufferForm;
  }
  DriverStatus Input_Scale_Buffer(std::int16_t, std::int16_t, std::int16_t, double, double,
                                  std::uint32_t count, const std::int32_t* readings,
                                  double* volts) override {
    words.assign(readings, readings + count);
    volts[0] = 1.25;
    volts[1] = 99;
    return kStatusOk;
  }
};

using Fallback = DaqTest;

TEST_F(Fallback, ReadingTakesTheSecondOfFourBufferedReadings) {
  BufferOnlyDriver driver;
  SetDriver(&driver);
  std::int16_t reading = 0;
  EXPECT_EQ(InputReadWithFallback(7, 3, 10, &reading), kStatusOk);
  EXPECT_EQ(reading, 101);
  EXPECT_EQ(driver.daqSlot, 7);
  EXPECT_EQ(driver.daqChannel, 3);
  EXPECT_EQ(driver.daqGain, 10);
  EXPECT_EQ(driver.daqCount, 4u);
  EXPECT_EQ(driver.daqRate, 100000.0);

  driver.daqStatus = -10800;
  EXPECT_EQ(InputReadWithFallback(7, 3, 10, &reading), -10800);
  EXPECT_TRUE(ui->MessageBoxes().empty());  // a single reading is never a box
}

TEST_F(Fallback, ReadAdcUsesTheFallbackAndItsOtherFormDoesNot) {
  testing::TempDir dir;
  ASSERT_EQ(Detect(dir), 0);  // the emulated cards
  BufferOnlyDriver driver;
  SetDriver(&driver);
  EXPECT_EQ(ReadAdc(1, 2, 10.0f), 2048 + 101);
  EXPECT_EQ(driver.daqGain, 10);
  EXPECT_EQ(Beeps(), 0u);
  EXPECT_EQ(ReadAdcNoFallback(1, 2, 0.5f), 2048);  // -10403 is a failure there
  EXPECT_EQ(Beeps(), 1u);
}

TEST_F(Fallback, ScalingHandsTheBufferFormFourWordsOfTheReading) {
  BufferOnlyDriver driver;
  SetDriver(&driver);
  double volts = 0;
  EXPECT_EQ(InputScaleWithFallback(3, 0, 1, 1.0, 0.0, 0, &volts), kStatusOk);
  EXPECT_EQ(volts, 1.25);
  EXPECT_EQ(driver.words, (std::vector<std::int32_t>{1, 1, 0, 0}));

  EXPECT_EQ(InputScaleWithFallback(3, 0, 1, 1.0, 0.0, 0x0123, &volts), kStatusOk);
  EXPECT_EQ(driver.words, (std::vector<std::int32_t>{0x01230000, 0x01230000, 0x12300000,
                                                      0x00012300}));
  std::int32_t words[4];
  InputScaleFallbackWords(-1, words);
  EXPECT_EQ(static_cast<std::uint32_t>(words[0]), 0xFFFF0000u);
  EXPECT_EQ(static_cast<std::uint32_t>(words[1]), 0xFFFF0000u);
  EXPECT_EQ(static_cast<std::uint32_t>(words[2]), 0xFFF00000u);
  EXPECT_EQ(static_cast<std::uint32_t>(words[3]), 0xFFFFFF00u);
}

TEST(GainCode, NamedFractionsHaveCodesOtherFactorsAreTruncated) {
  EXPECT_EQ(GainCode(0.01f), -10);
  EXPECT_EQ(GainCode(0.1f), -3);
  EXPECT_EQ(GainCode(0.2f), -2);
  EXPECT_EQ(GainCode(0.5f), -1);
  EXPECT_EQ(GainCode(1), 1);
  EXPECT_EQ(GainCode(1000), 1000);
  EXPECT_EQ(GainCode(2.7f), 2);
  EXPECT_EQ(GainCode(0.3f), 0);
  EXPECT_EQ(GainCode(-20), -20);
  EXPECT_EQ(GainCode(-2.5f), -2);
  EXPECT_EQ(GainCode(0), 0);
  EXPECT_EQ(GainCode(1e9f), 32767);
  EXPECT_EQ(GainCode(-1e9f), -32768);
  EXPECT_EQ(GainCode(std::nanf("")), 0);
}

using Report = DaqTest;

TEST_F(Report, ErrorsOfFastSamplingAreShownAndFail) {
  ui->PushAnswer(IDNO);
  EXPECT_FALSE(ReportDriverStatus(ReportedOp::kDaqOp, kStatusUseBufferForm));
  const auto boxes = ui->MessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text,
            "[DAQ_Op(..)] returned Zentra error -10403.\n\nThe specified device does not "
            "support the requested action (the driver recognizes the device, but the action is "
            "inappropriate for the device).\n\nContinue?");
  EXPECT_EQ(boxes[0].caption, "Zentra error");
  EXPECT_EQ(boxes[0].type, MB_YESNO | MB_ICONEXCLAMATION);
  EXPECT_EQ(boxes[0].owner, nullptr);
}

TEST_F(Report, WarningsAreShownOnlyForWfmCheckAndCountAsSuccess) {
  EXPECT_TRUE(ReportDriverStatus(ReportedOp::kWfmPause, 5));
  EXPECT_TRUE(ReportDriverStatus(ReportedOp::kTimeoutConfig, 0));
  EXPECT_TRUE(ui->MessageBoxes().empty());
  EXPECT_TRUE(ReportDriverStatus(ReportedOp::kWfmCheck, 5));
  const auto boxes = ui->MessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text,
            "UNKNOWN ERROR: [WFM_Check] returned 5\n...please check with your Zentra "
            "Documentation.");
  EXPECT_EQ(boxes[0].caption, "Zentra");
  EXPECT_EQ(boxes[0].type, MB_OK | MB_ICONEXCLAMATION);
  EXPECT_FALSE(ReportDriverStatus(ReportedOp::kScanOp, -1));
  EXPECT_EQ(ui->MessageBoxes().back().text,
            "UNKNOWN ERROR: [SCAN_Op(..)] returned -1\n...please check with your Zentra "
            "Documentation.");
}

TEST(ReportLabels, EachOperationHasItsLabelAndFlag) {
  EXPECT_STREQ(ReportLabel(ReportedOp::kDaqOp), "DAQ_Op(..)");
  EXPECT_STREQ(ReportLabel(ReportedOp::kScanOp), "SCAN_Op(..)");
  EXPECT_STREQ(ReportLabel(ReportedOp::kTimeoutConfig), "Timeout_Config()");
  EXPECT_STREQ(ReportLabel(ReportedOp::kWfmOp), "WFM_Op()");
  EXPECT_STREQ(ReportLabel(GroupControlOp(kWfmClear)), "WFM_Group_Control(CLEAR)");
  EXPECT_STREQ(ReportLabel(GroupControlOp(kWfmPause)), "WFM_Group_Control(PAUSE)");
  EXPECT_STREQ(ReportLabel(GroupControlOp(kWfmResume)), "WFM_Group_Control(RESUME)");
  EXPECT_STREQ(ReportLabel(ReportedOp::kWfmCheck), "WFM_Check");
  EXPECT_EQ(ReportFlag(ReportedOp::kWfmCheck), 0);
  EXPECT_EQ(ReportFlag(ReportedOp::kWfmOp), 1);
  EXPECT_EQ(ReportFlag(ReportedOp::kWfmClear), 1);
}

}  // namespace
}  // namespace tsm::daq

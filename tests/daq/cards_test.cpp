// Card detection against the emulated driver, with and without "zentra.ini".
#include <gtest/gtest.h>

#include "daq/cards.h"
#include "tests/daq/daq_fixture.h"
#include "tests/daq/emulated_inventory.h"

namespace tsm::daq {
namespace {

using testing::DaqTest;
using testing::TempDir;

using testing::kEmulatedInventory;

using Cards = DaqTest;

TEST_F(Cards, EmulatedDriverGivesThreeDacAndTwoAdcCards) {
  TempDir dir;
  ASSERT_EQ(Detect(dir), 0);
  EXPECT_EQ(report, kEmulatedInventory);

  ASSERT_EQ(DacCardCount(), 3);
  const DacCard& d0 = *DacCardAt(0);
  EXPECT_EQ(d0.slot, 3);
  EXPECT_EQ(d0.typeCode, 39u);
  EXPECT_EQ(d0.chassis, 0);
  EXPECT_EQ(d0.channelCount, 2);
  EXPECT_EQ(d0.minCode, 0);
  EXPECT_EQ(d0.zeroCode, 32768);
  EXPECT_EQ(d0.maxCode, 65535);
  EXPECT_EQ(d0.zeroShift, 32768);
  EXPECT_EQ(d0.minVoltage, -10.0);
  EXPECT_EQ(d0.maxVoltage, std::nextafter(9.99969482421875, 0.0));  // just under the bound
  EXPECT_EQ(d0.name, "39");

  const DacCard& d1 = *DacCardAt(1);
  EXPECT_EQ(d1.slot, 4);
  EXPECT_EQ(d1.channelCount, 6);
  EXPECT_EQ(d1.zeroShift, 2048);
  EXPECT_EQ(d1.maxCode, 4095);
  EXPECT_EQ(d1.zeroCode, 2048);
  EXPECT_EQ(d1.minVoltage, -5.0);
  EXPECT_EQ(d1.maxVoltage, 4.99755859375);

  const DacCard& d2 = *DacCardAt(2);
  EXPECT_EQ(d2.slot, 7);
  EXPECT_EQ(d2.channelCount, 2);
  EXPECT_EQ(d2.zeroShift, 2048);
  EXPECT_EQ(d2.minVoltage, -2.0);
  EXPECT_EQ(d2.maxVoltage, 1.9990234375);
  EXPECT_EQ(DacCardAt(3), nullptr);

  ASSERT_EQ(AdcCardCount(), 2);
  const AdcCard& a0 = *AdcCardAt(0);
  EXPECT_EQ(a0.slot, 3);
  ASSERT_EQ(a0.channels.Ranges().size(), 1u);
  EXPECT_EQ(a0.channels.Ranges()[0].first, 0);
  EXPECT_EQ(a0.channels.Ranges()[0].last, 7);
  EXPECT_EQ(a0.zeroShift, 32768);
  EXPECT_EQ(a0.minReading, 0);
  EXPECT_EQ(a0.zeroReading, 32768);
  EXPECT_EQ(a0.maxReading, 65535);
  EXPECT_EQ(a0.minVoltage, -10.0);
  EXPECT_EQ(a0.maxVoltage, 9.99969482421875);
  EXPECT_EQ(a0.gains.size(), 14u);
  EXPECT_FALSE(a0.logGains);

  const AdcCard& a1 = *AdcCardAt(1);
  EXPECT_EQ(a1.slot, 7);
  EXPECT_EQ(a1.channels.Count(), 16u);
  EXPECT_EQ(a1.zeroShift, 2048);
  EXPECT_EQ(a1.maxReading, 4095);
  EXPECT_EQ(a1.zeroReading, 2048);
  EXPECT_EQ(a1.minVoltage, -10.0);
  EXPECT_EQ(a1.maxVoltage, 9.9951171875);
  EXPECT_EQ(AdcCardAt(2), nullptr);

  EXPECT_EQ(DacListText(),
            "DAC_00:id=39(39), 2 chanels\nDAC_01:id=15(15), 6 chanels\n"
            "DAC_02:id=31234(31234), 2 chanels\n");
  EXPECT_EQ(AdcListText(), "ADC_00:id=39(39), 8 chanels\nADC_01:id=31234(31234), 16 chanels\n");
  EXPECT_EQ(VersionText(), "Zentra version 0500 detected.");

  // Detecting again replaces the tables instead of adding to them.
  ASSERT_EQ(Detect(dir), 0);
  EXPECT_EQ(DacCardCount(), 3);
  EXPECT_EQ(AdcCardCount(), 2);
}

TEST_F(Cards, InventoryTextKeepsWithinItsCapacity) {
  TempDir dir;
  const std::string full = kEmulatedInventory;
  EXPECT_EQ(DetectCards(report, 40, dir.Path().string()), 0);  // no trailing separator
  EXPECT_EQ(report, full.substr(0, 39));
  EXPECT_EQ(DetectCards(report, 0, dir.Path().string()), 0);
  EXPECT_EQ(report, "");
  EXPECT_EQ(DacCardCount(), 3);  // the tables do not depend on the text
}

TEST_F(Cards, ZentraIniNamesCardsAndListsGains) {
  TempDir dir;
  dir.Write("zentra.ini",
            "[39]\r\nname=Bias and field\r\ngains=1 10 100\r\nlogGains=0\r\n"
            "[31234]\nname=Sense\ngains=1, 2;5:abc 10\n");
  ASSERT_EQ(Detect(dir), 0);
  EXPECT_NE(report.find("Slot #03: Card-ID:39, Name:Bias and field\n"), std::string::npos);
  EXPECT_NE(report.find("  Number of gains:3 (1,10,100) Scale:Lin (Source:autodetection, "
                        "zentra.ini has the same data or nothing)\n"),
            std::string::npos);
  // Parsing stops at the first word that is no number.
  EXPECT_NE(report.find("  Number of gains:3 (1,2,5) Scale:Lin (Source:autodetection, "
                        "zentra.ini has the same data or nothing)\n"),
            std::string::npos);
  EXPECT_EQ(DacCardAt(0)->name, "Bias and field");
  EXPECT_EQ(AdcCardAt(0)->name, "Bias and field");
  EXPECT_EQ(AdcCardAt(0)->gains, (std::vector<float>{1, 10, 100}));
  EXPECT_EQ(AdcCardAt(0)->gainsSource, kSourceSame);
  EXPECT_EQ(DacCardAt(2)->name, "Sense");
  EXPECT_EQ(DacListText().substr(0, 36), "DAC_00:id=39(Bias and field), 2 chan");

  EXPECT_TRUE(IsGainInList(0, 10.0f));
  EXPECT_FALSE(IsGainInList(0, 10.5f));
  EXPECT_FALSE(IsGainInList(0, 0.01f));
  EXPECT_FALSE(IsGainInList(5, 1.0f));
}

TEST_F(Cards, ListedGainZeroMakesTheListLogarithmic) {
  TempDir dir;
  dir.Write("zentra.ini", "[39]\ngains=0 20 40\n");
  ASSERT_EQ(Detect(dir), 0);
  EXPECT_TRUE(AdcCardAt(0)->logGains);
  // Autodetection found linear gains, so the file's dB list is its own.
  EXPECT_EQ(AdcCardAt(0)->gainsSource, kSourceZentraIni);
  EXPECT_NE(report.find("  Number of gains:3 (0,20,40) Scale:Log (Source:zentra.ini)\n"),
            std::string::npos);
}

TEST_F(Cards, ZentraIniReadingsAreTakenOnlyInOrder) {
  TempDir dir;
  dir.Write("zentra.ini",
            "[31234]\nADC.MinReading=0\nADC.MaxReading=4095\nADC.ZeroReading=2047\n"
            "[39]\nADC.MinReading=100\nADC.ZeroReading=100\n");
  ASSERT_EQ(Detect(dir), 0);

  const AdcCard& taken = *AdcCardAt(1);
  EXPECT_EQ(taken.readingsSource, kSourceZentraIni);
  EXPECT_EQ(taken.zeroReading, 2047);
  EXPECT_EQ(taken.zeroShift, 2048);  // not in the file: the detected one
  EXPECT_NE(report.find("  ADC:  16 channels, Reading=[0, 2047, 4095], ADC Voltage=[-10.000000, "
                        "9.995117] (Source: zentra.ini)\n"),
            std::string::npos);

  // Zero must lie strictly above the minimum: the whole override is refused.
  const AdcCard& refused = *AdcCardAt(0);
  EXPECT_EQ(refused.readingsSource, kSourceAutodetect);
  EXPECT_EQ(refused.minReading, 0);
  EXPECT_EQ(refused.zeroReading, 32768);
  EXPECT_EQ(refused.zeroShift, 32768);
  EXPECT_NE(report.find("Reading=[0, 32768, 65535], ADC Voltage=[-10.000000, 9.999695] "
                        "(Source: autodetection, zentra.ini is wrong/incomplete)\n"),
            std::string::npos);
}

TEST_F(Cards, ReadAdcAndWriteDacConvertThroughTheZeroShift) {
  TempDir dir;
  ASSERT_EQ(Detect(dir), 0);
  // DAC card 0 (slot 3): program code 32768 + 1600 x 16 is driver code
  // 25600, held by the emulation as 1600.
  EXPECT_EQ(WriteDac(0, 0, 32768 + 1600 * 16), kStatusOk);
  EXPECT_EQ(DefaultEmulatedDriver().Slot3Output(0), 1600);
  const int reading = ReadAdc(0, 4, 1.0f);
  EXPECT_TRUE(reading >= 32768 + 1595 * 16 && reading <= 32768 + 1604 * 16) << reading;

  EXPECT_EQ(WriteDac(1, 5, 0), kStatusOk);  // slot 4: 0 is the lowest code
  EXPECT_EQ(DefaultEmulatedDriver().Slot4Output(5), -2048);
  EXPECT_EQ(Beeps(), 0u);
  EXPECT_NE(WriteDac(1, 5, 4096), kStatusOk);  // beyond the 12-bit range
  EXPECT_EQ(Beeps(), 1u);
  EXPECT_EQ(ui->CallsOf(platform::UiCall::Kind::Beep)[0].type, platform::MB_SIMPLEBEEP);

  const int noise = ReadAdcNoFallback(1, 15, 1.0f);  // slot 7: 2048 + (-5..4)
  EXPECT_TRUE(noise >= 2043 && noise <= 2052) << noise;
  EXPECT_EQ(ReadAdc(0, 8, 1.0f), 32768);  // no channel 8: beep, zero reading
  EXPECT_EQ(Beeps(), 2u);

  EXPECT_EQ(ReadingFromDriver(*AdcCardAt(1), -5), 2043);
  EXPECT_EQ(DriverReadingFromReading(*AdcCardAt(0), 0), -32768);
  EXPECT_EQ(DriverCodeFromCode(*DacCardAt(0), 65535), 32767);
  EXPECT_EQ(CodeFromDriverCode(*DacCardAt(0), -32768), 0);
  EXPECT_EQ(CodeFromDriverCode(*DacCardAt(1), 2047), 4095);

  platform::ClearAssertions();
  EXPECT_EQ(ReadAdc(7, 0, 1.0f), 0);  // no such card: a program error
  EXPECT_EQ(WriteDac(9, 0, 0), kStatusFailed);
  EXPECT_EQ(platform::Assertions().size(), 2u);
}

}  // namespace
}  // namespace tsm::daq

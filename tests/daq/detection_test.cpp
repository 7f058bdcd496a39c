// Detection against drivers that offer other cards than the emulation:
// none, DAC only, split input ranges, gains in dB, a Tribox chassis.
#include <gtest/gtest.h>

#include "daq/cards.h"
#include "tests/daq/daq_fixture.h"

namespace tsm::daq {
namespace {

using testing::DaqTest;
using testing::TempDir;

using Detection = DaqTest;

// Only the card in slot 4 (six outputs, no inputs) answers; optionally not
// even that one, and optionally without a version.
class FewCardsDriver : public EmulatedDriver {
 public:
  bool slot4 = true;
  bool version = true;
  DriverStatus Get_Zentra_Version(std::uint32_t* v) override {
    return version ? EmulatedDriver::Get_Zentra_Version(v) : DriverStatus{-10001};
  }
  DriverStatus Device_Query(std::int16_t slot, std::int32_t attribute,
                            std::uint32_t* value) override {
    if (slot != 4 || !slot4) return kStatusFailed;
    return EmulatedDriver::Device_Query(slot, attribute, value);
  }
};

TEST_F(Detection, NoCardsSetsBothFlagsAndDacOnlyTheAdcFlag) {
  TempDir dir;
  FewCardsDriver driver;
  SetDriver(&driver);
  driver.slot4 = false;
  EXPECT_EQ(Detect(dir), kNoDacCard | kNoAdcCard);
  EXPECT_EQ(report, "Zentra version 0500 detected.\n");

  driver.slot4 = true;
  driver.version = false;
  EXPECT_EQ(Detect(dir), kNoAdcCard);
  EXPECT_EQ(report,
            "Get_Zentra_Version() failed\n\n"
            "Slot #04: Card-ID:15, Name:15\n"
            "  DAC:   6 channels, Reading=[0,2048,4095], DAC Voltage=[-5.000000,4.997559]\n");
  EXPECT_EQ(VersionText(), "Get_Zentra_Version() failed\n");
}

// Slot 3 answers on inputs 0..3 and 8..11 only.
class SplitInputsDriver : public EmulatedDriver {
 public:
  DriverStatus Input_Scale(std::int16_t slot, std::int16_t channel, std::int16_t gain,
                           double adjust, double offset, std::int16_t reading,
                           double* volts) override {
    if (slot != 3)
      return EmulatedDriver::Input_Scale(slot, channel, gain, adjust, offset, reading, volts);
    if (!((channel >= 0 && channel <= 3) || (channel >= 8 && channel <= 11)))
      return kStatusFailed;
    *volts = reading * 10.0 / 32768;
    return kStatusOk;
  }
};

TEST_F(Detection, InputsInTwoRunsBecomeTwoRanges) {
  TempDir dir;
  SplitInputsDriver driver;
  SetDriver(&driver);
  ASSERT_EQ(Detect(dir), 0);
  const AdcCard& card = *AdcCardAt(0);
  const ChannelRanges& ch = card.channels;
  ASSERT_EQ(ch.Ranges().size(), 2u);
  EXPECT_EQ(ch.Count(), 8u);
  std::uint16_t channel = 0;
  unsigned index = 0;
  EXPECT_TRUE(ch.NthChannel(5, &channel));
  EXPECT_EQ(channel, 9);
  EXPECT_FALSE(ch.NthChannel(8, &channel));
  EXPECT_TRUE(ch.IndexOf(9, &index));
  EXPECT_EQ(index, 5u);
  EXPECT_FALSE(ch.Contains(5));
  EXPECT_FALSE(ch.Contains(12));
  EXPECT_TRUE(ch.Contains(11));
  EXPECT_NE(report.find("  ADC:   8 channels,"), std::string::npos);
  EXPECT_NE(AdcListText().find("ADC_00:id=39(39), 8 chanels\n"), std::string::npos);

  AdcCard* scanned = MutableAdcCardAt(0);
  std::vector<int> walk{scanned->channels.CursorChannel()};
  for (int i = 0; i < 9; ++i) walk.push_back(scanned->channels.NextChannel());
  EXPECT_EQ(walk, (std::vector<int>{0, 1, 2, 3, 8, 9, 10, 11, 0, 1}));
}

TEST(ChannelRanges, RefusesRangesOutOfOrder) {
  ChannelRanges r;
  EXPECT_TRUE(r.Add(2, 4));
  EXPECT_FALSE(r.Add(4, 6));  // overlaps
  EXPECT_FALSE(r.Add(9, 8));
  EXPECT_TRUE(r.Add(5, 5));
  EXPECT_EQ(r.Count(), 4u);
  EXPECT_EQ(r.NextChannel(), 3);
  EXPECT_EQ(r.NextChannel(), 4);
  EXPECT_EQ(r.NextChannel(), 5);
  EXPECT_EQ(r.NextChannel(), 2);
  ChannelRanges none;
  EXPECT_EQ(none.NextChannel(), 0);
  EXPECT_FALSE(none.NthChannel(0, nullptr));
}

// Slot 3 takes gains in dB: gain code 1 is refused, 0, 10 and 20 accepted.
class DecibelDriver : public EmulatedDriver {
 public:
  DriverStatus Input_Scale(std::int16_t slot, std::int16_t channel, std::int16_t gain,
                           double adjust, double offset, std::int16_t reading,
                           double* volts) override {
    if (slot == 3 && gain != 0 && gain != 10 && gain != 20) return kStatusFailed;
    return EmulatedDriver::Input_Scale(slot, channel, gain, adjust, offset, reading, volts);
  }
};

TEST_F(Detection, GainsInDecibelAreDetectedAndALinearFileListDiffers) {
  DecibelDriver driver;
  SetDriver(&driver);
  {
    TempDir dir;
    ASSERT_EQ(Detect(dir), 0);
    const AdcCard& card = *AdcCardAt(0);
    EXPECT_EQ(card.channels.Count(), 8u);  // found through gain code 0
    EXPECT_EQ(card.gains, (std::vector<float>{0, 10, 20}));
    EXPECT_TRUE(card.logGains);
    EXPECT_EQ(card.gainsSource, kSourceAutodetect);
    EXPECT_EQ(card.zeroShift, 32768);  // classified with the gain it accepts
    EXPECT_NE(report.find("  Number of gains:3 (0,10,20) Scale:Log (Source:autodetection, "
                          "zentra.ini is wrong/incomplete)\n"),
              std::string::npos);
  }
  TempDir dir;
  dir.Write("zentra.ini", "[39]\ngains=1 10 100\nlogGains=0\n");
  ASSERT_EQ(Detect(dir), 0);
  EXPECT_EQ(AdcCardAt(0)->gains, (std::vector<float>{1, 10, 100}));
  EXPECT_FALSE(AdcCardAt(0)->logGains);
  EXPECT_EQ(AdcCardAt(0)->gainsSource, kSourceZentraIni);
  EXPECT_NE(report.find("  Number of gains:3 (1,10,100) Scale:Lin (Source:zentra.ini)\n"),
            std::string::npos);
}

// Chassis 2 is a Tribox with three slots; slot 2 holds module 7 with four
// outputs. The plug-in bus is empty.
class TriboxDriver : public EmulatedDriver {
 public:
  struct Op {
    std::int16_t chassis, slot, channel, operation, mode;
    std::int32_t value;
  };
  std::vector<Op> ops;

  DriverStatus Device_Query(std::int16_t, std::int32_t, std::uint32_t*) override {
    return kStatusFailed;
  }
  DriverStatus Chassis_Query(std::int16_t chassis, std::int16_t*, std::int16_t* address,
                             std::int16_t* present, std::int16_t*,
                             std::int16_t* slotCount) override {
    if (chassis != 2) return kStatusFailed;
    *address = 5;
    *present = 1;
    *slotCount = 3;
    return kStatusOk;
  }
  DriverStatus Module_Query(std::int16_t chassis, std::int16_t slot,
                            std::int32_t* id) override {
    *id = (chassis == 2 && slot == 2) ? 7 : 0;  // 0: an empty slot
    return kStatusOk;
  }
  DriverStatus Module_Output_Op(std::int16_t chassis, std::int16_t slot, std::int16_t channel,
                                std::int16_t operation, std::int16_t mode, std::int16_t,
                                std::int16_t, std::int32_t value, std::int32_t*) override {
    ops.push_back({chassis, slot, channel, operation, mode, value});
    return channel < 4 ? kStatusOk : kStatusFailed;
  }
};

TEST_F(Detection, TriboxModulesAreDacCardsNamedFromTriboxIni) {
  TempDir dir;
  dir.Write("Tribox.ini", "[7]\nname=Current source\n");
  TriboxDriver driver;
  SetDriver(&driver);
  EXPECT_EQ(Detect(dir), kNoAdcCard);
  EXPECT_EQ(report,
            "Zentra version 0500 detected.\n"
            "Tribox_Chassis #02: addr= 5, contains 3 slots\n"
            "  module in slot # 2: name=Current source [ID=7]\n"
            "  DAC:   4 channels, Reading=[0,2048,4095], DAC Voltage=[-10.000000,9.995117]\n");
  ASSERT_EQ(DacCardCount(), 1);
  EXPECT_EQ(DacCardAt(0)->chassis, 2);
  EXPECT_EQ(DacCardAt(0)->typeCode, 7u);
  for (const auto& op : driver.ops) {
    EXPECT_EQ(op.operation, kModuleOpProbe);
    EXPECT_EQ(op.mode, kModuleModeProbe);
  }
  driver.ops.clear();
  EXPECT_EQ(WriteDac(0, 3, 4095), kStatusOk);
  ASSERT_EQ(driver.ops.size(), 1u);
  EXPECT_EQ(driver.ops[0].chassis, 2);
  EXPECT_EQ(driver.ops[0].slot, 2);
  EXPECT_EQ(driver.ops[0].channel, 3);
  EXPECT_EQ(driver.ops[0].operation, kModuleOpWrite);
  EXPECT_EQ(driver.ops[0].mode, kModuleModeWrite);
  EXPECT_EQ(driver.ops[0].value, 4095);

  TempDir unnamed;
  EXPECT_EQ(Detect(unnamed), kNoAdcCard);
  EXPECT_NE(report.find("name=??? [ID=7]"), std::string::npos);
}

// More cards than the tables hold: every slot answers like slot 7.
class CrowdedDriver : public EmulatedDriver {
 public:
  DriverStatus Device_Query(std::int16_t, std::int32_t attribute, std::uint32_t* v) override {
    return EmulatedDriver::Device_Query(7, attribute, v);
  }
  DriverStatus Input_Scale(std::int16_t, std::int16_t channel, std::int16_t gain, double a,
                           double o, std::int16_t reading, double* volts) override {
    return EmulatedDriver::Input_Scale(7, channel, gain, a, o, reading, volts);
  }
  DriverStatus Output_Scale(std::int16_t, std::int16_t channel, double volts,
                            std::int16_t* code) override {
    return EmulatedDriver::Output_Scale(7, channel, volts, code);
  }
  DriverStatus Chassis_Query(std::int16_t, std::int16_t*, std::int16_t*, std::int16_t* present,
                             std::int16_t*, std::int16_t* slots) override {
    *present = 1;
    *slots = 1;
    return kStatusOk;
  }
  DriverStatus Module_Query(std::int16_t, std::int16_t, std::int32_t* id) override {
    *id = 3;
    return kStatusOk;
  }
  DriverStatus Module_Output_Op(std::int16_t, std::int16_t, std::int16_t channel, std::int16_t,
                                std::int16_t, std::int16_t, std::int16_t, std::int32_t,
                                std::int32_t*) override {
    return channel == 0 ? kStatusOk : kStatusFailed;
  }
};

TEST_F(Detection, CardsBeyondSixteenAreListedButNotUsed) {
  TempDir dir;
  CrowdedDriver driver;
  SetDriver(&driver);
  std::string big;
  EXPECT_EQ(DetectCards(big, 1 << 16, dir.Path().string()), 0);
  EXPECT_EQ(DacCardCount(), 16);
  EXPECT_EQ(AdcCardCount(), 16);
  EXPECT_NE(big.find("  DAC: not used, the table holds 16 DAC cards\n"), std::string::npos);
  EXPECT_EQ(AddDacCard(DacCard{}), false);
  EXPECT_EQ(AddAdcCard(AdcCard{}), false);
}

}  // namespace
}  // namespace tsm::daq

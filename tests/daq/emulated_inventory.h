// The inventory text that card detection writes for the emulated driver with
// no "zentra.ini": asserted by the detection tests and by "tesmira -cards".
#pragma once

namespace tsm::testing {

inline constexpr const char* kEmulatedInventory =
    "Zentra version 0500 detected.\n"
    "Slot #03: Card-ID:39, Name:39\n"
    "  Number of gains:14 (0.01,0.1,0.2,0.5,1,2,5,10,20,50,100,200,500,1000) Scale:Lin "
    "(Source:autodetection, zentra.ini is wrong/incomplete)\n"
    "  ADC:   8 channels, Reading=[0, 32768, 65535], ADC Voltage=[-10.000000, 9.999695] "
    "(Source: autodetection, zentra.ini has the same data or nothing)\n"
    "  DAC:   2 channels, Reading=[0,32768,65535], DAC Voltage=[-10.000000,9.999695]\n"
    "Slot #04: Card-ID:15, Name:15\n"
    "  DAC:   6 channels, Reading=[0,2048,4095], DAC Voltage=[-5.000000,4.997559]\n"
    "Slot #07: Card-ID:31234, Name:31234\n"
    "  Number of gains:14 (0.01,0.1,0.2,0.5,1,2,5,10,20,50,100,200,500,1000) Scale:Lin "
    "(Source:autodetection, zentra.ini is wrong/incomplete)\n"
    "  ADC:  16 channels, Reading=[0, 2048, 4095], ADC Voltage=[-10.000000, 9.995117] "
    "(Source: autodetection, zentra.ini has the same data or nothing)\n"
    "  DAC:   2 channels, Reading=[0,2048,4095], DAC Voltage=[-2.000000,1.999023]\n";

}  // namespace tsm::testing

// The ordered registry of option groups: the two 24-slot tables through
// which every setting is loaded at start-up and saved on request, and the
// operations that run them. Slot i of both tables belongs to the same group.
#pragma once

#include <array>
#include <cstddef>
#include <string>

#include "shell/optiongroups.h"

namespace tsm::app {

using OptionsFn = int (*)(const std::string& fileName);
inline constexpr std::size_t kOptionSlots = 24;

// The group of each slot, slot 1 first. Slot 23 holds the V(I) sweep
// options, so they are loaded at start-up and saved with Save Options like
// every other group (earlier versions loaded AutoZero there a second time,
// with the same result as slot 20).
inline constexpr std::array<shell::OptionGroupId, kOptionSlots> kOptionSlotGroups = {
    shell::OptionGroupId::AxesGrid,          shell::OptionGroupId::CurveStyles,
    shell::OptionGroupId::VirtualChannels,   shell::OptionGroupId::DataFile,
    shell::OptionGroupId::Math,              shell::OptionGroupId::Delays,
    shell::OptionGroupId::GeneralMeasurement, shell::OptionGroupId::Trigger,
    shell::OptionGroupId::Averaging,         shell::OptionGroupId::Thermometer,
    shell::OptionGroupId::WaveformSequences, shell::OptionGroupId::IcH,
    shell::OptionGroupId::IcT,               shell::OptionGroupId::VT,
    shell::OptionGroupId::VdcIac,            shell::OptionGroupId::IVF,
    shell::OptionGroupId::WaveformGeneral,   shell::OptionGroupId::Generator,
    shell::OptionGroupId::Vtime,             shell::OptionGroupId::AutoZero,
    shell::OptionGroupId::PrintPage,         shell::OptionGroupId::PrintContents,
    shell::OptionGroupId::IVC,               shell::OptionGroupId::Junction,
};

// Groups that have no slot, run after slot 24 by LoadAllSettings and
// SaveAllSettings so that they persist like every other group: the voltage
// calibration's settings (section "Voltage Standard").
inline constexpr std::array<shell::OptionGroupId, 1> kGroupsAfterSlots = {
    shell::OptionGroupId::Calibrator,
};

// Each entry calls the registered load (save) of its slot's group.
extern const std::array<OptionsFn, kOptionSlots> LoadOptionsFnsList;
extern const std::array<OptionsFn, kOptionSlots> SaveOptionsFnsList;

inline constexpr const char* kLoadTimeFormat = "Time spent to load all settings: %.1f sec";
inline constexpr const char* kSaveTimeFormat = "Time spent to save all settings: %.1f sec (INI)";

// Every slot's load (save), slot 1 to 24, then the groups after the slots,
// under the busy cursor; the time spent goes into status-bar part 0. The
// save writes the file once. 1.
int LoadAllSettings(const std::string& fileName);
int SaveAllSettings(const std::string& fileName);

// Registers the option group of every module that has one (start-up, and
// test fixtures after ResetOptionGroups).
void RegisterOptionGroups();

}  // namespace tsm::app

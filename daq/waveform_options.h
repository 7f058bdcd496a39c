// Settings of the waveform generator as option groups and dialogs: the
// sixteen sequence definitions with their programming dialog, the sampling
// options of the waveform measurements with their summary, and the
// generator frequency. All in section "WaveForms" of the settings file.
#pragma once

#include <string>

#include "platform/ui.h"
#include "shell/setupdlg.h"
#include "shell/texttable.h"

namespace tsm::daq {

// --- the sequence dialog ("Program WaveForm", commands 1000..1015) ------------
inline constexpr int kSequenceDialogId = 174;
inline constexpr int kIdSequence = 3301;
inline constexpr int kIdValue0 = 3302;
inline constexpr int kIdValue1 = 3303;
inline constexpr int kIdStretch = 3304;
inline constexpr int kIdProlong = 3305;
inline constexpr int kProgramWaveformFirstCommand = 1000;  // 1000 + n opens sequence n
inline constexpr const char* kSequenceCaption = "Program WaveForm %d";

// The five fields of sequence n (0..15), bound to its definition.
shell::FieldList SequenceFields(int n);
// Opens the dialog of sequence n: OK stores the fields in memory, "&Load"
// rereads the five keys from the settings file, "&Save" writes them there
// (reals with "%f"). OK and Save refuse a sequence with a symbol outside
// "0123456789_/\-T~SCsc|!R" by putting the focus back into the field. 1 after
// OK, 0 after Cancel or for n outside 0..15.
int RunSequenceDialog(int n, platform::WindowHandle owner);
// Writes sequence n's definition to the file as the save button does.
void SaveSequenceWithF(int n, const std::string& fileName);

// --- the general options (waveform measurements) --------------------------------
inline constexpr int kGeneralDialogId = 3310;
inline constexpr int kIdSamplesPerLogUnit = 3311;
inline constexpr int kIdSamplingTimeInterval = 3312;
inline constexpr int kIdNumberOfCycles = 3313;
inline constexpr int kIdXAxis = 3314;  // three radio buttons 3314..3316
inline constexpr int kIdShiftVoltages = 3317;
inline constexpr const char* kGeneralTitle = "Waveform. General Options";
inline constexpr const char* kSamplesLabel = "Number of samples (clock ticks) in one logic unit";
inline constexpr const char* kCyclesLabel = "Number of cycles/logic units for measurement";

shell::FieldList& WaveformGeneralFields();
int RunWaveformGeneralDialog(platform::WindowHandle owner);
shell::InfoTable WaveformGeneralInfoTable();

// --- the generator (command 276) ---------------------------------------------------
inline constexpr int kGeneratorDialogId = 3320;
inline constexpr int kIdFrequency = 3321;
inline constexpr int kGeneratorCommand = 276;
inline constexpr const char* kGeneratorCaption = "Generator";

shell::FieldList& GeneratorFields();
int RunGeneratorDialog(platform::WindowHandle owner);

// The sixteen definitions as one group (slot 11).
shell::FieldList& WaveformSequenceFields();

// Registers the groups WaveformSequences, WaveformGeneral and Generator.
void RegisterWaveformOptionGroups();

}  // namespace tsm::daq

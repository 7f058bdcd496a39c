// Reporting of the fast-sampling and waveform statuses through the helper
// library's ZentraErrorHandler, each with its label and show flag. A
// negative status is a failure of the caller; zero and positive ones
// (warnings) count as success once reported.
#pragma once

#include <cstdint>

#include "daq/driver.h"

namespace tsm::daq {

enum class ReportedOp {
  kDaqOp,           // "DAQ_Op(..)"
  kScanOp,          // "SCAN_Op(..)"
  kTimeoutConfig,   // "Timeout_Config()"
  kWfmOp,           // "WFM_Op()"
  kWfmClear,        // "WFM_Group_Control(CLEAR)"
  kWfmPause,        // "WFM_Group_Control(PAUSE)"
  kWfmResume,       // "WFM_Group_Control(RESUME)"
  kWfmCheck,        // "WFM_Check", shown with warnings too
};

const char* ReportLabel(ReportedOp op);
// 1 (errors only) for every operation but WFM_Check (0: warnings too).
std::int16_t ReportFlag(ReportedOp op);
// The label of a WFM_Group_Control operation code (kWfmClear, kWfmPause,
// kWfmResume); any other code is reported with the CLEAR label.
ReportedOp GroupControlOp(std::int16_t operation);

// Passes the status to ZentraErrorHandler (which shows what the flag asks
// for) and tells whether it counts as success, i.e. is not negative. A
// failing status is labelled "LABEL -- DETAIL" when the driver has a
// detail for it (Driver::LastErrorDetail).
bool ReportDriverStatus(ReportedOp op, DriverStatus status);

}  // namespace tsm::daq

#include "daq/status_report.h"

#include <string>

#include "acqutil/acqutil.h"

namespace tsm::daq {

const char* ReportLabel(ReportedOp op) {
  switch (op) {
    case ReportedOp::kDaqOp: return "DAQ_Op(..)";
    case ReportedOp::kScanOp: return "SCAN_Op(..)";
    case ReportedOp::kTimeoutConfig: return "Timeout_Config()";
    case ReportedOp::kWfmOp: return "WFM_Op()";
    case ReportedOp::kWfmClear: return "WFM_Group_Control(CLEAR)";
    case ReportedOp::kWfmPause: return "WFM_Group_Control(PAUSE)";
    case ReportedOp::kWfmResume: return "WFM_Group_Control(RESUME)";
    case ReportedOp::kWfmCheck: return "WFM_Check";
  }
  return "";
}

std::int16_t ReportFlag(ReportedOp op) { return op == ReportedOp::kWfmCheck ? 0 : 1; }

ReportedOp GroupControlOp(std::int16_t operation) {
  switch (operation) {
    case kWfmPause: return ReportedOp::kWfmPause;
    case kWfmResume: return ReportedOp::kWfmResume;
    default: return ReportedOp::kWfmClear;
  }
}

bool ReportDriverStatus(ReportedOp op, DriverStatus status) {
  // A real driver's detail (device, library call, library message) goes
  // beside the label; the emulation has none, so its texts stay as they are.
  std::string label = ReportLabel(op);
  if (status != kStatusOk) {
    const std::string detail = GetDriver().LastErrorDetail();
    if (!detail.empty()) label += " -- " + detail;
  }
  ZentraErrorHandler(status, label.c_str(), ReportFlag(op));
  return status >= 0;
}

}  // namespace tsm::daq

#include "channels/measurement_options.h"

namespace tsm::channels {

MeasurementOptions& GetMeasurementOptions() {
  static MeasurementOptions options;
  return options;
}

void ResetMeasurementOptions() { GetMeasurementOptions() = MeasurementOptions{}; }

}  // namespace tsm::channels

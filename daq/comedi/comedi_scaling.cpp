#include "daq/comedi/comedi_scaling.h"

#include <cmath>

namespace tsm::daq::comedi {

namespace {
std::uint32_t Rescale(std::uint32_t value, std::uint32_t from, std::uint32_t to) {
  if (from == to || from == 0) return value;
  const double scaled = std::round(static_cast<double>(value) * to / from);
  return scaled >= to ? to : static_cast<std::uint32_t>(scaled);
}

double Span(const Range& r) { return r.max - r.min; }
}  // namespace

SampleFormat::SampleFormat(std::uint32_t maxdata, bool bipolar)
    : maxdata_(maxdata), bipolar_(bipolar), bits_(maxdata <= 4095 ? 12 : 16) {
  full_ = (1u << bits_) - 1;
}

std::int16_t SampleFormat::DriverValue(std::uint32_t sample) const {
  return ValueOfAligned(Rescale(sample, maxdata_, full_));
}

// A unipolar 16-bit value above 32767 wraps to a negative word, as the
// program expects of a card without zero shift.
std::int16_t SampleFormat::ValueOfAligned(std::uint32_t aligned) const {
  const auto a = static_cast<std::int32_t>(aligned > full_ ? full_ : aligned);
  const std::int32_t value = bipolar_ ? a - static_cast<std::int32_t>(full_ / 2 + 1) : a;
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(value));
}

bool SampleFormat::Aligned(std::int16_t driverValue, std::uint32_t* aligned) const {
  const std::int32_t a = bipolar_ ? driverValue + static_cast<std::int32_t>(full_ / 2 + 1)
                                  : static_cast<std::uint16_t>(driverValue);
  if (a < 0 || static_cast<std::uint32_t>(a) > full_) return false;
  *aligned = static_cast<std::uint32_t>(a);
  return true;
}

std::uint32_t SampleFormat::Sample(std::uint32_t aligned) const {
  return Rescale(aligned, full_, maxdata_);
}

double VoltsOf(const Range& range, const SampleFormat& format, double aligned) {
  return range.min + Span(range) * aligned / format.Full();
}

bool AlignedOfVolts(const Range& range, const SampleFormat& format, double volts,
                    std::uint32_t* aligned) {
  if (!(volts >= range.min && volts <= range.max) || Span(range) <= 0.0) return false;
  const double a = std::round((volts - range.min) / Span(range) * format.Full());
  *aligned = a >= format.Full() ? format.Full() : static_cast<std::uint32_t>(a);
  return true;
}

double GainFactor(std::int16_t gainCode) {
  switch (gainCode) {
    case -10: return 0.01;
    case -3: return 0.1;
    case -2: return 0.2;
    case -1: return 0.5;
    default: return gainCode > 0 ? gainCode : 0.0;
  }
}

int FullScaleRange(const std::vector<Range>& ranges) {
  int best = -1;
  for (int i = 0; i < static_cast<int>(ranges.size()); ++i) {
    const Range& r = ranges[i];
    if (r.unit != kUnitVolt || Span(r) <= 0.0) continue;
    if (best < 0) {
      best = i;
      continue;
    }
    const Range& b = ranges[best];
    // A bipolar range wins over any unipolar one, then the wider span.
    if (IsBipolar(r) != IsBipolar(b)) {
      if (IsBipolar(r)) best = i;
    } else if (Span(r) > Span(b)) {
      best = i;
    }
  }
  return best;
}

int RangeForGain(const std::vector<Range>& ranges, std::int16_t gainCode) {
  const int full = FullScaleRange(ranges);
  const double factor = GainFactor(gainCode);
  if (full < 0 || factor <= 0.0) return -1;
  const double target = Span(ranges[full]) / factor;
  const bool bipolar = IsBipolar(ranges[full]);
  int best = -1;
  double bestMiss = 0.0;
  for (int i = 0; i < static_cast<int>(ranges.size()); ++i) {
    const Range& r = ranges[i];
    if (r.unit != kUnitVolt || Span(r) <= 0.0 || IsBipolar(r) != bipolar) continue;
    const double miss = std::fabs(std::log(Span(r) / target));
    if (best < 0 || miss < bestMiss) {
      best = i;
      bestMiss = miss;
    }
  }
  if (best < 0 || std::fabs(Span(ranges[best]) / target - 1.0) > kGainTolerance) return -1;
  return best;
}

}  // namespace tsm::daq::comedi

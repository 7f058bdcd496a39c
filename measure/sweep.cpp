#include "measure/sweep.h"

#include <algorithm>

#include "channels/virtual_channels.h"

namespace tsm::measure {

std::uint32_t PointsPerDirection(const SweepRange& range) {
  const std::uint32_t span = range.start > range.stop ? range.start - range.stop
                                                      : range.stop - range.start;
  return span / std::max<std::uint32_t>(1, range.step) + 1;
}

std::uint32_t TotalPoints(const SweepRange& range) {
  return PointsPerDirection(range) * (range.twoDirections ? 2 : 1);
}

SweepIterator::SweepIterator(const SweepRange& range) : range_(range), code_(range.start) {
  if (range_.step == 0) range_.step = 1;
}

bool SweepIterator::Inside(std::uint32_t code) const {
  const std::uint32_t lo = std::min(range_.start, range_.stop);
  const std::uint32_t hi = std::max(range_.start, range_.stop);
  return code >= lo && code <= hi;
}

bool SweepIterator::Valid() const { return !done_ && Inside(code_); }

void SweepIterator::Next() {
  if (done_) return;
  const bool up = back_ ? range_.stop < range_.start : range_.start < range_.stop;
  code_ = up ? code_ + range_.step : code_ - range_.step;
  if (Inside(code_)) return;
  if (!back_ && range_.twoDirections) {
    // The way back always begins exactly at stop, also when the step does
    // not divide the span and the forward leg never reached it.
    back_ = true;
    code_ = range_.stop;
    return;
  }
  done_ = true;
}

int BoundedCode::Raise(std::uint32_t d) {
  if (value >= upper && d > 0) return -1;
  if (d > upper - value) {
    value = upper;
    return 1;
  }
  value += d;
  return 0;
}

int BoundedCode::Lower(std::uint32_t d) {
  if (value <= lower && d > 0) return -1;
  if (d > value - lower) {
    value = lower;
    return 1;
  }
  value -= d;
  return 0;
}

std::uint32_t NormalisationFactor(int currentIndex) {
  std::uint16_t lo = 0, hi = 0;
  if (currentIndex < 0 || !channels::CurrentCardRange(currentIndex, &lo, &hi) || hi < lo)
    return 1;
  const std::uint32_t k = static_cast<std::uint32_t>(hi) - lo + 1;
  return std::max<std::uint32_t>(1, kNormalisedCodes / k);
}

std::uint32_t CardToNormalised(std::uint32_t cardCode, std::uint32_t factor) {
  return cardCode * std::max<std::uint32_t>(1, factor);
}

std::uint32_t NormalisedToCard(std::uint32_t normalised, std::uint32_t factor) {
  return normalised / std::max<std::uint32_t>(1, factor);
}

SweepRange RangeInCardCodes(const SweepRange& range) {
  const std::uint32_t f = NormalisationFactor(range.Current());
  SweepRange r = range;
  r.start = NormalisedToCard(range.start, f);
  r.stop = NormalisedToCard(range.stop, f);
  r.step = std::max<std::uint32_t>(1, NormalisedToCard(range.step, f));
  return r;
}

}  // namespace tsm::measure

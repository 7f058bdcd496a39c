// How the real-card backend turns comedi samples, ranges and gains into the
// driver values the rest of the program expects, and back.
//
// Driver values are signed 16-bit words. A subdevice of up to 12 bits is
// shown as a 12-bit converter, any other as a 16-bit one, so detection
// classifies every card; for the common 12- and 16-bit converters a
// driver value is exactly the comedi sample minus half of (maxdata + 1) on
// a bipolar range, and the sample itself on a unipolar one. Converters of
// other widths are rescaled full scale to full scale (a 14-bit sample is
// multiplied by 65535 / 16383, an 18-bit one loses its two lowest bits).
#pragma once

#include <cstdint>
#include <vector>

#include "daq/comedi/comedi_device.h"

namespace tsm::daq::comedi {

class SampleFormat {
 public:
  SampleFormat(std::uint32_t maxdata, bool bipolar);

  // 12 or 16: the width the program sees.
  unsigned Bits() const { return bits_; }
  // Largest aligned value: 4095 or 65535.
  std::uint32_t Full() const { return full_; }
  bool Bipolar() const { return bipolar_; }

  // A hardware sample as a driver value.
  std::int16_t DriverValue(std::uint32_t sample) const;
  // An aligned value (0..Full) as a driver value.
  std::int16_t ValueOfAligned(std::uint32_t aligned) const;
  // The aligned value (0..Full) of a driver value; false when the value is
  // outside the converter's span.
  bool Aligned(std::int16_t driverValue, std::uint32_t* aligned) const;
  // The hardware sample of an aligned value.
  std::uint32_t Sample(std::uint32_t aligned) const;

 private:
  std::uint32_t maxdata_;
  bool bipolar_;
  unsigned bits_;
  std::uint32_t full_;
};

inline bool IsBipolar(const Range& r) { return r.min < 0.0 && r.max > 0.0; }

// Volts of an aligned value on a range, and the nearest aligned value of a
// voltage (false when the voltage lies outside the range or is not a number).
double VoltsOf(const Range& range, const SampleFormat& format, double aligned);
bool AlignedOfVolts(const Range& range, const SampleFormat& format, double volts,
                    std::uint32_t* aligned);

// The factor a gain code stands for: -10 0.01, -3 0.1, -2 0.2, -1 0.5, a
// positive code itself; 0 for codes that name no linear gain.
double GainFactor(std::int16_t gainCode);

// Ranges whose span may differ from full scale / gain by this share.
inline constexpr double kGainTolerance = 0.05;

// The index of the full-scale range: the widest bipolar volt range, or the
// widest volt range when there is no bipolar one; -1 without volt ranges.
int FullScaleRange(const std::vector<Range>& ranges);
// The range a gain code selects: among the volt ranges of the full-scale
// range's polarity, the one whose span best matches full scale divided by
// the gain; -1 when none lies within kGainTolerance of it.
int RangeForGain(const std::vector<Range>& ranges, std::int16_t gainCode);

}  // namespace tsm::daq::comedi

// Sweep limits and the order of codes of every swept measurement: the range
// record the measurement dialog edits (normalised 16-bit codes), the iterator
// that yields start .. stop (and back), the clamped code stepping of the
// critical-current searches, and the conversion between normalised codes and
// the codes of the DAC card that drives a current.
#pragma once

#include <cstdint>

namespace tsm::measure {

inline constexpr std::uint32_t kMaxNormalisedCode = 65535;
inline constexpr std::uint32_t kNormalisedCodes = 65536;

// The index of the virtual current a range drives, or -1.
using CurrentFinder = int (*)();

// A plain record copied in and out of the dialog. start, stop and step are
// normalised codes (0..65535, whatever the card's resolution).
struct SweepRange {
  std::uint32_t start = 0;
  std::uint32_t stop = kMaxNormalisedCode;
  std::uint32_t step = 1;  // at least 1
  bool twoDirections = false;
  bool symmetric = false;  // stop follows as 65535 - start
  CurrentFinder finder = nullptr;  // absent for ranges that only count points

  // The current the range drives (-1 without finder or current).
  int Current() const { return finder ? finder() : -1; }
};

// Points of one direction: |stop - start| / step + 1 (a step of 0 counts as 1).
std::uint32_t PointsPerDirection(const SweepRange& range);
// Every point of the sweep: twice the above with two directions.
std::uint32_t TotalPoints(const SweepRange& range);

// Yields the codes of a range in sweep order: start, start +- step, ... while
// the code lies between start and stop (either order); with two directions
// then once exactly stop, and on back towards start. Arithmetic is unsigned
// 32-bit, so stepping below 0 leaves the range.
class SweepIterator {
 public:
  explicit SweepIterator(const SweepRange& range);
  bool Valid() const;
  std::uint32_t Code() const { return code_; }
  bool OnWayBack() const { return back_; }
  void Next();

 private:
  bool Inside(std::uint32_t code) const;
  SweepRange range_;
  std::uint32_t code_;
  bool back_ = false;
  bool done_ = false;
};

// A DAC code kept between the limits of its card; the critical-current
// searches step only through this record.
struct BoundedCode {
  std::uint32_t value = 0;
  std::uint32_t lower = 0;
  std::uint32_t upper = kMaxNormalisedCode;

  // At the upper limit with d > 0: -1, unchanged. Passing the limit: the
  // value becomes the limit, 1. Otherwise value += d, 0.
  int Raise(std::uint32_t d);
  // The mirror image against the lower limit.
  int Lower(std::uint32_t d);
};

// 65536 div K with K the number of codes of the DAC card of current `index`
// (its maximum minus minimum code plus 1); 1 (K = 65536) when no current or
// card is found.
std::uint32_t NormalisationFactor(int currentIndex);
// A card code shown on the normalised scale: c x factor.
std::uint32_t CardToNormalised(std::uint32_t cardCode, std::uint32_t factor);
// A normalised value as a card code: v div factor.
std::uint32_t NormalisedToCard(std::uint32_t normalised, std::uint32_t factor);
// The range with start, stop and step as card codes of its current (a step
// that becomes 0 is 1); what the routines sweep.
SweepRange RangeInCardCodes(const SweepRange& range);

}  // namespace tsm::measure

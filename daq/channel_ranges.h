// The input channels of an ADC card: an ordered list of (first, last)
// ranges, strictly increasing and not overlapping, whose union is the card's
// channels, with a cursor that steps through them cyclically.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tsm::daq {

struct ChannelRange {
  std::uint16_t first = 0;
  std::uint16_t last = 0;
};

class ChannelRanges {
 public:
  // Appends a range above every range held; false (nothing added) when
  // first > last or it does not lie above the last range.
  bool Add(std::uint16_t first, std::uint16_t last);
  void Clear();
  const std::vector<ChannelRange>& Ranges() const { return ranges_; }

  // Sum of (last - first + 1).
  unsigned Count() const;
  // The n-th channel of the union (from 0); false when n >= Count().
  bool NthChannel(unsigned n, std::uint16_t* channel) const;
  // The position of the channel in the union; false when it is absent.
  bool IndexOf(std::uint16_t channel, unsigned* index) const;
  bool Contains(std::uint16_t channel) const;

  // The cursor starts on the first channel; NextChannel advances within the
  // present range, past its end to the next range's first channel and from
  // the last range back to the first, and returns the channel reached. With
  // no ranges both answer 0.
  std::uint16_t CursorChannel() const { return ranges_.empty() ? 0 : cursorChannel_; }
  std::uint16_t NextChannel();
  void ResetCursor();

 private:
  std::vector<ChannelRange> ranges_;
  std::size_t cursorRange_ = 0;
  std::uint16_t cursorChannel_ = 0;
};

}  // namespace tsm::daq

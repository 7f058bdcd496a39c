#include "daq/channel_ranges.h"

namespace tsm::daq {

bool ChannelRanges::Add(std::uint16_t first, std::uint16_t last) {
  if (first > last) return false;
  if (!ranges_.empty() && first <= ranges_.back().last) return false;
  ranges_.push_back({first, last});
  if (ranges_.size() == 1) ResetCursor();
  return true;
}

void ChannelRanges::Clear() {
  ranges_.clear();
  ResetCursor();
}

unsigned ChannelRanges::Count() const {
  unsigned n = 0;
  for (const ChannelRange& r : ranges_) n += static_cast<unsigned>(r.last - r.first) + 1;
  return n;
}

bool ChannelRanges::NthChannel(unsigned n, std::uint16_t* channel) const {
  for (const ChannelRange& r : ranges_) {
    const unsigned size = static_cast<unsigned>(r.last - r.first) + 1;
    if (n < size) {
      if (channel) *channel = static_cast<std::uint16_t>(r.first + n);
      return true;
    }
    n -= size;
  }
  return false;
}

bool ChannelRanges::IndexOf(std::uint16_t channel, unsigned* index) const {
  unsigned before = 0;
  for (const ChannelRange& r : ranges_) {
    if (channel < r.first) return false;  // ranges increase: it lies in a gap
    if (channel <= r.last) {
      if (index) *index = before + (channel - r.first);
      return true;
    }
    before += static_cast<unsigned>(r.last - r.first) + 1;
  }
  return false;
}

bool ChannelRanges::Contains(std::uint16_t channel) const { return IndexOf(channel, nullptr); }

void ChannelRanges::ResetCursor() {
  cursorRange_ = 0;
  cursorChannel_ = ranges_.empty() ? 0 : ranges_.front().first;
}

std::uint16_t ChannelRanges::NextChannel() {
  if (ranges_.empty()) return 0;
  if (cursorChannel_ < ranges_[cursorRange_].last) {
    ++cursorChannel_;
  } else {
    cursorRange_ = (cursorRange_ + 1) % ranges_.size();
    cursorChannel_ = ranges_[cursorRange_].first;
  }
  return cursorChannel_;
}

}  // namespace tsm::daq

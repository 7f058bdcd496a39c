#include "files/pieces.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace tsm::files {

TextPieces::TextPieces(int fd, std::size_t pieceSize) : fd_(fd), capacity_(pieceSize) {}

TextPieces::~TextPieces() { std::free(data_); }

bool TextPieces::Fill() {
  // malloc, not new: a file that cannot be read for lack of memory is
  // reported by its reader; the memory-shortage handling of new is not
  // meant for it.
  if (!data_ && !(data_ = static_cast<char*>(std::malloc(capacity_)))) return false;
  while (!atEnd_ && size_ < capacity_) {
    const ssize_t n = ::read(fd_, data_ + size_, capacity_ - size_);
    if (n < 0 && errno == EINTR) continue;
    // A read error ends the text like the end of the file: the reader then
    // reports the points it missed.
    if (n <= 0) {
      atEnd_ = true;
      break;
    }
    size_ += static_cast<std::size_t>(n);
  }
  return true;
}

void TextPieces::Consume(std::size_t used) {
  if (used == 0) return;
  std::memmove(data_, data_ + used, size_ - used);
  size_ -= used;
}

bool TextPieces::Grow() {
  if (capacity_ > SIZE_MAX / 2) return false;
  char* bigger = static_cast<char*>(std::realloc(data_, 2 * capacity_));
  if (!bigger) return false;
  data_ = bigger;
  capacity_ *= 2;
  return true;
}

ReadStatus ReadPieces(TextPieces& pieces, TextReader& reader) {
  while (!reader.Finished()) {
    if (!pieces.Fill()) return ReadStatus::OutOfMemory;
    const bool last = pieces.AtEnd();
    const char* upTo = last ? pieces.end() : reader.CompleteUpTo(pieces.begin(), pieces.end());
    if (!upTo) {
      // Not one separator in a whole buffer: a field longer than it.
      if (!pieces.Grow()) return ReadStatus::OutOfMemory;
      continue;
    }
    const char* used = reader.Feed(pieces.begin(), upTo, last);
    if (last) break;  // the reader has finished with the last piece
    const auto taken = static_cast<std::size_t>(used - pieces.begin());
    // Nothing taken from a full buffer: the pair it began spans more.
    if (taken == 0 && !pieces.Grow()) return ReadStatus::OutOfMemory;
    pieces.Consume(taken);
  }
  return reader.Status();
}

}  // namespace tsm::files

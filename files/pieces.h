// Reading a data file piece by piece: a buffer of bounded size (it grows
// only for a piece that holds no separator at all) is filled from the file
// and handed to a text reader (files/columns.h), which takes what it can;
// the rest moves to the front and the buffer is filled again. So opening a
// file of millions of points needs the points' memory and the buffer, not
// the whole text besides.
#pragma once

#include <cstddef>

#include "files/columns.h"

namespace tsm::files {

inline constexpr std::size_t kPieceSize = std::size_t{1} << 20;

class TextPieces {
 public:
  // Reads from fd (not closed here) in pieces of pieceSize bytes.
  explicit TextPieces(int fd, std::size_t pieceSize = kPieceSize);
  ~TextPieces();
  TextPieces(const TextPieces&) = delete;
  TextPieces& operator=(const TextPieces&) = delete;

  // Fills the buffer up from the file: until it is full or the file ends.
  // False when the buffer could not be had.
  bool Fill();
  const char* begin() const { return data_; }
  const char* end() const { return data_ + size_; }
  // The file has no more (or could not be read further).
  bool AtEnd() const { return atEnd_; }
  // Drops the first `used` characters, keeping the rest at the front.
  void Consume(std::size_t used);
  // Makes room for more than the buffer holds (a piece without any
  // separator). False when it could not be had.
  bool Grow();

 private:
  int fd_;
  char* data_ = nullptr;
  std::size_t size_ = 0, capacity_ = 0;
  bool atEnd_ = false;
};

// Feeds the pieces to the reader until it has finished or the file ends,
// starting with what the buffer already holds. Returns the reader's status;
// OutOfMemory also when the buffer could not be had.
ReadStatus ReadPieces(TextPieces& pieces, TextReader& reader);

}  // namespace tsm::files

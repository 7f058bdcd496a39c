// Fast Fourier transform of a real sequence whose length is a power of 2,
// written from its mathematics: the n real values are taken as m = n/2
// complex numbers, transformed by a complex FFT, and split into the
// transform of the real sequence, which is returned in packed order.
//
// The complex FFT of m = m1 * m2 points runs as two passes of short
// transforms that stay in the cache (the four-step method): the m1 columns
// of the m2 x m1 matrix of the input, each multiplied by its twiddles, then,
// after a transposition in place, the columns of length m1 of the result,
// which come out in natural order. The short transforms are radix-8 (with
// one radix-4 or radix-2 stage last where the length asks for it) with
// self-sorting stages (no bit reversal), run on several columns at once so
// that every operation is a vector operation; the split into the real
// transform is vectorised the same way. Tables are O(sqrt n) in size and
// kept for the next transform of the same length.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace tsm::math {

inline bool IsPowerOfTwo(std::uint64_t n) { return n != 0 && (n & (n - 1)) == 0; }
// The largest power of 2 not above n (0 for 0).
std::uint64_t LargestPowerOfTwo(std::uint64_t n);

namespace fft {
struct Plan;
enum class Isa;
}

// The tables and work space of the transform of n points (n a power of 2,
// at least 2). Taking one reuses the plan the last transform of the same
// length left behind; giving it back (the destructor) keeps it for the next.
// Constructing throws std::bad_alloc when the memory cannot be had;
// transforming with a plan never allocates.
class RealFFTPlan {
 public:
  explicit RealFFTPlan(std::size_t n);
  ~RealFFTPlan();
  RealFFTPlan(const RealFFTPlan&) = delete;
  RealFFTPlan& operator=(const RealFFTPlan&) = delete;

  std::size_t Size() const;
  // Transforms data[0 .. n-1] in place, as RealFFT below.
  void Transform(double* data);
  // The same for the y values of n curve points, pairs of floats (x, y) at
  // points: they are read as the transform goes, and the n doubles of the
  // packed result take their bytes. Returns the doubles.
  double* TransformPointsY(void* points);
  // The vector instructions the plan runs with.
  fft::Isa VectorForm() const;

 private:
  std::unique_ptr<fft::Plan> plan_;
};

// Transforms data[0 .. n-1] in place, n a power of 2 and at least 2, into
// F_k = sum over j of data[j] * exp(2 pi i j k / n) in packed order:
//   data[0] = F_0, data[1] = F_{n/2} (both real),
//   data[2k], data[2k+1] = Re F_k, Im F_k for k = 1 .. n/2 - 1.
// Throws std::bad_alloc when the plan cannot be had (data is then
// unchanged). Other n is a program error.
void RealFFT(double* data, std::size_t n);

}  // namespace tsm::math

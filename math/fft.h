// Fast Fourier transform of a real sequence whose length is a power of 2,
// written from its mathematics: the n real values are taken as n/2 complex
// numbers, transformed by an in-place radix-2 complex FFT (bit-reversal
// reordering, then butterflies), and split into the transform of the real
// sequence, which is returned in packed order.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tsm::math {

inline bool IsPowerOfTwo(std::uint64_t n) { return n != 0 && (n & (n - 1)) == 0; }
// The largest power of 2 not above n (0 for 0).
std::uint64_t LargestPowerOfTwo(std::uint64_t n);

// Transforms data[0 .. n-1] in place, n a power of 2 and at least 2, into
// F_k = sum over j of data[j] * exp(2 pi i j k / n) in packed order:
//   data[0] = F_0, data[1] = F_{n/2} (both real),
//   data[2k], data[2k+1] = Re F_k, Im F_k for k = 1 .. n/2 - 1.
// Needs a table of n/4 + 1 complex twiddles; throws std::bad_alloc when it
// cannot be had (data is then unchanged). Other n is a program error.
void RealFFT(double* data, std::size_t n);

}  // namespace tsm::math

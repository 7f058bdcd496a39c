// The previous form of RealFFT (math/fft.h), for comparison in the tests:
// the same packed result, F_k = sum over j of data[j] exp(2 pi i j k / n).
#pragma once

#include <cstddef>

namespace tsm::math::testing {

void PreviousRealFFT(double* data, std::size_t n);

}  // namespace tsm::math::testing

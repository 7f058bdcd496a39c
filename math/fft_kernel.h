// Inside the FFT (math/fft.h): the column pass, which transforms the
// columns of a matrix of complex values a few at a time, and the choice of
// the processor's vector instructions it runs with. Only fft.cpp and the
// tests use it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

namespace tsm::math::fft {

// exp(2 pi i e / N) for N a power of 2, computed from the angle reduced to
// the first octant, so it is as accurate as one sine or cosine.
struct Root {
  double re, im;
};
Root UnitRoot(std::uint64_t e, std::uint64_t N);

// exp(2 pi i e / N) for every e < N from two short tables:
// hi[e >> bits] * lo[e & (2^bits - 1)], one complex product.
class RootTable {
 public:
  explicit RootTable(std::uint64_t N);
  Root At(std::uint64_t e) const {
    e &= mask_;
    const Root& a = hi_[e >> bits_];
    const Root& b = lo_[e & low_];
    return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re};
  }

 private:
  unsigned bits_;
  std::uint64_t mask_, low_;
  std::vector<Root> hi_, lo_;
};

// The twiddles of a transform of length L (a power of 2), stage after stage:
// a radix-4 stage of sub-length M has M/4 records of exp(2 pi i j k / M) for
// k = 1, 2, 3 (re, im each), j = 0 .. M/4 - 1. A last radix-2 stage (L an
// odd power of 2) needs none.
std::vector<double> StageTwiddles(std::size_t L);

// The vector instructions a column pass runs with, and how many columns it
// transforms at once with them.
enum class Isa { Scalar, Sse2, Avx2, Avx512 };
int ColumnsAtOnce(Isa isa);
// The widest the processor has (Sse2 at least on x86-64).
Isa BestIsa();
// What plans are made with: BestIsa, unless a test chose another.
Isa PreferredIsa();
// Plans made from now on use isa (which the processor must have); tests
// compare the forms, benchmarks time them.
void UseIsaForTesting(Isa isa);

struct ColumnPass {
  double* z = nullptr;         // the matrix, complex values as (re, im)
  std::size_t rows = 0;        // the transform length, a power of 2
  std::size_t cols = 0;        // a multiple of ColumnsAtOnce
  std::size_t stride = 0;      // from one row to the next, in complex values
  // Input row r holds element r/2 of the columns (r even) or rows/2 + r/2
  // (r odd); otherwise row r holds element r.
  bool interleaved = false;
  // The input is curve points, (x, y) floats: complex value j is the y of
  // points 2j and 2j + 1, in the same 16 bytes. The output is doubles.
  bool pointsIn = false;
  const double* stages = nullptr;  // StageTwiddles(rows)
  // When set, output row k of column c is multiplied by exp(2 pi i c k / N):
  // the product of roots->At(c0 k), c0 the first column of the group, and
  // shift[k][w] = exp(2 pi i w k / N), w < ColumnsAtOnce (re then im rows).
  const RootTable* roots = nullptr;
  const double* shift = nullptr;
  // Two buffers of rows * ColumnsAtOnce complex values, 64-byte aligned.
  double* work = nullptr;
};

// The transform sum over j of x_j exp(2 pi i j k / rows) of every column, in
// place.
void RunColumnPass(Isa isa, const ColumnPass& pass);

// The FFT command's passes over a curve, with the same vector instructions.
//
// Whether every spacing of count + 1 x values (xy: (x, y) float pairs) is
// within base + kSpacingUlps (|x_i| + |x_i+1|) of d0 (a NaN one is not).
inline constexpr double kSpacingUlps = std::numeric_limits<float>::epsilon();
bool EvenlySpaced(Isa isa, const float* xy, std::size_t count, double d0, double base);
// For k = from .. to - 1, the point (k df, |F_k| scale) from the complex
// value k (doubles 2k and 2k+1 of bytes) into the place of point k of
// bytes; reads each block before it writes it, so it can run in place in
// increasing k.
void WriteAmplitudes(Isa isa, unsigned char* bytes, std::size_t from, std::size_t to, double df,
                     double scale);

}  // namespace tsm::math::fft

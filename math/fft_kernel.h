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
  // The two tables, for vector code: for e < N, At(e) is the product of
  // High()[e >> Bits()] and Low()[e & (2^Bits() - 1)].
  unsigned Bits() const { return bits_; }
  const Root* High() const { return hi_.data(); }
  const Root* Low() const { return lo_.data(); }

 private:
  unsigned bits_;
  std::uint64_t mask_, low_;
  std::vector<Root> hi_, lo_;
};

// The twiddles of a transform of length L (a power of 2), stage after stage:
// radix-8 stages as long as 8 divides the sub-length M, each with M/8
// records of exp(2 pi i j k / M) for k = 1 .. 7 (re, im each), j = 0 ..
// M/8 - 1; then, when 4 is left, a radix-4 stage (one record, k = 1 .. 3),
// or when 2 is left a radix-2 stage, which needs none.
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

// The transform of the n = 2m real values at data from Z, the transform of
// the m complex values z_j = data[2j] + i data[2j+1] held there: with E and
// O the transforms of the even and the odd values, Z = E + i O;
//   E_k = (Z_k + conj Z_(m-k)) / 2, O_k = (Z_k - conj Z_(m-k)) / 2i,
//   F_k = E_k + W^k O_k, F_(m-k) = conj(E_k - W^k O_k), W = exp(2 pi i / n)
// (roots: the table of n); F_0 = E_0 + O_0 and F_(n/2) = E_0 - O_0 are real
// and take data[0] and data[1]. In place, k and m - k together.
void SplitReal(Isa isa, double* data, std::size_t m, const RootTable& roots);

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

// The transform the program had before its four-step form: radix-2
// butterflies in place after a bit-reversal reordering, block by block for
// the cache, with a table of n/4 + 1 twiddles built on every call. Kept as
// a second, independent reference for the tests: the present transform must
// agree with it at every length, up to the long ones where direct sums are
// too slow.
#include "tests/math/fft_previous.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>
#include <vector>

namespace tsm::math::testing {

namespace {

// Stages whose butterflies span at most this many complex values run block
// by block, so each block stays in the cache for all of them.
constexpr std::size_t kCacheBlock = std::size_t{1} << 12;

struct Complex {
  double re, im;
};

// exp(2 pi i k / N) for k = 0 .. N/2 - 1, stored for the first quarter of the
// circle only (k = 0 .. N/4); the second quarter is i times the first.
class Twiddles {
 public:
  explicit Twiddles(std::size_t N) : n_(N), quarter_(N / 4), w_(2 * (N / 4 + 1)) {
    const double step = 2.0 * std::numbers::pi / static_cast<double>(N);
    // Direct sines and cosines on the first octant; the rest of the quarter
    // is the octant mirrored (cos and sin exchange), so every value is as
    // accurate as one library call.
    const std::size_t direct = N >= 8 ? N / 8 : quarter_;
    for (std::size_t k = 0; k <= direct; ++k) {
      const double a = step * static_cast<double>(k);
      w_[2 * k] = std::cos(a);
      w_[2 * k + 1] = std::sin(a);
    }
    for (std::size_t k = direct + 1; k <= quarter_; ++k) {
      w_[2 * k] = w_[2 * (quarter_ - k) + 1];
      w_[2 * k + 1] = w_[2 * (quarter_ - k)];
    }
  }

  std::size_t N() const { return n_; }
  // k <= N/4.
  const double* Quarter(std::size_t k) const { return &w_[2 * k]; }
  // k < N/2.
  Complex At(std::size_t k) const {
    if (k <= quarter_) return {w_[2 * k], w_[2 * k + 1]};
    const double* t = Quarter(k - quarter_);  // i * exp(2 pi i (k - N/4) / N)
    return {-t[1], t[0]};
  }

 private:
  std::size_t n_;
  std::size_t quarter_;
  std::vector<double> w_;
};

void BitReverse(double* z, std::size_t m) {
  std::size_t j = 0;
  for (std::size_t i = 0; i < m; ++i) {
    if (i < j) {
      std::swap(z[2 * i], z[2 * j]);
      std::swap(z[2 * i + 1], z[2 * j + 1]);
    }
    std::size_t bit = m >> 1;
    while (j & bit) {
      j ^= bit;
      bit >>= 1;
    }
    j |= bit;
  }
}

// One butterfly: (a, b) := (a + w b, a - w b).
inline void Butterfly(double* a, double* b, double wr, double wi) {
  const double br = b[0] * wr - b[1] * wi;
  const double bi = b[0] * wi + b[1] * wr;
  b[0] = a[0] - br;
  b[1] = a[1] - bi;
  a[0] += br;
  a[1] += bi;
}

// The stage of span len: within every span, position j pairs with j + len/2
// and takes the twiddle exp(2 pi i j / len), entry j * (N / len) of the table.
void Stage(double* z, std::size_t count, std::size_t len, const Twiddles& w) {
  const std::size_t half = len / 2;
  const std::size_t stride = w.N() / len;
  for (std::size_t start = 0; start < count; start += len) {
    double* a = z + 2 * start;
    double* b = a + 2 * half;
    for (std::size_t j = 0; j < half; ++j) {
      const Complex t = w.At(j * stride);
      Butterfly(a + 2 * j, b + 2 * j, t.re, t.im);
    }
  }
}

// The stages of span len and 2 len in one pass over the data: each group of
// four values (j, j + len/2, j + len, j + 3 len/2) of a 2 len span goes
// through both, so the data is read and written once for two stages. The
// second stage's twiddle for j + len/2 is i times the one for j.
void StagePair(double* z, std::size_t count, std::size_t len, const Twiddles& w) {
  const std::size_t quarter = len / 2;
  const std::size_t stride1 = w.N() / len;
  const std::size_t stride2 = stride1 / 2;
  for (std::size_t start = 0; start < count; start += 2 * len) {
    double* a = z + 2 * start;
    double* b = a + 2 * quarter;
    double* c = b + 2 * quarter;
    double* d = c + 2 * quarter;
    for (std::size_t j = 0; j < quarter; ++j) {
      const Complex t1 = w.At(j * stride1);
      const Complex t2 = w.At(j * stride2);
      double* pa = a + 2 * j;
      double* pb = b + 2 * j;
      double* pc = c + 2 * j;
      double* pd = d + 2 * j;
      Butterfly(pa, pb, t1.re, t1.im);
      Butterfly(pc, pd, t1.re, t1.im);
      Butterfly(pa, pc, t2.re, t2.im);
      Butterfly(pb, pd, -t2.im, t2.re);
    }
  }
}

// The stages of span lenFrom .. lenTo over `count` complex values at z (a
// whole number of lenTo spans), two at a time where possible.
void Stages(double* z, std::size_t count, std::size_t lenFrom, std::size_t lenTo,
            const Twiddles& w) {
  std::size_t len = lenFrom;
  for (; 2 * len <= lenTo; len *= 4) StagePair(z, count, len, w);
  if (len <= lenTo) Stage(z, count, len, w);
}

void Transform(double* z, std::size_t m, const Twiddles& w) {
  if (m < 2) return;
  BitReverse(z, m);
  const std::size_t block = std::min(m, kCacheBlock);
  for (std::size_t start = 0; start < m; start += block) Stages(z + 2 * start, block, 2, block, w);
  if (block < m) Stages(z, m, 2 * block, m, w);
}

}  // namespace

void PreviousRealFFT(double* data, std::size_t n) {
  const Twiddles w(n);  // exp(2 pi i k / n); the half-size transform uses every other one
  const std::size_t m = n / 2;
  // z_j = y_2j + i y_2j+1, so Z = E + i O with E and O the transforms (of
  // length m) of the even and the odd values.
  Transform(data, m, w);

  // F_0 = E_0 + O_0 and F_{n/2} = E_0 - O_0, both real.
  const double z0r = data[0], z0i = data[1];
  data[0] = z0r + z0i;
  data[1] = z0r - z0i;
  // For 0 < k < m: E_k = (Z_k + conj Z_{m-k}) / 2, O_k = (Z_k - conj Z_{m-k}) / 2i,
  // F_k = E_k + W^k O_k with W = exp(2 pi i / n), and F_{m-k} = conj(E_k - W^k O_k).
  for (std::size_t k = 1; k <= m / 2; ++k) {
    double* p = data + 2 * k;
    double* q = data + 2 * (m - k);
    const double er = 0.5 * (p[0] + q[0]);
    const double ei = 0.5 * (p[1] - q[1]);
    const double orr = 0.5 * (p[1] + q[1]);
    const double oi = -0.5 * (p[0] - q[0]);
    const double* t = w.Quarter(k);
    const double tr = t[0] * orr - t[1] * oi;
    const double ti = t[0] * oi + t[1] * orr;
    p[0] = er + tr;
    p[1] = ei + ti;
    if (q != p) {
      q[0] = er - tr;
      q[1] = -(ei - ti);
    }
  }
}

}  // namespace tsm::math::testing

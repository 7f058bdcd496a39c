#include "math/fft_kernel.h"

#include <cmath>
#include <cstring>
#include <numbers>
#include <utility>

namespace tsm::math::fft {

Root UnitRoot(std::uint64_t e, std::uint64_t N) {
  if (N <= 2) return (N == 2 && (e & 1)) ? Root{-1.0, 0.0} : Root{1.0, 0.0};
  e &= N - 1;
  const std::uint64_t quarter = N / 4, eighth = N / 8;
  const std::uint64_t q = e / quarter, r = e % quarter;
  const double step = 2.0 * std::numbers::pi / static_cast<double>(N);
  double c, s;
  if (r <= eighth) {
    c = std::cos(step * static_cast<double>(r));
    s = std::sin(step * static_cast<double>(r));
  } else {  // the angle's complement to a quarter: cosine and sine exchange
    const double a = step * static_cast<double>(quarter - r);
    c = std::sin(a);
    s = std::cos(a);
  }
  switch (q) {  // times i^q
    case 0: return {c, s};
    case 1: return {-s, c};
    case 2: return {-c, -s};
    default: return {s, -c};
  }
}

RootTable::RootTable(std::uint64_t N) {
  unsigned p = 0;
  while ((std::uint64_t{1} << p) < N) ++p;
  bits_ = (p + 1) / 2;
  mask_ = N - 1;
  low_ = (std::uint64_t{1} << bits_) - 1;
  lo_.resize(std::size_t{1} << bits_);
  hi_.resize(static_cast<std::size_t>((N >> bits_) + 1));
  for (std::uint64_t e = 0; e < lo_.size(); ++e) lo_[e] = UnitRoot(e, N);
  for (std::uint64_t e = 0; e < hi_.size(); ++e) hi_[e] = UnitRoot(e << bits_, N);
}

std::vector<double> StageTwiddles(std::size_t L) {
  std::vector<double> t;
  auto stage = [&](std::size_t M, std::size_t radix) {
    for (std::size_t j = 0; j < M / radix; ++j)
      for (std::uint64_t k = 1; k < radix; ++k) {
        const Root w = UnitRoot(j * k * (L / M), L);
        t.push_back(w.re);
        t.push_back(w.im);
      }
  };
  std::size_t M = L;
  for (; M >= 8; M /= 8) stage(M, 8);
  if (M == 4) stage(M, 4);
  return t;
}

namespace {

typedef double V1 __attribute__((vector_size(8)));
typedef double V2 __attribute__((vector_size(16)));
typedef double V4 __attribute__((vector_size(32)));
typedef double V8 __attribute__((vector_size(64)));
// Lanes of 64-bit integers as wide as each: comparisons give them.
typedef long long I1 __attribute__((vector_size(8)));
typedef long long I2 __attribute__((vector_size(16)));
typedef long long I4 __attribute__((vector_size(32)));
typedef long long I8 __attribute__((vector_size(64)));
template <class V> struct Ints;
template <> struct Ints<V1> { using Type = I1; };
template <> struct Ints<V2> { using Type = I2; };
template <> struct Ints<V4> { using Type = I4; };
template <> struct Ints<V8> { using Type = I8; };
// And of floats, half as wide.
typedef float F1 __attribute__((vector_size(4)));
typedef float F2 __attribute__((vector_size(8)));
typedef float F4 __attribute__((vector_size(16)));
typedef float F8 __attribute__((vector_size(32)));
template <class V> struct Floats;
template <> struct Floats<V1> { using Type = F1; };
template <> struct Floats<V2> { using Type = F2; };
template <> struct Floats<V4> { using Type = F4; };
template <> struct Floats<V8> { using Type = F8; };

#define TSM_FFT_INLINE __attribute__((always_inline)) inline

// Buffers hold one row per element: the real parts of the columns as one
// vector, then their imaginary parts. Loads and stores go through memcpy,
// which compiles to plain vector moves and keeps the types honest.
template <class V>
TSM_FFT_INLINE void Load(V& v, const double* p) {
  std::memcpy(&v, p, sizeof v);
}
template <class V>
TSM_FFT_INLINE void Store(double* p, const V& v) {
  std::memcpy(p, &v, sizeof v);
}
template <class V>
TSM_FFT_INLINE void Splat(V& v, double s) {
  v = V{} + s;
}

// The input rows of columns c .. c + W - 1 into the buffer, real and
// imaginary parts apart. Curve points in: element j is the y of points 2j
// and 2j + 1 (the floats at bytes 4 and 12 of its 16).
template <class V>
TSM_FFT_INLINE void Gather(const ColumnPass& p, std::size_t c, double* __restrict buf) {
  constexpr std::size_t W = sizeof(V) / sizeof(double);
  const std::size_t half = p.rows / 2;
  for (std::size_t r = 0; r < p.rows; ++r) {
    const std::size_t j = !p.interleaved ? r : (r & 1) ? half + (r >> 1) : (r >> 1);
    V re{}, im{};  // (every lane is set below; the braces keep gcc from doubting it)
    if (p.pointsIn) {
      float f[4 * W];
      std::memcpy(f, reinterpret_cast<const unsigned char*>(p.z) + 16 * (r * p.stride + c),
                  sizeof f);
      for (std::size_t w = 0; w < W; ++w) {
        re[w] = f[4 * w + 1];
        im[w] = f[4 * w + 3];
      }
    } else {
      double d[2 * W];
      std::memcpy(d, p.z + 2 * (r * p.stride + c), sizeof d);
      for (std::size_t w = 0; w < W; ++w) {
        re[w] = d[2 * w];
        im[w] = d[2 * w + 1];
      }
    }
    Store(buf + 2 * W * j, re);
    Store(buf + 2 * W * j + W, im);
  }
}

// One radix-4 stage of the self-sorting (Stockham) form. The data are L
// transforms of length M still to do, element j of transform l at row
// j L + l; the stage leaves 4 L transforms of length M / 4:
//   b[j][k L + l] = w^(j k) sum over q of a[q M/4 + j][l] i^(q k),
// w = exp(2 pi i / M), j < M/4, k < 4. After the last stage row k holds
// output k, in natural order.
template <class V>
TSM_FFT_INLINE void Radix4(const double* __restrict a, double* __restrict b, std::size_t M,
                           std::size_t L, const double* __restrict tw) {
  constexpr std::size_t W = sizeof(V) / sizeof(double);
  constexpr std::size_t R = 2 * W;  // doubles per row
  const std::size_t q = M / 4;
  for (std::size_t j = 0; j < q; ++j, tw += 6) {
    V w1r, w1i, w2r, w2i, w3r, w3i;
    Splat(w1r, tw[0]);
    Splat(w1i, tw[1]);
    Splat(w2r, tw[2]);
    Splat(w2i, tw[3]);
    Splat(w3r, tw[4]);
    Splat(w3i, tw[5]);
    const double* a0 = a + R * (j * L);
    const double* a1 = a + R * ((q + j) * L);
    const double* a2 = a + R * ((2 * q + j) * L);
    const double* a3 = a + R * ((3 * q + j) * L);
    double* b0 = b + R * (4 * j * L);
    double* b1 = b0 + R * L;
    double* b2 = b1 + R * L;
    double* b3 = b2 + R * L;
    for (std::size_t l = 0; l < L; ++l) {
      const std::size_t o = R * l;
      V x0r, x0i, x1r, x1i, x2r, x2i, x3r, x3i;
      Load(x0r, a0 + o);
      Load(x0i, a0 + o + W);
      Load(x1r, a1 + o);
      Load(x1i, a1 + o + W);
      Load(x2r, a2 + o);
      Load(x2i, a2 + o + W);
      Load(x3r, a3 + o);
      Load(x3i, a3 + o + W);
      const V t0r = x0r + x2r, t0i = x0i + x2i;
      const V t1r = x0r - x2r, t1i = x0i - x2i;
      const V t2r = x1r + x3r, t2i = x1i + x3i;
      const V t3r = x3i - x1i, t3i = x1r - x3r;  // i (x1 - x3)
      const V y1r = t1r + t3r, y1i = t1i + t3i;
      const V y2r = t0r - t2r, y2i = t0i - t2i;
      const V y3r = t1r - t3r, y3i = t1i - t3i;
      Store(b0 + o, V(t0r + t2r));
      Store(b0 + o + W, V(t0i + t2i));
      Store(b1 + o, V(y1r * w1r - y1i * w1i));
      Store(b1 + o + W, V(y1r * w1i + y1i * w1r));
      Store(b2 + o, V(y2r * w2r - y2i * w2i));
      Store(b2 + o + W, V(y2r * w2i + y2i * w2r));
      Store(b3 + o, V(y3r * w3r - y3i * w3i));
      Store(b3 + o + W, V(y3r * w3i + y3i * w3r));
    }
  }
}

// One radix-8 stage of the same form:
//   b[j][k L + l] = w^(j k) sum over q of a[q M/8 + j][l] u^(q k),
// w = exp(2 pi i / M), u = exp(2 pi i / 8), j < M/8, k < 8. The sum is
// taken as two of four points, over the even and the odd q:
//   X_k = E_k + u^k O_k and X_(k+4) = E_k - u^k O_k for k < 4,
// with u = (1 + i) / sqrt 2, u^2 = i, u^3 = (i - 1) / sqrt 2. Three
// stages of two points in registers for each pass over the rows: fewer
// passes than radix-4 stages take, which is what a column pass's time
// goes to.
template <class V>
TSM_FFT_INLINE void Radix8(const double* __restrict a, double* __restrict b, std::size_t M,
                           std::size_t L, const double* __restrict tw) {
  constexpr std::size_t W = sizeof(V) / sizeof(double);
  constexpr std::size_t R = 2 * W;  // doubles per row
  const std::size_t q = M / 8;
  V h;
  Splat(h, std::numbers::sqrt2 / 2);
  for (std::size_t j = 0; j < q; ++j, tw += 14) {
    const double* in[8];
    for (std::size_t p = 0; p < 8; ++p) in[p] = a + R * ((p * q + j) * L);
    double* out = b + R * (8 * j * L);
    for (std::size_t l = 0; l < L; ++l) {
      const std::size_t o = R * l;
      V xr[8], xi[8];
      for (std::size_t p = 0; p < 8; ++p) {
        Load(xr[p], in[p] + o);
        Load(xi[p], in[p] + o + W);
      }
      // Four points over x0, x2, x4, x6 (E) and over x1, x3, x5, x7 (O).
      V er[4], ei[4], orr[4], oi[4];
      for (std::size_t odd = 0; odd < 2; ++odd) {
        const V *yr = xr + odd, *yi = xi + odd;  // y_m = x_(2m + odd)
        const V s0r = yr[0] + yr[4], s0i = yi[0] + yi[4];
        const V d0r = yr[0] - yr[4], d0i = yi[0] - yi[4];
        const V s1r = yr[2] + yr[6], s1i = yi[2] + yi[6];
        const V d1r = yi[6] - yi[2], d1i = yr[2] - yr[6];  // i (y1 - y3)
        V* zr = odd ? orr : er;
        V* zi = odd ? oi : ei;
        zr[0] = s0r + s1r;
        zi[0] = s0i + s1i;
        zr[1] = d0r + d1r;
        zi[1] = d0i + d1i;
        zr[2] = s0r - s1r;
        zi[2] = s0i - s1i;
        zr[3] = d0r - d1r;
        zi[3] = d0i - d1i;
      }
      // u^k O_k.
      V tr[4], ti[4];
      tr[0] = orr[0];
      ti[0] = oi[0];
      tr[1] = h * (orr[1] - oi[1]);
      ti[1] = h * (orr[1] + oi[1]);
      tr[2] = -oi[2];
      ti[2] = orr[2];
      tr[3] = -h * (orr[3] + oi[3]);
      ti[3] = h * (orr[3] - oi[3]);
      for (std::size_t k = 0; k < 8; ++k) {
        const V yr = k < 4 ? V(er[k] + tr[k]) : V(er[k - 4] - tr[k - 4]);
        const V yi = k < 4 ? V(ei[k] + ti[k]) : V(ei[k - 4] - ti[k - 4]);
        double* row = out + R * (k * L) + o;
        if (k == 0) {
          Store(row, yr);
          Store(row + W, yi);
          continue;
        }
        V wr, wi;
        Splat(wr, tw[2 * k - 2]);
        Splat(wi, tw[2 * k - 1]);
        Store(row, V(yr * wr - yi * wi));
        Store(row + W, V(yr * wi + yi * wr));
      }
    }
  }
}

// The last stage when the length is an odd power of 2: M = 2, no twiddles.
template <class V>
TSM_FFT_INLINE void Radix2(const double* __restrict a, double* __restrict b, std::size_t L) {
  constexpr std::size_t W = sizeof(V) / sizeof(double);
  constexpr std::size_t R = 2 * W;
  for (std::size_t l = 0; l < L; ++l) {
    const std::size_t o = R * l;
    V x0r, x0i, x1r, x1i;
    Load(x0r, a + o);
    Load(x0i, a + o + W);
    Load(x1r, a + R * L + o);
    Load(x1i, a + R * L + o + W);
    Store(b + o, V(x0r + x1r));
    Store(b + o + W, V(x0i + x1i));
    Store(b + R * L + o, V(x0r - x1r));
    Store(b + R * L + o + W, V(x0i - x1i));
  }
}

// The transformed rows back into columns c .. c + W - 1, twiddled if asked.
template <class V>
TSM_FFT_INLINE void Scatter(const ColumnPass& p, std::size_t c, const double* __restrict buf) {
  constexpr std::size_t W = sizeof(V) / sizeof(double);
  for (std::size_t k = 0; k < p.rows; ++k) {
    V re, im;
    Load(re, buf + 2 * W * k);
    Load(im, buf + 2 * W * k + W);
    if (p.roots) {
      const Root base = p.roots->At(static_cast<std::uint64_t>(c) * k);
      V sr, si, br, bi;
      Load(sr, p.shift + 2 * W * k);
      Load(si, p.shift + 2 * W * k + W);
      Splat(br, base.re);
      Splat(bi, base.im);
      const V tr = br * sr - bi * si, ti = br * si + bi * sr;
      const V xr = re * tr - im * ti;
      im = re * ti + im * tr;
      re = xr;
    }
    double d[2 * W];
    for (std::size_t w = 0; w < W; ++w) {
      d[2 * w] = re[w];
      d[2 * w + 1] = im[w];
    }
    std::memcpy(p.z + 2 * (k * p.stride + c), d, sizeof d);
  }
}

template <class V>
TSM_FFT_INLINE void Pass(const ColumnPass& p) {
  constexpr std::size_t W = sizeof(V) / sizeof(double);
  double* bufA = p.work;
  double* bufB = p.work + 2 * W * p.rows;
  for (std::size_t c = 0; c < p.cols; c += W) {
    Gather<V>(p, c, bufA);
    double* from = bufA;
    double* to = bufB;
    const double* tw = p.stages;
    std::size_t M = p.rows, L = 1;
    for (; M >= 8; M /= 8, L *= 8) {
      Radix8<V>(from, to, M, L, tw);
      tw += 14 * (M / 8);
      std::swap(from, to);
    }
    if (M == 4) {
      Radix4<V>(from, to, M, L, tw);
      std::swap(from, to);
    } else if (M == 2) {
      Radix2<V>(from, to, L);
      std::swap(from, to);
    }
    Scatter<V>(p, c, from);
  }
}

// |v| lane by lane: the sign bits cleared.
template <class V>
TSM_FFT_INLINE void Abs(V& out, const V& v) {
  using I = typename Ints<V>::Type;
  out = reinterpret_cast<V>(reinterpret_cast<I>(v) & ~(I{} + (1LL << 63)));
}

template <class V>
TSM_FFT_INLINE bool Even(const float* xy, std::size_t count, double d0, double base) {
  constexpr std::size_t W = sizeof(V) / sizeof(double);
  using I = typename Ints<V>::Type;
  V vd0, vbase, veps;
  Splat(vd0, d0);
  Splat(vbase, base);
  Splat(veps, kSpacingUlps);
  I ok = I{} - 1;
  std::size_t i = 0;
  for (; i + W <= count; i += W) {
    V a, b;
    for (std::size_t w = 0; w < W; ++w) {
      a[w] = xy[2 * (i + w)];
      b[w] = xy[2 * (i + w) + 2];
    }
    V absA, absB, off;
    Abs(absA, a);
    Abs(absB, b);
    Abs(off, V((b - a) - vd0));
    ok &= off <= vbase + veps * (absA + absB);  // false for NaN
  }
  bool even = true;
  for (std::size_t w = 0; w < W; ++w) even = even && ok[w] != 0;
  for (; i < count; ++i) {
    const double a = xy[2 * i], b = xy[2 * i + 2];
    const double slack = base + kSpacingUlps * (std::fabs(a) + std::fabs(b));
    even = even && std::fabs((b - a) - d0) <= slack;
  }
  return even;
}

template <class V>
TSM_FFT_INLINE void Amplitudes(unsigned char* bytes, std::size_t from, std::size_t to, double df,
                               double scale) {
  constexpr std::size_t W = sizeof(V) / sizeof(double);
  using F = typename Floats<V>::Type;
  V vdf, vscale, step;
  Splat(vdf, df);
  Splat(vscale, scale);
  for (std::size_t w = 0; w < W; ++w) step[w] = static_cast<double>(w);
  std::size_t k = from;
  for (; k + W <= to; k += W) {
    // All of the block is read before any of it is written: its points
    // take the places of doubles k .. k + W - 1, below the doubles read.
    double d[2 * W];
    std::memcpy(d, bytes + 16 * k, sizeof d);
    V re, im;
    for (std::size_t w = 0; w < W; ++w) {
      re[w] = d[2 * w];
      im[w] = d[2 * w + 1];
    }
    V base;
    Splat(base, static_cast<double>(k));
    V amplitude = re * re + im * im;
    // Lane by lane, without errno (see math/CMakeLists.txt): one vector
    // square root.
    for (std::size_t w = 0; w < W; ++w) amplitude[w] = __builtin_sqrt(amplitude[w]);
    const F x = __builtin_convertvector((base + step) * vdf, F);
    const F y = __builtin_convertvector(amplitude * vscale, F);
    float out[2 * W];
    for (std::size_t w = 0; w < W; ++w) {
      out[2 * w] = x[w];
      out[2 * w + 1] = y[w];
    }
    std::memcpy(bytes + 8 * k, out, sizeof out);
  }
  for (; k < to; ++k) {
    double d[2];
    std::memcpy(d, bytes + 16 * k, sizeof d);
    const float out[2] = {static_cast<float>(static_cast<double>(k) * df),
                          static_cast<float>(std::sqrt(d[0] * d[0] + d[1] * d[1]) * scale)};
    std::memcpy(bytes + 8 * k, out, sizeof out);
  }
}

// One k of the split (see SplitReal): p holds Z_k, q Z_(m-k), t = W^k.
TSM_FFT_INLINE void SplitOne(double* p, double* q, Root t) {
  const double er = 0.5 * (p[0] + q[0]);
  const double ei = 0.5 * (p[1] - q[1]);
  const double orr = 0.5 * (p[1] + q[1]);
  const double oi = -0.5 * (p[0] - q[0]);
  const double tr = t.re * orr - t.im * oi;
  const double ti = t.re * oi + t.im * orr;
  p[0] = er + tr;
  p[1] = ei + ti;
  if (q != p) {
    q[0] = er - tr;
    q[1] = ti - ei;
  }
}

// The split, W values of k at a time while the block of their mirrors
// m - k lies wholly above theirs; the rest one by one.
template <class V>
TSM_FFT_INLINE void Split(double* data, std::size_t m, const RootTable& roots) {
  constexpr std::size_t W = sizeof(V) / sizeof(double);
  const double z0r = data[0], z0i = data[1];
  data[0] = z0r + z0i;
  data[1] = z0r - z0i;
  const unsigned bits = roots.Bits();
  const std::size_t low = (std::size_t{1} << bits) - 1;
  V half;
  Splat(half, 0.5);
  std::size_t k = 1;
  for (; 2 * (k + W - 1) < m; k += W) {
    // The roots W^k: one high part for the block unless it crosses into
    // the next (then each is taken as it comes).
    V wr, wi;
    if ((k & low) + (W - 1) <= low) {
      const Root h = roots.High()[k >> bits];
      double lo[2 * W];
      std::memcpy(lo, roots.Low() + (k & low), sizeof lo);
      V lr{}, li{}, hr, hi;
      for (std::size_t w = 0; w < W; ++w) {
        lr[w] = lo[2 * w];
        li[w] = lo[2 * w + 1];
      }
      Splat(hr, h.re);
      Splat(hi, h.im);
      wr = hr * lr - hi * li;
      wi = hr * li + hi * lr;
    } else {
      for (std::size_t w = 0; w < W; ++w) {
        const Root t = roots.At(k + w);
        wr[w] = t.re;
        wi[w] = t.im;
      }
    }
    double* pp = data + 2 * k;
    double* qq = data + 2 * (m - k - (W - 1));  // lane w's mirror is its W - 1 - w
    double pd[2 * W], qd[2 * W];
    std::memcpy(pd, pp, sizeof pd);
    std::memcpy(qd, qq, sizeof qd);
    V pr, pi, qr, qi;
    for (std::size_t w = 0; w < W; ++w) {
      pr[w] = pd[2 * w];
      pi[w] = pd[2 * w + 1];
      qr[w] = qd[2 * (W - 1 - w)];
      qi[w] = qd[2 * (W - 1 - w) + 1];
    }
    const V er = half * (pr + qr), ei = half * (pi - qi);
    const V orr = half * (pi + qi), oi = half * (qr - pr);
    const V tr = wr * orr - wi * oi, ti = wr * oi + wi * orr;
    const V ar = er + tr, ai = ei + ti, br = er - tr, bi = ti - ei;
    for (std::size_t w = 0; w < W; ++w) {
      pd[2 * w] = ar[w];
      pd[2 * w + 1] = ai[w];
      qd[2 * (W - 1 - w)] = br[w];
      qd[2 * (W - 1 - w) + 1] = bi[w];
    }
    std::memcpy(pp, pd, sizeof pd);
    std::memcpy(qq, qd, sizeof qd);
  }
  for (; k <= m / 2; ++k) SplitOne(data + 2 * k, data + 2 * (m - k), roots.At(k));
}

void PassScalar(const ColumnPass& p) { Pass<V1>(p); }
void SplitScalar(double* data, std::size_t m, const RootTable& roots) { Split<V1>(data, m, roots); }
void SplitSse2(double* data, std::size_t m, const RootTable& roots) { Split<V2>(data, m, roots); }
void PassSse2(const ColumnPass& p) { Pass<V2>(p); }
bool EvenSse2(const float* xy, std::size_t count, double d0, double base) {
  return Even<V2>(xy, count, d0, base);
}
void AmplitudesSse2(unsigned char* bytes, std::size_t from, std::size_t to, double df,
                    double scale) {
  Amplitudes<V2>(bytes, from, to, df, scale);
}
#if defined(__x86_64__)
#define TSM_FFT_X86 1
__attribute__((target("avx2,fma"))) void PassAvx2(const ColumnPass& p) { Pass<V4>(p); }
__attribute__((target("avx512f"))) void PassAvx512(const ColumnPass& p) { Pass<V8>(p); }
__attribute__((target("avx2,fma"))) void SplitAvx2(double* data, std::size_t m,
                                                   const RootTable& roots) {
  Split<V4>(data, m, roots);
}
__attribute__((target("avx512f"))) void SplitAvx512(double* data, std::size_t m,
                                                    const RootTable& roots) {
  Split<V8>(data, m, roots);
}
__attribute__((target("avx2,fma"))) bool EvenAvx2(const float* xy, std::size_t count, double d0,
                                                  double base) {
  return Even<V4>(xy, count, d0, base);
}
__attribute__((target("avx512f"))) bool EvenAvx512(const float* xy, std::size_t count, double d0,
                                                   double base) {
  return Even<V8>(xy, count, d0, base);
}
__attribute__((target("avx2,fma"))) void AmplitudesAvx2(unsigned char* bytes, std::size_t from,
                                                        std::size_t to, double df, double scale) {
  Amplitudes<V4>(bytes, from, to, df, scale);
}
__attribute__((target("avx512f"))) void AmplitudesAvx512(unsigned char* bytes, std::size_t from,
                                                         std::size_t to, double df,
                                                         double scale) {
  Amplitudes<V8>(bytes, from, to, df, scale);
}
#endif

}  // namespace

int ColumnsAtOnce(Isa isa) {
  switch (isa) {
    case Isa::Scalar: return 1;
    case Isa::Sse2: return 2;
    case Isa::Avx2: return 4;
    case Isa::Avx512: return 8;
  }
  return 1;
}

Isa BestIsa() {
#ifdef TSM_FFT_X86
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx512f")) return Isa::Avx512;
  if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma")) return Isa::Avx2;
#endif
  return Isa::Sse2;
}

bool EvenlySpaced(Isa isa, const float* xy, std::size_t count, double d0, double base) {
  switch (isa) {
#ifdef TSM_FFT_X86
    case Isa::Avx512: return EvenAvx512(xy, count, d0, base);
    case Isa::Avx2: return EvenAvx2(xy, count, d0, base);
#endif
    default: return EvenSse2(xy, count, d0, base);
  }
}

void WriteAmplitudes(Isa isa, unsigned char* bytes, std::size_t from, std::size_t to, double df,
                     double scale) {
  switch (isa) {
#ifdef TSM_FFT_X86
    case Isa::Avx512: AmplitudesAvx512(bytes, from, to, df, scale); return;
    case Isa::Avx2: AmplitudesAvx2(bytes, from, to, df, scale); return;
#endif
    default: AmplitudesSse2(bytes, from, to, df, scale); return;
  }
}

void SplitReal(Isa isa, double* data, std::size_t m, const RootTable& roots) {
  switch (isa) {
#ifdef TSM_FFT_X86
    case Isa::Avx512: SplitAvx512(data, m, roots); return;
    case Isa::Avx2: SplitAvx2(data, m, roots); return;
#endif
    case Isa::Sse2: SplitSse2(data, m, roots); return;
    default: SplitScalar(data, m, roots); return;
  }
}

void RunColumnPass(Isa isa, const ColumnPass& pass) {
  switch (isa) {
#ifdef TSM_FFT_X86
    case Isa::Avx512: PassAvx512(pass); return;
    case Isa::Avx2: PassAvx2(pass); return;
#endif
    case Isa::Sse2: PassSse2(pass); return;
    default: PassScalar(pass); return;
  }
}

}  // namespace tsm::math::fft

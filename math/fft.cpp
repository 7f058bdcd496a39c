#include "math/fft.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <new>
#include <optional>
#include <utility>
#include <vector>

#include "math/fft_kernel.h"
#include "platform/assert.h"

namespace tsm::math {

namespace fft {

namespace {

constexpr const char* kSource = "fft";
// Complex lengths below this are one short transform; from it on the
// four-step method has at least 16 columns in each pass.
constexpr std::size_t kFourStepFrom = 256;
// Tiles of the transposition, in complex values a side.
constexpr std::size_t kTile = 8;

// 64-byte aligned doubles.
class AlignedDoubles {
 public:
  AlignedDoubles() = default;
  explicit AlignedDoubles(std::size_t count) : block_(new double[count + 8]) {
    const auto address = reinterpret_cast<std::uintptr_t>(block_.get());
    data_ = block_.get() + ((64 - address % 64) % 64) / sizeof(double);
  }
  double* data() const { return data_; }

 private:
  std::unique_ptr<double[]> block_;
  double* data_ = nullptr;
};

struct Complex {
  double re, im;
};

inline Complex Load(const double* p) { return {p[0], p[1]}; }
inline void Store(double* p, Complex c) {
  p[0] = c.re;
  p[1] = c.im;
}

}  // namespace

// Everything a transform of n real points needs besides its data.
struct Plan {
  Plan(std::size_t points, Isa wanted);

  std::size_t n, m;  // real points, complex points
  Isa isa;           // of the passes
  bool fourStep;
  std::size_t s = 0, m1 = 0;  // four-step: m = m1 s, m1 = s or 2 s
  std::vector<double> stagesS, stagesM1;
  std::optional<RootTable> rootsM;  // exp(2 pi i e / m): the twiddles between the passes
  AlignedDoubles shift;             // for the first pass, see ColumnPass
  RootTable rootsN;                 // exp(2 pi i e / n): the split into the real transform
  AlignedDoubles work;
};

Plan::Plan(std::size_t points, Isa wanted)
    : n(points), m(points / 2), isa(wanted), fourStep(m >= kFourStepFrom), rootsN(points) {
  if (!fourStep) {
    // One short transform of all m values, as one column.
    isa = Isa::Scalar;
    stagesS = StageTwiddles(m);
    work = AlignedDoubles(4 * m);
    return;
  }
  unsigned p = 0;
  while ((std::size_t{1} << p) < m) ++p;
  s = std::size_t{1} << (p / 2);
  m1 = m / s;
  const std::size_t W = static_cast<std::size_t>(ColumnsAtOnce(isa));
  stagesS = StageTwiddles(s);
  if (m1 != s) stagesM1 = StageTwiddles(m1);
  rootsM.emplace(m);
  shift = AlignedDoubles(2 * W * s);
  for (std::size_t k = 0; k < s; ++k)
    for (std::size_t w = 0; w < W; ++w) {
      const Root r = UnitRoot(static_cast<std::uint64_t>(w) * k, m);
      shift.data()[2 * W * k + w] = r.re;
      shift.data()[2 * W * k + W + w] = r.im;
    }
  work = AlignedDoubles(4 * W * m1);
}

namespace {

// Swaps the s x s square at z (row stride `stride` complex values) with its
// transpose, tile by tile.
void TransposeSquare(double* z, std::size_t s, std::size_t stride) {
  auto at = [&](std::size_t r, std::size_t c) { return z + 2 * (r * stride + c); };
  Complex a[kTile][kTile], b[kTile][kTile];
  for (std::size_t I = 0; I < s; I += kTile) {
    for (std::size_t J = I; J < s; J += kTile) {
      for (std::size_t r = 0; r < kTile; ++r)
        for (std::size_t c = 0; c < kTile; ++c) {
          a[r][c] = Load(at(I + r, J + c));
          b[r][c] = Load(at(J + r, I + c));
        }
      for (std::size_t r = 0; r < kTile; ++r)
        for (std::size_t c = 0; c < kTile; ++c) {
          Store(at(I + r, J + c), b[c][r]);
          Store(at(J + r, I + c), a[c][r]);
        }
    }
  }
}

// The complex transform of the plan's m values at z, in place; from the
// y of curve points there when pointsIn (see ColumnPass).
void ComplexTransform(double* z, const Plan& plan, bool pointsIn) {
  ColumnPass pass;
  pass.z = z;
  pass.work = plan.work.data();
  pass.pointsIn = pointsIn;
  if (!plan.fourStep) {
    pass.rows = plan.m;
    pass.cols = 1;
    pass.stride = 1;
    pass.stages = plan.stagesS.data();
    RunColumnPass(plan.isa, pass);
    return;
  }
  // z_(j1 + m1 j2) is row j2, column j1 of an s x m1 matrix. The columns'
  // transforms over j2, times exp(2 pi i j1 k2 / m), are
  //   Y[k2][j1] = exp(2 pi i j1 k2 / m) sum over j2 of z_(j1 + m1 j2) exp(2 pi i j2 k2 / s),
  // and Z_(k2 + s k1) = sum over j1 of Y[k2][j1] exp(2 pi i j1 k1 / m1).
  const std::size_t s = plan.s, m1 = plan.m1;
  pass.rows = s;
  pass.cols = m1;
  pass.stride = m1;
  pass.stages = plan.stagesS.data();
  pass.roots = &*plan.rootsM;
  pass.shift = plan.shift.data();
  RunColumnPass(plan.isa, pass);
  // Transposed, Y[k2][j1] sits in row j1, column k2 of an m1 x s matrix,
  // whose columns then transform into row k1: place k2 + s k1, natural
  // order. When m1 = 2 s, the s x 2 s matrix Y is two squares side by side;
  // each is transposed in place, so row j1 < s of the left one holds
  // Y[.][j1] and row j1 of the right one Y[.][s + j1]: as m1 rows of s
  // values, row 2 j1 and row 2 j1 + 1.
  if (m1 == s) {
    TransposeSquare(z, s, s);
  } else {
    TransposeSquare(z, s, m1);
    TransposeSquare(z + 2 * s, s, m1);
  }
  pass.rows = m1;
  pass.cols = s;
  pass.stride = s;
  pass.pointsIn = false;
  pass.interleaved = m1 != s;
  pass.stages = (m1 == s ? plan.stagesS : plan.stagesM1).data();
  pass.roots = nullptr;
  pass.shift = nullptr;
  RunColumnPass(plan.isa, pass);
}

// The plans of the last transforms, for the next ones of the same length.
struct PlanCache {
  std::mutex lock;
  std::vector<std::unique_ptr<Plan>> plans;  // the most recent last
};
constexpr std::size_t kPlansKept = 2;

PlanCache& Cache() {
  static PlanCache cache;
  return cache;
}

Isa& ChosenIsa() {
  static Isa isa = BestIsa();
  return isa;
}

}  // namespace

Isa PreferredIsa() {
  std::lock_guard<std::mutex> hold(Cache().lock);
  return ChosenIsa();
}

void UseIsaForTesting(Isa isa) {
  std::lock_guard<std::mutex> hold(Cache().lock);
  ChosenIsa() = isa;
}

}  // namespace fft

std::uint64_t LargestPowerOfTwo(std::uint64_t n) {
  if (n == 0) return 0;
  std::uint64_t p = 1;
  while (p <= n / 2) p *= 2;
  return p;
}

RealFFTPlan::RealFFTPlan(std::size_t n) {
  if (!TSM_ASSERT(n >= 2 && IsPowerOfTwo(n), fft::kSource)) n = 2;
  fft::PlanCache& cache = fft::Cache();
  fft::Isa isa;
  {
    std::lock_guard<std::mutex> hold(cache.lock);
    isa = fft::ChosenIsa();
    for (auto it = cache.plans.begin(); it != cache.plans.end(); ++it)
      if ((*it)->n == n && (*it)->isa == ((*it)->fourStep ? isa : fft::Isa::Scalar)) {
        plan_ = std::move(*it);
        cache.plans.erase(it);
        return;
      }
  }
  plan_ = std::make_unique<fft::Plan>(n, isa);
}

RealFFTPlan::~RealFFTPlan() {
  if (!plan_) return;
  fft::PlanCache& cache = fft::Cache();
  std::lock_guard<std::mutex> hold(cache.lock);
  try {
    cache.plans.push_back(std::move(plan_));
  } catch (const std::bad_alloc&) {
    return;  // not kept: the next transform of this length plans afresh
  }
  if (cache.plans.size() > fft::kPlansKept) cache.plans.erase(cache.plans.begin());
}

std::size_t RealFFTPlan::Size() const { return plan_->n; }

void RealFFTPlan::Transform(double* data) {
  fft::ComplexTransform(data, *plan_, false);
  fft::SplitReal(plan_->isa, data, plan_->m, plan_->rootsN);
}

double* RealFFTPlan::TransformPointsY(void* points) {
  // The doubles come into being in the points' storage as the first pass
  // writes them (through memcpy); from then on it holds n doubles.
  auto* data = static_cast<double*>(points);
  fft::ComplexTransform(data, *plan_, true);
  fft::SplitReal(plan_->isa, data, plan_->m, plan_->rootsN);
  return data;
}

fft::Isa RealFFTPlan::VectorForm() const { return plan_->isa; }

void RealFFT(double* data, std::size_t n) {
  if (!TSM_ASSERT(n >= 2 && IsPowerOfTwo(n), fft::kSource)) return;
  RealFFTPlan plan(n);
  plan.Transform(data);
}

}  // namespace tsm::math

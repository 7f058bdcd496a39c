#include "math/junction.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

#include "math/leastsquarefit.h"

namespace tsm::math {

using curves::Curve;
using curves::CurvePoint;

std::optional<double> SwitchingCurrent(const Curve& curve, int sign, double criterion) {
  const CurvePoint* p = curve.Data();
  for (std::uint32_t i = 1; i < curve.Count(); ++i) {
    const double before = sign * static_cast<double>(p[i - 1].x);
    const double now = sign * static_cast<double>(p[i].x);
    if (now <= 0.0 || now <= before) continue;  // not moving outwards on this side
    if (std::fabs(p[i].y) >= criterion && std::fabs(p[i - 1].y) < criterion)
      return sign * std::max(before, 0.0);
  }
  return std::nullopt;
}

double OhmicLine::CurrentIntercept() const {
  return slope == 0.0 ? kNotFound : -intercept / slope;
}

namespace {

// A least-squares line that also knows the scatter of its points about it.
// Coordinates are taken relative to an origin inside the data (the branch's
// outermost point), which keeps the sums' cancellation small.
class ScatteredLine {
 public:
  ScatteredLine(double x0, double y0) : x0_(x0), y0_(y0) {}
  void Add(double x, double y) {
    const double u = x - x0_, v = y - y0_;
    fit_.Add(u, v, 1.0);
    ++n_;
    sv_ += v;
    suv_ += u * v;
    svv_ += v * v;
  }
  std::uint32_t Count() const { return n_; }
  bool Defined() const { return fit_.A() != LeastSquareFit::kInfinite; }
  double Slope() const { return fit_.A(); }
  double Intercept() const { return y0_ + fit_.B() - fit_.A() * x0_; }
  double Residual(double x, double y) const {
    return (y - y0_) - (fit_.A() * (x - x0_) + fit_.B());
  }
  // The standard deviation of the residuals (n - 2 degrees of freedom); 0
  // for two points. From the normal equations, the sum of the squared
  // residuals is Svv - A Suv - B Sv.
  double Deviation() const {
    if (n_ <= 2) return 0.0;
    const double squares = svv_ - fit_.A() * suv_ - fit_.B() * sv_;
    return squares > 0.0 ? std::sqrt(squares / (n_ - 2)) : 0.0;
  }

 private:
  double x0_, y0_;
  LeastSquareFit fit_;
  std::uint32_t n_ = 0;
  double sv_ = 0.0, suv_ = 0.0, svv_ = 0.0;
};

// Points within this fraction of the branch's largest |y| always count as
// on the line: float storage rounds an exact line by about 6e-8 of it.
constexpr double kResidualFloor = 1e-6;
constexpr double kDeviations = 3.0;

}  // namespace

std::optional<OhmicLine> FitOhmicBranch(const Curve& curve, int sign, unsigned startPoints) {
  const CurvePoint* p = curve.Data();
  std::vector<std::uint32_t> order;
  for (std::uint32_t i = 0; i < curve.Count(); ++i)
    if (sign * p[i].x > 0.0f) order.push_back(i);
  if (order.size() < 2) return std::nullopt;
  std::stable_sort(order.begin(), order.end(), [p](std::uint32_t a, std::uint32_t b) {
    return std::fabs(p[a].x) > std::fabs(p[b].x);
  });

  const std::size_t start = std::clamp<std::size_t>(startPoints, 2, order.size());
  ScatteredLine line(p[order[0]].x, p[order[0]].y);
  double largestY = 0.0;
  for (std::size_t k = 0; k < start; ++k) {
    line.Add(p[order[k]].x, p[order[k]].y);
    largestY = std::max(largestY, static_cast<double>(std::fabs(p[order[k]].y)));
  }
  if (!line.Defined()) return std::nullopt;
  for (std::size_t k = start; k < order.size(); ++k) {
    const CurvePoint& q = p[order[k]];
    const double tolerance =
        std::max(kDeviations * line.Deviation(), kResidualFloor * largestY);
    if (!(std::fabs(line.Residual(q.x, q.y)) <= tolerance)) break;
    line.Add(q.x, q.y);
    largestY = std::max(largestY, static_cast<double>(std::fabs(q.y)));
  }
  OhmicLine result;
  result.slope = line.Slope();
  result.intercept = line.Intercept();
  result.points = line.Count();
  result.outermost = p[order[0]].x;
  return result;
}

std::optional<double> ChordResistance(const Curve& curve, int sign) {
  const CurvePoint* p = curve.Data();
  std::optional<std::uint32_t> best;
  for (std::uint32_t i = 0; i < curve.Count(); ++i)
    if (sign * p[i].x > 0.0f && (!best || std::fabs(p[i].x) > std::fabs(p[*best].x))) best = i;
  if (!best) return std::nullopt;
  return static_cast<double>(p[*best].y) / p[*best].x;
}

std::optional<double> VoltageAtCurrent(const Curve& curve, double current) {
  const CurvePoint* p = curve.Data();
  double sum = 0.0;
  int found = 0;
  for (std::uint32_t i = 1; i < curve.Count(); ++i) {
    const double x0 = p[i - 1].x, x1 = p[i].x;
    if (x0 == x1 || current < std::min(x0, x1) || current > std::max(x0, x1)) continue;
    const double t = (current - x0) / (x1 - x0);
    sum += std::fabs(p[i - 1].y + t * (static_cast<double>(p[i].y) - p[i - 1].y));
    ++found;
  }
  if (found == 0) return std::nullopt;
  return sum / found;
}

namespace {

// The mean of the values that are not NaN, NaN when there is none.
double MeanOfFound(std::initializer_list<double> values) {
  double sum = 0.0;
  int n = 0;
  for (double v : values)
    if (!std::isnan(v)) sum += v, ++n;
  return n == 0 ? kNotFound : sum / n;
}

}  // namespace

JunctionParameters AnalyseJunction(const Curve& curve, const JunctionOptions& o) {
  JunctionParameters r;
  r.icPlus = SwitchingCurrent(curve, +1, o.icCriterion).value_or(kNotFound);
  r.icMinus = SwitchingCurrent(curve, -1, o.icCriterion).value_or(kNotFound);
  r.ic = MeanOfFound({std::fabs(r.icPlus), std::fabs(r.icMinus)});

  r.positive = FitOhmicBranch(curve, +1, o.rnStartPoints);
  r.negative = FitOhmicBranch(curve, -1, o.rnStartPoints);
  if (o.rnMethod == kRnChord)
    r.rn = MeanOfFound({ChordResistance(curve, +1).value_or(kNotFound),
                        ChordResistance(curve, -1).value_or(kNotFound)});
  else
    r.rn = MeanOfFound({r.positive ? r.positive->slope : kNotFound,
                        r.negative ? r.negative->slope : kNotFound});
  // The chord runs through the origin, so the excess current always comes
  // from the fitted lines. On the negative branch an excess current puts
  // the intercept below zero.
  r.ie = MeanOfFound({r.positive ? r.positive->CurrentIntercept() : kNotFound,
                      r.negative ? -r.negative->CurrentIntercept() : kNotFound});

  if (o.vcMethod == kVcAboveIc) {
    const double factor = 1.0 + o.vcExceedIcBy;
    auto above = [&](double ic) {
      return std::isnan(ic) ? kNotFound : VoltageAtCurrent(curve, factor * ic).value_or(kNotFound);
    };
    r.vc = MeanOfFound({above(r.icPlus), above(r.icMinus)});
  } else {
    r.vc = r.ic * r.rn;
  }
  return r;
}

}  // namespace tsm::math

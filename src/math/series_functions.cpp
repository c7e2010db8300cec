#include "math/series_functions.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "math/scalar_functions.h"

namespace ardenvis::core {

namespace {

constexpr double kGap = std::numeric_limits<double>::quiet_NaN();

using scalar::finite_or_gap;

}  // namespace

SeriesFunction::SeriesFunction(SeriesFunctionKind kind, double parameter, std::span<const double> x,
                               std::span<const double> time, std::span<const double> lap)
    : kind_(kind), parameter_(parameter), x_(x), time_(time), lap_(lap) {}

void SeriesFunction::fill(size_t start, size_t count, double* out) {
  switch (kind_) {
    case SeriesFunctionKind::Derivative:
      return derivative(start, count, out);
    case SeriesFunctionKind::Integral:
    case SeriesFunctionKind::LapIntegral:
      return integral(start, count, out);
    case SeriesFunctionKind::Smooth:
      return smooth(start, count, out);
    case SeriesFunctionKind::Shift:
      return shift(start, count, out);
    case SeriesFunctionKind::Delay:
      return delay(start, count, out);
  }
}

void SeriesFunction::derivative(size_t start, size_t count, double* out) const {
  const size_t n = x_.size();
  const double* x = x_.data();
  const double* t = time_.data();
  size_t k = start;
  const size_t stop = start + count;
  auto slope = [&](size_t a, size_t b) { return finite_or_gap((x[b] - x[a]) / (t[b] - t[a])); };
  if (n == 1 && k == 0 && k < stop) out[k++ - start] = kGap;
  if (k == 0 && k < stop) out[k++ - start] = slope(0, 1);
  const size_t inner_stop = std::min(stop, n - 1);
  for (; k < inner_stop; ++k) out[k - start] = slope(k - 1, k + 1);
  if (k + 1 == n && k < stop) out[k - start] = slope(n - 2, n - 1);
}

void SeriesFunction::integral(size_t start, size_t count, double* out) {
  const bool by_lap = kind_ == SeriesFunctionKind::LapIntegral;
  for (size_t k = start; k < start + count; ++k) {
    if (k == 0 || (by_lap && lap_[k] != lap_[k - 1])) {
      sum_ = 0;
    } else {
      const double area = (x_[k - 1] + x_[k]) / 2 * (time_[k] - time_[k - 1]);
      if (std::isfinite(area)) sum_ += area;
    }
    out[k - start] = sum_;
  }
}

void SeriesFunction::smooth(size_t start, size_t count, double* out) {
  const long n = static_cast<long>(x_.size());
  const long half = std::max(static_cast<long>(parameter_), 1L) / 2;
  auto take = [&](long j, int sign) {
    const double v = x_[static_cast<size_t>(j)];
    if (std::isfinite(v)) {
      sum_ += sign * v;
      in_sum_ += sign;
    }
  };
  // The window's sum runs along, started afresh every so often (always at the
  // same samples) so that the rounding of many additions and removals cannot
  // pile up.
  constexpr long kFreshEvery = 1024;
  for (long k = static_cast<long>(start); k < static_cast<long>(start + count); ++k) {
    const long low = std::max(k - half, 0L);
    const long high = std::min(k + half, n - 1);
    if (k % kFreshEvery == 0) {
      sum_ = 0;
      in_sum_ = 0;
      for (long j = low; j <= high; ++j) take(j, 1);
    } else {
      while (high_ < high) take(++high_, 1);
      while (low_ < low) take(low_++, -1);
    }
    low_ = low;
    high_ = high;
    const bool gap = !std::isfinite(x_[static_cast<size_t>(k)]) || in_sum_ == 0;
    out[static_cast<size_t>(k) - start] = gap ? kGap : sum_ / static_cast<double>(in_sum_);
  }
}

void SeriesFunction::shift(size_t start, size_t count, double* out) const {
  const long n = static_cast<long>(x_.size());
  const long samples = static_cast<long>(parameter_);
  for (size_t i = 0; i < count; ++i) {
    const long from = static_cast<long>(start + i) - samples;
    out[i] = from >= 0 && from < n ? finite_or_gap(x_[static_cast<size_t>(from)]) : kGap;
  }
}

void SeriesFunction::delay(size_t start, size_t count, double* out) {
  const size_t n = x_.size();
  size_t& j = before_;
  for (size_t k = start; k < start + count; ++k) {
    const double wanted = time_[k] - parameter_;
    if (!(wanted >= time_[0] && wanted <= time_[n - 1])) {
      out[k - start] = kGap;
      continue;
    }
    while (j + 1 < n && time_[j + 1] <= wanted) ++j;
    while (j > 0 && time_[j] > wanted) --j;
    if (time_[j] == wanted || j + 1 == n) {
      out[k - start] = finite_or_gap(x_[j]);
      continue;
    }
    const double fraction = (wanted - time_[j]) / (time_[j + 1] - time_[j]);
    out[k - start] = finite_or_gap(x_[j] + (x_[j + 1] - x_[j]) * fraction);
  }
}

}  // namespace ardenvis::core

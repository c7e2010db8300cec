#include "math/series_functions.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace ardenvis::core {

namespace {

constexpr double kGap = std::numeric_limits<double>::quiet_NaN();

double finite_or_gap(double value) { return std::isfinite(value) ? value : kGap; }

}  // namespace

void series_derivative(std::span<const double> x, std::span<const double> time,
                       std::span<double> out) {
  const size_t n = out.size();
  if (n == 0) return;
  if (n == 1) {
    out[0] = kGap;
    return;
  }
  auto slope = [&](size_t a, size_t b) {
    return finite_or_gap((x[b] - x[a]) / (time[b] - time[a]));
  };
  out[0] = slope(0, 1);
  for (size_t k = 1; k + 1 < n; ++k) out[k] = slope(k - 1, k + 1);
  out[n - 1] = slope(n - 2, n - 1);
}

void series_integral(std::span<const double> x, std::span<const double> time,
                     std::span<const double> lap, std::span<double> out) {
  const size_t n = out.size();
  if (n == 0) return;
  double sum = 0;
  out[0] = 0;
  for (size_t k = 1; k < n; ++k) {
    if (!lap.empty() && lap[k] != lap[k - 1]) {
      sum = 0;
    } else {
      const double area = (x[k - 1] + x[k]) / 2 * (time[k] - time[k - 1]);
      if (std::isfinite(area)) sum += area;
    }
    out[k] = sum;
  }
}

void series_smooth(std::span<const double> x, long window, std::span<double> out) {
  const long n = static_cast<long>(out.size());
  const long half = std::max(window, 1L) / 2;
  // A running sum over the window, started afresh every so often so that the
  // rounding of many additions and removals cannot pile up.
  constexpr long kFreshEvery = 1024;
  double sum = 0;
  long count = 0;
  long low = 0, high = -1;  // the samples in the sum
  auto add = [&](long j, int sign) {
    if (std::isfinite(x[static_cast<size_t>(j)])) {
      sum += sign * x[static_cast<size_t>(j)];
      count += sign;
    }
  };
  for (long k = 0; k < n; ++k) {
    const long want_low = std::max(k - half, 0L);
    const long want_high = std::min(k + half, n - 1);
    if (k % kFreshEvery == 0) {
      sum = 0;
      count = 0;
      for (long j = want_low; j <= want_high; ++j) add(j, 1);
    } else {
      while (high < want_high) add(++high, 1);
      while (low < want_low) add(low++, -1);
    }
    low = want_low;
    high = want_high;
    const bool gap = !std::isfinite(x[static_cast<size_t>(k)]) || count == 0;
    out[static_cast<size_t>(k)] = gap ? kGap : sum / static_cast<double>(count);
  }
}

void series_shift(std::span<const double> x, long samples, std::span<double> out) {
  const long n = static_cast<long>(out.size());
  for (long k = 0; k < n; ++k) {
    const long from = k - samples;
    out[static_cast<size_t>(k)] =
        from >= 0 && from < n ? finite_or_gap(x[static_cast<size_t>(from)]) : kGap;
  }
}

void series_delay(std::span<const double> x, std::span<const double> time, double seconds,
                  std::span<double> out) {
  const size_t n = out.size();
  size_t j = 0;  // the last sample at or before the time looked for
  for (size_t k = 0; k < n; ++k) {
    const double wanted = time[k] - seconds;
    if (!(wanted >= time[0] && wanted <= time[n - 1])) {
      out[k] = kGap;
      continue;
    }
    while (j + 1 < n && time[j + 1] <= wanted) ++j;
    while (j > 0 && time[j] > wanted) --j;
    if (time[j] == wanted || j + 1 == n) {
      out[k] = finite_or_gap(x[j]);
      continue;
    }
    const double fraction = (wanted - time[j]) / (time[j + 1] - time[j]);
    out[k] = finite_or_gap(x[j] + (x[j + 1] - x[j]) * fraction);
  }
}

}  // namespace ardenvis::core

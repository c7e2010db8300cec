#include "common/savitzky_golay.h"

#include <algorithm>
#include <array>

namespace ardenvis::core {

// Quadratic weights in closed form: c_i = 3h(h + 1) - 1 - 5i^2 over
// (2h + 1)(4h^2 + 4h - 3) / 3. They are small integers, so the sums below are
// exact whatever the window.
double savitzky_golay_weight(int window, int i) {
  const long h = (window - 1) / 2;
  return static_cast<double>(3 * h * (h + 1) - 1 - 5L * i * i);
}

double savitzky_golay_norm(int window) {
  const long h = (window - 1) / 2;
  return static_cast<double>((2 * h + 1) * (4 * h * h + 4 * h - 3) / 3);
}

bool savitzky_golay_smooth(std::span<double> x, int window) {
  const std::span<double> one[] = {x};
  return savitzky_golay_smooth_together(one, window);
}

bool savitzky_golay_smooth_together(std::span<const std::span<double>> series, int window) {
  if (series.empty()) return true;
  const size_t n = series[0].size();
  for (const auto& x : series) {
    if (x.size() != n) return false;
  }
  constexpr size_t kMaxHalf = 64;
  if (window < 5 || window % 2 == 0 || static_cast<size_t>(window) > 2 * kMaxHalf + 1 ||
      n < static_cast<size_t>(window)) {
    return false;
  }
  const size_t h = static_cast<size_t>(window - 1) / 2;
  std::array<double, kMaxHalf + 1> c{};
  for (size_t i = 0; i <= h; ++i) c[i] = savitzky_golay_weight(window, static_cast<int>(i));
  const double norm = savitzky_golay_norm(window);

  constexpr size_t kGroup = 16;
  for (size_t first = 0; first < series.size(); first += kGroup) {
    const size_t count = std::min(kGroup, series.size() - first);
    std::array<double*, kGroup> xs{};
    for (size_t m = 0; m < count; ++m) xs[m] = series[first + m].data();
    for (size_t j = h; j + h < n; ++j) {
      for (size_t m = 0; m < count; ++m) {
        double* x = xs[m];
        double sum = c[0] * x[j];
        for (size_t i = 1; i <= h; ++i) sum += c[i] * (x[j + i] + x[j - i]);
        x[j] = sum / norm;  // written at once: the next window reads it
      }
    }
    for (size_t m = 0; m < count; ++m) {
      double* x = xs[m];
      std::fill(x, x + h, x[h]);
      std::fill(x + n - h, x + n, x[n - h - 1]);
    }
  }
  return true;
}

}  // namespace ardenvis::core

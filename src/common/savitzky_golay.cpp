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
  if (window < 5 || window % 2 == 0 || x.size() < static_cast<size_t>(window)) return false;
  const size_t h = static_cast<size_t>(window - 1) / 2;
  constexpr size_t kMaxHalf = 64;
  if (h > kMaxHalf) return false;
  std::array<double, kMaxHalf + 1> c{};
  for (size_t i = 0; i <= h; ++i) c[i] = savitzky_golay_weight(window, static_cast<int>(i));
  const double norm = savitzky_golay_norm(window);

  const size_t n = x.size();
  for (size_t j = h; j + h < n; ++j) {
    double sum = c[0] * x[j];
    for (size_t i = 1; i <= h; ++i) sum += c[i] * (x[j + i] + x[j - i]);
    x[j] = sum / norm;
  }
  std::fill(x.begin(), x.begin() + static_cast<std::ptrdiff_t>(h), x[h]);
  std::fill(x.end() - static_cast<std::ptrdiff_t>(h), x.end(), x[n - h - 1]);
  return true;
}

}  // namespace ardenvis::core

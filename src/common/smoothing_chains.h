#pragma once
// Internal to the smoothing (savitzky_golay.cpp, smoothing_lanes.cpp): one
// run's state and the scalar step of one pass, which every walk shares so
// that all of them do exactly the same operations.

#include <algorithm>
#include <array>

namespace ardenvis::core::smoothing {

constexpr int kMaxRunHalf = 64;

struct RunState {
  double* x;
  long n;
  int passes;
  std::array<double, kMaxRunHalf + 1> c;
  double norm;
};

// One window position of one pass: the same sum, in the same order, as the
// single-pass form above.
template <int H>
inline void smooth_at(const RunState& r, long h, long j) {
  double* x = r.x;
  double sum = r.c[0] * x[j];
  if constexpr (H > 0) {
    for (int i = 1; i <= H; ++i) sum += r.c[static_cast<size_t>(i)] * (x[j + i] + x[j - i]);
  } else {
    for (long i = 1; i <= h; ++i) sum += r.c[static_cast<size_t>(i)] * (x[j + i] + x[j - i]);
  }
  x[j] = sum / r.norm;
}

// One pass of one run: the chain of windows pass p of series r walks.
struct Chain {
  RunState* run;
  long offset;  // p (h + 1): the pass is at j = J - offset
  bool later_pass;
};

// Window j of chain `c`, with the end fills of the pass before it (before its
// first window) and of its own pass (after its last).
template <int H>
inline void chain_step(const Chain& c, long h, long j) {
  RunState& r = *c.run;
  double* x = r.x;
  const long top = r.n - h - 1;
  if (j == h && c.later_pass) std::fill(x, x + h, x[h]);
  smooth_at<H>(r, h, j);
  if (j == top) std::fill(x + top + 1, x + r.n, x[top]);
}

}  // namespace ardenvis::core::smoothing

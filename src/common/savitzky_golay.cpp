#include "common/savitzky_golay.h"

#include <algorithm>
#include <array>
#include <memory>
#include <vector>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "common/smoothing_chains.h"
#include "common/smoothing_lanes.h"

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

namespace {

using namespace smoothing;

#if defined(__SSE2__)
// Two chains' windows at once, each lane with the very operations of
// smooth_at() (SSE2 adds, multiplies and divides round exactly as the
// scalar ones), so the two chains of dependent operations share each
// instruction.
template <int H>
inline void smooth_pair_at(const RunState& a, long ja, const RunState& b, long jb) {
  const double* xa = a.x + ja;
  const double* xb = b.x + jb;
  auto pair = [&](long i) { return _mm_loadh_pd(_mm_load_sd(xa + i), xb + i); };
  __m128d sum = _mm_mul_pd(_mm_set1_pd(a.c[0]), pair(0));
  for (int i = 1; i <= H; ++i) {
    sum = _mm_add_pd(
        sum, _mm_mul_pd(_mm_set1_pd(a.c[static_cast<size_t>(i)]), _mm_add_pd(pair(i), pair(-i))));
  }
  const __m128d result = _mm_div_pd(sum, _mm_set1_pd(a.norm));
  _mm_store_sd(a.x + ja, result);
  _mm_storeh_pd(b.x + jb, result);
}
#endif

// All runs of half-width h (H when known at compile time, else 0). Pass p is
// at j = J - p (h + 1). Before pass p takes its first window it fills the ends
// of pass p - 1, as the single pass does once it is through; pass p - 1 is
// then past every window that reads them. Within one J the chains touch no
// value another one reads, so they may go in any order, and in pairs.
template <int H>
void smooth_runs_of_half(std::span<RunState> runs, long h) {
  if (runs.empty()) return;
  const long lag = h + 1;
  long last = 0;
  std::vector<Chain> chains;
  for (RunState& r : runs) {
    last = std::max(last, (r.n - h - 1) + (r.passes - 1) * lag);
    for (int p = 0; p < r.passes; ++p) chains.push_back({&r, p * lag, p > 0});
  }
  const size_t paired = H > 0 ? chains.size() / 2 * 2 : 0;
  for (long J = h; J <= last; ++J) {
    size_t i = 0;
#if defined(__SSE2__)
    for (; i < paired; i += 2) {
      const Chain& a = chains[i];
      const Chain& b = chains[i + 1];
      const long ja = J - a.offset;
      const long jb = J - b.offset;
      // Strictly inside both passes: no end fill due, both windows whole.
      if (ja > h && jb > h && ja < a.run->n - h - 1 && jb < b.run->n - h - 1) {
        smooth_pair_at<H>(*a.run, ja, *b.run, jb);
      } else {
        if (ja >= h && ja <= a.run->n - h - 1) chain_step<H>(a, h, ja);
        if (jb >= h && jb <= b.run->n - h - 1) chain_step<H>(b, h, jb);
      }
    }
#endif
    for (; i < chains.size(); ++i) {
      const long j = J - chains[i].offset;
      if (j >= h && j <= chains[i].run->n - h - 1) chain_step<H>(chains[i], h, j);
    }
  }
  for (RunState& r : runs) std::fill(r.x, r.x + h, r.x[h]);
}

#if defined(ARDENVIS_SMOOTHING_LANES)
// Runs of half-width h in lanes, one walk per length (the passes of each
// length's runs go side by side), those with the most passes sharing vectors.
// Window-5 runs of a length that has such a walk go along with it; the others
// are left in `companions` for a walk of their own.
void smooth_runs_in_lanes(std::span<RunState> runs, long h, std::vector<RunState>& companions) {
  std::vector<RunState*> order;
  for (RunState& r : runs) order.push_back(&r);
  std::stable_sort(order.begin(), order.end(), [](const RunState* a, const RunState* b) {
    return a->n != b->n ? a->n < b->n : a->passes > b->passes;
  });
  std::vector<char> taken(companions.size(), 0);
  for (size_t first = 0; first < order.size();) {
    size_t end = first;
    while (end < order.size() && order[end]->n == order[first]->n) ++end;
    std::vector<RunState*> along;
    for (size_t k = 0; k < companions.size(); ++k) {
      if (!taken[k] && companions[k].n == order[first]->n) {
        along.push_back(&companions[k]);
        taken[k] = 1;
      }
    }
    make_lane_walk(std::span<RunState* const>(order.data() + first, end - first), h, along)
        ->finish();
    first = end;
  }
  std::vector<RunState> left;
  for (size_t k = 0; k < companions.size(); ++k) {
    if (!taken[k]) left.push_back(companions[k]);
  }
  companions = std::move(left);
}
#endif

}  // namespace

namespace {

// The runs as the walks take them, grouped by half-width so the common windows
// get their fixed-length loops; false in `all_valid` if any run was invalid.
void group_runs(std::span<const SmoothingRun> runs,
                std::vector<RunState> (&by_half)[kMaxRunHalf + 1], bool& all_valid) {
  for (const SmoothingRun& run : runs) {
    const size_t n = run.values.size();
    const int window = run.window;
    if (window < 5 || window % 2 == 0 || window > 2 * kMaxRunHalf + 1 ||
        n < static_cast<size_t>(window) || run.passes < 0) {
      all_valid = false;
      continue;
    }
    if (run.passes == 0) continue;
    const int h = (window - 1) / 2;
    RunState r{
        run.values.data(), static_cast<long>(n), run.passes, {}, savitzky_golay_norm(window)};
    for (int i = 0; i <= h; ++i) r.c[static_cast<size_t>(i)] = savitzky_golay_weight(window, i);
    by_half[h].push_back(r);
  }
}

}  // namespace

bool savitzky_golay_smooth_runs(std::span<const SmoothingRun> runs, bool vector_lanes) {
  bool all_valid = true;
  std::vector<RunState> by_half[kMaxRunHalf + 1];
  group_runs(runs, by_half, all_valid);
#if defined(ARDENVIS_SMOOTHING_LANES)
  if (vector_lanes && lanes_available()) {
    // Window 15 first, taking the window-5 runs of its lengths along.
    smooth_runs_in_lanes(by_half[7], 7, by_half[2]);
    std::vector<RunState> none;
    for (int h = 2; h <= kMaxRunHalf; ++h) {
      if (h == 2) {
        smooth_runs_in_lanes(by_half[h], h, none);
      } else if (h != 7) {
        smooth_runs_in_lanes(by_half[h], h, none);
      }
    }
    return all_valid;
  }
#endif
  for (int h = 2; h <= kMaxRunHalf; ++h) {
    if (h == 2) {
      smooth_runs_of_half<2>(by_half[h], h);
    } else if (h == 7) {
      smooth_runs_of_half<7>(by_half[h], h);
    } else {
      smooth_runs_of_half<0>(by_half[h], h);
    }
  }
  return all_valid;
}

struct SmoothingWalk::Impl {
  std::vector<SmoothingRun> later;  // smoothed at finish()
#if defined(ARDENVIS_SMOOTHING_LANES)
  std::vector<RunState> lanes;
  std::vector<RunState> companions;
  std::unique_ptr<LaneWalkBase> walk;
#endif
  bool all_valid = true;
};

SmoothingWalk::SmoothingWalk(std::span<const SmoothingRun> runs, bool vector_lanes)
    : impl_(std::make_unique<Impl>()) {
  Impl& w = *impl_;
#if defined(ARDENVIS_SMOOTHING_LANES)
  // The walk that can go along behind a writer: window-15 runs of one length
  // in lanes, with the window-5 runs of that length. The rest waits.
  std::vector<RunState> by_half[kMaxRunHalf + 1];
  bool valid = true;
  group_runs(runs, by_half, valid);
  const std::vector<RunState>& fifteen = by_half[7];
  const bool one_length =
      !fifteen.empty() && std::all_of(fifteen.begin(), fifteen.end(),
                                      [&](const RunState& r) { return r.n == fifteen[0].n; });
  if (vector_lanes && lanes_available() && one_length) {
    for (const SmoothingRun& run : runs) {
      const bool walked = (run.window == 15 || run.window == 5) && run.passes > 0 &&
                          static_cast<long>(run.values.size()) == fifteen[0].n;
      if (!walked) w.later.push_back(run);
    }
    w.lanes = fifteen;
    for (const RunState& r : by_half[2]) {
      if (r.n == fifteen[0].n) w.companions.push_back(r);
    }
    std::vector<RunState*> order;
    for (RunState& r : w.lanes) order.push_back(&r);
    std::stable_sort(order.begin(), order.end(),
                     [](const RunState* a, const RunState* b) { return a->passes > b->passes; });
    std::vector<RunState*> along;
    for (RunState& r : w.companions) along.push_back(&r);
    w.walk = make_lane_walk(order, 7, along);
    return;
  }
#endif
  w.later.assign(runs.begin(), runs.end());
}

SmoothingWalk::~SmoothingWalk() = default;

void SmoothingWalk::advance(long final_rows) {
#if defined(ARDENVIS_SMOOTHING_LANES)
  if (impl_->walk) impl_->walk->advance(final_rows);
#else
  (void)final_rows;
#endif
}

bool SmoothingWalk::finish() {
  Impl& w = *impl_;
#if defined(ARDENVIS_SMOOTHING_LANES)
  if (w.walk) {
    w.walk->finish();
    w.walk.reset();
  }
#endif
  const bool later_valid = savitzky_golay_smooth_runs(w.later);
  w.later.clear();
  return w.all_valid && later_valid;
}

}  // namespace ardenvis::core

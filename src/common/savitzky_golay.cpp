#include "common/savitzky_golay.h"

#include <algorithm>
#include <array>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <cstring>
#include <vector>
#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#define ARDENVIS_SMOOTHING_LANES 1
#endif

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
// The same walk for several series of one window and one length at once, four
// series to a 256-bit vector: their values are copied, block by block, into a
// row-interleaved buffer (row j holds every series' x[j]), so each window is a
// handful of whole-vector loads, and each lane does exactly the operations the
// scalar window does (AVX adds, multiplies and divides round as the scalar
// ones; no fused multiply-add is enabled here). A series with fewer passes than
// its neighbours keeps its values through the extra passes (a blend).
template <int H>
__attribute__((target("avx"), always_inline)) inline __m256d window_lanes(const double* row,
                                                                          long width,
                                                                          const __m256d* c,
                                                                          __m256d norm, long h) {
  __m256d sum = _mm256_mul_pd(c[0], _mm256_loadu_pd(row));
  const long count = H > 0 ? H : h;
#pragma GCC unroll 16
  for (long i = 1; i <= count; ++i) {
    const __m256d pair =
        _mm256_add_pd(_mm256_loadu_pd(row + i * width), _mm256_loadu_pd(row - i * width));
    sum = _mm256_add_pd(sum, _mm256_mul_pd(c[i], pair));
  }
  return _mm256_div_pd(sum, norm);
}

// Four rows of four doubles turned into four columns (and back: the same).
__attribute__((target("avx"), always_inline)) inline void transpose4(__m256d& a, __m256d& b,
                                                                     __m256d& c, __m256d& d) {
  const __m256d ab_low = _mm256_unpacklo_pd(a, b);
  const __m256d ab_high = _mm256_unpackhi_pd(a, b);
  const __m256d cd_low = _mm256_unpacklo_pd(c, d);
  const __m256d cd_high = _mm256_unpackhi_pd(c, d);
  a = _mm256_permute2f128_pd(ab_low, cd_low, 0x20);
  b = _mm256_permute2f128_pd(ab_high, cd_high, 0x20);
  c = _mm256_permute2f128_pd(ab_low, cd_low, 0x31);
  d = _mm256_permute2f128_pd(ab_high, cd_high, 0x31);
}

// One pass of one vector of lanes: the rows it is at are J - offset.
struct LaneChain {
  long offset;
  long lane;  // first double of the vector within a buffer row
  int pass;
  bool partial;  // some lane's series has no such pass: blend by mask
  __m256d mask;
};

// `companions` are single-lane runs of window 5 and the same length (RPM's
// filter): their passes walk in the same loop, scalar and in place, so their
// chains of dependent operations overlap the lanes' instead of walking alone
// after them.
// G: the number of vectors when known at compile time (0: any), so the row
// width is a constant and every load of a window a fixed displacement.
template <int H, int G>
__attribute__((target("avx"))) void smooth_lanes(std::span<RunState* const> runs, long h,
                                                 std::span<RunState* const> companions) {
  const long n = runs[0]->n;
  const long series_count = static_cast<long>(runs.size());
  const long groups = G > 0 ? G : (series_count + 3) / 4;
  const long width = groups * 4;  // doubles per buffer row
  int passes = 0;
  for (const RunState* r : runs) passes = std::max(passes, r->passes);
  const long lag = h + 1;
  const long top = n - h - 1;
  const long last = top + (passes - 1) * lag;

  // The chains: per pass, the vectors holding a series with that pass. The
  // lanes beyond the last series hold zeros, are smoothed like any other and
  // never copied back, so they need no blend.
  std::vector<LaneChain> chains;
  for (int p = 0; p < passes; ++p) {
    for (long g = 0; g < groups; ++g) {
      alignas(32) int64_t bits[4];
      bool any = false;
      bool all = true;
      for (long k = 0; k < 4; ++k) {
        const long s = g * 4 + k;
        const bool has = s >= series_count || runs[static_cast<size_t>(s)]->passes > p;
        any = any || (s < series_count && has);
        all = all && has;
        bits[k] = has ? -1 : 0;
      }
      if (!any) continue;
      chains.push_back({p * lag, g * 4, p, !all,
                        _mm256_castsi256_pd(_mm256_load_si256(reinterpret_cast<__m256i*>(bits)))});
    }
  }
  constexpr long kCompanionHalf = 2;
  std::vector<Chain> companion_chains;
  long companions_last = 0;
  for (RunState* r : companions) {
    for (int p = 0; p < r->passes; ++p) {
      const long offset = (h - kCompanionHalf) + p * (kCompanionHalf + 1);
      companion_chains.push_back({r, offset, p > 0});
      companions_last = std::max(companions_last, r->n - kCompanionHalf - 1 + offset);
    }
  }
  auto companion_steps = [&](long J) __attribute__((target("avx"))) {
    for (const Chain& ch : companion_chains) {
      const long j = J - ch.offset;
      if (j >= kCompanionHalf && j <= n - kCompanionHalf - 1) {
        chain_step<kCompanionHalf>(ch, kCompanionHalf, j);
      }
    }
  };

  __m256d c[kMaxRunHalf + 1];
  for (long i = 0; i <= h; ++i) c[i] = _mm256_set1_pd(runs[0]->c[static_cast<size_t>(i)]);
  const __m256d norm = _mm256_set1_pd(runs[0]->norm);

  constexpr long kBlock = 512;
  const long capacity = kBlock + (passes - 1) * lag + 2 * h + 2;
  std::vector<double> buffer(static_cast<size_t>(capacity * width), 0.0);
  long lo = 0;      // series index of buffer row 0
  long loaded = 0;  // rows [lo, loaded) are in the buffer
  auto row = [&](long j) __attribute__((target("avx"))) {
    return buffer.data() + (j - lo) * width;
  };
  // Rows [from, to) between the series and the buffer, four rows of a vector
  // at a time turned by a transpose.
  auto copy_rows = [&](long from, long to, bool into_buffer) __attribute__((target("avx"))) {
    for (long g = 0; g < groups; ++g) {
      double* x[4];
      for (long k = 0; k < 4; ++k) {
        const long s = g * 4 + k;
        x[k] = s < series_count ? runs[static_cast<size_t>(s)]->x : nullptr;
      }
      long r = from;
      for (; r + 4 <= to; r += 4) {
        double* b = row(r) + g * 4;
        if (into_buffer) {
          __m256d v[4];
          for (long k = 0; k < 4; ++k)
            v[k] = x[k] ? _mm256_loadu_pd(x[k] + r) : _mm256_setzero_pd();
          transpose4(v[0], v[1], v[2], v[3]);
          for (long k = 0; k < 4; ++k) _mm256_storeu_pd(b + k * width, v[k]);
        } else {
          __m256d v[4];
          for (long k = 0; k < 4; ++k) v[k] = _mm256_loadu_pd(b + k * width);
          transpose4(v[0], v[1], v[2], v[3]);
          for (long k = 0; k < 4; ++k) {
            if (x[k]) _mm256_storeu_pd(x[k] + r, v[k]);
          }
        }
      }
      for (; r < to; ++r) {
        double* b = row(r) + g * 4;
        for (long k = 0; k < 4; ++k) {
          if (!x[k]) {
            if (into_buffer) b[k] = 0;
          } else if (into_buffer) {
            b[k] = x[k][r];
          } else {
            x[k][r] = b[k];
          }
        }
      }
    }
  };
  auto fill_rows = [&](long from, long to, const double* source, const LaneChain& ch)
      __attribute__((target("avx"))) {
    const __m256d value = _mm256_loadu_pd(source);
    for (long r = from; r < to; ++r) {
      double* cell = row(r) + ch.lane;
      _mm256_storeu_pd(cell, _mm256_blendv_pd(_mm256_loadu_pd(cell), value, ch.mask));
    }
  };
  // Near the ends: each pass only inside its own rows, with the end fills.
  auto edge_step = [&](long J) __attribute__((target("avx"))) {
    for (const LaneChain& ch : chains) {
      const long j = J - ch.offset;
      if (j < h || j > top) continue;
      double* at = row(j) + ch.lane;
      if (ch.pass > 0 && j == h) fill_rows(0, h, at, ch);  // the front fill of the pass before
      __m256d result = window_lanes<H>(at, width, c, norm, h);
      if (ch.partial) result = _mm256_blendv_pd(_mm256_loadu_pd(at), result, ch.mask);
      _mm256_storeu_pd(at, result);
      if (j == top) fill_rows(top + 1, n, at, ch);  // this pass's back fill
    }
    companion_steps(J);
  };
  // Every pass strictly inside its rows: no checks, no fills.
  const long steady_first = h + (passes - 1) * lag + 1;
  const long steady_last = top - 1;
  auto steady_step = [&](long J) __attribute__((target("avx"))) {
    for (const LaneChain& ch : chains) {
      double* at = row(J - ch.offset) + ch.lane;
      __m256d result = window_lanes<H>(at, width, c, norm, h);
      if (ch.partial) result = _mm256_blendv_pd(_mm256_loadu_pd(at), result, ch.mask);
      _mm256_storeu_pd(at, result);
    }
    companion_steps(J);
  };

  // A block of rows at a time: copied in and out in bulk, the copying streams
  // (between windows it would stall their chains on every cold line).
  for (long first = h; first <= last; first += kBlock) {
    const long end = std::min(last, first + kBlock - 1);
    const long need = std::min(n, end + h + 1);
    if (need - lo > capacity) {
      // Rows no later window reads are final: back into their series.
      const long keep = std::max(0L, first - (passes - 1) * lag - h);
      copy_rows(lo, keep, false);
      std::memmove(buffer.data(), row(keep), static_cast<size_t>((loaded - keep) * width) * 8);
      lo = keep;
    }
    copy_rows(loaded, need, true);
    loaded = need;
    for (long J = first; J <= end; ++J) {
      if (J >= steady_first && J <= steady_last) {
        steady_step(J);
      } else {
        edge_step(J);
      }
    }
  }
  copy_rows(lo, loaded, false);
  for (RunState* r : runs) std::fill(r->x, r->x + h, r->x[h]);
  for (long J = last + 1; J <= companions_last; ++J) companion_steps(J);
  for (RunState* r : companions) std::fill(r->x, r->x + kCompanionHalf, r->x[kCompanionHalf]);
}

// Runs of half-width h in lanes, one walk per length (the passes of each
// length's runs go side by side), those with the most passes sharing vectors.
// Window-5 runs of a length that has such a walk go along with it; the others
// are left in `companions` for a walk of their own.
template <int H>
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
    const std::span<RunState* const> walk(order.data() + first, end - first);
    switch ((walk.size() + 3) / 4) {
      case 1:
        smooth_lanes<H, 1>(walk, h, along);
        break;
      case 2:
        smooth_lanes<H, 2>(walk, h, along);
        break;
      default:
        smooth_lanes<H, 0>(walk, h, along);
        break;
    }
    first = end;
  }
  std::vector<RunState> left;
  for (size_t k = 0; k < companions.size(); ++k) {
    if (!taken[k]) left.push_back(companions[k]);
  }
  companions = std::move(left);
}

bool lanes_available() {
  static const bool available = __builtin_cpu_supports("avx");
  return available;
}
#endif

}  // namespace

bool savitzky_golay_smooth_runs(std::span<const SmoothingRun> runs, bool vector_lanes) {
  bool all_valid = true;
  // Grouped by half-width so the common windows get their fixed-length loops.
  std::vector<RunState> by_half[kMaxRunHalf + 1];
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
#if defined(ARDENVIS_SMOOTHING_LANES)
  if (vector_lanes && lanes_available()) {
    // Window 15 first, taking the window-5 runs of its lengths along.
    smooth_runs_in_lanes<7>(by_half[7], 7, by_half[2]);
    std::vector<RunState> none;
    for (int h = 2; h <= kMaxRunHalf; ++h) {
      if (h == 2) {
        smooth_runs_in_lanes<2>(by_half[h], h, none);
      } else if (h != 7) {
        smooth_runs_in_lanes<0>(by_half[h], h, none);
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

}  // namespace ardenvis::core

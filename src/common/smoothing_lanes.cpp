#include "common/smoothing_lanes.h"

#if defined(ARDENVIS_SMOOTHING_LANES)
#include <immintrin.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace ardenvis::core::smoothing {
namespace {

// The same walk for several series of one window and one length at once, four
// series to a 256-bit vector: their values are copied, block by block, into a
// row-interleaved buffer (row j holds every series' x[j]), so each window is a
// handful of whole-vector loads, and each lane does exactly the operations the
// scalar window does (AVX adds, multiplies and divides round as the scalar
// ones, and the build never fuses a multiply-add). A series with fewer passes than
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

// Eight lanes at once where the processor has 512-bit vectors: a row of two
// 256-bit vectors is one load. Those processors also fuse multiply-adds; the
// build forbids the compiler to, so every operation rounds on its own as in
// the scalar window. `before` is the row before (what the previous window of
// the chain has just written: from a register, it need not wait for the
// store to come back).
template <int H>
__attribute__((target("avx512f"), always_inline)) inline __m512d window_wide(const double* row,
                                                                             const __m512d* c,
                                                                             __m512d norm,
                                                                             __m512d before) {
  constexpr long kWidth = 8;
  __m512d sum = _mm512_mul_pd(c[0], _mm512_loadu_pd(row));
  sum =
      _mm512_add_pd(sum, _mm512_mul_pd(c[1], _mm512_add_pd(_mm512_loadu_pd(row + kWidth), before)));
#pragma GCC unroll 16
  for (long i = 2; i <= H; ++i) {
    const __m512d pair =
        _mm512_add_pd(_mm512_loadu_pd(row + i * kWidth), _mm512_loadu_pd(row - i * kWidth));
    sum = _mm512_add_pd(sum, _mm512_mul_pd(c[i], pair));
  }
  return _mm512_div_pd(sum, norm);
}

bool wide_lanes_available() {
  static const bool available = __builtin_cpu_supports("avx512f");
  return available;
}

// The same window for the two low lanes of a vector only; `before` as for
// window_wide().
template <int H>
__attribute__((target("avx"), always_inline)) inline __m128d window_pair(
    const double* row, long width, const __m128d* c, __m128d norm, __m128d before) {
  __m128d sum = _mm_mul_pd(c[0], _mm_loadu_pd(row));
  sum = _mm_add_pd(sum, _mm_mul_pd(c[1], _mm_add_pd(_mm_loadu_pd(row + width), before)));
#pragma GCC unroll 16
  for (long i = 2; i <= H; ++i) {
    const __m128d pair = _mm_add_pd(_mm_loadu_pd(row + i * width), _mm_loadu_pd(row - i * width));
    sum = _mm_add_pd(sum, _mm_mul_pd(c[i], pair));
  }
  return _mm_div_pd(sum, norm);
}

// A pass over both vectors of a two-vector row at once.
struct WideChain {
  long offset;
  bool partial;
  __mmask8 mask;  // the lanes whose series has the pass
};

// One pass of one vector of lanes: the rows it is at are J - offset.
struct LaneChain {
  long offset;
  long lane;  // first double of the vector within a buffer row
  int pass;
  bool partial;  // some lane's series has no such pass: blend by mask
  __m256d mask;
};

// One window of a 256-bit chain at row J - offset of a buffer whose row j
// starts at buffer + j w.
template <int H>
__attribute__((target("avx"), always_inline)) inline void lane_step(double* buffer, long w, long J,
                                                                    const LaneChain& ch,
                                                                    const __m256d* c, __m256d norm,
                                                                    long h) {
  double* at = buffer + (J - ch.offset) * w + ch.lane;
  __m256d result = window_lanes<H>(at, w, c, norm, h);
  if (ch.partial) result = _mm256_blendv_pd(_mm256_loadu_pd(at), result, ch.mask);
  _mm256_storeu_pd(at, result);
}

// The window-5 companions' windows at step J, each inside its own rows.
__attribute__((always_inline)) inline void companion_steps_at(const Chain* companions, size_t count,
                                                              long J, long top) {
  constexpr long kHalf = 2;
  for (size_t k = 0; k < count; ++k) {
    const long j = J - companions[k].offset;
    if (j >= kHalf && j <= top) chain_step<kHalf>(companions[k], kHalf, j);
  }
}

// `companions` are single-lane runs of window 5 and the same length (RPM's
// filter): their passes walk in the same loop, scalar and in place, so their
// chains of dependent operations overlap the lanes' instead of walking alone
// after them.
// G: the number of vectors when known at compile time (0: any), so the row
// width is a constant and every load of a window a fixed displacement.
template <int H, int G>
class LaneWalk final : public LaneWalkBase {
 public:
  __attribute__((target("avx")))
  LaneWalk(std::span<RunState* const> runs, long h, std::span<RunState* const> companions)
      : runs_(runs.begin(), runs.end()),
        companions_(companions.begin(), companions.end()),
        n_(runs[0]->n),
        h_(h),
        series_count_(static_cast<long>(runs.size())),
        groups_(G > 0 ? G : (series_count_ + 3) / 4) {
    for (const RunState* r : runs) passes_ = std::max(passes_, r->passes);
    lag_ = h + 1;
    top_ = n_ - h - 1;
    last_ = top_ + (passes_ - 1) * lag_;
    J_ = h;
    // The chains: per pass, the vectors holding a series with that pass. The
    // lanes beyond the last series hold zeros, are smoothed like any other and
    // never copied back, so they need no blend.
    for (int p = 0; p < passes_; ++p) {
      for (long g = 0; g < groups_; ++g) {
        alignas(32) int64_t bits[4];
        bool any = false;
        bool all = true;
        for (long k = 0; k < 4; ++k) {
          const long s = g * 4 + k;
          const bool has = s >= series_count_ || runs_[static_cast<size_t>(s)]->passes > p;
          any = any || (s < series_count_ && has);
          all = all && has;
          bits[k] = has ? -1 : 0;
        }
        if (!any) continue;
        chains_.push_back(
            {p * lag_, g * 4, p, !all,
             _mm256_castsi256_pd(_mm256_load_si256(reinterpret_cast<__m256i*>(bits)))});
      }
    }
    // With 512-bit vectors, a pass that both vectors of a two-vector row take
    // goes as one; the others stay as they are.
    if constexpr (H > 0 && G == 2) {
      if (wide_lanes_available()) {
        for (int p = 0; p < passes_; ++p) {
          const LaneChain* halves[2] = {nullptr, nullptr};
          for (const LaneChain& ch : chains_) {
            if (ch.pass == p) halves[ch.lane / 4] = &ch;
          }
          if (halves[0] && halves[1]) {
            unsigned bits = 0;
            for (long s = 0; s < 8; ++s) {
              if (s >= series_count_ || runs_[static_cast<size_t>(s)]->passes > p) bits |= 1u << s;
            }
            wide_chains_.push_back({p * lag_, bits != 0xFF, static_cast<__mmask8>(bits)});
          } else {
            for (const LaneChain* half : halves) {
              if (!half) continue;
              // Only its two low lanes' series take the pass (the G channels'
              // third): half a vector, and nothing to blend.
              bool low_pair = true;
              for (long k = 0; k < 4; ++k) {
                const long s = half->lane + k;
                const bool has = s < series_count_ && runs_[static_cast<size_t>(s)]->passes > p;
                low_pair = low_pair && has == (k < 2);
              }
              if (low_pair) {
                pair_chains_.push_back(*half);
              } else {
                narrow_chains_.push_back(*half);
              }
            }
          }
        }
        wide_ = true;
      }
    }
    for (RunState* r : companions_) {
      for (int p = 0; p < r->passes; ++p) {
        const long offset = (h - kCompanionHalf) + p * (kCompanionHalf + 1);
        companion_chains_.push_back({r, offset, p > 0});
        companions_last_ = std::max(companions_last_, r->n - kCompanionHalf - 1 + offset);
      }
    }
    for (long i = 0; i <= h; ++i) c_[i] = _mm256_set1_pd(runs[0]->c[static_cast<size_t>(i)]);
    norm_ = _mm256_set1_pd(runs[0]->norm);
    capacity_ = kBlock + (passes_ - 1) * lag_ + 2 * h + 2;
    buffer_.assign(static_cast<size_t>(capacity_ * width()), 0.0);
  }

  // A block of rows at a time: copied in and out in bulk, the copying streams
  // (between windows it would stall their chains on every cold line).
  __attribute__((target("avx"))) void advance(long final_rows) override {
    // The first pass's window at J reads up to row J + h; the end fills need
    // every row.
    const long reach = final_rows >= n_ ? last_ : std::min(last_, final_rows - h_ - 1);
    while (J_ <= reach) {
      const long first = J_;
      const long end = std::min(reach, first + kBlock - 1);
      const long need = std::min(n_, end + h_ + 1);
      if (need - lo_ > capacity_) {
        // Rows no later window reads are final: back into their series.
        const long keep = std::max(0L, first - (passes_ - 1) * lag_ - h_);
        copy_rows(lo_, keep, false);
        std::memmove(buffer_.data(), row(keep),
                     static_cast<size_t>((loaded_ - keep) * width()) * sizeof(double));
        lo_ = keep;
      }
      if (need > loaded_) {
        copy_rows(loaded_, need, true);
        loaded_ = need;
      }
      const long steady_first = h_ + (passes_ - 1) * lag_ + 1;
      const long steady_last = top_ - 1;
      long J = first;
      for (; J <= end && J < steady_first; ++J) edge_step(J);
      if (wide_) {
        steady_steps_wide(J, std::min(end, steady_last));
      } else {
        steady_steps(J, std::min(end, steady_last));
      }
      for (J = std::max(J, steady_last + 1); J <= end; ++J) edge_step(J);
      J_ = end + 1;
    }
  }

  __attribute__((target("avx"))) void finish() override {
    advance(n_);
    copy_rows(lo_, loaded_, false);
    for (RunState* r : runs_) std::fill(r->x, r->x + h_, r->x[h_]);
    for (long J = last_ + 1; J <= companions_last_; ++J) companion_steps(J);
    for (RunState* r : companions_) {
      std::fill(r->x, r->x + kCompanionHalf, r->x[kCompanionHalf]);
    }
  }

 private:
  static constexpr long kBlock = 512;
  static constexpr long kCompanionHalf = 2;

  long width() const { return groups_ * 4; }  // doubles per buffer row
  double* row(long j) { return buffer_.data() + (j - lo_) * width(); }

  void companion_steps(long J) {
    companion_steps_at(companion_chains_.data(), companion_chains_.size(), J,
                       n_ - kCompanionHalf - 1);
  }

  // Rows [from, to) between the series and the buffer, four rows of a vector
  // at a time turned by a transpose.
  __attribute__((target("avx"))) void copy_rows(long from, long to, bool into_buffer) {
    const long w = width();
    for (long g = 0; g < groups_; ++g) {
      double* x[4];
      for (long k = 0; k < 4; ++k) {
        const long s = g * 4 + k;
        x[k] = s < series_count_ ? runs_[static_cast<size_t>(s)]->x : nullptr;
      }
      long r = from;
      if (x[0] && x[1] && x[2] && x[3]) {  // a full vector: four rows per transpose
        double* b = row(r) + g * 4;
        if (into_buffer) {
          for (; r + 4 <= to; r += 4, b += 4 * w) {
            __m256d v0 = _mm256_loadu_pd(x[0] + r);
            __m256d v1 = _mm256_loadu_pd(x[1] + r);
            __m256d v2 = _mm256_loadu_pd(x[2] + r);
            __m256d v3 = _mm256_loadu_pd(x[3] + r);
            transpose4(v0, v1, v2, v3);
            _mm256_storeu_pd(b, v0);
            _mm256_storeu_pd(b + w, v1);
            _mm256_storeu_pd(b + 2 * w, v2);
            _mm256_storeu_pd(b + 3 * w, v3);
          }
        } else {
          for (; r + 4 <= to; r += 4, b += 4 * w) {
            __m256d v0 = _mm256_loadu_pd(b);
            __m256d v1 = _mm256_loadu_pd(b + w);
            __m256d v2 = _mm256_loadu_pd(b + 2 * w);
            __m256d v3 = _mm256_loadu_pd(b + 3 * w);
            transpose4(v0, v1, v2, v3);
            _mm256_storeu_pd(x[0] + r, v0);
            _mm256_storeu_pd(x[1] + r, v1);
            _mm256_storeu_pd(x[2] + r, v2);
            _mm256_storeu_pd(x[3] + r, v3);
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
  }

  __attribute__((target("avx"))) void fill_rows(long from, long to, const double* source,
                                                const LaneChain& ch) {
    const __m256d value = _mm256_loadu_pd(source);
    for (long r = from; r < to; ++r) {
      double* cell = row(r) + ch.lane;
      _mm256_storeu_pd(cell, _mm256_blendv_pd(_mm256_loadu_pd(cell), value, ch.mask));
    }
  }

  // Near the ends: each pass only inside its own rows, with the end fills.
  __attribute__((target("avx"))) void edge_step(long J) {
    for (const LaneChain& ch : chains_) {
      const long j = J - ch.offset;
      if (j < h_ || j > top_) continue;
      double* at = row(j) + ch.lane;
      if (ch.pass > 0 && j == h_) fill_rows(0, h_, at, ch);  // the front fill of the pass before
      __m256d result = window_lanes<H>(at, width(), c_, norm_, h_);
      if (ch.partial) result = _mm256_blendv_pd(_mm256_loadu_pd(at), result, ch.mask);
      _mm256_storeu_pd(at, result);
      if (j == top_) fill_rows(top_ + 1, n_, at, ch);  // this pass's back fill
    }
    companion_steps(J);
  }

  // Steps first..last, every pass strictly inside its rows: no checks, no
  // fills. The walk's state is held in locals here: the vector stores may
  // alias anything, so members would be read again after every one.
  __attribute__((target("avx"))) void steady_steps(long first, long last) {
    if (first > last) return;
    const long w = G > 0 ? G * 4 : width();
    const long h = H > 0 ? H : h_;
    double* const buffer = buffer_.data() - lo_ * w;  // row j at buffer + j w
    const LaneChain* const chains = chains_.data();
    const size_t chain_count = chains_.size();
    const Chain* const companions = companion_chains_.data();
    const size_t companion_count = companion_chains_.size();
    const long companion_top = n_ - kCompanionHalf - 1;
    __m256d c[kMaxRunHalf + 1];
    for (long i = 0; i <= h; ++i) c[i] = c_[i];
    const __m256d norm = norm_;
    for (long J = first; J <= last; ++J) {
      for (size_t k = 0; k < chain_count; ++k) lane_step<H>(buffer, w, J, chains[k], c, norm, h);
      companion_steps_at(companions, companion_count, J, companion_top);
    }
  }

  // steady_steps_wide() for `Both` chains of both vectors and `Pairs` pairs,
  // the counts fixed so that every chain's last result stays in a register.
  template <int Both, int Pairs>
  __attribute__((target("avx512f"))) void steady_carried(long first, long last) {
    if constexpr (H > 0 && G == 2) {
      constexpr long w = 8;
      double* const buffer = buffer_.data() - lo_ * w;
      const Chain* const companions = companion_chains_.data();
      const size_t companion_count = companion_chains_.size();
      const long companion_top = n_ - kCompanionHalf - 1;
      __m512d c8[H + 1];
      __m128d c2[H + 1];
      for (long i = 0; i <= H; ++i) {
        c8[i] = _mm512_set1_pd(runs_[0]->c[static_cast<size_t>(i)]);
        c2[i] = _mm_set1_pd(runs_[0]->c[static_cast<size_t>(i)]);
      }
      const __m512d norm8 = _mm512_set1_pd(runs_[0]->norm);
      const __m128d norm2 = _mm_set1_pd(runs_[0]->norm);
      long both_offset[Both];
      bool partial[Both];
      __mmask8 mask[Both];
      __m512d both_before[Both];
      for (int k = 0; k < Both; ++k) {
        const WideChain& ch = wide_chains_[static_cast<size_t>(k)];
        both_offset[k] = ch.offset;
        partial[k] = ch.partial;
        mask[k] = ch.mask;
        both_before[k] = _mm512_loadu_pd(buffer + (first - ch.offset - 1) * w);
      }
      long pair_at[Pairs > 0 ? Pairs : 1] = {};
      __m128d pair_before[Pairs > 0 ? Pairs : 1] = {};
      for (int k = 0; k < Pairs; ++k) {
        const LaneChain& ch = pair_chains_[static_cast<size_t>(k)];
        pair_at[k] = ch.lane - ch.offset * w;  // row J's pair at buffer + J w + pair_at
        pair_before[k] = _mm_loadu_pd(buffer + (first - 1) * w + pair_at[k]);
      }
      for (long J = first; J <= last; ++J) {
#pragma GCC unroll 4
        for (int k = 0; k < Both; ++k) {
          double* at = buffer + (J - both_offset[k]) * w;
          __m512d result = window_wide<H>(at, c8, norm8, both_before[k]);
          if (partial[k]) result = _mm512_mask_blend_pd(mask[k], _mm512_loadu_pd(at), result);
          _mm512_storeu_pd(at, result);
          both_before[k] = result;
        }
#pragma GCC unroll 4
        for (int k = 0; k < Pairs; ++k) {
          double* at = buffer + J * w + pair_at[k];
          const __m128d result = window_pair<H>(at, w, c2, norm2, pair_before[k]);
          _mm_storeu_pd(at, result);
          pair_before[k] = result;
        }
        companion_steps_at(companions, companion_count, J, companion_top);
      }
    }
  }

  // steady_steps() with the passes both vectors take as one 512-bit chain.
  __attribute__((target("avx512f"))) void steady_steps_wide(long first, long last) {
    if constexpr (H > 0 && G == 2) {
      if (first > last) return;
      // The usual shapes (the load-time filter's: two or three passes of
      // both vectors, a pair for the G channels' third) with each chain's
      // last result kept in a register.
      if (narrow_chains_.empty() && pair_chains_.size() <= 1) {
        const size_t both = wide_chains_.size();
        const bool pair = pair_chains_.size() == 1;
        if (both == 2 && pair) return steady_carried<2, 1>(first, last);
        if (both == 2 && !pair) return steady_carried<2, 0>(first, last);
        if (both == 3 && !pair) return steady_carried<3, 0>(first, last);
        if (both == 1 && pair) return steady_carried<1, 1>(first, last);
        if (both == 1 && !pair) return steady_carried<1, 0>(first, last);
      }
      constexpr long w = 8;
      double* const buffer = buffer_.data() - lo_ * w;
      const WideChain* const wide = wide_chains_.data();
      const size_t wide_count = wide_chains_.size();
      const LaneChain* const narrow = narrow_chains_.data();
      const size_t narrow_count = narrow_chains_.size();
      const LaneChain* const pairs = pair_chains_.data();
      const size_t pair_count = pair_chains_.size();
      const Chain* const companions = companion_chains_.data();
      const size_t companion_count = companion_chains_.size();
      const long companion_top = n_ - kCompanionHalf - 1;
      __m512d c8[H + 1];
      __m256d c4[H + 1];
      __m128d c2[H + 1];
      for (long i = 0; i <= H; ++i) {
        c4[i] = c_[i];
        c2[i] = _mm_set1_pd(runs_[0]->c[static_cast<size_t>(i)]);
        c8[i] = _mm512_set1_pd(runs_[0]->c[static_cast<size_t>(i)]);
      }
      const __m512d norm8 = _mm512_set1_pd(runs_[0]->norm);
      const __m256d norm4 = norm_;
      const __m128d norm2 = _mm_set1_pd(runs_[0]->norm);
      for (long J = first; J <= last; ++J) {
        for (size_t k = 0; k < wide_count; ++k) {
          const WideChain& ch = wide[k];
          double* at = buffer + (J - ch.offset) * w;
          __m512d result = window_wide<H>(at, c8, norm8, _mm512_loadu_pd(at - w));
          if (ch.partial) result = _mm512_mask_blend_pd(ch.mask, _mm512_loadu_pd(at), result);
          _mm512_storeu_pd(at, result);
        }
        for (size_t k = 0; k < narrow_count; ++k) {
          lane_step<H>(buffer, w, J, narrow[k], c4, norm4, H);
        }
        for (size_t k = 0; k < pair_count; ++k) {
          double* at = buffer + (J - pairs[k].offset) * w + pairs[k].lane;
          _mm_storeu_pd(at, window_pair<H>(at, w, c2, norm2, _mm_loadu_pd(at - w)));
        }
        companion_steps_at(companions, companion_count, J, companion_top);
      }
    } else {
      steady_steps(first, last);
    }
  }

  std::vector<RunState*> runs_;
  std::vector<RunState*> companions_;
  const long n_;
  const long h_;
  const long series_count_;
  const long groups_;
  int passes_ = 0;
  long lag_ = 0;
  long top_ = 0;
  long last_ = 0;
  long J_ = 0;  // the next step of the walk
  std::vector<LaneChain> chains_;
  bool wide_ = false;  // steady steps in 512-bit chains where they can
  std::vector<WideChain> wide_chains_;
  std::vector<LaneChain> narrow_chains_;
  std::vector<LaneChain> pair_chains_;
  std::vector<Chain> companion_chains_;
  long companions_last_ = 0;
  __m256d c_[kMaxRunHalf + 1];
  __m256d norm_;
  long capacity_ = 0;
  std::vector<double> buffer_;
  long lo_ = 0;      // series index of buffer row 0
  long loaded_ = 0;  // rows [lo_, loaded_) are in the buffer
};

template <int H>
std::unique_ptr<LaneWalkBase> make_lane_walk_of(std::span<RunState* const> runs, long h,
                                                std::span<RunState* const> companions) {
  switch ((runs.size() + 3) / 4) {
    case 1:
      return std::make_unique<LaneWalk<H, 1>>(runs, h, companions);
    case 2:
      return std::make_unique<LaneWalk<H, 2>>(runs, h, companions);
    default:
      return std::make_unique<LaneWalk<H, 0>>(runs, h, companions);
  }
}

}  // namespace

std::unique_ptr<LaneWalkBase> make_lane_walk(std::span<RunState* const> runs, long h,
                                             std::span<RunState* const> companions) {
  if (h == 2) return make_lane_walk_of<2>(runs, h, companions);
  if (h == 7) return make_lane_walk_of<7>(runs, h, companions);
  return make_lane_walk_of<0>(runs, h, companions);
}

bool lanes_available() {
  static const bool available = __builtin_cpu_supports("avx");
  return available;
}

}  // namespace ardenvis::core::smoothing
#endif

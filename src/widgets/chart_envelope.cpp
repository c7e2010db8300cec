#include "widgets/chart_envelope.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace ardenvis::ui {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

// NaN never wins a comparison, so it is skipped.
inline void take(double v, double& low, double& high) {
  if (v < low) low = v;
  if (v > high) high = v;
}

// The lowest of `low` and lows[0..n), the highest of `high` and
// highs[0..n), NaN skipped. Four running extremes side by side, so the loop
// is not one long chain of compares each waiting for the one before.
inline void take_range(const double* lows, const double* highs, size_t n, double& low,
                       double& high) {
  double l0 = low;
  double l1 = kInf;
  double l2 = kInf;
  double l3 = kInf;
  double h0 = high;
  double h1 = -kInf;
  double h2 = -kInf;
  double h3 = -kInf;
  size_t i = 0;
  for (; i + 4 <= n; i += 4) {
    l0 = lows[i] < l0 ? lows[i] : l0;
    l1 = lows[i + 1] < l1 ? lows[i + 1] : l1;
    l2 = lows[i + 2] < l2 ? lows[i + 2] : l2;
    l3 = lows[i + 3] < l3 ? lows[i + 3] : l3;
    h0 = highs[i] > h0 ? highs[i] : h0;
    h1 = highs[i + 1] > h1 ? highs[i + 1] : h1;
    h2 = highs[i + 2] > h2 ? highs[i + 2] : h2;
    h3 = highs[i + 3] > h3 ? highs[i + 3] : h3;
  }
  for (; i < n; ++i) {
    l0 = lows[i] < l0 ? lows[i] : l0;
    h0 = highs[i] > h0 ? highs[i] : h0;
  }
  low = std::min(std::min(l0, l1), std::min(l2, l3));
  high = std::max(std::max(h0, h1), std::max(h2, h3));
}

// Up to this many blocks are read side by side rather than up the pyramid:
// a straight run of loads costs less than the pyramid's unpredictable turns.
constexpr size_t kScanBlocks = 64;

// The columns whose ends are fetched ahead of their turn.
constexpr size_t kAhead = 8;

// Starts fetching the samples values[from..from + 16) (two cache lines).
inline void prefetch(const double* values, size_t from, size_t n) {
#if defined(__GNUC__)
  if (from < n) __builtin_prefetch(values + from);
  if (from + 8 < n) __builtin_prefetch(values + from + 8);
#else
  (void)values;
  (void)from;
  (void)n;
#endif
}

}  // namespace

MinMaxEnvelope::MinMaxEnvelope(EnvelopeKeys keys, std::vector<double> values)
    : keys_(keys ? std::move(keys) : std::make_shared<const std::vector<double>>()),
      values_(std::move(values)) {
  values_.resize(keys_->size(), std::numeric_limits<double>::quiet_NaN());
  const size_t blocks = keys_->size() / kBlock;  // whole blocks only; the tail is scanned
  if (blocks == 0) return;
  std::vector<double> mins(blocks, kInf);
  std::vector<double> maxs(blocks, -kInf);
  for (size_t b = 0; b < blocks; ++b) {
    const double* v = values_.data() + b * kBlock;
    for (size_t i = 0; i < kBlock; ++i) take(v[i], mins[b], maxs[b]);
  }
  min_levels_.push_back(std::move(mins));
  max_levels_.push_back(std::move(maxs));
  while (min_levels_.back().size() > 1) {
    const std::vector<double>& lo = min_levels_.back();
    const std::vector<double>& hi = max_levels_.back();
    const size_t n = (lo.size() + 1) / 2;
    std::vector<double> next_lo(n);
    std::vector<double> next_hi(n);
    for (size_t j = 0; j < n; ++j) {
      const size_t a = 2 * j;
      const size_t b = std::min(a + 1, lo.size() - 1);
      next_lo[j] = std::min(lo[a], lo[b]);
      next_hi[j] = std::max(hi[a], hi[b]);
    }
    min_levels_.push_back(std::move(next_lo));
    max_levels_.push_back(std::move(next_hi));
  }
}

size_t MinMaxEnvelope::lower(double key) const {
  return static_cast<size_t>(std::lower_bound(keys_->begin(), keys_->end(), key) - keys_->begin());
}

size_t MinMaxEnvelope::upper(double key) const {
  return static_cast<size_t>(std::upper_bound(keys_->begin(), keys_->end(), key) - keys_->begin());
}

void MinMaxEnvelope::take_block_levels(size_t lo, size_t hi, double& low, double& high) const {
  for (size_t level = 0; lo < hi && level < min_levels_.size(); ++level) {
    const std::vector<double>& mins = min_levels_[level];
    const std::vector<double>& maxs = max_levels_[level];
    // A block without numbers holds +inf and -inf: its minimum only ever
    // lowers the low, its maximum the high.
    if (lo % 2 == 1) {
      low = std::min(low, mins[lo]);
      high = std::max(high, maxs[lo]);
      ++lo;
    }
    if (hi % 2 == 1) {
      --hi;
      low = std::min(low, mins[hi]);
      high = std::max(high, maxs[hi]);
    }
    lo /= 2;
    hi /= 2;
  }
}

bool MinMaxEnvelope::extremes(size_t first, size_t last, double& low, double& high) const {
  low = kInf;
  high = -kInf;
  if (keys_->empty() || first > last) return false;
  last = std::min(last, keys_->size() - 1);
  const size_t first_block = (first + kBlock - 1) / kBlock;
  const size_t end_block =
      std::min((last + 1) / kBlock, min_levels_.empty() ? 0 : min_levels_[0].size());
  const double* v = values_.data();
  if (end_block <= first_block + 1) {
    take_range(v + first, v + first, last + 1 - first, low, high);
  } else {
    take_range(v + first, v + first, first_block * kBlock - first, low, high);
    take_range(v + end_block * kBlock, v + end_block * kBlock, last + 1 - end_block * kBlock, low,
               high);
    if (end_block - first_block <= kScanBlocks) {
      take_range(min_levels_[0].data() + first_block, max_levels_[0].data() + first_block,
                 end_block - first_block, low, high);
    } else {
      take_block_levels(first_block, end_block, low, high);
    }
  }
  return low <= high;
}

void EnvelopeColumns::find(const std::vector<double>& keys, double low_key, double high_key,
                           int columns) {
  begin = 0;
  end = 0;
  samples = true;
  bounds.clear();
  const size_t n = keys.size();
  if (n == 0 || columns < 1 || !(high_key >= low_key)) return;
  const double* k = keys.data();
  begin = static_cast<size_t>(std::lower_bound(k, k + n, low_key) - k);
  end = static_cast<size_t>(std::upper_bound(k, k + n, high_key) - k);
  if (begin > 0) --begin;
  if (end < n) ++end;
  const auto cols = static_cast<size_t>(columns);
  if (end - begin <= 2 * cols) return;
  samples = false;
  bounds.reserve(cols + 3);
  const double width = (high_key - low_key) / static_cast<double>(columns);
  // The first index in from..end whose key reaches `key`, looked for first
  // at `guess`: a log's keys are nearly evenly spaced, so a column mostly
  // holds as many samples as the one before and the guess is right; when it
  // is not, the search gallops from there and stays within a few cache lines.
  auto lower_from = [&](size_t from, size_t guess, double key) {
    guess = std::clamp(guess, from, end);
    size_t low = 0;  // the index is in low..high
    size_t high = 0;
    if (guess < end && k[guess] < key) {
      low = high = guess + 1;
      for (size_t step = 1; high < end && k[high] < key; step *= 2) {
        low = high + 1;
        high = std::min(end, high + step);
      }
    } else {
      if (guess == from || k[guess - 1] < key) return guess;
      low = high = guess - 1;  // k[high] reaches key
      for (size_t step = 1; low > from && k[low - 1] >= key; step *= 2) {
        high = low - 1;
        low = high - std::min(step, high - from);
      }
    }
    return static_cast<size_t>(std::lower_bound(k + low, k + high, key) - k);
  };
  // Column c holds keys below low_key + c x width (the first column the
  // sample before the view; the last, after `cols`, the rest).
  size_t a = begin;
  size_t count = (end - begin) / cols;
  bounds.push_back(a);
  for (size_t c = 0; c <= cols; ++c) {
    const size_t b = lower_from(a, a + count, low_key + static_cast<double>(c) * width);
    bounds.push_back(b);
    if (b > a && c > 0) count = b - a;
    a = b;
  }
  bounds.push_back(end);
}

void MinMaxEnvelope::points(double low_key, double high_key, int columns,
                            std::vector<Point>& out) const {
  EnvelopeColumns found;
  found.find(*keys_, low_key, high_key, columns);
  points(found, out);
}

void MinMaxEnvelope::points(const EnvelopeColumns& columns, std::vector<Point>& out) const {
  out.clear();
  const std::vector<double>& keys = *keys_;
  const size_t end = std::min(columns.end, keys.size());
  if (columns.samples) {
    if (end <= columns.begin) return;
    out.reserve(end - columns.begin);
    for (size_t i = columns.begin; i < end; ++i) out.push_back({keys[i], values_[i]});
    return;
  }
  out.reserve(2 * columns.bounds.size() + 4);
  const std::vector<size_t>& bounds = columns.bounds;
  for (size_t c = 0; c + 1 < bounds.size(); ++c) {
    // A column reads the samples about its ends, a few kilobytes past the
    // last column's, which the memory cannot guess: they are asked for some
    // columns ahead, so each column does not wait for its own.
    if (c + kAhead < bounds.size()) {
      static_assert(kBlock == 16, "a block is two cache lines");
      prefetch(values_.data(), bounds[c + kAhead] / kBlock * kBlock, size());
    }
    const size_t a = bounds[c];
    const size_t b = std::min(bounds[c + 1], end);
    if (b <= a) continue;
    double lo = 0;
    double hi = 0;
    if (b - a <= 2 || !extremes(a, b - 1, lo, hi)) {
      for (size_t i = a; i < b; ++i) out.push_back({keys[i], values_[i]});
    } else {
      // One pixel wide: the column's vertical stroke from its lowest to its
      // highest value, in the order the line would have reached them.
      const bool rising = values_[a] <= values_[b - 1];
      out.push_back({keys[a], rising ? lo : hi});
      out.push_back({keys[a], rising ? hi : lo});
    }
  }
}

}  // namespace ardenvis::ui

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

}  // namespace

MinMaxEnvelope::MinMaxEnvelope(std::vector<double> keys, std::vector<double> values)
    : keys_(std::move(keys)), values_(std::move(values)) {
  values_.resize(keys_.size(), std::numeric_limits<double>::quiet_NaN());
  const size_t blocks = keys_.size() / kBlock;  // whole blocks only; the tail is scanned
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
  return static_cast<size_t>(std::lower_bound(keys_.begin(), keys_.end(), key) - keys_.begin());
}

size_t MinMaxEnvelope::upper(double key) const {
  return static_cast<size_t>(std::upper_bound(keys_.begin(), keys_.end(), key) - keys_.begin());
}

void MinMaxEnvelope::take_block_levels(size_t lo, size_t hi, double& low, double& high) const {
  for (size_t level = 0; lo < hi && level < min_levels_.size(); ++level) {
    const std::vector<double>& mins = min_levels_[level];
    const std::vector<double>& maxs = max_levels_[level];
    if (lo % 2 == 1) {
      take(mins[lo], low, high);
      take(maxs[lo], low, high);
      ++lo;
    }
    if (hi % 2 == 1) {
      --hi;
      take(mins[hi], low, high);
      take(maxs[hi], low, high);
    }
    lo /= 2;
    hi /= 2;
  }
}

bool MinMaxEnvelope::extremes(size_t first, size_t last, double& low, double& high) const {
  low = kInf;
  high = -kInf;
  if (keys_.empty() || first > last) return false;
  last = std::min(last, keys_.size() - 1);
  const size_t first_block = (first + kBlock - 1) / kBlock;
  const size_t end_block =
      std::min((last + 1) / kBlock, min_levels_.empty() ? 0 : min_levels_[0].size());
  if (end_block <= first_block + 1) {
    for (size_t i = first; i <= last; ++i) take(values_[i], low, high);
  } else {
    for (size_t i = first; i < first_block * kBlock; ++i) take(values_[i], low, high);
    for (size_t i = end_block * kBlock; i <= last; ++i) take(values_[i], low, high);
    take_block_levels(first_block, end_block, low, high);
  }
  return low <= high;
}

void MinMaxEnvelope::points(double low_key, double high_key, int columns,
                            std::vector<Point>& out) const {
  out.clear();
  const size_t n = keys_.size();
  if (n == 0 || columns < 1 || !(high_key >= low_key)) return;
  // The visible samples, and one beyond each end.
  size_t begin = lower(low_key);
  size_t end = upper(high_key);
  if (begin > 0) --begin;
  if (end < n) ++end;
  if (end <= begin) return;
  const auto cols = static_cast<size_t>(columns);
  if (end - begin <= 2 * cols) {
    out.reserve(end - begin);
    for (size_t i = begin; i < end; ++i) out.push_back({keys_[i], values_[i]});
    return;
  }
  out.reserve(4 * cols + 2);
  const double width = (high_key - low_key) / static_cast<double>(columns);
  // The first index at or after `from` whose key reaches `key`, galloping
  // forward: columns are met in order and each is near the last, so the
  // search stays within a few cache lines instead of the whole series.
  auto lower_from = [&](size_t from, double key) {
    size_t step = 1;
    size_t low = from;
    size_t high = from;
    while (high < end && keys_[high] < key) {
      low = high + 1;
      high = std::min(end, high + step);
      step *= 2;
    }
    return static_cast<size_t>(std::lower_bound(keys_.begin() + static_cast<long>(low),
                                                keys_.begin() + static_cast<long>(high), key) -
                               keys_.begin());
  };
  size_t a = begin;
  for (size_t c = 0; c <= cols + 1 && a < end; ++c) {
    // Column c holds keys below low_key + c x width (the first column also
    // the sample before the view; the last the one after).
    size_t b = c > cols ? end : lower_from(a, low_key + static_cast<double>(c) * width);
    if (b <= a) continue;
    double lo = 0;
    double hi = 0;
    const double key = keys_[a];
    if (b - a <= 2 || !extremes(a, b - 1, lo, hi)) {
      for (size_t i = a; i < b; ++i) out.push_back({keys_[i], values_[i]});
    } else {
      // One pixel wide: the column's vertical stroke from its lowest to its
      // highest value, in the order the line would have reached them.
      const bool rising = values_[a] <= values_[b - 1];
      out.push_back({key, rising ? lo : hi});
      out.push_back({key, rising ? hi : lo});
    }
    a = b;
  }
}

}  // namespace ardenvis::ui

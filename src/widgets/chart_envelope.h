#pragma once
// The min/max envelope of a long series with sorted keys (time, distance):
// a pyramid of block minima and maxima built once, from which the points of
// any view are found per pixel column in time that follows the pixels, not
// the samples. Each column gets its first, lowest, highest and last sample,
// so every peak of the data is drawn, and the line between columns joins the
// samples that are really adjacent.
//
// The channels of a data set share one key vector, and so the pixel columns
// of a view: EnvelopeColumns finds them once for all of its envelopes.

#include <cstddef>
#include <memory>
#include <vector>

namespace ardenvis::ui {

using EnvelopeKeys = std::shared_ptr<const std::vector<double>>;

// Where the pixel columns of a view begin in a key vector.
struct EnvelopeColumns {
  // Fills in the view keys [low_key, high_key] on `columns` pixel columns.
  void find(const std::vector<double>& keys, double low_key, double high_key, int columns);

  // The visible samples and one beyond each end: begin..end (exclusive).
  size_t begin = 0;
  size_t end = 0;
  // True when there are fewer than two samples per column: they are drawn
  // themselves. Otherwise column c holds samples bounds[c]..bounds[c + 1]
  // (exclusive; the first column also the sample before the view, the last
  // the one after).
  bool samples = true;
  std::vector<size_t> bounds;
};

class MinMaxEnvelope {
 public:
  struct Point {
    double key;
    double value;
  };

  // keys never fall; values may hold NaN (never drawn).
  MinMaxEnvelope(EnvelopeKeys keys, std::vector<double> values);
  MinMaxEnvelope(std::vector<double> keys, std::vector<double> values)
      : MinMaxEnvelope(std::make_shared<const std::vector<double>>(std::move(keys)),
                       std::move(values)) {}

  const EnvelopeKeys& keys() const { return keys_; }
  size_t size() const { return keys_->size(); }
  double key(size_t i) const { return (*keys_)[i]; }
  double value(size_t i) const { return values_[i]; }
  // First index whose key is >= key (size() when none).
  size_t lower(double key) const;
  // First index whose key is > key (size() when none).
  size_t upper(double key) const;
  // Lowest and highest value of indexes first..last (inclusive). False when
  // the range holds no number.
  bool extremes(size_t first, size_t last, double& low, double& high) const;

  // The points that draw keys [low_key, high_key] on `columns` pixel
  // columns: per column its first, lowest, highest and last sample (all at
  // the key of its first), or the samples themselves where there are fewer
  // than two per column; one sample beyond each end keeps the line running
  // off the edges.
  void points(double low_key, double high_key, int columns, std::vector<Point>& out) const;
  // The same from columns found on this envelope's keys.
  void points(const EnvelopeColumns& columns, std::vector<Point>& out) const;

 private:
  static constexpr size_t kBlock = 16;
  void take_block_levels(size_t first_block, size_t end_block, double& low, double& high) const;

  EnvelopeKeys keys_;
  std::vector<double> values_;
  // levels_[0][b]: min and max of block b; levels_[k][j]: of level k-1's
  // entries 2j and 2j + 1.
  std::vector<std::vector<double>> min_levels_;
  std::vector<std::vector<double>> max_levels_;
};

}  // namespace ardenvis::ui

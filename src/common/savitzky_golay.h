#pragma once
// Quadratic Savitzky-Golay smoothing with the published integer convolution
// weights, done in place.

#include <cstddef>
#include <memory>
#include <span>

namespace ardenvis::core {

// Weight i (0..h) and the norm of a quadratic window of odd length m = 2h + 1:
// m = 5 gives 17, 12, -3 / 35; m = 15 gives 167, 162, ..., -78 / 1105.
double savitzky_golay_weight(int window, int i);
double savitzky_golay_norm(int window);

// One pass over x (element 0 is sample 1). For every j that has h neighbours on
// both sides, x[j] is replaced at once, so the lower half of each later window
// already holds smoothed values. The h values at each end then take the value
// of the nearest smoothed one. A series shorter than the window, or an even or
// too small window, is left unchanged and false is returned.
bool savitzky_golay_smooth(std::span<double> x, int window);

// One pass over each of several series of the same length, with the very same
// arithmetic as savitzky_golay_smooth() on each. Interleaving independent
// series lets the processor overlap them: each series alone is one long chain
// of dependent operations, because every window reads its just-smoothed
// neighbour.
bool savitzky_golay_smooth_together(std::span<const std::span<double>> series, int window);

// Several passes of one window over one series.
struct SmoothingRun {
  std::span<double> values;
  int window;
  int passes;
};

// Each run's passes over its own series (the series must be distinct), with
// the very same arithmetic and results as calling savitzky_golay_smooth() that
// many times. The passes of a series run together, each h + 1 samples behind
// the one before, in one walk along the series: a later pass reads only values
// the earlier one has finished, and the earlier one never reads what the later
// one has overwritten. So the series crosses memory once instead of once per
// pass, and the passes of all series overlap in the processor. Runs that are
// invalid as for savitzky_golay_smooth() are left unchanged; false if any was.
// Where the processor has 256-bit vectors, runs of one window and length go
// four to a vector; `vector_lanes` false takes the portable walk (both give the
// same bits; the tests compare them).
bool savitzky_golay_smooth_runs(std::span<const SmoothingRun> runs, bool vector_lanes = true);

// The passes of savitzky_golay_smooth_runs(), done while the series are still
// being written front to back: advance(rows) smooths whatever reads only the
// first `rows` values of every series (those must be final by then), finish()
// the rest once all are. The very same bits as smoothing at the end; right
// behind the writer the values are still in the cache. The series must stay
// where they are until finish().
class SmoothingWalk {
 public:
  explicit SmoothingWalk(std::span<const SmoothingRun> runs, bool vector_lanes = true);
  ~SmoothingWalk();
  SmoothingWalk(const SmoothingWalk&) = delete;
  SmoothingWalk& operator=(const SmoothingWalk&) = delete;

  void advance(long final_rows);
  // False if any run was invalid (left unchanged, as for the function above).
  bool finish();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace ardenvis::core

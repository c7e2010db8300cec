#pragma once
// The formula functions that need a whole series rather than one sample:
// derivative, integrals, smoothing and shifts. Each reads n values (0-based)
// and gives n; a gap (not a number) in gives a gap out where the value needs
// it, and a result that is not finite is a gap.
//
// They give their values block by block, in order, so a formula can use them
// without a whole series of them being written out and read back; the values
// do not depend on how the series is cut into blocks.

#include <cstddef>
#include <span>

namespace ardenvis::core {

enum class SeriesFunctionKind {
  // Change per second: the central difference (x[k+1] - x[k-1]) / (t[k+1] -
  // t[k-1]), and the one-sided difference at either end. A single sample has
  // none.
  Derivative,
  // The running trapezoid sum of x over time, 0 at the first sample. A
  // stretch with a gap at either end adds nothing.
  Integral,
  // As Integral, from 0 again on the first sample of every lap (where the
  // lap number changes).
  LapIntegral,
  // The mean of the values within a centred window of `parameter` samples
  // (odd, 1 or more), narrower at the ends; gaps are left out of the mean, and
  // a gap stays a gap.
  Smooth,
  // out[k] = x[k - parameter]: positive counts move the trace later. Beyond
  // either end of the series it is a gap.
  Shift,
  // The value `parameter` seconds earlier (later when negative), interpolated
  // linearly between samples; a gap before the first and after the last
  // sample.
  Delay,
};

class SeriesFunction {
 public:
  // x, time and lap (LapIntegral only) hold the same n samples.
  SeriesFunction(SeriesFunctionKind kind, double parameter, std::span<const double> x,
                 std::span<const double> time, std::span<const double> lap = {});

  // Values [start, start + count) into out[0..count). Each call starts where
  // the one before ended, from 0.
  void fill(size_t start, size_t count, double* out);

  // All n values.
  void fill_all(std::span<double> out) { fill(0, out.size(), out.data()); }

 private:
  void derivative(size_t start, size_t count, double* out) const;
  void integral(size_t start, size_t count, double* out);
  void smooth(size_t start, size_t count, double* out);
  void shift(size_t start, size_t count, double* out) const;
  void delay(size_t start, size_t count, double* out);

  SeriesFunctionKind kind_;
  double parameter_;
  std::span<const double> x_, time_, lap_;
  // What the running functions carry from one block to the next.
  double sum_ = 0;   // integral: up to the last sample given; smooth: of the window
  long in_sum_ = 0;  // smooth: samples in the sum
  long low_ = 0;     // smooth: the window [low_, high_] in the sum
  long high_ = -1;
  size_t before_ = 0;  // delay: the last sample at or before the time looked for
};

}  // namespace ardenvis::core

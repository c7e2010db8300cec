#pragma once
// The formula functions that need a whole series rather than one sample:
// derivative, integrals, smoothing and shifts. Each reads n values (0-based)
// and writes n; a gap (not a number) in gives a gap out where the value needs
// it, and a result that is not finite is a gap.

#include <span>

namespace ardenvis::core {

// Change per second: the central difference (x[k+1] - x[k-1]) / (t[k+1] -
// t[k-1]), and the one-sided difference at either end. A single sample has
// none.
void series_derivative(std::span<const double> x, std::span<const double> time,
                       std::span<double> out);

// The running trapezoid sum of x over time, 0 at the first sample. With
// `lap` it restarts at 0 on the first sample of every lap (where the lap
// number changes). A stretch with a gap at either end adds nothing.
void series_integral(std::span<const double> x, std::span<const double> time,
                     std::span<const double> lap, std::span<double> out);

// The mean of the values within a centred window of `window` samples (odd, 1
// or more), narrower at the ends; gaps are left out of the mean, and a gap
// stays a gap.
void series_smooth(std::span<const double> x, long window, std::span<double> out);

// out[k] = x[k - samples]: positive counts move the trace later. Beyond
// either end of the series it is a gap.
void series_shift(std::span<const double> x, long samples, std::span<double> out);

// The value `seconds` earlier (later when negative), interpolated linearly
// between samples; a gap before the first and after the last sample.
void series_delay(std::span<const double> x, std::span<const double> time, double seconds,
                  std::span<double> out);

}  // namespace ardenvis::core

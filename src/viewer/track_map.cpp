#include "viewer/track_map.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "logger/data_set_units.h"

namespace ardenvis::core {
namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;

double finite_or_zero(double v) { return std::isfinite(v) ? v : 0.0; }

bool all_finite(const std::vector<double>& v) {
  return std::all_of(v.begin(), v.end(), [](double d) { return std::isfinite(d); });
}

}  // namespace

TrackCoordinates gps_track(const DataSet& set, long first, long last) {
  TrackCoordinates track;
  if (last < first) {
    track.problem = track_problem::no_samples;
    return track;
  }
  const Series& lat = set[Channel::GpsLatitude];
  const Series& lon = set[Channel::GpsLongitude];
  // Before the GPS module's first fix it logs 0, 0. Such samples take the
  // first fixed position of the lap, so they do not drag the lap to 0 N 0 E.
  auto fixed = [&](long i) { return lat[i] != 0 || lon[i] != 0; };
  long first_fix = first;
  while (first_fix <= last && !fixed(first_fix)) ++first_fix;
  if (first_fix > last) {
    track.problem = track_problem::no_gps_fix;
    return track;
  }
  auto latitude = [&](long i) { return fixed(i) ? lat[i] : lat[first_fix]; };
  auto longitude = [&](long i) { return fixed(i) ? lon[i] : lon[first_fix]; };
  const double c = std::cos(latitude(last) * std::numbers::pi / 180);
  const auto n = static_cast<size_t>(last - first + 1);
  track.x.resize(n);
  track.y.resize(n);
  for (long i = first; i <= last; ++i) {
    const auto k = static_cast<size_t>(i - first);
    track.x[k] = longitude(i) * c;
    track.y[k] = latitude(i);
  }
  return track;
}

double heading_change(double g_tenths, double v, double dt, int shape) {
  if (!(v > 0)) return 0;  // no distance advance, no heading change
  const double theta = std::atan(std::fabs(g_tenths * dt) / v * 100 / shape);
  return g_tenths < 0 ? -theta : theta;
}

double heading_closure(double heading_sum, long samples, TrackPlotMode mode) {
  if (mode == TrackPlotMode::SprintHill || samples < 1) return 0;
  const double n = static_cast<double>(samples);
  if (heading_sum >= 0) return (kTwoPi - heading_sum) / n;
  return -(kTwoPi - std::fabs(heading_sum)) / n;
}

TrackCoordinates g_track(const DataSet& set, long first, long last, double dt, bool feet,
                         const TrackOptions& options) {
  TrackCoordinates track;
  if (last < first || !(dt > 0)) {
    track.problem = track_problem::no_samples;
    return track;
  }
  const Series& odo = set[Channel::Odo];
  const Series& g_lat = set[Channel::GLat];
  const double to_metres = feet ? kFeetToMetres : 1.0;
  const int shape = std::clamp(options.shape, kShapeMin, kShapeMax);
  const auto n = static_cast<size_t>(last - first + 1);

  std::vector<double> v(n), g(n), turn(n);
  double heading_sum = 0;
  for (long i = first; i <= last; ++i) {
    const auto k = static_cast<size_t>(i - first);
    // The sample before the log's first has no distance to measure from: the
    // car is taken as standing, not as having covered Odo[1] in one sample.
    const double distance = i - 1 >= 1 ? odo[i] - odo[i - 1] : 0.0;
    v[k] = finite_or_zero(distance * to_metres / dt);
    g[k] = finite_or_zero(g_lat[i]);
    turn[k] = heading_change(g[k], v[k], dt, shape);
    heading_sum += turn[k];
  }
  const double kappa = heading_closure(heading_sum, static_cast<long>(n), options.mode);
  const double start_heading = options.rotate / 100.0 * kTwoPi;

  auto walk = [&](double ex, double ey) {
    double theta = start_heading;
    double x = 0;
    double y = 0;
    for (size_t k = 0; k < n; ++k) {
      const double along = 10 * v[k] * dt;
      const double across = 9.81 * g[k] * dt * dt;
      const double r = std::sqrt(along * along + across * across);
      x += std::sin(theta) * r - ex;
      y += std::cos(theta) * r - ey;
      track.x[k] = x;
      track.y[k] = y;
      theta += turn[k] + kappa;
    }
  };
  track.x.resize(n);
  track.y.resize(n);
  walk(0, 0);
  double ex = 0;
  double ey = 0;
  if (options.mode == TrackPlotMode::CircuitLap) {
    ex = (track.x[n - 1] - track.x[0]) / static_cast<double>(n);
    ey = (track.y[n - 1] - track.y[0]) / static_cast<double>(n);
  }
  walk(ex, ey);
  return track;
}

bool normalise_track(std::vector<double>& x, std::vector<double>& y) {
  if (x.empty() || x.size() != y.size() || !all_finite(x) || !all_finite(y)) return false;
  const double min_x = *std::min_element(x.begin(), x.end());
  const double min_y = *std::min_element(y.begin(), y.end());
  const double max_x = *std::max_element(x.begin(), x.end()) - min_x;
  const double max_y = *std::max_element(y.begin(), y.end()) - min_y;
  const double scale = max_x > max_y ? max_x : max_y;
  if (!(scale > 0) || !std::isfinite(scale)) return false;
  for (double& v : x) v = (v - min_x) / scale;
  for (double& v : y) v = (v - min_y) / scale;
  return true;
}

TrackCoordinates processTrackData(const ProgramState& state, const LapSelection& selection,
                                  const TrackOptions& options) {
  TrackCoordinates track;
  if (!selection.has_lap || selection.sample_count < 1) {
    track.problem = track_problem::no_samples;
    return track;
  }
  const DataSet& set = state.data_sets[selection.slot == DataSetId::B ? 1 : 0];
  const long first = selection.first();
  const long last = selection.last();
  track = options.source == TrackSource::GpsData
              ? gps_track(set, first, last)
              : g_track(set, first, last, selection.dt, state.unit_flags.distance_feet, options);
  if (!track.problem.empty()) return track;
  if (!normalise_track(track.x, track.y)) {
    track.x.clear();
    track.y.clear();
    track.problem = track_problem::no_extent;
  }
  return track;
}

}  // namespace ardenvis::core

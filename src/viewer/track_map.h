#pragma once
// The path of a chosen lap: from the logged GPS position ("GPS Data"), or
// reconstructed by dead reckoning from speed and lateral G ("G Data") with the
// heading and position closed for a circuit lap. Both are normalised so the
// track's longer side spans 0..1.

#include <string>
#include <vector>

#include "state/program_state.h"
#include "viewer/lap_selection.h"

namespace ardenvis::core {

enum class TrackSource { GData, GpsData };            // "G Data", "GPS Data"
enum class TrackPlotMode { CircuitLap, SprintHill };  // "Circuit/Lap", "Sprint/Hill "

inline constexpr int kRotateDefault = 12;  // 0..100, a fraction of a turn
inline constexpr int kShapeDefault = 100;  // 75..125, 100 / Shape scales each heading change
inline constexpr int kShapeMin = 75;
inline constexpr int kShapeMax = 125;

struct TrackOptions {
  TrackSource source = TrackSource::GData;
  int rotate = kRotateDefault;
  int shape = kShapeDefault;
  TrackPlotMode mode = TrackPlotMode::CircuitLap;
};

// Why a lap has no track (shown in the track details instead of a drawing).
namespace track_problem {
inline constexpr const char* no_samples = "No samples in this lap";
inline constexpr const char* no_gps_fix = "No GPS position in this lap";
inline constexpr const char* no_extent = "The lap covers no distance";
}  // namespace track_problem

// Track coordinates of one lap, point k - 1 for sample first + k - 1.
struct TrackCoordinates {
  std::vector<double> x;
  std::vector<double> y;
  std::string problem;  // empty when there is a track to draw
  bool drawable() const { return problem.empty() && !x.empty(); }
  long size() const { return static_cast<long>(x.size()); }
};

// processTrackData: the normalised track of a selection over its samples
// start + shift .. end + shift. A lap with no samples, no extent or (from
// GPS) no fix gives no coordinates and says why; no NaN ever comes out.
TrackCoordinates processTrackData(const ProgramState& state, const LapSelection& selection,
                                  const TrackOptions& options);

// The two reconstructions before normalisation (exposed for tests).
TrackCoordinates gps_track(const DataSet& set, long first, long last);
TrackCoordinates g_track(const DataSet& set, long first, long last, double dt, bool feet,
                         const TrackOptions& options);
// The heading change of one sample: atan(|g dt| / v x 100 / shape) with the
// sign of g (G Lat in tenths of g, v in metres a second); 0 without speed.
double heading_change(double g_tenths, double v, double dt, int shape);
// The per-sample heading correction that closes a circuit lap's heading sum
// to a full turn; 0 for a sprint.
double heading_closure(double heading_sum, long samples, TrackPlotMode mode);
// Shift both series to start at 0 and scale by the larger extent. False (and
// the series untouched) when the track has no extent.
bool normalise_track(std::vector<double>& x, std::vector<double>& y);

}  // namespace ardenvis::core

#include "viewer/cursor_markers.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "common/format.h"
#include "viewer/lap_times.h"
#include "viewer/plot_channels.h"

namespace ardenvis::core {
namespace {

double slot_dt(const DataSet& set) { return set.info.sample_rate == 20 ? 0.05 : 0.1; }

}  // namespace

std::string cursor_readout(const ProgramState& state, DisplayMode mode, int x_axis,
                           const std::array<LapSelection, 2>& selections, double x, double y) {
  std::vector<std::string> lines{format("Axis: %.2f at %.2f", y, x)};
  if (x_axis == kXAxisTime) {
    if (mode == DisplayMode::LapOverlay) {
      for (int k = 1; k <= 2; ++k) {
        const LapSelection& s = selections[static_cast<size_t>(k - 1)];
        if (!s.has_lap) continue;
        lines.push_back(format("Sel %d = Log:%3d Lap:%3d Data:%s Time: %1.2f", k, s.session,
                               s.lap_number, s.data_set_letter.c_str(), s.lap_time));
      }
    } else {
      for (int k = 0; k < 2; ++k) {
        const DataSet& set = state.data_sets[static_cast<size_t>(k)];
        if (usable_lap_count(set) == 0) continue;
        const double index = std::nearbyint(x / slot_dt(set));
        // Far outside the log the series read 0 like any index past its end.
        const long i =
            std::isfinite(index) && std::fabs(index) < 1e15 ? static_cast<long>(index) : 0;
        lines.push_back(format(k == 0 ? "DataA: Log:%.0f Lap:%.0f Time: %1.2f"
                                      : "DataB: Log:%.0f Lap:%.0f Time: %1.2f",
                               set[Channel::Session][i], set[Channel::Lap][i],
                               set[Channel::LapTime][i]));
      }
    }
  }
  if (lines.size() == 1) return lines[0];
  if (lines.size() == 2) return format("%s\n%s ", lines[0].c_str(), lines[1].c_str());
  return format("%s\n%s\n%s ", lines[0].c_str(), lines[1].c_str(), lines[2].c_str());
}

std::string cursor_value_text(double value) { return format("%.2f", value); }

bool snap_marker(MarkerPosition& marker, double x_low, double x_high) {
  if (marker.x >= x_low && marker.x <= x_high) return false;
  marker.x = x_low;
  marker.y = 0;
  return true;
}

std::array<std::string, 6> marker_fields(const MarkerPosition& m1, const MarkerPosition& m2) {
  return {format("%.2f", m1.y),        format("%.2f", m2.y), format("%.2f", m1.y - m2.y),
          format("%.2f", m1.x - m2.x), format("%.2f", m1.x), format("%.2f", m2.x)};
}

std::optional<long> marker_dot_offset(const ProgramState& state, const LapSelection& lap,
                                      DisplayMode mode, int x_axis, double x, DotRule rule) {
  if (mode != DisplayMode::LapOverlay || !lap.has_lap) return std::nullopt;
  if (x_axis != kXAxisTime && x_axis != kXAxisDistance) return std::nullopt;
  const long n = std::max<long>(lap.sample_count, 1);
  if (!(x > 0)) return 1;
  double offset = 1;
  if (x_axis == kXAxisTime) {
    offset = std::nearbyint(x / lap.dt);
  } else if (rule == DotRule::Markers) {
    // A lap that covers no distance has nowhere further to put a dot.
    offset = lap.lap_distance > 0
                 ? std::floor(x / lap.lap_distance * static_cast<double>(lap.sample_count))
                 : 1;
  } else {
    const Series& odo = state.data_sets[lap.slot == DataSetId::B ? 1 : 0][Channel::Odo];
    long i = lap.start;
    while (i < lap.end && odo[i] - odo[lap.start] < x) ++i;
    offset = static_cast<double>(i - lap.start);
  }
  // The dot stays on the lap: before its first point or past its last it
  // sits at that end rather than at a coordinate the track does not have.
  if (!(offset >= 1)) return 1;
  return static_cast<long>(std::min(offset, static_cast<double>(n)));
}

}  // namespace ardenvis::core

#include "viewer/track_drawing.h"

#include <algorithm>
#include <cmath>

#include "common/format.h"
#include "viewer/plot_channels.h"

namespace ardenvis::core {
namespace {

constexpr uint32_t kLightGreen = 0x90EE90;
constexpr int kLapWindowWidth = 2;

uint32_t rgb(int r, int g, int b) {
  return static_cast<uint32_t>(r) | static_cast<uint32_t>(g) << 8 | static_cast<uint32_t>(b) << 16;
}

// One pen per sample: the line from the previous point to this one.
struct SamplePen {
  uint32_t colour;
  int width;
  bool operator==(const SamplePen&) const = default;
};

std::vector<TrackStroke> strokes_of(const std::vector<SamplePen>& pens, bool dotted) {
  std::vector<TrackStroke> strokes;
  for (long k = 1; k < static_cast<long>(pens.size()); ++k) {
    const SamplePen& pen = pens[static_cast<size_t>(k)];
    if (!strokes.empty() && strokes.back().to == k - 1 && strokes.back().colour == pen.colour &&
        strokes.back().width == pen.width) {
      strokes.back().to = k;
      continue;
    }
    strokes.push_back({k - 1, k, pen.colour, pen.width, dotted});
  }
  if (strokes.empty() && pens.size() == 1) {
    strokes.push_back({0, 0, pens[0].colour, pens[0].width, dotted});
  }
  return strokes;
}

}  // namespace

int track_line_width(int width_slider) {
  return static_cast<int>(std::nearbyint(width_slider / 50.0 * 4));
}

uint32_t g_colour(double value, double max, double min) {
  auto intensity = [](double ratio) {
    if (!std::isfinite(ratio)) ratio = 0;
    ratio = std::clamp(std::fabs(ratio), 0.0, 1.0);
    return static_cast<int>(std::floor((ratio * 0.5 + 0.5) * 255));
  };
  if (value > 0) return rgb(0, intensity(max != 0 ? value / max : 1), 0);
  // A lap whose lowest G is 0 draws its zero samples half-bright red.
  return rgb(intensity(min != 0 ? value / min : 0), 0, 0);
}

TrackDetails track_details(const ProgramState& state, const LapSelection& lap, int number) {
  TrackDetails details;
  if (!lap.has_lap) return details;
  details.selection = format("%d", number);
  details.lap_number = format("%d", lap.lap_number);
  details.session = format("%d", lap.session);
  details.data_set = lap.data_set_letter;
  details.lap_time = format("%.2fs", lap.lap_time);
  details.file = state.data_sets[lap.slot == DataSetId::B ? 1 : 0].file_name;
  return details;
}

DeltaSegments delta_segments(const std::array<LapSelection, 2>& selections,
                             const TrackDrawOptions& options) {
  const int splits = std::max(selections[0].split_count, selections[1].split_count);
  const auto m = static_cast<size_t>(std::min(splits + 1, kMaxSegments));
  DeltaSegments segments;
  segments.delta.assign(m, 0.0);
  segments.width.assign(m, 0);
  if (selections[0].has_lap && selections[1].has_lap) {
    for (size_t k = 0; k < m; ++k) {
      segments.delta[k] =
          selections[0].distance_segment_times[k] - selections[1].distance_segment_times[k];
    }
  }
  double largest = 0;
  for (double d : segments.delta) largest = std::max(largest, std::fabs(d));
  for (size_t k = 0; k < m; ++k) {
    if (!options.delta_width) {
      segments.width[k] = track_line_width(options.width_slider);
    } else if (largest > 0) {
      segments.width[k] = static_cast<int>(
          std::nearbyint(std::fabs(segments.delta[k]) / largest * 25 * options.width_slider / 50));
    }
  }
  return segments;
}

TrackDrawing plotTrackData(const ProgramState& state, const std::array<LapSelection, 2>& selections,
                           int number, const TrackCoordinates& track,
                           const TrackDrawOptions& options) {
  TrackDrawing drawing;
  const LapSelection& lap = selections[number == 2 ? 1 : 0];
  const bool delta = options.analysis == TrackAnalysis::DeltaSegments;
  drawing.legend_visible = delta;
  drawing.view_braking_enabled = !delta;
  if (!lap.has_lap || !track.drawable()) return drawing;

  const DataSet& set = state.data_sets[lap.slot == DataSetId::B ? 1 : 0];
  const long first = lap.first();
  const long n = track.size();
  const int map_width = track_line_width(options.width_slider);

  const Series& g = set[options.analysis == TrackAnalysis::GLat ? Channel::GLat : Channel::GLong];
  double g_max = -HUGE_VAL;
  double g_min = HUGE_VAL;
  if (!delta) {
    for (long k = 0; k < n; ++k) {
      g_max = std::max(g_max, g[first + k]);
      g_min = std::min(g_min, g[first + k]);
    }
  }
  const DeltaSegments segments = delta ? delta_segments(selections, options) : DeltaSegments{};
  const long m = static_cast<long>(segments.delta.size());
  const Series& brake = set[Channel::Brake];

  std::vector<SamplePen> map_pens(static_cast<size_t>(n));
  std::vector<SamplePen> window_pens(static_cast<size_t>(n));
  long segment = 0;
  for (long k = 0; k < n; ++k) {
    const long i = first + k;
    SamplePen map{colour::green, map_width};
    SamplePen window{colour::green, kLapWindowWidth};
    if (delta) {
      // The segment advances as the lap passes each of its split points.
      while (segment + 1 < m &&
             i > static_cast<long>(lap.distance_split_indexes[static_cast<size_t>(segment)]) +
                     lap.beacon_shift) {
        ++segment;
        drawing.map_dots.push_back(
            {track.x[static_cast<size_t>(k)], track.y[static_cast<size_t>(k)], colour::lime, 24});
        drawing.lap_window_dots.push_back(drawing.map_dots.back());
      }
      const double d = segments.delta[static_cast<size_t>(segment)];
      const uint32_t c = d > 0 ? colour::green : (d < 0 ? colour::red : colour::black);
      const int w = segments.width[static_cast<size_t>(segment)];
      map = window = {c, w};
    } else {
      map.colour = g_colour(g[i], g_max, g_min);
      if (options.view_braking && brake[i] > 0) map.colour = window.colour = colour::blue;
    }
    map_pens[static_cast<size_t>(k)] = map;
    window_pens[static_cast<size_t>(k)] = window;
  }
  drawing.map = strokes_of(map_pens, number == 2 && options.dotted_selection_2);
  drawing.lap_window = strokes_of(window_pens, false);

  const double last_x = track.x.back();
  const double last_y = track.y.back();
  drawing.map_dots.push_back({last_x, last_y, kLightGreen, 24});
  drawing.map_dots.push_back({track.x.front(), track.y.front(), colour::yellow, 24});
  drawing.lap_window_dots.push_back({last_x, last_y, colour::fuchsia, 24});
  drawing.lap_window_dots.push_back({track.x.front(), track.y.front(), colour::yellow, 24});
  return drawing;
}

}  // namespace ardenvis::core

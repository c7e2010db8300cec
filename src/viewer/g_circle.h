#pragma once
// The G circle: every sample's lateral against longitudinal G over a scale of
// rings, for the whole data set or a chosen lap; and the G-axis corrections
// for a unit mounted the wrong way round.

#include <string>
#include <vector>

#include "logger/data_set_units.h"
#include "state/program_state.h"

namespace ardenvis::core {

struct GPoint {
  double x = 0;  // G Lat in g
  double y = 0;  // G Long in g
};

// The points of samples first..last, split by braking. Samples that land on
// the same 1/200 g (half a pixel at the full view) are drawn once: on a full
// log hundreds of thousands of samples fall on a few thousand places.
struct GCirclePoints {
  std::vector<GPoint> normal;
  std::vector<GPoint> braking;  // Brake != 0
};
GCirclePoints g_circle_points(const DataSet& set, long first, long last);

// Colours and mark shapes per style (0 = A-style, 1 = B-style): green / purple,
// lime / fuchsia while braking; shapes 17 / 11 on the G circle, 16 / 10 on
// the lap G circle.
uint32_t g_point_colour(int style, bool braking);
int g_point_shape(int style, bool lap_window);

// The background (changeGCircleScale).
struct GPolyline {
  std::vector<GPoint> points;
};
struct GLabel {
  double x = 0;
  double y = 0;
  std::string text;
};
inline constexpr double kGCircleAxisReach = 10;
inline constexpr double kGCircleGridSpacing = 0.25;
inline constexpr int kGCircleRings = 10;
// Ring i (1..10) of radius 0.5 i from (r, 0) through 63 points at 0, 0.1, ..
// 6.2 rad, leaving a small gap before the start.
GPolyline g_circle_ring(int ring);
// "%1.1fg" labels on the four diagonals: of every ring on the G circle, of
// 1 g .. 5 g on the lap G circle.
std::vector<GLabel> g_circle_labels(bool lap_window);
// The lap G circle's fixed view: x, y in [-2, 2].
inline constexpr double kLapGCircleReach = 2;

// Each correction box toggles the stored data of its data set; the "Change
// Dash Config" note shows while any of them is ticked.
enum class GAxisToggle { SwapLatLong, ChangeLatSign, ChangeLongSign };
// swapLatLong / changeLatSign / changeLongSign. False when the slot has no data.
bool toggle_g_axis(DataSet& set, GAxisToggle toggle);
inline bool dash_config_note_visible(const GAxisCorrections& c) {
  return c.swap_lat_long || c.change_lat_sign || c.change_long_sign;
}

}  // namespace ardenvis::core

#pragma once
// The cursor readout under the mouse, the two draggable markers with their six
// "Marker Data" fields, and where the markers' dots fall on the track map and
// the G circle.

#include <array>
#include <optional>
#include <string>

#include "state/program_state.h"
#include "viewer/lap_selection.h"
#include "viewer/plot_pass.h"

namespace ardenvis::core {

// get_cursor_position: the readout's lines joined by line feeds. Line 1 is
// "Axis: %.2f at %.2f" (y, then x); on the time axis a line follows per chosen
// lap ("Lap Overlay") or per slot with laps ("All Plot Data").
std::string cursor_readout(const ProgramState& state, DisplayMode mode, int x_axis,
                           const std::array<LapSelection, 2>& selections, double x, double y);
// The white labels beside the cursor while markers are on: y and x, "%.2f".
std::string cursor_value_text(double value);

// "Markers" selector items.
inline constexpr const char* kMarkersOff = "Off";
inline constexpr const char* kMarkersOn = "On (Drag from left axis)";

struct MarkerPosition {
  double x = 0;
  double y = 0;
};
// update_markers step 1: a marker outside the layer-1 X range goes to X low
// with y 0. True when it was moved.
bool snap_marker(MarkerPosition& marker, double x_low, double x_high);

// The six "Marker Data" fields, "%.2f": marker 1 y (blue), marker 2 y (red),
// y1 - y2, x1 - x2, marker 1 x, marker 2 x.
std::array<std::string, 6> marker_fields(const MarkerPosition& m1, const MarkerPosition& m2);

// Marker dots: the sample offset of a marker's x into the track map lap
// (1-based into its track coordinates; the G circle dot is at sample
// start + offset). update_markers counts distance as a fraction of the lap;
// update_blobs walks the lap's Odo to the first sample that reaches x.
enum class DotRule { Markers, Blobs };
// nullopt when no dots are drawn (not "Lap Overlay", x-axis neither time nor
// distance, or the track map lap has no lap).
std::optional<long> marker_dot_offset(const ProgramState& state, const LapSelection& lap,
                                      DisplayMode mode, int x_axis, double x, DotRule rule);

}  // namespace ardenvis::core

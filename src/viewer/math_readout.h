#pragma once
// The math channels in the cursor readout: their values under the cursor on
// the time axis.

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "state/program_state.h"
#include "viewer/lap_selection.h"
#include "viewer/plot_pass.h"

namespace ardenvis::core {

// One line per math channel shown (index into DataSet::math, name), after a
// line feed each: "Name: A %.2f  B %.2f" for the loaded slots in "All Plot
// Data", "Name: Sel 1 %.2f  Sel 2 %.2f" for the chosen laps in "Lap
// Overlay"; "-" where the channel has no value there. Empty on any other
// axis, and without a data set or lap to read.
std::string math_readout(const ProgramState& state, DisplayMode mode, int x_axis,
                         const std::array<LapSelection, 2>& selections,
                         const std::vector<std::pair<int, std::string>>& shown, double x);

}  // namespace ardenvis::core

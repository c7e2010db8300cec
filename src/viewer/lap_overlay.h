#pragma once
// "Lap Overlay": two chosen laps laid over each other, and the two slip
// traces that show where the second lap gains or loses against the first:
// odo slip (distance gained at equal elapsed time) and time slip (time lost at
// equal distance). Also the beacon shift that slides lap 1 along the track,
// and the captions that name the chosen laps.

#include <array>
#include <string>
#include <vector>

#include "common/host.h"
#include "state/program_state.h"
#include "viewer/lap_selection.h"
#include "viewer/plot_pass.h"

namespace ardenvis::core {

namespace overlay_message {
inline constexpr const char* no_lap_data = "No Lap Data to View";
inline constexpr const char* slip_smoothing_failed = "Lap Slip Smoothing Failed...";
inline constexpr const char* no_lap_selected = "No Lap Data Selected";
}  // namespace overlay_message

inline constexpr int kSlipSmoothingWindow = 5;
// The slips need one more sample than the smoothing window.
inline constexpr int kMinSlipSamples = 6;

// Which slip box the x-axis allows: on time the odo slip (distance at equal
// time), on distance the time slip, on any other axis both; neither unless
// both selectors hold a lap.
struct SlipBoxes {
  bool odo = false;
  bool time = false;
};
SlipBoxes slip_boxes_enabled(const std::array<LapSelection, 2>& selections, int x_axis);

// Odo slip, one value per sample of lap 1 (1-based). Lap 2 is stepped at the
// ratio of the two sample rates; values past lap 2's end are 0.
void compute_odo_slip(const ProgramState& state, const LapSelection& lap1, const LapSelection& lap2,
                      Series& slip);
// Time slip, one value per sample of lap 1: lap 2's time to reach each of n
// equally spaced distances of lap 1, less lap 1's.
void compute_time_slip(const ProgramState& state, const LapSelection& lap1,
                       const LapSelection& lap2, Series& slip);

// shiftbeacon: the samples of lap 1 that cover the entered distance, at the
// distance per sample of the lap's first second (or, when the car covered
// nothing in that second, of the whole lap; 0 when the lap covers nothing).
int32_t beacon_shift_samples(const ProgramState& state, const LapSelection& lap1,
                             double entered_distance);

// What update_lap_info writes for one selection: the line group caption
// ("Sel 1 = Log:%d Lap:%d Data:%s" / "No Lap Selected"), the channel column
// heading and the statistics label ("Selection 1" / "No Lap"), and the G
// circle key line ("Log:%d Lap:%d Data:%s" / "No Lap").
struct LapInfoCaptions {
  std::string line_group;
  std::string column_heading;
  std::string statistics_label;
  std::string g_circle_key;
};
LapInfoCaptions lap_info_captions(const LapSelection& selection, int number);

// Lap overlay may be entered only when a slot has laps.
bool any_slot_has_laps(const ProgramState& state);

// The two slip rows of the "Lap Analysis" panel: checked, colour and the
// position of the "Scale" choice ("x1", "x10", ...).
struct SlipRow {
  bool checked = false;
  bool enabled = false;
  uint32_t colour = 0;
  int scale = 0;
};
struct SlipSettings {
  SlipRow odo;   // fuchsia, "x1" "x10" "x100"
  SlipRow time;  // red, "x1" "x10" "x100" "x1000"
};
// A slip as drawn: from (0, 0), then one point per sample of lap 1 at its
// x-axis value (less the lap's x offset) and factor x (slip - first slip).
struct SlipTrace {
  std::vector<double> x;
  std::vector<double> y;
  uint32_t colour = 0;
  PenStyle pen = PenStyle::Solid;
  bool points = false;
};
// Slip traces drawn with selection 1 in "Lap Overlay": odo slip first, then
// time slip, each only while checked and enabled; pen from "Data A Line".
std::vector<SlipTrace> slip_traces(const ProgramState& state, const PlotSettings& settings,
                                   const PlotSelection& selection, const SlipSettings& slips,
                                   const Series& odo_slip, const Series& time_slip);

// What lapPlotUpdate asked of the window besides the data it left here.
struct LapPlotOutcome {
  SlipBoxes slip_boxes;
  bool any_lap = false;          // hide "No Lap Data Selected", enable "Track Map Lap"
  bool slips_computed = false;   // both laps chosen and their slips worked out
  int track_map_lap_choice = 0;  // 1 or 2 when the sender was that selector, else 0
};

// The two selections, their beacon shift and the slip series, shared by the
// plot, the track map, the markers and the lap export.
class LapOverlay {
 public:
  // lapPlotUpdate: refills both records from the selectors' list positions
  // (-1 = no lap), keeps selection 1's beacon shift, computes the slips when
  // both have a lap and smooths them ("Lap Slip Smoothing Failed..." when
  // that cannot be done; the overlay goes on). sender: 1 or 2 for a selector,
  // 0 for anything else.
  LapPlotOutcome lapPlotUpdate(const ProgramState& state, Host& host,
                               const std::array<int, 2>& list_positions, int split_count,
                               int x_axis, int sender);
  // shiftbeacon on selection 1 (selection 2 keeps 0).
  void shiftbeacon(const ProgramState& state, double entered_distance);

  const LapSelection& selection(int number) const { return selections_[number == 2 ? 1 : 0]; }
  const std::array<LapSelection, 2>& selections() const { return selections_; }
  bool has_lap(int number) const { return selection(number).has_lap; }
  bool any_lap() const { return selections_[0].has_lap || selections_[1].has_lap; }
  bool both_laps() const { return selections_[0].has_lap && selections_[1].has_lap; }
  const Series& odo_slip() const { return odo_slip_; }
  const Series& time_slip() const { return time_slip_; }
  void clear();

 private:
  std::array<LapSelection, 2> selections_;
  int32_t beacon_shift_ = 0;
  Series odo_slip_;
  Series time_slip_;
};

}  // namespace ardenvis::core

#pragma once
// The plotting pass: which selections are drawn into which chart layer, and
// for each the traces (one per checked channel, in draw order) with colour,
// pen and the sample range. The chart draws a trace straight from the series
// (x from the slot's x-axis series), so no sample is copied here.

#include <array>
#include <cstdint>
#include <vector>

#include "state/program_state.h"
#include "viewer/plot_channels.h"

namespace ardenvis::core {

enum class DisplayMode { AllPlotData, LapOverlay };
// "Solid Line", "Dotted Line", "Points".
enum class LineStyle { Solid, Dotted, Points };
enum class PenStyle { Solid, Dotted, Invisible };

// "Data A Line" / "Data B Line" and its "Visible" box.
struct TraceLine {
  LineStyle style = LineStyle::Solid;
  bool visible = true;
};

// A lap chosen for the overlay: its slot and sample range.
struct OverlayLap {
  bool has_lap = false;
  DataSetId slot = DataSetId::A;
  long start = 0;
  long end = -1;
  long beacon_shift = 0;  // selection 1 only
};

struct PlotSettings {
  DisplayMode mode = DisplayMode::AllPlotData;
  bool data_b_on_second_axis = false;
  std::array<bool, kPlotChannelCount> checked{};
  std::array<uint32_t, kPlotChannelCount> colour_a{};
  std::array<uint32_t, kPlotChannelCount> colour_b{};
  // A-style then B-style.
  std::array<TraceLine, 2> lines{TraceLine{LineStyle::Solid, true},
                                 TraceLine{LineStyle::Dotted, true}};
  int x_axis = kXAxisTime;
  std::array<OverlayLap, 2> overlay;
  // The math channels' rows, in the order of the user's library: drawn after
  // the logged channels, with the same line styles.
  struct MathRow {
    bool checked = false;
    uint32_t colour_a = 0;
    uint32_t colour_b = 0;
  };
  std::vector<MathRow> math;

  // The table's start-up state: default ticks and colours.
  static PlotSettings defaults();
  bool any_channel_checked() const;
};

// One drawn selection: selection 1 or 2, its slot, its chart layer (1 or 2),
// its sample range and its style key (0 = A-style, 1 = B-style).
struct PlotSelection {
  int number = 1;
  DataSetId slot = DataSetId::A;
  int layer = 1;
  long first = 1;
  long last = 0;
  int style = 0;
  // Subtracted from every x (laps of the overlay start at 0 on time or distance).
  double x_offset = 0;
};
std::vector<PlotSelection> choose_selections(const ProgramState& state,
                                             const PlotSettings& settings);
// The layer selection 1 or 2 is drawn in under these settings, whether or not
// it is present: only "All Plot Data" with "Data B on 2nd Axis" uses layer 2.
int selection_layer(const PlotSettings& settings, int selection);
// The layer the grid follows for a "Grid Enable" choice (1 "Axis1", 2
// "Axis2"): that of selection 1 or selection 2.
inline int grid_layer(const PlotSettings& settings, int grid_enable_choice) {
  return selection_layer(settings, grid_enable_choice == 2 ? 2 : 1);
}

struct Trace {
  Channel channel = Channel::Rpm;
  int math = -1;  // the math channel drawn (index into DataSet::math), or -1
  int layer = 1;
  uint32_t colour = 0;  // 0x00BBGGRR
  PenStyle pen = PenStyle::Solid;
  bool points = false;  // marks (shape 0) instead of a line
  // count samples: x[i] - x_offset against y[i] - y_offset.
  const double* x = nullptr;
  const double* y = nullptr;
  long count = 0;
  double x_offset = 0;
  double y_offset = 0;
  bool x_sorted = false;  // x never falls (time and distance)
};

// plot_engine_data: the traces of one selection, in draw order.
std::vector<Trace> plot_engine_data(const ProgramState& state, const PlotSettings& settings,
                                    const PlotSelection& selection);

struct PlotRange {
  double x_low = 0;
  double y_low = 0;
  double x_high = 0;
  double y_high = 0;
};
// Y auto-scale: x kept, y from the smallest value found to 2 % above the
// largest.
PlotRange autoscale_range(const PlotRange& current, double y_min, double y_max);
// Full-range fitting: the fitted range with 2 % added beyond its x and y highs.
PlotRange full_range(const PlotRange& fitted);
// The window the y auto-scale searches: the current x range, y within +-1,000,000.
inline constexpr double kAutoScaleYLimit = 1000000;
// The plot chart's range limits.
inline constexpr double kPlotRangeLimit = 100000000;

}  // namespace ardenvis::core

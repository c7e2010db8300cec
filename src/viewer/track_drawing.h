#pragma once
// How a lap's track is drawn on the track map and the small lap track window
// of the plot page: colour by longitudinal or lateral G, braking in blue, or
// by which of the two laps was faster in each distance segment; the dots at
// the start, the end and the splits; the "Track Details" texts.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "state/program_state.h"
#include "viewer/lap_selection.h"
#include "viewer/track_map.h"

namespace ardenvis::core {

// "Track analysis".
enum class TrackAnalysis { GLong, GLat, DeltaSegments };

namespace track_message {
inline constexpr const char* select_two_laps = "Select Two Laps to Compare Segment Times";
inline constexpr const char* load_lap = "Load Lap in Lap Area to View Selection";
inline constexpr const char* not_in_all_plot_data =
    "Track Map not available in \"All Plot Data\" mode";
}  // namespace track_message

inline constexpr int kWidthSliderDefault = 50;  // 1..400

struct TrackDrawOptions {
  TrackAnalysis analysis = TrackAnalysis::GLong;
  bool view_braking = true;  // "View Braking (Blue) "
  bool delta_width = true;   // "Delta Seg Width"
  int width_slider = kWidthSliderDefault;
  bool dotted_selection_2 = true;  // "Dotted Trace " "Selection 2 "
};

// The line width of a whole track: round(slider / 50 x 4).
int track_line_width(int width_slider);

// A run of the track drawn with one pen: the polyline through points
// from..to (0-based, inclusive).
struct TrackStroke {
  long from = 0;
  long to = 0;
  uint32_t colour = 0;  // 0x00BBGGRR
  int width = 1;
  bool dotted = false;
};
struct TrackDot {
  double x = 0;
  double y = 0;
  uint32_t colour = 0;
  int shape = 24;
};

// The "Track Details" fields: "Selection:", "Lap Num:", "Session:",
// "DataSet:", "Lap Time:" ("%.2fs") and "File:"; all "NA" without a track.
struct TrackDetails {
  std::string selection = "NA";
  std::string lap_number = "NA";
  std::string session = "NA";
  std::string data_set = "NA";
  std::string lap_time = "NA";
  std::string file = "NA";
};
TrackDetails track_details(const ProgramState& state, const LapSelection& lap, int number);

struct TrackDrawing {
  std::vector<TrackStroke> map;         // the track map
  std::vector<TrackStroke> lap_window;  // the lap track window
  std::vector<TrackDot> map_dots;
  std::vector<TrackDot> lap_window_dots;
  bool legend_visible = false;       // the delta segment legend
  bool view_braking_enabled = true;  // "View Braking (Blue) " usable
};

// Delta segments of the two laps: per segment k (0-based) selection 1's time
// less selection 2's, and the drawn width.
struct DeltaSegments {
  std::vector<double> delta;
  std::vector<int> width;
};
DeltaSegments delta_segments(const std::array<LapSelection, 2>& selections,
                             const TrackDrawOptions& options);

// The colour of a G sample: green brighter with more positive G, red with more
// negative, on the lap's own extremes.
uint32_t g_colour(double value, double max, double min);

// plotTrackData for selection `number` (1 or 2) with its track coordinates.
TrackDrawing plotTrackData(const ProgramState& state, const std::array<LapSelection, 2>& selections,
                           int number, const TrackCoordinates& track,
                           const TrackDrawOptions& options);

}  // namespace ardenvis::core

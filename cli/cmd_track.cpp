// "track": the normalised track of one lap of a log data file as the track
// map would draw it, one "x,y" line per sample, so the reconstruction can be
// checked without a display.

#include <cstdio>
#include <cstdlib>
#include <string>

#include "cli/commands.h"
#include "cli/console_host.h"
#include "files/log_file.h"
#include "logger/data_set_units.h"
#include "state/program_state.h"
#include "viewer/lap_selection.h"
#include "viewer/lap_times.h"
#include "viewer/track_map.h"

namespace ardenvis::cli {
namespace {

constexpr const char* kNoLap = "No Valid Lap Data Selected";

// A whole number within [low, high] from an option's text.
bool read_number(const std::optional<std::string>& text, long low, long high, long& value) {
  if (!text) return true;
  char* end = nullptr;
  const long v = std::strtol(text->c_str(), &end, 10);
  if (text->empty() || *end != '\0' || v < low || v > high) return false;
  value = v;
  return true;
}

int track(Arguments& args) {
  const auto session = args.option("--session");
  const auto lap = args.option("--lap");
  const auto rotate = args.option("--rotate");
  const auto shape = args.option("--shape");
  core::TrackOptions options;
  if (args.flag("--gps")) options.source = core::TrackSource::GpsData;
  if (args.flag("--sprint")) options.mode = core::TrackPlotMode::SprintHill;
  long session_number = -1;
  long lap_number = -1;
  long rotate_value = options.rotate;
  long shape_value = options.shape;
  if (args.rest().size() != 1 || !session || !lap) {
    std::fprintf(stderr, "track: give the log data file, --session and --lap\n");
    return 2;
  }
  if (!read_number(session, 0, 255, session_number) || !read_number(lap, 0, 255, lap_number)) {
    std::fprintf(stderr, "track: --session and --lap take a number from 0 to 255\n");
    return 2;
  }
  if (!read_number(rotate, 0, 100, rotate_value) ||
      !read_number(shape, core::kShapeMin, core::kShapeMax, shape_value)) {
    std::fprintf(stderr, "track: --rotate takes 0 to 100, --shape 75 to 125\n");
    return 2;
  }
  options.rotate = static_cast<int>(rotate_value);
  options.shape = static_cast<int>(shape_value);

  core::ProgramState state;
  ConsoleHost host(false);
  state.current_data_set = core::DataSetId::A;
  state.file(core::FileKind::LogData) = {"", "default.plr"};
  host.queue_file(args.rest()[0]);
  if (!core::load_log_data(state, host)) return 1;
  core::change_loaded_units(state, core::DataSetId::A, {});

  const core::DataSet& set = state.data_set(core::DataSetId::A);
  int position = -1;
  const int laps = core::usable_lap_count(set);
  for (int i = 0; i < laps && position < 0; ++i) {
    const core::LapEntry& entry = set.laps[static_cast<size_t>(i)];
    if (entry.session == session_number && entry.lap_number == lap_number) position = i;
  }
  if (position < 0) {
    host.message(core::MessageKind::Information, kNoLap, core::Buttons::Ok);
    return 1;
  }
  const core::LapSelection selection = core::select_lap(state, position, core::kMinSplitCount);
  const core::TrackCoordinates coordinates = core::processTrackData(state, selection, options);
  if (!coordinates.drawable()) {
    std::fprintf(stderr, "%s\n", coordinates.problem.c_str());
    return 1;
  }
  for (size_t k = 0; k < coordinates.x.size(); ++k) {
    std::printf("%.6f,%.6f\n", coordinates.x[k], coordinates.y[k]);
  }
  return 0;
}

ARDENVIS_CLI_COMMAND("track",
                     "track IN.plr --session S --lap L [--gps] [--rotate R] [--shape P] "
                     "[--sprint]   normalised track of one lap as x,y lines",
                     track);

}  // namespace
}  // namespace ardenvis::cli

// "lap-export": one lap of a log data file in the MoTeC CSV layout, the lap
// taken as "Selection 1:" would hold it.

#include <cstdio>

#include "cli/commands.h"
#include "cli/console_host.h"
#include "cli/load_log.h"
#include "common/number_text.h"
#include "state/program_state.h"
#include "viewer/lap_export.h"
#include "viewer/lap_selection.h"
#include "viewer/lap_times.h"

namespace ardenvis::cli {
namespace {

// The list position of the first lap of A (record order) with that session
// and lap number, or -1.
int lap_position(const core::DataSet& set, long long session, long long lap_number) {
  const int laps = core::usable_lap_count(set);
  for (int i = 0; i < laps; ++i) {
    const core::LapEntry& lap = set.laps[static_cast<size_t>(i)];
    if (lap.session == session && lap.lap_number == lap_number) return i;
  }
  return -1;
}

int lap_export(Arguments& args) {
  core::ProgramState state;
  state.unit_flags.speed_kmh = args.flag("--kmh");
  state.unit_flags.distance_feet = args.flag("--feet");
  state.speed_calibration = args.flag("--minus3");
  state.filter_when_loaded = !args.flag("--no-filter");
  const bool yes = args.flag("--yes");
  const auto session = args.option("--session");
  const auto lap = args.option("--lap");
  const auto session_number = session ? core::parse_integer(*session) : std::nullopt;
  const auto lap_number = lap ? core::parse_integer(*lap) : std::nullopt;
  if (!session_number || !lap_number || args.rest().size() != 2) {
    std::fprintf(stderr,
                 "lap-export: give the log data file, --session S, --lap L and the lap file\n");
    return 2;
  }
  ConsoleHost host(yes);
  state.file(core::FileKind::LapExport) = {"", "default.lab"};
  if (!load_log_file_into_a(state, host, args.rest()[0])) return 1;

  const int position =
      lap_position(state.data_set(core::DataSetId::A), *session_number, *lap_number);
  core::LapTimeOptions options;  // the splits the record copies: the viewer's default
  const core::LapSelection selection = core::select_lap(state, position, options.split_count);
  host.queue_file(args.rest()[1]);
  return core::save_lap_data(state, host, core::export_lap(selection)) ? 0 : 1;
}

ARDENVIS_CLI_COMMAND("lap-export",
                     "lap-export IN.plr --session S --lap L OUT.csv [--kmh] [--feet] [--minus3] "
                     "[--no-filter] [--yes]   one lap in the MoTeC CSV layout",
                     lap_export);

}  // namespace
}  // namespace ardenvis::cli

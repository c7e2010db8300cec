// "export-csv": a log data file to a spreadsheet export, as the program does it.

#include <cstdio>

#include "cli/commands.h"
#include "cli/console_host.h"
#include "cli/load_log.h"
#include "files/csv_export.h"
#include "state/program_state.h"

namespace ardenvis::cli {
namespace {

int export_csv(Arguments& args) {
  core::ProgramState state;
  state.unit_flags.speed_kmh = args.flag("--kmh");
  state.unit_flags.pressure_bar = args.flag("--bar");
  state.unit_flags.temperature_degf = args.flag("--degf");
  state.unit_flags.distance_feet = args.flag("--feet");
  state.speed_calibration = args.flag("--minus3");
  state.filter_when_loaded = !args.flag("--no-filter");
  const bool yes = args.flag("--yes");
  if (args.rest().size() != 2) {
    std::fprintf(stderr, "export-csv: give the log data file and the spreadsheet file\n");
    return 2;
  }
  ConsoleHost host(yes);
  state.file(core::FileKind::SpreadsheetExport) = {"", "default.csv"};
  if (!load_log_file_into_a(state, host, args.rest()[0])) return 1;

  host.queue_file(args.rest()[1]);
  return core::save_csv_data(state, host, {}) ? 0 : 1;
}

ARDENVIS_CLI_COMMAND("export-csv",
                     "export-csv IN.plr OUT.csv [--kmh] [--bar] [--degf] [--feet] [--minus3] "
                     "[--no-filter] [--yes]   log data file to spreadsheet export",
                     export_csv);

}  // namespace
}  // namespace ardenvis::cli

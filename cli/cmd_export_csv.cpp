// "export-csv": a log data file to a spreadsheet export, as the program does it.

#include <cstdio>

#include "cli/commands.h"
#include "cli/console_host.h"
#include "files/csv_export.h"
#include "files/log_file.h"
#include "logger/data_set_units.h"
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
  state.current_data_set = core::DataSetId::A;
  state.file(core::FileKind::LogData) = {"", "default.plr"};
  state.file(core::FileKind::SpreadsheetExport) = {"", "default.csv"};

  host.queue_file(args.rest()[0]);
  if (!core::load_log_data(state, host)) return 1;
  // As the viewer shows a freshly loaded file: in the chosen units.
  core::change_loaded_units(state, core::DataSetId::A, {});

  host.queue_file(args.rest()[1]);
  return core::save_csv_data(state, host, {}) ? 0 : 1;
}

ARDENVIS_CLI_COMMAND("export-csv",
                     "export-csv IN.plr OUT.csv [--kmh] [--bar] [--degf] [--feet] [--minus3] "
                     "[--no-filter] [--yes]   log data file to spreadsheet export",
                     export_csv);

}  // namespace
}  // namespace ardenvis::cli

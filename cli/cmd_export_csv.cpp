// "export-csv": a log data file to a spreadsheet export, as the program does it.

#include <cstdio>
#include <optional>
#include <string>

#include "cli/commands.h"
#include "cli/console_host.h"
#include "cli/load_log.h"
#include "cli/math_columns.h"
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
  const std::optional<std::string> math_file = args.option("--math");
  if (args.rest().size() != 2) {
    std::fprintf(stderr, "export-csv: give the log data file and the spreadsheet file\n");
    return 2;
  }
  ConsoleHost host(yes);
  state.file(core::FileKind::SpreadsheetExport) = {"", "default.csv"};
  if (!load_log_file_into_a(state, host, args.rest()[0])) return 1;

  core::CsvExportOptions options;
  if (math_file) {
    auto columns = math_columns(*math_file, state.current());
    if (!columns) return 1;
    options.extra_columns = std::move(*columns);
  }
  host.queue_file(args.rest()[1]);
  return core::save_csv_data(state, host, options) ? 0 : 1;
}

ARDENVIS_CLI_COMMAND(
    "export-csv",
    "export-csv IN.plr OUT.csv [--kmh] [--bar] [--degf] [--feet] [--minus3] "
    "[--no-filter] [--yes] [--math FILE]   log data file to spreadsheet export (--math: "
    "the channels of a math channel library as further columns)",
    export_csv);

}  // namespace
}  // namespace ardenvis::cli

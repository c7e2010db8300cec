// "laps": the "Lap Times" grid of a log data file, as the viewer builds it when
// the file is loaded: every lap ticked, record order, then the summary line.

#include <cstdio>
#include <string>

#include "cli/commands.h"
#include "cli/console_host.h"
#include "cli/load_log.h"
#include "common/number_text.h"
#include "state/program_state.h"
#include "viewer/lap_times.h"

namespace ardenvis::cli {
namespace {

// Cells 2..last joined by ",", empty cells at the end left off.
template <typename CellText>
void print_row(CellText cell) {
  std::string row;
  std::string pending;  // empty cells held back until a filled one follows
  for (int column = 2; column <= core::kLapGridColumns; ++column) {
    const std::string text = cell(column);
    if (column > 2) pending += ",";
    if (text.empty()) continue;
    row += pending + text;
    pending.clear();
  }
  std::printf("%s\n", row.c_str());
}

int laps(Arguments& args) {
  core::ProgramState state;
  state.unit_flags.speed_kmh = args.flag("--kmh");
  state.unit_flags.distance_feet = args.flag("--feet");
  core::LapTimeOptions options;
  if (args.flag("--segments")) options.columns = core::LapTimeColumns::Segment;
  if (const auto splits = args.option("--splits")) {
    const auto m = core::parse_integer(*splits);
    if (!m || *m < core::kMinSplitCount || *m > core::kMaxSplitCount) {
      std::fprintf(stderr, "laps: --splits takes %d to %d\n", core::kMinSplitCount,
                   core::kMaxSplitCount);
      return 2;
    }
    options.split_count = static_cast<int>(*m);
  }
  if (args.rest().size() != 1) {
    std::fprintf(stderr, "laps: give one log data file\n");
    return 2;
  }
  ConsoleHost host(false);
  if (!load_log_file_into_a(state, host, args.rest()[0])) return 1;
  if (core::usable_lap_count(state.data_set(core::DataSetId::A)) == 0) {
    std::fprintf(stderr, "laps: %s holds no laps\n", args.rest()[0].c_str());
    return 1;
  }

  core::LapTimesPanel panel(core::DataSetId::A);
  panel.build(state, host, options, core::LapBuildSender::Other);
  print_row([&](int column) { return panel.header(state, column); });
  for (int row = 1; row <= panel.row_count(); ++row) {
    print_row([&](int column) { return panel.cell(state, row, column); });
  }
  const core::LapSummary& s = panel.summary();
  std::printf("Best: Sess,%s,Lap,%s,Time,%s,at,%s,%s,Theory,%s,s,Avg Dist,%s,%s\n",
              s.session.c_str(), s.lap.c_str(), s.time.c_str(), s.average_speed.c_str(),
              s.speed_unit.c_str(), s.theory.c_str(), s.average_distance.c_str(),
              s.distance_unit.c_str());
  return std::fflush(stdout) == 0 ? 0 : 1;
}

ARDENVIS_CLI_COMMAND("laps",
                     "laps IN.plr [--splits M] [--segments] [--kmh] [--feet]   the lap times "
                     "grid with distance splits (M = 2..32) or M + 1 segments",
                     laps);

}  // namespace
}  // namespace ardenvis::cli

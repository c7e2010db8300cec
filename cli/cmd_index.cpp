// "index": read the unit's log index and print the session table as the
// "Download Data Menu" shows it, then the memory figures.

#include <cstdio>
#include <string>

#include "cli/commands.h"
#include "cli/console_host.h"
#include "cli/port_option.h"
#include "link/SerialPort.h"
#include "link/unit_session.h"
#include "logger/log_index.h"
#include "state/program_state.h"

namespace ardenvis::cli {
namespace {

std::string trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  return first == std::string::npos ? std::string() : text.substr(first);
}

void print_rows(const core::IndexScreen& screen) {
  for (const core::SessionRow& row : screen.rows) {
    std::printf("%7s  %14s  %13s  %5s  %7s\n", row.number.c_str(), row.duration.c_str(),
                row.size.c_str(), trimmed(row.date).c_str(), trimmed(row.time).c_str());
  }
}

int index(Arguments& args) {
  auto number = port_number_or_complain(args.option("--port"), "index");
  if (!number) return 2;
  ConsoleHost host(args.flag("--yes"));
  serial::TSerialPort port;
  core::ProgramState state;
  state.link.port = &port;
  state.link.serial_port_number = static_cast<uint8_t>(*number);
  if (!core::view_session_data(state, host)) return 1;

  core::LogIndex& log = state.log_index;
  std::printf("%7s  %14s  %13s  %5s  %7s\n", "Session", "Duration (min)", "Size (kBytes)", "Date",
              "Time");
  print_rows(log.screen);
  if (log.is_flash()) {
    // Both pages, as "Next Logs" would show them, without reading again.
    log.page = 9;
    core::refreshDataScreen(log);
    print_rows(log.screen);
    log.page = 1;
    core::refreshDataScreen(log);
  }
  std::printf("Total %s Mbit, Used %s Mbit, Free %s %%\n", log.screen.total.c_str(),
              log.screen.used.c_str(), log.screen.free.c_str());
  if (log.screen.memory_full) std::printf("Memory Full\n");
  core::close_serial_port(state.link);
  return 0;
}

ARDENVIS_CLI_COMMAND("index", "index --port COMn|DEVICE   list the sessions in the unit's memory",
                     index);

}  // namespace
}  // namespace ardenvis::cli

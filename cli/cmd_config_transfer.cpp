// "config-read" and "config-write": the unit's configuration from and to a
// configuration file, through the same transfer the "Configuration" window uses.

#include <cstdio>
#include <string>

#include "cli/commands.h"
#include "cli/console_host.h"
#include "cli/port_option.h"
#include "config/config_file.h"
#include "config/config_image.h"
#include "config/config_transfer.h"
#include "link/SerialPort.h"
#include "link/unit_session.h"
#include "state/program_state.h"

namespace ardenvis::cli {
namespace {

struct UnitConfigSession {
  explicit UnitConfigSession(int port_number) {
    state.link.port = &port;
    state.link.serial_port_number = static_cast<uint8_t>(port_number);
    core::setup_configure_form(editor);
  }
  ~UnitConfigSession() { core::close_serial_port(state.link); }
  serial::TSerialPort port;
  core::ProgramState state;
  core::ConfigEditor editor{state.config, state.calculator};
  core::FileLocation location{"", "default.pcf"};
};

int config_read(Arguments& args) {
  const auto number = port_number_or_complain(args.option("--port"), "config-read");
  if (!number) return 2;
  const auto out = args.option("--out");
  const bool yes = args.flag("--yes");
  if (!out || !args.rest().empty()) {
    std::fprintf(stderr, "config-read: give --port and --out\n");
    return 2;
  }
  ConsoleHost host(yes);
  UnitConfigSession session(*number);
  const auto read = core::get_config_data(session.editor, session.state.link, host);
  if (read != core::TransferResult::Ok && read != core::TransferResult::RangeWarning) return 1;
  // What the window's "Version" page shows after a read: the CAN modules found
  // and the CAN statistics, one memo line each on stdout.
  for (const std::string& line : session.editor.version_page().modules) {
    std::printf("%s\n", line.c_str());
  }
  std::fflush(stdout);  // before the save's messages on stderr
  host.queue_file(*out);
  return core::save_config_data(session.editor, host, session.location) ? 0 : 1;
}

int config_write(Arguments& args) {
  const auto number = port_number_or_complain(args.option("--port"), "config-write");
  if (!number) return 2;
  const auto in = args.option("--in");
  const auto password = args.option("--odometer-password");
  if (!in || !args.rest().empty()) {
    std::fprintf(stderr, "config-write: give --port and --in\n");
    return 2;
  }
  ConsoleHost host(false);
  UnitConfigSession session(*number);
  host.queue_file(*in);
  if (!core::load_config_data(session.editor, host, session.location)) return 1;
  if (password) {
    // As ticking "Factory Set" and typing the password does.
    session.editor.set_factory_set(true);
    session.editor.open_password_window();
    core::odometer_password_entered(session.editor, host, *password);
    session.editor.close_password_window();
    // The odometer was asked for: without it nothing is written.
    if (!session.state.config.odometer_overwrite) return 1;
  }
  const auto written = core::set_config_data(session.editor, session.state.link, host);
  return written == core::TransferResult::Ok ? 0 : 1;
}

ARDENVIS_CLI_COMMAND("config-read",
                     "config-read --port COMn|DEVICE --out OUT.pcf [--yes]   read the unit's "
                     "configuration into a file",
                     config_read);
ARDENVIS_CLI_COMMAND("config-write",
                     "config-write --port COMn|DEVICE --in IN.pcf [--odometer-password PW]   write "
                     "a configuration file to the unit",
                     config_write);

}  // namespace
}  // namespace ardenvis::cli

// "handshake": wake the unit, read its status and firmware version.

#include <cstdio>

#include "cli/commands.h"
#include "cli/console_host.h"
#include "cli/port_option.h"
#include "link/SerialPort.h"
#include "link/unit_session.h"
#include "state/program_state.h"

namespace ardenvis::cli {
namespace {

int handshake(Arguments& args) {
  auto number = port_number_or_complain(args.option("--port"), "handshake");
  if (!number) return 2;
  ConsoleHost host(args.flag("--yes"));
  serial::TSerialPort port;
  core::ProgramState state;
  state.link.port = &port;
  state.link.serial_port_number = static_cast<uint8_t>(*number);
  if (core::change_serial_port(state.link, host, *number) == 0) return 1;
  auto result = core::run_handshake(state.link, host, core::Operation::DownloadLogSession);
  if (result != core::HandshakeResult::Ok) return 1;
  std::printf("firmware %d.%02d (%d)\n", state.link.unit.version_major,
              state.link.unit.version_minor, state.link.unit.version_number);
  core::close_serial_port(state.link);
  return 0;
}

ARDENVIS_CLI_COMMAND("handshake", "handshake --port COMn|DEVICE   wake the unit, show its firmware",
                     handshake);

}  // namespace
}  // namespace ardenvis::cli

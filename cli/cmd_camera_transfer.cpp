// "camera-upload" and "camera-check": load a camera database file, then write
// it to the unit ("Write to Dash") or compare the unit's copy with it ("Dash
// Memory Check").

#include <cstdio>
#include <string>

#include "cli/camera_memo.h"
#include "cli/commands.h"
#include "cli/console_host.h"
#include "cli/port_option.h"
#include "config/camera_database.h"
#include "link/SerialPort.h"
#include "link/unit_session.h"
#include "state/program_state.h"

namespace ardenvis::cli {
namespace {

constexpr const char* kUploadUsage =
    "camera-upload --port COMn|DEVICE --in IN.cam   write a camera database to the unit "
    "(erases its logged sessions)";
constexpr const char* kCheckUsage =
    "camera-check --port COMn|DEVICE --in IN.cam    compare the unit's camera database with a file";

enum class Transfer { Upload, Check };

int camera_transfer(Arguments& args, Transfer transfer, const char* name, const char* usage) {
  auto port_value = args.option("--port");
  auto in = args.option("--in");
  if (!port_value || !in || !args.rest().empty()) {
    std::fprintf(stderr, "usage: ardenvis-cli %s\n", usage);
    return 2;
  }
  auto number = port_number_or_complain(port_value, name);
  if (!number) return 2;
  ConsoleHost host(false);
  ConsoleMemo memo;
  core::ProgramState state;
  host.queue_file(*in);
  if (core::LoadDataFromFile(state, host, memo).outcome != core::CameraLoadOutcome::Loaded) {
    return 1;
  }
  serial::TSerialPort port;
  state.link.port = &port;
  state.link.serial_port_number = static_cast<uint8_t>(*number);
  if (core::change_serial_port(state.link, host, *number) == 0) return 1;
  const auto result = transfer == Transfer::Upload ? core::writeFlashData(state, host, memo)
                                                   : core::readFlashData(state, host, memo);
  core::close_serial_port(state.link);
  std::fprintf(stderr, "%s: %ld of %ld bytes, %ld blocks, %ld failed\n", name, result.position,
               result.total, result.blocks, result.failures);
  return result.outcome == core::CameraTransferOutcome::Succeeded ? 0 : 1;
}

int camera_upload(Arguments& args) {
  return camera_transfer(args, Transfer::Upload, "camera-upload", kUploadUsage);
}
int camera_check(Arguments& args) {
  return camera_transfer(args, Transfer::Check, "camera-check", kCheckUsage);
}

ARDENVIS_CLI_COMMAND("camera-upload", kUploadUsage, camera_upload);
ARDENVIS_CLI_COMMAND("camera-check", kCheckUsage, camera_check);

}  // namespace
}  // namespace ardenvis::cli

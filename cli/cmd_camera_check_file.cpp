// "camera-check-file": load a camera database file as "Load from Disk" does,
// and show what the camera page would show.

#include <cstdio>

#include "cli/camera_memo.h"
#include "cli/commands.h"
#include "cli/console_host.h"
#include "config/camera_database.h"
#include "state/program_state.h"

namespace ardenvis::cli {
namespace {

constexpr const char* kUsage = "camera-check-file IN.cam   load a camera database and show it";

int camera_check_file(Arguments& args) {
  if (args.rest().size() != 1) {
    std::fprintf(stderr, "usage: ardenvis-cli %s\n", kUsage);
    return 2;
  }
  ConsoleHost host(false);
  ConsoleMemo memo;
  core::ProgramState state;
  host.queue_file(args.rest()[0]);
  const auto result = core::LoadDataFromFile(state, host, memo);
  const core::CameraDisplay shown = core::camera_display(state.camera);
  std::printf("File: %s\n", shown.file.c_str());
  std::printf("Camera Locations: %s\n", shown.camera_locations.c_str());
  std::printf("PocketGPS File Version: %s\n", shown.source_version.c_str());
  std::printf("Orvik Format Version: %s\n", shown.format_version.c_str());
  return result.outcome == core::CameraLoadOutcome::Loaded ? 0 : 1;
}

ARDENVIS_CLI_COMMAND("camera-check-file", kUsage, camera_check_file);

}  // namespace
}  // namespace ardenvis::cli

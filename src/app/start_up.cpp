#include "app/start_up.h"

#include "common/format.h"
#include "files/log_file.h"
#include "link/unit_session.h"

namespace ardenvis::core {

namespace {
constexpr int kVersionMajor = 4;
constexpr int kVersionMinor = 24;
constexpr int kBuildNumber = 16;

constexpr std::array<const char*, kFileKindCount> kDefaultNames{
    "default.plr", "default.csv", "default.pcf", "default.psu", "default.bmp", "default.cfg",
    "default.lab", "default.lab", "default.avi", "figure.png",  "report.pdf"};
}  // namespace

void initialise_program_state(ProgramState& state, SerialDevice& port,
                              const std::string& first_folder, uint8_t first_port) {
  state.link.port = &port;
  state.link.serial_port_open = false;
  state.link.serial_port_number = first_port <= 9 ? first_port : 1;
  check_serial_port(state.link);

  std::string folder = first_folder;
  if (!folder.empty() && folder.back() != '/' && folder.back() != '\\') folder += '/';
  for (int i = 0; i < kFileKindCount; ++i) {
    state.files[static_cast<size_t>(i)] =
        FileLocation{folder, kDefaultNames[static_cast<size_t>(i)]};
  }

  state.current_data_set = DataSetId::A;
  state.unit_flags.distance_feet = false;
  state.label_counter = 1;
  state.track_map_lap = 0;
  state.calculator = CalculatorParameters{};
  // After a decoding fault the user may keep the raw bytes as a log data file.
  state.save_log_data = [](ProgramState& s, Host& host) { save_log_data(s, host); };
}

std::string main_window_caption() {
  return format("Pelorant Tools %d.%.2d Lite Edition ", kVersionMajor, kVersionMinor);
}

std::string about_version_text() {
  return format("Pelorant Tools Version %d.%.2d.%d Lite Edition", kVersionMajor, kVersionMinor,
                kBuildNumber);
}

}  // namespace ardenvis::core

#include "cli/load_log.h"

#include "files/log_file.h"
#include "logger/data_set_units.h"

namespace ardenvis::cli {

bool load_log_file_into_a(core::ProgramState& state, ConsoleHost& host, const std::string& path) {
  state.current_data_set = core::DataSetId::A;
  state.file(core::FileKind::LogData) = {"", "default.plr"};
  host.queue_file(path);
  if (!core::load_log_data(state, host)) return false;
  core::change_loaded_units(state, core::DataSetId::A, {});
  return true;
}

}  // namespace ardenvis::cli

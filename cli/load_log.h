#pragma once
// Loading a log data file from the command line as the program does it.

#include <string>

#include "cli/console_host.h"
#include "state/program_state.h"

namespace ardenvis::cli {

// Loads `path` into data set A and decodes it (the load-time filter as the
// state says), then brings it to the units in force as the viewer shows a
// freshly loaded file. False when nothing was loaded; the reason is on stderr.
bool load_log_file_into_a(core::ProgramState& state, ConsoleHost& host, const std::string& path);

}  // namespace ardenvis::cli

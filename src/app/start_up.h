#pragma once
// Start-up steps that need no window, and the program's version texts.

#include <string>

#include "link/byte_link.h"
#include "state/program_state.h"

namespace ardenvis::core {

// Steps of start-up that do not need a window: remembered file names (in the
// program's folder), current data set, viewer and calculator start values, and
// the silent try of COM1 on the given device.
void initialise_program_state(ProgramState& state, SerialDevice& port,
                              const std::string& program_folder);

// "Pelorant Tools 4.24 Lite Edition " (one trailing space).
std::string main_window_caption();
// "Pelorant Tools Version 4.24.16 Lite Edition".
std::string about_version_text();

}  // namespace ardenvis::core

#pragma once
// Start-up steps that need no window, and the program's version texts.

#include <string>

#include "link/byte_link.h"
#include "state/program_state.h"

namespace ardenvis::core {

// Steps of start-up that do not need a window: file names (default names in
// `first_folder`, where the file dialogs open before the user picks another),
// current data set, viewer and calculator start values, and the silent try of
// `first_port` (COM1 unless another was remembered) on the given device.
void initialise_program_state(ProgramState& state, SerialDevice& port,
                              const std::string& first_folder, uint8_t first_port = 1);

// "Pelorant Tools 4.24 Lite Edition " (one trailing space).
std::string main_window_caption();
// "Pelorant Tools Version 4.24.16 Lite Edition".
std::string about_version_text();

}  // namespace ardenvis::core

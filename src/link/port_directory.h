#pragma once
// Where COM numbers are pinned to devices on Unix-like systems: a folder of
// links named COM1..COM9 ($XDG_RUNTIME_DIR/ardenvis/ports, or
// /tmp/ardenvis-$USER/ports without it).

#include <string>

namespace ardenvis::core {

std::string port_directory();
std::string pinned_port_path(int port_number);  // port_directory() + "/COMn"

}  // namespace ardenvis::core

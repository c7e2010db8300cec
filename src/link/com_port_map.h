#pragma once
// Which device a COM number means on this machine.

#include <optional>
#include <string>

namespace ardenvis::serial {

// On Windows "COMn" is the device. Elsewhere a link named COMn in the port
// directory wins (so a unit's adapter or the simulated unit can be pinned to a
// number); without one, COMn is the n-th serial port the system lists, USB
// adapters first. Empty when there is no such port.
std::optional<std::string> resolve_com_port(int port_number);

}  // namespace ardenvis::serial

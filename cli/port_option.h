#pragma once
// "--port": COM1..COM9, or a device path pinned for this run.

#include <optional>
#include <string>

namespace ardenvis::cli {

// Returns the COM number to open. A device path is pinned to a free COM
// number (COM9 downwards) in a private port directory for this process.
std::optional<int> resolve_port_option(const std::string& value);

// The COM number of a command's "--port" value; on a missing value or an
// unknown port it says so on stderr (naming the command) and returns nothing.
std::optional<int> port_number_or_complain(const std::optional<std::string>& value,
                                           const char* command);

}  // namespace ardenvis::cli

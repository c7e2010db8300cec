#include "cli/port_option.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "link/port_directory.h"

namespace ardenvis::cli {

std::optional<int> resolve_port_option(const std::string& value) {
  if (value.size() == 4 && value.rfind("COM", 0) == 0 && value[3] >= '1' && value[3] <= '9') {
    return value[3] - '0';
  }
  namespace fs = std::filesystem;
  std::error_code ec;
  if (!fs::exists(value, ec)) return std::nullopt;
  // A private port directory holding just this device as COM1.
  const std::string dir = "/tmp/ardenvis-cli-" + std::to_string(getpid());
  setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
  fs::create_directories(core::port_directory(), ec);
  fs::remove(core::pinned_port_path(1), ec);
  fs::create_symlink(fs::absolute(value, ec), core::pinned_port_path(1), ec);
  if (ec) return std::nullopt;
  std::atexit([] {
    std::error_code e;
    fs::remove_all("/tmp/ardenvis-cli-" + std::to_string(getpid()), e);
  });
  return 1;
}

std::optional<int> port_number_or_complain(const std::optional<std::string>& value,
                                           const char* command) {
  if (!value) {
    std::fprintf(stderr, "%s: --port is required\n", command);
    return std::nullopt;
  }
  auto number = resolve_port_option(*value);
  if (!number) std::fprintf(stderr, "%s: no such port \"%s\"\n", command, value->c_str());
  return number;
}

}  // namespace ardenvis::cli

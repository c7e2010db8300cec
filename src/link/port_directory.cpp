#include "link/port_directory.h"

#include <cstdlib>

namespace ardenvis::core {

std::string port_directory() {
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime) {
    return std::string(runtime) + "/ardenvis/ports";
  }
  const char* user = std::getenv("USER");
  return std::string("/tmp/ardenvis-") + (user && *user ? user : "user") + "/ports";
}

std::string pinned_port_path(int port_number) {
  return port_directory() + "/COM" + std::to_string(port_number);
}

}  // namespace ardenvis::core

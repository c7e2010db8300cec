#pragma once
// Starts pelorant-sim as a child process on a pseudo-terminal, published as a
// COM number in a private port directory, and stops it again.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "link/port_directory.h"

namespace ardenvis::testing {

// Points the port directory at a fresh folder for this test process.
inline std::string use_private_port_directory() {
  char pattern[] = "/tmp/ardenvis-e2e-XXXXXX";
  const char* dir = mkdtemp(pattern);
  setenv("XDG_RUNTIME_DIR", dir, 1);
  return dir;
}

#ifdef PELORANT_SIM_PATH
inline constexpr const char* kPelorantSimPath = PELORANT_SIM_PATH;
#else
inline constexpr const char* kPelorantSimPath = "pelorant-sim";  // tests outside e2e pass the path
#endif

class SimProcess {
 public:
  SimProcess(int port, std::vector<std::string> options = {},
             std::string program = kPelorantSimPath)
      : port_(port) {
    std::vector<std::string> args = {program, "--port", std::to_string(port)};
    args.insert(args.end(), options.begin(), options.end());
    pid_ = fork();
    if (pid_ == 0) {
      std::vector<char*> argv;
      for (auto& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      execv(argv[0], argv.data());
      _exit(127);
    }
    // Ready once its link exists.
    const auto link = core::pinned_port_path(port);
    for (int i = 0; i < 500 && !std::filesystem::exists(link); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
  ~SimProcess() { stop(); }

  bool running() const { return pid_ > 0; }
  // SIGTERM and wait; returns the exit status.
  int stop() {
    if (pid_ <= 0) return -1;
    kill(pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

 private:
  int port_;
  pid_t pid_ = -1;
};

}  // namespace ardenvis::testing

#pragma once
// Runs a shell command (the CLI, the simulated unit) and returns what it
// printed on standard output and standard error together.

#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace ardenvis::testing {

// `status` is the exit status, -1 when the command did not exit normally.
inline std::string run_command(const std::string& command, int& status) {
  std::string output;
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  char buffer[512];
  while (pipe && fgets(buffer, sizeof buffer, pipe)) output += buffer;
  const int raw = pipe ? pclose(pipe) : -1;
  status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return output;
}

}  // namespace ardenvis::testing

// "math-check": checks a math channel library without any data: every line is
// read and every formula compiled, and each problem is listed.

#include <cstdio>

#include "cli/commands.h"
#include "math/channel_library.h"
#include "math/math_channels.h"

namespace ardenvis::cli {
namespace {

int math_check(Arguments& args) {
  if (args.rest().size() != 1) {
    std::fprintf(stderr, "math-check: give the channel library file\n");
    return 2;
  }
  const std::string& path = args.rest()[0];
  const auto library = core::load_channel_library(path);
  if (!library) {
    std::fprintf(stderr, "math-check: cannot read %s\n", path.c_str());
    return 1;
  }
  const core::MathChannels channels(library->channels);
  std::vector<std::string> problems = library->problems;
  for (std::string& problem : channels.problems()) problems.push_back(std::move(problem));
  for (const std::string& problem : problems) std::printf("%s\n", problem.c_str());
  std::printf("%zu channels ready, %zu problems\n", channels.size() - channels.problems().size(),
              problems.size());
  return problems.empty() ? 0 : 1;
}

ARDENVIS_CLI_COMMAND("math-check",
                     "math-check FILE   check a math channel library (one \"Name [unit] = "
                     "formula\" a line)",
                     math_check);

}  // namespace
}  // namespace ardenvis::cli

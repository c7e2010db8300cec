// ardenvis-cli: the program's core driven from a terminal, for batch
// conversion, scripted unit access and end-to-end tests.

#include <QCoreApplication>
#include <clocale>
#include <cstdio>
#include <memory>

#include "cli/commands.h"

namespace ardenvis::cli {

std::map<std::string, Command>& command_table() {
  static std::map<std::string, Command> table;
  return table;
}

std::optional<std::string> Arguments::option(const std::string& name) {
  for (size_t i = 0; i + 1 < args_.size(); ++i) {
    if (args_[i] == name) {
      std::string value = args_[i + 1];
      args_.erase(args_.begin() + static_cast<long>(i), args_.begin() + static_cast<long>(i) + 2);
      return value;
    }
  }
  return std::nullopt;
}

bool Arguments::flag(const std::string& name) {
  for (size_t i = 0; i < args_.size(); ++i) {
    if (args_[i] == name) {
      args_.erase(args_.begin() + static_cast<long>(i));
      return true;
    }
  }
  return false;
}

namespace {
void usage() {
  std::fprintf(stderr, "usage: ardenvis-cli COMMAND [OPTIONS]\n\ncommands:\n");
  for (const auto& [name, command] : command_table()) {
    std::fprintf(stderr, "  %s\n", command.usage.c_str());
  }
}
}  // namespace

}  // namespace ardenvis::cli

int main(int argc, char** argv) {
  using namespace ardenvis::cli;
  if (argc < 2 || std::string(argv[1]) == "help" || std::string(argv[1]) == "--help") {
    usage();
    return argc < 2 ? 2 : 0;
  }
  auto it = command_table().find(argv[1]);
  if (it == command_table().end()) {
    std::fprintf(stderr, "ardenvis-cli: unknown command \"%s\"\n", argv[1]);
    usage();
    return 2;
  }
  // Taken before the application object sees them: a QApplication removes
  // the options it knows itself ("--session" among them).
  Arguments args(std::vector<std::string>(argv + 2, argv + argc));
  // The serial layer needs an application object for its notifiers; a
  // command that paints brings its own.
  const std::unique_ptr<QCoreApplication> app =
      it->second.application ? it->second.application(argc, argv)
                             : std::make_unique<QCoreApplication>(argc, argv);
  std::setlocale(LC_NUMERIC, "C");
  return it->second.run(args);
}

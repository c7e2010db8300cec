#pragma once
// ardenvis-cli's commands. Each command lives in its own file and registers
// itself with ARDENVIS_CLI_COMMAND, so adding one touches nothing else.

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QCoreApplication;

namespace ardenvis::cli {

// The arguments after the command name, with helpers for "--name value" and
// "--flag" options.
class Arguments {
 public:
  explicit Arguments(std::vector<std::string> args) : args_(std::move(args)) {}
  // Removes and returns the value of --name, if given.
  std::optional<std::string> option(const std::string& name);
  // Removes --name and tells whether it was given.
  bool flag(const std::string& name);
  // The arguments left once the options are taken (positional ones).
  const std::vector<std::string>& rest() const { return args_; }

 private:
  std::vector<std::string> args_;
};

struct Command {
  std::string usage;                   // one line, shown by "ardenvis-cli help"
  std::function<int(Arguments&)> run;  // returns the exit status
  // The application object the command needs; a plain QCoreApplication
  // unless given (commands that paint need a QApplication).
  std::function<std::unique_ptr<QCoreApplication>(int& argc, char** argv)> application;
};

std::map<std::string, Command>& command_table();

struct CommandRegistration {
  CommandRegistration(const std::string& name, Command command) {
    command_table()[name] = std::move(command);
  }
};

}  // namespace ardenvis::cli

#define ARDENVIS_CLI_CONCAT2(a, b) a##b
#define ARDENVIS_CLI_CONCAT(a, b) ARDENVIS_CLI_CONCAT2(a, b)
#define ARDENVIS_CLI_COMMAND(name, usage, function)                                         \
  static ::ardenvis::cli::CommandRegistration ARDENVIS_CLI_CONCAT(registration_, __LINE__)( \
      name, ::ardenvis::cli::Command{usage, function, {}})
#define ARDENVIS_CLI_GUI_COMMAND(name, usage, function, application)                        \
  static ::ardenvis::cli::CommandRegistration ARDENVIS_CLI_CONCAT(registration_, __LINE__)( \
      name, ::ardenvis::cli::Command{usage, function, application})

// "config-default" and "config-convert": configuration files from a terminal,
// saved exactly as the "Configuration" window's "Save Config" saves them.

#include <cstdio>

#include "cli/commands.h"
#include "cli/console_host.h"
#include "config/config_file.h"
#include "config/config_image.h"
#include "state/program_state.h"

namespace ardenvis::cli {
namespace {

// A program state and editor as the window has them on its first activation.
struct ConfigSession {
  ConfigSession() { core::setup_configure_form(editor); }
  core::ProgramState state;
  core::ConfigEditor editor{state.config, state.calculator};
  core::FileLocation location{"", "default.pcf"};
};

int config_default(Arguments& args) {
  const bool yes = args.flag("--yes");
  if (args.rest().size() != 1) {
    std::fprintf(stderr, "config-default: give the configuration file to write\n");
    return 2;
  }
  ConsoleHost host(yes);
  ConfigSession session;
  host.queue_file(args.rest()[0]);
  return core::save_config_data(session.editor, host, session.location) ? 0 : 1;
}

int config_convert(Arguments& args) {
  const bool yes = args.flag("--yes");
  if (args.rest().size() != 2) {
    std::fprintf(stderr,
                 "config-convert: give the configuration file to read and the one to write\n");
    return 2;
  }
  ConsoleHost host(yes);
  ConfigSession session;
  host.queue_file(args.rest()[0]);
  if (!core::load_config_data(session.editor, host, session.location)) return 1;
  host.queue_file(args.rest()[1]);
  return core::save_config_data(session.editor, host, session.location) ? 0 : 1;
}

ARDENVIS_CLI_COMMAND("config-default",
                     "config-default OUT.pcf [--yes]   the editor's default configuration",
                     config_default);
ARDENVIS_CLI_COMMAND("config-convert",
                     "config-convert IN.pcf OUT.pcf [--yes]   load a configuration file (any "
                     "layout) and save it in the current layout",
                     config_convert);

}  // namespace
}  // namespace ardenvis::cli

// Any text as a log data file: loading ends in one of its messages, never a
// crash, a hang or a write outside the raw byte store; saving what was loaded
// works too.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "files/log_file.h"
#include "state/program_state.h"
#include "support/scripted_host.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ardenvis;
  core::ProgramState state;
  testing::ScriptedHost host;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  core::read_log_file(state, host, text, core::ChosenFile{"fuzz.plr", "", "fuzz.plr"});
  // The lines a save would write, without the file.
  core::AtomicTextWriter nowhere;
  const core::DataSet& set = state.current();
  core::write_log_file(nowhere, set, set.unit.value_or(state.identity), state.unit_flags,
                       "again.plr", host);
  return 0;
}

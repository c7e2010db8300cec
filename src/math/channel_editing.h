#pragma once
// The rules of the "Math Channels" window: what may be added to or changed
// in the library, and what "Check" reports about a channel.

#include <optional>
#include <string>
#include <vector>

#include "math/channel_library.h"
#include "state/program_state.h"

namespace ardenvis::core {

// What stops `candidate` from joining `channels` (in place of channel
// `replacing`, when given): its name, its unit, its formula, or a name another
// channel has. nullopt when it may.
std::optional<std::string> channel_problem(const std::vector<MathChannelDefinition>& channels,
                                           const MathChannelDefinition& candidate,
                                           std::optional<size_t> replacing = std::nullopt);

// "Check": the formula's error, or "The formula is OK." followed by a line
// per loaded data set: "Data A: a value at 3 of 4 samples" or "Data B: no
// values: the log does not carry GPS_Speed".
struct ChannelCheck {
  bool formula_ok = false;
  std::string report;
};
ChannelCheck channel_check_report(const MathChannelDefinition& candidate,
                                  const ProgramState& state);

}  // namespace ardenvis::core

#include "math/channel_editing.h"

#include <cmath>

#include "common/format.h"
#include "math/math_channels.h"

namespace ardenvis::core {

std::optional<std::string> channel_problem(const std::vector<MathChannelDefinition>& channels,
                                           const MathChannelDefinition& candidate,
                                           std::optional<size_t> replacing) {
  if (auto problem = check_channel_name(candidate.name)) return problem;
  if (auto problem = check_channel_unit(candidate.unit)) return problem;
  for (size_t i = 0; i < channels.size(); ++i) {
    if (replacing && *replacing == i) continue;
    if (channels[i].name == candidate.name) {
      return format("a channel named \"%s\" is in the list already", candidate.name.c_str());
    }
  }
  if (candidate.formula.find_first_of("#\r\n") != std::string::npos) {
    return "the formula may not hold \"#\" or a line break";
  }
  FormulaError error;
  if (!Formula::compile(candidate.formula, error)) return error.message();
  return std::nullopt;
}

ChannelCheck channel_check_report(const MathChannelDefinition& candidate,
                                  const ProgramState& state) {
  MathChannelDefinition checked = candidate;
  checked.line = 0;
  const MathChannels channels({checked});
  if (channels.error(0)) return {false, channels.error(0)->message()};
  std::string report = "The formula is OK.";
  for (size_t k = 0; k < state.data_sets.size(); ++k) {
    const DataSet& set = state.data_sets[k];
    if (!set.has_data()) continue;
    const MathSeries series = channels.evaluate(0, set);
    const char* slot = k == 0 ? "Data A" : "Data B";
    if (!series.note.empty()) {
      report += format("\n%s: no values: %s", slot, series.note.c_str());
      continue;
    }
    size_t with_value = 0;
    for (double v : series.values) with_value += std::isnan(v) ? 0 : 1;
    report += format("\n%s: a value at %zu of %zu samples", slot, with_value, series.values.size());
  }
  return {true, report};
}

}  // namespace ardenvis::core

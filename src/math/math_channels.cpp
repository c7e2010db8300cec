#include "math/math_channels.h"

#include <limits>

#include "common/format.h"
#include "math/channel_identifiers.h"

namespace ardenvis::core {

MathChannels::MathChannels(std::vector<MathChannelDefinition> definitions) {
  channels_.reserve(definitions.size());
  for (MathChannelDefinition& definition : definitions) {
    Compiled compiled;
    FormulaError error;
    compiled.formula = Formula::compile(definition.formula, error);
    if (!compiled.formula) compiled.error = std::move(error);
    compiled.definition = std::move(definition);
    channels_.push_back(std::move(compiled));
  }
}

std::vector<std::string> MathChannels::problems() const {
  std::vector<std::string> problems;
  for (const Compiled& c : channels_) {
    if (!c.error) continue;
    const std::string where =
        c.definition.line > 0 ? format("Line %d (%s)", c.definition.line, c.definition.name.c_str())
                              : c.definition.name;
    problems.push_back(where + ": " + c.error->message());
  }
  return problems;
}

MathSeries MathChannels::evaluate(size_t i, const DataSet& set) const {
  const Compiled& c = channels_[i];
  const size_t n = set.sample_count();
  MathSeries series;
  auto gap = [&](std::string note) {
    series.values.assign(n, std::numeric_limits<double>::quiet_NaN());
    series.note = std::move(note);
    return std::move(series);
  };
  if (!c.formula) return gap(c.error->message());
  std::string missing;
  for (Channel channel : c.formula->channels()) {
    if (log_carries(set, channel)) continue;
    for (const ChannelIdentifier& id : channel_identifiers()) {
      if (id.channel == channel) missing += (missing.empty() ? "" : ", ") + std::string(id.name);
    }
  }
  if (!missing.empty()) return gap("the log does not carry " + missing);
  series.values = c.formula->evaluate(set);
  return series;
}

std::string MathChannels::header(const MathChannelDefinition& definition) {
  return definition.unit.empty() ? definition.name : definition.name + " (" + definition.unit + ")";
}

}  // namespace ardenvis::core

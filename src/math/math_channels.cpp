#include "math/math_channels.h"

#include <algorithm>
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

std::vector<MathChannelDefinition> MathChannels::definitions() const {
  std::vector<MathChannelDefinition> definitions;
  for (const Compiled& c : channels_) definitions.push_back(c.definition);
  return definitions;
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

std::string MathChannels::gap_note(size_t i, const DataSet& set) const {
  const Compiled& c = channels_[i];
  if (!c.formula) return c.error->message();
  std::string missing;
  for (Channel channel : c.formula->channels()) {
    if (log_carries(set, channel)) continue;
    for (const ChannelIdentifier& id : channel_identifiers()) {
      if (id.channel == channel) missing += (missing.empty() ? "" : ", ") + std::string(id.name);
    }
  }
  return missing.empty() ? std::string() : "the log does not carry " + missing;
}

MathSeries MathChannels::evaluate(size_t i, const DataSet& set) const {
  MathSeries series;
  series.note = gap_note(i, set);
  if (!series.note.empty()) {
    series.values.assign(set.sample_count(), std::numeric_limits<double>::quiet_NaN());
    return series;
  }
  series.values = channels_[i].formula->evaluate(set);
  return series;
}

void MathChannels::update(DataSet& set) const {
  set.math.resize(channels_.size());
  const long n = static_cast<long>(set.sample_count());
  for (size_t i = 0; i < channels_.size(); ++i) {
    MathChannelValues& m = set.math[i];
    m.note = gap_note(i, set);
    if (n < 1) {
      m.values.clear();
      continue;
    }
    m.values.assign_zeros(n);
    double* out = m.values.storage_for_writing_from(1);
    if (m.note.empty()) {
      channels_[i].formula->evaluate(set, {out, static_cast<size_t>(n)});
    } else {
      std::fill(out, out + n, std::numeric_limits<double>::quiet_NaN());
    }
  }
}

std::string MathChannels::header(const MathChannelDefinition& definition) {
  return definition.unit.empty() ? definition.name : definition.name + " (" + definition.unit + ")";
}

}  // namespace ardenvis::core

#include "cli/math_columns.h"

#include <cstdio>

#include "math/channel_library.h"
#include "math/math_channels.h"

namespace ardenvis::cli {

std::optional<std::vector<core::CsvExtraColumn>> math_columns(const std::string& path,
                                                              const core::DataSet& set) {
  const auto library = core::load_channel_library(path);
  if (!library) {
    std::fprintf(stderr, "cannot read the channel library %s\n", path.c_str());
    return std::nullopt;
  }
  for (const std::string& problem : library->problems) {
    std::fprintf(stderr, "%s: %s\n", path.c_str(), problem.c_str());
  }
  const core::MathChannels channels(library->channels);
  std::vector<core::CsvExtraColumn> columns;
  for (size_t i = 0; i < channels.size(); ++i) {
    core::MathSeries series = channels.evaluate(i, set);
    const core::MathChannelDefinition& definition = channels.definition(i);
    if (!series.note.empty()) {
      std::fprintf(stderr, "%s: line %d: math channel \"%s\" is empty: %s\n", path.c_str(),
                   definition.line, definition.name.c_str(), series.note.c_str());
    }
    columns.push_back({core::MathChannels::header(definition), std::move(series.values)});
  }
  return columns;
}

}  // namespace ardenvis::cli

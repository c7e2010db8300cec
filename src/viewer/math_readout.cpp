#include "viewer/math_readout.h"

#include <cmath>

#include "common/format.h"
#include "viewer/plot_channels.h"

namespace ardenvis::core {

namespace {

// The sample under x seconds from `first`, as the readout's lap lines find it.
long sample_at(const DataSet& set, long first, double x) {
  const double dt = set.info.sample_rate == 20 ? 0.05 : 0.1;
  const double index = std::nearbyint(x / dt);
  if (!std::isfinite(index) || std::fabs(index) > 1e15) return 0;
  return first + static_cast<long>(index);
}

std::string value_text(const DataSet& set, int math, long k) {
  if (math < 0 || static_cast<size_t>(math) >= set.math.size()) return "-";
  const double v = set.math[static_cast<size_t>(math)].values[k];
  return std::isfinite(v) && k >= 1 ? format("%.2f", v) : "-";
}

}  // namespace

std::string math_readout(const ProgramState& state, DisplayMode mode, int x_axis,
                         const std::array<LapSelection, 2>& selections,
                         const std::vector<std::pair<int, std::string>>& shown, double x) {
  if (x_axis != kXAxisTime) return {};
  std::string text;
  for (const auto& row : shown) {
    // A named copy: clang 14 cannot capture a structured binding.
    const int math = row.first;
    const std::string& name = row.second;
    std::string values;
    auto add = [&](const char* label, const DataSet& set, long k) {
      values += (values.empty() ? " " : "  ") + std::string(label) + " " + value_text(set, math, k);
    };
    for (int k = 0; k < 2; ++k) {
      if (mode == DisplayMode::AllPlotData) {
        const DataSet& set = state.data_sets[static_cast<size_t>(k)];
        if (set.has_data()) add(k == 0 ? "A" : "B", set, sample_at(set, 0, x));
      } else {
        const LapSelection& lap = selections[static_cast<size_t>(k)];
        if (!lap.has_lap) continue;
        const DataSet& set = state.data_sets[lap.slot == DataSetId::B ? 1 : 0];
        add(k == 0 ? "Sel 1" : "Sel 2", set, sample_at(set, lap.first(), x));
      }
    }
    if (!values.empty()) text += "\n" + name + ":" + values;
  }
  return text;
}

}  // namespace ardenvis::core

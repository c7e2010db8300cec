#include "viewer/plot_pass.h"

#include <algorithm>
#include <cmath>

namespace ardenvis::core {

PlotSettings PlotSettings::defaults() {
  PlotSettings settings;
  const auto rows = plot_channels();
  for (size_t i = 0; i < rows.size(); ++i) {
    settings.checked[i] = rows[i].checked_at_start;
    settings.colour_a[i] = rows[i].colour_a;
    settings.colour_b[i] = rows[i].colour_b;
  }
  return settings;
}

bool PlotSettings::any_channel_checked() const {
  return std::any_of(checked.begin(), checked.end(), [](bool b) { return b; }) ||
         std::any_of(math.begin(), math.end(), [](const MathRow& row) { return row.checked; });
}

int selection_layer(const PlotSettings& settings, int selection) {
  return settings.mode == DisplayMode::AllPlotData && selection == 2 &&
                 settings.data_b_on_second_axis
             ? 2
             : 1;
}

std::vector<PlotSelection> choose_selections(const ProgramState& state,
                                             const PlotSettings& settings) {
  std::vector<PlotSelection> selections;
  if (settings.mode == DisplayMode::AllPlotData) {
    for (int k = 1; k <= 2; ++k) {
      const DataSetId slot = k == 1 ? DataSetId::A : DataSetId::B;
      const DataSet& set = state.data_sets[static_cast<size_t>(k - 1)];
      if (!set.has_data()) continue;
      PlotSelection s;
      s.number = k;
      s.slot = slot;
      s.layer = selection_layer(settings, k);
      s.first = 1;
      s.last = static_cast<long>(set.sample_count());
      s.style = k - 1;
      selections.push_back(s);
    }
    return selections;
  }
  for (int k = 1; k <= 2; ++k) {
    const OverlayLap& lap = settings.overlay[static_cast<size_t>(k - 1)];
    if (!lap.has_lap) continue;
    const DataSet& set = state.data_sets[lap.slot == DataSetId::B ? 1 : 0];
    PlotSelection s;
    s.number = k;
    s.slot = lap.slot;
    s.layer = selection_layer(settings, k);
    const long shift = k == 1 ? lap.beacon_shift : 0;
    s.first = lap.start + shift;
    s.last = lap.end + shift;
    s.style = k - 1;
    if (x_axis_is_monotonic(settings.x_axis)) s.x_offset = set[Channel::XAxis][s.first];
    selections.push_back(s);
  }
  return selections;
}

std::vector<Trace> plot_engine_data(const ProgramState& state, const PlotSettings& settings,
                                    const PlotSelection& selection) {
  std::vector<Trace> traces;
  const DataSet& set = state.data_sets[selection.slot == DataSetId::B ? 1 : 0];
  const Series& x = set[Channel::XAxis];
  // Only whole samples that every series of the slot holds are drawn.
  const long n = std::min<long>(static_cast<long>(set.sample_count()), x.size());
  const long first = std::max<long>(selection.first, 1);
  const long last = std::min<long>(selection.last, n);
  if (last < first) return traces;

  const TraceLine& line = settings.lines[static_cast<size_t>(selection.style)];
  PenStyle pen = line.style == LineStyle::Dotted ? PenStyle::Dotted : PenStyle::Solid;
  if (!line.visible) pen = PenStyle::Invisible;
  auto add = [&](const Series& y, uint32_t colour_a, uint32_t colour_b, double y_offset) {
    Trace trace;
    trace.layer = selection.layer;
    trace.colour = selection.style == 0 ? colour_a : colour_b;
    trace.pen = pen;
    trace.points = line.style == LineStyle::Points;
    trace.x = x.data() + (first - 1);
    trace.y = y.data() + (first - 1);
    trace.count = last - first + 1;
    trace.x_offset = selection.x_offset;
    trace.y_offset = y_offset;
    trace.x_sorted = x_axis_is_monotonic(settings.x_axis);
    traces.push_back(trace);
    return &traces.back();
  };
  const auto rows = plot_channels();
  for (int row : plot_channel_draw_order()) {
    if (!settings.checked[static_cast<size_t>(row)]) continue;
    const PlotChannel& channel = rows[static_cast<size_t>(row)];
    const Series& y = set[channel.channel];
    if (y.size() < last) continue;
    add(y, settings.colour_a[static_cast<size_t>(row)], settings.colour_b[static_cast<size_t>(row)],
        drawn_relative(channel.channel) ? y[first] : 0.0)
        ->channel = channel.channel;
  }
  for (size_t i = 0; i < settings.math.size() && i < set.math.size(); ++i) {
    const PlotSettings::MathRow& row = settings.math[i];
    const Series& y = set.math[i].values;
    if (!row.checked || y.size() < last) continue;
    add(y, row.colour_a, row.colour_b, 0.0)->math = static_cast<int>(i);
  }
  return traces;
}

namespace {
// 2 % beyond a high end, away from zero whatever its sign, so the largest value
// always stays inside the window (1.02 x a negative high would cut it off).
double widened_high(double high) { return high + 0.02 * std::fabs(high); }
}  // namespace

PlotRange autoscale_range(const PlotRange& current, double y_min, double y_max) {
  PlotRange range = current;
  range.y_low = y_min;
  range.y_high = widened_high(y_max);
  if (!(range.y_high > range.y_low)) range.y_high = range.y_low + 1;  // a flat trace
  return range;
}

PlotRange full_range(const PlotRange& fitted) {
  PlotRange range = fitted;
  range.x_high = widened_high(fitted.x_high);
  range.y_high = widened_high(fitted.y_high);
  if (!(range.x_high > range.x_low)) range.x_high = range.x_low + 1;
  if (!(range.y_high > range.y_low)) range.y_high = range.y_low + 1;
  return range;
}

}  // namespace ardenvis::core

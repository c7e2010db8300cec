#pragma once
// "Statistics (Time Axis Only)": the maximum, minimum or mean of one channel
// over all of a selection's data or over the visible window, for data set A
// (or selection 1) and data set B (or selection 2).

#include <optional>
#include <span>
#include <string>

#include "state/program_state.h"
#include "viewer/lap_selection.h"
#include "viewer/plot_pass.h"

namespace ardenvis::core {

struct StatisticsChannel {
  const char* item;
  Channel channel;
  // RPM is held in hundreds, Gear and G in tenths.
  double multiplier;
  double divisor;
};
// The channel choices in list order, default 0 "RPM". The math channels
// follow them in the list, in library order (DataSet::math).
std::span<const StatisticsChannel> statistics_channels();

enum class StatisticKind { Max, Min, Avg };     // "Max", "Min", "Avg"
enum class StatisticsOn { AllData, InWindow };  // "All Data ", "In Window"

struct StatisticsChoice {
  int channel = 0;
  StatisticKind kind = StatisticKind::Max;
  StatisticsOn on = StatisticsOn::AllData;
};

// Statistics are for the time axis only.
inline bool statistics_enabled(int x_axis) { return x_axis == kXAxisTime; }

struct SampleRange {
  long first = 1;
  long last = 0;
};
// update_stats step 1: the samples the statistic covers, clamped to 1..N and
// put in order. `lap` is the selection in "Lap Overlay" (ignored otherwise);
// x_low and x_high the visible X range of the selection's layer.
SampleRange statistics_range(const DataSet& set, DisplayMode mode, StatisticsOn on,
                             const LapSelection& lap, double x_low, double x_high);

// The statistic of the chosen channel over the range, scaled to the
// channel's own unit; nullopt when the range holds no sample (for a math
// channel: no sample with a value, gaps being left out).
std::optional<double> statistic(const DataSet& set, const SampleRange& range,
                                const StatisticsChoice& choice);
// The text of a result field: "%.2f", empty without a result.
std::string statistic_text(const std::optional<double>& value);

}  // namespace ardenvis::core

#include "viewer/plot_statistics.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>

#include "common/format.h"

namespace ardenvis::core {
namespace {

constexpr std::array<StatisticsChannel, 12> kChannels = {{
    {"RPM", Channel::Rpm, 100, 1},
    {"Speed", Channel::Speed, 1, 1},
    {"Gear", Channel::Gear, 1, 10},
    {"Brake %", Channel::Brake, 1, 1},
    {"Oil Pressure", Channel::OilPressure, 1, 1},
    {"Aux Pressure", Channel::AuxPressure, 1, 1},
    {"Oil Temp", Channel::OilTemp, 1, 1},
    {"Water Temp", Channel::WaterTemp, 1, 1},
    {"Battery Volts", Channel::Battery, 1, 1},
    {"Lap Time", Channel::LapTime, 1, 1},
    {"G Lat", Channel::GLat, 1, 10},
    {"G Long", Channel::GLong, 1, 10},
}};

// A sample index from a time on the axis; far outside the log it is clamped
// later like any index past the ends.
long index_at(double x, double dt) {
  const double i = std::nearbyint(x / dt);
  if (!std::isfinite(i)) return i > 0 ? LONG_MAX / 2 : 0;
  return static_cast<long>(std::clamp(i, -1.0e15, 1.0e15));
}

// A math channel's statistic: its gaps are no values.
std::optional<double> math_statistic(const Series& series, const SampleRange& range,
                                     StatisticKind kind) {
  const long first = std::max(range.first, 1L);
  const long last = std::min(range.last, series.size());
  double result = 0;
  long count = 0;
  for (long k = first; k <= last; ++k) {
    const double v = series[k];
    if (!std::isfinite(v)) continue;
    if (count == 0) {
      result = v;
    } else if (kind == StatisticKind::Max) {
      result = std::max(result, v);
    } else if (kind == StatisticKind::Min) {
      result = std::min(result, v);
    } else {
      result += v;
    }
    ++count;
  }
  if (count == 0) return std::nullopt;
  return kind == StatisticKind::Avg ? result / static_cast<double>(count) : result;
}

}  // namespace

std::span<const StatisticsChannel> statistics_channels() { return kChannels; }

SampleRange statistics_range(const DataSet& set, DisplayMode mode, StatisticsOn on,
                             const LapSelection& lap, double x_low, double x_high) {
  const double dt = set.info.sample_rate == 20 ? 0.05 : 0.1;
  const long n = static_cast<long>(set.sample_count());
  SampleRange r;
  if (mode == DisplayMode::AllPlotData) {
    if (on == StatisticsOn::AllData) {
      r = {1, n};
    } else {
      r = {index_at(x_low, dt), index_at(x_high, dt)};
    }
  } else if (on == StatisticsOn::AllData) {
    r = {lap.start, lap.end};
  } else {
    r = {lap.start + index_at(x_low, dt), lap.start + index_at(x_high, dt)};
  }
  r.first = std::clamp(r.first, 1L, std::max(n, 1L));
  r.last = std::clamp(r.last, 1L, std::max(n, 1L));
  if (r.first > r.last) std::swap(r.first, r.last);
  if (n < 1) r = {1, 0};
  return r;
}

std::optional<double> statistic(const DataSet& set, const SampleRange& range,
                                const StatisticsChoice& choice) {
  const auto channels = statistics_channels();
  const int math = choice.channel - static_cast<int>(channels.size());
  if (math >= 0) {
    if (static_cast<size_t>(math) >= set.math.size()) return std::nullopt;
    return math_statistic(set.math[static_cast<size_t>(math)].values, range, choice.kind);
  }
  const auto& row =
      channels[static_cast<size_t>(std::clamp<int>(choice.channel, 0, channels.size() - 1))];
  const Series& series = set[row.channel];
  const long first = std::max(range.first, 1L);
  const long last = std::min(range.last, series.size());
  if (last < first) return std::nullopt;
  const double* v = series.data() + (first - 1);
  const long count = last - first + 1;
  double result = 0;
  switch (choice.kind) {
    case StatisticKind::Max:
      result = *std::max_element(v, v + count);
      break;
    case StatisticKind::Min:
      result = *std::min_element(v, v + count);
      break;
    case StatisticKind::Avg: {
      double sum = 0;
      for (long i = 0; i < count; ++i) sum += v[i];
      result = sum / static_cast<double>(count);
      break;
    }
  }
  return result * row.multiplier / row.divisor;
}

std::string statistic_text(const std::optional<double>& value) {
  return value ? format("%.2f", *value) : std::string();
}

}  // namespace ardenvis::core

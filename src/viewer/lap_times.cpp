#include "viewer/lap_times.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numeric>

#include "common/format.h"
#include "viewer/viewer_units.h"

namespace ardenvis::core {
namespace {

constexpr double kNoSegmentTime = 1000000;
constexpr double kReferenceStepMetres = 50;
constexpr double kReferenceStepFeet = 164;  // 50 m x 3.281, rounded
constexpr double kKmhToMphForDisplay = 5.0 / 8.0;

double sample_interval(const DataSet& set) { return set.info.sample_rate == 20 ? 0.05 : 0.1; }

// A sample index from a time: nearest, ties to even; negatives raised to 0 and
// nonsense kept inside the series' reach.
long sample_index(double value, long limit) {
  const double rounded = std::nearbyint(value);
  if (!(rounded > 0)) return 0;
  if (rounded > static_cast<double>(limit)) return limit;
  return static_cast<long>(rounded);
}

LapEntry& lap_at(DataSet& set, int index) { return set.laps[static_cast<size_t>(index)]; }
const LapEntry& lap_at(const DataSet& set, int index) {
  return set.laps[static_cast<size_t>(index)];
}

}  // namespace

bool has_lap_time(const LapEntry& lap) { return lap.lap_time > 0; }

bool keeps_ticks(LapBuildSender sender) {
  switch (sender) {
    case LapBuildSender::AllButton:
    case LapBuildSender::TrackMapLap:
    case LapBuildSender::SortBox:
    case LapBuildSender::SplitCount:
    case LapBuildSender::SplitSegment:
    case LapBuildSender::Grid:
      return true;
    case LapBuildSender::Other:
    case LapBuildSender::SortParameter:
    case LapBuildSender::SortSegment:
      return false;
  }
  return false;
}

bool reruns_overlay(LapBuildSender sender) {
  switch (sender) {
    case LapBuildSender::SortBox:
    case LapBuildSender::SortParameter:
    case LapBuildSender::SortSegment:
    case LapBuildSender::SplitCount:
    case LapBuildSender::SplitSegment:
      return false;
    default:
      return true;
  }
}

int usable_lap_count(const DataSet& set) {
  if (!set.has_data()) return 0;
  size_t laps = std::min<size_t>(set.lap_count(), set.laps.size());
  laps = std::min(laps, set.lap_list.size());
  // The lap list holds 16-bit lap table indexes.
  laps = std::min<size_t>(laps, 65536);
  return static_cast<int>(laps);
}

std::string fixed_text(double value, int decimals) {
  if (!std::isfinite(value)) return format("%.*f", decimals, value);
  // Round to 8 significant digits first, as a fixed format of precision 8
  // does, then show the decimals.
  const double rounded = std::strtod(format("%.7e", value).c_str(), nullptr);
  if (std::fabs(rounded) >= 1e8) return format("%.7E", rounded);
  return format("%.*f", decimals, rounded);
}

double reference_lap_distance(double average_distance, bool feet) {
  const double step = feet ? kReferenceStepFeet : kReferenceStepMetres;
  return std::nearbyint(average_distance / step) * step;
}

void calc_splits(DataSet& set, int split_count) {
  const int m = std::clamp(split_count, kMinSplitCount, kMaxSplitCount);
  const double dt = sample_interval(set);
  const Series& odo = set[Channel::Odo];
  const long limit = static_cast<long>(set.sample_count()) + 1;
  const double reference = set.info.reference_lap_distance;
  const double spacing = reference / (m + 1);
  const int laps = usable_lap_count(set);
  for (int i = 0; i < laps; ++i) {
    LapEntry& lap = lap_at(set, i);
    const long start = sample_index((lap.end_time - lap.lap_time) / dt, limit);
    const long end = sample_index((lap.end_time - dt) / dt, limit);
    const double start_odo = odo[start];
    if (spacing > 0) {
      long j = start;
      int target = 0;
      // Repeated addition, as the targets always were; at most M + 1 of them.
      for (double e = spacing; e <= reference && target <= kMaxSplits; e += spacing, ++target) {
        if (j < end) {
          while (odo[j] - start_odo < e && j <= end) ++j;
        }
        double t = dt * static_cast<double>(j - start);
        const double d = odo[j] - start_odo;
        if (d > 0) t = e / d * t;  // scaled to the exact target distance
        if (target < kMaxSplits) {
          lap.distance_split_times[static_cast<size_t>(target)] = static_cast<float>(t);
          lap.distance_split_indexes[static_cast<size_t>(target)] = static_cast<int32_t>(j);
        }
      }
    } else {
      // No reference distance: no split is timed, and none from an earlier
      // reference may stand in for one.
      for (int k = 0; k < m; ++k) {
        lap.distance_split_times[static_cast<size_t>(k)] = 0;
        lap.distance_split_indexes[static_cast<size_t>(k)] = 0;
      }
    }
    auto& split = lap.distance_split_times;
    auto& segment = lap.distance_segment_times;
    segment[0] = split[0];
    for (int k = 1; k < m; ++k) {
      segment[static_cast<size_t>(k)] =
          split[static_cast<size_t>(k)] - split[static_cast<size_t>(k - 1)];
    }
    segment[static_cast<size_t>(m)] = lap.lap_time - split[static_cast<size_t>(m - 1)];
  }
}

void order_lap_list(DataSet& set, const LapTimeOptions& options) {
  const int laps = usable_lap_count(set);
  auto first = set.lap_list.begin();
  auto last = first + laps;
  // Sorting keeps the order the list has; a list that is not an arrangement of
  // the laps (never set, or left from another table) starts from record order.
  std::vector<bool> seen(static_cast<size_t>(laps), false);
  bool arrangement = true;
  for (auto it = first; it != last && arrangement; ++it) {
    arrangement = *it < laps && !seen[*it];
    if (arrangement) seen[*it] = true;
  }
  if (!arrangement) std::iota(first, last, uint16_t{0});
  if (!(options.sort && laps >= 2)) {
    std::iota(first, last, uint16_t{0});
    return;
  }
  const size_t segment = static_cast<size_t>(std::clamp(options.sort_segment, 1, kMaxSegments) - 1);
  auto key = [&](uint16_t index) -> double {
    const LapEntry& lap = lap_at(set, index);
    const double k = options.sort_key == LapSortKey::LapTime ? lap.lap_time
                                                             : lap.distance_segment_times[segment];
    return std::isnan(k) ? HUGE_VAL : k;
  };
  // Repeated neighbour passes that swap only on a strictly greater key give
  // exactly a stable ascending sort; this gets there without the quadratic cost.
  std::stable_sort(first, last, [&](uint16_t a, uint16_t b) { return key(a) < key(b); });
}

double theoretical_best(const DataSet& set, int split_count) {
  const int m = std::clamp(split_count, kMinSplitCount, kMaxSplitCount);
  const int laps = usable_lap_count(set);
  double total = 0;
  for (int k = 0; k <= m; ++k) {
    double best = kNoSegmentTime;
    for (int i = 0; i < laps; ++i) {
      const LapEntry& lap = lap_at(set, i);
      if (lap.selected && has_lap_time(lap) &&
          lap.distance_segment_times[static_cast<size_t>(k)] < best) {
        best = lap.distance_segment_times[static_cast<size_t>(k)];
      }
    }
    if (best < kNoSegmentTime) total += best;
  }
  return total;
}

std::vector<std::string> lap_combo_items(const ProgramState& state) {
  std::vector<std::string> items;
  for (size_t s = 0; s < 2; ++s) {
    const DataSet& set = state.data_sets[s];
    const int laps = usable_lap_count(set);
    for (int i = 0; i < laps; ++i) {
      const LapEntry& lap = lap_at(set, i);
      items.push_back(format("Session Log: %3d  Lap: %3d  Data %c", lap.session, lap.lap_number,
                             s == 0 ? 'A' : 'B'));
    }
  }
  return items;
}

void LapTimesPanel::clear() {
  rows_ = 0;
  summary_ = {};
  caption_ = "No Data";
}

void LapTimesPanel::build(ProgramState& state, Host& host, const LapTimeOptions& options,
                          LapBuildSender sender) {
  DataSet& set = state.data_set(slot_);
  const int laps = usable_lap_count(set);
  split_count_ = std::clamp(options.split_count, kMinSplitCount, kMaxSplitCount);
  columns_ = options.columns;
  rows_ = laps + 1;

  // Sorting reads the segment times of the previous build; they are
  // recomputed below.
  order_lap_list(set, options);

  if (!keeps_ticks(sender)) {
    for (int i = 0; i < laps; ++i) lap_at(set, i).selected = 1;
  }
  update(state, options);

  // Average speeds (km/h, in double precision), kept in the lap table. A lap
  // without a lap time keeps the speed it had and is reported, each such lap
  // on its own.
  for (int i = 0; i < laps; ++i) {
    LapEntry& lap = lap_at(set, i);
    if (has_lap_time(lap)) {
      lap.average_speed =
          static_cast<double>(lap.lap_distance) / static_cast<double>(lap.lap_time) * 3600 / 1000;
    } else {
      host.message(MessageKind::Warning, lap_message::bad_lap_time, Buttons::Ok);
    }
  }

  update(state, options);
  const std::string name = !set.file_name.empty() ? set.file_name : set.info.label;
  caption_ = format("Data %c Lap Times: ", slot_ == DataSetId::B ? 'B' : 'A') + name;
}

void LapTimesPanel::update(ProgramState& state, const LapTimeOptions& options) {
  DataSet& set = state.data_set(slot_);
  const UnitFlags& flags = state.unit_flags;
  const int m = std::clamp(options.split_count, kMinSplitCount, kMaxSplitCount);
  summary_.speed_unit = speed_unit(flags);
  // Formatted rather than "(" + unit + ")": g++ 12 at -O3 reports a false
  // -Wrestrict inside std::string for a one-character literal + string.
  summary_.distance_unit = format("(%s)", distance_unit(flags).c_str());
  const int laps = usable_lap_count(set);
  int best = -1;
  for (int r = laps - 1; r >= 0 && best < 0; --r) {
    const int index = set.lap_list[static_cast<size_t>(r)];
    if (index < laps && lap_at(set, index).selected && has_lap_time(lap_at(set, index))) {
      best = index;
    }
  }
  if (best < 0) {
    summary_.session.clear();
    summary_.lap.clear();
    summary_.time.clear();
    summary_.average_speed.clear();
    summary_.theory.clear();
    summary_.average_distance.clear();
    return;
  }

  // Best lap: start from the last ticked row, then the first strictly shorter
  // lap in display order wins.
  double distance_sum = 0;
  int selected = 0;
  for (int r = 0; r < laps; ++r) {
    const int index = set.lap_list[static_cast<size_t>(r)];
    if (index >= laps) continue;
    const LapEntry& lap = lap_at(set, index);
    if (!lap.selected || !has_lap_time(lap)) continue;
    if (lap.lap_time < lap_at(set, best).lap_time) best = index;
    distance_sum += lap.lap_distance;
    ++selected;
  }
  // The best lap byte cannot name a lap beyond the 256th; it keeps its value then.
  if (best <= 255) set.best_lap = static_cast<uint8_t>(best);
  const LapEntry& best_lap = lap_at(set, best);
  summary_.session = format("%d", best_lap.session);
  summary_.lap = format("%d", best_lap.lap_number);
  summary_.time = format("%.2f", static_cast<double>(best_lap.lap_time));
  summary_.average_speed =
      format("%.2f", flags.speed_kmh ? best_lap.average_speed
                                     : best_lap.average_speed * kKmhToMphForDisplay);

  double average = distance_sum / selected;
  if (flags.distance_feet) average *= kMetresToFeet;
  summary_.average_distance = format("%.1f", average);
  set.info.reference_lap_distance = reference_lap_distance(average, flags.distance_feet);

  calc_splits(set, m);
  summary_.theory = format("%.2f", theoretical_best(set, m));
}

bool LapTimesPanel::tick_changed(ProgramState& state, const LapTimeOptions& options, int row,
                                 bool ticked) {
  const int index = lap_index(state, row);
  if (index < 0) return false;
  lap_at(state.data_set(slot_), index).selected = ticked ? 1 : 0;
  update(state, options);
  return true;
}

int LapTimesPanel::lap_index(const ProgramState& state, int row) const {
  if (row < 1 || row > lap_rows()) return -1;
  const DataSet& set = state.data_sets[slot_ == DataSetId::B ? 1 : 0];
  if (row > usable_lap_count(set)) return -1;
  const int index = set.lap_list[static_cast<size_t>(row - 1)];
  return index < usable_lap_count(set) ? index : -1;
}

bool LapTimesPanel::ticked(const ProgramState& state, int row) const {
  const int index = lap_index(state, row);
  return index >= 0 && lap_at(state.data_sets[slot_ == DataSetId::B ? 1 : 0], index).selected;
}

std::string LapTimesPanel::header(const ProgramState& state, int column) const {
  const UnitFlags& flags = state.unit_flags;
  switch (column) {
    case 1:
      return "Sel";
    case 2:
      return "Session";
    case 3:
      return "Lap";
    case 4:
      return "Lap Time (s)";
    case 5:
      return "Distance (" + distance_unit(flags) + ")";
    case 6:
      return "Avg " + speed_unit(flags);
    default:
      break;
  }
  const int i = column - kLapTimeColumn + 1;
  if (i < 1 || i > kMaxSegments) return "";
  if (columns_ == LapTimeColumns::Split) return i <= split_count_ ? format("Split %d", i) : "";
  return i <= split_count_ + 1 ? format("Seg %d", i) : "";
}

std::string LapTimesPanel::cell(const ProgramState& state, int row, int column) const {
  if (row == rows_ && rows_ > 0) return column == 2 ? "End" : "";
  const int index = lap_index(state, row);
  if (index < 0) return "";
  const LapEntry& lap = lap_at(state.data_sets[slot_ == DataSetId::B ? 1 : 0], index);
  const UnitFlags& flags = state.unit_flags;
  switch (column) {
    case 2:
      return format("%d", lap.session);
    case 3:
      return format("%d", lap.lap_number);
    case 4:
      return fixed_text(lap.lap_time, 2);
    case 5:
      return fixed_text(flags.distance_feet ? lap.lap_distance * kMetresToFeet : lap.lap_distance,
                        1);
    case 6:
      return fixed_text(
          flags.speed_kmh ? lap.average_speed : lap.average_speed * kKmhToMphForDisplay, 2);
    default:
      break;
  }
  const int i = column - kLapTimeColumn + 1;
  if (i < 1 || i > kMaxSegments || !lap.selected) return "";
  if (columns_ == LapTimeColumns::Split) {
    return i <= split_count_ ? fixed_text(lap.distance_split_times[static_cast<size_t>(i - 1)], 2)
                             : "";
  }
  return i <= split_count_ + 1
             ? fixed_text(lap.distance_segment_times[static_cast<size_t>(i - 1)], 2)
             : "";
}

void LapTimes::build_or_clear(ProgramState& state, Host& host, DataSetId slot,
                              const LapTimeOptions& options) {
  if (usable_lap_count(state.data_set(slot)) > 0) {
    panel(slot).build(state, host, options, LapBuildSender::Other);
  } else {
    panel(slot).clear();
  }
}

void LapTimes::process_laps(ProgramState& state, Host& host, const LapTimeOptions& options,
                            LapBuildSender sender) {
  for (DataSetId slot : {DataSetId::A, DataSetId::B}) {
    const DataSet& set = state.data_set(slot);
    if (!set.has_data()) continue;
    if (usable_lap_count(set) > 0) {
      panel(slot).build(state, host, options, sender);
    } else {
      panel(slot).clear();
    }
  }
}

void LapTimes::all_pressed(ProgramState& state, Host& host, DataSetId slot,
                           const LapTimeOptions& options) {
  DataSet& set = state.data_set(slot);
  const int laps = usable_lap_count(set);
  for (int i = 0; i < laps; ++i) lap_at(set, i).selected = all_toggle_ ? 1 : 0;
  all_toggle_ = !all_toggle_;
  if (laps > 0) panel(slot).build(state, host, options, LapBuildSender::AllButton);
}

}  // namespace ardenvis::core

#include "viewer/lap_selection.h"

#include <algorithm>
#include <cmath>

#include "viewer/lap_times.h"

namespace ardenvis::core {
namespace {

int32_t range_index(double value, long sample_count) {
  const double rounded = std::nearbyint(value);
  if (!(rounded > 0)) return 0;  // negatives and NaN
  // A lap table that points past the data reads 0 there anyway; keeping the
  // index one past the end stops a corrupt entry from sizing a slip series
  // of billions of samples.
  const double limit = static_cast<double>(std::min<long>(sample_count + 1, INT32_MAX));
  return static_cast<int32_t>(std::min(rounded, limit));
}

}  // namespace

std::optional<LapReference> lap_at_list_position(const ProgramState& state, int position) {
  if (position < 0) return std::nullopt;
  const int laps_a = usable_lap_count(state.data_sets[0]);
  if (position < laps_a) return LapReference{DataSetId::A, position};
  const int laps_b = usable_lap_count(state.data_sets[1]);
  if (position - laps_a < laps_b) return LapReference{DataSetId::B, position - laps_a};
  return std::nullopt;
}

float selection_sample_interval(const DataSet& set) {
  return set.info.sample_rate == 20 ? 0.05f : 0.1f;
}

LapRange lap_sample_range(const LapEntry& lap, float dt, long sample_count) {
  const double interval = static_cast<double>(dt);
  LapRange range;
  range.start =
      range_index((lap.end_time - static_cast<double>(lap.lap_time)) / interval, sample_count);
  range.end = range_index((lap.end_time - interval) / interval, sample_count);
  return range;
}

LapSelection select_lap(const ProgramState& state, int list_position, int split_count) {
  LapSelection selection;
  const std::optional<LapReference> ref = lap_at_list_position(state, list_position);
  if (!ref) return selection;
  const DataSet& set = state.data_sets[ref->slot == DataSetId::B ? 1 : 0];
  const LapEntry& lap = set.laps[static_cast<size_t>(ref->lap_index)];
  const float dt = selection_sample_interval(set);
  const int m = std::clamp(split_count, kMinSplitCount, kMaxSplitCount);

  const LapRange range = lap_sample_range(lap, dt, static_cast<long>(set.sample_count()));
  selection.has_lap = true;
  selection.start = range.start;
  selection.end = range.end;
  selection.lap_number = lap.lap_number;
  selection.session = lap.session;
  selection.slot = ref->slot;
  selection.data_set_letter.assign(1, ref->slot == DataSetId::B ? 'B' : 'A');
  selection.lap_time = lap.lap_time;
  selection.split_count = static_cast<uint8_t>(m);
  selection.dt = dt;
  for (int k = 0; k < m; ++k) {
    const auto i = static_cast<size_t>(k);
    selection.distance_split_times[i] = lap.distance_split_times[i];
    selection.distance_split_indexes[i] = lap.distance_split_indexes[i];
  }
  for (int k = 0; k <= m; ++k) {
    const auto i = static_cast<size_t>(k);
    selection.distance_segment_times[i] = lap.distance_segment_times[i];
  }
  const Series& odo = set[Channel::Odo];
  selection.lap_distance = odo[selection.end] - odo[selection.start];
  // A lap whose end lies before its start (a lap time longer than the time
  // logged) has no samples rather than a negative count.
  selection.sample_count = std::max(0, selection.end - selection.start + 1);
  return selection;
}

}  // namespace ardenvis::core

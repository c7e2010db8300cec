#include "viewer/lap_figures.h"

#include <algorithm>
#include <cmath>

#include "viewer/lap_times.h"

namespace ardenvis::core {

namespace {

bool can_join_ideal_lap(const LapTiming& lap) {
  return has_time(lap) && !lap.segment_times.empty() &&
         std::all_of(lap.segment_times.begin(), lap.segment_times.end(),
                     [](double t) { return t > 0; });
}

int split_count_of(const LapTiming& lap) { return static_cast<int>(lap.segment_times.size()) - 1; }

}  // namespace

bool has_time(const LapTiming& lap) { return lap.lap_time > 0; }

std::vector<LapTiming> lap_timings(const DataSet& set, int64_t source, int session) {
  std::vector<LapTiming> out;
  const size_t count = std::min<size_t>(set.lap_count(), set.laps.size());
  out.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    const LapEntry& entry = set.laps[i];
    if (session > 0 && entry.session != session) continue;
    LapTiming lap;
    lap.source = source;
    lap.session = entry.session;
    lap.lap_number = entry.lap_number;
    lap.lap_time = has_lap_time(entry) ? static_cast<double>(entry.lap_time) : 0.0;
    const int splits = std::min<int>(entry.split_count, kMaxSplits);
    if (splits >= 1) {
      lap.segment_times.reserve(static_cast<size_t>(splits) + 1);
      for (int s = 0; s <= splits; ++s)
        lap.segment_times.push_back(
            static_cast<double>(entry.segment_times[static_cast<size_t>(s)]));
    }
    out.push_back(std::move(lap));
  }
  return out;
}

std::optional<size_t> best_lap_index(const std::vector<LapTiming>& laps) {
  std::optional<size_t> best;
  for (size_t i = 0; i < laps.size(); ++i) {
    if (!has_time(laps[i])) continue;
    if (!best || laps[i].lap_time < laps[*best].lap_time) best = i;
  }
  return best;
}

std::vector<int> logged_split_counts(const std::vector<LapTiming>& laps) {
  std::vector<int> counts;
  for (const LapTiming& lap : laps) {
    if (can_join_ideal_lap(lap)) counts.push_back(split_count_of(lap));
  }
  std::sort(counts.begin(), counts.end());
  counts.erase(std::unique(counts.begin(), counts.end()), counts.end());
  return counts;
}

std::optional<IdealLap> ideal_lap(const std::vector<LapTiming>& laps, int split_count) {
  if (split_count < 1) return std::nullopt;
  IdealLap ideal;
  ideal.split_count = split_count;
  bool any = false;
  for (const LapTiming& lap : laps) {
    if (!can_join_ideal_lap(lap) || split_count_of(lap) != split_count) continue;
    if (!any) ideal.segments.resize(lap.segment_times.size());
    for (size_t s = 0; s < lap.segment_times.size(); ++s) {
      IdealSegment& best = ideal.segments[s];
      if (any && best.time <= lap.segment_times[s]) continue;
      best = {lap.segment_times[s], lap.source, lap.session, lap.lap_number};
    }
    any = true;
  }
  if (!any) return std::nullopt;
  for (const IdealSegment& segment : ideal.segments) ideal.time += segment.time;
  return ideal;
}

std::optional<IdealLap> ideal_lap_of_best(const std::vector<LapTiming>& laps) {
  const std::optional<size_t> best = best_lap_index(laps);
  if (!best || !can_join_ideal_lap(laps[*best])) return std::nullopt;
  return ideal_lap(laps, split_count_of(laps[*best]));
}

std::optional<Consistency> consistency(const std::vector<LapTiming>& laps) {
  const std::optional<size_t> best = best_lap_index(laps);
  if (!best) return std::nullopt;
  const double limit = laps[*best].lap_time * kConsistencyWindow;
  std::vector<double> times;
  for (const LapTiming& lap : laps) {
    if (has_time(lap) && lap.lap_time <= limit) times.push_back(lap.lap_time);
  }
  Consistency result;
  result.lap_count = static_cast<int>(times.size());
  double sum = 0;
  for (double t : times) sum += t;
  result.mean = sum / static_cast<double>(times.size());
  if (times.size() > 1) {
    double squares = 0;
    for (double t : times) squares += (t - result.mean) * (t - result.mean);
    result.std_dev = std::sqrt(squares / static_cast<double>(times.size() - 1));
  }
  return result;
}

}  // namespace ardenvis::core

#pragma once
// Figures over many laps, from one session or a whole season: the best lap,
// the ideal lap assembled from the unit's logged segment times, and
// consistency. The library, the session report and anyone else who shows
// these figures use this one implementation.
//
// Sectors are the unit's logged splits: timing points fixed on the track, so
// they line up from one session to the next (the viewer's distance splits
// depend on each session's reference distance and do not). A lap logged with
// no time takes part in nothing, as in the lap tables.

#include <cstdint>
#include <optional>
#include <vector>

#include "state/data_set.h"

namespace ardenvis::core {

// One logged lap as the figures see it.
struct LapTiming {
  int64_t source = 0;  // the caller's id of the file or session the lap came from
  int session = 0;     // the log's session number (1-based)
  int lap_number = 0;
  double lap_time = 0;  // s; 0 or less: the unit logged no time
  // The unit's logged segment times: n splits give n + 1 entries; empty
  // without splits.
  std::vector<double> segment_times;
};

bool has_time(const LapTiming& lap);

// The laps of a decoded data set in record order; only those of `session`
// when it is above 0.
std::vector<LapTiming> lap_timings(const DataSet& set, int64_t source, int session = 0);

// The fastest lap with a time (the first of equals), or nullopt.
std::optional<size_t> best_lap_index(const std::vector<LapTiming>& laps);

struct IdealSegment {
  double time = 0;
  int64_t source = 0;
  int session = 0;
  int lap_number = 0;
};
struct IdealLap {
  int split_count = 0;
  double time = 0;
  std::vector<IdealSegment> segments;  // split_count + 1, in track order
};

// The split counts n >= 1 of the laps that can take part in an ideal lap
// (a time, and every logged segment time above 0), ascending.
std::vector<int> logged_split_counts(const std::vector<LapTiming>& laps);

// The ideal lap of the laps with `split_count` logged splits: for each
// segment the best time any of them logged (the first of equals), summed.
std::optional<IdealLap> ideal_lap(const std::vector<LapTiming>& laps, int split_count);

// The ideal lap for the best lap's split count; nullopt when the best lap
// logged no splits.
std::optional<IdealLap> ideal_lap_of_best(const std::vector<LapTiming>& laps);

struct Consistency {
  double mean = 0;
  double std_dev = 0;  // sample standard deviation; 0 for a single lap
  int lap_count = 0;
};

// In and out laps, and laps spoilt by a spin or a stop, fall outside this
// window around the best lap and so do not count against consistency.
inline constexpr double kConsistencyWindow = 1.07;

// Mean and standard deviation of the laps with a time within 107 % of the
// best; nullopt without such laps.
std::optional<Consistency> consistency(const std::vector<LapTiming>& laps);

}  // namespace ardenvis::core

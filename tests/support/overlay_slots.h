#pragma once
// Small hand-made data sets for the overlay, marker and track tests: a slot
// driven at an even pace per lap, laps given by end time and lap time.

#include <functional>
#include <vector>

#include "state/program_state.h"

namespace ardenvis::testing {

struct OverlayLapRow {
  double end_time;
  float lap_time;
  uint8_t lap_number;
};

// `samples` samples at `rate` (10 or 20 a second); Odo[i] = odo(i).
inline void make_overlay_slot(core::DataSet& set, uint8_t rate, long samples,
                              const std::function<double(long)>& odo,
                              const std::vector<OverlayLapRow>& laps) {
  using core::Channel;
  set.loaded = core::kDecoded;
  set.info.sample_rate = rate;
  set.record_counts[1] = static_cast<uint32_t>(samples);
  set.record_counts[3] = static_cast<uint32_t>(laps.size());
  for (core::Series& s : set.series) s.resize(samples);
  const double dt = rate == 20 ? 0.05 : 0.1;
  for (long i = 1; i <= samples; ++i) {
    set[Channel::Odo].set(i, odo(i));
    set[Channel::PeloTime].set(i, dt * static_cast<double>(i));
    set[Channel::XAxis].set(i, dt * static_cast<double>(i));
  }
  set.laps.assign(laps.size(), core::LapEntry{});
  set.lap_list.assign(laps.size(), 0);
  for (size_t i = 0; i < laps.size(); ++i) {
    set.lap_list[i] = static_cast<uint16_t>(i);
    core::LapEntry& e = set.laps[i];
    e.end_time = laps[i].end_time;
    e.lap_time = laps[i].lap_time;
    e.lap_number = laps[i].lap_number;
    e.session = 1;
  }
}

inline std::function<double(long)> metres_per_sample(double step) {
  return [step](long i) { return step * static_cast<double>(i); };
}

}  // namespace ardenvis::testing

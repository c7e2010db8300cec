#pragma once
// The two laps chosen for the overlay ("Selection 1:" and "Selection 2:") and
// what the overlay, the track map and the lap export read of each: its sample
// range, its slot, and copies of the lap's distance splits and segments as
// they stood when it was chosen.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "state/program_state.h"

namespace ardenvis::core {

// A lap as the lap selectors list it: every lap of A, then every lap of B.
struct LapReference {
  DataSetId slot = DataSetId::A;
  int lap_index = 0;  // lap table entry of that slot
};
// List position p: lap p of A while p is below A's lap count, else lap
// p - (A's lap count) of B. nullopt when no lap is listed there.
std::optional<LapReference> lap_at_list_position(const ProgramState& state, int position);

// The sample interval of a slot as the lap selection works with it: single
// precision, so 0.1 s is 0.100000001490116... and every range computed from
// it rounds as the lap selection always has.
float selection_sample_interval(const DataSet& set);

struct LapSelection {
  bool has_lap = false;
  int32_t start = 0;  // first sample index of the lap
  int32_t end = 0;    // last sample index of the lap
  uint8_t lap_number = 0;
  uint8_t session = 0;
  std::string data_set_letter;  // "A" or "B"
  DataSetId slot = DataSetId::A;
  // Samples added to start and end when lap 1 is drawn and compared; always 0
  // for selection 2.
  int32_t beacon_shift = 0;
  double lap_time = 0;      // s
  uint8_t split_count = 0;  // M when the lap was chosen
  double dt = 0;            // the single-precision sample interval, widened
  std::array<double, kMaxSplits> distance_split_times{};
  std::array<double, kMaxSegments> distance_segment_times{};
  std::array<int32_t, kMaxSegments> distance_split_indexes{};
  double lap_distance = 0;   // Odo[end] - Odo[start], current distance unit
  int32_t sample_count = 0;  // end - start + 1

  // The drawn and compared range: start and end moved by the beacon shift.
  int32_t first() const { return start + beacon_shift; }
  int32_t last() const { return end + beacon_shift; }
};

// Fills the record of the lap at a selector's list position with M splits.
// A position that lists no lap gives a record without a lap.
LapSelection select_lap(const ProgramState& state, int list_position, int split_count);

// The lap's sample range from its lap table entry and the single-precision dt:
// start = round((end time - lap time) / dt), end = round((end time - dt) / dt),
// both to nearest with ties to even, negatives raised to 0 and nonsense kept
// within one past the slot's last sample.
struct LapRange {
  int32_t start = 0;
  int32_t end = 0;
};
LapRange lap_sample_range(const LapEntry& lap, float dt, long sample_count);

}  // namespace ardenvis::core

#include "viewer/lap_overlay.h"

#include <algorithm>
#include <cmath>
#include <span>

#include "common/format.h"
#include "common/savitzky_golay.h"
#include "viewer/lap_times.h"
#include "viewer/plot_channels.h"

namespace ardenvis::core {
namespace {

const DataSet& set_of(const ProgramState& state, const LapSelection& lap) {
  return state.data_sets[lap.slot == DataSetId::B ? 1 : 0];
}

// Sizes a slip series to lap 1's samples, all 0. False when lap 1 has none.
bool prepare(Series& slip, const LapSelection& lap1) {
  if (lap1.sample_count < 1) return false;
  slip.clear();
  slip.resize(lap1.sample_count);
  return slip.size() == lap1.sample_count;
}

}  // namespace

SlipBoxes slip_boxes_enabled(const std::array<LapSelection, 2>& selections, int x_axis) {
  if (!(selections[0].has_lap && selections[1].has_lap)) return {};
  if (x_axis == kXAxisTime) return {true, false};
  if (x_axis == kXAxisDistance) return {false, true};
  return {true, true};
}

void compute_odo_slip(const ProgramState& state, const LapSelection& lap1, const LapSelection& lap2,
                      Series& slip) {
  if (!prepare(slip, lap1)) return;
  const Series& odo1 = set_of(state, lap1)[Channel::Odo];
  const Series& odo2 = set_of(state, lap2)[Channel::Odo];
  const long shift = lap1.beacon_shift;
  const double base1 = odo1[lap1.start + shift];
  const double base2 = odo2[lap2.start];
  // Rate ratio: lap 2 at twice lap 1's rate is stepped two samples per lap 1
  // sample; at half the rate, one sample every other lap 1 sample.
  const int ratio = lap1.dt == lap2.dt ? 0 : (lap1.dt > lap2.dt ? 1 : -1);
  long i = lap1.start;
  long k = lap2.start;
  for (long j = 1; j <= lap1.sample_count; ++j) {
    const double value = k > lap2.end ? 0.0 : (odo2[k] - base2) - (odo1[i + shift] - base1);
    slip.set(j, value);
    if (ratio == 0) {
      k += 1;
    } else if (ratio > 0) {
      k += 2;
    } else if (i % 2 != 0) {
      k += 1;
    }
    ++i;
  }
}

void compute_time_slip(const ProgramState& state, const LapSelection& lap1,
                       const LapSelection& lap2, Series& slip) {
  if (!prepare(slip, lap1)) return;
  const long n = lap1.sample_count;
  const Series& odo1 = set_of(state, lap1)[Channel::Odo];
  const Series& odo2 = set_of(state, lap2)[Channel::Odo];
  const long shift = lap1.beacon_shift;

  // The time a lap takes to reach distance `target` from its start, scaled to
  // the exact distance; a cursor already at its lap end keeps its last time.
  struct Walker {
    const Series& odo;
    long start;
    long end;
    long shift;
    double dt;
    long cursor;
    double time = 0;
    void reach(double target) {
      if (cursor >= end) return;
      const double base = odo[start + shift];
      while (odo[cursor + shift] - base < target && cursor <= end) ++cursor;
      time = static_cast<double>(cursor - start) * dt;
      const double d = odo[cursor + shift] - base;
      if (d > 0) time *= target / d;
    }
  };
  Walker w1{odo1, lap1.start, lap1.end, shift, lap1.dt, lap1.start};
  Walker w2{odo2, lap2.start, lap2.end, 0, lap2.dt, lap2.start};

  const double step = lap1.lap_distance / static_cast<double>(n);
  double target = 0;
  // A lap that covers no distance has one target (0) rather than endlessly
  // many; past lap 1's samples there is nowhere to store a value.
  for (long l = 1; target <= lap1.lap_distance && l <= n; ++l) {
    w1.reach(target);
    w2.reach(target);
    slip.set(l, w2.time - w1.time);
    if (!(step > 0)) break;
    target += step;
  }
}

int32_t beacon_shift_samples(const ProgramState& state, const LapSelection& lap1,
                             double entered_distance) {
  if (!lap1.has_lap || !(lap1.dt > 0) || !std::isfinite(entered_distance)) return 0;
  const Series& odo = set_of(state, lap1)[Channel::Odo];
  // One second of samples, 10 or 20, and the distance per sample over it.
  // (With dt held as 0.1f, truncating 1 / dt gives 9 samples, and dividing
  // their distance by 1 / dt makes every shift a ninth too long.)
  const long a = std::lround(1.0 / lap1.dt);
  double per_sample = (odo[lap1.start + a] - odo[lap1.start]) / static_cast<double>(a);
  // A lap that starts from a standstill covers nothing in its first second:
  // the lap's own average distance per sample stands in.
  if (!(per_sample > 0) && lap1.sample_count > 0) {
    per_sample = lap1.lap_distance / static_cast<double>(lap1.sample_count);
  }
  if (!(per_sample > 0)) return 0;
  const double shift = std::floor(entered_distance / per_sample);
  return static_cast<int32_t>(std::clamp(shift, -1.0e9, 1.0e9));
}

LapInfoCaptions lap_info_captions(const LapSelection& selection, int number) {
  LapInfoCaptions c;
  if (!selection.has_lap) {
    c.line_group = "No Lap Selected";
    c.column_heading = c.statistics_label = c.g_circle_key = "No Lap";
    return c;
  }
  c.line_group = format("Sel %d = Log:%d Lap:%d Data:%s", number, selection.session,
                        selection.lap_number, selection.data_set_letter.c_str());
  c.column_heading = c.statistics_label = format("Selection %d", number);
  c.g_circle_key = format("Log:%d Lap:%d Data:%s", selection.session, selection.lap_number,
                          selection.data_set_letter.c_str());
  return c;
}

bool any_slot_has_laps(const ProgramState& state) {
  return usable_lap_count(state.data_sets[0]) > 0 || usable_lap_count(state.data_sets[1]) > 0;
}

std::vector<SlipTrace> slip_traces(const ProgramState& state, const PlotSettings& settings,
                                   const PlotSelection& selection, const SlipSettings& slips,
                                   const Series& odo_slip, const Series& time_slip) {
  std::vector<SlipTrace> traces;
  if (settings.mode != DisplayMode::LapOverlay || selection.number != 1) return traces;
  const Series& x = state.data_sets[selection.slot == DataSetId::B ? 1 : 0][Channel::XAxis];
  const TraceLine& line = settings.lines[0];
  static constexpr double kFactors[] = {1, 10, 100, 1000};
  const std::pair<const SlipRow*, const Series*> rows[] = {{&slips.odo, &odo_slip},
                                                           {&slips.time, &time_slip}};
  for (const auto& [row, slip] : rows) {
    if (!row->checked || !row->enabled || slip->size() < 1) continue;
    const double factor = kFactors[std::clamp(row->scale, 0, 3)];
    SlipTrace trace;
    trace.colour = row->colour;
    trace.pen = !line.visible
                    ? PenStyle::Invisible
                    : (line.style == LineStyle::Dotted ? PenStyle::Dotted : PenStyle::Solid);
    trace.points = line.style == LineStyle::Points;
    const long n = slip->size();
    trace.x.reserve(static_cast<size_t>(n) + 1);
    trace.y.reserve(static_cast<size_t>(n) + 1);
    trace.x.push_back(0);
    trace.y.push_back(0);
    for (long i = 1; i <= n; ++i) {
      trace.x.push_back(x[selection.first + i - 1] - selection.x_offset);
      trace.y.push_back(factor * ((*slip)[i] - (*slip)[1]));
    }
    traces.push_back(std::move(trace));
  }
  return traces;
}

LapPlotOutcome LapOverlay::lapPlotUpdate(const ProgramState& state, Host& host,
                                         const std::array<int, 2>& list_positions, int split_count,
                                         int x_axis, int sender) {
  for (size_t k = 0; k < 2; ++k) {
    selections_[k] = select_lap(state, list_positions[k], split_count);
  }
  selections_[0].beacon_shift = selections_[0].has_lap ? beacon_shift_ : 0;

  LapPlotOutcome outcome;
  outcome.any_lap = any_lap();
  outcome.slip_boxes = slip_boxes_enabled(selections_, x_axis);
  if (both_laps()) {
    compute_odo_slip(state, selections_[0], selections_[1], odo_slip_);
    compute_time_slip(state, selections_[0], selections_[1], time_slip_);
    const long n = selections_[0].sample_count;
    bool smoothed = n >= kMinSlipSamples && odo_slip_.size() == n && time_slip_.size() == n;
    if (smoothed) {
      const std::span<double> both[] = {
          std::span<double>(odo_slip_.data(), static_cast<size_t>(n)),
          std::span<double>(time_slip_.data(), static_cast<size_t>(n))};
      smoothed = savitzky_golay_smooth_together(both, kSlipSmoothingWindow);
    }
    if (!smoothed) {
      host.message(MessageKind::Warning, overlay_message::slip_smoothing_failed, Buttons::Ok);
    }
    outcome.slips_computed = true;
  }
  if (sender == 1 || sender == 2) outcome.track_map_lap_choice = sender;
  return outcome;
}

void LapOverlay::shiftbeacon(const ProgramState& state, double entered_distance) {
  if (!selections_[0].has_lap) return;
  // The shift is measured on the lap as it lies, not as already shifted.
  beacon_shift_ = beacon_shift_samples(state, selections_[0], entered_distance);
  selections_[0].beacon_shift = beacon_shift_;
  selections_[1].beacon_shift = 0;
}

void LapOverlay::clear() {
  selections_ = {};
  beacon_shift_ = 0;
  odo_slip_.clear();
  time_slip_.clear();
}

}  // namespace ardenvis::core

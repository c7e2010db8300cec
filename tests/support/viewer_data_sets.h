#pragma once
// Two decoded data sets for the viewer's tests and benchmarks: sessions
// synthesised by the simulated unit, decoded by the program's own decoder.

#include <string>

#include "logger/decoder.h"
#include "sim/session_synth.h"
#include "state/program_state.h"
#include "support/downloaded_slot.h"
#include "support/scripted_host.h"

namespace ardenvis::testing {

// A session filling the unit's whole log memory (about 600,000 samples with
// the dense record mix), or `laps` laps when laps > 0.
inline sim::SessionOptions viewer_session(uint8_t sample_rate, uint32_t seed, int laps = 0) {
  sim::SessionOptions o;
  o.sample_rate = sample_rate;
  o.seed = seed;
  if (laps > 0) {
    o.laps = laps;
  } else {
    o.size_target = sim::kFullLogMemoryBytes;
  }
  o.extra_inputs = false;
  o.gps_hz = 1;
  o.sensor_hz = 1;
  o.second_sensor_module = false;
  o.gear_module_hz = 1;
  o.other_can_hz = 1;
  o.splits_per_lap = 3;
  return o;
}

// Decodes `options` into `slot`; the slot is named like a loaded file.
inline bool decode_into(core::ProgramState& state, core::DataSetId slot,
                        const sim::SessionOptions& options, const std::string& file_name) {
  const sim::SynthesisedSession session = sim::synthesise_session(options);
  state.current_data_set = slot;
  state.identity.distance_factor = options.distance_factor;
  state.identity.pulses_per_rev = options.pulses_per_rev;
  core::DataSet& set = state.current();
  put_downloaded(set, session);
  ScriptedHost host;  // the outcome message is not checked here
  core::process_data_packets(state, host);
  set.file_name = file_name;
  set.info.label = file_name;
  set.info.firmware_minor = 24;
  return set.has_data();
}

}  // namespace ardenvis::testing

// Decoding a whole log memory (8192 pages of 1056 bytes) into a data set slot,
// with the once-per-record event pump of the real program.

#include <benchmark/benchmark.h>

#include <memory>

#include "logger/decoder.h"
#include "sim/session_synth.h"
#include "state/program_state.h"

namespace {

using namespace ardenvis;

class NullProgress : public core::AnalysisProgress {
 public:
  void show() override {}
  void hide() override {}
  void set_stage(const std::string&) override {}
  void set_bar(core::ProgressBar, long, long) override {}
  void set_efficiency(const std::string&) override {}
};

// A host whose event pump costs what the throttled Qt one does when nothing is
// pending: a counter and, now and then, a look at the clock.
class CheapHost : public core::Host {
 public:
  core::Answer message(core::MessageKind, const std::string&, core::Buttons) override {
    ++messages;
    return core::Answer::Ok;
  }
  std::optional<std::string> open_file(const core::FileDialog&) override { return std::nullopt; }
  std::optional<std::string> save_file(const core::FileDialog&) override { return std::nullopt; }
  void process_events() override {
    if ((++calls & 1023) == 0) last_look = std::chrono::steady_clock::now();
  }
  void busy_cursor(bool) override {}
  core::AnalysisProgress& analysis_progress() override { return progress; }
  void start_timer(core::Tickable&, int) override {}
  void stop_timer(core::Tickable&) override {}

  NullProgress progress;
  long calls = 0;
  int messages = 0;
  std::chrono::steady_clock::time_point last_look;
};

// "Dense": mostly engine samples, add-ons once a second (about 600k samples at
// 20/s). "Rich": every add-on at its usual rate (fewer samples, more frames).
sim::SessionOptions full_memory(bool dense) {
  sim::SessionOptions o;
  o.sample_rate = 20;
  o.size_target = sim::kFullLogMemoryBytes;
  o.seed = 3;
  if (dense) {
    o.extra_inputs = false;
    o.gps_hz = 1;
    o.sensor_hz = 1;
    o.second_sensor_module = false;
    o.gear_module_hz = 1;
    o.other_can_hz = 1;
  }
  return o;
}

void load(core::DataSet& set, const sim::SynthesisedSession& session) {
  set.raw = session.bytes;
  set.info.raw_byte_count = static_cast<uint32_t>(set.raw.size());
  set.info.sample_rate = session.sample_rate;
}

// Decoding again into the same slot: the series keep their storage.
void BM_DecodeFullLogMemory(benchmark::State& st) {
  const bool dense = st.range(0) == 1;
  const auto session = sim::synthesise_session(full_memory(dense));
  core::ProgramState state;
  state.identity.distance_factor = 1000;
  state.identity.pulses_per_rev = 1;
  CheapHost host;
  for (auto _ : st) {
    st.PauseTiming();
    load(state.current(), session);
    st.ResumeTiming();
    core::process_data_packets(state, host);
  }
  const core::DataSet& set = state.current();
  if (set.loaded == core::kNotLoaded) st.SkipWithError("decode failed");
  // Both slots full: decode the same log into B as well for the memory figure.
  state.current_data_set = core::DataSetId::B;
  load(state.current(), session);
  core::process_data_packets(state, host);
  st.counters["samples"] = set.sample_count();
  st.counters["laps"] = set.lap_count();
  st.counters["can_frames"] = set.info.can_frame_count;
  st.counters["two_slots_MB"] =
      static_cast<double>(state.data_sets[0].memory_bytes() + state.data_sets[1].memory_bytes()) /
      (1024.0 * 1024.0);
  st.SetBytesProcessed(static_cast<int64_t>(st.iterations()) *
                       static_cast<int64_t>(session.bytes.size()));
}
BENCHMARK(BM_DecodeFullLogMemory)
    ->Arg(1)
    ->Arg(0)
    ->ArgName("dense")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// The first decode into a fresh slot, paying for the series storage as well.
void BM_DecodeFullLogMemoryIntoEmptySlot(benchmark::State& st) {
  const auto session = sim::synthesise_session(full_memory(true));
  CheapHost host;
  for (auto _ : st) {
    st.PauseTiming();
    auto state = std::make_unique<core::ProgramState>();
    state->identity.distance_factor = 1000;
    state->identity.pulses_per_rev = 1;
    load(state->current(), session);
    st.ResumeTiming();
    core::process_data_packets(*state, host);
    st.PauseTiming();
    state.reset();
    st.ResumeTiming();
  }
}
BENCHMARK(BM_DecodeFullLogMemoryIntoEmptySlot)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace

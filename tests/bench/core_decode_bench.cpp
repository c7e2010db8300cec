// Decoding a whole log memory (8192 pages of 1056 bytes) into a data set slot,
// with the once-per-record event pump of the real program, and the memory two
// full slots hold.
//
// Floors: for a decode into a slot decoded before, writing as many doubles into
// the slot's stored series, in order, as decoding stores; for a decode into an
// empty slot, the decode into a slot decoded before (the budget) and, shown
// beside it, the first touch of a fresh allocation as large as the series.

#include <benchmark/benchmark.h>

#include <memory>

#include "full_memory.h"
#include "logger/decoder.h"
#include "state/program_state.h"
#include "support/downloaded_slot.h"

namespace {

using namespace ardenvis;
using bench::CheapHost;

void prepare(core::ProgramState& state) {
  state.identity.distance_factor = 1000;
  state.identity.pulses_per_rev = 1;
}

// Decoding again into the same slot: the series keep their storage.
void BM_DecodeFullLogMemory(benchmark::State& st) {
  const auto session = sim::synthesise_session(bench::full_memory(static_cast<int>(st.range(0))));
  core::ProgramState state;
  prepare(state);
  CheapHost host;
  testing::put_downloaded(state.current(), session);
  core::process_data_packets(state, host);  // the slot as the user has it: decoded before
  bench::Ratio ratio;
  for (auto _ : st) {
    st.PauseTiming();
    testing::put_downloaded(state.current(), session);
    st.ResumeTiming();
    const bench::Timing work = bench::timed([&] { core::process_data_packets(state, host); });
    st.PauseTiming();
    const bench::Timing floor = bench::timed([&] { bench::write_series_floor(state.current()); });
    ratio.add(work, floor);
    st.ResumeTiming();
  }
  const core::DataSet& set = state.current();
  if (set.loaded == core::kNotLoaded) st.SkipWithError("decode failed");
  ratio.report(st, "decode");
  st.counters["samples"] = set.sample_count();
  st.counters["stored_MB"] = static_cast<double>(bench::stored_doubles(set) * 8) / (1 << 20);
  st.SetBytesProcessed(static_cast<int64_t>(st.iterations()) *
                       static_cast<int64_t>(session.bytes.size()));
}
BENCHMARK(BM_DecodeFullLogMemory)
    ->ArgName("kind")
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(4)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// The first decode into a fresh slot, paying for the series storage as well,
// against a second decode into that same slot.
void BM_DecodeFullLogMemoryIntoEmptySlot(benchmark::State& st) {
  const auto session = sim::synthesise_session(bench::full_memory(static_cast<int>(st.range(0))));
  CheapHost host;
  bench::Ratio ratio;
  double touch_ms = 0;
  for (auto _ : st) {
    st.PauseTiming();
    auto state = std::make_unique<core::ProgramState>();
    prepare(*state);
    testing::put_downloaded(state->current(), session);
    st.ResumeTiming();
    const bench::Timing empty = bench::timed([&] { core::process_data_packets(*state, host); });
    st.PauseTiming();
    testing::put_downloaded(state->current(), session);
    const bench::Timing reused = bench::timed([&] { core::process_data_packets(*state, host); });
    const auto doubles = static_cast<long>(bench::stored_doubles(state->current()));
    state.reset();
    touch_ms += bench::timed_ms([&] {
      core::Series fresh;
      fresh.assign_zeros(doubles);
      double* x = fresh.storage_for_writing_from(1);
      for (long i = 0; i < doubles; i += 512) x[i] = 1;  // one write per 4 KB page
      benchmark::DoNotOptimize(x);
      benchmark::ClobberMemory();
    });
    ratio.add(empty, reused);
    st.ResumeTiming();
  }
  ratio.report(st, "empty");
  st.counters["first_touch_ms"] = touch_ms / static_cast<double>(st.iterations());
}
BENCHMARK(BM_DecodeFullLogMemoryIntoEmptySlot)
    ->ArgName("kind")
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(4)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// Both slots holding the same full log: what the slots account for, and how
// much this process's resident memory grew to hold them.
void BM_TwoFullSlotsMemory(benchmark::State& st) {
  const auto session = sim::synthesise_session(bench::full_memory(static_cast<int>(st.range(0))));
  CheapHost host;
  for (auto _ : st) {
    auto state = std::make_unique<core::ProgramState>();
    prepare(*state);
    const double before = bench::status_mb("VmRSS:");
    for (auto slot : {core::DataSetId::A, core::DataSetId::B}) {
      state->current_data_set = slot;
      testing::put_downloaded(state->current(), session);
      core::process_data_packets(*state, host);
    }
    st.counters["rss_growth_MB"] = bench::status_mb("VmRSS:") - before;
    st.counters["two_slots_MB"] = static_cast<double>(state->data_sets[0].memory_bytes() +
                                                      state->data_sets[1].memory_bytes()) /
                                  (1 << 20);
    st.counters["peak_rss_MB"] = bench::status_mb("VmHWM:");
  }
}
BENCHMARK(BM_TwoFullSlotsMemory)
    ->ArgName("kind")
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace

// A math channel over two full log memories (data sets A and B, every module
// sending once a second: 551k samples each): a formula over three channels
// with one derivative, compiled once and evaluated over both.
//
// Floor: reading the three channels of both data sets and writing a fresh
// output series of the same length for each, with nothing computed but their
// sum.

#include <benchmark/benchmark.h>

#include <vector>

#include "full_memory.h"
#include "logger/decoder.h"
#include "math/formula.h"
#include "state/program_state.h"
#include "support/downloaded_slot.h"

namespace {

using namespace ardenvis;

constexpr const char* kFormula = "Speed * 1000 / max(RPM, 1) + d(Speed) / g - G_Long";

struct TwoFullMemories {
  TwoFullMemories() {
    state.identity.distance_factor = 1000;
    for (core::DataSetId id : {core::DataSetId::A, core::DataSetId::B}) {
      sim::SessionOptions options = bench::full_memory(1);  // "dense": 551k samples
      options.seed = id == core::DataSetId::A ? 3 : 4;
      state.current_data_set = id;
      testing::put_downloaded(state.current(), sim::synthesise_session(options));
      core::process_data_packets(state, host);
    }
  }
  core::ProgramState state;
  bench::CheapHost host;
};

std::vector<double> floor_output(const core::DataSet& set) {
  const long n = static_cast<long>(set.sample_count());
  const double* speed = set[core::Channel::Speed].data();
  const double* rpm = set[core::Channel::Rpm].data();
  const double* g_long = set[core::Channel::GLong].data();
  std::vector<double> out(static_cast<size_t>(n));
  for (long i = 0; i < n; ++i) out[static_cast<size_t>(i)] = speed[i] + rpm[i] + g_long[i];
  return out;
}

void BM_MathChannelTwoFullMemories(benchmark::State& st) {
  TwoFullMemories m;
  core::FormulaError error;
  const auto formula = core::Formula::compile(kFormula, error);
  if (!formula) {
    st.SkipWithError(error.message().c_str());
    return;
  }
  const bool per_sample = st.range(0) == 1;
  bench::Ratio ratio;
  for (auto _ : st) {
    const bench::Timing work = bench::timed([&] {
      for (const core::DataSet& set : m.state.data_sets) {
        auto values = per_sample ? formula->evaluate_per_sample(set) : formula->evaluate(set);
        benchmark::DoNotOptimize(values.data());
      }
    });
    st.PauseTiming();
    const bench::Timing floor = bench::timed([&] {
      for (const core::DataSet& set : m.state.data_sets) {
        auto values = floor_output(set);
        benchmark::DoNotOptimize(values.data());
      }
    });
    ratio.add(work, floor);
    st.ResumeTiming();
  }
  ratio.report(st, "math");
  st.counters["samples_A"] = m.state.data_sets[0].sample_count();
  st.counters["samples_B"] = m.state.data_sets[1].sample_count();
}
// mode 0: over blocks (what the program uses); 1: the parser's own evaluation,
// sample by sample, for comparison.
BENCHMARK(BM_MathChannelTwoFullMemories)
    ->ArgName("per_sample")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace

// The session library: cataloguing a file against loading and decoding it
// (its floor: the figures come from the decode we already do), listing and
// filtering 10,000 catalogued sessions, and a venue's season figures over
// 1,000 sessions (budgets of 20 ms and 50 ms).
//
// The catalogue's sessions are synthesised by the simulated unit: two venues
// with GPS (10 km apart), one without, lap times varied by the driver's pace;
// each is decoded and summarised as a scan does, then repeated with other
// dates, names and paces up to the count.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>

#include "common/format.h"
#include "common/text_file.h"
#include "files/file_dialogs.h"
#include "files/log_file.h"
#include "full_memory.h"
#include "library/catalogue.h"
#include "library/scan.h"
#include "library/season.h"
#include "library/session_summary.h"
#include "library_catalogue.h"
#include "logger/decoder.h"
#include "state/program_state.h"
#include "support/downloaded_slot.h"
#include "support/session_files.h"

namespace {

using namespace ardenvis;
using bench::bench_folder;
using bench::catalogue_of;
using bench::open_catalogue;
using bench::venue_session;
namespace fs = std::filesystem;

// Cataloguing one session file as a scan does, against loading and decoding
// it as "View Data" does. Kind 0: a 10-lap session at 10 samples/s with GPS;
// 1: a full log memory with every module.
void BM_CatalogueFile(benchmark::State& st) {
  const int kind = static_cast<int>(st.range(0));
  const sim::SessionOptions options = kind == 0 ? venue_session(0, 0) : bench::full_memory(2);
  const std::string file = (bench_folder() / core::format("session-%d.plr", kind)).string();
  testing::write_session_file(file, sim::synthesise_session(options));
  core::Catalogue catalogue = open_catalogue((bench_folder() / "catalogue-file.sqlite").string());
  core::SessionCataloguer cataloguer(catalogue);
  core::ProgramState state;
  bench::CheapHost host;
  bench::Ratio ratio;
  for (auto _ : st) {
    core::CatalogueOutcome outcome;
    const bench::Timing work = bench::timed([&] { outcome = cataloguer.catalogue_file(file); });
    st.PauseTiming();
    if (outcome.kind != core::CatalogueOutcomeKind::Added) st.SkipWithError("not catalogued");
    catalogue.forget_session(outcome.session_id);
    ratio.add(work, bench::timed([&] {
                const auto content = core::read_text_file(file);
                if (!content || !core::read_log_file(state, host, *content, core::split_path(file)))
                  st.SkipWithError("load failed");
              }));
    st.ResumeTiming();
  }
  ratio.report(st, "catalogue");
  st.counters["samples"] = state.current().sample_count();
  st.counters["laps"] = state.current().lap_count();
}

}  // namespace

namespace {

void BM_ListSessions(benchmark::State& st) {
  core::Catalogue catalogue = open_catalogue(catalogue_of(10000));
  const int64_t kirkby = catalogue.venue_by_name("Kirkby")->id;
  const int what = static_cast<int>(st.range(0));
  core::SessionFilter filter;
  if (what == 1) filter.venue_id = kirkby;
  if (what == 2) filter.since = "2020-01-01";
  if (what == 3) filter.text = "mini";
  size_t rows = 0;
  for (auto _ : st) {
    rows = catalogue.list_sessions(filter).size();
    benchmark::DoNotOptimize(rows);
  }
  st.counters["rows"] = static_cast<double>(rows);
  st.counters["budget_ms"] = 20;
}

void BM_SeasonFigures(benchmark::State& st) {
  // 3,000 sessions, 1,000 of them at the venue.
  core::Catalogue catalogue = open_catalogue(catalogue_of(3000));
  const int64_t kirkby = catalogue.venue_by_name("Kirkby")->id;
  size_t sessions = 0;
  for (auto _ : st) {
    const auto season = core::venue_season(catalogue, kirkby);
    sessions = season ? season->sessions.size() : 0;
    benchmark::DoNotOptimize(season);
  }
  st.counters["sessions"] = static_cast<double>(sessions);
  st.counters["budget_ms"] = 50;
}

}  // namespace

BENCHMARK(BM_CatalogueFile)->ArgName("kind")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListSessions)
    ->ArgName("all_venue_since_text")
    ->DenseRange(0, 3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SeasonFigures)->Unit(benchmark::kMillisecond);

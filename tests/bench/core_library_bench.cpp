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
#include "logger/decoder.h"
#include "state/program_state.h"
#include "support/downloaded_slot.h"
#include "support/session_files.h"

namespace {

using namespace ardenvis;
namespace fs = std::filesystem;

// The run's files, removed when it ends.
struct BenchFolder {
  BenchFolder()
      : path(fs::temp_directory_path() / ("ardenvis-library-bench-" + std::to_string(getpid()))) {}
  ~BenchFolder() { fs::remove_all(path); }
  fs::path path;
} the_folder;

const fs::path& bench_folder() { return the_folder.path; }

// Venue v of 3 (0 and 1 with GPS, 10 km apart; 2 without), pace p.
sim::SessionOptions venue_session(int v, int variant, int laps = 10) {
  sim::SessionOptions o;
  o.seed = static_cast<uint32_t>(variant + 1);
  o.laps = laps;
  o.sample_rate = 10;
  o.pace = 0.96 + 0.004 * (variant % 10);
  if (v == 1) o.origin_latitude += 10000.0 / 111320.0;
  if (v == 2) o.gps_hz = 0;
  return o;
}

core::Catalogue open_catalogue(const std::string& path) {
  core::CatalogueError error;
  auto catalogue = core::Catalogue::open(path, error);
  if (!catalogue) throw std::runtime_error(error.text);
  return std::move(*catalogue);
}

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

// A catalogue of `count` sessions, made once per count and kept for the run.
const std::string& catalogue_of(int count) {
  static std::map<int, std::string> made;
  auto& path = made[count];
  if (!path.empty()) return path;
  path = (bench_folder() / core::format("catalogue-%d.sqlite", count)).string();
  fs::create_directories(bench_folder());
  core::Catalogue catalogue = open_catalogue(path);

  // Ten distinct synthesised sessions per venue, decoded and summarised.
  constexpr int kVariants = 10;
  std::vector<core::SessionRecord> base[3];
  core::ProgramState state;
  bench::CheapHost host;
  for (int v = 0; v < 3; ++v) {
    for (int variant = 0; variant < kVariants; ++variant) {
      const auto session = sim::synthesise_session(venue_session(v, variant));
      core::DataSet& set = state.current();
      testing::put_downloaded(set, session);
      state.identity.distance_factor = 1000;
      core::process_data_packets(state, host);
      core::FileIdentity file{"", static_cast<int64_t>(session.bytes.size()), 0, 0};
      base[v].push_back(core::summarise_session(set, {}, file, ""));
    }
  }
  int64_t venue_ids[2] = {
      *catalogue.add_venue({0, "Kirkby", base[0][0].facts.start_latitude,
                            base[0][0].facts.start_longitude, base[0][0].facts.lap_distance, 0}),
      *catalogue.add_venue({0, "Hallam", base[1][0].facts.start_latitude,
                            base[1][0].facts.start_longitude, base[1][0].facts.lap_distance, 0})};
  core::Catalogue::Batch batch(catalogue);
  for (int i = 0; i < count; ++i) {
    const int v = i % 3;
    core::SessionRecord r = base[v][static_cast<size_t>(i / 3 % kVariants)];
    const int day = i / 3;
    r.facts.date =
        core::format("%04d-%02d-%02d", 2016 + day / 300, day % 300 / 25 + 1, day % 25 + 1);
    r.facts.time = core::format("%02d:%02d", 9 + i % 8, i * 7 % 60);
    r.file.path = core::format("/season/%d/%s_%d.plr", v, r.facts.date.c_str(), i);
    r.file.hash = static_cast<uint64_t>(i) * 0x9E3779B97F4A7C15ull;
    r.user = {i % 2 ? "Ann" : "Bea", i % 5 ? "Escort" : "Mini", "Club day", "", ""};
    // Lap times varied session by session (as another day's grip would).
    const double scale = 1.0 + 0.0005 * (i % 37);
    for (core::LapRecord& lap : r.laps) {
      lap.lap_time *= scale;
      for (double& s : lap.segment_times) s *= scale;
      for (double& s : lap.split_times) s *= scale;
    }
    r.figures = core::figures_of(core::timings_of(r.laps, 0));
    r.venue_id = v < 2 ? venue_ids[v] : 0;
    catalogue.put_session(r, false);
  }
  batch.commit();
  return path;
}

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

#pragma once
// Catalogues of many sessions for the library's benchmarks. The sessions are
// synthesised by the simulated unit: two venues with GPS (10 km apart), one
// without, lap times varied by the driver's pace; each is decoded and
// summarised as a scan does, then repeated with other dates, names and paces
// up to the count.

#include <unistd.h>

#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>

#include "common/format.h"
#include "library/catalogue.h"
#include "library/session_summary.h"
#include "logger/decoder.h"
#include "sim/session_synth.h"
#include "state/program_state.h"
#include "support/downloaded_slot.h"
#include "support/scripted_host.h"

namespace ardenvis::bench {

namespace fs = std::filesystem;

// The run's files, removed when it ends.
struct BenchFolder {
  BenchFolder()
      : path(fs::temp_directory_path() / ("ardenvis-library-bench-" + std::to_string(getpid()))) {}
  ~BenchFolder() { fs::remove_all(path); }
  fs::path path;
};
inline BenchFolder the_folder;

inline const fs::path& bench_folder() { return the_folder.path; }

// Venue v of 3 (0 and 1 with GPS, 10 km apart; 2 without), pace p.
inline sim::SessionOptions venue_session(int v, int variant, int laps = 10) {
  sim::SessionOptions o;
  o.seed = static_cast<uint32_t>(variant + 1);
  o.laps = laps;
  o.sample_rate = 10;
  o.pace = 0.96 + 0.004 * (variant % 10);
  if (v == 1) o.origin_latitude += 10000.0 / 111320.0;
  if (v == 2) o.gps_hz = 0;
  return o;
}

inline core::Catalogue open_catalogue(const std::string& path) {
  core::CatalogueError error;
  auto catalogue = core::Catalogue::open(path, error);
  if (!catalogue) throw std::runtime_error(error.text);
  return std::move(*catalogue);
}

// A catalogue of `count` sessions, made once per count and kept for the run.
inline const std::string& catalogue_of(int count) {
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
  testing::ScriptedHost host;
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

}  // namespace ardenvis::bench

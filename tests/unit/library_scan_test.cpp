// Scanning folders of log data files into the catalogue: what each file
// gives, venues for two circuits 10 km apart and a session without GPS, a
// damaged file, and re-scans after files are touched, changed, moved,
// deleted and restored.

#include <gtest/gtest.h>

#include <filesystem>

#include "files/log_file.h"
#include "library/catalogue.h"
#include "library/scan.h"
#include "library/session_library.h"
#include "logger/data_set_units.h"
#include "logger/decoder.h"
#include "support/folder_test.h"
#include "support/scripted_host.h"
#include "support/session_files.h"

namespace ardenvis::core {
namespace {

namespace fs = std::filesystem;
using testing::automatic_name;
using testing::write_session_file;

constexpr double kMetresPerDegree = 111320.0;

sim::SessionOptions circuit(uint32_t seed, double north_m = 0) {
  sim::SessionOptions o;
  o.seed = seed;
  o.laps = 4;
  o.splits_per_lap = 3;
  o.sensor_hz = 0;
  o.other_can_hz = 0;
  o.gear_module_hz = 0;
  o.origin_latitude += north_m / kMetresPerDegree;
  return o;
}

class LibraryScan : public testing::FolderTest {
 protected:
  LibraryScan() : FolderTest("library-scan") {
    CatalogueError error;
    auto opened = Catalogue::open(path("library.sqlite"), error);
    EXPECT_TRUE(opened) << error.text;
    catalogue.emplace(std::move(*opened));
  }
  sim::SynthesisedSession save(const std::string& name, const sim::SessionOptions& options,
                               const std::vector<std::string>& notes = {}) {
    auto session = sim::synthesise_session(options);
    EXPECT_TRUE(write_session_file(path(name), session, notes));
    return session;
  }
  ScanResult scan(const std::string& folder) { return scan_folders(*catalogue, {path(folder)}); }
  std::optional<Catalogue> catalogue;
};

TEST_F(LibraryScan, SessionsGetTheirFiguresAndVenues) {
  const std::string spring = "logs/a/" + automatic_name(2026, 4, 12, 10, 5, 1);
  const auto first = save(spring, circuit(1), {"Soft rear springs", "more"});
  save("logs/a/" + automatic_name(2026, 4, 19, 9, 30, 2), circuit(2));
  auto no_gps = circuit(3);
  no_gps.gps_hz = 0;
  save("logs/c/practice.plr", no_gps);
  write("logs/c/broken.plr", "// Filename: broken.plr\r\n1\r\n03 1E\r\n0\r\n1000\r\n");
  write("logs/c/notes.txt", "not a log");

  ScanResult result = scan("logs");
  EXPECT_EQ(scan_summary(result), "added 3, updated 0, unchanged 0, missing 0, failed 1");
  ASSERT_EQ(result.failures.size(), 1u);
  EXPECT_EQ(result.failures[0].path, path("logs/c/broken.plr"));
  EXPECT_EQ(result.failures[0].reason, "File not Compatible with Ardenvis Version, No Data Loaded");
  EXPECT_EQ(catalogue->failed_files().size(), 1u);

  // Both sessions at the first circuit share one venue named from the first
  // date; the one without GPS is unassigned with that venue offered.
  auto venues = catalogue->venues();
  ASSERT_EQ(venues.size(), 1u);
  EXPECT_EQ(venues[0].name, "2026-04-12");
  EXPECT_EQ(venues[0].session_count, 2);
  const auto loose = catalogue->session_by_path(path("logs/c/practice.plr"));
  ASSERT_TRUE(loose);
  EXPECT_EQ(loose->venue_id, 0);
  EXPECT_EQ(loose->suggested_venue_id, venues[0].id);

  const auto one = catalogue->session_by_path(path(spring));
  ASSERT_TRUE(one);
  EXPECT_EQ(one->facts.date, "2026-04-12");
  EXPECT_EQ(one->facts.time, "10:05");
  EXPECT_EQ(one->facts.session_number, 1);
  EXPECT_EQ(one->facts.unit_identity, 4321);
  EXPECT_EQ(one->facts.sample_rate, 10);
  EXPECT_EQ(one->facts.units, "mph,psi,C");
  EXPECT_EQ(one->facts.setup_note, "Soft rear springs");
  EXPECT_NEAR(one->facts.lap_distance, first.lap_length_m, 1.0);
  EXPECT_NEAR(one->facts.distance, first.distance_m, first.distance_m * 0.01);
  ASSERT_TRUE(one->figures.best_lap);
  EXPECT_FLOAT_EQ(static_cast<float>(*one->figures.best_lap),
                  hundredths_seconds(first.lap_times_ms[first.best_lap]));
  EXPECT_EQ(one->figures.best_lap_number, static_cast<int>(first.best_lap) + 1);
  EXPECT_EQ(one->figures.lap_count, 4);
  ASSERT_TRUE(one->figures.ideal_lap);
  EXPECT_LE(*one->figures.ideal_lap, *one->figures.best_lap);
  const auto laps = catalogue->session(one->id, true)->laps;
  ASSERT_EQ(laps.size(), 4u);
  EXPECT_EQ(laps[1].split_times.size(), 3u);
  EXPECT_EQ(laps[1].segment_times.size(), 4u);
  EXPECT_GT(laps[1].max_speed, 100.0);  // km/h
  EXPECT_GT(laps[1].max_rpm, 3000.0);
  EXPECT_NEAR(laps[1].average_speed, laps[1].distance / laps[1].lap_time * 3.6, 1e-9);

  // A circuit 10 km north is another venue.
  save("logs/b/" + automatic_name(2026, 5, 3, 14, 0, 1), circuit(4, 10000));
  result = scan("logs");
  EXPECT_EQ(scan_summary(result), "added 1, updated 0, unchanged 3, missing 0, failed 1");
  venues = catalogue->venues();
  ASSERT_EQ(venues.size(), 2u);
  EXPECT_EQ(venues[1].name, "2026-05-03");
  EXPECT_EQ(venues[1].session_count, 1);
}

TEST_F(LibraryScan, RescanFollowsTouchedChangedMovedDeletedAndRestoredFiles) {
  const std::string a = automatic_name(2026, 6, 1, 10, 0, 1);
  const std::string b = automatic_name(2026, 6, 1, 11, 0, 2);
  const std::string c = automatic_name(2026, 6, 1, 12, 0, 3);
  save("logs/" + a, circuit(1));
  save("logs/" + b, circuit(2));
  save("logs/" + c, circuit(3));
  ASSERT_EQ(scan_summary(scan("logs")), "added 3, updated 0, unchanged 0, missing 0, failed 0");
  EXPECT_EQ(scan_summary(scan("logs")), "added 0, updated 0, unchanged 3, missing 0, failed 0");
  const int64_t id_a = catalogue->session_by_path(path("logs/" + a))->id;
  const int64_t id_b = catalogue->session_by_path(path("logs/" + b))->id;

  // Touched: the time moves, the content does not.
  const auto later = fs::last_write_time(path("logs/" + a)) + std::chrono::hours(1);
  fs::last_write_time(path("logs/" + a), later);
  EXPECT_EQ(scan_summary(scan("logs")), "added 0, updated 0, unchanged 3, missing 0, failed 0");
  EXPECT_EQ(catalogue->session(id_a)->file.mtime_ns,
            std::chrono::duration_cast<std::chrono::nanoseconds>(
                std::chrono::file_clock::to_sys(later).time_since_epoch())
                .count());

  // Changed: new notes; the session keeps its id and the user's fields.
  catalogue->set_user_fields(id_a, {"Ann", "", "", "", ""});
  save("logs/" + a, circuit(1), {"New dampers"});
  EXPECT_EQ(scan_summary(scan("logs")), "added 0, updated 1, unchanged 2, missing 0, failed 0");
  EXPECT_EQ(catalogue->session(id_a)->facts.setup_note, "New dampers");
  EXPECT_EQ(catalogue->session(id_a)->user.driver, "Ann");

  // Moved into a sub-folder: found again by its content.
  fs::create_directories(path("logs/old"));
  fs::rename(path("logs/" + b), path("logs/old/" + b));
  EXPECT_EQ(scan_summary(scan("logs")), "added 0, updated 1, unchanged 2, missing 0, failed 0");
  EXPECT_EQ(catalogue->session(id_b)->file.path, path("logs/old/" + b));
  EXPECT_EQ(catalogue->session_count(), 3);

  // Deleted: marked missing, still listed.
  const std::string kept = read("logs/old/" + b);
  fs::remove(path("logs/old/" + b));
  EXPECT_EQ(scan_summary(scan("logs")), "added 0, updated 0, unchanged 2, missing 1, failed 0");
  EXPECT_TRUE(catalogue->session(id_b)->missing);
  EXPECT_EQ(catalogue->list_sessions().size(), 3u);

  // Restored under another name: the same session again.
  write("logs/restored.plr", kept);
  EXPECT_EQ(scan_summary(scan("logs")), "added 0, updated 1, unchanged 2, missing 0, failed 0");
  EXPECT_FALSE(catalogue->session(id_b)->missing);
  EXPECT_EQ(catalogue->session(id_b)->file.path, path("logs/restored.plr"));
  EXPECT_EQ(catalogue->session_count(), 3);
}

TEST_F(LibraryScan, CancelledScanMarksNothingMissing) {
  save("logs/one.plr", circuit(1));
  save("logs/two.plr", circuit(2));
  ASSERT_EQ(scan("logs").added, 2);
  fs::remove(path("logs/two.plr"));
  FolderScan partial(*catalogue, {path("logs")});
  EXPECT_EQ(partial.total(), 1u);
  partial.cancel();
  EXPECT_FALSE(partial.step());
  EXPECT_TRUE(partial.result().cancelled);
  EXPECT_FALSE(catalogue->session_by_path(path("logs/two.plr"))->missing);
}

}  // namespace
}  // namespace ardenvis::core

namespace ardenvis::core {
namespace {

// The program tells the library of every file it saves or loads: the file is
// catalogued from the decode already done, in km/h and metres whatever units
// the slot's series are in at that moment.
TEST_F(LibraryScan, SavedAndLoadedFilesAreCataloguedAtOnce) {
  SessionLibrary library(path("hooked.sqlite"));
  ProgramState state;
  state.session_files = &library;
  testing::ScriptedHost host;
  const auto session = sim::synthesise_session(circuit(5));
  testing::put_downloaded(state.current(), session);
  state.identity.distance_factor = 1000;
  state.current().unit = state.identity;
  process_data_packets(state, host);
  ASSERT_TRUE(state.current().has_data());
  change_mph_kmh(state, true);  // the viewer shows km/h

  const std::string saved = path("saved/" + automatic_name(2026, 7, 4, 11, 0, 1));
  fs::create_directories(path("saved"));
  host.queue_save_file(saved);
  ASSERT_TRUE(save_log_data(state, host));
  Catalogue& catalogue = *library.catalogue();
  const auto hooked = catalogue.session_by_path(saved);
  ASSERT_TRUE(hooked);
  EXPECT_EQ(library.changes(), 1);
  EXPECT_EQ(hooked->facts.date, "2026-07-04");

  // The same file scanned (decoded again, in mph) gives the same figures.
  {
    CatalogueError error;
    auto other = Catalogue::open(path("scanned.sqlite"), error);
    ASSERT_TRUE(other);
    ASSERT_EQ(scan_folders(*other, {path("saved")}).added, 1);
    const auto scanned = other->session_by_path(saved);
    const auto laps_hooked = catalogue.session(hooked->id, true)->laps;
    const auto laps_scanned = other->session(scanned->id, true)->laps;
    ASSERT_EQ(laps_hooked.size(), laps_scanned.size());
    EXPECT_NEAR(laps_hooked[1].max_speed, laps_scanned[1].max_speed, 0.01);
    EXPECT_EQ(hooked->figures.best_lap, scanned->figures.best_lap);
    EXPECT_EQ(hooked->file.hash, scanned->file.hash);
  }

  // A file loaded that the library did not know.
  const std::string loaded = path("elsewhere/other.plr");
  ASSERT_TRUE(write_session_file(loaded, sim::synthesise_session(circuit(6))));
  state.current_data_set = DataSetId::B;
  ASSERT_TRUE(load_log_data(state, host, loaded));
  EXPECT_TRUE(catalogue.session_by_path(loaded));
  EXPECT_EQ(library.changes(), 2);
  EXPECT_EQ(library.last_cataloguing_problem(), "");
}

}  // namespace
}  // namespace ardenvis::core

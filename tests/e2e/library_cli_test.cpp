// ardenvis-cli library on a folder of saved sessions: the scan's summary and
// failures, the session list, venues, a venue's bests after renaming it, the
// default catalogue under XDG_DATA_HOME, and non-zero exits on failures.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "common/format.h"
#include "library/catalogue.h"
#include "library/season.h"
#include "run_command.h"
#include "support/session_files.h"

namespace ardenvis {
namespace {

namespace fs = std::filesystem;

class LibraryCli : public ::testing::Test {
 protected:
  LibraryCli()
      : dir_(fs::temp_directory_path() / ("ardenvis-library-cli-" + std::to_string(getpid()))) {
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "logs");
  }
  ~LibraryCli() override { fs::remove_all(dir_); }

  std::string cli(const std::string& arguments, int& status, const std::string& env = "") {
    return testing::run_command(env + " " + ARDENVIS_CLI_PATH + " library " + arguments, status);
  }
  std::string db() const { return (dir_ / "library.sqlite").string(); }

  void save(const std::string& name, uint32_t seed, std::vector<std::string> notes = {}) {
    sim::SessionOptions o;
    o.seed = seed;
    o.laps = 4;
    o.pace = seed == 2 ? 1.01 : 1.0;
    ASSERT_TRUE(testing::write_session_file((dir_ / "logs" / name).string(),
                                            sim::synthesise_session(o), notes));
  }

  fs::path dir_;
};

TEST_F(LibraryCli, ScanListRenameAndBests) {
  save(testing::automatic_name(2026, 4, 12, 10, 5, 1), 1, {"Soft springs, 1.8 bar"});
  save(testing::automatic_name(2026, 5, 3, 9, 0, 2), 2);
  std::ofstream(dir_ / "logs" / "broken.plr") << "// Filename: broken.plr\r\n1\r\nzz\r\n";

  int status = 0;
  std::string out = cli("scan " + (dir_ / "logs").string() + " --library " + db(), status);
  EXPECT_EQ(status, 1);  // one file failed
  EXPECT_EQ(out, "added 2, updated 0, unchanged 0, missing 0, failed 1\n" +
                     (dir_ / "logs" / "broken.plr").string() +
                     ": File not Compatible with Ardenvis Version, No Data Loaded\n");

  out = cli("venues --library " + db(), status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(out.substr(0, out.find('\n')), "id,venue,sessions,latitude,longitude,lap distance (m)");
  // Named from the date of the session that found it (files are scanned in
  // name order, and the automatic name starts with year and day).
  EXPECT_NE(out.find(",2026-05-03,2,52.07"), std::string::npos) << out;

  EXPECT_EQ(cli("rename-venue 2026-05-03 Kirkby --library " + db(), status), "");
  EXPECT_EQ(status, 0);
  cli("rename-venue Nowhere Else --library " + db(), status);
  EXPECT_EQ(status, 1);

  // The same figures the window shows: those of the catalogue's season.
  core::CatalogueError error;
  auto catalogue = core::Catalogue::open(db(), error);
  ASSERT_TRUE(catalogue) << error.text;
  const auto season = core::venue_season(*catalogue, catalogue->venue_by_name("Kirkby")->id);
  ASSERT_TRUE(season && season->overall_best && !season->ideal_laps.empty());
  const auto rows = catalogue->list_sessions();
  ASSERT_EQ(rows.size(), 2u);

  out = cli("sessions --library " + db() + " --since 2026-05-01", status);
  EXPECT_EQ(status, 0);
  const auto& r = rows[1];
  EXPECT_EQ(out, "id,file,date,time,venue,laps,best lap,ideal lap,mean,std dev\n" +
                     core::format("%lld,%s,2026-05-03,09:00,Kirkby,4,%.2f,%.2f,%.2f,%.2f\n",
                                  static_cast<long long>(r.id), r.path.c_str(), *r.figures.best_lap,
                                  *r.figures.ideal_lap, *r.figures.mean, *r.figures.std_dev));
  out = cli("sessions --venue Kirkby --library " + db(), status);
  EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 3);

  out = cli("bests --venue Kirkby --library " + db(), status);
  EXPECT_EQ(status, 0);
  EXPECT_NE(out.find("\"Soft springs, 1.8 bar\""), std::string::npos) << out;
  EXPECT_NE(
      out.find(core::format(
          "overall best,%.2f,session %lld,lap %d\n", season->overall_best->lap_time,
          static_cast<long long>(season->overall_best->source), season->overall_best->lap_number)),
      std::string::npos)
      << out;
  const core::IdealLap& ideal = season->ideal_laps[0];
  std::string expected_ideal = core::format("ideal lap,%d splits,%.2f\nsegment,time,session,lap\n",
                                            ideal.split_count, ideal.time);
  for (size_t i = 0; i < ideal.segments.size(); ++i) {
    expected_ideal += core::format("%zu,%.2f,%lld,%d\n", i + 1, ideal.segments[i].time,
                                   static_cast<long long>(ideal.segments[i].source),
                                   ideal.segments[i].lap_number);
  }
  EXPECT_NE(out.find(expected_ideal), std::string::npos) << out;

  cli("bests --venue Nowhere --library " + db(), status);
  EXPECT_EQ(status, 1);
  cli("sessions --since 12/05/2026 --library " + db(), status);
  EXPECT_NE(status, 0);
}

TEST_F(LibraryCli, DefaultCatalogueAndDamagedCatalogue) {
  save("one.plr", 1);
  int status = 0;
  const std::string env = "XDG_DATA_HOME=" + (dir_ / "data").string();
  EXPECT_EQ(cli("scan " + (dir_ / "logs").string(), status, env),
            "added 1, updated 0, unchanged 0, missing 0, failed 0\n");
  EXPECT_EQ(status, 0);
  EXPECT_TRUE(fs::exists(dir_ / "data" / "ardenvis" / "library.sqlite"));

  std::ofstream(db()) << std::string(4096, '#');
  const std::string out = cli("sessions --library " + db(), status);
  EXPECT_EQ(status, 1);
  EXPECT_NE(out.find("is damaged"), std::string::npos) << out;
  EXPECT_EQ(fs::file_size(db()), 4096u);
}

}  // namespace
}  // namespace ardenvis
